// The test tools against ulvo-sim over real ptys: the test transaction generator, the printer
// search over several emulators named through ULVO_COM<n>, and the binary file transfer.

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "tests/qt/commands_sim_fixture.h"
#include "tests/support_qt/main_form_harness.h"
#include "tests/support_qt/modal_answerer.h"
#include "tools/binary_transfer_dialog.h"
#include "tools/printer_search_dialog.h"
#include "tools/test_transactions_dialogs.h"
#include "ui/qt_link_ui.h"

using namespace ulvo;
using ulvo::testing::ShowDialog;
using ulvo::testing::WaitFor;

namespace {

// The sum of the emulator's totals A..G, in grosze.
long long TotalsInGrosze(ulvo::testing::SimDialogFixture& fx) {
  long long sum = 0;
  for (char letter = 'A'; letter <= 'G'; ++letter) {
    const std::string value = fx.Get(std::string("total") + letter);
    sum += std::llround(std::stod(value) * 100);
  }
  return sum;
}

// Every COM port from 1 to 64 made absent, so that a search meets only the emulators a test
// names.
void AllPortsAbsent() {
  for (int n = 1; n <= 64; ++n)
    qputenv(("ULVO_COM" + std::to_string(n)).c_str(), "/nonexistent/ulvo-test-port");
}

void NamePort(int n, const std::string& device) {
  qputenv(("ULVO_COM" + std::to_string(n)).c_str(), QByteArray::fromStdString(device));
}

}  // namespace

class TestToolsTest : public QObject {
  Q_OBJECT

 private:
  ulvo::testing::SimDialogFixture fx;
  std::vector<std::unique_ptr<SimProcess>> extraSims;

  std::unique_ptr<SimProcess> StartSim(const std::vector<std::string>& args) {
    std::string error;
    auto sim = SimProcess::Start(ULVO_SIM_PATH, args, &error);
    if (!sim) qWarning("ulvo-sim: %s", error.c_str());
    return sim;
  }

  // Fills the settings dialog once it is on screen and presses Enter ("&Rozpocznij").
  void StartRunWhenShown(TTransakcjeTestowe* dialog, std::function<void()> fill) {
    QTimer::singleShot(0, dialog, [dialog, fill] {
      QVERIFY(QTest::qWaitForWindowExposed(dialog));
      fill();
      QTest::keyClick(dialog, Qt::Key_Return);
    });
    // A run that never ends must not hold the whole test program: it is closed, and the
    // test's own checks then fail.
    QTimer::singleShot(60000, dialog, [dialog] {
      if (dialog->progress()->isVisible()) dialog->progress()->close();
      if (dialog->isVisible()) dialog->reject();
    });
  }

 private slots:
  void init() {
    fx.settings = Settings{};
    fx.ui = ScriptedLinkUi{};
    fx.ui.replyWaitLimit = std::chrono::milliseconds(3000);
  }
  void cleanup() {
    fx.Stop();
    extraSims.clear();
  }

  // ---- the test transaction generator ----

  void SettingsDialogKeysAndVisibility() {
    QVERIFY(fx.Start({"--baud", "0"}).empty());
    fx.settings.PrinterType = 1;
    TTransakcjeTestowe dialog(*fx.context);
    QVERIFY(ShowDialog(&dialog));
    QCOMPARE(QApplication::focusWidget(), dialog.RadioUnlimited);
    QVERIFY(!dialog.MethodBox->isVisible());
    QVERIFY(!dialog.CheckDrawer->isVisible());
    QVERIFY(!dialog.EditLimit->isEnabled());
    QVERIFY(!dialog.EditFixed->isEnabled());
    QVERIFY(dialog.EditFrom->isEnabled());
    QCOMPARE(dialog.EditTo->text(), QStringLiteral("48"));
    QCOMPARE(dialog.EditLineMax->text(), QStringLiteral("99,99"));
    dialog.RadioLimited->setChecked(true);
    QVERIFY(dialog.EditLimit->isEnabled());
    dialog.RadioLineNone->setChecked(true);
    QVERIFY(!dialog.EditLineMax->isEnabled());

    // Enter checks the form: a bad value is refused with its message and nothing starts.
    dialog.EditLimit->setText(QStringLiteral("abc"));
    QTest::keyClick(dialog.EditLimit, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QCOMPARE(fx.ui.messages, std::vector<std::string>{
                                 "Błędna Wartość : Liczba paragonów -> Oreślona liczba paragonów"});
    // Escape is "&Anuluj".
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));

