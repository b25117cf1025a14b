// TNagrywanieCD_DVD: writing a report file into a disc image through the stdio: pseudo-drive,
// the messages of the failure cases, and closing while a (scripted) write is running.
// POSIX only: the recorder under test is the libburn one.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <fstream>
#include <memory>

#include "readout/disc_dialog.h"
#include "tests/support/scripted_link_ui.h"
#include "tests/support_qt/modal_answerer.h"

using namespace ulvo;
using ulvo::testing::PressKey;
using ulvo::testing::WaitFor;

namespace {

const char kName[] = "MAVITO_ABC12345678_Nr_1_1234_Awaryjny.txt";
const char kNotReady[] =
    "Urządzenie nagrywające jest niegotowe.\r\nSprawdź czy płyta CD/DVD jest porawnie "
    "umieszczona w napędzie.";

// A recorder whose write runs until the test ends it.
class ScriptedRecorder : public DiscRecorder {
 public:
  int percent = -1;
  int cancels = 0;
  bool running = false;
  Completion done;

  bool InitializeAndEnumerate() override { return false; }
  int WriterCount() const override { return 1; }
  std::string WriterName(int) const override { return "Nagrywarka testowa"; }
  bool SelectWriter(int) override { return false; }
  std::string VersionText() const override { return "test 1.0"; }
  bool DeviceReady() override { return true; }
  void PrepareNewWrite(bool) override {}
  int MaxWriteSpeed() override { return 0; }
  void SetWriteSpeed(int) override {}
  void SetVolumeLabel(const std::string&) override {}
  bool DiscHoldsData() override { return false; }
  bool ImportPreviousSession() override { return false; }
  bool AddFile(const std::string&, const std::string&, const std::string&) override {
    return false;
  }
  bool StartWrite(Completion completion) override {
    done = std::move(completion);
    running = true;
    return false;
  }
  int LastError() const override { return 0; }
  DiscProgress Progress() const override { return {running, percent}; }
  void Cancel() override {
    ++cancels;
    if (running) Finish(true, kDiscCancelled);
  }
  void UnlockAndEject() override {}
  void Finish(bool failed, int error) {
    running = false;
    done(failed, error);
  }
};

bool Show(QDialog& dialog) {
  dialog.show();
  dialog.activateWindow();
  return QTest::qWaitForWindowActive(&dialog);
}

}  // namespace

class DiscDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void NoWriterDisablesRecordAndEject() {
    ScriptedLinkUi ui;
    TNagrywanieCD_DVD dialog(ui, nullptr, MakeLibburnRecorder({false, ""}));
    QVERIFY(Show(dialog));
    QCOMPARE(ui.messages, std::vector<std::string>{"Nie ma dostępnych napędów do nagrywania."});
    QVERIFY(!dialog.Button1->isEnabled());
    QVERIFY(!dialog.EjectButton->isEnabled());
    QVERIFY(dialog.CloseButton->isEnabled());
    QVERIFY(dialog.VersionLabel->text().startsWith(
        QStringLiteral("Ver: Bibl. użyta do nagrania CD/DVD: libburn ")));
    PressKey(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
  }

  void WritesSessionsIntoTheImageUntilTheDiscIsClosed() {
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("plyta.iso"));
    const QString source = dir.filePath(QStringLiteral("OdczytFiskPrTemp.txt"));
    {
      std::ofstream out(source.toStdString(), std::ios::binary);
      for (int i = 0; i < 50; ++i) out << "Raport dobowy nr " << i << "\r\n";
    }
    ScriptedLinkUi ui;
    TNagrywanieCD_DVD dialog(ui, nullptr, MakeLibburnRecorder({false, image.toStdString()}));
    dialog.SetSource(source, QString::fromUtf8(kName));
    QVERIFY(Show(dialog));
    QVERIFY(ui.messages.empty());
    QCOMPARE(dialog.DriveList->count(), 1);
    QCOMPARE(dialog.DriveList->itemText(0), QStringLiteral("Obraz płyty: ") + image);
    QCOMPARE(dialog.FileName->text(), QString::fromUtf8(kName));
    QVERIFY(dialog.Button1->isEnabled() && dialog.EjectButton->isEnabled());

    // The drive list has the focus; Tab goes through the fields in their order.
    QCOMPARE(QApplication::focusWidget(), dialog.DriveList);
    PressKey(&dialog, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog.FileName);
    PressKey(&dialog, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog.CloseDiscBox);
    PressKey(&dialog, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog.ImportSessionBox);
    PressKey(&dialog, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog.Button1);
    dialog.FileName->setFocus();

    // Enter records.
    auto record = [&] {
      PressKey(&dialog, Qt::Key_Return);
      return WaitFor([&] { return !dialog.Writing(); }, 60000);
    };
    QVERIFY(record());
    QCOMPARE(dialog.StatusLabel->text(), QStringLiteral("Nagrywanie zakończono poprawnie."));
    QVERIFY(dialog.Button1->isEnabled() && dialog.EjectButton->isEnabled());
    QCOMPARE(dialog.ProgressBar1->value(), 100);

