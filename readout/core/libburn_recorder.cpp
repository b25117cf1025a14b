// The disc recorder over libburn (drives, writing) and libisofs (the ISO 9660 file tree with
// Joliet and Rock Ridge, import of the last session).
//
// Two kinds of media:
//  - sequential (CD-R, DVD-R, DVD+R...): real multisession; the drive reports the last
//    session's start and the next writable address, and the close-disc option ends the disc;
//  - random access (stdio: image files, DVD+RW, DVD-RAM, BD-RE): one continuous ISO volume
//    grown in place. A new session goes behind the volume; only after it was written and
//    read back are its descriptors copied to the first 64 KiB, so a failed write leaves the
//    older sessions readable. Closing is kept as a mark in the volume's application use
//    field, since such media cannot be closed.

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>
#include <vector>

// libburn declares everything inside `namespace burn` for C++, while libisofs speaks of the
// global `struct burn_source`: the same C struct under two C++ names, hence the casts below.
#include <libburn/libburn.h>
#include <libisofs/libisofs.h>

#include "readout/core/disc_recorder.h"

namespace ulvo {
namespace {

using namespace burn;
using IsoBurnSource = ::burn_source;   // as libisofs hands it out
using BurnSource = burn::burn_source;  // as libburn takes it

constexpr int kBlock = 2048;
constexpr int kHeadBlocks = 32;  // the first 64 KiB that carry the volume descriptors
constexpr char kClosedMark[] = "ULVO: PLYTA ZAMKNIETA";

// libburn may set signal dispositions while it starts, scans and writes; the program's own
// ones are put back afterwards.
class SignalGuard {
 public:
  SignalGuard() {
    for (int s = 1; s < kSignals; ++s) saved_[s].ok = sigaction(s, nullptr, &saved_[s].action) == 0;
  }
  ~SignalGuard() {
    for (int s = 1; s < kSignals; ++s) {
      if (saved_[s].ok && s != SIGKILL && s != SIGSTOP) sigaction(s, &saved_[s].action, nullptr);
    }
  }
  SignalGuard(const SignalGuard&) = delete;
  SignalGuard& operator=(const SignalGuard&) = delete;

 private:
  static constexpr int kSignals = 32;
  struct Saved {
    bool ok = false;
    struct sigaction action {};
  };
  Saved saved_[kSignals];
};

struct Writer {
  std::string name;
  std::string address;  // libburn's drive address; "stdio:<path>" for an image
  std::string imagePath;
};

// What the disc in the selected drive is.
struct Media {
  bool ready = false;      // a disc that takes another session
  bool holdsData = false;  // an earlier session is there
  bool closed = false;
  bool randomAccess = false;
  int lastSessionStart = 0;  // where the newest session's volume descriptors start (-16)
  int nextWritable = 0;      // where a new session starts
};

// Reads blocks of the grabbed drive for libisofs.
int SourceOpen(IsoDataSource*) {
  return 1;
}
int SourceClose(IsoDataSource*) {
  return 1;
}
void SourceFree(IsoDataSource*) {}
int SourceRead(IsoDataSource* src, uint32_t lba, uint8_t* buffer) {
  auto* drive = static_cast<burn_drive*>(src->data);
  off_t count = 0;
  int r = burn_read_data(drive, static_cast<off_t>(lba) * kBlock, reinterpret_cast<char*>(buffer),
                         kBlock, &count, 2 | 4);
  return r > 0 ? 1 : ISO_DATA_SOURCE_FAILURE;
}

// A data source over `drive`; libisofs frees it with free() at its last reference.
IsoDataSource* NewDriveSource(burn_drive* drive) {
  auto* src = static_cast<IsoDataSource*>(calloc(1, sizeof(IsoDataSource)));
  if (src == nullptr) return nullptr;
  src->version = 0;
  src->refcount = 1;
  src->open = SourceOpen;
  src->close = SourceClose;
  src->read_block = SourceRead;
  src->free_data = SourceFree;
  src->data = drive;
  return src;
}

// Imports the session whose descriptors start at `startBlock` into `image`; < 0 on failure.
int ImportSession(IsoImage* image, burn_drive* drive, int startBlock) {
  IsoDataSource* src = NewDriveSource(drive);
  if (src == nullptr) return ISO_OUT_OF_MEM;
  IsoReadOpts* ropts = nullptr;
  int r = iso_read_opts_new(&ropts, 0);
  if (r < 0) {
    iso_data_source_unref(src);
    return r;
  }
  iso_read_opts_set_start_block(ropts, static_cast<uint32_t>(startBlock));
  IsoReadImageFeatures* features = nullptr;
  r = iso_image_import(image, src, ropts, &features);
  if (features != nullptr) iso_read_image_features_destroy(features);
  iso_read_opts_free(ropts);
  iso_data_source_unref(src);
  return r;
}

bool ReadFileBytes(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool IsRegularReadable(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), R_OK) == 0;
}

IsoDir* FolderNode(IsoImage* image, const std::string& folder) {
  if (folder.empty() || folder == "/" || folder == "\\") return iso_image_get_root(image);
  std::string path = folder;
  std::replace(path.begin(), path.end(), '\\', '/');
  if (path.front() != '/') path.insert(path.begin(), '/');
  IsoNode* node = nullptr;
  if (iso_tree_path_to_node(image, path.c_str(), &node) != 1 || !ISO_NODE_IS_DIR(node)) {
    return nullptr;
  }
  return reinterpret_cast<IsoDir*>(node);
}

struct AddedFile {
  std::string folder, sourcePath, nameOnDisc;
};

class LibburnRecorder : public DiscRecorder {
 public:
  explicit LibburnRecorder(LibburnRecorderOptions options) : options_(std::move(options)) {}

