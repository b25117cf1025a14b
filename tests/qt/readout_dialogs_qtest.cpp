// The periodic report, fiscal memory readout and control-number dialogs against ulvo-sim over
// a real pty: keys, frames, the whole readout with its end dialog, faults, printing to PDF.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "common/cp1250.h"
#include "readout/control_check_dialogs.h"
#include "readout/core/report_file.h"
#include "readout/disc_dialog.h"
#include "readout/fiscal_transfer_dialog.h"
#include "readout/periodic_report_dialogs.h"
#include "readout/readout_end_dialog.h"
#include "sim/fiscal_memory.h"
#include "tests/qt/commands_sim_fixture.h"
#include "tests/support_qt/modal_answerer.h"
#include "ui/qt_link_ui.h"

using namespace ulvo;
using ulvo::testing::ModalAnswerer;
using ulvo::testing::PressKey;
using ulvo::testing::ShowDialog;

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

QByteArray Cp1250(const char* utf8) {
  return QByteArray::fromStdString(Utf8ToCp1250(utf8).bytes);
}

}  // namespace

class ReadoutDialogsTest : public QObject {
  Q_OBJECT

 private:
  ulvo::testing::SimDialogFixture fx;

  void StartSim(const std::vector<std::string>& args) {
    fx.Stop();
    fx.settings = Settings{};
    fx.ui = ScriptedLinkUi{};
    const std::string error = fx.Start(args);
    QVERIFY2(error.empty(), error.c_str());
  }

  std::unique_ptr<TOdczytajRaportOkresowy> Readout(int from, int to) {
    auto dialog = std::make_unique<TOdczytajRaportOkresowy>(*fx.context, nullptr);
    dialog->reportFolder = fx.dir.path();
    dialog->RadioButton3->click();
    dialog->Edit3->setText(QString::number(from));
    dialog->Edit4->setText(QString::number(to));
    return dialog;
  }

  QString TempPath() const { return fx.dir.filePath(QString::fromLatin1(kReportTempName)); }

 private slots:
  void cleanup() { fx.Stop(); }

