// The disc recorder of the Windows program, over the system's own recording interface IMAPI2
// (MsftDiscMaster2, MsftDiscRecorder2, MsftDiscFormat2Data, MsftFileSystemImage). Its objects
// are reached by member names through IDispatch (com_dispatch.h). The new session is an
// ISO 9660 and Joliet tree; on a disc that already holds data it goes behind the earlier
// sessions, and with the import it carries their files too.
//
// Apartments: the Qt program's user interface thread is a single-threaded apartment (Qt
// starts OLE there), and objects made there could only be used from that thread. The
// recorder's objects are therefore all made and used in the multithreaded apartment: its own
// COM thread runs every call of the dialog, one at a time, and the write with its read-back
// runs on a worker thread that joins the same apartment.
//
// After the write the new files are read back through the drive's volume (the drive letter
// Windows gives it) and compared with their sources; a drive without a volume path cannot be
// read back, and the write then ends with kDiscReadBackFailed rather than a success that was
// never checked.

#include <windows.h>

#include <ocidl.h>
#include <ole2.h>
#include <oleauto.h>
#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "readout/core/com_dispatch.h"
#include "readout/core/disc_recorder.h"
#include "readout/core/imapi_mapping.h"
#include "readout/core/windows_disc_recorder_private.h"

namespace ulvo {
namespace {

using com::Dispatch;
using com::Ref;
using com::Variant;

constexpr wchar_t kRecorderProgId[] = L"IMAPI2.MsftDiscRecorder2";
constexpr wchar_t kFormatProgId[] = L"IMAPI2.MsftDiscFormat2Data";
constexpr wchar_t kImageProgId[] = L"IMAPI2FS.MsftFileSystemImage";
// IMAPI2 names the program that holds the drive; it takes letters and digits.
constexpr char kClientName[] = "ULVO";
constexpr long kIso9660AndJoliet = 1 | 2;  // FsiFileSystemISO9660 | FsiFileSystemJoliet
constexpr DISPID kUpdateEvent = 0x200;     // DDiscFormat2DataEvents.Update
constexpr long kFastest = -1;              // SetWriteSpeed: the drive's fastest
constexpr char kVersion[] = "IMAPI2 (Windows)";

// Windows mounts the new session some moments after the write; the read-back waits that
// long at most, trying again every half second.
constexpr std::chrono::seconds kReadBackPatience{30};
constexpr std::chrono::milliseconds kReadBackRetry{500};

// One thread in the multithreaded apartment that runs the tasks given to it one at a time.
class ComThread {
 public:
  ComThread() : thread_([this] { Loop(); }) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return started_; });
  }
  ~ComThread() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  ComThread(const ComThread&) = delete;
  ComThread& operator=(const ComThread&) = delete;

  // What CoInitializeEx said on the thread.
  HRESULT StartResult() const { return startResult_; }

  // Runs `task` on the thread and returns when it has run.
  void Run(const std::function<void()>& task) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return task_ == nullptr; });
    task_ = &task;
    done_ = false;
    changed_.notify_all();
    changed_.wait(lock, [this] { return done_; });
    task_ = nullptr;
    changed_.notify_all();
  }

 private:
  void Loop() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    std::unique_lock lock(mutex_);
    startResult_ = hr;
    started_ = true;
    changed_.notify_all();
    for (;;) {
      changed_.wait(lock, [this] { return stopping_ || (task_ != nullptr && !done_); });
      if (task_ != nullptr && !done_) {
        const std::function<void()>* task = task_;
        lock.unlock();
        (*task)();
        lock.lock();
        done_ = true;
        changed_.notify_all();
      } else if (stopping_) {
        break;
      }
    }
    lock.unlock();
    if (SUCCEEDED(hr)) CoUninitialize();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  const std::function<void()>* task_ = nullptr;
  bool done_ = false;
  bool started_ = false;
  bool stopping_ = false;
  HRESULT startResult_ = E_FAIL;
  std::thread thread_;  // last: it starts once the members above exist
};

// What the write and its progress reports share.
struct WriteState {
  std::atomic<int> percent{-1};
  std::atomic<bool> cancel{false};
};