  ~LibburnRecorder() override {
    Cancel();
    FreeImage();
    ReleaseDrive(false);
    if (started_) {
      SignalGuard guard;
      iso_finish();
      burn_finish();
    }
  }

  bool InitializeAndEnumerate() override {
    if (busy_) return Fail(kDiscBusy);
    if (!started_) {
      SignalGuard guard;
      if (burn_initialize() != 1) return Fail(kDiscLibraryFailed);
      if (iso_init() < 0) {
        burn_finish();
        return Fail(kDiscLibraryFailed);
      }
      // Mode 1: no handler of libburn's own, the system's reactions stay.
      burn_set_signal_handling(nullptr, nullptr, 1);
      burn_msgs_set_severities(const_cast<char*>("ALL"), const_cast<char*>("NEVER"),
                               const_cast<char*>("ulvo: "));
      iso_set_msgs_severities(const_cast<char*>("NEVER"), const_cast<char*>("NEVER"),
                              const_cast<char*>("ulvo"));
      started_ = true;
    }
    FreeImage();
    ReleaseDrive(false);
    writers_.clear();
    selected_ = -1;
    if (options_.scanRealDrives) ScanRealDrives();
    if (!options_.imagePath.empty()) {
      writers_.push_back({DiscImageWriterName(options_.imagePath), "stdio:" + options_.imagePath,
                          options_.imagePath});
    }
    lastError_ = kDiscOk;
    return false;
  }

  int WriterCount() const override { return static_cast<int>(writers_.size()); }

  std::string WriterName(int index) const override {
    if (index < 0 || index >= WriterCount()) return {};
    return writers_[index].name;
  }

  bool SelectWriter(int index) override {
    if (busy_) return Fail(kDiscBusy);
    if (index < 0 || index >= WriterCount()) return Fail(kDiscNoWriter);
    if (index != selected_) {
      FreeImage();
      ReleaseDrive(false);
      selected_ = index;
    }
    return false;
  }

  std::string VersionText() const override {
    int bMajor = 0, bMinor = 0, bMicro = 0, iMajor = 0, iMinor = 0, iMicro = 0;
    burn_version(&bMajor, &bMinor, &bMicro);
    iso_lib_version(&iMajor, &iMinor, &iMicro);
    char text[96];
    std::snprintf(text, sizeof text, "libburn %d.%d.%d, libisofs %d.%d.%d", bMajor, bMinor, bMicro,
                  iMajor, iMinor, iMicro);
    return text;
  }

  bool DeviceReady() override {
    if (busy_ || !Grab()) return false;
    Media media = Inspect();
    if (!media.ready) lastError_ = media.closed ? kDiscClosed : kDiscNoMedium;
    return media.ready;
  }

