#pragma once
// Writing the readout to a recordable CD or DVD. `DiscRecorder` is what the disc dialog needs
// from a recording component; `MakeLibburnRecorder` gives the implementation over libburn and
// libisofs (ISO 9660 with Joliet and Rock Ridge, multisession by importing the last session).
// Besides the real writers it can offer one disc image file, written through libburn's
// "stdio:" pseudo-drive and appendable like a multisession disc. The Windows program writes
// through the system's IMAPI2 instead (ISO 9660 with Joliet, real writers only).

#include <functional>
#include <memory>
#include <string>

namespace ulvo {

// Error numbers of the recorder's own; numbers from libisofs, or on Windows IMAPI2's results
// (HRESULTs), are passed through (negative).
enum DiscError : int {
  kDiscOk = 0,
  kDiscNoWriter = 1,           // no writer selected or it could not be opened
  kDiscNoMedium = 2,           // no disc in the drive, or the image file is not a disc image
  kDiscClosed = 3,             // the disc was closed and takes no further session
  kDiscNotPrepared = 4,        // a step came before "prepare a new write"
  kDiscSourceMissing = 5,      // the file to add cannot be read
  kDiscWriteRefused = 6,       // the library refused the write setup for this disc
  kDiscWriteFailed = 7,        // the library ended the write with an error
  kDiscCancelled = 8,          // the write was cancelled
  kDiscReadBackFailed = 9,     // the new session cannot be read back
  kDiscReadBackMismatch = 10,  // the file read back differs from its source
  kDiscBusy = 11,              // a write is still running
  kDiscLibraryFailed = 12,     // libburn or libisofs did not start; on Windows: no IMAPI2
};

// Where a running write stands.
struct DiscProgress {
  bool writing = false;
  int percent = -1;  // 0..100 when the library reports sectors, else -1
};

class DiscRecorder {
 public:
  // Called once when a started write has ended (on the recorder's own thread): failed and
  // the error number.
  using Completion = std::function<void(bool failed, int errorNumber)>;

  virtual ~DiscRecorder() = default;

  // Starts the libraries (first call only) and lists the writers again. True when failed.
  virtual bool InitializeAndEnumerate() = 0;
  virtual int WriterCount() const = 0;
  // The writer's name for the drive list (UTF-8); empty for an index out of range.
  virtual std::string WriterName(int index) const = 0;
  // Chooses the writer by list index. True when failed.
  virtual bool SelectWriter(int index) = 0;
  // The libraries' versions, e.g. "libburn 1.5.4, libisofs 1.5.4"; on Windows also why the
  // recording interface is not there when it is not.
  virtual std::string VersionText() const = 0;

  // True when the selected writer holds a disc that takes another session.
  virtual bool DeviceReady() = 0;
  // Starts a new write: an empty file tree; `closeDisc` closes the disc after it.
  virtual void PrepareNewWrite(bool closeDisc) = 0;
  // kB/s; 0 when the drive does not say.
  virtual int MaxWriteSpeed() = 0;
  // kB/s; 0 leaves the drive's default.
  virtual void SetWriteSpeed(int kilobytesPerSecond) = 0;
  virtual void SetVolumeLabel(const std::string& label) = 0;
  // True when the disc in the writer already holds a session.
  virtual bool DiscHoldsData() = 0;
  // Takes the last session's files into the root of the new one. True when failed.
  virtual bool ImportPreviousSession() = 0;
  // Adds `sourcePath` (the file system's encoding; UTF-8 on Windows) as `nameOnDisc` in
  // `folder` ("\\" or "/" for the root); a file of the same name is replaced. True when failed.
  virtual bool AddFile(const std::string& folder, const std::string& sourcePath,
                       const std::string& nameOnDisc) = 0;
  // Starts writing in the background; `done` is called when it has ended and the new
  // session has been read back and compared with its sources. True when it did not start.
  virtual bool StartWrite(Completion done) = 0;
  virtual int LastError() const = 0;
  virtual DiscProgress Progress() const = 0;
  // Cancels a running write and waits until the libraries have stopped.
  virtual void Cancel() = 0;
  // Unlocks the drive and opens its tray (nothing for an image file).
  virtual void UnlockAndEject() = 0;
};

struct LibburnRecorderOptions {
  bool scanRealDrives = true;  // look for real writers
  std::string imagePath;       // when not empty: one more writer, this image file
};

// The recorder over libburn and libisofs. Keeps libburn out of the program's signal
// handling.
std::unique_ptr<DiscRecorder> MakeLibburnRecorder(LibburnRecorderOptions options);

// Real writers plus the image named by the environment variable ULVO_DISC_IMAGE; on Windows
// the writers IMAPI2 finds (no image).
std::unique_ptr<DiscRecorder> MakeDiscRecorderFromEnvironment();

// The list entry of an image file: "Obraz płyty: " + path.
std::string DiscImageWriterName(const std::string& imagePath);

}  // namespace ulvo