// Receives the data writer's progress reports (DDiscFormat2DataEvents.Update). IMAPI2 takes
// a cancel only from inside such a report, so the sink also passes a requested cancel on.
class ProgressSink final : public IDispatch {
 public:
  ProgressSink(std::shared_ptr<WriteState> state, const IID& events)
      : state_(std::move(state)), events_(events) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, events_)) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    if (member != kUpdateEvent || params == nullptr || params->cArgs != 2 ||
        params->rgvarg == nullptr) {
      return S_OK;
    }
    // Update(object, progress), last argument first.
    const VARIANT& progress = params->rgvarg[0];
    const VARIANT& writer = params->rgvarg[1];
    if (progress.vt == VT_DISPATCH && progress.pdispVal != nullptr) {
      const Dispatch report(Ref<IDispatch>::Share(progress.pdispVal));
      Variant action, start, count, last;
      if (SUCCEEDED(report.Get(L"CurrentAction", action)) &&
          SUCCEEDED(report.Get(L"StartLba", start)) &&
          SUCCEEDED(report.Get(L"SectorCount", count)) &&
          SUCCEEDED(report.Get(L"LastWrittenLba", last))) {
        const int percent =
            ImapiWritePercent(action.AsLong().value_or(-1), start.AsLong().value_or(0),
                              count.AsLong().value_or(0), last.AsLong().value_or(0));
        if (percent >= 0) state_->percent = percent;
      }
    }
    if (state_->cancel && writer.vt == VT_DISPATCH && writer.pdispVal != nullptr) {
      Dispatch(Ref<IDispatch>::Share(writer.pdispVal)).Call(L"CancelWrite");
    }
    return S_OK;
  }

 private:
  ~ProgressSink() = default;

  std::shared_ptr<WriteState> state_;
  const IID events_;
  std::atomic<ULONG> references_{1};
};

struct Connection {
  Ref<IConnectionPoint> point;
  DWORD cookie = 0;
};

// Connects a progress sink to every event interface of the data writer (it has one,
// DDiscFormat2DataEvents, whose identity is taken from the connection point). Without a
// connection the write goes on, but without progress and it cannot be cancelled.
std::vector<Connection> ConnectProgress(const Dispatch& writer,
                                        const std::shared_ptr<WriteState>& state) {
  std::vector<Connection> connections;
  Ref<IConnectionPointContainer> container;
  if (!writer || FAILED(writer.get()->QueryInterface(IID_IConnectionPointContainer,
                                                     reinterpret_cast<void**>(container.Put())))) {
    return connections;
  }
  Ref<IEnumConnectionPoints> points;
  if (FAILED(container->EnumConnectionPoints(points.Put())) || !points) return connections;
  for (;;) {
    Ref<IConnectionPoint> point;
    ULONG fetched = 0;
    if (points->Next(1, point.Put(), &fetched) != S_OK || fetched != 1 || !point) break;
    IID events{};
    if (FAILED(point->GetConnectionInterface(&events))) continue;
    Ref<ProgressSink> sink(new ProgressSink(state, events));
    DWORD cookie = 0;
    if (SUCCEEDED(point->Advise(sink.get(), &cookie))) connections.push_back({point, cookie});
  }
  return connections;
}

void Disconnect(std::vector<Connection>& connections) {
  for (Connection& c : connections) c.point->Unadvise(c.cookie);
  connections.clear();
}

struct Writer {
  std::string name;
  Dispatch recorder;
};

struct AddedFile {
  std::wstring sourcePath;
  std::string imagePath;  // inside the image, "folder\\name"
};

// What the worker thread needs for one write; it releases all of it before it leaves the
// apartment.
struct Job {
  Dispatch writer;
  Dispatch recorder;
  Dispatch image;
  Ref<IUnknown> stream;
  std::vector<AddedFile> files;
  std::vector<Connection> connections;

  void Release() {
    Disconnect(connections);
    stream.Reset();
    image.Reset();
    recorder.Reset();
    writer.Reset();
  }
};

std::vector<std::string> TextsOf(const Variant& array) {
  std::vector<std::string> texts;
  if (auto elements = array.Elements()) {
    for (const Variant& element : *elements) {
      if (auto text = element.AsText(); text && !text->empty()) texts.push_back(*text);
    }
  }
  return texts;
}

int ReadFully(HANDLE file, char* buffer, DWORD size, DWORD& got) {
  got = 0;
  while (got < size) {
    DWORD n = 0;
    if (!ReadFile(file, buffer + got, size - got, &n, nullptr)) return kDiscReadBackFailed;
    if (n == 0) break;
    got += n;
  }
  return kDiscOk;
}

