#include "tests/support_qt/main_form_harness.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <cstdlib>

#include "link/qt_serial_port.h"
#include "shell/model_dialog.h"
#include "sim/sim_process.h"
#include "tests/support_qt/modal_answerer.h"

#include <QPushButton>
#include <QRadioButton>

namespace ulvo::testing {

std::string SettingsTextFor(int port, std::uint8_t printerType) {
  Settings s;
  s.PortNumber = static_cast<std::uint8_t>(port);
  s.PrinterType = printerType;
  return FormatSettingsText(s);
}

MainFormHarness::MainFormHarness() : oldCurrent_(QDir::currentPath()) {}

MainFormHarness::~MainFormHarness() {
  form.reset();
  sim.reset();
  QDir::setCurrent(oldCurrent_);
}

QString MainFormHarness::Path(const QString& name) const {
  return dir.filePath(name);
}

std::optional<std::string> MainFormHarness::ReadFile(const QString& name) const {
  QFile file(Path(name));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  return file.readAll().toStdString();
}

void MainFormHarness::WriteFile(const QString& name, const std::string& bytes) const {
  QFile file(Path(name));
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string MainFormHarness::Sim(const std::string& command) {
  return sim ? sim->Control(command) : std::string("error no emulator");
}

bool MainFormHarness::Start(const HarnessOptions& options) {
  if (!dir.isValid()) {
    error = "no temporary directory";
    return false;
  }
  if (options.withSim) {
    std::string why;
    std::string binary = options.simBinary;
    if (binary.empty() && std::getenv("ULVO_SIM_PATH") != nullptr)
      binary = std::getenv("ULVO_SIM_PATH");
    sim = SimProcess::Start(binary, options.simArgs, &why);
    if (!sim) {
      error = QString::fromStdString("ulvo-sim did not start: " + why);
      return false;
    }
    qputenv("ULVO_COM1", QByteArray(sim->PtyPath().c_str()));
  } else {
    qunsetenv("ULVO_COM1");
  }
  WriteFile("ustaw.txt", options.settingsText.value_or(SettingsTextFor(options.withSim ? 1 : -1)));
  QDir::setCurrent(dir.path());
  form = std::make_unique<TMainForm>(QtPortOpener(), dir.path().toStdString());
  if (!options.show) return true;

  ModalAnswerer answer;
  if (options.model) {
    const ModelEntry entry = *options.model;
    answer.Do("TModelDrukarki", [entry](QWidget* window) {
      auto* dialog = static_cast<TModelDrukarki*>(window);
      dialog->Entry(entry)->setChecked(true);
      dialog->Button1->click();
    });
  } else {
    answer.Key("TModelDrukarki", Qt::Key_Escape);
  }
  form->show();
  if (!answer.WaitDone()) {
    error = "the model dialog did not appear";
    return false;
  }
  if (options.model && !WaitFor([this] { return !form->FirstShowPending; })) {
    error = "the first showing did not finish";
    return false;
  }
  if (options.model) {
    // Keys and focus reach only the active window.
    form->activateWindow();
    if (!WaitFor([this] { return QApplication::activeWindow() == form.get(); })) {
      error = "the main window did not become active";
      return false;
    }
  }
  return true;
}

}  // namespace ulvo::testing
