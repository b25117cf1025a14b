// Line files: the layout of the rows, the round trip, and the files that are refused.

#include "tools/core/line_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "tools/core/line_tables.h"

namespace ulvo {
namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class LineFileDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("ulvo_lin_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  std::filesystem::path dir_;
};

TEST(LineFile, NineRowsAreFiftyFourCrLfLinesInWindows1250) {
  std::vector<LineRow> rows(kFullTransactionRows);
  rows[0] = {"Żółć", "2", "A", "3.50", "", ""};
  const LineFileText text = FormatLineFile(rows, kFullTransactionColumns);
  ASSERT_TRUE(text.error.empty());
  EXPECT_TRUE(text.unmappable.empty());
  // The name, 2, A and 3.50, two empty hidden cells, then 48 empty lines.
  EXPECT_EQ(
      text.bytes, "\xAF\xF3\xB3\xE6\r\n2\r\nA\r\n3.50\r\n\r\n\r\n" + [] {
        std::string rest;
        for (int i = 0; i < 48; ++i) rest += "\r\n";
        return rest;
      }());
}

TEST_F(LineFileDir, SavedTablesLoadBackIntoTheSameCellsForBothLayouts) {
  for (std::size_t rowCount : {kReceiptTableRows, kFullTransactionRows}) {
    std::vector<LineRow> rows(rowCount);
    rows[0] = {"Chleb żytni", "1,5", "A", "3.50", "5.25", "10%"};
    rows[2] = {"Mleko", "2", "B", "2.10", "4.20", "-0.20"};
    rows[rowCount - 1] = {"Ostatni", "1", "C", "1.00", "1.00", ""};
    rows[1][0] = std::string(kLineFileCellChars, 'x');  // the longest cell a frame carries
    const LineFileText text = FormatLineFile(rows, kReceiptTableColumns);
    ASSERT_TRUE(text.error.empty()) << text.error;
    const std::string path = Path("tabela.lin");
    ASSERT_EQ(WriteFileReplacing(path, text.bytes), "");
    EXPECT_EQ(ReadBytes(path).size(), text.bytes.size());
    const LineFileRead read = ReadLineFile(path, rowCount);
    ASSERT_TRUE(read.error.empty()) << read.error;
    EXPECT_EQ(read.rows, rows) << rowCount;
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                            std::filesystem::directory_iterator()),
              1);
  }
}

TEST(LineFile, ShortFilesLeaveCellsEmptyAndExtraLinesAreIgnored) {
  struct Case {
    const char* bytes;
    std::size_t rows;
    LineRow first;
    LineRow second;
  } cases[] = {
      {"Chleb\r\n1\r\nA", 2, {"Chleb", "1", "A", "", "", ""}, {}},
      {"a\nb\nc\nd\ne\nf\ng\n", 2, {"a", "b", "c", "d", "e", "f"}, {"g", "", "", "", "", ""}},
      {"a\rb\r\r\r\r\rg\r\nh", 1, {"a", "b", "", "", "", ""}, {}},
      {"", 2, {}, {}},
  };
  for (const Case& c : cases) {
    const LineFileRead read = ParseLineFile(c.bytes, c.rows);
    ASSERT_TRUE(read.error.empty()) << c.bytes;
    ASSERT_EQ(read.rows.size(), c.rows);
    EXPECT_EQ(read.rows[0], c.first) << c.bytes;
    if (c.rows > 1) {
      EXPECT_EQ(read.rows[1], c.second) << c.bytes;
    }
  }
}

TEST(LineFile, FilesThatAreNoLineFilesAreRefused) {
  struct Case {
    std::string bytes;
    const char* why;
  } cases[] = {
      {std::string("Chleb\r\n\0\x01\x02", 10), "sterujące"},
      {"\x89PNG\r\n\x1A\n", "sterujące"},
      {"a\tb\r\n", "sterujące"},
      {std::string(50, 'x') + "\r\n", "linia 1 ma więcej niż 49"},
      {"a\r\nb\r\n" + std::string(60, 'y'), "linia 3 ma więcej niż 49"},
      {std::string(kLineFileSizeLimit + 1, 'a'), "1 MB"},
  };
  for (const Case& c : cases) {
    const LineFileRead read = ParseLineFile(c.bytes, kReceiptTableRows);
    EXPECT_NE(read.error.find(c.why), std::string::npos) << read.error;
    EXPECT_TRUE(read.rows.empty());
  }
}

