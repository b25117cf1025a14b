// The line tables, the full transaction, orders and goods-database reports against ulvo-sim
// over a real pty: keys, frames, the receipt state and what the emulator booked.

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "link/command_sender.h"
#include "link/frame_list.h"
#include "tests/qt/commands_sim_fixture.h"
#include "tests/support_qt/modal_answerer.h"
#include "tools/document_dialogs.h"
#include "tools/line_table_dialogs.h"
#include "tools/register_tools.h"
#include "ui/dialog_registry.h"
#include "ui/qt_link_ui.h"

using namespace ulvo;
using ulvo::testing::PressKey;
using ulvo::testing::ShowDialog;

namespace {

double Amount(const std::string& text) {
  return QString::fromStdString(text).toDouble();
}

}  // namespace

class TablesTest : public QObject {
  Q_OBJECT

 private:
  ulvo::testing::SimDialogFixture fx;

  template <typename Dialog>
  std::unique_ptr<Dialog> Make() {
    return std::make_unique<Dialog>(*fx.context, nullptr);
  }

  // One command straight through the link, as another dialog would send it.
  bool Send(const char* body) {
    FrameList list;
    list.Add(true, "%cP%sxx%c%c", 27, body, 27, '\\');
    return SendCommandFrames(*fx.link, list.frames) == SendOutcome::Done;
  }

  void Restart(const std::vector<std::string>& args) {
    fx.Stop();
    fx.ui = ScriptedLinkUi{};
    const std::string error = fx.Start(args);
    QVERIFY2(error.empty(), error.c_str());
  }

  // Types `text` into the current cell from the keyboard and confirms it with Enter.
  static void TypeCell(LineTable* table, int row, int column, const QString& text) {
    table->setCurrentCell(row, column);
    table->setFocus();
    QTest::keyClicks(table, text.left(1));  // typing opens the editor
    QWidget* editor = QApplication::focusWidget();
    QVERIFY(editor != table);
    QTest::keyClicks(editor, text.mid(1));
    QTest::keyClick(editor, Qt::Key_Return);
    // The cell takes the text once the editor has closed (queued by the item delegate).
    QTRY_COMPARE(QString::fromStdString(table->Cell(row, column)), text);
  }

 private slots:
  void init() {
    fx.settings = Settings{};
    fx.settings.LetterCoding = 3;
    fx.receipt = ReceiptState{};
    fx.ui = ScriptedLinkUi{};
    const std::string error = fx.Start({"--baud", "0"});
    QVERIFY2(error.empty(), error.c_str());
  }
  void cleanup() { fx.Stop(); }

  void EveryTableNodeOpensItsDialog() {
    DialogRegistry registry(*fx.context);
    RegisterTableDialogs(registry);
    for (const char* name :
         {"TLinijkiParagonu", "TPelnaTranskacja", "TPoczatekZamowienia", "TLinijkaZamowienia",
          "TZakonczenieZamowienia", "TPoczateRaportuBazy", "TPozycjaRaportuBazy",
          "TZakonczenieRaportuBazy", "TPelnaKontrolaBazy", "TKontrolaBazyTowarowejDlaBus"}) {
      QDialog* dialog = registry.Get(name);
      QVERIFY2(dialog != nullptr, name);
      QCOMPARE(dialog->objectName(), QString::fromLatin1(name));
      QVERIFY(ShowDialog(dialog));
      QVERIFY2(QApplication::focusWidget() != nullptr &&
                   dialog->isAncestorOf(QApplication::focusWidget()),
               name);  // the first field has the focus
      PressKey(dialog, Qt::Key_Escape);
      QVERIFY2(!dialog->isVisible(), name);
    }
    QVERIFY(fx.SentCommands().empty());
  }

