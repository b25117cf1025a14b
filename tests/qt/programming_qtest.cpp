// The service programming dialogs (header, PTU rates, NIP) against ulvo-sim over a real pty,
// and the flow through the main window: rates programmed, then "Pobierz dane".

#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "commands/core/command_frames.h"
#include "commands/core/header_rtf.h"
#include "commands/header_dialog.h"
#include "commands/nip_dialog.h"
#include "commands/ptu_dialogs.h"
#include "link/command_sender.h"
#include "shell/main_form.h"
#include "tests/qt/commands_sim_fixture.h"
#include "tests/support_qt/main_form_harness.h"
#include "tests/support_qt/modal_answerer.h"
#include "ui/dialog_registry.h"

using namespace ulvo;
using ulvo::testing::PressKey;
using ulvo::testing::ShowDialog;

namespace {

const std::string kSo = "\x0E";
const std::string kDc4 = "\x14";

std::string Spaces(int n) {
  return std::string(static_cast<std::size_t>(n), ' ');
}

// Types text key by key, Polish letters included (which QTest::keyClicks cannot).
void Type(QWidget* target, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(target, &release);
  }
}

void Chord(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QTest::keyClick(target, key, modifiers);
}

}  // namespace

class ProgrammingTest : public QObject {
  Q_OBJECT

 private:
  ulvo::testing::SimDialogFixture fx;

  template <typename Dialog>
  std::unique_ptr<Dialog> Make() {
    return std::make_unique<Dialog>(*fx.context, nullptr);
  }

  bool Restart(std::vector<std::string> args) {
    fx.Stop();
    args.push_back("--baud");
    args.push_back("0");
    const std::string error = fx.Start(args);
    if (!error.empty()) qWarning("%s", error.c_str());
    return error.empty();
  }

 private slots:
  void init() {
    fx.settings = Settings{};
    fx.ui = ScriptedLinkUi{};
    const std::string error = fx.Start({"--baud", "0"});
    QVERIFY2(error.empty(), error.c_str());
  }
  void cleanup() { fx.Stop(); }

  // ---- header ----

