// The libburn recorder writing "discs" into image files through the stdio: pseudo-drive;
// the images are read back with libisofs and, once, with xorriso.

#include <gtest/gtest.h>
#include <libisofs/libisofs.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <optional>
#include <string>

#include "readout/core/disc_recorder.h"

namespace ulvo {
namespace {

namespace fs = std::filesystem;

const char kLongName[] = "MAVITO_ABC12345678_Nr_1_1234_Awaryjny.txt";

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// A report-like text: Windows-1250 letters, CR LF, a few kilobytes.
std::string ReportText(char seed) {
  std::string text;
  for (int i = 0; i < 120; ++i) {
    text += "Raport dobowy nr " + std::to_string(i) + " \xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF ";
    text += seed;
    text += "\r\n";
  }
  return text;
}

// The root of the newest session of an image file, read with libisofs.
struct ImageContents {
  std::string volumeId;
  std::map<std::string, std::string> files;  // name -> bytes
};

std::optional<ImageContents> ReadImage(const fs::path& image) {
  if (iso_init() < 0) return std::nullopt;
  std::optional<ImageContents> result;
  IsoDataSource* src = nullptr;
  IsoImage* iso = nullptr;
  IsoReadOpts* opts = nullptr;
  if (iso_data_source_new_from_file(image.c_str(), &src) >= 0 && iso_image_new("X", &iso) >= 0 &&
      iso_read_opts_new(&opts, 0) >= 0 && iso_image_import(iso, src, opts, nullptr) >= 0) {
    ImageContents contents;
    contents.volumeId = iso_image_get_volume_id(iso);
    IsoDirIter* it = nullptr;
    iso_dir_get_children(iso_image_get_root(iso), &it);
    IsoNode* node = nullptr;
    while (iso_dir_iter_next(it, &node) == 1) {
      if (!ISO_NODE_IS_FILE(node)) continue;
      IsoStream* stream = iso_file_get_stream(reinterpret_cast<IsoFile*>(node));
      std::string bytes;
      if (iso_stream_open(stream) >= 0) {
        char buffer[4096];
        int n;
        while ((n = iso_stream_read(stream, buffer, sizeof buffer)) > 0) bytes.append(buffer, n);
        iso_stream_close(stream);
      }
      contents.files[iso_node_get_name(node)] = bytes;
    }
    iso_dir_iter_free(it);
    result = contents;
  }
  if (opts) iso_read_opts_free(opts);
  if (iso) iso_image_unref(iso);
  if (src) iso_data_source_unref(src);
  iso_finish();
  return result;
}

struct WriteResult {
  bool ready = false;
  bool importFailed = false;
  bool addFailed = false;
  bool startFailed = false;
  bool writeFailed = false;
  int error = 0;
};

class DiscRecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ulvo-disc-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    image_ = dir_ / "plyta.iso";
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::unique_ptr<DiscRecorder> ImageRecorder() {
    auto recorder = MakeLibburnRecorder({false, image_.string()});
    EXPECT_FALSE(recorder->InitializeAndEnumerate());
    EXPECT_EQ(recorder->WriterCount(), 1);
    EXPECT_FALSE(recorder->SelectWriter(0));
    return recorder;
  }

  // The steps the disc dialog takes for one file.
  WriteResult Write(const fs::path& source, const std::string& name, bool closeDisc,
                    bool importPrevious) {
    auto recorder = ImageRecorder();
    WriteResult result;
    result.ready = recorder->DeviceReady();
    if (!result.ready) {
      result.error = recorder->LastError();
      return result;
    }
    recorder->PrepareNewWrite(closeDisc);
    recorder->SetWriteSpeed(recorder->MaxWriteSpeed() > 3527 ? 3528 : 0);
    recorder->SetVolumeLabel("ULVO MAVITO 60K");
    if (importPrevious && recorder->DiscHoldsData()) {
      result.importFailed = recorder->ImportPreviousSession();
    }
    if (recorder->AddFile("\\", source.string(), name)) {
      result.addFailed = true;
      result.error = recorder->LastError();
      return result;
    }
    std::promise<std::pair<bool, int>> ended;
    if (recorder->StartWrite([&](bool failed, int error) { ended.set_value({failed, error}); })) {
      result.startFailed = true;
      result.error = recorder->LastError();
      return result;
    }
    auto future = ended.get_future();
    if (future.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
      ADD_FAILURE() << "the write did not end";
      recorder->Cancel();
    }
    auto [failed, error] = future.get();
    result.writeFailed = failed;
    result.error = error;
    return result;
  }

  fs::path Source(const std::string& name, const std::string& bytes) {
    fs::path path = dir_ / name;
    WriteAll(path, bytes);
    return path;
  }