class ImapiRecorder final : public DiscRecorder {
 public:
  explicit ImapiRecorder(ImapiRecorderOptions options)
      : options_(std::move(options)), versionText_(kVersion) {}

  ~ImapiRecorder() override {
    Cancel();
    // The objects belong to the apartment: they are let go on its thread.
    OnComThread([this] {
      writers_.clear();
      writer_.Reset();
      image_.Reset();
      master_.Reset();
    });
  }

  bool InitializeAndEnumerate() override {
    if (busy_) return Fail(kDiscBusy);
    bool failed = false;
    OnComThread([&] { failed = Enumerate(); });
    return failed;
  }

  int WriterCount() const override { return static_cast<int>(writers_.size()); }

  std::string WriterName(int index) const override {
    if (index < 0 || index >= WriterCount()) return {};
    return writers_[static_cast<size_t>(index)].name;
  }

  bool SelectWriter(int index) override {
    if (busy_) return Fail(kDiscBusy);
    if (index < 0 || index >= WriterCount()) return Fail(kDiscNoWriter);
    int error = kDiscOk;
    OnComThread([&] {
      if (index == selected_ && writer_) return;
      DropImage();
      writer_.Reset();
      selected_ = index;
      error = MakeDataWriter();
    });
    return error != kDiscOk && Fail(error);
  }

  std::string VersionText() const override { return versionText_; }

  bool DeviceReady() override {
    if (busy_) return false;
    bool ready = false;
    OnComThread([&] {
      ImapiMedia media;
      ready = Inspect(media) && media.ready;
    });
    return ready;
  }

  void PrepareNewWrite(bool closeDisc) override {
    if (busy_) return;
    OnComThread([&] {
      closeDisc_ = closeDisc;
      label_.clear();
      files_.clear();
      prepareError_ = PrepareImage();
      if (prepareError_ != kDiscOk) lastError_ = prepareError_;
    });
  }

  int MaxWriteSpeed() override {
    if (busy_) return 0;
    int fastest = 0;
    OnComThread([&] {
      Variant speeds;
      if (!writer_ || FAILED(writer_.Get(L"SupportedWriteSpeeds", speeds))) return;
      long sectors = 0;
      if (auto elements = speeds.Elements()) {
        for (const Variant& speed : *elements) {
          sectors = std::max(sectors, speed.AsLong().value_or(0));
        }
      }
      fastest = KilobytesOfSectorsPerSecond(sectors);
    });
    return fastest;
  }

  void SetWriteSpeed(int kilobytesPerSecond) override {
    if (busy_) return;
    OnComThread([&] {
      if (!writer_) return;
      const long sectors =
          kilobytesPerSecond > 0 ? SectorsPerSecondOfKilobytes(kilobytesPerSecond) : kFastest;
      // A speed the drive does not offer is adjusted by IMAPI2 itself.
      const HRESULT hr =
          writer_.Call(L"SetWriteSpeed", {Variant::Long(sectors), Variant::Bool(false)});
      if (FAILED(hr)) lastError_ = DiscErrorOfHresult(hr);
    });
  }

  void SetVolumeLabel(const std::string& label) override {
    if (busy_) return;
    OnComThread([&] {
      label_ = label;
      ApplyLabel();
    });
  }

  bool DiscHoldsData() override {
    if (busy_) return false;
    bool holdsData = false;
    OnComThread([&] {
      ImapiMedia media;
      holdsData = Inspect(media) && media.holdsData;
    });
    return holdsData;
  }

  bool ImportPreviousSession() override {
    if (busy_) return Fail(kDiscBusy);
    int error = kDiscOk;
    OnComThread([&] { error = Import(); });
    return error != kDiscOk && Fail(error);
  }