    // A second session with the import, the disc closed after it.
    dialog.ImportSessionBox->setChecked(true);
    dialog.CloseDiscBox->setChecked(true);
    dialog.FileName->setText(QStringLiteral("MAVITO_Nr_2_3.txt"));
    QVERIFY(record());
    QCOMPARE(dialog.StatusLabel->text(), QStringLiteral("Nagrywanie zakończono poprawnie."));
    QVERIFY(ui.messages.empty());

    // A closed disc takes nothing more.
    dialog.CloseDiscBox->setChecked(false);
    PressKey(&dialog, Qt::Key_Return);
    QCOMPARE(ui.messages, std::vector<std::string>{kNotReady});
    QVERIFY(!dialog.Writing());

    // Alt+Z closes.
    PressKey(&dialog, Qt::Key_Z, Qt::AltModifier);
    QVERIFY(!dialog.isVisible());
  }

  void MissingReportFileIsNotAdded() {
    QTemporaryDir dir;
    ScriptedLinkUi ui;
    TNagrywanieCD_DVD dialog(ui, nullptr,
                             MakeLibburnRecorder({false, dir.filePath("plyta.iso").toStdString()}));
    dialog.SetSource(dir.filePath(QStringLiteral("OdczytFiskPrTemp.txt")),
                     QString::fromUtf8(kName));
    QVERIFY(Show(dialog));
    PressKey(&dialog, Qt::Key_N, Qt::AltModifier);
    QCOMPARE(ui.messages, std::vector<std::string>{
                              "Wystąpił błąd podczas nagrywania. Nie mogę dołączyć pliku."});
    QVERIFY(!dialog.Writing());
  }

  void ProgressBouncesUntilTheLibraryReportsIt() {
    ScriptedLinkUi ui;
    auto owned = std::make_unique<ScriptedRecorder>();
    ScriptedRecorder& recorder = *owned;
    TNagrywanieCD_DVD dialog(ui, nullptr, std::move(owned));
    dialog.SetSource(QStringLiteral("/tmp/raport.txt"), QString::fromUtf8(kName));
    QVERIFY(Show(dialog));
    dialog.Button1->click();
    QVERIFY(dialog.Writing());
    QCOMPARE(dialog.StatusLabel->text(), QStringLiteral("Trwa nagrywanie.Czekaj..."));
    QVERIFY(!dialog.Button1->isEnabled() && !dialog.EjectButton->isEnabled());
    // Up in steps of ten, and back down from the top.
    QVERIFY(WaitFor([&] { return dialog.ProgressBar1->value() == 100; }));
    QVERIFY(WaitFor([&] { return dialog.ProgressBar1->value() == 80; }));
    recorder.percent = 42;
    QVERIFY(WaitFor([&] { return dialog.ProgressBar1->value() == 42; }));

    recorder.Finish(true, 123);
    QVERIFY(WaitFor([&] { return !dialog.Writing(); }));
    QCOMPARE(ui.messages,
             std::vector<std::string>{"Wystąpił błąd podczas nagrywania. Nr błędu = 123"});
    QCOMPARE(dialog.StatusLabel->text(), QStringLiteral("Wystąpił błąd podczas nagrywania."));
    QVERIFY(dialog.Button1->isEnabled() && dialog.EjectButton->isEnabled());

    // A file that does not read back as written has its own message.
    ui.messages.clear();
    dialog.Button1->click();
    recorder.Finish(true, kDiscReadBackMismatch);
    QVERIFY(WaitFor([&] { return !dialog.Writing(); }));
    QCOMPARE(ui.messages,
             std::vector<std::string>{"Wystąpił błąd podczas nagrywania. Plik "
                                      "odczytany z płyty różni się od pliku raportu."});
    PressKey(&dialog, Qt::Key_Escape);
  }

  void ClosingWhileWritingAsksAndCancels() {
    ScriptedLinkUi ui;
    auto owned = std::make_unique<ScriptedRecorder>();
    ScriptedRecorder& recorder = *owned;
    TNagrywanieCD_DVD dialog(ui, nullptr, std::move(owned));
    dialog.SetSource(QStringLiteral("/tmp/raport.txt"), QString::fromUtf8(kName));
    QVERIFY(Show(dialog));
    dialog.Button1->click();
    QVERIFY(dialog.Writing());
    const int cancelsBefore = recorder.cancels;

    ui.answers = {false};  // "Czy przerwać nagrywanie?" No: keeps writing
    PressKey(&dialog, Qt::Key_Escape);
    QCOMPARE(ui.questions, std::vector<std::string>{"Czy przerwać nagrywanie?"});
    QVERIFY(dialog.isVisible() && dialog.Writing() && recorder.running);
    QCOMPARE(recorder.cancels, cancelsBefore);

    ui.answers = {true};
    dialog.CloseButton->click();
    QVERIFY(!dialog.isVisible());
    QVERIFY(!recorder.running);
    QCOMPARE(recorder.cancels, cancelsBefore + 1);
    QVERIFY(!dialog.Writing());
    QCOMPARE(ui.messages, std::vector<std::string>{});  // a cancel the user chose says nothing
  }
};

QTEST_MAIN(DiscDialogTest)
#include "disc_qtest.moc"
