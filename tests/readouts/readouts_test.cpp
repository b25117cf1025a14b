// What the printer data readouts show, the input buffer lines, the display control frame and
// the printer settings record with its file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "link/letter_coding.h"
#include "shell/readouts/core/input_buffer.h"
#include "shell/readouts/core/printer_settings.h"
#include "shell/readouts/core/readout_files.h"
#include "shell/readouts/core/readout_texts.h"
#include "tests/support/process_id.h"

namespace ulvo {
namespace {

TEST(CashInfoTexts, DateZeroShowsBrakAndOtherwiseDayMonthYear) {
  CashInfo info;
  EXPECT_EQ(FormatCashInfo(info, 2).recordDate, "Brak");
  info.RecordYear = 9;
  info.RecordMonth = 3;
  info.RecordDay = 7;
  EXPECT_EQ(FormatCashInfo(info, 2).recordDate, "07-03-2009");
}

TEST(CashInfoTexts, ModeTextAndSignedEightBitFields) {
  CashInfo info;
  EXPECT_EQ(FormatCashInfo(info, 2).mode, "Szkoleniowy");
  info.FiscalMode = 1;
  info.LastError = static_cast<std::int8_t>(200);  // above 127 shows negative
  info.RamResets = 5;
  info.TrfFlag = 1;
  info.ReceiptCount = 123456;
  const CashInfoTexts texts = FormatCashInfo(info, 0);
  EXPECT_EQ(texts.mode, "Fiskalny");
  EXPECT_EQ(texts.lastError, "-56");
  EXPECT_EQ(texts.ramResets, "5");
  EXPECT_EQ(texts.trfFlag, "1");
  EXPECT_EQ(texts.receiptCount, "123456");
}

TEST(CashInfoTexts, PtuRatesFollowTheFamily) {
  CashInfo info;
  info.Ptu[0] = 23;
  info.Ptu[1] = 100;
  info.Ptu[2] = 101;
  const CashInfoTexts mavito = FormatCashInfo(info, 2);
  EXPECT_EQ(mavito.ptu[0], "23.00");
  EXPECT_EQ(mavito.ptu[1], "ZWOLN");
  EXPECT_EQ(mavito.ptu[2], "BRAK");
  for (std::uint8_t alta : {0, 1}) {
    const CashInfoTexts texts = FormatCashInfo(info, alta);
    EXPECT_EQ(texts.ptu[1], "100.00");
    EXPECT_EQ(texts.ptu[2], "101.00");
  }
}

TEST(CashInfoTexts, AmountsAndUniqueNumber) {
  CashInfo info;
  info.Totals[0] = 12.5;
  info.TotalZ = 3;
  info.Cash = 1234.567;
  info.UniqueNumber = "           ";
  CashInfoTexts texts = FormatCashInfo(info, 2);
  EXPECT_EQ(texts.totals[0], "12.50");
  EXPECT_EQ(texts.totalZ, "3.00");
  EXPECT_EQ(texts.cash, "1234.57");
  EXPECT_EQ(texts.uniqueNumber, "BRAK");
  info.UniqueNumber = "ABC12345678";
  EXPECT_EQ(FormatCashInfo(info, 2).uniqueNumber, "ABC12345678");
  info.Cash = 1e300;  // a wild amount must not overrun the text buffer
  EXPECT_GT(FormatCashInfo(info, 2).cash.size(), 300u);
}

TEST(ErrorCodeTexts, NoReplyZeroKnownAndOutOfTableCodes) {
  ErrorCodeTexts none = FormatLastErrorCode(-1);
  EXPECT_EQ(none.code, "???");
  EXPECT_EQ(none.description, "Brak odpowiedzi od drukarki.");
  EXPECT_EQ(FormatLastErrorCode(0).code, "0");
  EXPECT_EQ(FormatLastErrorCode(0).description, "");
  EXPECT_EQ(FormatLastErrorCode(3).description, "Zła ilość parametrów.");
  EXPECT_EQ(FormatLastErrorCode(-7).description, "");
  EXPECT_EQ(FormatLastErrorCode(100000).description, "");
}

TEST(ClockTexts, TwoDigitFields) {
  EXPECT_EQ(FormatPrinterDate(6, 1, 2), "2006-01-02");
  EXPECT_EQ(FormatPrinterTime(9, 5), "09:05");
}

TEST(InputBuffer, LongTextIsCutIntoLinesOf51) {
  std::string text;
  for (int i = 0; i < 120; ++i) text.push_back(static_cast<char>('A' + i % 26));
  // The text starts at the fifth byte: the reply header here is ESC "P1#" and 'B' is text.
  const auto lines = SplitInputBufferReply("\x1BP1#" + text + "\x1B\\");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].size(), 51u);
  EXPECT_EQ(lines[1].size(), 51u);
  EXPECT_EQ(lines[2].size(), 18u);
  EXPECT_EQ(lines[0] + lines[1] + lines[2], text);
}