  bool AddFile(const std::string& folder, const std::string& sourcePath,
               const std::string& nameOnDisc) override {
    if (busy_) return Fail(kDiscBusy);
    AddedFile file;
    file.imagePath = ImagePathOf(folder, nameOnDisc);
    std::optional<std::wstring> source = com::Utf8ToWide(sourcePath);
    if (file.imagePath.empty() || !source || source->empty()) return Fail(kDiscSourceMissing);
    file.sourcePath = *source;
    const DWORD attributes = GetFileAttributesW(file.sourcePath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return Fail(kDiscSourceMissing);
    }
    int error = kDiscOk;
    OnComThread([&] {
      if (!image_) {
        error = prepareError_ != kDiscOk ? prepareError_ : kDiscNotPrepared;
        return;
      }
      error = AddToImage(file);
      if (error != kDiscOk) return;
      // A later file of the same name replaces the earlier one, also for the read-back.
      std::erase_if(files_, [&](const AddedFile& f) { return f.imagePath == file.imagePath; });
      files_.push_back(file);
    });
    return error != kDiscOk && Fail(error);
  }

  bool StartWrite(Completion done) override {
    if (busy_) return Fail(kDiscBusy);
    if (worker_.joinable()) worker_.join();  // the previous write has ended
    auto state = std::make_shared<WriteState>();
    Job job;
    int error = kDiscOk;
    OnComThread([&] { error = PrepareJob(job, state); });
    if (error != kDiscOk) {
      OnComThread([&] { job.Release(); });
      return Fail(error);
    }
    state_ = state;
    busy_ = true;
    worker_ = std::thread([this, state, job = std::move(job), done = std::move(done)]() mutable {
      Write(job, *state, done);
    });
    return false;
  }

  int LastError() const override { return lastError_; }

  DiscProgress Progress() const override {
    return {busy_.load(), state_ ? state_->percent.load() : -1};
  }

  void Cancel() override {
    if (worker_.joinable()) {
      {
        std::lock_guard lock(wakeMutex_);
        if (state_) state_->cancel = true;
      }
      wake_.notify_all();  // the read-back's wait
      worker_.join();
    }
    // A prepared write that was never started lets go of its files too: their streams keep
    // them from being deleted (the end dialog deletes the temporary report).
    OnComThread([this] { DropImage(); });
  }

  void UnlockAndEject() override {
    Cancel();
    OnComThread([this] {
      if (selected_ < 0 || selected_ >= WriterCount()) return;
      // IMAPI2 locks the tray only while it writes; opening it is all that is left.
      const HRESULT hr = writers_[static_cast<size_t>(selected_)].recorder.Call(L"EjectMedia");
      if (FAILED(hr)) lastError_ = DiscErrorOfHresult(hr);
    });
  }

 private:
  bool Fail(int error) {
    lastError_ = error;
    return true;
  }

  void OnComThread(const std::function<void()>& task) { com_.Run(task); }

  // --- on the COM thread ---

  // The recording interface is not there (or not all of it): no writers, and the version
  // line says why.
  bool Unavailable(HRESULT hr) {
    writers_.clear();
    selected_ = -1;
    master_.Reset();
    versionText_ = "IMAPI2 – niedostępny w tym systemie (błąd " + HresultText(hr) + ")";
    lastError_ = kDiscLibraryFailed;
    return true;
  }

  bool Enumerate() {
    DropImage();
    writer_.Reset();
    writers_.clear();
    selected_ = -1;
    if (FAILED(com_.StartResult())) return Unavailable(com_.StartResult());
    HRESULT hr = master_ ? S_OK : Dispatch::Create(options_.discMasterProgId.c_str(), master_);
    if (FAILED(hr)) return Unavailable(hr);
    Variant value;
    hr = master_.Get(L"IsSupportedEnvironment", value);
    if (FAILED(hr)) return Unavailable(hr);
    versionText_ = kVersion;
    // No optical drives, or no right to use them.
    if (!value.AsBool().value_or(false)) {
      lastError_ = kDiscNoWriter;
      return false;
    }
    hr = master_.Get(L"Count", value);
    if (FAILED(hr)) return Unavailable(hr);
    const long count = value.AsLong().value_or(0);
    // A data writer tells which drives it can write with (readers are left out).
    Dispatch probe;
    hr = Dispatch::Create(kFormatProgId, probe);
    if (FAILED(hr)) return Unavailable(hr);
    for (long i = 0; i < count; ++i) {
      Variant id;
      if (FAILED(master_.Get(L"Item", id, {Variant::Long(i)}))) continue;
      Dispatch recorder;
      hr = Dispatch::Create(kRecorderProgId, recorder);
      if (FAILED(hr)) return Unavailable(hr);
      Variant supported;
      if (FAILED(recorder.Call(L"InitializeDiscRecorder", {id})) ||
          FAILED(
              probe.Call(L"IsRecorderSupported", {Variant::Object(recorder.get())}, &supported)) ||
          !supported.AsBool().value_or(false)) {
        continue;
      }
      writers_.push_back({NameOf(recorder), recorder});
    }
    lastError_ = writers_.empty() ? kDiscNoWriter : kDiscOk;
    return false;
  }

