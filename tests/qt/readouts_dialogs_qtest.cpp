// The readout dialogs and the printer settings readout against ulvo-sim over a real pty.

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "commands/catalogue_dialogs.h"
#include "commands/option_dialogs.h"
#include "shell/readouts/printer_settings_dialog.h"
#include "shell/readouts/readout_dialogs.h"
#include "shell/readouts/register_readouts.h"
#include "tests/qt/commands_sim_fixture.h"

using namespace ulvo;
using ulvo::testing::PressKey;
using ulvo::testing::ShowDialog;

class ReadoutDialogsTest : public QObject {
  Q_OBJECT

 private:
  ulvo::testing::SimDialogFixture fx;

  template <typename Dialog>
  std::unique_ptr<Dialog> Make() {
    return std::make_unique<Dialog>(*fx.context, nullptr);
  }

  void Restart(const std::vector<std::string>& args) {
    fx.Stop();
    const std::string error = fx.Start(args);
    QVERIFY2(error.empty(), error.c_str());
  }

  // Sets one option through its dialog with Enter; `choice` is the radio to pick.
  template <typename Dialog>
  void SetOption(int choice) {
    auto dialog = Make<Dialog>();
    QVERIFY(ShowDialog(dialog.get()));
    dialog->RadioButtons[choice]->setChecked(true);
    dialog->Button1->setFocus();
    QTest::keyClick(dialog->Button1, Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
  }

  static QString Shown(TOdczytUstawienDrukarki& dialog, int row) {
    return dialog.Fields[row]->text();
  }

 private slots:
  void init() {
    fx.settings = Settings{};
    fx.ui = ScriptedLinkUi{};
    const std::string error = fx.Start({"--baud", "0"});
    QVERIFY2(error.empty(), error.c_str());
  }
  void cleanup() { fx.Stop(); }

  void CashInformationWithoutFiscalRecordShowsBrak() {
    auto dialog = Make<TInformacjeKasowe>();
    QVERIFY(ShowDialog(dialog.get()));
    QTRY_COMPARE(dialog->EditRecordDate->text(), QStringLiteral("Brak"));
    QCOMPARE(dialog->EditMode->text(), QStringLiteral("Szkoleniowy"));
    QCOMPARE(dialog->EditUniqueNumber->text(), QStringLiteral("ABM33445566"));
    QCOMPARE(fx.link->CashDataState, std::uint8_t(1));
    QVERIFY(fx.ui.messages.empty());
  }

  void CashInformationFollowsTheFamilyAndTheUniqueNumberRule() {
    Restart({"--baud", "0", "--family", "alta", "--no-unique", "--fiscal"});
    fx.settings.PrinterType = 0;
    auto dialog = Make<TInformacjeKasowe>();
    QVERIFY(ShowDialog(dialog.get()));
    QTRY_COMPARE(dialog->EditUniqueNumber->text(), QStringLiteral("BRAK"));
    QCOMPARE(dialog->EditMode->text(), QStringLiteral("Fiskalny"));
    for (QLineEdit* ptu : dialog->EditPtu) QVERIFY(!ptu->text().isEmpty());
    // Alta shows every rate as a number, even the tax-free and unused ones.
    for (QLineEdit* ptu : dialog->EditPtu) QVERIFY(ptu->text() != QStringLiteral("BRAK"));
  }

  void CashReceiptChangesTheTotalsShown() {
    auto receipt = Make<TParagonZa1>();
    QVERIFY(ShowDialog(receipt.get()));
    PressKey(receipt.get(), Qt::Key_Return);
    auto dialog = Make<TInformacjeKasowe>();
    QVERIFY(ShowDialog(dialog.get()));
    QTRY_VERIFY(!dialog->EditTotals[0]->text().isEmpty());
    QCOMPARE(dialog->EditTotals[0]->text(), QString::fromStdString(fx.Get("totalA")));
    QCOMPARE(dialog->EditReceiptCount->text(), QString::fromStdString(fx.Get("receipts")));
  }

  void ReadingDialogsCloseThemselvesWhenNoReplyComes() {
    QCOMPARE(fx.Control("noanswer on"), std::string("ok"));
    fx.ui.replyWaitLimit = std::chrono::milliseconds(300);  // the user gives up
    auto cash = Make<TInformacjeKasowe>();
    cash->show();  // it may close before it ever gets the keyboard
    QTRY_VERIFY(!cash->isVisible());
    QCOMPARE(fx.link->CashDataState, std::uint8_t(0));

    auto error = Make<TOdeslijKodBledu>();
    error->show();  // it may close before it ever gets the keyboard
    QTRY_VERIFY(!error->isVisible());
    QCOMPARE(error->EditCode->text(), QStringLiteral("???"));
    QCOMPARE(error->EditDescription->text(), QStringLiteral("Brak odpowiedzi od drukarki."));

    auto clock = Make<TOdczytZegara>();
    clock->show();  // it may close before it ever gets the keyboard
    QTRY_VERIFY(!clock->isVisible());
    QVERIFY(clock->EditDate->text().isEmpty());

    auto settings = Make<TOdczytUstawienDrukarki>();
    settings->show();  // it may close before it ever gets the keyboard
    QTRY_VERIFY(!settings->isVisible());
  }

  void LastErrorCodeShowsTheCodeAndItsText() {
    QCOMPARE(fx.Control("refuse 4"), std::string("ok"));
    auto feed = Make<TWysuwPapieru>();
    QVERIFY(ShowDialog(feed.get()));
    PressKey(feed.get(), Qt::Key_Return);
    QVERIFY(fx.ui.HasMessage("Wystąpił bład nr: 4: Błąd parametru sterującego."));
    auto dialog = Make<TOdeslijKodBledu>();
    QVERIFY(ShowDialog(dialog.get()));
    QTRY_COMPARE(dialog->EditCode->text(), QStringLiteral("4"));
    QCOMPARE(dialog->EditDescription->text(), QStringLiteral("Błąd parametru sterującego."));
    PressKey(dialog.get(), Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
  }

  void StatusBoxesEnableReadingAndShowTheBits() {
    QCOMPARE(fx.Control("paperout on"), std::string("ok"));
    auto dialog = Make<TStatusDrukarki>();
    QVERIFY(ShowDialog(dialog.get()));
    QTRY_VERIFY(dialog->DleBits[1]->isChecked());  // "Brak papieru"
    QVERIFY(dialog->DleBits[0]->isChecked());      // "On-line"
    dialog->CheckBoxEnq->setChecked(false);
    QVERIFY(dialog->ReadButton->isEnabled());
    QVERIFY(!dialog->GroupEnq->isEnabled());
    dialog->CheckBoxDle->setChecked(false);
    QVERIFY(!dialog->ReadButton->isEnabled());
    // Enter reads nothing either while both are off.
    const std::string bytesBefore = fx.Get("bytesin");
    dialog->CheckBoxDle->setFocus();
    PressKey(dialog.get(), Qt::Key_Return);
    QCOMPARE(fx.Get("bytesin"), bytesBefore);
    QVERIFY(dialog->isVisible());
    dialog->CheckBoxDle->setChecked(true);
    QCOMPARE(fx.Control("paperout off"), std::string("ok"));
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(!dialog->DleBits[1]->isChecked());
  }

  void ClockShowsThePrintersDate() {
    auto dialog = Make<TOdczytZegara>();
    QVERIFY(ShowDialog(dialog.get()));
    QTRY_VERIFY(!dialog->EditDate->text().isEmpty());
    const QDate shown = QDate::fromString(dialog->EditDate->text(), QStringLiteral("yyyy-MM-dd"));
    QVERIFY(shown.isValid());
    QVERIFY(qAbs(shown.daysTo(QDate::currentDate())) <= 1);
    QCOMPARE(dialog->EditTime->text().size(), qsizetype(5));
  }

  void InputBufferComesBackInLinesOf51AndSurvivesAFile() {
    auto feed = Make<TWysuwPapieru>();
    QVERIFY(ShowDialog(feed.get()));
    feed->Edit1->setText(QStringLiteral("2"));
    PressKey(feed.get(), Qt::Key_Return);
    auto dialog = Make<TOdeslijBufor>();
    QVERIFY(ShowDialog(dialog.get()));
    QTRY_VERIFY(!dialog->Memo1->toPlainText().isEmpty());
    const QStringList lines = dialog->Memo1->toPlainText().split(QLatin1Char('\n'));
    for (const QString& line : lines) QVERIFY(line.size() <= 51);
    QVERIFY(lines.join(QString()).contains(QStringLiteral("P2#l")));

    const QString file = fx.dir.filePath(QStringLiteral("bufor.txt"));
    dialog->SaveToFile(file);
    QVERIFY(QFile::exists(file));
    const QString shown = dialog->Memo1->toPlainText();
    dialog->Memo1->clear();
    dialog->LoadFromFile(file);
    QCOMPARE(dialog->Memo1->toPlainText(), shown);
    // An existing file is replaced only after Yes.
    dialog->Memo1->setPlainText(QStringLiteral("inny"));
    fx.ui.answers = {false};
    dialog->SaveToFile(file);
    QCOMPARE(fx.ui.questions.back(), "Plik " + file.toStdString() + " już istnieje.Kontynuować? ");
    dialog->LoadFromFile(file);
    QCOMPARE(dialog->Memo1->toPlainText(), shown);
    // Files that cannot be used are named in the message.
    dialog->LoadFromFile(fx.dir.filePath(QStringLiteral("brak.txt")));
    QVERIFY(fx.ui.HasMessage("Nie mogę otworzyc pliku"));
    dialog->SaveToFile(fx.dir.filePath(QStringLiteral("nie/ma/katalogu.txt")));
    QVERIFY(fx.ui.HasMessage("Nie mogę zapisa do pliku"));
  }

  void DisplayControlGreysTheTextButStillSendsIt() {
    auto dialog = Make<TSterowanieWyswietlaczem>();
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(dialog->ComboBox1->currentIndex(), 0);
    QVERIFY(!dialog->Edit1->isEnabled());
    dialog->ComboBox1->setCurrentIndex(1);
    QVERIFY(dialog->Edit1->isEnabled());
    dialog->Edit1->setText(QStringLiteral("Dzien dobry"));
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QCOMPARE(fx.LastCommand(false), std::string("P2$d\xFF"
                                                "Dzien dobry"));
    QCOMPARE(fx.Get("display"), std::string("Dzien dobry"));

    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(dialog->ComboBox1->currentIndex(), 1);  // the last choice stays
    dialog->ComboBox1->setCurrentIndex(0);
    QVERIFY(!dialog->Edit1->isEnabled());
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QCOMPARE(fx.LastCommand(false), std::string("P1$d\xFF"
                                                "Dzien dobry"));
    QCOMPARE(fx.Get("drawer"), std::string("1"));
    QVERIFY(ShowDialog(dialog.get()));
    PressKey(dialog.get(), Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
  }

  void ErrorTablePrintIsOneCommand() {
    auto dialog = Make<TDrukujTabliceBledow>();
    QVERIFY(ShowDialog(dialog.get()));
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fx.LastCommand(), std::string("P$4"));
    QVERIFY(fx.ui.messages.empty());
  }

  void EveryOptionSetByItsDialogReadsBack() {
    SetOption<TSposobDruowania>(0);       // copy mode 1
    SetOption<TCzujnikObudowy>(2);        // cover sensor 2
    SetOption<TKonfiguracjaCzasuOdp>(1);  // response time 1
    SetOption<TSposobObslugiKaucjiWLinijceParagonu>(1);
    SetOption<TAutomatyczneOtwieranieSzuflady>(0);
    SetOption<TDefinicjaNrSystemowego>(1);  // the ULVO rule
    SetOption<TMetodaRabatu>(0);            // "Metoda 1"
    SetOption<TRaportyMiesieczne>(1);       // NIE
    auto pulse = Make<TParametrySzuflady>();
    QVERIFY(ShowDialog(pulse.get()));
    pulse->Edit1->setText(QStringLiteral("150"));
    QTest::keyClick(pulse->Edit1, Qt::Key_Return);
    auto rewinder = Make<TMinimalnyCzasSterZwijacz>();
    QVERIFY(ShowDialog(rewinder.get()));
    rewinder->Edit1->setText(QStringLiteral("2,5"));
    QTest::keyClick(rewinder->Edit1, Qt::Key_Return);
    auto errors = Make<TSposobBledow>();
    QVERIFY(ShowDialog(errors.get()));
    errors->RadioButtons1[2]->setChecked(true);
    QTest::keyClick(errors->RadioButtons1[2], Qt::Key_Return);
    QVERIFY(fx.ui.messages.empty());

    auto dialog = Make<TOdczytUstawienDrukarki>();
    QVERIFY(ShowDialog(dialog.get()));
    QTRY_COMPARE(Shown(*dialog, kCopyMode), QStringLiteral("Tryb 1"));
    QCOMPARE(Shown(*dialog, kDrawerPulse), QStringLiteral("150"));
    QCOMPARE(Shown(*dialog, kRewinderTime), QStringLiteral("2.50"));
    QCOMPARE(Shown(*dialog, kCoverSensor),
             QStringLiteral("2 - Blokuje sprzedaż przy podniesionej pokrywie"));
    QCOMPARE(Shown(*dialog, kResponseTime), QStringLiteral("TAK - dla pewnych rozkazów"));
    QCOMPARE(Shown(*dialog, kMonthlyReminder), QStringLiteral("NIE"));
    QCOMPARE(Shown(*dialog, kErrorMode), QStringLiteral("Tryb 2"));
    QCOMPARE(Shown(*dialog, kDeposit), QStringLiteral("ULVO"));
    QCOMPARE(Shown(*dialog, kAutoDrawer), QStringLiteral("TAK"));
    QCOMPARE(Shown(*dialog, kSystemNumber), QStringLiteral("Zgonie z ULVO"));
    QVERIFY(dialog->Fields[kDiscountMethod]->isVisible());
    QCOMPARE(Shown(*dialog, kDiscountMethod), QStringLiteral("metoda 1"));

    // Changing an option and reading again with Enter shows the change.
    dialog->reject();
    SetOption<TMetodaRabatu>(1);
    QVERIFY(ShowDialog(dialog.get()));
    QTRY_COMPARE(Shown(*dialog, kDiscountMethod), QStringLiteral("metoda 2"));
    SetOption<TSposobDruowania>(2);
    PressKey(dialog.get(), Qt::Key_Return);
    QCOMPARE(Shown(*dialog, kCopyMode), QStringLiteral("Tryb 3"));
  }

  void PrintSpeedGoesToAPrinterWithElectronicCopy() {
    Restart({"--baud", "0", "--ecopy"});
    fx.settings.ElectronicCopy = 1;
    auto dialog = Make<TSzybkoscWydruku>();
    QVERIFY(dialog->RadioButtons[2]->isChecked());  // "Prędkość maksymalna" at first
    SetOption<TSzybkoscWydruku>(0);
    QCOMPARE(fx.LastCommand(), std::string("P8$6"));
    QCOMPARE(fx.Get("printspeed"), std::string("8"));
    QVERIFY(fx.ui.messages.empty());
  }

  void SettingsFileRoundTripIs26BytesAndShowsTheSame() {
    auto dialog = Make<TOdczytUstawienDrukarki>();
    QVERIFY(ShowDialog(dialog.get()));
    QTRY_COMPARE(Shown(*dialog, kDrawerPulse), QStringLiteral("100"));
    const PrinterSettings read = dialog->Values();
    QStringList shown;
    for (int row = 0; row < kSettingRowCount; ++row) shown << Shown(*dialog, row);

    const QString file = fx.dir.filePath(QStringLiteral("drukarka.ust"));
    dialog->SaveToFile(file);
    QCOMPARE(QFileInfo(file).size(), qint64(26));

    auto other = Make<TOdczytUstawienDrukarki>();
    QVERIFY(ShowDialog(other.get()));
    QTRY_COMPARE(Shown(*other, kDrawerPulse), QStringLiteral("100"));
    other->reject();
    // Shown from the file only, with the printer changed meanwhile.
    SetOption<TSposobDruowania>(2);
    QVERIFY(ShowDialog(other.get()));
    QTRY_COMPARE(Shown(*other, kCopyMode), QStringLiteral("Tryb 3"));
    const std::size_t framesBefore = fx.SentFrames().size();
    other->LoadFromFile(file);
    QCOMPARE(fx.SentFrames().size(), framesBefore);  // nothing goes to the printer
    QVERIFY(other->Values() == read);
    for (int row = 0; row < kSettingRowCount; ++row) QCOMPARE(Shown(*other, row), shown[row]);

    // Overwriting asks first; No keeps the old file.
    fx.ui.answers = {false};
    other->reject();
    QVERIFY(ShowDialog(other.get()));
    QTRY_COMPARE(Shown(*other, kCopyMode), QStringLiteral("Tryb 3"));
    other->SaveToFile(file);
    QCOMPARE(fx.ui.questions.size(), std::size_t(1));
    other->LoadFromFile(file);
    QCOMPARE(Shown(*other, kCopyMode), shown[kCopyMode]);
    other->LoadFromFile(fx.dir.filePath(QStringLiteral("brak.ust")));
    QVERIFY(fx.ui.HasMessage("Nie mogę otworzyc pliku"));
  }

  void SettingsReplyThatMakesNoSenseIsReportedAndNotShown() {
    auto dialog = Make<TOdczytUstawienDrukarki>();
    QVERIFY(ShowDialog(dialog.get()));
    QTRY_COMPARE(Shown(*dialog, kDrawerPulse), QStringLiteral("100"));
    QCOMPARE(fx.Control("longreply 5000"), std::string("ok"));
    dialog->ReadAgain();
    QVERIFY(fx.ui.HasMessage("niepoprawną postać"));
    QVERIFY(dialog->isVisible());
    QCOMPARE(Shown(*dialog, kDrawerPulse), QStringLiteral("100"));
    // Junk ahead of a good reply does not matter.
    SetOption<TSposobDruowania>(0);
    QCOMPARE(fx.Control("garbage 7"), std::string("ok"));
    dialog->ReadAgain();
    QCOMPARE(Shown(*dialog, kCopyMode), QStringLiteral("Tryb 1"));
  }

  void SettingsHelpButtonsExplainTheShownValues() {
    auto dialog = Make<TOdczytUstawienDrukarki>();
    QVERIFY(ShowDialog(dialog.get()));
    QTRY_COMPARE(Shown(*dialog, kCopyMode), QStringLiteral("Tryb 2"));
    QTest::mouseClick(dialog->HelpButtons[0], Qt::LeftButton);
    QCOMPARE(fx.ui.messages.back(),
             std::string("Tryb 2: Na kopii nie ma nagłówków oraz odcięcia."));
    for (QPushButton* help : dialog->HelpButtons) QVERIFY(help != nullptr);
    QTest::mouseClick(dialog->HelpButtons[5], Qt::LeftButton);
    QVERIFY(fx.ui.messages.back().find("$h") != std::string::npos);
  }

  void OpenedModallyFromTheRegistryTheyReadAndClose() {
    DialogRegistry registry(*fx.context);
    RegisterReadoutDialogs(registry);
    // As the main window opens a node: modally. Escape once the reading is shown.
    auto* clock = static_cast<TOdczytZegara*>(registry.Get("TOdczytZegara"));
    QTimer poll;
    int ticks = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      ++ticks;
      if (clock->isVisible() && !clock->EditDate->text().isEmpty()) {
        QTest::keyClick(clock, Qt::Key_Escape);
      } else if (ticks > 500) {
        clock->reject();  // bounded: never hang the run
      }
    });
    poll.start(10);
    QVERIFY(registry.Open("TOdczytZegara"));
    QVERIFY(ticks <= 500);
    QVERIFY(!clock->EditDate->text().isEmpty());
    // A reading that gets no reply ends the modal dialog by itself.
    QCOMPARE(fx.Control("noanswer on"), std::string("ok"));
    fx.ui.replyWaitLimit = std::chrono::milliseconds(300);
    ticks = 0;
    QVERIFY(registry.Open("TTypIWersja"));
    QVERIFY(ticks <= 500);
    poll.stop();
  }

  void EveryReadoutDialogIsRegisteredByItsClassName() {
    DialogRegistry registry(*fx.context);
    RegisterReadoutDialogs(registry);
    for (const char* name :
         {"TInformacjeKasowe", "TOdeslijKodBledu", "TStatusDrukarki", "TTypIWersja",
          "TOdczytZegara", "TOdeslijBufor", "TDrukujTabliceBledow", "TSterowanieWyswietlaczem",
          "TOdczytUstawienDrukarki"}) {
      QDialog* dialog = registry.Get(name);
      QVERIFY2(dialog != nullptr, name);
      QCOMPARE(dialog->objectName(), QString::fromLatin1(name));
    }
  }
};

QTEST_MAIN(ReadoutDialogsTest)
#include "readouts_dialogs_qtest.moc"
