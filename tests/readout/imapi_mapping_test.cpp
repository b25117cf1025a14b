// What the Windows recorder makes of IMAPI2's numbers (checked on every platform).

#include "readout/core/imapi_mapping.h"

#include <gtest/gtest.h>

#include "readout/core/disc_recorder.h"

namespace ulvo {
namespace {

int32_t Hr(uint32_t code) {
  return static_cast<int32_t>(code);
}

TEST(ImapiMapping, SuccessCodesAreNoError) {
  EXPECT_EQ(DiscErrorOfHresult(0), kDiscOk);
  EXPECT_EQ(DiscErrorOfHresult(1), kDiscOk);               // S_FALSE
  EXPECT_EQ(DiscErrorOfHresult(Hr(0x00AA0004)), kDiscOk);  // speed adjusted
}

TEST(ImapiMapping, MissingInterfaceMeansTheLibraryDidNotStart) {
  for (uint32_t code :
       {0x80040154u, 0x800401F3u, 0x800401F0u, 0x80004002u, 0x80020006u, 0x8007007Eu}) {
    EXPECT_EQ(DiscErrorOfHresult(Hr(code)), kDiscLibraryFailed) << std::hex << code;
  }
}

TEST(ImapiMapping, DriveAndMediaResultsBecomeTheRecordersErrors) {
  EXPECT_EQ(DiscErrorOfHresult(Hr(0xC0AA0002)), kDiscCancelled);
  EXPECT_EQ(DiscErrorOfHresult(Hr(0xC0AA0003)), kDiscNoWriter);
  for (uint32_t code : {0xC0AA0202u, 0xC0AA0203u, 0xC0AA0204u, 0xC0AA0205u, 0xC0AA0206u}) {
    EXPECT_EQ(DiscErrorOfHresult(Hr(code)), kDiscNoMedium) << std::hex << code;
  }
  EXPECT_EQ(DiscErrorOfHresult(Hr(0xC0AA0207)), kDiscBusy);
  EXPECT_EQ(DiscErrorOfHresult(Hr(0xC0AA0400)), kDiscBusy);
  EXPECT_EQ(DiscErrorOfHresult(Hr(0xC0AA0209)), kDiscClosed);
  EXPECT_EQ(DiscErrorOfHresult(Hr(0xC0AA0300)), kDiscWriteFailed);  // loss of streaming
  EXPECT_EQ(DiscErrorOfHresult(Hr(0xC0AA03FF)), kDiscWriteFailed);
  EXPECT_EQ(DiscErrorOfHresult(Hr(0xC0AA020D)), kDiscWriteFailed);   // command time-out
  EXPECT_EQ(DiscErrorOfHresult(Hr(0xC0AA0406)), kDiscWriteRefused);  // stream too large
}

TEST(ImapiMapping, OtherFailuresArePassedThroughNegative) {
  for (uint32_t code : {0x80004005u, 0xC0AAB120u, 0x80070005u, 0xC0AA0500u}) {
    EXPECT_EQ(DiscErrorOfHresult(Hr(code)), Hr(code)) << std::hex << code;
    EXPECT_LT(DiscErrorOfHresult(Hr(code)), 0);
  }
  EXPECT_EQ(HresultText(Hr(0x80040154)), "0x80040154");
  EXPECT_EQ(HresultText(Hr(0xC0AA0002)), "0xC0AA0002");
}

TEST(ImapiMapping, MediaStates) {
  const int32_t blank = 0x2, appendable = 0x4, overwrite = 0x1, finalSession = 0x8;
  const int32_t damaged = 0x400, nonEmpty = 0x1000, protectedDisc = 0x2000, finalized = 0x4000;

  ImapiMedia m = InterpretMediaState(blank | appendable, true);  // empty CD-R
  EXPECT_TRUE(m.ready);
  EXPECT_FALSE(m.holdsData);
  EXPECT_FALSE(m.closed);

  m = InterpretMediaState(appendable | finalSession, false);  // CD-R with sessions
  EXPECT_TRUE(m.ready);
  EXPECT_TRUE(m.holdsData);

  m = InterpretMediaState(finalized, false);
  EXPECT_FALSE(m.ready);
  EXPECT_TRUE(m.holdsData);
  EXPECT_TRUE(m.closed);

  m = InterpretMediaState(appendable | protectedDisc, false);
  EXPECT_FALSE(m.ready);
  EXPECT_TRUE(m.closed);

  EXPECT_FALSE(InterpretMediaState(appendable | damaged, false).ready);
  EXPECT_FALSE(InterpretMediaState(appendable | nonEmpty, false).ready);

  // DVD+RW: overwritable, blank or not only by the drive's judgement.
  EXPECT_TRUE(InterpretMediaState(overwrite, true).ready);
  EXPECT_FALSE(InterpretMediaState(overwrite, true).holdsData);
  EXPECT_TRUE(InterpretMediaState(overwrite, false).holdsData);

  m = InterpretMediaState(0, false);  // not known
  EXPECT_FALSE(m.ready);
  EXPECT_FALSE(m.holdsData);
  EXPECT_FALSE(m.closed);
}

TEST(ImapiMapping, SpeedsConvertBetweenKilobytesAndSectors) {
  EXPECT_EQ(SectorsPerSecondOfKilobytes(3528), 1500);  // 20x CD
  EXPECT_EQ(KilobytesOfSectorsPerSecond(1500), 3528);
  for (int x = 1; x <= 52; ++x) {
    EXPECT_EQ(SectorsPerSecondOfKilobytes(KilobytesOfSectorsPerSecond(75 * x)), 75 * x) << x;
  }
  EXPECT_EQ(SectorsPerSecondOfKilobytes(0), 0);
  EXPECT_EQ(SectorsPerSecondOfKilobytes(-5), 0);
  EXPECT_EQ(KilobytesOfSectorsPerSecond(-1), 0);
  EXPECT_GT(SectorsPerSecondOfKilobytes(INT32_MAX), 0);
  EXPECT_GT(KilobytesOfSectorsPerSecond(INT64_MAX), 0);
}

TEST(ImapiMapping, WritePercentFollowsTheWrittenSectors) {
  EXPECT_EQ(ImapiWritePercent(2, 0, 0, 0), 0);  // initializing the drive
  EXPECT_EQ(ImapiWritePercent(4, 1000, 200, 1100), 50);
  EXPECT_EQ(ImapiWritePercent(4, 1000, 200, 900), 0);
  EXPECT_EQ(ImapiWritePercent(4, 1000, 200, 5000), 100);
  EXPECT_EQ(ImapiWritePercent(4, 1000, 0, 1000), -1);
  EXPECT_EQ(ImapiWritePercent(5, 0, 0, 0), 100);  // finalization
  EXPECT_EQ(ImapiWritePercent(6, 0, 0, 0), 100);  // completed
  EXPECT_EQ(ImapiWritePercent(99, 0, 10, 5), -1);
}

TEST(ImapiMapping, ImagePathsOfFoldersAndNames) {
  const std::string name = "MAVITO_ABC12345678_Nr_1_1234_Awaryjny.txt";
  EXPECT_EQ(ImagePathOf("\\", name), name);
  EXPECT_EQ(ImagePathOf("/", name), name);
  EXPECT_EQ(ImagePathOf("", name), name);
  EXPECT_EQ(ImagePathOf("\\raporty/2024\\\\", "a.txt"), "raporty\\2024\\a.txt");
  EXPECT_EQ(ImagePathOf("\\", "Odczyt ąę.txt"), "Odczyt ąę.txt");

  EXPECT_EQ(ImagePathOf("\\", ""), "");
  EXPECT_EQ(ImagePathOf("\\", "a\\b.txt"), "");
  EXPECT_EQ(ImagePathOf("\\", "a/b.txt"), "");
  EXPECT_EQ(ImagePathOf("\\", ".."), "");
  EXPECT_EQ(ImagePathOf("\\..\\x", "a.txt"), "");
  EXPECT_EQ(ImagePathOf("\\", "a\r\n.txt"), "");

  EXPECT_EQ(ImageFoldersOf("a.txt"), std::vector<std::string>{});
  EXPECT_EQ(ImageFoldersOf("r\\2024\\a.txt"), (std::vector<std::string>{"r", "r\\2024"}));
}

TEST(ImapiMapping, VolumePathsOfWrittenFiles) {
  EXPECT_EQ(VolumeFilePath("D:\\", "a.txt"), "D:\\a.txt");
  EXPECT_EQ(VolumeFilePath("D:", "r\\a.txt"), "D:\\r\\a.txt");
  EXPECT_EQ(VolumeFilePath("C:\\mnt\\cd\\", "a.txt"), "C:\\mnt\\cd\\a.txt");
  EXPECT_EQ(VolumeFilePath("", "a.txt"), "");
  EXPECT_EQ(VolumeFilePath("D:\\", ""), "");
}

TEST(ImapiMapping, WriterNamesForTheDriveList) {
  EXPECT_EQ(ImapiWriterName("HL-DT-ST", "DVDRAM GH24NSD1 ", {"E:\\"}),
            "HL-DT-ST DVDRAM GH24NSD1 (E:\\)");
  EXPECT_EQ(ImapiWriterName("TSSTcorp", "CDDVDW SH-224DB", {"D:\\", "C:\\cd\\"}),
            "TSSTcorp CDDVDW SH-224DB (D:\\, C:\\cd\\)");
  EXPECT_EQ(ImapiWriterName("", "BD-RE", {}), "BD-RE");
  EXPECT_EQ(ImapiWriterName("  ", "", {""}), "Napęd CD/DVD");
}

}  // namespace
}  // namespace ulvo