  static std::string NameOf(const Dispatch& recorder) {
    Variant vendor, product, volumes;
    recorder.Get(L"VendorId", vendor);
    recorder.Get(L"ProductId", product);
    recorder.Get(L"VolumePathNames", volumes);
    return ImapiWriterName(vendor.AsText().value_or(""), product.AsText().value_or(""),
                           TextsOf(volumes));
  }

  const Dispatch* SelectedRecorder() const {
    if (selected_ < 0 || selected_ >= WriterCount()) return nullptr;
    return &writers_[static_cast<size_t>(selected_)].recorder;
  }

  int MakeDataWriter() {
    const Dispatch* recorder = SelectedRecorder();
    if (recorder == nullptr) return kDiscNoWriter;
    Dispatch writer;
    HRESULT hr = Dispatch::Create(kFormatProgId, writer);
    if (SUCCEEDED(hr)) hr = writer.Put(L"Recorder", Variant::Object(recorder->get()));
    std::optional<Variant> client = Variant::Text(kClientName);
    if (SUCCEEDED(hr)) hr = client ? writer.Put(L"ClientName", *client) : E_OUTOFMEMORY;
    if (FAILED(hr)) return DiscErrorOfHresult(hr);
    writer_ = std::move(writer);
    return kDiscOk;
  }

  // The disc in the selected writer. False (and the reason in LastError) when it cannot be
  // asked.
  bool Inspect(ImapiMedia& media) {
    media = {};
    const Dispatch* recorder = SelectedRecorder();
    if (recorder == nullptr || !writer_) {
      lastError_ = kDiscNoWriter;
      return false;
    }
    Variant supported, state, blank;
    HRESULT hr =
        writer_.Call(L"IsCurrentMediaSupported", {Variant::Object(recorder->get())}, &supported);
    if (SUCCEEDED(hr) && !supported.AsBool().value_or(false)) {
      lastError_ = kDiscNoMedium;
      return false;
    }
    if (SUCCEEDED(hr)) hr = writer_.Get(L"CurrentMediaStatus", state);
    if (FAILED(hr)) {
      lastError_ = DiscErrorOfHresult(hr);
      return false;
    }
    const bool heuristicallyBlank =
        SUCCEEDED(writer_.Get(L"MediaHeuristicallyBlank", blank)) && blank.AsBool().value_or(false);
    media = InterpretMediaState(state.AsLong().value_or(0), heuristicallyBlank);
    if (!media.ready) lastError_ = media.closed ? kDiscClosed : kDiscNoMedium;
    return true;
  }

  void DropImage() {
    image_.Reset();
    files_.clear();
    multisession_ = false;
  }

  // A new, empty image for the disc in the writer: its size and defaults from the disc, and
  // on a disc that holds data the place behind the earlier sessions.
  int PrepareImage() {
    DropImage();
    const Dispatch* recorder = SelectedRecorder();
    if (recorder == nullptr || !writer_) return kDiscNoWriter;
    Dispatch image;
    HRESULT hr = Dispatch::Create(kImageProgId, image);
    if (FAILED(hr)) return kDiscLibraryFailed;
    hr = image.Call(L"ChooseImageDefaults", {Variant::Object(recorder->get())});
    if (SUCCEEDED(hr)) hr = image.Put(L"FileSystemsToCreate", Variant::Long(kIso9660AndJoliet));
    if (SUCCEEDED(hr)) hr = writer_.Put(L"ForceMediaToBeClosed", Variant::Bool(closeDisc_));
    if (FAILED(hr)) return DiscErrorOfHresult(hr);
    ImapiMedia media;
    if (!Inspect(media)) return lastError_;
    if (media.holdsData) {
      Variant sessions;
      hr = writer_.Get(L"MultisessionInterfaces", sessions);
      if (SUCCEEDED(hr)) hr = image.Put(L"MultisessionInterfaces", sessions);
      if (FAILED(hr)) return DiscErrorOfHresult(hr);
      multisession_ = true;
    }
    image_ = std::move(image);
    return kDiscOk;
  }

