// The settings, model, letter coding and information dialogs, and the Qt side of the link's
// user interface (message boxes, questions, the two waits), driven from the keyboard where a
// person would, against ulvo-sim over a pty.

#include <unistd.h>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>
#include <cstdlib>

#include "link/link.h"
#include "shell/about_dialog.h"
#include "shell/console_panel.h"
#include "shell/letter_coding_dialogs.h"
#include "shell/main_form.h"
#include "shell/model_dialog.h"
#include "shell/port_settings_dialog.h"
#include "sim/sim_process.h"
#include "tests/support_qt/main_form_harness.h"
#include "tests/support_qt/modal_answerer.h"
#include "ui/dialog_registry.h"
#include "ui/qt_link_ui.h"

using namespace ulvo;
using namespace ulvo::testing;

namespace {

HarnessOptions Opts(ModelEntry model = ModelEntry::Mavito,
                    std::vector<std::string> simArgs = {"--baud", "0"}) {
  HarnessOptions o;
  o.simBinary = ULVO_SIM_PATH;
  o.model = model;
  o.simArgs = std::move(simArgs);
  return o;
}

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

// A line that stays held for `heldTicks` checks, then is ready.
class HeldLine : public ReadyWaitTask {
 public:
  explicit HeldLine(int heldTicks) : held_(heldTicks) {}
  int CheckLineErrors() override {
    ++checks;
    return checks > held_ ? 0 : 2;
  }
  int checks = 0;

 private:
  int held_;
};

class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public slots:
  void Open(const QUrl& url) { opened << url; }
};

}  // namespace

class ShellDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void portDialogListsPortsAndRates() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    ModalAnswerer answer;
    answer.Do("TParametryTransmisji", [](QWidget* w) {
      auto* d = static_cast<TParametryTransmisji*>(w);
      QCOMPARE(d->ComboBox1->count(), 65);
      QCOMPARE(d->ComboBox1->itemText(0), QString("COM 1"));
      QCOMPARE(d->ComboBox1->itemText(63), QString("COM 64"));
      QCOMPARE(d->ComboBox1->itemText(64), QString("Brak"));
      QCOMPARE(d->ComboBox2->count(), 14);
      QCOMPARE(d->ComboBox2->itemText(13), QString("256000"));
      QCOMPARE(d->ComboBox4->itemText(0), QString("Brak "));
      QCOMPARE(d->ComboBox1->currentIndex(), 0);  // COM 1 from the settings
      QCOMPARE(d->ComboBox2->currentText(), QString("9600"));
      QVERIFY(d->GroupBox1->isEnabled());
      // "Brak" greys the settings out, a port brings them back.
      d->ComboBox1->setCurrentIndex(64);
      QVERIFY(!d->ComboBox2->isEnabled());
      QVERIFY(!d->CheckBox1->isEnabled());
      d->ComboBox1->setCurrentIndex(2);
      QVERIFY(d->ComboBox2->isEnabled());
      // The defaults leave the port alone.
      d->ComboBox2->setCurrentIndex(0);
      d->ComboBox3->setCurrentIndex(0);
      d->ComboBox4->setCurrentIndex(2);
      d->ComboBox5->setCurrentIndex(2);
      d->CheckBox1->setChecked(true);
      d->CheckBox2->setChecked(true);
      PressKey(d, Qt::Key_W, Qt::AltModifier);  // "&Wartości domyślne"
      QCOMPARE(d->ComboBox2->currentText(), QString("9600"));
      QCOMPARE(d->ComboBox3->currentText(), QString("8"));
      QCOMPARE(d->ComboBox4->currentIndex(), 0);
      QCOMPARE(d->ComboBox5->currentIndex(), 0);
      QVERIFY(!d->CheckBox1->isChecked());
      QVERIFY(!d->CheckBox2->isChecked());
      QCOMPARE(d->ComboBox1->currentIndex(), 2);
      PressKey(d, Qt::Key_Escape);  // closes without applying
    });
    h.form->PortAction->trigger();
    QVERIFY(answer.WaitDone());
    QCOMPARE(h.form->settings().PortNumber, std::uint8_t{1});
    QVERIFY(h.form->link().PortOpen());
  }

  void failedApplyRestoresAndReopensTheOldPort() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    qputenv("ULVO_COM2", QByteArray("/nonexistent/ulvo-tty"));
    bool stayedOpen = false;
    int shownPort = -1;
    ModalAnswerer answer;
    answer.Do("TParametryTransmisji", [&](QWidget* w) {
      auto* d = static_cast<TParametryTransmisji*>(w);
      d->ComboBox1->setCurrentIndex(1);  // COM 2
      d->ComboBox2->setCurrentIndex(d->ComboBox2->findText("19200"));
      PressKey(d, Qt::Key_Return);  // "&Zastosuj": its message is answered below
      stayedOpen = d->isVisible();
      shownPort = d->ComboBox1->currentIndex();
      PressKey(d, Qt::Key_Escape);
    });
    answer.Key(Qt::Key_Return);
    h.form->PortAction->trigger();
    QVERIFY(answer.WaitDone());
    qunsetenv("ULVO_COM2");
    QCOMPARE(answer.messages, QStringList{Utf8("Nie mogę otworzyć portu COM2.")});
    QVERIFY(stayedOpen);
    QCOMPARE(shownPort, 0);
    Link& link = h.form->link();
    QCOMPARE(link.PortNumber, std::uint8_t{1});
    QCOMPARE(link.PortSettings.BaudRate, 9600u);
    QVERIFY(link.PortOpen());
    // The old port really works again.
    QTest::mouseClick(h.form->DownloadButton, Qt::LeftButton);
    QVERIFY(h.form->DataPanel->isVisible());
  }

  void aComNumberTakesANetworkAddressKeptInItsOwnFile() {
    const QString listen = QStringLiteral("127.0.0.1:%1").arg(30000 + (::getpid() % 20000));
    HarnessOptions o = Opts();
    o.simArgs = {"--baud", "0", "--listen", listen.toStdString()};
    MainFormHarness h;
    QVERIFY2(h.Start(o), qPrintable(h.error));
    const std::string address = "tcp://" + listen.toStdString();
    ModalAnswerer answer;
    answer.Do("TParametryTransmisji", [&](QWidget* w) {
      auto* d = static_cast<TParametryTransmisji*>(w);
      d->ComboBox1->setCurrentIndex(2);  // COM 3
      PressKey(d, Qt::Key_A, Qt::AltModifier);
      QCOMPARE(QApplication::focusWidget(), d->Edit1);
      QTest::keyClicks(d->Edit1, QStringLiteral("tcp://drukarka"));
      PressKey(d, Qt::Key_Return);  // refused, answered below, the dialog stays
      QVERIFY(d->isVisible());
      d->Edit1->setText(QString::fromStdString(address));
      PressKey(d, Qt::Key_Return);
    });
    answer.Key(Qt::Key_Return);
    h.form->PortAction->trigger();
    QVERIFY(answer.WaitDone());
    QCOMPARE(answer.messages.size(), 1);
    QVERIFY2(answer.messages[0].contains(Utf8("brak numeru portu")),
             qPrintable(answer.messages[0]));
    Link& link = h.form->link();
    QCOMPARE(link.PortNumber, std::uint8_t{3});
    QVERIFY(link.PortOpen());
    QVERIFY(!link.QueryEnq());
    QCOMPARE(link.ReplyReceived, std::uint8_t{1});
    h.form->close();
    QCOMPARE(h.ReadFile(QStringLiteral("porty.txt")).value_or(""), "COM3=" + address + "\r\n");
  }

  void applyingNoPortClosesThePort() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    ModalAnswerer answer;
    answer.Do("TParametryTransmisji", [](QWidget* w) {
      auto* d = static_cast<TParametryTransmisji*>(w);
      d->ComboBox1->setCurrentIndex(64);
      // "&Zastosuj" and "&Zamknij" share Alt+Z: the first press moves to "&Zastosuj".
      PressKey(d, Qt::Key_Z, Qt::AltModifier);
      QCOMPARE(QApplication::focusWidget(), d->Button2);
      PressKey(d, Qt::Key_Space);
    });
    h.form->PortAction->trigger();
    QVERIFY(answer.WaitDone());
    QCOMPARE(h.form->settings().PortNumber, kNoPort);
    QVERIFY(!h.form->link().PortOpen());
    QVERIFY(!h.form->DownloadButton->isEnabled());
  }

  void applyingAnotherRateReopensWithIt() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    ModalAnswerer answer;
    answer.Do("TParametryTransmisji", [](QWidget* w) {
      auto* d = static_cast<TParametryTransmisji*>(w);
      d->ComboBox2->setCurrentIndex(d->ComboBox2->findText("19200"));
      d->ComboBox4->setCurrentIndex(2);
      d->Button2->click();
    });
    h.form->PortAction->trigger();
    QVERIFY(answer.WaitDone());
    QCOMPARE(h.form->link().PortSettings.BaudRate, 19200u);
    QCOMPARE(h.form->link().PortSettings.Parity, std::uint8_t{2});
    QVERIFY(h.form->link().PortOpen());
  }

  void unknownRateInSettingsKeepsTheSelection() {
    MainFormHarness h;
    HarnessOptions o = Opts();
    Settings s;
    s.PortNumber = 1;
    s.PortSettings.BaudRate = 12345;
    o.settingsText = FormatSettingsText(s);
    QVERIFY2(h.Start(o), qPrintable(h.error));
    QString shown;
    ModalAnswerer answer;
    answer.Do("TParametryTransmisji", [&](QWidget* w) {
      shown = static_cast<TParametryTransmisji*>(w)->ComboBox2->currentText();
      PressKey(w, Qt::Key_Escape);
    });
    h.form->PortAction->trigger();
    QVERIFY(answer.WaitDone());
    QCOMPARE(shown, QString("9600"));  // the creation default stays selected
  }

  void modelDialogPreselectsAndCancelChangesNothing() {
    Settings s;
    s.PrinterType = 1;
    s.BusMode = 1;
    QWidget captionTarget;
    TModelDrukarki dialog(s, &captionTarget);
    ModalAnswerer answer;
    bool busChecked = false;
    answer.Do("TModelDrukarki", [&](QWidget* w) {
      auto* d = static_cast<TModelDrukarki*>(w);
      busChecked = d->Entry(ModelEntry::AltaBus)->isChecked();
      d->Entry(ModelEntry::Mavito)->setChecked(true);
      PressKey(d, Qt::Key_Escape);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QVERIFY(answer.WaitDone());
    QVERIFY(busChecked);
    QCOMPARE(s.PrinterType, std::uint8_t{1});
    QCOMPARE(s.BusMode, std::uint8_t{1});
    QVERIFY(captionTarget.windowTitle().isEmpty());
    QCOMPARE(dialog.windowTitle(), Utf8("Model drukarki fiskalnej"));
  }

  void modelDialogAppliesElectronicCopyAndCaption() {
    Settings s;
    QWidget captionTarget;
    TModelDrukarki dialog(s, &captionTarget);
    ModalAnswerer answer;
    answer.Do("TModelDrukarki", [](QWidget* w) {
      auto* d = static_cast<TModelDrukarki*>(w);
      QVERIFY(d->Entry(ModelEntry::Mavito)->isChecked());
      // Down from "Mavito" is "Mavito z kopią elektroniczną"; Alt+Z applies.
      d->Entry(ModelEntry::Mavito)->setFocus();
      PressKey(d, Qt::Key_Down);
      PressKey(d, Qt::Key_Z, Qt::AltModifier);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(s.PrinterType, std::uint8_t{2});
    QCOMPARE(s.ElectronicCopy, std::uint8_t{1});
    QCOMPARE(captionTarget.windowTitle(),
             Utf8("Program użytkownika drukarek fiskalnych firmy ULVO. Wybrany typ drukarki: "
                  "Mavito KE"));
  }

  void letterCodingForMavitoTellsThePrinter() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    ModalAnswerer answer;
    answer.Do("TUstawKodLiter", [](QWidget* w) {
      auto* d = static_cast<TUstawKodLiter*>(w);
      QVERIFY(d->Coding(0)->isChecked());
      d->Coding(2)->setChecked(true);
      PressKey(d, Qt::Key_Return);
    });
    h.form->CodingAction->trigger();
    QVERIFY(answer.WaitDone());
    QCOMPARE(h.form->settings().LetterCoding, std::uint8_t{2});
    QCOMPARE(h.form->CodingLabel->text(), QString("ISOLATIN"));
    const QString last = QString::fromStdString(h.Sim("get lastframe"));
    QVERIFY2(QRegularExpression("^ok 322431[0-9A-F]{4}$").match(last).hasMatch(), qPrintable(last));
    QVERIFY(answer.messages.isEmpty());
  }

  void letterCodingForAltaOnlyChangesTheProgram() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts(ModelEntry::AltaPro, {"--family", "altapro", "--baud", "0"})),
             qPrintable(h.error));
    const std::string frames = h.Sim("get frames");
    ModalAnswerer answer;
    answer.Do("TUstawKodLiter", [](QWidget* w) {
      static_cast<TUstawKodLiter*>(w)->Coding(3)->setChecked(true);
      PressKey(w, Qt::Key_Return);
    });
    h.form->CodingAction->trigger();
    QVERIFY(answer.WaitDone());
    QCOMPARE(h.form->settings().LetterCoding, std::uint8_t{3});
    QCOMPARE(h.Sim("get frames"), frames);
  }

  void failedCodingSendLeavesCodingChangedAndDialogOpen() {
    MainFormHarness h;
    HarnessOptions o = Opts();
    o.withSim = false;
    QVERIFY2(h.Start(o), qPrintable(h.error));
    bool stayedOpen = false;
    ModalAnswerer answer;
    answer.Do("TUstawKodLiter", [&](QWidget* w) {
      auto* d = static_cast<TUstawKodLiter*>(w);
      d->Coding(1)->setChecked(true);
      d->Button1->click();  // its message is answered below
      stayedOpen = d->isVisible();
      PressKey(d, Qt::Key_Escape);
    });
    answer.Key(Qt::Key_Return);
    h.form->CodingAction->trigger();
    QVERIFY(answer.WaitDone());
    QVERIFY(stayedOpen);
    QCOMPARE(answer.messages, QStringList{"Nie wybrano portu komunikacyjnego."});
    QCOMPARE(h.form->settings().LetterCoding, std::uint8_t{1});
    QCOMPARE(h.form->CodingLabel->text(), QString("LATIN"));
  }

  void printerCodePageNodeSendsTheCommand() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    h.form->settings().LetterCoding = 3;
    ModalAnswerer answer;
    answer.Do("TKodowaniePolskich", [](QWidget* w) {
      auto* d = static_cast<TKodowaniePolskich*>(w);
      QVERIFY(d->Coding(0)->isChecked());  // not preselected from the settings
      QCOMPARE(d->Button1->text(), Utf8("Wyślij"));
      d->Coding(1)->setChecked(true);
      PressKey(d, Qt::Key_Return);
    });
    QVERIFY(h.form->registry().Open("TKodowaniePolskich"));
    QVERIFY(answer.WaitDone());
    QCOMPARE(h.form->settings().LetterCoding, std::uint8_t{1});
    const QString last = QString::fromStdString(h.Sim("get lastframe"));
    QVERIFY2(last.startsWith("ok 312431"), qPrintable(last));
  }

  void replyWaitCountsBytesAndEscapeAborts() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    QCOMPARE(h.Sim("longreply 300"), std::string("ok"));
    QString count;
    ModalAnswerer answer;
    answer.Do("TOdbieranie", [&](QWidget* w) {
      auto* d = static_cast<TOdbieranie*>(w);
      QCOMPARE(d->windowTitle(), QString("Odbieram dane"));
      QVERIFY(WaitFor([d] { return d->Label2->isVisible(); }));
      QVERIFY(WaitFor([d] { return d->Label2->text().endsWith("300"); }));
      count = d->Label2->text();
      PressKey(d, Qt::Key_Escape);
    });
    QTest::mouseClick(h.form->DownloadButton, Qt::LeftButton);
    QVERIFY(answer.WaitDone());
    QCOMPARE(count, Utf8("Pobrano bajtów:   300"));
    QCOMPARE(h.form->link().ReplyReceived, std::uint8_t{0});
    QCOMPARE(h.form->link().ReplyMissing, std::uint8_t{1});
    QVERIFY(h.form->NoticeLabel->isVisible());
  }

  void replyWaitAbortsWithItsButtonMnemonic() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    QCOMPARE(h.Sim("noanswer on"), std::string("ok"));
    ModalAnswerer answer;
    answer.Do("TOdbieranie", [](QWidget* w) {
      auto* d = static_cast<TOdbieranie*>(w);
      QCOMPARE(d->Button1->text(), Utf8("&Przerwij"));
      PressKey(d, Qt::Key_P, Qt::AltModifier);
    });
    QTest::mouseClick(h.form->DownloadButton, Qt::LeftButton);
    QVERIFY(answer.WaitDone());
    QCOMPARE(h.form->link().ReplyReceived, std::uint8_t{0});
  }

  void slowReplyCompletesTheWaitByItself() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    QCOMPARE(h.Sim("delay 300"), std::string("ok"));
    ModalAnswerer answer;  // nothing to answer: the wait ends when the reply is in
    QTest::mouseClick(h.form->DownloadButton, Qt::LeftButton);
    QCOMPARE(h.form->link().ReplyReceived, std::uint8_t{1});
    QVERIFY(h.form->DataPanel->isVisible());
    QVERIFY(answer.seen.contains("TOdbieranie"));
  }

  void heldLineShowsReadyWaitUntilThePrinterReleasesIt() {
    MainFormHarness h;
    HarnessOptions o = Opts();
    Settings s;
    s.PortNumber = 1;
    s.PortSettings.XonXoff = 1;
    o.settingsText = FormatSettingsText(s);
    QVERIFY2(h.Start(o), qPrintable(h.error));
    QCOMPARE(h.Sim("xoff"), std::string("ok"));
    // The pty hands the XOFF to the line discipline asynchronously: give it time to stop
    // output before the program writes (a busy machine otherwise lets the write through).
    QTest::qWait(200);
    const std::string frames = h.Sim("get frames");
    bool shown = false;
    ModalAnswerer answer;
    answer.Do("TCzekajNaRs", [&](QWidget* w) {
      shown = true;
      QCOMPARE(h.Sim("xon"), std::string("ok"));  // the printer is ready again
      Q_UNUSED(w);
    });
    h.form->ConsoleCheck->setChecked(true);
    h.form->Console->Memo1->setPlainText("<ESC>P0#n<ESC>\\");
    QTest::mouseClick(h.form->Console->SendButton, Qt::LeftButton);
    QVERIFY(WaitFor([&] { return h.Sim("get frames") != frames; }));
    QVERIFY(shown);
    QVERIFY(answer.messages.isEmpty());
  }

  void readyWaitEndsWhenTheLineIsFree() {
    TCzekajNaRs dialog;
    HeldLine line(2);
    QVERIFY(dialog.Run(line));
    QCOMPARE(line.checks, 3);
    QCOMPARE(dialog.windowTitle(), Utf8("Czekam na gotowość drukarki "));
  }

  void readyWaitEscapeAsksNoKeepsWaitingYesStops() {
    TCzekajNaRs dialog;
    HeldLine line(1000000);
    ModalAnswerer answer;
    bool waitingAfterNo = false;
    QString question;
    answer.Key("TCzekajNaRs", Qt::Key_Escape);
    answer.Do(QString(), [&](QWidget* box) {
      question = static_cast<QMessageBox*>(box)->text();
      PressKey(box, Qt::Key_Escape);  // "&Nie"
      QTimer::singleShot(0, &dialog, [&] {
        waitingAfterNo = dialog.isVisible();
        PressKey(&dialog, Qt::Key_Escape);
      });
    });
    answer.Do(QString(), [](QWidget* box) { PressKey(box, Qt::Key_T, Qt::AltModifier); });
    QVERIFY(!dialog.Run(line));
    QVERIFY(answer.Done());
    QCOMPARE(question, Utf8("Czy przerwać oczekiwanie?"));
    QVERIFY(waitingAfterNo);
  }

  void readyWaitButtonAborts() {
    TCzekajNaRs dialog;
    HeldLine line(1000000);
    ModalAnswerer answer;
    answer.Do("TCzekajNaRs", [](QWidget* w) { static_cast<TCzekajNaRs*>(w)->Button1->click(); });
    QVERIFY(!dialog.Run(line));
    QVERIFY(answer.Done());
  }

  void messagesAreWarningsAnsweredFromTheKeyboard() {
    QtLinkUi ui;
    ModalAnswerer answer;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    answer.Do(QString(), [&](QWidget* box) {
      icon = static_cast<QMessageBox*>(box)->icon();
      PressKey(box, Qt::Key_Return);
    });
    ui.ShowMessage("Wystąpił błąd transmisji.");
    QVERIFY(answer.Done());
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(answer.messages, QStringList{Utf8("Wystąpił błąd transmisji.")});

    answer.Key(Qt::Key_Escape);
    QVERIFY(!ui.AskYesNo("Czy kontynuować?"));  // Escape is No
    answer.Key(Qt::Key_T, Qt::AltModifier);
    QVERIFY(ui.AskYesNo("Czy kontynuować?"));
    answer.Key(Qt::Key_N, Qt::AltModifier);
    QVERIFY(!ui.AskYesNo("Czy kontynuować?"));
    QVERIFY(answer.Done());
  }

  void aboutDialogOpensWebPageAndMail() {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "Open");
    QDesktopServices::setUrlHandler("mailto", &catcher, "Open");
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    QStringList texts;
    ModalAnswerer answer;
    answer.Do("TOProgramie", [&](QWidget* w) {
      auto* d = static_cast<TOProgramie*>(w);
      for (auto* label : d->findChildren<QLabel*>()) texts << label->text();
      d->WebButton->setFocus();
      QTest::keyClick(d->WebButton, Qt::Key_Space);
      PressKey(d, Qt::Key_N, Qt::AltModifier);
      PressKey(d, Qt::Key_Escape);
    });
    h.form->AboutAction->trigger();
    QVERIFY(answer.WaitDone());
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("mailto");
    QVERIFY(texts.join("\n").contains("2.00"));
    QCOMPARE(catcher.opened.size(), 2);
    QCOMPARE(catcher.opened[0], TOProgramie::WebPage());
    QCOMPARE(catcher.opened[1].scheme(), QString("mailto"));
  }
};

QTEST_MAIN(ShellDialogsTest)
#include "shell_dialogs_qtest.moc"
