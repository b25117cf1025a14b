#pragma once
// What the dialog tests share: ulvo-sim on a real pty, a Link over the Qt serial port with a
// scripted user, the transmission log to see every byte the program wrote, and helpers to
// show a dialog and press keys in it.

#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "common/receipt_state.h"
#include "link/link.h"
#include "link/qt_serial_port.h"
#include "link/settings.h"
#include "link/transmission_log.h"
#include "sim/sim_process.h"
#include "tests/support/scripted_link_ui.h"
#include "ui/dialog_registry.h"

namespace ulvo::testing {

class SimDialogFixture {
 public:
  // Starts the emulator with `args` and opens COM1 on its pty. Empty on success.
  std::string Start(const std::vector<std::string>& args = {}) {
    std::string error;
    sim = SimProcess::Start(ULVO_SIM_PATH, args, &error);
    if (!sim) return "ulvo-sim: " + error;
    qputenv("ULVO_COM1", QByteArray::fromStdString(sim->PtyPath()));
    settings.PortNumber = 1;
    link = std::make_unique<Link>(settings, realUi != nullptr ? *realUi : ui, QtPortOpener());
    if (link->OpenPort(true)) return "port: " + (ui.messages.empty() ? "" : ui.messages[0]);
    log = TransmissionLog::Create(dir.path().toStdString());
    if (!log) return "no transmission log";
    link->SetTransmissionLog(log.get());
    context = std::make_unique<AppContext>(AppContext{settings, *link, receipt, nullptr});
    return {};
  }

  void Stop() {
    if (link) link->SetTransmissionLog(nullptr);
    context.reset();
    link.reset();
    log.reset();
    sim.reset();
  }

  std::string Control(const std::string& command) { return sim->Control(command); }
  // The value of "get <item>", without "ok ".
  std::string Get(const std::string& item) {
    const std::string answer = Control("get " + item);
    return answer.size() > 3 ? answer.substr(3) : std::string();
  }

  // Every frame written so far, between its ESC and its closing ESC '\' (check included).
  std::vector<std::string> SentFrames() const {
    std::ifstream in(dir.filePath(QStringLiteral("DaneWy.bin")).toStdString(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> frames;
    std::size_t pos = 0;
    while ((pos = bytes.find("\x1BP", pos)) != std::string::npos) {
      const std::size_t end = bytes.find("\x1B\\", pos + 1);
      if (end == std::string::npos) break;
      frames.push_back(bytes.substr(pos + 1, end - pos - 1));
      pos = end + 2;
    }
    return frames;
  }

  // The frames written, with the status queries (#n) left out, each without its check digits
  // when `stripCheck`.
  std::vector<std::string> SentCommands(bool stripCheck = true) const {
    std::vector<std::string> commands;
    for (const std::string& frame : SentFrames()) {
      if (frame.rfind("P0#n", 0) == 0) continue;
      commands.push_back(stripCheck && frame.size() >= 2 ? frame.substr(0, frame.size() - 2)
                                                         : frame);
    }
    return commands;
  }

  std::string LastCommand(bool stripCheck = true) const {
    const auto commands = SentCommands(stripCheck);
    return commands.empty() ? std::string() : commands.back();
  }

  Settings settings;
  ReceiptState receipt;
  ScriptedLinkUi ui;
  // When set before Start, the link talks to this one instead (real message boxes).
  LinkUi* realUi = nullptr;
  std::unique_ptr<SimProcess> sim;
  std::unique_ptr<Link> link;
  std::unique_ptr<TransmissionLog> log;
  std::unique_ptr<AppContext> context;
  QTemporaryDir dir;
};

// Shows the dialog as the main window does (modal) without blocking the test, and waits until
// it has the keyboard.
inline bool ShowDialog(QDialog* dialog) {
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->show();
  dialog->activateWindow();
  return QTest::qWaitForWindowActive(dialog);
}

// Presses a key where the keyboard focus is, as a person would.
inline void PressKey(QDialog* dialog, Qt::Key key) {
  QWidget* target = QApplication::focusWidget();
  QTest::keyClick(target != nullptr ? target : dialog, key);
}

}  // namespace ulvo::testing