    fx.settings.PrinterType = 2;
    QVERIFY(ShowDialog(&dialog));
    QVERIFY(dialog.MethodBox->isVisible());
    QVERIFY(dialog.CheckDrawer->isVisible());
    dialog.reject();
  }

  void TabFollowsTheFormOrder() {
    QVERIFY(fx.Start({"--baud", "0"}).empty());
    TTransakcjeTestowe dialog(*fx.context);
    auto tabs = [&](Qt::Key key) {
      QStringList order;
      for (int i = 0; i < 15; ++i) {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), key);
      }
      return order.join(QLatin1Char(' '));
    };
    QVERIFY(ShowDialog(&dialog));
    // Each pair of choices is one stop, at the choice made; fields that cannot be used are
    // passed over.
    QCOMPARE(tabs(Qt::Key_Tab),
             QStringLiteral("RadioUnlimited RadioRandom EditFrom EditTo RadioLineRandom "
                            "EditLineMax RadioReceiptRandom EditReceiptMax RadioMethod1 "
                            "CheckOnline CheckDrawer CheckVerify Button1 Button2 RadioUnlimited"));
    dialog.reject();
    dialog.RadioLimited->setChecked(true);
    dialog.RadioFixed->setChecked(true);
    dialog.RadioLineNone->setChecked(true);
    fx.settings.PrinterType = 0;
    QVERIFY(ShowDialog(&dialog));
    QCOMPARE(QApplication::focusWidget(), dialog.RadioLimited);
    QCOMPARE(tabs(Qt::Key_Backtab),
             QStringLiteral("RadioLimited Button2 Button1 CheckVerify CheckOnline EditReceiptMax "
                            "RadioReceiptRandom RadioLineNone EditFixed RadioFixed EditLimit "
                            "RadioLimited Button2 Button1 CheckVerify"));
    dialog.reject();
  }

  void CancelledSettingsSendNothing() {
    QVERIFY(fx.Start({"--baud", "0"}).empty());
    TTransakcjeTestowe dialog(*fx.context);
    QTimer::singleShot(0, &dialog, [&dialog] {
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    const std::string framesBefore = fx.Get("frames");
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(fx.Get("frames"), framesBefore);
    QVERIFY(fx.ui.messages.empty());
  }

  void SoakRunKeepsThePrintersTotalsInStep() {
    QVERIFY(fx.Start({"--baud", "115200"}).empty());
    const long long before = TotalsInGrosze(fx);
    TTransakcjeTestowe dialog(*fx.context);
    StartRunWhenShown(&dialog, [&dialog] {
      dialog.RadioLimited->setChecked(true);
      dialog.EditLimit->setText(QStringLiteral("20"));
      dialog.EditFrom->setText(QStringLiteral("1"));
      dialog.EditTo->setText(QStringLiteral("4"));
      dialog.CheckVerify->setChecked(true);
    });
    dialog.exec();
    QVERIFY2(fx.ui.messages.empty(), fx.ui.messages.empty() ? "" : fx.ui.messages[0].c_str());
    QCOMPARE(dialog.progress()->result(), int(QDialog::Accepted));
    const TestRunSettings& run = dialog.run();
    QCOMPARE(run.TestReceiptCount, 20u);
    QCOMPARE(run.TestRunActive, std::uint8_t(0));
    QCOMPARE(fx.Get("receipts"), std::string("20"));
    QCOMPARE(fx.Get("intransaction"), std::string("0"));
    QCOMPARE(fx.Get("drawer"), std::string("20"));
    QCOMPARE(TotalsInGrosze(fx) - before, std::llround(run.TestGrandTotal * 100));
    // The Mavito was told its discount method first.
    QCOMPARE(fx.SentCommands().front(), std::string("P1$r"));
    QCOMPARE(dialog.progress()->Edit1->text(), QStringLiteral("20"));
    QCOMPARE(dialog.progress()->Edit4->text(), QString::asprintf("%.2f", run.TestGrandTotal));
  }

  void ReceiptDiscountsOfOneLetterReceiptsAgree() {
    QVERIFY(fx.Start({"--baud", "0"}).empty());
    TTransakcjeTestowe dialog(*fx.context);
    StartRunWhenShown(&dialog, [&dialog] {
      dialog.RadioLimited->setChecked(true);
      dialog.EditLimit->setText(QStringLiteral("6"));
      dialog.RadioFixed->setChecked(true);
      dialog.EditFixed->setText(QStringLiteral("1"));
      dialog.RadioMethod2->setChecked(true);
      dialog.CheckOnline->setChecked(false);
      dialog.CheckVerify->setChecked(true);
    });
    dialog.exec();
    QVERIFY2(fx.ui.messages.empty(), fx.ui.messages.empty() ? "" : fx.ui.messages[0].c_str());
    QCOMPARE(fx.Get("receipts"), std::string("6"));
    QCOMPARE(fx.SentCommands().front(), std::string("P0$r"));
    bool blockOpening = false;
    for (const std::string& frame : fx.SentCommands()) blockOpening |= frame == "P1$h";
    QVERIFY(blockOpening);
  }

  void PrinterErrorMidReceiptCancelsIt() {
    QVERIFY(fx.Start({"--baud", "0"}).empty());
    TTransakcjeTestowe dialog(*fx.context);
    StartRunWhenShown(&dialog, [&dialog] {
      dialog.RadioFixed->setChecked(true);
      dialog.EditFixed->setText(QStringLiteral("10"));
      dialog.RadioReceiptNone->setChecked(true);
      dialog.CheckVerify->setChecked(true);
    });
    // Once the second line of the second receipt is out, the printer refuses the next one.
    bool refused = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
      TDrukTransTest* progress = dialog.progress();
      if (!refused && progress->isVisible() && progress->Edit1->text() == QStringLiteral("2") &&
          progress->Edit2->text() == QStringLiteral("2")) {
        refused = true;
        QCOMPARE(fx.Control("refuse 20"), std::string("ok"));
      }
    });
    watch.start(1);
    dialog.exec();
    watch.stop();
    QVERIFY(refused);
    QCOMPARE(fx.ui.messages.size(), std::size_t(2));
    QVERIFY(fx.ui.messages[0].rfind("Wystąpił bład nr: 20", 0) == 0);
    QCOMPARE(fx.ui.messages[1], std::string(kTestReceiptCancelledText));
    QCOMPARE(fx.Get("intransaction"), std::string("0"));
    QCOMPARE(fx.Get("lastprintout"), std::string("Paragon anulowany"));
    QCOMPARE(fx.Get("receipts"), std::string("1"));
    QCOMPARE(dialog.run().TestRunActive, std::uint8_t(0));
    QVERIFY(!dialog.progress()->TimerRunning());
    // The refused third line, then the cancel.
    const auto commands = fx.SentCommands();
    const auto cancel = std::find(commands.begin(), commands.end(), std::string("P0$e"));
    QVERIFY(cancel != commands.end() && cancel != commands.begin());
    QVERIFY((cancel - 1)->rfind("P3;2$l", 0) == 0);
  }

  void PrzerwijAsksAndCancelsTheOpenReceipt() {
    QVERIFY(fx.Start({"--baud", "0"}).empty());
    fx.ui.answers = {false, true};
    TTransakcjeTestowe dialog(*fx.context);
    StartRunWhenShown(&dialog, [&dialog] {
      dialog.RadioFixed->setChecked(true);
      dialog.EditFixed->setText(QStringLiteral("30"));
    });
    int escapes = 0;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
      TDrukTransTest* progress = dialog.progress();
      if (!progress->isVisible()) return;
      const int line = progress->Edit2->text().toInt();
      if ((escapes == 0 && line >= 3) || (escapes == 1 && line >= 6)) {
        ++escapes;
        QTest::keyClick(progress, Qt::Key_Escape);
      }
    });
    watch.start(1);
    dialog.exec();
    watch.stop();
    QCOMPARE(escapes, 2);
    QCOMPARE(fx.ui.questions.size(), std::size_t(2));
    QCOMPARE(fx.ui.questions[0], std::string("Przerwać drukowanie transakcji testowych?"));
    QVERIFY(fx.ui.messages.empty());
    QCOMPARE(fx.Get("intransaction"), std::string("0"));
    QCOMPARE(fx.Get("lastprintout"), std::string("Paragon anulowany"));
    const auto commands = fx.SentCommands();
    QCOMPARE(std::count(commands.begin(), commands.end(), std::string("P0$e")), 1);
  }

  void SlowPrinterShowsTheWaitingLineAndPrzerwijAnswersAtOnce() {
    QVERIFY(fx.Start({"--baud", "0", "--delay", "150"}).empty());
    fx.ui.answers = {true};
    TTransakcjeTestowe dialog(*fx.context);
    StartRunWhenShown(&dialog, [&dialog] {
      dialog.RadioFixed->setChecked(true);
      dialog.EditFixed->setText(QStringLiteral("5"));
    });
    int barMoves = 0;
    int lastBar = -1;
    bool pressed = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
      TDrukTransTest* progress = dialog.progress();
      if (!progress->isVisible() || pressed) return;
      if (progress->WaitLabel->isVisible() && progress->ProgressBar1->isVisible()) {
        if (lastBar >= 0 && progress->ProgressBar1->value() != lastBar) ++barMoves;
        lastBar = progress->ProgressBar1->value();
      }
      // While the window waits for the printer, Escape is taken at once.
      if (barMoves >= 2 && progress->Edit2->text().toInt() >= 1) {
        pressed = true;
        QTest::keyClick(progress, Qt::Key_Escape);
      }
    });
    watch.start(1);
    dialog.exec();
    watch.stop();
    QVERIFY(pressed);
    QCOMPARE(fx.ui.questions,
             std::vector<std::string>{"Przerwać drukowanie transakcji testowych?"});
    QCOMPARE(fx.Get("intransaction"), std::string("0"));
    QVERIFY(!dialog.progress()->isVisible());
  }

  void DrawerOnlyForTheMavito() {
    QVERIFY(fx.Start({"--baud", "0", "--family", "altapro"}).empty());
    fx.settings.PrinterType = 1;
    TTransakcjeTestowe dialog(*fx.context);
    StartRunWhenShown(&dialog, [&dialog] {
      dialog.RadioLimited->setChecked(true);
      dialog.EditLimit->setText(QStringLiteral("2"));
      dialog.RadioFixed->setChecked(true);
      dialog.EditFixed->setText(QStringLiteral("2"));
      QVERIFY(dialog.CheckDrawer->isChecked());  // left checked, hidden
    });
    dialog.exec();
    QVERIFY(fx.ui.messages.empty());
    QCOMPARE(fx.Get("receipts"), std::string("2"));
    QCOMPARE(fx.Get("drawer"), std::string("0"));
    for (const std::string& frame : fx.SentCommands()) QVERIFY(frame != "P1$r" && frame != "P1$d");
  }

  // ---- the printer search ----

  void SearchListsOnlineAndOfflinePrintersAndTakesTheChosenOne() {
    AllPortsAbsent();
    auto online = StartSim({"--baud", "9600"});
    auto offline = StartSim({"--baud", "9600", "--offline"});
    auto port64 = StartSim({"--baud", "0"});
    QVERIFY(online && offline && port64);
    NamePort(5, online->PtyPath());
    NamePort(9, offline->PtyPath());
    NamePort(64, port64->PtyPath());
    Link link(fx.settings, fx.ui, QtPortOpener());
    fx.settings.PrinterType = 2;
    fx.settings.PortSettings.BaudRate = 19200;
    fx.settings.PortSettings.XonXoff = 1;
    fx.settings.PortNumber = kNoPort;
    ReceiptState receipt;
    AppContext context{fx.settings, link, receipt, nullptr};
    TSzukamdrukarki dialog(context);
    QVERIFY(ShowDialog(&dialog));
    QVERIFY(WaitFor([&] { return dialog.CheckListBox1->isVisible(); }, 20000));
    QCOMPARE(dialog.CheckListBox1->count(), 2);
    QCOMPARE(dialog.CheckListBox1->item(0)->text(), QStringLiteral("COM5 - Mavito"));
    QCOMPARE(dialog.CheckListBox1->item(1)->text(),
             QString::fromUtf8(
                 "COM9 - Drukarka nierozpoznana ponieważ znajduje się w trybie Off-line."));
    QCOMPARE(dialog.Label1->text(), QString::fromUtf8("Lista znalezionych drukarek fiskalnych"));
    QVERIFY(!dialog.Button1->isEnabled());
    // Flow control is off while searching.
    QCOMPARE(fx.settings.PortSettings.XonXoff, std::uint8_t(0));
    // The off-line printer carried out nothing it was sent.
    QCOMPARE(offline->Control("get frames"), std::string("ok 0"));

    // Space checks the focused entry, the other one is locked, Alt+W takes it.
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.CheckListBox1));
    QTest::keyClick(dialog.CheckListBox1, Qt::Key_Space);
    QCOMPARE(dialog.CheckListBox1->item(0)->checkState(), Qt::Checked);
    QVERIFY(!(dialog.CheckListBox1->item(1)->flags() & Qt::ItemIsEnabled));
    QVERIFY(dialog.Button1->isEnabled());
    QTest::keyClick(dialog.CheckListBox1, Qt::Key_Space);
    QVERIFY(dialog.CheckListBox1->item(1)->flags() & Qt::ItemIsEnabled);
    QVERIFY(!dialog.Button1->isEnabled());
    QTest::keyClick(dialog.CheckListBox1, Qt::Key_Space);
    ulvo::testing::PressKey(&dialog, Qt::Key_W, Qt::AltModifier);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(fx.settings.PortNumber, std::uint8_t(5));
    QVERIFY(link.PortOpen());
    QCOMPARE(link.CashDataState, std::uint8_t(2));
    QCOMPARE(fx.settings.PortSettings.XonXoff, std::uint8_t(1));
    QCOMPARE(fx.settings.PortSettings.BaudRate, 19200u);
    QCOMPARE(dialog.CheckListBox1->count(), 0);
    // Port 64 was never asked.
    QCOMPARE(port64->Control("get bytesin"), std::string("ok 0"));
    qunsetenv("ULVO_COM5");
  }

  void SearchForAnAltaAndCancelBringsTheOldPortBack() {
    AllPortsAbsent();
    auto alta = StartSim({"--baud", "0", "--family", "alta"});
    auto old = StartSim({"--baud", "0", "--family", "alta"});
    QVERIFY(alta && old);
    NamePort(3, alta->PtyPath());
    NamePort(7, old->PtyPath());
    Link link(fx.settings, fx.ui, QtPortOpener());
    fx.settings.PrinterType = 0;
    fx.settings.PortNumber = 7;
    fx.settings.PortSettings.RtsCts = 1;
    fx.settings.PortSettings.XonXoff = 1;
    QVERIFY(!link.OpenPort(true));
    ReceiptState receipt;
    AppContext context{fx.settings, link, receipt, nullptr};
    TSzukamdrukarki dialog(context);
    QVERIFY(ShowDialog(&dialog));
    QVERIFY(WaitFor([&] { return dialog.CheckListBox1->isVisible(); }, 20000));
    // Any answer to #n names an Alta; the old port's printer answered as well.
    QCOMPARE(dialog.CheckListBox1->count(), 2);
    QCOMPARE(dialog.CheckListBox1->item(0)->text(), QStringLiteral("COM3 - Alta lub Alta Plus"));
    QCOMPARE(dialog.CheckListBox1->item(1)->text(), QStringLiteral("COM7 - Alta lub Alta Plus"));
    QTest::keyClick(dialog.CheckListBox1, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));  // printers were found
    QCOMPARE(fx.settings.PortNumber, std::uint8_t(7));
    QCOMPARE(fx.settings.PortSettings.RtsCts, std::uint8_t(1));
    QCOMPARE(fx.settings.PortSettings.XonXoff, std::uint8_t(1));
    QVERIFY(link.PortOpen());
    QVERIFY(fx.ui.messages.empty());
  }

  void CancelHalfWayAndFruitlessSearchRestoreThePort() {
    AllPortsAbsent();
    auto old = StartSim({"--baud", "0"});
    auto slow = StartSim({"--baud", "0", "--offline"});
    QVERIFY(old && slow);
    NamePort(2, old->PtyPath());
    NamePort(40, slow->PtyPath());
    Link link(fx.settings, fx.ui, QtPortOpener());
    fx.settings.PortNumber = 2;
    fx.settings.PortSettings.XonXoff = 1;
    QVERIFY(!link.OpenPort(true));
    ReceiptState receipt;
    AppContext context{fx.settings, link, receipt, nullptr};
    TSzukamdrukarki dialog(context);
    QVERIFY(ShowDialog(&dialog));
    // Escape while the search is still probing (it waits on the off-line printer at COM40).
    QVERIFY(WaitFor([&] { return dialog.ProgressBar1->value() >= 40 * 2 - 1; }, 20000));
    QVERIFY(dialog.Searching());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(fx.settings.PortNumber, std::uint8_t(2));
    QCOMPARE(fx.settings.PortSettings.XonXoff, std::uint8_t(1));
    QVERIFY(link.PortOpen());

    // No printer anywhere (the old port's far end only echoes): the dialog closes by itself
    // and the old port is back.
    QCOMPARE(old->Control("echo on"), std::string("ok"));
    NamePort(2, "/nonexistent/ulvo-test-port");
    NamePort(40, "/nonexistent/ulvo-test-port");
    NamePort(11, old->PtyPath());
    fx.settings.PortNumber = 11;
    QVERIFY(!link.OpenPort(true));
    QVERIFY(ShowDialog(&dialog) || true);  // it may close before it is ever active
    QVERIFY(WaitFor([&] { return !dialog.isVisible(); }, 20000));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.FoundCount(), 0);
    QCOMPARE(fx.settings.PortNumber, std::uint8_t(11));
    QVERIFY(link.PortOpen());
  }

  void MainWindowSearchButtonRunsTheSearch() {
    AllPortsAbsent();
    ulvo::testing::MainFormHarness h;
    ulvo::testing::HarnessOptions options;
    options.simBinary = ULVO_SIM_PATH;
    QVERIFY2(h.Start(options), qPrintable(h.error));  // the emulator is COM1
    TMainForm& f = *h.form;
    for (const char* name : {"TTransakcjeTestowe", "TSzukamdrukarki", "TWyslijOdbierzPlikBin"})
      QVERIFY(f.registry().Has(name));
    // A far end that only echoes is no printer: the search finds nothing and the window says so.
    QCOMPARE(h.Sim("echo on"), std::string("ok"));
    ulvo::testing::ModalAnswerer answer;
    answer.Click(QStringLiteral("OK"));
    QTest::mouseClick(f.SearchButton, Qt::LeftButton);
    QVERIFY(answer.WaitDone());
    QCOMPARE(answer.messages,
             QStringList{QString::fromUtf8("Nie znaleziono żadnej drukarki fiskalnej")});
    QCOMPARE(f.settings().PortNumber, std::uint8_t(1));
    QVERIFY(f.link().PortOpen());

    // The printer answers again: it is listed and taken with the keyboard.
    QCOMPARE(h.Sim("echo off"), std::string("ok"));
    ulvo::testing::ModalAnswerer choose;
    choose.Do(QStringLiteral("TSzukamdrukarki"), [](QWidget* window) {
      auto* search = static_cast<TSzukamdrukarki*>(window);
      QVERIFY(WaitFor([search] { return search->CheckListBox1->isVisible(); }));
      QCOMPARE(search->CheckListBox1->item(0)->text(), QStringLiteral("COM1 - Mavito"));
      ulvo::testing::PressKey(search, Qt::Key_Space);
      ulvo::testing::PressKey(search, Qt::Key_W, Qt::AltModifier);
    });
    QTest::mouseClick(f.SearchButton, Qt::LeftButton);
    QVERIFY(choose.WaitDone());
    QVERIFY(choose.messages.isEmpty());
    QCOMPARE(f.settings().PortNumber, std::uint8_t(1));
    QVERIFY(f.link().PortOpen());
  }

  // ---- binary transfer ----

  void EmptyFileEndsTheSendAtOnce() {
    QVERIFY(fx.Start({"--baud", "0"}).empty());
    QFile empty(fx.dir.filePath(QStringLiteral("pusty.bin")));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    TWyslijOdbierzPlikBin dialog(*fx.context);
    QVERIFY(ShowDialog(&dialog));
    QVERIFY(!dialog.Button1->isEnabled());
    QVERIFY(!dialog.Button2->isEnabled());
    dialog.ChooseSendFile(empty.fileName());
    QCOMPARE(dialog.SizeLabel->text(), QString::fromUtf8("0 Bajtów"));
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    QVERIFY(WaitFor([&] { return !dialog.transfer().sending(); }, 2000));
    QCOMPARE(dialog.Button1->text(), QString::fromUtf8("&Wyślij"));
    QVERIFY(dialog.ProgressLabel->text().isEmpty());
    QVERIFY(dialog.SpeedButton1->isEnabled());
    QCOMPARE(fx.Get("bytesin"), std::string("0"));

    // A file that cannot be opened: its message, and the field is cleared.
    dialog.ChooseSendFile(fx.dir.filePath(QStringLiteral("brak.bin")));
    QCOMPARE(fx.ui.messages.size(), std::size_t(1));
    QVERIFY(fx.ui.messages[0].rfind("Nie mogę otworzyc pliku", 0) == 0);
    QVERIFY(dialog.Edit1->text().isEmpty());
    QVERIFY(!dialog.Button1->isEnabled());
    QTest::keyClick(&dialog, Qt::Key_Escape);  // nothing runs: Escape closes
    QVERIFY(!dialog.isVisible());
  }

  void FileThroughTheLoopbackComesBackIdentical() {
    QVERIFY(fx.Start({"--baud", "0"}).empty());
    fx.settings.PortSettings.XonXoff = 1;  // must be off while receiving, and come back
    QVERIFY(!fx.link->OpenPort(true));
    QCOMPARE(fx.Control("echo on"), std::string("ok"));
    QByteArray data(100 * 1024, '\0');
    QRandomGenerator random(42);
    for (char& c : data) c = static_cast<char>(random.bounded(256));
    data[100] = 0x13;  // XOFF and XON in the data
    data[101] = 0x11;
    QFile in(fx.dir.filePath(QStringLiteral("wyslij.bin")));
    QVERIFY(in.open(QIODevice::WriteOnly));
    in.write(data);
    in.close();
    const QString outPath = fx.dir.filePath(QStringLiteral("odebrane.bin"));
    QFile existing(outPath);
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("stare");
    existing.close();

    TWyslijOdbierzPlikBin dialog(*fx.context);
    QVERIFY(ShowDialog(&dialog));
    // An existing file: answering No leaves the start button disabled.
    fx.ui.answers = {false};
    dialog.ChooseReceiveFile(outPath);
    QVERIFY(dialog.Edit2->text().isEmpty());
    QVERIFY(!dialog.Button2->isEnabled());
    fx.ui.answers = {true};
    dialog.ChooseReceiveFile(outPath);
    QCOMPARE(fx.ui.questions.back(),
             "Plik " + outPath.toStdString() + " już istnieje.Kontynuować? ");
    QTest::mouseClick(dialog.Button2, Qt::LeftButton);
    QCOMPARE(dialog.Button2->text(), QString::fromUtf8("&Przerwij Odbieranie"));
    QCOMPARE(fx.settings.PortSettings.XonXoff, std::uint8_t(0));
    dialog.ChooseSendFile(in.fileName());
    QCOMPARE(dialog.SizeLabel->text(), QString::fromUtf8("102400 Bajtów"));
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    QCOMPARE(dialog.Button1->text(), QString::fromUtf8("&Przerwij"));
    QVERIFY(WaitFor([&] { return dialog.transfer().bytesReceived() >= data.size(); }, 60000));
    QVERIFY(WaitFor([&] { return !dialog.transfer().sending(); }, 5000));
    QCOMPARE(dialog.CountLabel->text(), QString::fromUtf8("Odebrano 102400 bajtów."));
    // The file is on disc while the receive still runs.
    QFile partial(outPath);
    QVERIFY(partial.open(QIODevice::ReadOnly));
    QCOMPARE(partial.size(), qint64(data.size()));
    partial.close();
    // Escape asks; the answer Yes ends the receive and brings the flow control back.
    fx.ui.answers = {true};
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(fx.ui.questions.back(), std::string("Czy przerwać transmisje?"));
    QVERIFY(!dialog.transfer().receiving());
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.Button2->text(), QString::fromUtf8("&Odbierz"));
    QVERIFY(dialog.Edit2->text().isEmpty());
    QCOMPARE(fx.settings.PortSettings.XonXoff, std::uint8_t(1));
    QVERIFY(fx.link->PortOpen());
    QFile out(outPath);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QVERIFY(out.readAll() == data);
    QTest::mouseClick(dialog.Button3, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
  }

  void AFullDiscStopsTheReceiveWithAMessageAndTheFlowControlComesBack() {
#ifdef _WIN32
    QSKIP("the full disc is /dev/full");
#endif
    QVERIFY(fx.Start({"--baud", "0"}).empty());
    fx.settings.PortSettings.XonXoff = 1;
    // The program's own question and message boxes.
    fx.link->ClosePort();
    QtLinkUi qtUi;
    Link link(fx.settings, qtUi, QtPortOpener());
    QVERIFY(!link.OpenPort(true));
    AppContext context{fx.settings, link, fx.receipt, nullptr};
    TWyslijOdbierzPlikBin dialog(context);
    QVERIFY(ShowDialog(&dialog));
    ulvo::testing::ModalAnswerer answer;
    answer.Click(QString::fromUtf8("&Tak"));  // "/dev/full" exists: replace it
    dialog.ChooseReceiveFile(QStringLiteral("/dev/full"));
    QVERIFY(answer.WaitDone());
    QTest::mouseClick(dialog.Button2, Qt::LeftButton);
    QVERIFY(dialog.transfer().receiving());
    QCOMPARE(fx.settings.PortSettings.XonXoff, std::uint8_t(0));

    answer.Key(Qt::Key_Return);
    QCOMPARE(fx.Control("send 0102030405"), std::string("ok"));
    QVERIFY(answer.WaitDone());
    QVERIFY(answer.SawMessage(QString::fromUtf8(
        "Nie mogę zapisać danych do pliku /dev/full (brak miejsca na dysku albo błąd zapisu). "
        "Odbieranie przerwane; w pliku zapisano 0 bajtów.")));
    QVERIFY(!dialog.transfer().receiving());
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.Button2->text(), QString::fromUtf8("&Odbierz"));
    QVERIFY(!dialog.Button2->isEnabled());
    QVERIFY(dialog.SpeedButton2->isEnabled());
    QCOMPARE(dialog.CountLabel->text(), QString::fromUtf8("Odebrano 5 bajtów."));
    QCOMPARE(fx.settings.PortSettings.XonXoff, std::uint8_t(1));
    QVERIFY(link.PortOpen());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
  }
};

QTEST_MAIN(TestToolsTest)
#include "testtools_qtest.moc"
