#include "shell/core/console_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "link/frame.h"

namespace ulvo {
namespace {

TEST(ConsoleText, TypedFrameWithLineBreaksBecomesSevenBytes) {
  char buffer[kTxBufSize] = {};
  ASSERT_EQ(ConsoleTextToBuffer("<ESC>P0\n#n<ESC>\n\\", buffer, sizeof buffer),
            ConsoleConversion::Ok);
  EXPECT_EQ(std::string(buffer), std::string("\x1bP0#n\x1b\\"));
}

TEST(ConsoleText, PolishLettersTypedInTheBoxGoAsWindows1250) {
  char buffer[64] = {};
  ASSERT_EQ(ConsoleTextToBuffer("Łódź", buffer, sizeof buffer), ConsoleConversion::Ok);
  EXPECT_EQ(std::string(buffer), std::string("\xa3\xf3\x64\x9f"));
}

TEST(ConsoleText, FrameThatDoesNotFitLeavesTheBufferUntouched) {
  char buffer[8] = "old";
  EXPECT_EQ(ConsoleTextToBuffer("12345678", buffer, sizeof buffer), ConsoleConversion::TooLong);
  EXPECT_STREQ(buffer, "old");
  EXPECT_EQ(ConsoleTextToBuffer("1234567", buffer, sizeof buffer), ConsoleConversion::Ok);
  EXPECT_STREQ(buffer, "1234567");
  EXPECT_NE(FrameTooLongMessage(5120).find("5119"), std::string::npos);
}

TEST(ConsoleText, BytesShowAsNamesAndBackAgain) {
  const std::string frame = "\x1bP0#n\x1b\\";
  const std::string shown = BytesToConsoleText(frame, 0);
  EXPECT_EQ(shown, "<ESC>P0#n<ESC>\\");
  char buffer[32];
  ASSERT_EQ(ConsoleTextToBuffer(shown, buffer, sizeof buffer), ConsoleConversion::Ok);
  EXPECT_EQ(std::string(buffer), frame);
}

TEST(ConsoleText, HexFieldTokenKeepsBlanksForUnfilledPlaces) {
  EXPECT_EQ(HexFieldToken("__H"), "<  H>");
  EXPECT_EQ(HexFieldToken("1BH"), "<1BH>");
  EXPECT_EQ(HexFieldToken("1_H"), "<1 H>");
  EXPECT_EQ(HexFieldToken(""), "<  H>");
  char buffer[8];
  ASSERT_EQ(ConsoleTextToBuffer(HexFieldToken("1BH"), buffer, sizeof buffer),
            ConsoleConversion::Ok);
  EXPECT_EQ(std::string(buffer), "\x1b");
}

TEST(ConsoleText, InsertButtonsHaveTheirNames) {
  const char* tokens[] = {"<ESC>", "<CR >", "<LF >", "<ENQ>", "<BEL>",
                          "<DLE>", "<CAN>", "<SO >", "<DC4>"};
  for (int i = 0; i < kConsoleTokenCount; ++i) EXPECT_STREQ(ConsoleTokenAt(i).token, tokens[i]);
  EXPECT_STREQ(ConsoleTokenAt(7).caption, "SO");
  EXPECT_STREQ(ConsoleTokenAt(99).token, "<ESC>");
}

TEST(CommandFile, ReadsAtMostTheLimit) {
  const auto file = std::filesystem::temp_directory_path() / "ulvo_console_text_test.txt";
  {
    std::ofstream out(file, std::ios::binary);
    out << std::string(20000, 'a');
  }
  const auto text = ReadCommandFile(file, 16384);
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(text->size(), 16384u);
  std::filesystem::remove(file);
}

TEST(CommandFile, MissingFileOrFolderGivesNothing) {
  EXPECT_FALSE(ReadCommandFile("/nonexistent/ulvo/file.txt", 100).has_value());
  EXPECT_FALSE(ReadCommandFile(std::filesystem::temp_directory_path(), 100).has_value());
  EXPECT_EQ(CannotOpenFileMessage("/tmp/x.txt"), "Nie mogę otworzyc pliku/tmp/x.txt.");
  EXPECT_NE(CommandFileTooLongQuestion(16384).find("16384"), std::string::npos);
}

}  // namespace
}  // namespace ulvo