  fs::path dir_, image_;
};

TEST_F(DiscRecorderTest, FirstWriteHoldsTheFileUnderItsLongNameWithTheLabel) {
  const std::string report = ReportText('A');
  WriteResult r = Write(Source("OdczytFiskPrTemp.txt", report), kLongName, false, true);
  ASSERT_TRUE(r.ready);
  ASSERT_FALSE(r.startFailed) << r.error;
  ASSERT_FALSE(r.writeFailed) << r.error;
  auto contents = ReadImage(image_);
  ASSERT_TRUE(contents);
  EXPECT_EQ(contents->volumeId, "ULVO MAVITO 60K");
  ASSERT_EQ(contents->files.size(), 1u);
  EXPECT_EQ(contents->files[kLongName], report);
}

TEST_F(DiscRecorderTest, ImportKeepsTheEarlierSessionsFilesAndWithoutItOnlyTheNewOneShows) {
  const std::string first = ReportText('1'), second = ReportText('2'), third = ReportText('3');
  ASSERT_FALSE(Write(Source("a.txt", first), "MAVITO_Nr_1_10.txt", false, true).writeFailed);
  WriteResult r = Write(Source("b.txt", second), "MAVITO_Nr_11_20.txt", false, true);
  ASSERT_FALSE(r.importFailed);
  ASSERT_FALSE(r.startFailed || r.writeFailed) << r.error;
  auto contents = ReadImage(image_);
  ASSERT_TRUE(contents);
  EXPECT_EQ(contents->files, (std::map<std::string, std::string>{{"MAVITO_Nr_1_10.txt", first},
                                                                 {"MAVITO_Nr_11_20.txt", second}}));

  // A session written without the import hides the older files, as on a multisession CD.
  r = Write(Source("c.txt", third), "MAVITO_Nr_21_30.txt", false, false);
  ASSERT_FALSE(r.startFailed || r.writeFailed) << r.error;
  contents = ReadImage(image_);
  ASSERT_TRUE(contents);
  EXPECT_EQ(contents->files, (std::map<std::string, std::string>{{"MAVITO_Nr_21_30.txt", third}}));
}

TEST_F(DiscRecorderTest, SameNameInALaterSessionReplacesTheFile) {
  ASSERT_FALSE(Write(Source("a.txt", ReportText('1')), kLongName, false, true).writeFailed);
  const std::string newer = ReportText('2') + "koniec\r\n";
  ASSERT_FALSE(Write(Source("b.txt", newer), kLongName, false, true).writeFailed);
  auto contents = ReadImage(image_);
  ASSERT_TRUE(contents);
  ASSERT_EQ(contents->files.size(), 1u);
  EXPECT_EQ(contents->files[kLongName], newer);
}

TEST_F(DiscRecorderTest, ClosedDiscRefusesAThirdAppendAndKeepsItsFiles) {
  ASSERT_FALSE(Write(Source("a.txt", ReportText('1')), "PIERWSZY.txt", false, true).writeFailed);
  ASSERT_FALSE(Write(Source("b.txt", ReportText('2')), "DRUGI.txt", true, true).writeFailed);
  const std::string before = ReadAll(image_);
  WriteResult r = Write(Source("c.txt", ReportText('3')), "TRZECI.txt", false, true);
  EXPECT_FALSE(r.ready);
  EXPECT_EQ(r.error, kDiscClosed);
  EXPECT_EQ(ReadAll(image_), before);
  auto contents = ReadImage(image_);
  ASSERT_TRUE(contents);
  EXPECT_EQ(contents->files.size(), 2u);
}

TEST_F(DiscRecorderTest, MissingSourceIsNotAdded) {
  WriteResult r = Write(dir_ / "OdczytFiskPrTemp.txt", kLongName, false, true);
  EXPECT_TRUE(r.addFailed);
  EXPECT_EQ(r.error, kDiscSourceMissing);
  EXPECT_FALSE(fs::exists(image_) && fs::file_size(image_) > 0);
}

TEST_F(DiscRecorderTest, AFileThatIsNoDiscImageIsLeftAlone) {
  const std::string data = std::string(100000, 'x');
  WriteAll(image_, data);
  WriteResult r = Write(Source("a.txt", ReportText('1')), kLongName, false, true);
  EXPECT_FALSE(r.ready);
  EXPECT_EQ(r.error, kDiscNoMedium);
  EXPECT_EQ(ReadAll(image_), data);
}

TEST_F(DiscRecorderTest, NoRealDrivesAndNoImageGiveAnEmptyList) {
  auto recorder = MakeLibburnRecorder({false, ""});
  ASSERT_FALSE(recorder->InitializeAndEnumerate());
  EXPECT_EQ(recorder->WriterCount(), 0);
  EXPECT_TRUE(recorder->SelectWriter(0));
  EXPECT_FALSE(recorder->DeviceReady());
  EXPECT_NE(recorder->VersionText().find("libburn"), std::string::npos);
}

TEST_F(DiscRecorderTest, UlvoDiscImageAddsTheImageAfterTheRealWriters) {
  setenv("ULVO_DISC_IMAGE", image_.c_str(), 1);
  auto recorder = MakeDiscRecorderFromEnvironment();
  unsetenv("ULVO_DISC_IMAGE");
  ASSERT_FALSE(recorder->InitializeAndEnumerate());
  ASSERT_GE(recorder->WriterCount(), 1);
  const int last = recorder->WriterCount() - 1;
  EXPECT_EQ(recorder->WriterName(last), "Obraz płyty: " + image_.string());
  ASSERT_FALSE(recorder->SelectWriter(last));
  EXPECT_TRUE(recorder->DeviceReady());  // an image file not made yet is an empty disc
  EXPECT_FALSE(recorder->DiscHoldsData());
}

TEST_F(DiscRecorderTest, CancelledWriteLeavesTheEarlierSessionReadable) {
  const std::string first = ReportText('1');
  ASSERT_FALSE(Write(Source("a.txt", first), "PIERWSZY.txt", false, true).writeFailed);
  // A bigger file, so that the cancel usually catches the write under way.
  std::string big;
  for (int i = 0; i < 200; ++i) big += ReportText(static_cast<char>('a' + i % 26));
  fs::path source = Source("big.txt", big);

  auto recorder = ImageRecorder();
  ASSERT_TRUE(recorder->DeviceReady());
  recorder->PrepareNewWrite(false);
  ASSERT_FALSE(recorder->ImportPreviousSession());
  ASSERT_FALSE(recorder->AddFile("\\", source.string(), "DUZY.txt"));
  std::atomic<int> ended{-1};
  ASSERT_FALSE(recorder->StartWrite([&](bool failed, int) { ended = failed ? 1 : 0; }));
  recorder->Cancel();
  ASSERT_NE(ended.load(), -1) << "Cancel returns only after the write has ended";
  EXPECT_FALSE(recorder->Progress().writing);
  recorder.reset();

  auto contents = ReadImage(image_);
  ASSERT_TRUE(contents);
  EXPECT_EQ(contents->files["PIERWSZY.txt"], first);
  if (ended == 0) {
    EXPECT_EQ(contents->files["DUZY.txt"], big);
  } else {
    EXPECT_EQ(contents->files.count("DUZY.txt"), 0u);
  }
}

void CountSignal(int) {}

TEST_F(DiscRecorderTest, TheProgramsSignalHandlersStayInPlace) {
  struct sigaction mine {
  }, old[2]{};
  mine.sa_handler = CountSignal;
  sigemptyset(&mine.sa_mask);
  sigaction(SIGINT, &mine, &old[0]);
  sigaction(SIGTERM, &mine, &old[1]);
  ASSERT_FALSE(Write(Source("a.txt", ReportText('1')), kLongName, false, true).writeFailed);
  struct sigaction now {};
  sigaction(SIGINT, nullptr, &now);
  EXPECT_EQ(now.sa_handler, &CountSignal);
  sigaction(SIGTERM, nullptr, &now);
  EXPECT_EQ(now.sa_handler, &CountSignal);
  sigaction(SIGINT, &old[0], nullptr);
  sigaction(SIGTERM, &old[1], nullptr);
}

TEST_F(DiscRecorderTest, XorrisoReadsBothSessions) {
  if (std::system("xorriso -version >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "xorriso is not installed (Debian package xorriso); outside read skipped";
  }
  const std::string first = ReportText('1'), second = ReportText('2');
  ASSERT_FALSE(Write(Source("a.txt", first), kLongName, false, true).writeFailed);
  ASSERT_FALSE(Write(Source("b.txt", second), "MAVITO_Nr_11_20.txt", false, true).writeFailed);
  const fs::path out1 = dir_ / "out1.txt", out2 = dir_ / "out2.txt", pvd = dir_ / "pvd.txt";
  const std::string command = "xorriso -osirrox on -indev '" + image_.string() + "' -extract '/" +
                              kLongName + "' '" + out1.string() +
                              "' -extract /MAVITO_Nr_11_20.txt '" + out2.string() +
                              "' -pvd_info >'" + pvd.string() + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << ReadAll(pvd);
  EXPECT_EQ(ReadAll(out1), first);
  EXPECT_EQ(ReadAll(out2), second);
  EXPECT_NE(ReadAll(pvd).find("ULVO MAVITO 60K"), std::string::npos) << ReadAll(pvd);
}

}  // namespace
}  // namespace ulvo
