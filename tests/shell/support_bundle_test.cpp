// The support bundle holds what the service needs and nothing else of the user's.
#ifdef ULVO_WITH_ZIP

#include "shell/core/support_bundle.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zip.h>

#include <fstream>
#include <map>
#include <string>

namespace ulvo {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> Listing(const fs::path& zipFile) {
  std::map<std::string, std::string> entries;
  int error = 0;
  zip_t* zip = zip_open(zipFile.c_str(), ZIP_RDONLY, &error);
  if (zip == nullptr) return entries;
  for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
    zip_stat_t st;
    if (zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &st) != 0) continue;
    std::string bytes(st.size, '\0');
    zip_file_t* file = zip_fopen_index(zip, static_cast<zip_uint64_t>(i), 0);
    if (file != nullptr) {
      zip_fread(file, bytes.data(), st.size);
      zip_fclose(file);
    }
    entries[st.name] = bytes;
  }
  zip_close(zip);
  return entries;
}

TEST(SupportBundle, HoldsSettingsPortReportLogAndLastCaptureOnly) {
  const fs::path dir = fs::temp_directory_path() / ("ulvo-bundle-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "DaneWy.bin", std::ios::binary) << "\x1bP#s\x1b\\";
  std::ofstream(dir / "DaneWe.bin", std::ios::binary) << "\x1bP2#X\x1b\\";
  std::ofstream(dir / "przechwycenie_1.pcap", std::ios::binary) << "pcap";
  std::ofstream(dir / "paragony.lin") << "the user's own";  // stays out
  SupportBundleInput input;
  input.version = "2.0.0";
  input.settings.PortNumber = 3;
  input.settings.PortSettings.BaudRate = 57600;
  input.settings.PortAddresses[3] = "/dev/null";
  input.portDevice = "/dev/null";
  input.portState = "zamknięty";
  input.logDir = dir;
  input.capture = dir / "przechwycenie_1.pcap";
  ASSERT_EQ(WriteSupportBundle(dir / "serwis.zip", input), std::nullopt);

  const auto entries = Listing(dir / "serwis.zip");
  std::string names;
  for (const auto& [name, bytes] : entries) names += name + " ";
  EXPECT_EQ(names, "DaneWe.bin DaneWy.bin opis.txt porty.txt przechwycenie_1.pcap ustaw.txt ");
  EXPECT_EQ(entries.at("ustaw.txt"), FormatSettingsText(input.settings));
  EXPECT_EQ(entries.at("porty.txt"), "COM3=/dev/null\r\n");
  EXPECT_EQ(entries.at("DaneWe.bin"), "\x1bP2#X\x1b\\");
  const std::string& about = entries.at("opis.txt");
  for (const char* part :
       {"wersja 2.0.0", "COM 3 (zamknięty)", "57600 bodów", "Urządzenie: /dev/null",
        "Rodzaj: urządzenie znakowe 1:3", "przechwycenie_1.pcap (4 bajtów)"})
    EXPECT_NE(about.find(part), std::string::npos) << part << "\n" << about;

  // A folder that is not there: a message, and nothing left behind.
  const auto refused = WriteSupportBundle(dir / "brak" / "serwis.zip", input);
  ASSERT_TRUE(refused);
  EXPECT_NE(refused->find("Nie mogę zapisać pliku"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "brak"));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace ulvo

#endif
