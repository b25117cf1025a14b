#pragma once
// Runs the main window in a test: a temporary directory made the working directory and used
// as the program's directory, ulvo-sim on a pty named COM 1 through ULVO_COM1, and the model
// dialog of the first showing answered.
//
//   MainFormHarness h;
//   QVERIFY2(h.Start({.model = ModelEntry::Mavito}), qPrintable(h.error));
//   QTest::mouseClick(h.form->DownloadButton, Qt::LeftButton);

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/core/main_window_logic.h"
#include "shell/main_form.h"

namespace ulvo {
class SimProcess;
}

namespace ulvo::testing {

struct HarnessOptions {
  bool withSim = true;
  // The emulator; empty means $ULVO_SIM_PATH (tests pass their ULVO_SIM_PATH macro).
  std::string simBinary;
  std::vector<std::string> simArgs = {"--baud", "0"};  // e.g. {"--family", "alta", "--baud", "0"}
  // ustaw.txt written before start; by default one that names COM 1 (or no port without sim).
  std::optional<std::string> settingsText;
  // The model applied at the first showing; nullopt cancels the model dialog.
  std::optional<ModelEntry> model = ModelEntry::Mavito;
  bool show = true;
};

class MainFormHarness {
 public:
  MainFormHarness();
  ~MainFormHarness();

  // False, with `error` set, when something could not be set up.
  bool Start(const HarnessOptions& options = {});

  // A path inside the temporary directory.
  QString Path(const QString& name) const;
  // The file's bytes, or nothing when it does not exist.
  std::optional<std::string> ReadFile(const QString& name) const;
  void WriteFile(const QString& name, const std::string& bytes) const;

  // Control command to the emulator ("get frames" ...); "error ..." without one.
  std::string Sim(const std::string& command);

  std::unique_ptr<TMainForm> form;
  std::unique_ptr<SimProcess> sim;
  QTemporaryDir dir;
  QString error;

 private:
  QString oldCurrent_;
};

// Settings text naming COM `port` for `printerType`, in the program's own file form.
std::string SettingsTextFor(int port, std::uint8_t printerType = 2);

}  // namespace ulvo::testing