TEST(InputBuffer, AConsoleTokenAtTheLineEndMovesWholeToTheNextLine) {
  for (const std::string token : {"<05H>", "<ESC>", "<XOFF>"}) {
    const std::string text = std::string(48, 'a') + token + "bc";
    const auto lines = SplitInputBufferReply("\x1BP1#" + text + "\x1B\\");
    ASSERT_EQ(lines.size(), 2u) << token;
    EXPECT_EQ(lines[0], std::string(48, 'a'));
    EXPECT_EQ(lines[1], token + "bc");
  }
  // A lone '<' is no token: the line is cut at 51 as usual.
  const auto lines = SplitInputBufferReply("\x1BP1#" + std::string(49, 'a') + "<abcdefgh\x1B\\");
  EXPECT_EQ(lines[0].size(), 51u);
}

TEST(InputBuffer, LineFeedsEndLinesAndLineEndsAreDropped) {
  const auto lines = SplitInputBufferReply("\x1BP1#ab\r\ncd\n\nef\x1B\\");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "ab");
  EXPECT_EQ(lines[1], "cd");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "ef");
}

TEST(InputBuffer, ShortOrEmptyRepliesGiveNoLinesAndNoOverrun) {
  EXPECT_TRUE(SplitInputBufferReply("").empty());
  EXPECT_TRUE(SplitInputBufferReply("\x1B\\").empty());
  EXPECT_TRUE(SplitInputBufferReply("\x1BP1#\x1B\\").empty());
  EXPECT_TRUE(SplitInputBufferReply("\\").empty());
  // Without any backslash the whole reply counts.
  const auto lines = SplitInputBufferReply("\x1BP1#xyz");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "xyz");
}

TEST(InputBuffer, QueryFrameHasItsCheck) {
  const FrameList list = BuildInputBufferQuery();
  ASSERT_EQ(list.frames.size(), 1u);
  EXPECT_EQ(list.frames[0].substr(0, 4), "\x1BP$0");
  EXPECT_EQ(list.frames[0].size(), 8u);
}

TEST(DisplayControl, OperationNumbersAndTextOperations) {
  const int numbers[] = {1, 2, 5, 3, 4};
  for (int i = 0; i < kDisplayOperationCount; ++i) {
    EXPECT_EQ(DisplayOperationNumber(i), numbers[i]);
    EXPECT_EQ(DisplayOperationTakesText(i), i == 1 || i == 2);
  }
  EXPECT_STREQ(DisplayOperationCaption(0), "Otworzenie szuflady");
  EXPECT_STREQ(DisplayOperationCaption(5), "");
}

TEST(DisplayControl, TextFollowsTheFFByteEvenForTheDrawer) {
  const FrameList drawer = BuildDisplayControl(0, "Witaj", kMazovia);
  ASSERT_EQ(drawer.frames.size(), 1u);
  EXPECT_EQ(drawer.frames[0], std::string("\x1BP1$d\xFFWitaj\x1B\\"));
  const FrameList clerk = BuildDisplayControl(2, std::string(300, 'x'), kMazovia);
  ASSERT_EQ(clerk.frames.size(), 1u);
  EXPECT_EQ(clerk.frames[0], "\x1BP5$d\xFF" + std::string(250, 'x') + "\x1B\\");
  EXPECT_TRUE(BuildDisplayControl(7, "", kMazovia).Refused());
}

std::string SettingsReply(const std::string& numbers) {
  return "\x1BP#U" + numbers + "3A\x1B\\";
}