  void PrepareNewWrite(bool closeDisc) override {
    if (busy_) return;
    FreeImage();
    if (iso_image_new("ULVO", &image_) < 0) image_ = nullptr;
    closeDisc_ = closeDisc;
    imported_ = false;
    label_.clear();
    files_.clear();
  }

  int MaxWriteSpeed() override {
    if (busy_ || !Grab()) return 0;
    return std::max(0, burn_drive_get_write_speed(drive_));
  }

  void SetWriteSpeed(int kilobytesPerSecond) override {
    if (busy_ || !Grab()) return;
    // libburn: 0 asks for the drive's fastest, which is what a drive does by default.
    burn_drive_set_speed(drive_, 0, std::max(0, kilobytesPerSecond));
  }

  void SetVolumeLabel(const std::string& label) override {
    label_ = label;
    if (image_ != nullptr) {
      iso_image_set_volume_id(image_, label.c_str());
      iso_image_set_volset_id(image_, label.c_str());
    }
  }

  bool DiscHoldsData() override {
    if (busy_ || !Grab()) return false;
    return Inspect().holdsData;
  }

  bool ImportPreviousSession() override {
    if (busy_) return Fail(kDiscBusy);
    if (image_ == nullptr) return Fail(kDiscNotPrepared);
    if (!Grab()) return Fail(kDiscNoWriter);
    Media media = Inspect();
    if (!media.holdsData) return Fail(kDiscNoMedium);
    int r = ImportSession(image_, drive_, media.lastSessionStart);
    if (r < 0) {
      // A failed import may leave a half-filled tree: start over with an empty one.
      bool close = closeDisc_;
      std::vector<AddedFile> files = files_;
      std::string label = label_;
      PrepareNewWrite(close);
      SetVolumeLabel(label);
      for (const AddedFile& f : files) AddFile(f.folder, f.sourcePath, f.nameOnDisc);
      return Fail(r);
    }
    // The import takes over the old volume's label.
    if (!label_.empty()) iso_image_set_volume_id(image_, label_.c_str());
    imported_ = true;
    return false;
  }

  bool AddFile(const std::string& folder, const std::string& sourcePath,
               const std::string& nameOnDisc) override {
    if (busy_) return Fail(kDiscBusy);
    if (image_ == nullptr) return Fail(kDiscNotPrepared);
    if (!IsRegularReadable(sourcePath)) return Fail(kDiscSourceMissing);
    IsoDir* dir = FolderNode(image_, folder);
    if (dir == nullptr) return Fail(kDiscSourceMissing);
    IsoNode* old = nullptr;
    if (iso_dir_get_node(dir, nameOnDisc.c_str(), &old) == 1 && old != nullptr) {
      // A later readout of the same name replaces the earlier one.
      iso_node_take(old);
      iso_node_unref(old);
    }
    IsoNode* node = nullptr;
    int r = iso_tree_add_new_node(image_, dir, nameOnDisc.c_str(), sourcePath.c_str(), &node);
    if (r < 0) return Fail(r);
    files_.push_back({folder, sourcePath, nameOnDisc});
    return false;
  }