  void ReceiptLinesGoIntoTheOpenReceiptAndTheTotalsGrowByTheirSum() {
    const double before = Amount(fx.Get("totalA"));
    QVERIFY(Send("0$h"));
    fx.receipt = ReceiptState{};
    auto dialog = Make<TLinijkiParagonu>();
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog->StringGrid1));
    // From the keyboard: typing fills a cell, Enter confirms it, arrows move on.
    TypeCell(dialog->StringGrid1, 0, 0, QStringLiteral("Chleb"));
    QTest::keyClick(dialog->StringGrid1, Qt::Key_Right);
    QCOMPARE(dialog->StringGrid1->currentColumn(), 1);
    TypeCell(dialog->StringGrid1, 0, 1, QStringLiteral("2"));
    for (int c = 2; c < 5; ++c) {
      dialog->StringGrid1->SetCell(0, c, std::vector<std::string>{"A", "3.50", "7.00"}[c - 2]);
    }
    const LineRow second{"Mleko", "1", "A", "2.00", "2.00", "0.50"};
    for (int c = 0; c < 6; ++c) dialog->StringGrid1->SetCell(1, c, second[c]);
    // Enter in the table edits a cell rather than sending.
    dialog->StringGrid1->setCurrentCell(5, 0);
    dialog->StringGrid1->setFocus();
    QTest::keyClick(dialog->StringGrid1, Qt::Key_Return);
    QVERIFY(dialog->isVisible());
    QVERIFY(QApplication::focusWidget() != dialog->StringGrid1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);  // leaves the cell only
    QVERIFY(dialog->isVisible());
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    const auto commands = fx.SentCommands();
    QCOMPARE(commands.size(), std::size_t(3));
    QCOMPARE(commands[1], std::string("P1$lChleb\r2\rA/3.50/7.00/"));
    QCOMPARE(commands[2], std::string("P2;1$lMleko\r1\rA/2.00/2.00/0.50/"));
    QCOMPARE(fx.receipt.NextLineNumber, 3);
    QCOMPARE(fx.receipt.ReceiptTotal, 8.50);
    QVERIFY(fx.ui.messages.empty());
    // The confirmation with the program's total books exactly that much.
    QVERIFY(Send("1;0;0;0;0;8$e\r0/8.50/"));
    QCOMPARE(Amount(fx.Get("totalA")) - before, 8.50);
  }

  void ReceiptLinesStopAtARefusalAndSayHowManyWentOut() {
    QVERIFY(Send("0$h"));
    auto dialog = Make<TLinijkiParagonu>();
    const LineRow rows[] = {{"Chleb", "1", "A", "1.00", "1.00", ""},
                            {"Zły", "1", "A", "1.00", "9.99", ""},
                            {"Ser", "1", "A", "1.00", "1.00", ""}};
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 6; ++c) dialog->StringGrid1->SetCell(r, c, rows[r][c]);
    }
    QVERIFY(ShowDialog(dialog.get()));
    dialog->Button1Click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fx.SentCommands().size(), std::size_t(3));  // open, row 1, row 2 refused
    QVERIFY(fx.ui.HasMessage("Wystąpił bład nr: "));
    QVERIFY(fx.ui.HasMessage("Wysłano linijek: 1 z 3."));
    QCOMPARE(fx.receipt.NextLineNumber, 2);
    QCOMPARE(fx.receipt.ReceiptTotal, 1.00);

    // An over-long cell sends nothing and names its place.
    fx.ui = ScriptedLinkUi{};
    dialog->StringGrid1->SetCell(1, 4, std::string(50, '9'));
    QVERIFY(ShowDialog(dialog.get()));
    const std::size_t sent = fx.SentCommands().size();
    dialog->Button1Click();
    QVERIFY(dialog->isVisible());
    QCOMPARE(fx.SentCommands().size(), sent);
    QVERIFY(fx.ui.HasMessage("wierszu 2, kolumnie \"Brutto\""));
    PressKey(dialog.get(), Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
  }

  void LineFilesRoundTripThroughTheDialogsWithTheOverwriteQuestion() {
    const QString path = fx.dir.filePath(QStringLiteral("tabela.lin"));
    auto lines = Make<TLinijkiParagonu>();
    lines->StringGrid1->SetCell(0, 0, "Żurek");
    lines->StringGrid1->SetCell(15, 5, "-5%");
    lines->SaveToFile(path);
    QVERIFY(fx.ui.questions.empty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.count("\r\n"), 96);
    QVERIFY(bytes.startsWith("\xAFurek\r\n"));
    file.close();
    lines->StringGrid1->SetCell(0, 0, "inny");
    fx.ui.answers = {false};
    lines->SaveToFile(path);  // No keeps the file
    QCOMPARE(fx.ui.questions.back(), "Plik " + path.toStdString() + " już istnieje.Kontynuować? ");
    lines->LoadFromFile(path);
    QCOMPARE(lines->StringGrid1->Cell(0, 0), std::string("Żurek"));
    QCOMPARE(lines->StringGrid1->Cell(15, 5), std::string("-5%"));

    // The full transaction reads the first nine rows of the same file.
    auto full = Make<TPelnaTranskacja>();
    full->LoadFromFile(path);
    QCOMPARE(full->StringGrid1->Cell(0, 0), std::string("Żurek"));

    // Not a line file: refused, the table stays as it was.
    QFile binary(fx.dir.filePath(QStringLiteral("obraz.lin")));
    QVERIFY(binary.open(QIODevice::WriteOnly));
    binary.write(QByteArray("\x89PNG\r\n\x1A\n\0\0", 10));
    binary.close();
    lines->LoadFromFile(binary.fileName());
    QVERIFY(fx.ui.HasMessage("To nie jest plik z linijkami paragonu"));
    QCOMPARE(lines->StringGrid1->Cell(0, 0), std::string("Żurek"));
  }

  void FullTransactionSendsAWholeReceiptAfterTheQuestion() {
    const double before = Amount(fx.Get("totalA"));
    auto dialog = Make<TPelnaTranskacja>();
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog->StringGrid1));
    // Nothing filled: the zero sum stops it with the dialog open.
    dialog->Button1Click();
    QVERIFY(dialog->isVisible());
    QVERIFY(fx.ui.HasMessage(" ZEROWA SUMA PARAGONU !!! "));
    QCOMPARE(fx.ui.beeps, 1);
    const LineRow rows[] = {{"Chleb", "2", "A", "3.50", "", ""},
                            {"Mleko", "1,5", "A", "2.00", "", ""},
                            {"", "", "", "", "", ""},
                            {"Ser", "1", "A", "4.00", "", ""}};
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 6; ++c) dialog->StringGrid1->SetCell(r, c, rows[r][c]);
    }
    dialog->StringGrid2->SetCell(0, 1, "20.00");
    QTest::mouseClick(dialog->Button3, Qt::LeftButton);
    QCOMPARE(dialog->Edit1->text(), QStringLiteral("14.00"));  // rows 1, 2 and 4
    dialog->StringGrid1->SetCell(3, 0, "");  // row 4 goes: a receipt the printer can take
    dialog->StringGrid1->SetCell(3, 1, "");
    fx.ui.messages.clear();
    fx.ui.answers = {true};
    dialog->Button1Click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fx.ui.questions.back(), std::string("Suma transakcji: 10.00. Rabat procentowy: 0.00 "
                                                 "%. Czy wysłać do drukarki[T/N] ?"));
    const auto commands = fx.SentCommands();
    QCOMPARE(commands.size(), std::size_t(4));
    QCOMPARE(commands[0], std::string("P0$h"));
    QCOMPARE(commands[2], std::string("P2$lMleko\r1,5\rA/2.00/3.00/"));
    QVERIFY(fx.ui.messages.empty());
    QCOMPARE(fx.Get("intransaction"), std::string("0"));
    QCOMPARE(Amount(fx.Get("totalA")) - before, 10.00);
  }

  void FullTransactionTabOrderAndMnemonics() {
    auto dialog = Make<TPelnaTranskacja>();
    QVERIFY(ShowDialog(dialog.get()));
    const std::vector<QWidget*> order = {dialog->StringGrid1, dialog->StringGrid2, dialog->Edit1,
                                         dialog->Edit2,       dialog->Edit3,       dialog->Memo1,
                                         dialog->Button1,     dialog->Button2,     dialog->Button3,
                                         dialog->BitBtn1,     dialog->BitBtn2};
    for (std::size_t i = 0; i < order.size(); ++i) {
      QCOMPARE(QApplication::focusWidget(), order[i]);
      PressKey(dialog.get(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), order[0]);  // round again
    dialog->StringGrid1->SetCell(0, 1, "2");
    dialog->StringGrid1->SetCell(0, 3, "1.25");
    PressKey(dialog.get(), Qt::Key_O, Qt::AltModifier);  // "P&odlicz"
    QCOMPARE(dialog->Edit1->text(), QStringLiteral("2.50"));
    PressKey(dialog.get(), Qt::Key_K, Qt::AltModifier);  // "&Kasjer"
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog->Edit3));
    PressKey(dialog.get(), Qt::Key_Return);  // Enter sends nothing here
    QVERIFY(dialog->isVisible());
    QVERIFY(fx.SentCommands().empty());
    PressKey(dialog.get(), Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
  }

  void FullTransactionStoppedInTheMiddleSaysHowToCancel() {
    auto dialog = Make<TPelnaTranskacja>();
    dialog->StringGrid1->SetCell(0, 0, "Chleb");
    dialog->StringGrid1->SetCell(0, 1, "1");
    dialog->StringGrid1->SetCell(0, 2, "Z");  // no such rate: the printer refuses the line
    dialog->StringGrid1->SetCell(0, 3, "1.00");
    QVERIFY(ShowDialog(dialog.get()));
    fx.ui.answers = {true};
    dialog->Button1Click();
    QCOMPARE(fx.SentCommands().size(), std::size_t(2));
    QVERIFY(fx.ui.HasMessage("Anulowanie transakcji"));
    QCOMPARE(fx.Get("intransaction"), std::string("1"));
  }

  void OrdersGoStartLinesEndAndOutOfOrderStepsAreRefused() {
    auto end = Make<TZakonczenieZamowienia>();
    QVERIFY(ShowDialog(end.get()));
    PressKey(end.get(), Qt::Key_Return);  // Escape only: Enter sends nothing
    QVERIFY(end->isVisible());
    end->Button1Click();  // no order open: the printer says so
    QVERIFY(fx.ui.HasMessage("Wystąpił bład nr: 4"));
    fx.ui = ScriptedLinkUi{};

    auto start = Make<TPoczatekZamowienia>();
    QVERIFY(ShowDialog(start.get()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(start->Edit1));
    QVERIFY(!start->Memo1->isEnabled());
    QTest::keyClicks(start->Edit1, QStringLiteral("Jan Kowalski"));
    QTest::mouseClick(start->Button1, Qt::LeftButton);
    QVERIFY(!start->isVisible());

    auto line = Make<TLinijkaZamowienia>();
    QVERIFY(ShowDialog(line.get()));
    line->Edit1->setText(QStringLiteral("Mleko"));
    line->Edit2->setText(QStringLiteral("2 l"));
    line->CheckBox1->setChecked(true);
    QVERIFY(line->Memo1->isEnabled());
    line->Memo1->setPlainText(QStringLiteral("pierwsza\ndruga"));
    line->Button1Click();
    QVERIFY(!line->isVisible());

    QVERIFY(ShowDialog(end.get()));
    end->Button1Click();
    QVERIFY(!end->isVisible());
    QCOMPARE(fx.SentCommands(),
             (std::vector<std::string>{"P0;1;2;0#l", "P0;1;0;0#lJan Kowalski\r",
                                       "P0;1;1;2#lMleko\r2 l\rpierwsza\rdruga\r", "P0;1;2;0#l"}));
    QVERIFY(fx.ui.messages.empty());
    QCOMPARE(fx.Get("lastprintout"), std::string("Zamówienie"));
  }

  void OverlongOrderAndReportFieldsAreRefusedByNameAndKeptWhole() {
    // The program's own message boxes, as a person sees them.
    fx.link->ClosePort();
    QtLinkUi qtUi;
    Link link(fx.settings, qtUi, QtPortOpener());
    QVERIFY(!link.OpenPort(true));
    AppContext context{fx.settings, link, fx.receipt, nullptr};
    const std::string framesBefore = fx.Get("frames");

    // Pasted: the field takes all of it, and sending names the field.
    TLinijkaZamowienia line(context, nullptr);
    const QString pasted = QString::fromUtf8("Śmietana kremówka 30% w kartonie, dwa litry, ") +
                           QString::fromUtf8("sztuk sześć");  // 56 characters
    QApplication::clipboard()->setText(pasted);
    ulvo::testing::ModalAnswerer answer;
    answer.Key(Qt::Key_Return);
    QTimer::singleShot(0, &line, [&line] {
      line.Edit1->setText(QStringLiteral("Mleko"));
      line.Edit2->setFocus();
      QTest::keySequence(line.Edit2, QKeySequence::Paste);
      QTest::mouseClick(line.Button1, Qt::LeftButton);
      QTimer::singleShot(0, &line, [&line] { line.reject(); });
    });
    line.exec();
    QVERIFY(answer.WaitDone());
    QCOMPARE(answer.messages,
             QStringList{QString::fromUtf8(
                 "Pole \"Ilość\" może mieć najwyżej 49 znaków. Rozkaz nie został wysłany.")});
    QCOMPARE(line.Edit2->text(), pasted);
    QCOMPARE(line.Edit1->text(), QStringLiteral("Mleko"));

    // Typed, in a report dialog that sends on Enter: the same, and the dialog stays open.
    TPozycjaRaportuBazy item(context, nullptr);
    QVERIFY(ShowDialog(&item));
    const QString typed(50, QLatin1Char('m'));
    QTest::keyClicks(item.Edit1, typed);
    QCOMPARE(item.Edit1->text(), typed);
    ulvo::testing::ModalAnswerer again;
    again.Key(Qt::Key_Return);
    PressKey(&item, Qt::Key_Return);
    QVERIFY(again.WaitDone());
    QVERIFY(again.SawMessage(QString::fromUtf8("Pole \"Nazwa towaru\"")));
    QVERIFY(item.isVisible());
    QCOMPARE(item.Edit1->text(), typed);
    QCOMPARE(fx.Get("frames"), framesBefore);  // nothing reached the printer

    // Shortened, the text goes.
    TPoczatekZamowienia start(context, nullptr);
    QVERIFY(ShowDialog(&start));
    start.Edit1->setText(pasted.left(30));
    QTest::mouseClick(start.Button1, Qt::LeftButton);
    QVERIFY(!start.isVisible());
    QCOMPARE(start.result(), int(QDialog::Accepted));
    QCOMPARE(fx.Get("lasterror"), std::string("0"));
    QVERIFY(fx.Get("frames") != framesBefore);
  }

  void DatabaseReportsStepByStepAndFromTheTable() {
    auto start = Make<TPoczateRaportuBazy>();
    QVERIFY(ShowDialog(start.get()));
    start->RadioButton2->setChecked(true);
    PressKey(start.get(), Qt::Key_Return);  // the report dialogs send on Enter
    QVERIFY(!start->isVisible());
    auto item = Make<TPozycjaRaportuBazy>();
    QVERIFY(ShowDialog(item.get()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(item->Edit1));
    item->Edit1->setText(QStringLiteral("Mąka"));
    item->ComboBox1->setCurrentIndex(1);
    PressKey(item.get(), Qt::Key_Return);
    auto end = Make<TZakonczenieRaportuBazy>();
    QVERIFY(ShowDialog(end.get()));
    PressKey(end.get(), Qt::Key_Return);
    QCOMPARE(fx.SentCommands(), (std::vector<std::string>{"P0;1#b", "P1#bM\xB9ka\rB/", "P2#b"}));
    QVERIFY(fx.ui.messages.empty());

    // From the table: an empty first row sends the start and the end only.
    auto full = Make<TPelnaKontrolaBazy>();
    QVERIFY(ShowDialog(full.get()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(full->RadioButton1));
    full->StringGrid1->SetCell(1, 0, "Mleko");
    full->StringGrid1->SetCell(1, 1, "A");
    PressKey(full.get(), Qt::Key_Return);
    QVERIFY(!full->isVisible());
    auto commands = fx.SentCommands();
    QCOMPARE(std::vector<std::string>(commands.end() - 2, commands.end()),
             (std::vector<std::string>{"P0;0#b", "P2;0#b"}));

    // A refused item stops the report and says it may stay open.
    full->StringGrid1->SetCell(0, 0, "Chleb");
    full->StringGrid1->SetCell(0, 1, "A");
    full->StringGrid1->SetCell(1, 1, "H");
    QVERIFY(ShowDialog(full.get()));
    full->Button1Click();
    QVERIFY(!full->isVisible());
    commands = fx.SentCommands();
    QCOMPARE(std::vector<std::string>(commands.end() - 3, commands.end()),
             (std::vector<std::string>{"P0;0#b", "P1;0#bChleb\rA/", "P1;0#bMleko\rH/"}));
    QVERIFY(fx.ui.HasMessage("wysłane pozycje: 1 z 2"));
    QVERIFY(fx.ui.HasMessage("\"Zakończenie raportu\""));
  }

  void BusTicketReportFromTheTable() {
    Restart({"--baud", "0", "--bus"});
    fx.settings.BusMode = 1;
    auto dialog = Make<TKontrolaBazyTowarowejDlaBus>();
    QVERIFY(ShowDialog(dialog.get()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog->RadioButton1));
    dialog->RadioButton2->setChecked(true);
    const std::string row[] = {"NORMALNY", "PRZEJAZD", "A", "B"};
    for (int c = 0; c < 4; ++c) dialog->StringGrid1->SetCell(0, c, row[c]);
    // A ticket without a surcharge leaves "PTU Dopłata" empty, and the printer takes it.
    const std::string noSurcharge[] = {"ULGOWY", "PRZEJAZD", "A", ""};
    for (int c = 0; c < 4; ++c) dialog->StringGrid1->SetCell(1, c, noSurcharge[c]);
    dialog->StringGrid1->SetCell(2, 0, "MIESIĘCZNY");  // no item name: the table ends here
    dialog->StringGrid1->setFocus();
    QTest::keyClick(dialog->StringGrid1, Qt::Key_Return);  // Enter edits, it does not send
    QVERIFY(dialog->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fx.SentCommands(), (std::vector<std::string>{"P0;5#b", "P1;5#bNORMALNY\rPRZEJAZD\rAB/",
                                                          "P1;5#bULGOWY\rPRZEJAZD\rA/", "P2;5#b"}));
    QVERIFY(fx.ui.messages.empty());
    QCOMPARE(fx.Get("lastprintout"), std::string("Raport kontroli bazy towarowej"));
  }
};

QTEST_MAIN(TablesTest)
#include "tables_qtest.moc"
