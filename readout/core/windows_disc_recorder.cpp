// The disc recorder of the Windows program, until it writes through the system's own
// recording interface (IMAPI2): no writers, so the disc dialog says there is no drive to
// write with, and nothing is ever half written.
#ifdef _WIN32

#include "readout/core/disc_recorder.h"

namespace ulvo {

namespace {

class NoDiscRecorder final : public DiscRecorder {
 public:
  bool InitializeAndEnumerate() override { return false; }
  int WriterCount() const override { return 0; }
  std::string WriterName(int) const override { return {}; }
  bool SelectWriter(int) override { return true; }
  std::string VersionText() const override { return "brak (wersja dla Windows)"; }
  bool DeviceReady() override { return false; }
  void PrepareNewWrite(bool) override {}
  int MaxWriteSpeed() override { return 0; }
  void SetWriteSpeed(int) override {}
  void SetVolumeLabel(const std::string&) override {}
  bool DiscHoldsData() override { return false; }
  bool ImportPreviousSession() override { return true; }
  bool AddFile(const std::string&, const std::string&, const std::string&) override {
    return true;
  }
  bool StartWrite(Completion) override { return true; }
  int LastError() const override { return kDiscNoWriter; }
  DiscProgress Progress() const override { return {}; }
  void Cancel() override {}
  void UnlockAndEject() override {}
};

}  // namespace

std::unique_ptr<DiscRecorder> MakeDiscRecorderFromEnvironment() {
  return std::make_unique<NoDiscRecorder>();
}

}  // namespace ulvo

#endif