  bool StartWrite(Completion done) override {
    if (busy_) return Fail(kDiscBusy);
    if (watcher_.joinable()) watcher_.join();  // the previous write has ended
    if (image_ == nullptr) return Fail(kDiscNotPrepared);
    if (!Grab()) return Fail(kDiscNoWriter);
    Media media = Inspect();
    if (!media.ready) return Fail(media.closed ? kDiscClosed : kDiscNoMedium);
    DrainMessages();

    const int start = media.holdsData ? media.nextWritable : 0;
    const bool growInPlace = media.randomAccess && start > 0;
    if (media.randomAccess && !media.holdsData && !CurrentImagePath().empty()) {
      // A new first session on an image file: nothing of an older, longer file may remain.
      if (truncate(CurrentImagePath().c_str(), 0) != 0 && errno != ENOENT) {
        return Fail(kDiscWriteRefused);
      }
    }

    IsoWriteOpts* wopts = nullptr;
    int r = iso_write_opts_new(&wopts, 2);
    if (r < 0) return Fail(r);
    iso_write_opts_set_rockridge(wopts, 1);
    iso_write_opts_set_joliet(wopts, 1);
    iso_write_opts_set_joliet_long_names(wopts, 1);
    iso_write_opts_set_allow_deep_paths(wopts, 1);
    // The label keeps its blanks ("ULVO MAVITO 60K"), not ISO 9660's '_' for them.
    iso_write_opts_set_relaxed_vol_atts(wopts, 1);
    if (media.holdsData) {
      iso_write_opts_set_appendable(wopts, 1);
      iso_write_opts_set_ms_block(wopts, static_cast<uint32_t>(start));
    }
    head_.assign(static_cast<size_t>(kHeadBlocks) * kBlock, 0);
    if (growInPlace) iso_write_opts_set_overwrite_buf(wopts, head_.data());
    if (media.randomAccess && closeDisc_) {
      iso_image_set_app_use(image_, kClosedMark, static_cast<int>(std::strlen(kClosedMark)));
    } else {
      iso_image_set_app_use(image_, "", 0);
    }

    IsoBurnSource* isoSource = nullptr;
    r = iso_image_create_burn_source(image_, wopts, &isoSource);
    iso_write_opts_free(wopts);
    if (r < 0) return Fail(r);

    job_ = Job{};
    job_.isoSource = reinterpret_cast<BurnSource*>(isoSource);
    job_.disc = burn_disc_create();
    job_.session = burn_session_create();
    job_.track = burn_track_create();
    job_.options = burn_write_opts_new(drive_);
    if (job_.disc == nullptr || job_.session == nullptr || job_.track == nullptr ||
        job_.options == nullptr) {
      FreeJob();
      return Fail(kDiscLibraryFailed);
    }
    burn_disc_add_session(job_.disc, job_.session, BURN_POS_END);
    burn_track_define_data(job_.track, 0, 0, 1, BURN_MODE1);
    // No libburn fifo: libisofs' source buffers itself and joins its thread when freed,
    // whereas a fifo's thread winds down on its own after the write.
    burn_track_set_source(job_.track, job_.isoSource);
    burn_session_add_track(job_.session, job_.track, BURN_POS_END);
    burn_write_opts_set_perform_opc(job_.options, 0);
    // Random access media know no sessions of their own (see the closed mark above).
    burn_write_opts_set_multi(job_.options, media.randomAccess || closeDisc_ ? 0 : 1);
    burn_write_opts_set_underrun_proof(job_.options, 1);
    burn_write_opts_set_simulate(job_.options, 0);
    if (media.randomAccess) burn_write_opts_set_start_byte(job_.options, off_t{start} * kBlock);
    char reasons[BURN_REASONS_LEN] = {};
    if (burn_write_opts_auto_write_type(job_.options, job_.disc, reasons, 0) == BURN_WRITE_NONE) {
      FreeJob();
      int code = LastLibburnError();
      return Fail(code != 0 ? code : kDiscWriteRefused);
    }
    job_.sessionStart = start;
    job_.growInPlace = growInPlace;
    job_.firstOnImage = media.randomAccess && !media.holdsData;
    job_.imagePath = CurrentImagePath();

    cancelRequested_ = false;
    percent_ = -1;
    busy_ = true;
    writerEnded_ = false;
    if (int refused = BeginWrite(); refused != 0) {
      busy_ = false;
      FreeJob();
      return Fail(refused);
    }
    watcher_ = std::thread([this, done = std::move(done)] { Watch(done); });
    return false;
  }

  int LastError() const override { return lastError_; }

  DiscProgress Progress() const override { return {busy_.load(), percent_.load()}; }

  void Cancel() override {
    if (!watcher_.joinable()) return;
    cancelRequested_ = true;
    if (drive_ != nullptr && burn_drive_get_status(drive_, nullptr) != BURN_DRIVE_IDLE) {
      burn_drive_cancel(drive_);
    }
    watcher_.join();
  }

  void UnlockAndEject() override {
    Cancel();
    FreeImage();
    if (drive_ == nullptr && selected_ >= 0 && writers_[selected_].imagePath.empty()) Grab();
    ReleaseDrive(true);
  }

 private:
  struct Job {
    BurnSource* isoSource = nullptr;
    burn_disc* disc = nullptr;
    burn_session* session = nullptr;
    burn_track* track = nullptr;
    burn_write_opts* options = nullptr;
    int sessionStart = 0;
    bool growInPlace = false;
    bool firstOnImage = false;
    std::string imagePath;
  };

  bool Fail(int error) {
    lastError_ = error;
    return true;
  }