TEST(PrinterSettingsRecord, ParsesThirteenValuesKeptIn16Bits) {
  const auto settings =
      ParsePrinterSettingsReply(SettingsReply("1/2/100/2/25/1/0/1/0/1/3/0/70000/"));
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->values[0], 1);
  EXPECT_EQ(settings->values[2], 100);
  EXPECT_EQ(settings->values[4], 25);
  EXPECT_EQ(settings->values[12], 70000 & 0xFFFF);
}

TEST(PrinterSettingsRecord, JunkBeforeTheReplyIsSkipped) {
  const auto settings =
      ParsePrinterSettingsReply("\x13\x01z" + SettingsReply("9/0/0/0/0/0/0/0/0/0/0/0/0/"));
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->values[0], 9);
}

TEST(PrinterSettingsRecord, MalformedRepliesAreRejected) {
  EXPECT_FALSE(ParsePrinterSettingsReply("P#U1/2/3/4/5/6/7/8/9/10/11/12/13/"));
  EXPECT_FALSE(ParsePrinterSettingsReply(std::string(5000, 'x')));
  EXPECT_FALSE(ParsePrinterSettingsReply(""));
  EXPECT_FALSE(ParsePrinterSettingsReply("\x1BP#X1/2/"));
  EXPECT_FALSE(ParsePrinterSettingsReply(SettingsReply("1/2/3/")));
  EXPECT_FALSE(ParsePrinterSettingsReply(SettingsReply("1/2/3/4/5/6/7/8/9/10/11/12/-1/")));
  EXPECT_FALSE(ParsePrinterSettingsReply("\x1BP#U1/2/3/4/5/6/7/8/9/10/11/12/13"));
}

TEST(PrinterSettingsRecord, FileIs26BytesLowByteFirst) {
  PrinterSettings settings;
  for (int i = 0; i < kPrinterSettingsCount; ++i)
    settings.values[i] = static_cast<std::uint16_t>(0x0102 * (i + 1));
  const std::string bytes = PrinterSettingsFileBytes(settings);
  ASSERT_EQ(bytes.size(), kPrinterSettingsFileSize);
  EXPECT_EQ(bytes[0], '\x02');
  EXPECT_EQ(bytes[1], '\x01');
  PrinterSettings back;
  ApplyPrinterSettingsFile(bytes, back);
  EXPECT_EQ(back, settings);
}

TEST(PrinterSettingsRecord, ShortFileReplacesOnlyTheLeadingValues) {
  PrinterSettings settings;
  settings.values.fill(7);
  ApplyPrinterSettingsFile(std::string("\x05\x00\x06", 3), settings);
  EXPECT_EQ(settings.values[0], 5);
  EXPECT_EQ(settings.values[1], 6);  // low byte replaced, high byte kept (0)
  EXPECT_EQ(settings.values[2], 7);
  // A longer file only counts for 26 bytes.
  ApplyPrinterSettingsFile(std::string(40, '\x01'), settings);
  EXPECT_EQ(settings.values[12], 0x0101);
}

TEST(PrinterSettingsView, ListsTenthsAndHiddenOptions) {
  PrinterSettings settings;
  settings.values = {1, 3, 100, 2, 25, 1, 2, 1, 0, 1, 3, 1, 0};
  auto rows = DescribePrinterSettings(settings, -1);
  EXPECT_EQ(rows[kIdentifier].text, "1");
  EXPECT_EQ(rows[kLetterCoding].choice, 3);
  EXPECT_EQ(rows[kDrawerPulse].text, "100");
  EXPECT_EQ(rows[kCopyMode].choice, 1);  // "Tryb 2"
  EXPECT_EQ(rows[kRewinderTime].text, "2.50");
  EXPECT_EQ(rows[kCoverSensor].choice, 1);
  EXPECT_EQ(rows[kResponseTime].choice, 2);
  EXPECT_EQ(rows[kMonthlyReminder].choice, 1);
  EXPECT_EQ(rows[kExternalDisplay].choice, 0);
  EXPECT_FALSE(rows[kDisplayProtocol].visible);
  EXPECT_EQ(rows[kErrorMode].choice, 3);
  EXPECT_EQ(rows[kDeposit].choice, 1);
  EXPECT_EQ(rows[kAutoDrawer].choice, 0);
  EXPECT_EQ(rows[kSystemNumber].choice, 0);
  EXPECT_FALSE(rows[kDiscountMethod].visible);

  settings.values[8] = 1;
  settings.values[9] = 1;
  rows = DescribePrinterSettings(settings, -1);
  EXPECT_TRUE(rows[kDisplayProtocol].visible);
  EXPECT_EQ(rows[kDisplayProtocol].choices[rows[kDisplayProtocol].choice], "ULVO");
}