  void ApplyLabel() {
    if (!image_ || label_.empty()) return;
    std::optional<Variant> name = Variant::Text(label_);
    const HRESULT hr = name ? image_.Put(L"VolumeName", *name) : E_INVALIDARG;
    if (FAILED(hr)) lastError_ = DiscErrorOfHresult(hr);
  }

  int Import() {
    if (!image_) return prepareError_ != kDiscOk ? prepareError_ : kDiscNotPrepared;
    if (!multisession_) return kDiscNoMedium;
    Variant imported;
    HRESULT hr = image_.Call(L"ImportFileSystem", {}, &imported);
    if (SUCCEEDED(hr)) {
      // The new session keeps the file systems of the one it continues.
      hr = image_.Put(L"FileSystemsToCreate",
                      Variant::Long(kIso9660AndJoliet | imported.AsLong().value_or(0)));
    }
    if (SUCCEEDED(hr)) {
      ApplyLabel();  // the import brings the old label along
      return kDiscOk;
    }
    // A failed import may leave part of the old tree behind: start over without it.
    const std::vector<AddedFile> files = files_;
    prepareError_ = PrepareImage();
    if (prepareError_ == kDiscOk) {
      ApplyLabel();
      for (const AddedFile& f : files) {
        if (AddToImage(f) == kDiscOk) files_.push_back(f);
      }
    }
    return DiscErrorOfHresult(hr);
  }

  int AddToImage(const AddedFile& file) {
    Dispatch root;
    HRESULT hr = image_.GetDispatch(L"Root", root);
    if (FAILED(hr)) return DiscErrorOfHresult(hr);
    std::optional<Variant> path = Variant::Text(file.imagePath);
    if (!path) return kDiscSourceMissing;
    for (const std::string& folder : ImageFoldersOf(file.imagePath)) {
      // A folder that is there already is refused, which is as good.
      if (std::optional<Variant> name = Variant::Text(folder)) root.Call(L"AddDirectory", {*name});
    }
    // An earlier file of that name (also one of an imported session) gives way.
    root.Call(L"Remove", {*path});
    Ref<IStream> stream;
    hr = SHCreateStreamOnFileEx(file.sourcePath.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE,
                                FILE_ATTRIBUTE_NORMAL, FALSE, nullptr, stream.Put());
    if (FAILED(hr) || !stream) return kDiscSourceMissing;
    hr = root.Call(L"AddFile", {*path, Variant::Unknown(stream.get())});
    return DiscErrorOfHresult(hr);
  }

  // Everything the worker needs, made on the COM thread so that a write that cannot start
  // says so at once. The prepared image goes with it either way.
  int PrepareJob(Job& job, const std::shared_ptr<WriteState>& state) {
    job.image = std::move(image_);
    job.files = std::move(files_);
    DropImage();
    if (!job.image) return prepareError_ != kDiscOk ? prepareError_ : kDiscNotPrepared;
    ImapiMedia media;
    if (!Inspect(media)) return lastError_;
    if (!media.ready) return media.closed ? kDiscClosed : kDiscNoMedium;
    Variant result, stream;
    HRESULT hr = job.image.Call(L"CreateResultImage", {}, &result);
    const Dispatch image(result.AsDispatch());
    if (SUCCEEDED(hr)) hr = image ? image.Get(L"ImageStream", stream) : E_NOINTERFACE;
    if (FAILED(hr)) return DiscErrorOfHresult(hr);
    job.stream = stream.Query(IID_IStream);
    if (!job.stream) return kDiscLibraryFailed;
    job.writer = writer_;
    job.recorder = *SelectedRecorder();
    job.connections = ConnectProgress(job.writer, state);
    return kDiscOk;
  }

  // --- on the worker thread ---

  void Write(Job& job, WriteState& state, const Completion& done) {
    const HRESULT joined = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    int error = kDiscOk;
    if (FAILED(joined)) {
      error = kDiscLibraryFailed;
    } else if (state.cancel) {
      error = kDiscCancelled;
    } else {
      const HRESULT hr = job.writer.Call(L"Write", {Variant::Unknown(job.stream.get())});
      if (state.cancel) {
        error = kDiscCancelled;
      } else if (FAILED(hr)) {
        error = DiscErrorOfHresult(hr);
      } else {
        state.percent = 100;
        error = ReadBack(job, state);
      }
    }
    // The COM thread keeps the apartment alive even when this thread could not join it.
    job.Release();
    if (SUCCEEDED(joined)) CoUninitialize();
    lastError_ = error;
    busy_ = false;
    if (done) done(error != kDiscOk, error);
  }