  std::string CurrentImagePath() const {
    return selected_ >= 0 ? writers_[selected_].imagePath : std::string();
  }

  void ScanRealDrives() {
    burn_drive_info* infos = nullptr;
    unsigned int count = 0;
    SignalGuard guard;
    // The scan runs on libburn's own thread: 0 means it is still going on, and a write that
    // starts before it ended is refused as "still going on".
    int scanned = 0;
    for (int waited = 0; (scanned = burn_drive_scan(&infos, &count)) == 0 && waited < 300;
         ++waited) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (scanned != 1) return;
    for (unsigned int i = 0; i < count; ++i) {
      char address[BURN_DRIVE_ADR_LEN] = {};
      if (burn_drive_get_adr(&infos[i], address) > 0) {
        std::string name =
            std::string(infos[i].vendor) + " " + infos[i].product + " (" + address + ")";
        writers_.push_back({name, address, {}});
      }
      burn_drive_info_forget(&infos[i], 0);
    }
    burn_drive_info_free(infos);
  }

  bool Grab() {
    if (drive_ != nullptr) return true;
    if (selected_ < 0) {
      lastError_ = kDiscNoWriter;
      return false;
    }
    std::string address = writers_[selected_].address;
    SignalGuard guard;
    if (burn_drive_scan_and_grab(&driveInfo_, address.data(), 1) != 1 || driveInfo_ == nullptr) {
      driveInfo_ = nullptr;
      lastError_ = kDiscNoWriter;
      return false;
    }
    drive_ = driveInfo_[0].drive;
    return true;
  }

  void ReleaseDrive(bool eject) {
    if (drive_ == nullptr) return;
    burn_drive_release(drive_, eject ? 1 : 0);
    burn_drive_info_free(driveInfo_);
    drive_ = nullptr;
    driveInfo_ = nullptr;
  }

  void FreeImage() {
    if (image_ != nullptr) iso_image_unref(image_);
    image_ = nullptr;
    files_.clear();
  }

  void FreeJob() {
    if (job_.options != nullptr) burn_write_opts_free(job_.options);
    if (job_.disc != nullptr) burn_disc_free(job_.disc);
    if (job_.session != nullptr) burn_session_free(job_.session);
    if (job_.track != nullptr) burn_track_free(job_.track);
    if (job_.isoSource != nullptr) burn_source_free(job_.isoSource);
    job_ = Job{};
  }

  static bool IsRandomAccessProfile(int profile) {
    // DVD-RAM, DVD-RW restricted overwrite, DVD+RW, BD-RE
    return profile == 0x12 || profile == 0x13 || profile == 0x1a || profile == 0x43;
  }

  Media Inspect() {
    Media media;
    int profile = 0;
    char profileName[80] = {};
    burn_disc_get_profile(drive_, &profile, profileName);
    const int role = burn_drive_get_drive_role(drive_);
    media.randomAccess = role == 2 || (role == 1 && IsRandomAccessProfile(profile));
    const enum burn_disc_status status = burn_disc_get_status(drive_);
    if (status == BURN_DISC_EMPTY || status == BURN_DISC_UNREADY ||
        status == BURN_DISC_UNSUITABLE || role == 0) {
      return media;
    }
    if (media.randomAccess) return InspectVolume(media);
    if (status == BURN_DISC_BLANK) {
      media.ready = true;
    } else if (status == BURN_DISC_APPENDABLE) {
      int msc1 = 0, lba = 0, nwa = 0;
      if (burn_disc_get_msc1(drive_, &msc1) > 0 &&
          burn_disc_track_lba_nwa(drive_, nullptr, 0, &lba, &nwa) > 0) {
        media.ready = media.holdsData = true;
        media.lastSessionStart = msc1;
        media.nextWritable = nwa;
      }
    } else if (status == BURN_DISC_FULL) {
      media.holdsData = media.closed = true;
    }
    return media;
  }