TEST(PrinterSettingsView, ValuesOutsideTheirListsShowNoChoice) {
  PrinterSettings settings;
  settings.values = {0, 9, 0, 0, 0, 3, 7, 2, 2, 5, 4, 2, 0};
  const auto rows = DescribePrinterSettings(settings, -1);
  for (SettingRow row : {kLetterCoding, kCopyMode, kCoverSensor, kResponseTime, kMonthlyReminder,
                         kExternalDisplay, kDisplayProtocol, kErrorMode, kDeposit}) {
    EXPECT_EQ(rows[row].choice, -1) << row;
  }
  EXPECT_TRUE(rows[kDisplayProtocol].visible);  // any display value but 0 shows the protocol
}

TEST(PrinterSettingsView, FlagBitsOfTheLastValue) {
  PrinterSettings settings;
  settings.values[12] = 0x01 | 0x02 | 0x04;
  auto rows = DescribePrinterSettings(settings, -1);
  EXPECT_EQ(rows[kAutoDrawer].choices[rows[kAutoDrawer].choice], "TAK");
  EXPECT_EQ(rows[kSystemNumber].choices[rows[kSystemNumber].choice], "Zgonie z ULVO");
  EXPECT_TRUE(rows[kDiscountMethod].visible);
  EXPECT_EQ(rows[kDiscountMethod].choices[rows[kDiscountMethod].choice], "metoda 2");
  settings.values[12] = 0x08;
  rows = DescribePrinterSettings(settings, 1);
  EXPECT_EQ(rows[kDiscountMethod].choices[rows[kDiscountMethod].choice], "metoda 1");
  // Both bits: shown, and the earlier choice stays.
  settings.values[12] = 0x0C;
  rows = DescribePrinterSettings(settings, 1);
  EXPECT_TRUE(rows[kDiscountMethod].visible);
  EXPECT_EQ(rows[kDiscountMethod].choice, 1);
}

TEST(PrinterSettingsView, HelpTextsOfCopyAndErrorModes) {
  EXPECT_EQ(CopyModeHelp(2), "Tryb 2: Na kopii nie ma nagłówków oraz odcięcia.");
  EXPECT_EQ(ErrorModeHelp(0), "Tryb 0: Wyświetlanie komunikatu na wyświetlaczu.");
  EXPECT_EQ(CopyModeHelp(0), "Tryb 0: ");
  EXPECT_EQ(ErrorModeHelp(9), "Tryb 9: ");
}

TEST(ReadoutFiles, ReplacingWriteAndBoundedRead) {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("ulvo_readout_files_" + std::to_string(TestProcessId()));
  std::filesystem::create_directories(dir);
  const auto file = dir / "a.ust";
  EXPECT_FALSE(WriteFileReplacing(file, std::string("abc", 3)));
  EXPECT_FALSE(WriteFileReplacing(file, std::string("de", 2)));
  EXPECT_EQ(ReadWholeFile(file, 100).value_or(""), "de");
  EXPECT_EQ(ReadWholeFile(file, 1).value_or(""), "d");
  EXPECT_FALSE(ReadWholeFile(dir / "missing.ust", 10));
  EXPECT_TRUE(WriteFileReplacing(dir / "no" / "such" / "dir.ust", "x"));
  std::filesystem::remove_all(dir);
}

TEST(ReadoutFiles, MessagesKeepTheProgramsWording) {
  EXPECT_EQ(OverwriteQuestion("/tmp/a.txt"), "Plik /tmp/a.txt już istnieje.Kontynuować? ");
  EXPECT_EQ(CannotOpenMessage("/x"), "Nie mogę otworzyc pliku/x.");
  EXPECT_EQ(CannotWriteMessage("/x"), "Nie mogę zapisa do pliku/x.");
}

}  // namespace
}  // namespace ulvo