  // Reads the new files back through the drive's volume, as every other program will see
  // them, until they match or Windows has had time enough to mount the new session.
  int ReadBack(const Job& job, const WriteState& state) {
    const auto deadline = std::chrono::steady_clock::now() + kReadBackPatience;
    for (;;) {
      Variant paths;
      std::vector<std::string> volumes;
      if (SUCCEEDED(job.recorder.Get(L"VolumePathNames", paths))) volumes = TextsOf(paths);
      // Without a drive letter or mount folder there is nothing to read the files through.
      int error = volumes.empty() ? kDiscReadBackFailed : kDiscOk;
      for (const AddedFile& f : job.files) {
        if (error != kDiscOk) break;
        std::optional<std::wstring> written =
            com::Utf8ToWide(VolumeFilePath(volumes.front(), f.imagePath));
        error = written ? CompareWrittenFile(*written, f.sourcePath) : kDiscReadBackFailed;
      }
      if (error == kDiscOk) return kDiscOk;
      std::unique_lock lock(wakeMutex_);
      wake_.wait_for(lock, kReadBackRetry, [&] { return state.cancel.load(); });
      if (state.cancel) return kDiscCancelled;
      if (std::chrono::steady_clock::now() >= deadline) return error;
    }
  }

  ImapiRecorderOptions options_;
  ComThread com_;  // before the objects it owns, so that it goes last

  // Touched on the COM thread only (the dialog reads the list while it waits for none).
  Dispatch master_;
  std::vector<Writer> writers_;
  int selected_ = -1;
  Dispatch writer_;  // MsftDiscFormat2Data of the selected drive
  Dispatch image_;   // the prepared session
  std::vector<AddedFile> files_;
  bool multisession_ = false;
  bool closeDisc_ = false;
  std::string label_;
  int prepareError_ = kDiscOk;
  std::string versionText_;

  std::shared_ptr<WriteState> state_;  // the running or last write
  std::thread worker_;
  std::mutex wakeMutex_;
  std::condition_variable wake_;  // wakes the read-back's wait for a cancel
  std::atomic<bool> busy_{false};
  std::atomic<int> lastError_{kDiscOk};
};

}  // namespace

int CompareWrittenFile(const std::wstring& writtenPath, const std::wstring& sourcePath) {
  constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE written = CreateFileW(writtenPath.c_str(), GENERIC_READ, kShare, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (written == INVALID_HANDLE_VALUE) return kDiscReadBackFailed;
  HANDLE source = CreateFileW(sourcePath.c_str(), GENERIC_READ, kShare, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (source == INVALID_HANDLE_VALUE) {
    CloseHandle(written);
    return kDiscReadBackFailed;
  }
  int result = kDiscOk;
  LARGE_INTEGER writtenSize{}, sourceSize{};
  if (!GetFileSizeEx(written, &writtenSize) || !GetFileSizeEx(source, &sourceSize)) {
    result = kDiscReadBackFailed;
  } else if (writtenSize.QuadPart != sourceSize.QuadPart) {
    result = kDiscReadBackMismatch;
  }
  constexpr DWORD kChunk = 64 * 1024;
  std::vector<char> a(kChunk), b(kChunk);
  while (result == kDiscOk) {
    DWORD gotA = 0, gotB = 0;
    result = ReadFully(written, a.data(), kChunk, gotA);
    if (result == kDiscOk) result = ReadFully(source, b.data(), kChunk, gotB);
    if (result != kDiscOk) break;
    if (gotA != gotB || std::memcmp(a.data(), b.data(), gotA) != 0) {
      result = kDiscReadBackMismatch;
    }
    if (gotA < kChunk) break;
  }
  CloseHandle(source);
  CloseHandle(written);
  return result;
}

std::unique_ptr<DiscRecorder> MakeImapiRecorder(ImapiRecorderOptions options) {
  return std::make_unique<ImapiRecorder>(std::move(options));
}

std::unique_ptr<DiscRecorder> MakeDiscRecorderFromEnvironment() {
  return MakeImapiRecorder({});
}

}  // namespace ulvo
