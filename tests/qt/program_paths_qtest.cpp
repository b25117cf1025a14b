// The program's files when its own directory cannot be written (an installed program):
// settings in $XDG_CONFIG_HOME/ulvo, read back at the next start; the transmission log in
// POSIX only: the folders under test are the XDG ones; scripts/windows-check looks at %APPDATA%.
// $XDG_DATA_HOME/ulvo; the working directory's ustaw.txt still first; "O programie" says where.

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include "link/link.h"
#include "link/qt_serial_port.h"
#include "link/settings.h"
#include "readout/periodic_report_dialogs.h"
#include "shell/about_dialog.h"
#include "shell/main_form.h"
#include "sim/sim_process.h"
#include "tests/support_qt/modal_answerer.h"
#include "ui/dialog_registry.h"

using namespace ulvo;
using ulvo::testing::ModalAnswerer;
namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

}  // namespace

class ProgramPathsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir temp_;
  QString oldCurrent_;
  fs::path root_, work_, config_, data_, readOnlyProgram_;

  std::unique_ptr<TMainForm> StartProgram(const fs::path& programDir) {
    return std::make_unique<TMainForm>(QtPortOpener(), programDir);
  }

 private slots:
  void init() {
    QVERIFY(temp_.isValid());
    root_ = temp_.path().toStdString();
    work_ = root_ / "praca";
    config_ = root_ / "konfiguracja";
    data_ = root_ / "dane";
    // A program directory that cannot be written, whoever runs the test.
    readOnlyProgram_ = root_ / "brak" / "bin";
    fs::create_directories(work_);
    qputenv("XDG_CONFIG_HOME", QByteArray(config_.c_str()));
    qputenv("XDG_DATA_HOME", QByteArray(data_.c_str()));
    qunsetenv("ULVO_SIM_PORT");
    oldCurrent_ = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(work_.string()));
  }

  void cleanup() {
    QDir::setCurrent(oldCurrent_);
    fs::remove_all(root_);
    fs::create_directories(root_);
  }

  void settingsGoToTheConfigFolderAndComeBackAtTheNextStart() {
    {
      auto form = StartProgram(readOnlyProgram_);
      QVERIFY(form->paths().userFolders);
      QCOMPARE(form->settings().LetterCoding, std::uint8_t{0});  // nothing to read: defaults
      form->settings().LetterCoding = 3;
      form->settings().PrinterType = 1;
      form->close();
    }
    const fs::path written = config_ / "ulvo" / "ustaw.txt";
    QVERIFY(fs::exists(written));
    QVERIFY(!fs::exists(work_ / "ustaw.txt"));
    QCOMPARE(ParseSettingsText(Read(written)).LetterCoding, std::uint8_t{3});

    auto again = StartProgram(readOnlyProgram_);
    QCOMPARE(again->settings().LetterCoding, std::uint8_t{3});
    QCOMPARE(again->settings().PrinterType, std::uint8_t{1});
  }

  void workingDirectorySettingsComeFirst() {
    fs::create_directories(config_ / "ulvo");
    Settings inConfig;
    inConfig.LetterCoding = 3;
    Write(config_ / "ulvo" / "ustaw.txt", FormatSettingsText(inConfig));
    Settings inWork;
    inWork.LetterCoding = 1;
    Write(work_ / "ustaw.txt", FormatSettingsText(inWork));
    auto form = StartProgram(readOnlyProgram_);
    QCOMPARE(form->settings().LetterCoding, std::uint8_t{1});
    // ... and are written back to the folder the program may write.
    form->settings().LetterCoding = 2;
    form->close();
    QCOMPARE(ParseSettingsText(Read(config_ / "ulvo" / "ustaw.txt")).LetterCoding, std::uint8_t{2});
    QCOMPARE(ParseSettingsText(Read(work_ / "ustaw.txt")).LetterCoding, std::uint8_t{1});
  }

  void transmissionLogGoesToTheDataFolder() {
    auto form = StartProgram(readOnlyProgram_);
    form->RejestracjaTransmisji->trigger();
    QVERIFY(form->RejestracjaTransmisji->isChecked());
    QVERIFY(fs::exists(data_ / "ulvo" / "DaneWy.bin"));
    QVERIFY(fs::exists(data_ / "ulvo" / "DaneWe.bin"));
    QCOMPARE(form->registry().context().dataDir, data_ / "ulvo");
    form->RejestracjaTransmisji->trigger();
  }

  void aWritableProgramDirectoryIsUsedAsBefore() {
    const fs::path program = root_ / "program";
    fs::create_directories(program);
    auto form = StartProgram(program);
    QVERIFY(!form->paths().userFolders);
    form->settings().LetterCoding = 2;
    form->close();
    QVERIFY(fs::exists(program / "ustaw.txt"));
    QVERIFY(!fs::exists(config_ / "ulvo"));
    QCOMPARE(form->registry().context().dataDir, program);
  }

  void fiscalMemoryReadoutWritesItsReportIntoTheDataFolder() {
    std::string error;
    auto sim = SimProcess::Start(ULVO_SIM_PATH, {"--baud", "0", "--fiscal-reports", "5"}, &error);
    QVERIFY2(sim, error.c_str());
    qputenv("ULVO_COM1", QByteArray(sim->PtyPath().c_str()));
    auto form = StartProgram(readOnlyProgram_);
    form->settings().PrinterType = 2;
    form->settings().PortNumber = 1;
    QVERIFY(!form->link().OpenPort(false));
    auto* readout =
        qobject_cast<TOdczytajRaportOkresowy*>(form->registry().Get("TOdczytajRaportOkresowy"));
    QVERIFY(readout != nullptr);
    readout->show();
    readout->RadioButton3->click();
    readout->Edit3->setText(QStringLiteral("1"));
    readout->Edit4->setText(QStringLiteral("5"));
    const fs::path report = data_ / "ulvo" / "OdczytFiskPrTemp.txt";
    std::string text;
    ModalAnswerer answer;
    answer.Do(QStringLiteral("TZakonczonoOdczytywanie"), [&](QWidget* end) {
      text = Read(report);
      static_cast<QDialog*>(end)->reject();
    });
    QTest::mouseClick(readout->Button1, Qt::LeftButton);
    QVERIFY(answer.WaitDone());
    QVERIFY2(answer.messages.isEmpty(), qPrintable(answer.messages.join('\n')));
    QVERIFY(text.find("Nr rap.  Od 1 do 5") != std::string::npos);
    QVERIFY(!fs::exists(report));  // the end dialog removes it
    qunsetenv("ULVO_COM1");
  }

  void aboutWindowNamesTheFoldersInUse() {
    auto form = StartProgram(readOnlyProgram_);
    auto* about = qobject_cast<TOProgramie*>(form->registry().Get("TOProgramie"));
    QVERIFY(about != nullptr);
    const QString text = about->FoldersLabel->text();
    QVERIFY2(text.contains(QString::fromStdString((config_ / "ulvo").string())), qPrintable(text));
    QVERIFY2(text.contains(QString::fromStdString((data_ / "ulvo").string())), qPrintable(text));
  }
};

QTEST_MAIN(ProgramPathsTest)
#include "program_paths_qtest.moc"
