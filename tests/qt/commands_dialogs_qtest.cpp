// The command dialogs themselves against ulvo-sim over a real pty: keys, frames, stops.

#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <memory>

#include "commands/catalogue_dialogs.h"
#include "commands/option_dialogs.h"
#include "commands/register_commands.h"
#include "shell/readouts/readout_dialogs.h"
#include "tests/qt/commands_sim_fixture.h"
#include "tests/support_qt/modal_answerer.h"
#include "ui/qt_link_ui.h"

using namespace ulvo;
using ulvo::testing::PressKey;
using ulvo::testing::ShowDialog;

class CommandDialogsTest : public QObject {
  Q_OBJECT

 private:
  ulvo::testing::SimDialogFixture fx;

  template <typename Dialog>
  std::unique_ptr<Dialog> Make() {
    return std::make_unique<Dialog>(*fx.context, nullptr);
  }

 private slots:
  void init() {
    fx.settings = Settings{};
    fx.ui = ScriptedLinkUi{};
    const std::string error = fx.Start({"--baud", "0"});
    QVERIFY2(error.empty(), error.c_str());
  }
  void cleanup() { fx.Stop(); }

  void EnterSendsLikeTheSendButtonAndCloses() {
    auto dialog = Make<TWysuwPapieru>();
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(QApplication::focusWidget(), dialog->Edit1);  // the first field has the focus
    dialog->Edit1->setText(QStringLiteral("3"));
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(fx.LastCommand(), std::string("P3#l"));
    QCOMPARE(fx.Get("linesfed"), std::string("3"));
    QVERIFY(fx.ui.messages.empty());

    // The button does the same, and the typed value stays for the next opening.
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(dialog->Edit1->text(), QStringLiteral("3"));
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fx.Get("linesfed"), std::string("6"));
  }

  void EscapeClosesWithoutSending() {
    auto dialog = Make<TWplataDoKasy>();
    QVERIFY(ShowDialog(dialog.get()));
    const std::size_t before = fx.SentFrames().size();
    PressKey(dialog.get(), Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(fx.SentFrames().size(), before);
  }

  void EnterOnAnotherButtonPressesThatButtonOnly() {
    auto dialog = Make<TKorektaZegara>();
    QVERIFY(ShowDialog(dialog.get()));
    dialog->DateTimePicker1->setDate(QDate(2011, 1, 1));
    dialog->BitBtn1->setFocus();
    QTest::keyClick(dialog->BitBtn1, Qt::Key_Return);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->DateTimePicker1->date(), QDate::currentDate());
    QVERIFY(fx.SentCommands().empty());
  }

  void ClockCorrectionFromThePickerSendsPlainNumbers() {
    auto dialog = Make<TKorektaZegara>();
    QVERIFY(ShowDialog(dialog.get()));
    dialog->DateTimePicker1->setDate(QDate(2010, 5, 7));
    dialog->DateTimePicker2->setTime(QTime(14, 3, 9));
    dialog->DateTimePicker2->setFocus();
    PressKey(dialog.get(), Qt::Key_Enter);  // Enter from a time picker sends too
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fx.LastCommand(), std::string("P10;5;7;14;3;9$c"));
    // Years away from the printer's clock: the printer refuses, and the user is told.
    QVERIFY(fx.ui.HasMessage("Wystąpił bład nr: "));
  }

  void PickersGetTheComputersDateOnShowUnlessCertifying() {
    auto dialog = Make<TKorektaZegara>();
    dialog->DateTimePicker1->setDate(QDate(2010, 5, 7));
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(dialog->DateTimePicker1->date(), QDate::currentDate());
    dialog->reject();
    fx.settings.CertificationMode = 1;
    dialog->DateTimePicker1->setDate(QDate(2010, 5, 7));
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(dialog->DateTimePicker1->date(), QDate(2010, 5, 7));
  }

  void DailyReportInCertificationModeTakesThePrintersDate() {
    fx.settings.CertificationMode = 1;
    auto dialog = Make<TWydrukRaportuDobowego>();
    dialog->DateTimePicker1->setDate(QDate(2010, 5, 7));
    QVERIFY(ShowDialog(dialog.get()));
    // The emulator's clock runs with the computer's.
    QVERIFY(qAbs(dialog->DateTimePicker1->date().daysTo(QDate::currentDate())) <= 1);
    QVERIFY(fx.SentFrames().front().rfind("P0#c", 0) == 0);
    const QDate date = dialog->DateTimePicker1->date();
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fx.LastCommand(), QStringLiteral("P1;%1;%2;%3#r")
                                   .arg(date.year() - 2000)
                                   .arg(date.month())
                                   .arg(date.day())
                                   .toStdString());
    QCOMPARE(fx.Get("dailyreports"), std::string("1"));
  }

  void DailyReportWithConfirmationSendsNoDate() {
    auto dialog = Make<TWydrukRaportuDobowego>();
    QVERIFY(ShowDialog(dialog.get()));
    dialog->CheckBox1->setChecked(false);
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QCOMPARE(fx.LastCommand(), std::string("P0#r"));
  }

  void LongFieldIsCutTo49Characters() {
    auto dialog = Make<TLogowanieKasjera>();
    QVERIFY(ShowDialog(dialog.get()));
    dialog->Edit1->setText(QString(60, QLatin1Char('k')));
    dialog->Edit2->setText(QStringLiteral("7"));
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fx.LastCommand(), "P#p" + std::string(49, 'k') + "\r7\r");
  }

  void PolishLettersGoInThePrintersCoding() {
    fx.settings.LetterCoding = 3;  // WINDOWS: the bytes stay Windows-1250
    auto dialog = Make<TWylogowanieKasjera>();
    QVERIFY(ShowDialog(dialog.get()));
    dialog->Edit1->setText(QStringLiteral("Łucja"));
    dialog->Edit2->setText(QStringLiteral("1"));
    PressKey(dialog.get(), Qt::Key_Return);
    QCOMPARE(fx.LastCommand(), std::string("P#q\xA3ucja\r1\r"));
  }

  void TextThePrinterCannotPrintIsAskedAboutFirst() {
    auto dialog = Make<TLogowanieKasjera>();
    QVERIFY(ShowDialog(dialog.get()));
    dialog->Edit1->setText(QStringLiteral("Jan ☃"));
    fx.ui.answers = {false};
    PressKey(dialog.get(), Qt::Key_Return);
    QCOMPARE(fx.ui.questions.size(), std::size_t(1));
    QVERIFY(fx.ui.questions[0].find("☃") != std::string::npos);
    QVERIFY(dialog->isVisible());  // No sends nothing and keeps the dialog
    QVERIFY(fx.SentCommands().empty());
    fx.ui.answers = {true};
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fx.LastCommand(), std::string("P#pJan ?\r\r"));
  }

  void ShiftReportNotResettingSends23() {
    auto dialog = Make<TRaportKasyZmiany>();
    QVERIFY(ShowDialog(dialog.get()));
    dialog->Edit1->setText(QStringLiteral("1"));
    dialog->Edit2->setText(QStringLiteral("Ola"));
    dialog->CheckBox1->setChecked(false);
    PressKey(dialog.get(), Qt::Key_Return);
    QCOMPARE(fx.LastCommand(), std::string("P23#k1\rOla\r"));
    QVERIFY(ShowDialog(dialog.get()));
    dialog->CheckBox1->setChecked(true);
    PressKey(dialog.get(), Qt::Key_Return);
    QCOMPARE(fx.LastCommand(), std::string("P0#k1\rOla\r"));
  }

  void CashInAndOutChangeTheCashState() {
    auto in = Make<TWplataDoKasy>();
    QVERIFY(ShowDialog(in.get()));
    in->Edit1->setText(QStringLiteral("12.50"));
    PressKey(in.get(), Qt::Key_Return);
    auto out = Make<TWyplataZKasy>();
    QVERIFY(ShowDialog(out.get()));
    out->Edit1->setText(QStringLiteral("2.25"));
    PressKey(out.get(), Qt::Key_Return);
    QCOMPARE(fx.LastCommand(), std::string("P#d2.25/"));
    QCOMPARE(fx.Get("cash"), std::string("10.25"));
    auto state = Make<TStanKasy>();
    QVERIFY(ShowDialog(state.get()));
    QCOMPARE(QApplication::focusWidget(), state->Button1);  // no fields: the button has it
    PressKey(state.get(), Qt::Key_Return);
    QCOMPARE(fx.LastCommand(), std::string("P0#t"));
    QVERIFY(fx.ui.messages.empty());
  }

  void OneGroszReceiptSellsAndOpensTheDrawer() {
    const double before = std::atof(fx.Get("totalA").c_str());
    auto dialog = Make<TParagonZa1>();
    QVERIFY(ShowDialog(dialog.get()));
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    const auto commands = fx.SentCommands(false);
    QCOMPARE(commands.size(), std::size_t(4));
    QCOMPARE(commands[3], std::string("P1$d"));  // the drawer frame carries no check
    QCOMPARE(std::atof(fx.Get("totalA").c_str()), before + 0.01);
    QCOMPARE(fx.Get("drawer"), std::string("1"));
    QVERIFY(fx.ui.messages.empty());
  }

  void OneGroszReceiptStopsWhenTheFirstFrameIsRefused() {
    QCOMPARE(fx.Control("refuse 3"), std::string("ok"));
    auto dialog = Make<TParagonZa1>();
    QVERIFY(ShowDialog(dialog.get()));
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());  // a printer error closes the dialog
    QCOMPARE(fx.SentCommands().size(), std::size_t(1));
    QVERIFY(fx.SentCommands()[0].rfind("P0$h", 0) == 0);
    QVERIFY(fx.ui.HasMessage("Wystąpił bład nr: 3: Zła ilość parametrów."));
    QCOMPARE(fx.Get("receipts"), std::string("0"));
  }

  void FailedSendKeepsTheDialogOpen() {
    fx.link->ClosePort();
    fx.settings.PortNumber = kNoPort;
    auto dialog = Make<TWysuwPapieru>();
    QVERIFY(ShowDialog(dialog.get()));
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(dialog->isVisible());
    QVERIFY(fx.ui.HasMessage("Nie wybrano portu komunikacyjnego."));
  }

  void VanishedPortKeepsTheDialogOpenWithItsValues() {
    auto dialog = Make<TLogowanieKasjera>();
    QVERIFY(ShowDialog(dialog.get()));
    dialog->Edit1->setText(QStringLiteral("Ewa"));
    QCOMPARE(fx.Control("disconnect"), std::string("ok"));
    // The emulator ends once its side of the pty is closed.
    QTRY_VERIFY(fx.Control("get frames").rfind("error", 0) == 0);
    fx.ui.replyWaitLimit = std::chrono::milliseconds(500);
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(fx.ui.HasMessage("Wystąpił błąd transmisji."));
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->Edit1->text(), QStringLiteral("Ewa"));
  }

  void RewinderTimeInTenthsAndNonNumbersRefused() {
    auto dialog = Make<TMinimalnyCzasSterZwijacz>();
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(dialog->Edit1->text(), QStringLiteral("3"));
    PressKey(dialog.get(), Qt::Key_Return);
    QCOMPARE(fx.LastCommand(), std::string("P30$5"));
    QVERIFY(ShowDialog(dialog.get()));
    dialog->Edit1->setText(QStringLiteral("0,5"));
    PressKey(dialog.get(), Qt::Key_Return);
    QCOMPARE(fx.LastCommand(), std::string("P5$5"));
    QVERIFY(ShowDialog(dialog.get()));
    dialog->Edit1->setText(QStringLiteral("pół"));
    const std::size_t sent = fx.SentFrames().size();
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(dialog->isVisible());
    QCOMPARE(fx.SentFrames().size(), sent);
    QVERIFY(fx.ui.HasMessage("nie jest poprawną liczbą"));
  }

  void CoverSensorSendsOnlyFromTheSendButtonButEscapeAlwaysCloses() {
    auto dialog = Make<TCzujnikObudowy>();
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(QApplication::focusWidget(), dialog->RadioButtons[0]);
    dialog->RadioButtons[2]->setChecked(true);
    QTest::keyClick(dialog->RadioButtons[2], Qt::Key_Return);
    QVERIFY(dialog->isVisible());
    QTest::keyClick(dialog->RadioButtons[2], Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
    QVERIFY(fx.SentCommands().empty());
    QVERIFY(ShowDialog(dialog.get()));
    dialog->Button1->setFocus();
    QTest::keyClick(dialog->Button1, Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fx.LastCommand(), std::string("P2$6"));
    QVERIFY(ShowDialog(dialog.get()));
    dialog->Button1->setFocus();
    QTest::keyClick(dialog->Button1, Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
  }

  void SystemNumberSendsOnlyWithoutFocusButEscapeAlwaysCloses() {
    auto dialog = Make<TDefinicjaNrSystemowego>();
    QVERIFY(ShowDialog(dialog.get()));
    dialog->RadioButtons[1]->setFocus();
    QTest::keyClick(dialog->RadioButtons[1], Qt::Key_Return);
    QVERIFY(dialog->isVisible());
    QTest::keyClick(dialog->RadioButtons[1], Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
    QVERIFY(fx.SentCommands().empty());
    QVERIFY(ShowDialog(dialog.get()));
    dialog->RadioButtons[1]->setChecked(true);
    dialog->RadioButtons[1]->clearFocus();
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fx.LastCommand(), std::string("P0$@"));
  }

  void ServiceReminderOffGreysItsFields() {
    auto dialog = Make<TPrzegladySerwisowe>();
    QCOMPARE(dialog->DateTimePicker1->date(), QDate::currentDate().addDays(365));
    QVERIFY(ShowDialog(dialog.get()));
    dialog->RadioButton1->setChecked(true);
    QVERIFY(!dialog->DateTimePicker1->isEnabled());
    QVERIFY(!dialog->Edit2->isEnabled());
    dialog->RadioButton2->setChecked(true);
    QVERIFY(dialog->Edit2->isEnabled());
    dialog->DateTimePicker1->setDate(QDate(2027, 3, 4));
    dialog->Edit2->setText(QStringLiteral("600100200"));
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QCOMPARE(fx.LastCommand(), std::string("P0;1;27;3;4$o600100200\r"));
  }

  void ErrorHandlingShowsTheGroupOfTheFamily() {
    fx.settings.PrinterType = 0;
    auto dialog = Make<TSposobBledow>();
    QVERIFY(ShowDialog(dialog.get()));
    QVERIFY(!dialog->GroupBox1->isVisible());
    QVERIFY(dialog->GroupBox2->isVisible());
    PressKey(dialog.get(), Qt::Key_Return);
    QCOMPARE(fx.LastCommand(), std::string("P1#e"));  // "Komunikaty do komputera."
    fx.settings.PrinterType = 2;
    QVERIFY(ShowDialog(dialog.get()));
    QVERIFY(dialog->GroupBox1->isVisible());
    QVERIFY(!dialog->GroupBox2->isVisible());
    dialog->RadioButtons1[3]->setChecked(true);
    PressKey(dialog.get(), Qt::Key_Return);
    QCOMPARE(fx.LastCommand(), std::string("P3#e"));
  }

  void DiscountCaptionsSwapForTheBusAltaPro() {
    auto dialog = Make<TMetodaRabatu>();
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(dialog->RadioButtons[0]->text(), QStringLiteral("Metoda 1 (jak bileterka ULVO T310)"));
    QVERIFY(dialog->RadioButtons[1]->isChecked());
    dialog->reject();
    fx.settings.PrinterType = 1;
    fx.settings.BusMode = 1;
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(dialog->RadioButtons[0]->text(), QStringLiteral("Metoda 2 (jak bileterka ULVO T310)"));
    QCOMPARE(dialog->RadioButtons[1]->text(), QStringLiteral("Metoda 1 (jak drukarka Alta PRO "));
  }

  void TypeAndVersionAnswerChangesWhatThePrinterSays() {
    auto dialog = Make<TWpisanieTypuIWersji>();
    QVERIFY(ShowDialog(dialog.get()));
    QVERIFY(!dialog->ComboBox1->isVisible());
    dialog->RadioButton2->setChecked(true);
    QVERIFY(dialog->ComboBox1->isVisible());
    dialog->ComboBox1->setCurrentIndex(1);
    PressKey(dialog.get(), Qt::Key_Return);
    QCOMPARE(fx.LastCommand(), std::string("P$#Alta Pro/3.10F\r"));
    auto readout = Make<TTypIWersja>();
    QVERIFY(ShowDialog(readout.get()));
    QTRY_COMPARE(readout->EditType->text(), QStringLiteral("Alta Pro"));
    QCOMPARE(readout->EditVersion->text(), QStringLiteral("3.10F"));
  }

  void HelpButtonsShowTheirTexts() {
    auto dialog = Make<TKonfiguracjaCzasuOdp>();
    QVERIFY(ShowDialog(dialog.get()));
    QTest::mouseClick(dialog->BitBtn1, Qt::LeftButton);
    QVERIFY(fx.ui.HasMessage(
        "- Skorygowany czas odpowiedzi:\r\n        - Firma ++ ( FPP ) firmy CDN."));
    QVERIFY(dialog->isVisible());
    auto drawer = Make<TAutomatyczneOtwieranieSzuflady>();
    QVERIFY(ShowDialog(drawer.get()));
    drawer->BitBtn1->setFocus();
    QTest::keyClick(drawer->BitBtn1, Qt::Key_Return);  // Enter on the help button: help only
    QVERIFY(fx.ui.HasMessage("(Zgodnie z protokołem POSNET)."));
    QVERIFY(drawer->isVisible());
    QVERIFY(fx.SentCommands().empty());
  }

  void TabFollowsTheFormOrder() {
    auto dialog = Make<TKorektaZegara>();
    QVERIFY(ShowDialog(dialog.get()));
    const QList<QWidget*> order = {dialog->DateTimePicker1, dialog->BitBtn1,
                                   dialog->DateTimePicker2, dialog->BitBtn2,
                                   dialog->Button1,         dialog->Button2};
    QCOMPARE(QApplication::focusWidget(), order[0]);
    for (int i = 1; i < order.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), order[i]);
    }
    auto shift = Make<TRaportKasyZmiany>();
    QVERIFY(ShowDialog(shift.get()));
    QCOMPARE(QApplication::focusWidget(), shift->Edit1);
    QTest::keyClick(shift->Edit1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), shift->Edit2);
    QTest::keyClick(shift->Edit2, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), shift->CheckBox1);
    QTest::keyClick(shift->CheckBox1, Qt::Key_Space);  // the keyboard alone unticks it
    QVERIFY(!shift->CheckBox1->isChecked());
    QTest::keyClick(shift->CheckBox1, Qt::Key_Return);
    QCOMPARE(fx.LastCommand(), std::string("P23#k\r\r"));
  }

  void WithTheProgramsOwnWindowsAPrinterErrorIsShownAndTheDialogCloses() {
    // The Qt user interface instead of the scripted one: real wait dialogs and message boxes.
    fx.link->ClosePort();
    QtLinkUi qtUi;
    Link link(fx.settings, qtUi, QtPortOpener());
    QVERIFY(!link.OpenPort(true));
    AppContext context{fx.settings, link, fx.receipt, nullptr};
    QCOMPARE(fx.Control("refuse 4"), std::string("ok"));
    TWysuwPapieru dialog(context, nullptr);
    ulvo::testing::ModalAnswerer answer;
    answer.Key(Qt::Key_Return);  // the error message box: Enter closes it
    QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(dialog.Edit1, Qt::Key_Return); });
    dialog.exec();
    QVERIFY(answer.WaitDone());
    QVERIFY(answer.SawMessage(QStringLiteral("Wystąpił bład nr: 4: Błąd parametru sterującego.")));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
  }

  void PrintSpeedDialogIsCaptionedAsAConfigurationAndFitsItsCaption() {
    auto dialog = Make<TSzybkoscWydruku>();
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(dialog->windowTitle(), QString::fromUtf8("Konfiguracja szybkości wydruku"));
    QCOMPARE(dialog->GroupBox1->title(), QString::fromUtf8("Szybkość wydruku"));
    QVERIFY(dialog->width() >=
            QFontMetrics(dialog->font()).horizontalAdvance(dialog->windowTitle()));
    PressKey(dialog.get(), Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
  }

  void EveryCatalogueDialogIsRegisteredByItsClassName() {
    DialogRegistry registry(*fx.context);
    RegisterCommandDialogs(registry);
    for (const char* name : {"TKorektaZegara",
                             "TLogowanieKasjera",
                             "TWylogowanieKasjera",
                             "TWplataDoKasy",
                             "TWyplataZKasy",
                             "TStanKasy",
                             "TRaportKasyZmiany",
                             "TParametrySzuflady",
                             "TWysuwPapieru",
                             "TRaportyMiesieczne",
                             "TPrzegladySerwisowe",
                             "TSposobBledow",
                             "TSposobDruowania",
                             "TMetodaRabatu",
                             "TCzujnikObudowy",
                             "TSzybkoscWydruku",
                             "TMinimalnyCzasSterZwijacz",
                             "TKonfiguracjaCzasuOdp",
                             "TSposobObslugiKaucjiWLinijceParagonu",
                             "TAutomatyczneOtwieranieSzuflady",
                             "TDefinicjaNrSystemowego",
                             "TWpisanieTypuIWersji",
                             "TParagonZa1",
                             "TWydrukRaportuDobowego"}) {
      QDialog* dialog = registry.Get(name);
      QVERIFY2(dialog != nullptr, name);
      QCOMPARE(dialog->objectName(), QString::fromLatin1(name));
      QCOMPARE(registry.Get(name), dialog);  // made once, kept
    }
  }
};

QTEST_MAIN(CommandDialogsTest)
#include "commands_dialogs_qtest.moc"
