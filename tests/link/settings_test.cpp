#include "link/settings.h"
#include "tests/support/process_id.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace ulvo {
namespace {

using namespace std::string_literals;

// The file the program writes for the defaults, byte for byte (Windows-1250: ś 9C, ć E6, ł B3).
const std::string kDefaultFile =
    "COM -1\r\n"
    "Szybko\x9c\xe6 9600\r\n"
    "BityDanch 8\r\n"
    "Parzysto\x9c\xe6 Brak\r\n"
    "BityStopu 1\r\n"
    "Xon/Xoff 0\r\n"
    "RTS/CTS 0\r\n"
    "KodowaniePolskichLiter MAZOVIA\r\n"
    "Ulvo_Mavito zwyk\xb3"
    "a kopia_papierowa\r\n"
    "\r\n"s;

std::string FileWith(const std::string& line9, const std::string& line10 = "") {
  return "COM 3\r\nSzybko\x9c\xe6 19200\r\nBityDanch 7\r\nParzysto\x9c\xe6 Parzyste\r\n"
         "BityStopu 2\r\nXon/Xoff 1\r\nRTS/CTS 0\r\nKodowaniePolskichLiter LATIN\r\n"s +
         line9 + "\r\n" + line10 + "\r\n";
}

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("ulvo_settings_" + std::to_string(TestProcessId()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path File() const { return dir_ / kSettingsFileName; }
  void Write(const std::string& bytes) const { std::ofstream(File(), std::ios::binary) << bytes; }
  std::string Read() const {
    std::ifstream in(File(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  std::filesystem::path dir_;
};

TEST_F(SettingsFile, NoFileGivesTheDefaultsAndMavito) {
  const Settings s = LoadSettings(File());
  EXPECT_EQ(s.PortNumber, kNoPort);
  EXPECT_EQ(s.PortSettings.BaudRate, 9600u);
  EXPECT_EQ(s.PortSettings.DataBits, 8);
  EXPECT_EQ(s.PortSettings.Parity, 0);
  EXPECT_EQ(s.PortSettings.StopBits, 0);
  EXPECT_EQ(s.PortSettings.XonXoff, 0);
  EXPECT_EQ(s.PortSettings.RtsCts, 0);
  EXPECT_EQ(s.LetterCoding, 0);
  EXPECT_EQ(s.PrinterType, 2);
  EXPECT_EQ(s.BusMode, 0);
  EXPECT_EQ(s.ElectronicCopy, 0);
  EXPECT_EQ(s.CertificationMode, 0);
}

TEST_F(SettingsFile, DefaultsAreWrittenWithMinusOneForNoPortAndAnEmptyTenthLine) {
  ASSERT_FALSE(SaveSettings(Settings{}, File()));
  EXPECT_EQ(Read(), kDefaultFile);
  EXPECT_EQ(LoadSettings(File()), Settings{});
}

TEST_F(SettingsFile, EveryFieldReadsBackAsWritten) {
  Settings s;
  s.PortNumber = 64;
  s.PortSettings = {115200, 7, 4, 1, 1, 1};
  s.LetterCoding = 3;
  s.PrinterType = 1;
  s.BusMode = 1;
  s.ElectronicCopy = 1;
  s.CertificationMode = 1;
  ASSERT_FALSE(SaveSettings(s, File()));
  EXPECT_EQ(Read(),
            "COM 64\r\nSzybko\x9c\xe6 115200\r\nBityDanch 7\r\nParzysto\x9c\xe6 Odst\xeap\r\n"
            "BityStopu 1.5\r\nXon/Xoff 1\r\nRTS/CTS 1\r\nKodowaniePolskichLiter WINDOWS\r\n"
            "Alta_Pro Bus kopia_elektroniczna\r\nwzorcowanie\r\n"s);
  EXPECT_EQ(LoadSettings(File()), s);
}

TEST_F(SettingsFile, SavingReplacesTheFileAndLeavesNoTemporaryBehind) {
  Write("old content that is longer than anything the program writes ..."s + std::string(300, 'x'));
  ASSERT_FALSE(SaveSettings(Settings{}, File()));
  EXPECT_EQ(Read(), kDefaultFile);
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_)) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST_F(SettingsFile, SavingIntoAMissingFolderFailsWithoutCreatingAnything) {
  EXPECT_TRUE(SaveSettings(Settings{}, dir_ / "missing" / kSettingsFileName));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "missing"));
}

TEST_F(SettingsFile, LoadingReadsTheFileAsWrittenAndNothingPast200Bytes) {
  Write("COM 12\r\nSzybko\x9c\xe6 57600\r\n" + std::string(200, ' ') + "BityDanch 7\r\n");
  const Settings s = LoadSettings(File());
  EXPECT_EQ(s.PortNumber, 12);
  EXPECT_EQ(s.PortSettings.BaudRate, 57600u);
  EXPECT_EQ(s.PortSettings.DataBits, 8);
}

TEST(ParseSettingsText, PortMinusOneAnd255BothMeanNoPort) {
  EXPECT_EQ(ParseSettingsText("COM -1\r\n").PortNumber, kNoPort);
  EXPECT_EQ(ParseSettingsText("COM 255\r\n").PortNumber, kNoPort);
  EXPECT_EQ(ParseSettingsText("COM 7\r\n").PortNumber, 7);
}

TEST(ParseSettingsText, ReadsAWholeFileWrittenByHand) {
  const Settings s =
      ParseSettingsText(FileWith("Alta_Pro zwyk\xb3"
                                 "a kopia_papierowa"));
  EXPECT_EQ(s.PortNumber, 3);
  EXPECT_EQ(s.PortSettings, (LineSettings{19200, 7, 2, 2, 1, 0}));
  EXPECT_EQ(s.LetterCoding, 1);
  EXPECT_EQ(s.PrinterType, 1);
  EXPECT_EQ(s.BusMode, 0);
  EXPECT_EQ(s.ElectronicCopy, 0);
}

TEST(ParseSettingsText, BusIsClearedForAltaAndAltaPlus) {
  const Settings s = ParseSettingsText(FileWith("Alta,Alta_Plus Bus kopia_papierowa"));
  EXPECT_EQ(s.PrinterType, 0);
  EXPECT_EQ(s.BusMode, 0);
  EXPECT_EQ(s.ElectronicCopy, 0);
  EXPECT_EQ(ParseSettingsText(FileWith("Ulvo_Mavito Bus kopia_elektroniczna")).BusMode, 1);
}

TEST(ParseSettingsText, BothVariantFlagsFromTheFileAreKept) {
  const Settings s = ParseSettingsText(FileWith("Ulvo_Mavito Bus kopia_elektroniczna"));
  EXPECT_EQ(s.BusMode, 1);
  EXPECT_EQ(s.ElectronicCopy, 1);
}

TEST(ParseSettingsText, UnknownPrinterKeyKeepsMavito) {
  EXPECT_EQ(ParseSettingsText(FileWith("Ulvo_Mavito2 Bus kopia_papierowa")).PrinterType, 2);
  EXPECT_EQ(ParseSettingsText(FileWith("alta_pro Bus kopia_papierowa")).PrinterType, 2);
  // Only whole words match.
  EXPECT_EQ(ParseSettingsText(FileWith("Alta Bus kopia_papierowa")).PrinterType, 2);
}

TEST(ParseSettingsText, NamesAreWholeWordsAndCaseSensitive) {
  const Settings s = ParseSettingsText(
      "COM 1 Szybkosc 9600 BityDanch 8 Parzystosc parzyste BityStopu 1.50 Xon/Xoff 0 RTS/CTS 0 "
      "KodowaniePolskichLiter Latin Ulvo_Mavito bus Kopia_elektroniczna Wzorcowanie");
  EXPECT_EQ(s.PortSettings.Parity, 0);
  EXPECT_EQ(s.PortSettings.StopBits, 0);
  EXPECT_EQ(s.LetterCoding, 0);
  EXPECT_EQ(s.BusMode, 0);
  EXPECT_EQ(s.ElectronicCopy, 0);
  EXPECT_EQ(s.CertificationMode, 0);
}

TEST(ParseSettingsText, CertificationModeOnlyFromTheExactWord) {
  EXPECT_EQ(ParseSettingsText(FileWith("Ulvo_Mavito zwyk\xb3"
                                       "a kopia_papierowa",
                                       "wzorcowanie"))
                .CertificationMode,
            1);
  EXPECT_EQ(ParseSettingsText(FileWith("Ulvo_Mavito zwyk\xb3"
                                       "a kopia_papierowa",
                                       ""))
                .CertificationMode,
            0);
  EXPECT_EQ(ParseSettingsText(FileWith("Ulvo_Mavito zwyk\xb3"
                                       "a kopia_papierowa",
                                       "normalny"))
                .CertificationMode,
            0);
  EXPECT_EQ(ParseSettingsText(FileWith("Ulvo_Mavito zwyk\xb3"
                                       "a kopia_papierowa",
                                       "wzorcowanie2"))
                .CertificationMode,
            0);
}

TEST(ParseSettingsText, MisspelledLabelsAreAccepted) {
  const Settings s =
      ParseSettingsText("KOM 5\r\nSpeed 4800\r\nBityDanych 7\r\nParity Nieparzyste\r\nStop 2\r\n");
  EXPECT_EQ(s.PortNumber, 5);
  EXPECT_EQ(s.PortSettings.BaudRate, 4800u);
  EXPECT_EQ(s.PortSettings.DataBits, 7);
  EXPECT_EQ(s.PortSettings.Parity, 1);
  EXPECT_EQ(s.PortSettings.StopBits, 2);
}

TEST(ParseSettingsText, MissingLabelShiftsTheWordsAndStopsAtTheFirstMisfit) {
  // The baud rate is taken for a label, then the label "BityDanch" is no number: stop there.
  const Settings s = ParseSettingsText(
      "COM 3\r\n19200\r\nBityDanch 7\r\nParzysto\x9c\xe6 Parzyste\r\nBityStopu 2\r\n"
      "Xon/Xoff 1\r\nRTS/CTS 1\r\nKodowaniePolskichLiter WINDOWS\r\nAlta_Pro Bus "
      "kopia_elektroniczna\r\nwzorcowanie\r\n"s);
  Settings expected;
  expected.PortNumber = 3;
  EXPECT_EQ(s, expected);
}

TEST(ParseSettingsText, MissingLabelLaterReadsNamesFromTheWrongPlaces) {
  // Without "BityStopu" the stop-bit name "2" is taken for a label and "Xon/Xoff" for the name.
  const Settings s = ParseSettingsText(
      "COM 3\r\nSzybko\x9c\xe6 19200\r\nBityDanch 7\r\nParzysto\x9c\xe6 Parzyste\r\n2\r\n"
      "Xon/Xoff 1\r\nRTS/CTS 1\r\n"s);
  EXPECT_EQ(s.PortSettings.Parity, 2);
  EXPECT_EQ(s.PortSettings.StopBits, 0);
  EXPECT_EQ(s.PortSettings.XonXoff, 0);  // "RTS/CTS" came where the number was due
}

TEST(ParseSettingsText, NonNumberWhereANumberIsDueStopsTheReading) {
  Settings expected;
  EXPECT_EQ(ParseSettingsText("COM x\r\nSzybkosc 19200\r\n"), expected);
  EXPECT_EQ(ParseSettingsText("COM 3x\r\nSzybkosc 19200\r\n").PortNumber, kNoPort);
  expected.PortNumber = 4;
  EXPECT_EQ(ParseSettingsText("COM 4\r\nSzybkosc 96OO\r\nBityDanch 7\r\n"), expected);
}

TEST(ParseSettingsText, OverLongWordsMatchNothingAndDoNotShiftTheRest) {
  // A label longer than its place, a parity name of 12 letters (place of 11) and a printer
  // key of 21 letters (place of 20): each is one word that matches nothing.
  const std::string text =
      "COMMUNICATIONS_PORT 6\r\nS 2400\r\nB 7\r\nP Nieparzystee\r\nB 2\r\nX 1\r\nR 1\r\n"
      "K ISOLATIN\r\nUlvo_Mavito_Ulvo_Mavi Bus kopia_elektroniczna\r\nwzorcowanie\r\n";
  ASSERT_LE(text.size(), 200u);
  const Settings s = ParseSettingsText(text);
  EXPECT_EQ(s.PortNumber, 6);
  EXPECT_EQ(s.PortSettings.BaudRate, 2400u);
  EXPECT_EQ(s.PortSettings.Parity, 0);
  EXPECT_EQ(s.PortSettings.StopBits, 2);
  EXPECT_EQ(s.PortSettings.XonXoff, 1);
  EXPECT_EQ(s.LetterCoding, 2);
  EXPECT_EQ(s.PrinterType, 2);
  EXPECT_EQ(s.BusMode, 1);
  EXPECT_EQ(s.ElectronicCopy, 1);
  EXPECT_EQ(s.CertificationMode, 1);
}

TEST(ParseSettingsText, OddParityWrittenByTheProgramReadsBack) {
  // "Nieparzyste" is one letter longer than the other names' place of 10.
  EXPECT_EQ(ParseSettingsText(FileWith("Ulvo_Mavito Bus kopia_papierowa")).PortSettings.Parity, 2);
  Settings odd;
  odd.PortSettings.Parity = 1;
  odd.PortSettings.StopBits = 2;
  odd.PortSettings.XonXoff = 1;
  EXPECT_EQ(ParseSettingsText(FormatSettingsText(odd)), odd);
}

TEST(ParseSettingsText, WordLongerThanItsPlaceIsNoName) {
  const std::string tail = "\r\nBityStopu 2\r\nXon/Xoff 1\r\nRTS/CTS 1\r\nKodowaniePolskichLiter "s;
  const Settings s =
      ParseSettingsText("COM 1 S 1200 B 8 P Parzyste12" + tail + "ISOLATIN1234 Alta_Pro");
  EXPECT_EQ(s.PortSettings.Parity, 0);
  EXPECT_EQ(s.PortSettings.StopBits, 2);
  EXPECT_EQ(s.LetterCoding, 0);
  EXPECT_EQ(s.PrinterType, 1);
  const std::string huge(5000, 'W');
  EXPECT_EQ(ParseSettingsText("COM 1 S 1200 B 8 P " + huge + tail).PortSettings.Parity, 0);
}

TEST(ParseSettingsText, OnlyTheFirst200BytesCount) {
  std::string base = FileWith(
      "Ulvo_Mavito zwyk\xb3"
      "a kopia_papierowa");
  base.resize(base.size() - 2);  // up to the end of the ninth line
  const std::string word = "wzorcowanie";
  ASSERT_LT(base.size() + word.size(), 200u);
  const std::string endsAt200 = base + std::string(200 - base.size() - word.size(), ' ') + word;
  ASSERT_EQ(endsAt200.size(), 200u);
  EXPECT_EQ(ParseSettingsText(endsAt200).CertificationMode, 1);
  // One blank more and the word is cut to "wzorcowani".
  const std::string endsAt201 = base + std::string(201 - base.size() - word.size(), ' ') + word;
  EXPECT_EQ(ParseSettingsText(endsAt201).CertificationMode, 0);
}

TEST(ParseSettingsText, TextEndsAtANul) {
  const Settings s = ParseSettingsText("COM 3\0 Szybkosc 19200"s);
  EXPECT_EQ(s.PortNumber, 3);
  EXPECT_EQ(s.PortSettings.BaudRate, 9600u);
}

TEST(ParseSettingsText, EmptyOrBinaryTextGivesDefaults) {
  EXPECT_EQ(ParseSettingsText(""), Settings{});
  EXPECT_EQ(ParseSettingsText("\xff\xfe\x01\x02 \x80"s), Settings{});
}

TEST(FormatSettingsText, IndicesOutsideTheTablesAreWrittenAsDefaultsSoTheFileReadsBack) {
  Settings s;
  s.PortSettings.Parity = 9;
  s.PortSettings.StopBits = 9;
  s.LetterCoding = 9;
  s.PrinterType = 9;
  s.PortNumber = 2;
  const Settings back = ParseSettingsText(FormatSettingsText(s));
  EXPECT_EQ(back.PortNumber, 2);
  EXPECT_EQ(back.PortSettings.Parity, 0);
  EXPECT_EQ(back.PortSettings.StopBits, 0);
  EXPECT_EQ(back.LetterCoding, 0);
  EXPECT_EQ(back.PrinterType, 2);
}

TEST(MainWindowCaption, NamesTheFamilyAndItsVariant) {
  const std::string prefix =
      "Program użytkownika drukarek fiskalnych firmy ULVO. Wybrany typ drukarki: ";
  Settings s;
  s.ElectronicCopy = 1;
  EXPECT_EQ(MainWindowCaption(s), prefix + "Mavito KE");
  s = Settings{};
  s.PrinterType = 1;
  s.BusMode = 1;
  EXPECT_EQ(MainWindowCaption(s), prefix + "Alta Pro Bus");
  s = Settings{};
  s.PrinterType = 0;
  EXPECT_EQ(MainWindowCaption(s), prefix + "Alta, Alta Plus");
}

TEST(SettingsNames, AsTheFileStoresThem) {
  EXPECT_STREQ(ParityName(4), "Odstęp");
  EXPECT_STREQ(ParityName(5), "");
  EXPECT_STREQ(StopBitsName(1), "1.5");
  EXPECT_STREQ(PrinterTypeKey(0), "Alta,Alta_Plus");
  EXPECT_STREQ(PrinterDisplayName(0), "Alta, Alta Plus");
}

}  // namespace
}  // namespace ulvo