  void HeaderComposedWithTheKeyboardIsSentCentredAndWide() {
    auto dialog = Make<TProgramowanieNaglowka>();
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog->RichEdit1));
    QCOMPARE(dialog->Label1->text(), QString("123456789012345678901234567890123456789012"));
    QVERIFY(!dialog->GroupBox1->isVisible());
    QVERIFY(!dialog->RadioButton3->isVisible());
    QVERIFY(!dialog->RadioButton4->isVisible());
    QWidget* editor = QApplication::focusWidget();
    Type(editor, QStringLiteral("Sklep"));
    Chord(editor, Qt::Key_E, Qt::ControlModifier);
    QVERIFY(dialog->ToolButton8->isChecked());
    QVERIFY(!dialog->ToolButton7->isChecked());
    PressKey(dialog.get(), Qt::Key_Return);  // a new paragraph, nothing sent
    QVERIFY(dialog->isVisible());
    Chord(editor, Qt::Key_B, Qt::ControlModifier);
    QVERIFY(dialog->ToolButton5->isChecked());
    Type(editor, QStringLiteral("ABC"));
    Chord(editor, Qt::Key_Return, Qt::NoModifier);
    Chord(editor, Qt::Key_B, Qt::ControlModifier);
    Chord(editor, Qt::Key_R, Qt::ControlModifier);
    Type(editor, QStringLiteral("Łódź"));
    // The buttons follow the caret.
    Chord(editor, Qt::Key_Home, Qt::ControlModifier);
    Chord(editor, Qt::Key_Down, Qt::NoModifier);
    Chord(editor, Qt::Key_Right, Qt::NoModifier);
    QVERIFY(dialog->ToolButton5->isChecked());
    QVERIFY(dialog->ToolButton8->isChecked());
    Chord(editor, Qt::Key_Down, Qt::NoModifier);
    QVERIFY(!dialog->ToolButton5->isChecked());
    QVERIFY(dialog->ToolButton9->isChecked());
    QVERIFY(fx.SentCommands().empty());

    fx.settings.LetterCoding = 3;  // WINDOWS: Polish letters stay Windows-1250
    PressKey(dialog.get(), Qt::Key_W, Qt::AltModifier);  // "&Wyślij"
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fx.LastCommand(), "P0$f" + Spaces(18) + "Sklep\n" + Spaces(18) + kSo + "ABC" + kDc4 +
                                   "\n" + Spaces(38) +
                                   "\xA3\xF3"
                                   "d\x9F\n\xFF");
    QVERIFY(fx.ui.messages.empty());
    QCOMPARE(fx.Get("header"), Spaces(18) + "Sklep|" + Spaces(18) + kSo + "ABC" + kDc4 + "|" +
                                   Spaces(38) +
                                   "\xA3\xF3"
                                   "d\x9F|");
    // The header stands on the next receipt.
    QCOMPARE(SendCommandFrames(*fx.link, BuildOneGroszReceipt(false).frames), SendOutcome::Done);
    QCOMPARE(fx.Get("lastprintout"), Spaces(18) + "Sklep " + Spaces(18) + "ABC " + Spaces(38) +
                                         "\xA3\xF3"
                                         "d\x9F Paragon niefiskalny");
  }

  void HeaderSavedAndLoadedIsUnchanged() {
    auto dialog = Make<TProgramowanieNaglowka>();
    QVERIFY(ShowDialog(dialog.get()));
    const HeaderDocument composed{{
        {HeaderAlignment::Center, {{"Sklep ", 10}, {"ŻABKA", 20}}},
        {HeaderAlignment::Right, {{"ul. Długa 1, Łódź", 10}}},
        {HeaderAlignment::Left, {}},
        {HeaderAlignment::Left, {{"NIP 123-456-32-18", 10}}},
    }};
    dialog->SetDocument(composed);
    QCOMPARE(dialog->Document(), composed);
    const QString file = fx.dir.filePath(QStringLiteral("naglowek.rtf"));
    dialog->SaveToFile(file);
    QVERIFY(fx.ui.messages.empty());
    QVERIFY(fx.ui.questions.empty());
    dialog->SetDocument({});
    QVERIFY(dialog->RichEdit1->document()->isEmpty());
    dialog->LoadFromFile(file);
    QCOMPARE(dialog->Document(), composed);

    // An existing file is replaced only after Yes.
    dialog->SetDocument({{{HeaderAlignment::Left, {{"inny", 10}}}}});
    fx.ui.answers = {false};
    dialog->SaveToFile(file);
    QCOMPARE(fx.ui.questions.back(), "Plik " + file.toStdString() + " już istnieje.Kontynuować? ");
    dialog->LoadFromFile(file);
    QCOMPARE(dialog->Document(), composed);

    // Files that cannot be used are named; the content stays.
    const QString missing = fx.dir.filePath(QStringLiteral("brak.rtf"));
    dialog->LoadFromFile(missing);
    QCOMPARE(fx.ui.messages.back(), "Nie mogę otworzyc pliku" + missing.toStdString() + ".");
    QFile junk(fx.dir.filePath(QStringLiteral("zly.rtf")));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("{\\rtf1 {{{ niedokończony");
    junk.close();
    dialog->LoadFromFile(junk.fileName());
    QVERIFY(fx.ui.messages.back().rfind(
                "Nie mogę otworzyc pliku" + junk.fileName().toStdString() + ".\n", 0) == 0);
    QCOMPARE(dialog->Document(), composed);
    const QString noFolder = fx.dir.filePath(QStringLiteral("nie/ma/n.rtf"));
    dialog->SaveToFile(noFolder);
    QCOMPARE(fx.ui.messages.back(), "Nie mogę zapisa do pliku" + noFolder.toStdString() + ".");
  }

  void HeaderLineOverTheBufferIsRefusedBeforeSending() {
    auto dialog = Make<TProgramowanieNaglowka>();
    QVERIFY(ShowDialog(dialog.get()));
    dialog->SetDocument({{{HeaderAlignment::Left, {{"ok", 10}}},
                          {HeaderAlignment::Left, {{std::string(55, 'x'), 10}}}}});
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QVERIFY(dialog->isVisible());
    QVERIFY(fx.ui.HasMessage("Linia nr 2 nagłówka jest za długa"));
    QVERIFY(fx.SentCommands().empty());
  }

  void HeaderWiderThanThePaperIsRefusedByThePrinter() {
    auto dialog = Make<TProgramowanieNaglowka>();
    QVERIFY(ShowDialog(dialog.get()));
    dialog->SetDocument({{{HeaderAlignment::Left, {{std::string(43, 'x'), 10}}}}});
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QVERIFY(fx.ui.HasMessage(
        "Wystąpił bład nr: 12: Błędny nagłówek (np. za długi lub zawierający błędne znaki)."));
  }

  void AltaHeaderIsNarrowAndNeverWide() {
    QVERIFY(Restart({"--family", "alta"}));
    fx.settings.PrinterType = 0;
    auto dialog = Make<TProgramowanieNaglowka>();
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(dialog->Label1->text(), QString("123456789012345678901234"));
    QVERIFY(!dialog->ToolButton5->isEnabled());
    QVERIFY(!dialog->ToolButton5->isChecked());
    const QString file = fx.dir.filePath(QStringLiteral("szeroki.rtf"));
    QVERIFY(!WriteHeaderFile(file.toStdString(),
                             {{{HeaderAlignment::Center, {{"AB", 20}, {"c", 10}}}}}));
    dialog->LoadFromFile(file);
    QCOMPARE(dialog->Document(), (HeaderDocument{{{HeaderAlignment::Center, {{"ABc", 10}}}}}));
    // Bold typed in anyway (a shortcut on a disabled button does nothing).
    Chord(dialog->RichEdit1, Qt::Key_B, Qt::ControlModifier);
    QVERIFY(!dialog->ToolButton5->isChecked());
    dialog->SetDocument({{{HeaderAlignment::Center, {{"AB", 20}}}}});
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fx.LastCommand(), "P0$f" + Spaces(11) + "AB\n\xFF");
  }

  void BusHeaderCarriesTheDiscountMethod() {
    fx.settings.BusMode = 1;
    auto dialog = Make<TProgramowanieNaglowka>();
    QVERIFY(ShowDialog(dialog.get()));
    QVERIFY(dialog->GroupBox1->isVisible());
    QVERIFY(dialog->RadioButton2->isChecked());
    dialog->SetDocument({{{HeaderAlignment::Left, {{"Bus", 10}}}}});
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QCOMPARE(fx.LastCommand(), std::string("P1$fBus\n\xFF"));
    QVERIFY(ShowDialog(dialog.get()));
    dialog->RadioButton1->setChecked(true);
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QCOMPARE(fx.LastCommand(), std::string("P0$fBus\n\xFF"));
  }

  void HeaderEscapeClosesAndTheContentStays() {
    auto dialog = Make<TProgramowanieNaglowka>();
    QVERIFY(ShowDialog(dialog.get()));
    Type(QApplication::focusWidget(), QStringLiteral("abc"));
    PressKey(dialog.get(), Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
    QVERIFY(fx.SentCommands().empty());
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(dialog->RichEdit1->toPlainText(), QString("abc"));
  }

  // ---- PTU ----

  void PtuDefaultsGoOutWithEnterAndTheSameRatesAreRefused() {
    auto dialog = Make<TProgramowanieStawek>();
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog->Edits[0]));
    QVERIFY(dialog->Exempt[6]->isVisible());
    QVERIFY(!dialog->Edits[4]->isEnabled());
    QVERIFY(!dialog->Edits[6]->isEnabled());
    PressKey(dialog.get(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog->Taxed[0]));
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fx.LastCommand(),
             std::string("P7;1;1;1;1;0;0;2$p22.00/7.00/0.00/3.00/0.00/0.00/0.00/"));
    QCOMPARE(fx.Get("ptu"), std::string("22.00/7.00/0.00/3.00/101.00/101.00/100.00/"));
    QVERIFY(fx.ui.messages.empty());
    QVERIFY(ShowDialog(dialog.get()));
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QVERIFY(
        fx.ui.HasMessage("Wystąpił bład nr: 131: Przy programowaniu stawek nowe stawki są "
                         "identyczne z już zapisanymi w drukarce."));
  }

  void PtuStatesEnableTheirFields() {
    auto dialog = Make<TProgramowanieStawek>();
    QVERIFY(ShowDialog(dialog.get()));
    QTest::mouseClick(dialog->Taxed[4], Qt::LeftButton);
    QVERIFY(dialog->Edits[4]->isEnabled());
    QTest::mouseClick(dialog->Inactive[0], Qt::LeftButton);
    QVERIFY(!dialog->Edits[0]->isEnabled());
    // The arrow keys move within one rate's states.
    dialog->Inactive[0]->setFocus();
    QTest::keyClick(dialog->Inactive[0], Qt::Key_Left);
    QVERIFY(dialog->Exempt[0]->isChecked());
    QVERIFY(dialog->Taxed[1]->isChecked());
    dialog->Edits[4]->setText(QStringLiteral("5"));
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QCOMPARE(fx.LastCommand(), std::string("P7;2;1;1;1;1;0;2$p22.00/7.00/0.00/3.00/5/0.00/0.00/"));
  }

  void PtuFieldWithASlashIsRefusedAndAFailedSendCloses() {
    auto dialog = Make<TProgramowanieStawek>();
    QVERIFY(ShowDialog(dialog.get()));
    dialog->Edits[1]->setText(QStringLiteral("7/00"));
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(dialog->isVisible());
    QVERIFY(fx.ui.HasMessage("Stawka PTU B zawiera znak \"/\""));
    QVERIFY(fx.SentCommands().empty());
    dialog->Edits[1]->setText(QStringLiteral("7.00"));
    fx.settings.PortNumber = kNoPort;  // the frame cannot be written
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QVERIFY(fx.ui.HasMessage("Nie wybrano portu komunikacyjnego."));
    QVERIFY(fx.SentCommands().empty());
  }

  void PtuOnAltaHasNoExemptRate() {
    QVERIFY(Restart({"--family", "alta"}));
    fx.settings.PrinterType = 0;
    auto dialog = Make<TProgramowanieStawek>();
    QVERIFY(ShowDialog(dialog.get()));
    QVERIFY(!dialog->Exempt[6]->isVisible());
    QVERIFY(dialog->Inactive[6]->isChecked());
    PressKey(dialog.get(), Qt::Key_Return);
    QCOMPARE(fx.LastCommand(), std::string("P7$p22.00/7.00/0.00/3.00/-1.00/-1.00/-1.00/"));
    QVERIFY(fx.ui.messages.empty());
  }

  void BusPtuSendsSurchargesAndHasNoEnter() {
    QVERIFY(Restart({"--family", "altapro", "--bus"}));
    fx.settings.PrinterType = 1;
    fx.settings.BusMode = 1;
    auto dialog = Make<TProgramowanieStawekPTUBus>();
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog->Edits[0]));
    QVERIFY(dialog->Exempt[6]->isVisible());
    QVERIFY(!dialog->Surcharges[4]->isEnabled());
    QVERIFY(dialog->Surcharges[6]->isEnabled());
    QVERIFY(dialog->RadioButton2->isChecked());
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(dialog->isVisible());
    QVERIFY(fx.SentCommands().empty());
    dialog->Surcharges[0]->setChecked(true);
    dialog->RadioButton1->setChecked(true);
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fx.LastCommand(),
             std::string("P8;5;1;1;1;0;0;2;3$p22.00/7.00/0.00/3.00/0.00/0.00/0.00/"));
    QVERIFY(fx.ui.messages.empty());
    QVERIFY(ShowDialog(dialog.get()));
    PressKey(dialog.get(), Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
  }

  // ---- NIP ----

  void NipIsSentAsTypedOnceOnly() {
    auto dialog = Make<TProgramowanieNIP>();
    dialog->RadioButton2->setChecked(true);
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(dialog->windowTitle(), QString("Programowanie NIP (szkoleniowo)"));
    QCOMPARE(dialog->Label1->text(), QString("Programowanie NIP (szkoleniowo)"));
    QVERIFY(dialog->RadioButton1->isChecked());
    QVERIFY(!dialog->RadioButton2->isEnabled());
    QCOMPARE(dialog->Button1->text(), QString("&Dalej"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog->Edit1));
    Type(dialog->Edit1, QStringLiteral("PL 123-456-32-18   "));
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QVERIFY(fx.ui.questions.empty());
    QCOMPARE(fx.LastCommand(), std::string("P0$nPL 123-456-32-18\r"));
    QVERIFY(fx.ui.messages.empty());
    // A second programming: the printer's own refusal is shown.
    QVERIFY(ShowDialog(dialog.get()));
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QVERIFY(fx.ui.HasMessage("Wystąpił bład nr: 144: Próba zaprogramowania NIP"));
  }

  void NipChecksAskAndYesStops() {
    auto dialog = Make<TProgramowanieNIP>();
    QVERIFY(ShowDialog(dialog.get()));
    dialog->Edit1->setText(QStringLiteral("123 456 32 19"));
    fx.ui.answers = {true};
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(dialog->isVisible());
    QCOMPARE(fx.ui.questions.size(), std::size_t(1));
    QCOMPARE(fx.ui.questions[0],
             std::string("Błędny format numeru NIP!\r\nPrzykładowe formaty NIP to:\r\n"
                         "000-000-00-00\r\n000-00-00-000\r\nPL 000-000-00-00\r\n\r\n Czy "
                         "przerwać?"));
    QVERIFY(fx.SentCommands().empty());
    // No to the format, Yes to the checksum: still nothing sent.
    fx.ui.answers = {false, true};
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(dialog->isVisible());
    QCOMPARE(fx.ui.questions.back(),
             std::string("Błędna suma kontrolna numeru NIP!\r\nCzy przerwać?\r\n"));
    QVERIFY(fx.SentCommands().empty());
    // No to both: the printer decides.
    fx.ui.answers = {false, false};
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fx.LastCommand(), std::string("P0$n123 456 32 19\r"));
    QVERIFY(fx.ui.HasMessage("Wystąpił bład nr: 143: Błędny NIP lub numer unikatowy."));
  }

  void NipModeClickEmptiesTheFieldAndAFailedSendKeepsTheDialog() {
    auto dialog = Make<TProgramowanieNIP>();
    QVERIFY(ShowDialog(dialog.get()));
    dialog->Edit1->setText(QStringLiteral("1234563218"));
    QTest::mouseClick(dialog->RadioButton1, Qt::LeftButton);
    QVERIFY(dialog->Edit1->text().isEmpty());
    dialog->Edit1->setText(QStringLiteral("1234563218"));
    fx.settings.PortNumber = kNoPort;
    PressKey(dialog.get(), Qt::Key_Return);
    QVERIFY(dialog->isVisible());
    QVERIFY(fx.ui.HasMessage("Nie wybrano portu komunikacyjnego."));
    PressKey(dialog.get(), Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
  }

  // ---- through the main window ----

  void RatesProgrammedFromTheTreeShowInPobierzDane() {
    fx.Stop();
    ulvo::testing::MainFormHarness h;
    ulvo::testing::HarnessOptions options;
    options.simBinary = ULVO_SIM_PATH;
    QVERIFY2(h.Start(options), qPrintable(h.error));
    TMainForm& f = *h.form;
    auto* dialog = dynamic_cast<TProgramowanieStawek*>(f.registry().Get("TProgramowanieStawek"));
    QVERIFY(dialog != nullptr);
    QVERIFY(f.registry().Has("TProgramowanieNaglowka"));
    QVERIFY(f.registry().Has("TProgramowanieNIP"));
    QVERIFY(f.registry().Has("TProgramowanieStawekPTUBus"));

    ulvo::testing::ModalAnswerer answer;
    answer.Do(QStringLiteral("TProgramowanieStawek"), [](QWidget* window) {
      auto* rates = static_cast<TProgramowanieStawek*>(window);
      rates->Edits[0]->setText(QStringLiteral("19.00"));
      rates->Edits[1]->setText(QStringLiteral("8.00"));
      ulvo::testing::PressKey(window, Qt::Key_Return);
    });
    QTreeWidget* tree = f.Tree(Page::Programowanie);
    f.PageControl1->setCurrentWidget(f.PageWidget(Page::Programowanie));
    const auto found = tree->findItems(QStringLiteral("Programowanie stawek PTU"),
                                       Qt::MatchExactly | Qt::MatchRecursive);
    QVERIFY(!found.isEmpty());
    tree->setCurrentItem(found.first());
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Return);
    QVERIFY(answer.WaitDone());
    QVERIFY(!dialog->isVisible());
    QTest::mouseClick(f.DownloadButton, Qt::LeftButton);
    QCOMPARE(f.PanelFields[0]->text(), QString("19.00"));
    QCOMPARE(f.PanelFields[1]->text(), QString("8.00"));
    QCOMPARE(f.PanelFields[3]->text(), QString("3.00"));
    QCOMPARE(f.PanelFields[4]->text(), QString("BRAK"));
    QCOMPARE(f.PanelFields[6]->text(), QString("ZWOLN"));

    // The same rates again: the printer's error text is shown.
    answer.Do(QStringLiteral("TProgramowanieStawek"),
              [](QWidget* window) { ulvo::testing::PressKey(window, Qt::Key_Return); });
    answer.Click(QStringLiteral("OK"));
    QTest::keyClick(tree, Qt::Key_Return);
    QVERIFY(answer.WaitDone());
    QVERIFY(answer.SawMessage(QStringLiteral(
        "Przy programowaniu stawek nowe stawki są identyczne z już zapisanymi w drukarce.")));
    QVERIFY(!dialog->isVisible());
  }
};

QTEST_MAIN(ProgrammingTest)
#include "programming_qtest.moc"