TEST_F(LineFileDir, BigOrMissingFilesAreRefusedBeforeReading) {
  const std::string big = Path("duzy.lin");
  {
    std::ofstream out(big, std::ios::binary);
    out << std::string(kLineFileSizeLimit + 10, 'a');
  }
  EXPECT_NE(ReadLineFile(big, 9).error.find("1 MB"), std::string::npos);
  EXPECT_NE(ReadLineFile(Path("brak.lin"), 9).error.find("Nie można odczytać"), std::string::npos);
}

TEST(LineFile, CellsThatCannotBeWrittenAreNamedOrReported) {
  std::vector<LineRow> rows(2);
  rows[1][3] = std::string(50, '1');
  LineFileText text = FormatLineFile(rows, kReceiptTableColumns);
  EXPECT_EQ(text.error,
            "Komórka w wierszu 2, kolumnie \"Cena\" ma więcej niż 49 znaków. Plik nie został "
            "zapisany.");
  EXPECT_TRUE(text.bytes.empty());

  rows[1][3] = "a\nb";
  EXPECT_NE(FormatLineFile(rows, kReceiptTableColumns).error.find("wierszu 2"), std::string::npos);

  rows[1][3] = "1";
  rows[0][0] = "Ψ€Ψ";  // Greek Psi is not in Windows-1250, the euro sign is
  text = FormatLineFile(rows, kReceiptTableColumns);
  EXPECT_TRUE(text.error.empty());
  EXPECT_EQ(text.unmappable, U"Ψ");
  EXPECT_EQ(text.bytes.substr(0, 5), "?\x80?\r\n");
  EXPECT_NE(LineFileUnmappableQuestion(text.unmappable).find("\"Ψ\""), std::string::npos);
}

TEST_F(LineFileDir, ReplacingWritesThroughATemporaryFileAndKeepsTheOldOneOnFailure) {
  const std::string path = Path("a.lin");
  ASSERT_EQ(WriteFileReplacing(path, "old"), "");
  ASSERT_EQ(WriteFileReplacing(path, "new\r\n"), "");
  EXPECT_EQ(ReadBytes(path), "new\r\n");
  EXPECT_EQ(LineFileOverwriteQuestion(path), "Plik " + path + " już istnieje.Kontynuować? ");
  // A folder that does not exist: nothing written, a message instead.
  EXPECT_NE(WriteFileReplacing(Path("brak/b.lin"), "x").find("Nie można zapisać"),
            std::string::npos);
}

// Seeded random input: any bytes are either refused or give exactly the rows asked for, and
// any cells the table can hold come back from their file unchanged.
TEST(LineFile, RandomBytesAndRandomTablesKeepTheRules) {
  std::mt19937 random(20261208);
  const char alphabet[] = "abcXYZ 019.,%-\r\n\t\0\x1A\xA5\xB9\xFF";
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 400, ' ');
    for (char& c : bytes) c = alphabet[random() % (sizeof alphabet - 1)];
    const std::size_t rowCount = round % 2 ? kReceiptTableRows : kFullTransactionRows;
    const LineFileRead read = ParseLineFile(bytes, rowCount);
    EXPECT_TRUE(read.error.empty() ? read.rows.size() == rowCount : read.rows.empty());
  }
  const char* const pieces[] = {"a", "Ż", "ó", "1", " ", ".", "%", "-", "€", "ł"};
  for (int round = 0; round < 300; ++round) {
    std::vector<LineRow> rows(kFullTransactionRows);
    for (LineRow& row : rows) {
      for (std::string& cell : row) {
        const std::size_t length = random() % (kLineFileCellChars + 1);
        for (std::size_t i = 0; i < length; ++i) cell += pieces[random() % std::size(pieces)];
      }
    }
    const LineFileText text = FormatLineFile(rows, kFullTransactionColumns);
    ASSERT_TRUE(text.error.empty()) << text.error;
    ASSERT_TRUE(text.unmappable.empty());
    const LineFileRead read = ParseLineFile(text.bytes, kFullTransactionRows);
    ASSERT_TRUE(read.error.empty()) << read.error;
    EXPECT_EQ(read.rows, rows);
  }
}

}  // namespace
}  // namespace ulvo