  void PrintDialogOpensOnTheMonthAndSendsWithEnter() {
    StartSim({"--baud", "0"});
    TWydrukRaportOkresowy dialog(*fx.context, nullptr);
    QVERIFY(ShowDialog(&dialog));
    QVERIFY(dialog.RadioButton1->isChecked());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.MaskEdit3));
    QVERIFY(!dialog.CheckBox3->isVisible());
    QVERIFY(!dialog.CheckBox4->isVisible());
    QTest::keyClicks(dialog.MaskEdit3, QStringLiteral("032010"));
    QCOMPARE(dialog.MaskEdit3->text(), QStringLiteral("03-2010"));
    PressKey(&dialog, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(fx.LastCommand(), std::string("P10;3;0;0;0;0;0#o"));
    QVERIFY(fx.ui.messages.empty());
  }

  void ArrowsMoveBetweenTheRangeChoicesAndTabRunsDownTheForm() {
    StartSim({"--baud", "0"});
    TWydrukRaportOkresowy dialog(*fx.context, nullptr);
    QVERIFY(ShowDialog(&dialog));
    PressKey(&dialog, Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.RadioButton1));
    PressKey(&dialog, Qt::Key_Down);
    QVERIFY(dialog.RadioButton2->isChecked());
    QVERIFY(dialog.GroupBox2->isEnabled());
    QVERIFY(!dialog.MaskEdit3->isEnabled());
    PressKey(&dialog, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.MaskEdit1));
    PressKey(&dialog, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.MaskEdit2));
    PressKey(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QVERIFY(fx.SentCommands().empty());
  }

  void PrintDialogRefusesAYearOutOfRangeAndStaysOpen() {
    StartSim({"--baud", "0"});
    TWydrukRaportOkresowy dialog(*fx.context, nullptr);
    QVERIFY(ShowDialog(&dialog));
    dialog.RadioButton2->click();
    QVERIFY(dialog.GroupBox2->isEnabled());
    QVERIFY(!dialog.GroupBox1->isEnabled());
    dialog.MaskEdit1->setText(QStringLiteral("01012010"));
    dialog.MaskEdit2->setText(QStringLiteral("01012080"));
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(fx.ui.messages, std::vector<std::string>{"    Data spoza zakresu     "});
    QVERIFY(fx.SentCommands().empty());
    // Emergency mode leaves only the range by numbers.
    dialog.CheckBox1->click();
    QVERIFY(dialog.RadioButton3->isChecked());
    QVERIFY(!dialog.RadioButton1->isEnabled());
    QVERIFY(!dialog.RadioButton2->isEnabled());
    dialog.Edit3->setText(QStringLiteral("1"));
    dialog.Edit4->setText(QStringLiteral("20"));
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    QCOMPARE(fx.LastCommand(), std::string("P6#o1/20/"));
  }

  void ReadoutOnAnotherModelIsNotAvailable() {
    StartSim({"--baud", "0"});
    fx.settings.PrinterType = 1;
    auto dialog = Readout(1, 2);
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(dialog->ComboBox2->currentText(), QStringLiteral("115200"));
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QVERIFY(fx.ui.HasMessage("Ta funkcja jest niedostępna dla tego modelu drukarki fiskalnej."));
    QVERIFY(fx.SentCommands().empty());
  }

  void ReadoutOf150ReportsEndsInTheEndDialogAndSavesTheFile() {
    StartSim({"--baud", "115200", "--fiscal-reports", "150"});
    auto dialog = Readout(1, 150);
    QVERIFY(ShowDialog(dialog.get()));
    const QString target = fx.dir.filePath(QStringLiteral("kopia.txt"));
    QByteArray temp, saved;
    QString title, name;
    ModalAnswerer answer;
    answer.Do(QStringLiteral("TZakonczonoOdczytywanie"), [&](QWidget* window) {
      auto* end = static_cast<TZakonczonoOdczytywanie*>(window);
      title = end->title();
      name = end->fileName();
      temp = ReadAll(TempPath());
      end->SaveTo(target);
      saved = ReadAll(target);
      PressKey(end, Qt::Key_Escape);
    });
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QVERIFY(answer.WaitDone());
    QVERIFY(!dialog->isVisible());
    QVERIFY2(fx.ui.messages.empty(), fx.ui.messages.empty() ? "" : fx.ui.messages[0].c_str());
    QCOMPARE(fx.LastCommand(), std::string("P4;0;0;0;0;0;0;128#o1/150/\r\r115200/"));
    QVERIFY(!temp.isEmpty());
    QCOMPARE(saved, temp);
    QVERIFY(temp.endsWith("\t\t\t\r\n"));
    QVERIFY(temp.contains(Cp1250("ŁĄCZNY RAPORT OKRESOWY")));
    QVERIFY(temp.contains("Nr rap.   150"));
    const QString unique = QString::fromStdString(fx.Get("unique"));
    QCOMPARE(name, QStringLiteral("MAVITO_%1_Nr_1_150.txt").arg(unique));
    QVERIFY(
        title.endsWith(QStringLiteral("o numerze unikatowym %1 od nr 1 do nr 150.").arg(unique)));
    QVERIFY(!QFile::exists(TempPath()));  // the end dialog deletes it
    // The port is back at its own settings.
    QCOMPARE(fx.settings.PortSettings.BaudRate, 9600u);
    QVERIFY(fx.link->PortOpen());

    // ulvo-cli reads the same memory into the same bytes.
    fx.link->ClosePort();
    const QString cli = QFileInfo(QStringLiteral(ULVO_SIM_PATH)).dir().filePath("ulvo-cli");
    const QString out = fx.dir.filePath(QStringLiteral("cli.txt"));
    QProcess run;
    run.start(cli, {"--port", QString::fromStdString(fx.sim->PtyPath()), "readout", "--numbers",
                    "1", "150", "-o", out});
    QVERIFY(run.waitForFinished(60000));
    QCOMPARE(run.exitCode(), 0);
    // The same but for the printer's clock on the closing line, should a minute have passed.
    const auto withoutTime = [](QByteArray report) {
      const qsizetype end = report.lastIndexOf("\r\n\t\t\t");
      if (end >= 5) report.remove(end - 5, 5);
      return report;
    };
    QCOMPARE(withoutTime(ReadAll(out)), withoutTime(temp));
  }

  void EndDialogWritesTheReadoutIntoADiscImage() {
#ifdef _WIN32
    QSKIP("a disc image is written through libburn, which the Windows program has not");
#endif
    QTemporaryDir discDir;
    const QString image = discDir.filePath(QStringLiteral("plyta.iso"));
    qputenv("ULVO_DISC_IMAGE", image.toUtf8());
    StartSim({"--baud", "115200", "--fiscal-reports", "20"});
    auto dialog = Readout(1, 20);
    QVERIFY(ShowDialog(dialog.get()));
    QByteArray temp;
    QString status;
    QPointer<QWidget> endDialog;
    ModalAnswerer answer;
    answer.Do(QStringLiteral("TZakonczonoOdczytywanie"), [&](QWidget* window) {
      endDialog = window;
      temp = ReadAll(TempPath());
      // Alt+N: "&Nagraj na płytę CD/DVD", from the keyboard.
      QTimer::singleShot(0, window, [window] { PressKey(window, Qt::Key_N, Qt::AltModifier); });
    });
    answer.Do(QStringLiteral("TNagrywanieCD_DVD"), [&](QWidget* window) {
      auto* disc = static_cast<TNagrywanieCD_DVD*>(window);
      PressKey(disc, Qt::Key_Return);  // "&Nagraj"
      ulvo::testing::WaitFor([disc] { return !disc->Writing(); }, 60000);
      status = disc->StatusLabel->text();
      QTimer::singleShot(0, window, [window, &endDialog] {
        PressKey(window, Qt::Key_Escape);
        if (endDialog)
          QTimer::singleShot(0, endDialog, [&endDialog] {
            if (endDialog) PressKey(endDialog, Qt::Key_Escape);
          });
      });
    });
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QVERIFY(answer.WaitDone(90000));
    QVERIFY(ulvo::testing::WaitFor([&] { return !endDialog || !endDialog->isVisible(); }, 10000));
    qunsetenv("ULVO_DISC_IMAGE");
    QCOMPARE(status, QStringLiteral("Nagrywanie zakończono poprawnie."));
    QVERIFY(!temp.isEmpty());
    // The image holds the report under its long name, byte for byte.
    QFile iso(image);
    QVERIFY(iso.open(QIODevice::ReadOnly));
    QVERIFY(iso.readAll().contains(temp));
  }

  void ClosingRecordOffByOneIsATransmissionErrorWithNoEndDialog() {
    StartSim({"--baud", "0", "--fiscal-reports", "30"});
    fx.Control("fiscalfault count 1");
    auto dialog = Readout(1, 30);
    QVERIFY(ShowDialog(dialog.get()));
    ModalAnswerer answer;
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QVERIFY(!answer.seen.contains(QStringLiteral("TZakonczonoOdczytywanie")));
    QCOMPARE(fx.ui.messages, std::vector<std::string>{"Wystąpił błąd trasmisji."});
    QVERIFY(!QFile::exists(TempPath()));
  }

  void FailedTransferShowsOneRealMessageAndKeepsTheReadoutDialog() {
    // A message box that stays up for a second: whatever still ran behind it (the transfer's
    // timer, the port's wake-up) would show itself as more boxes.
    struct Case {
      const char* fault;
      int reports;
    } cases[] = {{"fiscalfault count 1", 30}, {"fiscalfault cut 12", 10}};
    struct BoxUi : QtLinkUi {
      void ShowMessage(std::string_view text) override {
        shown.emplace_back(text);
        QtLinkUi::ShowMessage(text);
      }
      std::vector<std::string> shown;
    };
    for (const Case& k : cases) {
      BoxUi boxes;
      fx.realUi = &boxes;
      StartSim({"--baud", "0", "--fiscal-reports", std::to_string(k.reports)});
      fx.realUi = nullptr;
      fx.Control(k.fault);
      auto dialog = Readout(1, k.reports);
      QVERIFY(ShowDialog(dialog.get()));
      ModalAnswerer answer;
      answer.Do(QString(), [](QWidget* box) {
        QTimer::singleShot(1000, box, [box] { PressKey(box, Qt::Key_Return); });
      });
      // Should more boxes come, they are closed later so that the test fails instead of hanging.
      QTimer sweep;
      QElapsedTimer since;
      since.start();
      connect(&sweep, &QTimer::timeout, [&] {
        if (since.elapsed() < 8000) return;
        for (QWidget* w : QApplication::topLevelWidgets())
          if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) box->reject();
      });
      sweep.start(100);
      QTest::mouseClick(dialog->Button1, Qt::LeftButton);
      QVERIFY(answer.WaitDone());
      QCOMPARE(answer.messages, QStringList{QStringLiteral("Wystąpił błąd trasmisji.")});
      QCOMPARE(boxes.shown.size(), std::size_t{1});
      QVERIFY(!answer.seen.contains(QStringLiteral("TZakonczonoOdczytywanie")));
      QVERIFY2(dialog->isVisible(), k.fault);
      QVERIFY(!QFile::exists(TempPath()));
      dialog.reset();
      fx.Stop();
    }
  }

  void RecordThatStopsHalfWayEndsByTheReadTimeOut() {
    StartSim({"--baud", "0", "--fiscal-reports", "10"});
    fx.Control("fiscalfault cut 12");
    auto dialog = Readout(1, 10);
    QVERIFY(ShowDialog(dialog.get()));
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QCOMPARE(fx.ui.messages, std::vector<std::string>{"Wystąpił błąd trasmisji."});
    QVERIFY(!QFile::exists(TempPath()));
  }

  void TwoCurrenciesGiveTwoReportsAndTheMessage() {
    StartSim({"--baud", "0", "--fiscal-reports", "20", "--fiscal-currency-from", "11"});
    auto dialog = Readout(1, 20);
    QVERIFY(ShowDialog(dialog.get()));
    QByteArray temp;
    ModalAnswerer answer;
    answer.Do(QStringLiteral("TZakonczonoOdczytywanie"), [&](QWidget* window) {
      temp = ReadAll(TempPath());
      PressKey(window, Qt::Key_A, Qt::AltModifier);  // "&Anuluj"
    });
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QVERIFY(answer.WaitDone());
    QVERIFY(fx.ui.HasMessage("Dlatego zostaną wypisane 2 raporty okresowe"));
    QVERIFY(temp.contains("\t\t\r\n\t\t\r\n\t\t\r\n\t\t\r\n\t\t\r\n"));
    QCOMPARE(temp.count(Cp1250("ŁĄCZNY RAPORT OKRESOWY")), 2);
    QVERIFY(!QFile::exists(TempPath()));
  }

  void EscapeInTheTransferAbortsAndRemovesTheFile() {
    StartSim({"--baud", "9600", "--fiscal-reports", "300"});
    auto dialog = Readout(1, 300);
    QVERIFY(ShowDialog(dialog.get()));
    ModalAnswerer answer;
    answer.Do(QStringLiteral("TPobieranieFiskalnejSklepu"), [&](QWidget* window) {
      ulvo::testing::WaitFor([&] { return QFile::exists(TempPath()); });
      PressKey(window, Qt::Key_Escape);
    });
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QVERIFY(answer.WaitDone());
    QVERIFY(!answer.seen.contains(QStringLiteral("TZakonczonoOdczytywanie")));
    QVERIFY(fx.ui.HasMessage("przerwano"));
    QVERIFY(!QFile::exists(TempPath()));
    QVERIFY(ulvo::testing::WaitFor([&] { return fx.Get("streaming") != "1"; }));
  }

  void ReportCheckIsVerifiedByThePrinter() {
    StartSim({"--baud", "0", "--ecopy", "--fiscal-reports", "5"});
    PrinterState state = PowerOnState(PrinterVariant{PrinterFamily::kMavito, false, true});
    GenerateFiscalMemory(state, 5, 1, 0);
    const std::string right = FiscalControlNumber(state, 3);
    TNrKontrolnyRapDobowego dialog(*fx.context, nullptr);
    QVERIFY(ShowDialog(&dialog));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.MaskEdit1));
    QCOMPARE(dialog.Edit1->text(), QStringLiteral("0"));
    dialog.MaskEdit1->setText(QStringLiteral("03012000"));
    dialog.Edit1->setText(QStringLiteral("3"));
    dialog.StringGrid1->setItem(0, 0, new QTableWidgetItem(QStringLiteral("A")));
    dialog.StringGrid1->setItem(0, 1, new QTableWidgetItem(QStringLiteral("100.00")));
    dialog.Edit2->setText(QStringLiteral("23.00"));
    dialog.Edit3->setText(QStringLiteral("12"));
    dialog.Edit4->setText(QStringLiteral("123456789,12"));
    QTest::keyClicks(dialog.Edit5,
                     QString::fromStdString(state.uniqueNumber.substr(0, 3)).toLower());
    QCOMPARE(dialog.Edit5->text(), QString::fromStdString(state.uniqueNumber.substr(0, 3)));
    dialog.Edit6->setText(QString::fromStdString(state.uniqueNumber.substr(3)));
    dialog.Edit7->setText(QString::fromStdString(right));
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    QVERIFY2(fx.ui.messages.empty(), fx.ui.messages.empty() ? "" : fx.ui.messages[0].c_str());
    const auto sent = fx.SentCommands();
    QVERIFY(std::find(sent.begin(), sent.end(), "P6$*12/3456789.12/") != sent.end());
    QCOMPARE(fx.LastCommand(), "P10$*" + right + "\r");

    // A wrong number is refused by the printer.
    std::string wrong = right;
    wrong[0] = wrong[0] == 'A' ? 'B' : 'A';
    dialog.Edit7->setText(QString::fromStdString(wrong));
    QVERIFY(ShowDialog(&dialog));
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    QVERIFY(fx.ui.HasMessage("Wystąpił bład nr: 4"));
  }

  void ReceiptCheckSkipsItemsAfterAnEmptyRowAndF1ShowsHelp() {
    StartSim({"--baud", "0", "--ecopy"});
    TNrKontrolnyPar dialog(*fx.context, nullptr);
    QVERIFY(ShowDialog(&dialog));
    ModalAnswerer answer;
    answer.Key(QStringLiteral("TPomocNrKontrolnyPar"), Qt::Key_Z, Qt::AltModifier);
    PressKey(&dialog, Qt::Key_F1);
    QVERIFY(answer.WaitDone());
    dialog.MaskEdit1->setText(QStringLiteral("15062026"));
    dialog.Edit1->setText(QStringLiteral("17"));
    dialog.StringGrid1->setItem(1, 0, new QTableWidgetItem(QStringLiteral("Chleb")));
    dialog.CheckBox1->click();
    QVERIFY(!dialog.Edit2->isEnabled());
    QVERIFY(!dialog.Edit5->isEnabled());
    dialog.MaskEdit2->setText(QStringLiteral("103000"));
    dialog.Edit6->setText(QStringLiteral("12345678"));
    dialog.Edit7->setText(QString(40, QLatin1Char('A')));
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    QVERIFY(fx.ui.messages.empty());
    const std::vector<std::string> want = {"P0$*15-06-2026\r17/", "P3$*12345678\r10:30:00\r",
                                           "P10$*" + std::string(40, 'A') + "\r"};
    QCOMPARE(fx.SentCommands(), want);
  }

  void PrintingMakesNumberedPagesInColumns() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
      QSKIP("pdftotext (poppler-utils) is not installed");
    }
    StartSim({"--baud", "0", "--fiscal-reports", "60"});
    auto dialog = Readout(1, 60);
    QVERIFY(ShowDialog(dialog.get()));
    const QString pdf = fx.dir.filePath(QStringLiteral("raport.pdf"));
    bool printed = false;
    ModalAnswerer answer;
    answer.Do(QStringLiteral("TZakonczonoOdczytywanie"), [&](QWidget* window) {
      QPrinter printer(QPrinter::HighResolution);
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      printed = static_cast<TZakonczonoOdczytywanie*>(window)->PrintOn(printer);
      static_cast<QDialog*>(window)->reject();
    });
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QVERIFY(answer.WaitDone());
    QVERIFY(printed);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    const int pages = static_cast<int>(out.count(QLatin1Char('\f')));
    QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));
    QVERIFY(out.contains(QStringLiteral("Strona 1 z %1").arg(pages)));
    QVERIFY(out.contains(QStringLiteral("Strona %1 z %1").arg(pages)));
    QVERIFY(out.contains(QStringLiteral("Raport okresowy z drukarki ULVO MAVITO 60K")));
    QVERIFY(out.contains(QStringLiteral("ŁĄCZNY RAPORT OKRESOWY")));
  }
};

QTEST_MAIN(ReadoutDialogsTest)
#include "readout_dialogs_qtest.moc"