  // An image file or overwritable disc: one volume whose descriptors are at block 16.
  Media InspectVolume(Media media) {
    std::string image = CurrentImagePath();
    if (!image.empty()) {
      struct stat st {};
      if (stat(image.c_str(), &st) != 0 || st.st_size == 0) {
        media.ready = true;  // a new, empty image
        return media;
      }
    }
    char pvd[kBlock];
    off_t count = 0;
    bool read = burn_read_data(drive_, off_t{16} * kBlock, pvd, kBlock, &count, 2 | 4) > 0;
    if (!read || pvd[0] != 1 || std::memcmp(pvd + 1, "CD001", 5) != 0) {
      // A rewritable disc without a volume is blank; a file that is no disc image is
      // somebody's data and is left alone.
      media.ready = image.empty();
      return media;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(pvd);
    uint32_t volumeBlocks = p[80] | (p[81] << 8) | (p[82] << 16) | (uint32_t{p[83]} << 24);
    media.holdsData = true;
    media.closed = std::memcmp(pvd + 883, kClosedMark, std::strlen(kClosedMark)) == 0;
    media.ready = !media.closed;
    media.lastSessionStart = 0;  // the newest descriptors are always the ones at the start
    // Next session on a 32 KiB boundary, behind the 64 KiB the descriptors are copied to.
    uint32_t next = (volumeBlocks + 15) / 16 * 16;
    media.nextWritable = static_cast<int>(std::max<uint32_t>(next, kHeadBlocks));
    return media;
  }

  // Hands the job to libburn's writer thread; 0 when it went, else the error number. The
  // thread of a write that has just ended may still be winding down for a moment, during
  // which libburn turns a new write away: that is waited out (at most two seconds).
  int BeginWrite() {
    for (int attempt = 0;; ++attempt) {
      // Messages queued earlier (a drive scan that met devices it may not open) are not
      // this write's answer.
      DrainMessages();
      {
        SignalGuard guard;
        burn_disc_write(job_.options, job_.disc);
      }
      bool stillBusy = false;
      int refused = 0;
      TakeMessages([&](int code, const char* text) {
        if (std::strstr(text, "still going on") != nullptr) stillBusy = true;
        refused = code != 0 ? code : kDiscWriteRefused;
      });
      if (refused == 0) return 0;
      if (!stillBusy || attempt >= 40) return refused;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  // Takes libburn's queued messages: `sorry` sees those of severity SORRY and above. Notes
  // the writer thread's last message on the way.
  template <typename Sorry>
  void TakeMessages(Sorry&& sorry) {
    int sorryRank = 0;
    burn_text_to_sev(const_cast<char*>("SORRY"), &sorryRank, 0);
    for (;;) {
      int code = 0, osErrno = 0, rank = 0;
      char text[BURN_MSGS_MESSAGE_LEN] = {}, severity[80] = {};
      if (burn_msgs_obtain(const_cast<char*>("ALL"), &code, text, &osErrno, severity) <= 0) break;
      if (std::strstr(text, "Write thread on drive") != nullptr) writerEnded_ = true;
      if (burn_text_to_sev(severity, &rank, 0) > 0 && rank >= sorryRank) sorry(code, text);
    }
  }

  // libburn's writer thread reports "Write thread on drive N ended" as its last act; the job
  // and the drive are let go only after that (bounded). Returns the last error code seen.
  int WaitForWriterThreadEnd() {
    int last = 0;
    for (int i = 0; i < 500; ++i) {
      TakeMessages([&](int code, const char*) { last = code; });
      if (writerEnded_) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Only libburn's bookkeeping of the thread follows the message; give it that moment.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return last;
  }

  int LastLibburnError() {
    int last = 0;
    TakeMessages([&](int code, const char*) { last = code; });
    return last;
  }
  void DrainMessages() { (void)LastLibburnError(); }

  // The recorder's thread: follows libburn's write, then reads the new session back.
  void Watch(const Completion& done) {
    while (burn_drive_get_status(drive_, nullptr) == BURN_DRIVE_SPAWNING) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    burn_progress progress{};
    while (burn_drive_get_status(drive_, &progress) != BURN_DRIVE_IDLE) {
      if (progress.sectors > 0) {
        long long pct = 100LL * progress.sector / progress.sectors;
        percent_ = static_cast<int>(std::clamp(pct, 0LL, 100LL));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const bool wroteWell = burn_drive_wrote_well(drive_) != 0;
    int libburnError = WaitForWriterThreadEnd();
    const Job job = job_;
    FreeJob();

    int error = kDiscOk;
    if (cancelRequested_) {
      error = kDiscCancelled;
    } else if (!wroteWell) {
      error = libburnError != 0 ? libburnError : kDiscWriteFailed;
    } else {
      percent_ = 100;
      error = ReadBack(job.sessionStart);
      if (error == kDiscOk && job.growInPlace) {
        // The new session is good: make it the one readers find.
        if (burn_random_access_write(drive_, 0, reinterpret_cast<char*>(head_.data()),
                                     static_cast<off_t>(head_.size()), 1) != 1) {
          error = kDiscWriteFailed;
        }
      }
    }
    if (error != kDiscOk && job.firstOnImage && !job.imagePath.empty()) {
      // A first session that did not come out whole leaves an empty image, not a broken one.
      if (truncate(job.imagePath.c_str(), 0) != 0) {
        // The image stays as it is; the error is reported anyway.
      }
    }
    lastError_ = error;
    busy_ = false;
    if (done) done(error != kDiscOk, error);
  }

  // Reads the session starting at `start` back and compares every added file with its source.
  int ReadBack(int start) {
    IsoImage* check = nullptr;
    if (iso_image_new("CHECK", &check) < 0) return kDiscReadBackFailed;
    int error = kDiscOk;
    if (ImportSession(check, drive_, start) < 0) {
      error = kDiscReadBackFailed;
    } else {
      for (const AddedFile& f : files_) {
        if (cancelRequested_) {
          error = kDiscCancelled;
          break;
        }
        IsoDir* dir = FolderNode(check, f.folder);
        IsoNode* node = nullptr;
        if (dir == nullptr || iso_dir_get_node(dir, f.nameOnDisc.c_str(), &node) != 1 ||
            !ISO_NODE_IS_FILE(node)) {
          error = kDiscReadBackMismatch;
          break;
        }
        std::string expected;
        if (!ReadFileBytes(f.sourcePath, expected)) {
          error = kDiscReadBackFailed;
          break;
        }
        if (!SameContent(reinterpret_cast<IsoFile*>(node), expected)) {
          error = kDiscReadBackMismatch;
          break;
        }
      }
    }
    iso_image_unref(check);
    return error;
  }

  static bool SameContent(IsoFile* file, const std::string& expected) {
    IsoStream* stream = iso_file_get_stream(file);
    if (stream == nullptr || iso_stream_get_size(stream) != static_cast<off_t>(expected.size())) {
      return false;
    }
    if (iso_stream_open(stream) < 0) return false;
    std::string got;
    char buffer[16 * 1024];
    bool ok = true;
    for (;;) {
      int n = iso_stream_read(stream, buffer, sizeof buffer);
      if (n < 0) {
        ok = false;
        break;
      }
      if (n == 0) break;
      got.append(buffer, static_cast<size_t>(n));
      if (got.size() > expected.size()) break;
    }
    iso_stream_close(stream);
    return ok && got == expected;
  }

  LibburnRecorderOptions options_;
  bool started_ = false;
  std::vector<Writer> writers_;
  int selected_ = -1;
  burn_drive_info* driveInfo_ = nullptr;
  burn_drive* drive_ = nullptr;

  IsoImage* image_ = nullptr;
  bool closeDisc_ = false;
  bool imported_ = false;
  std::string label_;
  std::vector<AddedFile> files_;
  std::vector<uint8_t> head_;  // the descriptors for the first 64 KiB of grown media

  Job job_;
  std::thread watcher_;
  std::atomic<bool> busy_{false};
  std::atomic<bool> cancelRequested_{false};
  bool writerEnded_ = false;  // libburn's writer thread has said its last word
  std::atomic<int> percent_{-1};
  std::atomic<int> lastError_{kDiscOk};
};

}  // namespace

std::string DiscImageWriterName(const std::string& imagePath) {
  return "Obraz płyty: " + imagePath;
}

std::unique_ptr<DiscRecorder> MakeLibburnRecorder(LibburnRecorderOptions options) {
  return std::make_unique<LibburnRecorder>(std::move(options));
}

std::unique_ptr<DiscRecorder> MakeDiscRecorderFromEnvironment() {
  LibburnRecorderOptions options;
  if (const char* image = std::getenv("ULVO_DISC_IMAGE"); image != nullptr && *image != '\0') {
    options.imagePath = image;
  }
  return MakeLibburnRecorder(std::move(options));
}

}  // namespace ulvo
