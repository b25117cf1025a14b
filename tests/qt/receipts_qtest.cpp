// The receipt and currency dialogs against ulvo-sim over a real pty: a whole receipt by hand,
// the receipt state the dialogs keep, the keys, and the currency lines of the extended
// confirmation.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <initializer_list>
#include <memory>
#include <vector>

#include "tests/qt/commands_sim_fixture.h"
#include "tests/support_qt/modal_answerer.h"
#include "tools/currency_dialogs.h"
#include "tools/receipt_dialogs.h"
#include "tools/register_tools.h"
#include "ui/dialog_registry.h"

using namespace ulvo;
using ulvo::testing::PressKey;
using ulvo::testing::ShowDialog;

class ReceiptDialogsTest : public QObject {
  Q_OBJECT

 private:
  ulvo::testing::SimDialogFixture fx;
  std::unique_ptr<TPoczatekTransakcji> open;
  std::unique_ptr<TLinijkaParagonu> line;
  std::unique_ptr<TZatwierdzenieTransakcji> confirm;
  std::unique_ptr<TZatwierdzenieRozszerzone> extended;

  double Total(const char* item) { return std::stod(fx.Get(item)); }

  // Opens a receipt with Enter from the first field.
  void OpenReceipt() {
    QVERIFY(ShowDialog(open.get()));
    PressKey(open.get(), Qt::Key_Return);
    QVERIFY(!open->isVisible());
    QCOMPARE(fx.Get("intransaction"), std::string("1"));
  }

  // Types a line the way a person does: name, Enter, quantity, Tab, PTU, Tab, price, Tab,
  // then Enter sends.
  void SendLine(const char* name, const char* quantity, int ptu, const char* price,
                const char* expectedGross, bool storno = false) {
    QVERIFY(ShowDialog(line.get()));
    QCOMPARE(QApplication::focusWidget(), line->Edit1);
    QCOMPARE(line->Edit1->text(), QString::number(fx.receipt.NextLineNumber));
    line->CheckBox1->setChecked(storno);
    QTest::keyClick(line->Edit1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), line->Edit2);
    line->Edit2->clear();
    QTest::keyClicks(line->Edit2, QString::fromUtf8(name));
    QTest::keyClick(line->Edit2, Qt::Key_Return);  // on to "Ilość", nothing sent
    QVERIFY(line->isVisible());
    QCOMPARE(QApplication::focusWidget(), line->Edit3);
    line->Edit3->clear();
    QTest::keyClicks(line->Edit3, QString::fromUtf8(quantity));
    QTest::keyClick(line->Edit3, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), line->ComboBox1);
    line->ComboBox1->setCurrentIndex(ptu);
    QTest::keyClick(line->ComboBox1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), line->Edit4);
    line->Edit4->clear();
    QTest::keyClicks(line->Edit4, QString::fromUtf8(price));
    QTest::keyClick(line->Edit4, Qt::Key_Tab);
    QCOMPARE(line->Edit5->text(), QString::fromUtf8(expectedGross));
    PressKey(line.get(), Qt::Key_Return);
    QVERIFY(!line->isVisible());
  }

 private slots:
  void init() {
    fx.settings = Settings{};
    fx.ui = ScriptedLinkUi{};
    fx.receipt = ReceiptState{};
    const std::string error = fx.Start({"--baud", "0"});
    QVERIFY2(error.empty(), error.c_str());
    open = std::make_unique<TPoczatekTransakcji>(*fx.context, nullptr);
    line = std::make_unique<TLinijkaParagonu>(*fx.context, nullptr);
    confirm = std::make_unique<TZatwierdzenieTransakcji>(*fx.context, nullptr);
    extended = std::make_unique<TZatwierdzenieRozszerzone>(*fx.context, nullptr);
  }
  void cleanup() {
    open.reset();
    line.reset();
    confirm.reset();
    extended.reset();
    fx.Stop();
  }

  void EveryReceiptAndCurrencyNodeOpensItsDialog() {
    DialogRegistry registry(*fx.context);
    RegisterReceiptDialogs(registry);
    for (const char* name :
         {"TPoczatekTransakcji", "TLinijkaParagonu", "TZatwierdzenieTransakcji",
          "TZatwierdzenieRozszerzone", "TAnulowanieTransakcji", "TPowitowanieSprzedarzy",
          "TTransakcjaUznana", "TPrzeliczenieNaWaluty", "TZmianaWalutyEwidencyjnej"}) {
      QDialog* dialog = registry.Get(name);
      QVERIFY2(dialog != nullptr, name);
      QCOMPARE(dialog->objectName(), QString::fromLatin1(name));
      QVERIFY(ShowDialog(dialog));
      // Every one opens with the focus in one of its own fields and closes on Escape.
      QVERIFY(dialog->isAncestorOf(QApplication::focusWidget()));
      PressKey(dialog, Qt::Key_Escape);
      QVERIFY(!dialog->isVisible());
    }
    QVERIFY(fx.SentCommands().empty());
  }

  void WholeReceiptRaisesThePrintersTotalsByItsSum() {
    const double totalA = Total("totalA");
    const double totalB = Total("totalB");
    const std::string receipts = fx.Get("receipts");
    fx.receipt.NextLineNumber = 9;  // left over from an earlier receipt
    fx.receipt.ReceiptTotal = 5.0;

    OpenReceipt();
    QCOMPARE(fx.LastCommand(), std::string("P0;1$h#\r"));
    QCOMPARE(fx.receipt.NextLineNumber, 1);
    QCOMPARE(fx.receipt.ReceiptTotal, 0.0);

    SendLine("Mleko", "2", 0, "1,25", "2.50");
    QCOMPARE(fx.LastCommand(), std::string("P1$lMleko\r2\rA/1,25/2.50/"));
    SendLine("Chleb", "1.5", 1, "3.99", "5.99");  // 5.985 rounds up
    QCOMPARE(fx.LastCommand(), std::string("P2$lChleb\r1.5\rB/3.99/5.99/"));
    QCOMPARE(fx.receipt.NextLineNumber, 3);
    QVERIFY(qAbs(fx.receipt.ReceiptTotal - 8.49) < 1e-9);
    QVERIFY(fx.ui.messages.empty());

    QVERIFY(ShowDialog(confirm.get()));
    QCOMPARE(QApplication::focusWidget(), confirm->Edit1);
    QCOMPARE(confirm->Edit2->text(), QStringLiteral("8.49"));
    confirm->Edit1->setText(QStringLiteral("K1"));
    confirm->Edit3->setText(QStringLiteral("10.00"));
    PressKey(confirm.get(), Qt::Key_Return);  // Enter does not confirm here
    QVERIFY(confirm->isVisible());
    QTest::mouseClick(confirm->Button1, Qt::LeftButton);
    QVERIFY(!confirm->isVisible());
    QCOMPARE(fx.LastCommand(), std::string("P1;0;0;0;0;8$eK1\r10.00/8.49/"));
    QVERIFY(fx.ui.messages.empty());

    QCOMPARE(fx.Get("intransaction"), std::string("0"));
    QCOMPARE(std::stoi(fx.Get("receipts")), std::stoi(receipts) + 1);
    QVERIFY(qAbs(Total("totalA") - totalA - 2.50) < 1e-9);
    QVERIFY(qAbs(Total("totalB") - totalB - 5.99) < 1e-9);
    // Confirming does not reset what the program keeps.
    QCOMPARE(fx.receipt.NextLineNumber, 3);
  }

  void StornoLineLowersTheTotal() {
    OpenReceipt();
    SendLine("Mleko", "1", 0, "3", "3.00");
    SendLine("Chleb", "1", 0, "4", "4.00");
    SendLine("Mleko", "1", 0, "3", "3.00", true);
    QCOMPARE(fx.LastCommand(), std::string("P0$lMleko\r1\rA/3/3.00/"));
    QVERIFY(qAbs(fx.receipt.ReceiptTotal - 4.0) < 1e-9);
    QCOMPARE(fx.receipt.NextLineNumber, 4);

    // The printer's own sum agrees: a confirmation of 4.00 goes through.
    const double totalA = Total("totalA");
    QVERIFY(ShowDialog(confirm.get()));
    QCOMPARE(confirm->Edit2->text(), QStringLiteral("4.00"));
    confirm->Edit3->setText(QStringLiteral("0"));
    QTest::mouseClick(confirm->Button1, Qt::LeftButton);
    QVERIFY(fx.ui.messages.empty());
    QVERIFY(qAbs(Total("totalA") - totalA - 4.0) < 1e-9);
  }

  void RefusedLineKeepsTheCounters() {
    // No receipt open: the printer refuses the line and the program keeps its numbers.
    fx.receipt.NextLineNumber = 5;
    fx.receipt.ReceiptTotal = 1.0;
    QVERIFY(ShowDialog(line.get()));
    line->Edit2->setText(QStringLiteral("Mleko"));
    line->Edit3->setText(QStringLiteral("1"));
    line->Edit4->setText(QStringLiteral("2"));
    line->Edit5->setText(QStringLiteral("2"));
    QTest::mouseClick(line->Button1, Qt::LeftButton);
    QVERIFY(!line->isVisible());
    QVERIFY(fx.ui.HasMessage("Wystąpił bład nr: 21"));
    QCOMPARE(fx.receipt.NextLineNumber, 5);
    QCOMPARE(fx.receipt.ReceiptTotal, 1.0);
  }

  void UnreadableFieldsKeepTheLineDialogOpen() {
    QVERIFY(ShowDialog(line.get()));
    line->Edit3->setFocus();
    line->Edit3->setText(QStringLiteral("dwa"));
    line->Edit5->setText(QStringLiteral("7.77"));
    QTest::keyClick(line->Edit3, Qt::Key_Tab);
    QVERIFY(fx.ui.HasMessage("Błędna wartość ilość"));
    QCOMPARE(line->Edit5->text(), QStringLiteral("7.77"));  // nothing changed

    line->Edit5->setText(QStringLiteral("x"));
    const std::size_t frames = fx.SentFrames().size();
    QTest::mouseClick(line->Button1, Qt::LeftButton);
    QVERIFY(line->isVisible());
    QVERIFY(fx.ui.HasMessage("Błędna Wartość Brutto"));
    line->Edit5->setText(QStringLiteral("1.00"));
    line->ComboBox2->setCurrentIndex(2);
    QVERIFY(line->Edit6->isEnabled());
    line->Edit6->setText(QStringLiteral("?"));
    QTest::mouseClick(line->Button1, Qt::LeftButton);
    QVERIFY(line->isVisible());
    QVERIFY(fx.ui.HasMessage("Błędna Wartość Rabatu"));
    line->Edit2->setText(QString(50, QLatin1Char('N')));
    line->Edit6->setText(QStringLiteral("10"));
    QTest::mouseClick(line->Button1, Qt::LeftButton);
    QVERIFY(line->isVisible());
    QVERIFY(fx.ui.HasMessage("\"Nazwa towaru\""));
    QCOMPARE(fx.SentFrames().size(), frames);
    line->ComboBox2->setCurrentIndex(0);
    QVERIFY(!line->Edit6->isEnabled());
  }

  void BlockModeAndBarCode() {
    QVERIFY(ShowDialog(open.get()));
    // On-line: the count field is off, so the system number has the focus.
    QVERIFY(!open->Edit1->isEnabled());
    QCOMPARE(QApplication::focusWidget(), open->Edit2);
    open->RadioButton1->setChecked(true);
    QVERIFY(open->Edit1->isEnabled());
    open->Edit1->setText(QStringLiteral("2"));
    open->Edit2->setText(QStringLiteral("ABC"));
    open->CheckBox1->setChecked(true);
    QTest::mouseClick(open->Button1, Qt::LeftButton);
    QCOMPARE(fx.LastCommand(), std::string("P2;1$h##0#\r"));
    QVERIFY(fx.ui.messages.empty());
  }

  void ExtendedConfirmationWithACurrencyPayment() {
    OpenReceipt();
    SendLine("Kawa", "1", 0, "10", "10.00");

    ulvo::testing::ModalAnswerer answer;
    answer.Do(QStringLiteral("TWaluty"), [](QWidget* window) {
      auto* currencies = static_cast<TWaluty*>(window);
      TWaluty::Entry& e = currencies->Entries[0];
      window->activateWindow();
      QTRY_COMPARE(QApplication::focusWidget(), e.check);  // the first box has the focus
      QTest::keyClick(e.check, Qt::Key_Space);
      QVERIFY(e.group->isVisible());
      QVERIFY(!currencies->Entries[1].group->isVisible());
      e.multiplier->setCurrentIndex(2);  // 100
      e.amount->setText(QStringLiteral("50"));
      // A rate that is no number keeps the dialog open.
      e.rate->setText(QStringLiteral("3,7x"));
      QTest::mouseClick(currencies->Button1, Qt::LeftButton);
      QVERIFY(currencies->isVisible());
      e.rate->setText(QStringLiteral("3,7887"));
      QTest::mouseClick(currencies->Button1, Qt::LeftButton);
    });
    QVERIFY(ShowDialog(extended.get()));
    QCOMPARE(QApplication::focusWidget(), extended->Edit1);
    QCOMPARE(extended->Edit1->text(), QStringLiteral("10.00"));
    QTest::mouseClick(extended->Button3, Qt::LeftButton);
    QVERIFY(answer.WaitDone());
    QVERIFY(fx.ui.HasMessage("\"Przelicznik\""));
    QCOMPARE(extended->Memo1->toPlainText(),
             QStringLiteral("$16 1.89 50.00 0.00 100 EUR 3.7887 0.00"));

    extended->CheckBox1->setChecked(true);
    extended->Edit2->setText(QStringLiteral("K1"));
    extended->AmountChecks[0]->setChecked(true);
    extended->Amounts[0]->setText(QStringLiteral("10.00"));
    PressKey(extended.get(), Qt::Key_Escape);
    QVERIFY(!extended->isVisible());
    QCOMPARE(fx.Get("intransaction"), std::string("1"));  // Escape sent nothing

    const double totalA = Total("totalA");
    QVERIFY(ShowDialog(extended.get()));
    QTest::mouseClick(extended->Button1, Qt::LeftButton);
    QVERIFY(!extended->isVisible());
    QCOMPARE(fx.LastCommand(),
             std::string("P1;0;0;0;1;0;0;0;0;0;0$xK1\r$16 1.89 50.00 0.00 100 EUR 3.7887 "
                         "0.00\r\r\r\r\r\r\r\r10.00/0.00/10.00/0.00/0.00/0.00/0.00/0.00/0.00/"));
    QVERIFY(fx.ui.messages.size() == 1);  // only the rate message from before
    QVERIFY(qAbs(Total("totalA") - totalA - 10.0) < 1e-9);
  }

  void TabRunsThroughTheExtendedConfirmationInOrder() {
    for (QCheckBox* box : extended->AmountChecks) box->setChecked(true);
    extended->CheckBox1->setChecked(true);
    extended->ComboBox1->setCurrentIndex(1);
    QVERIFY(ShowDialog(extended.get()));
    std::vector<QWidget*> expected = {extended->Edit1, extended->Edit2};
    for (std::size_t i = 0; i < extended->Amounts.size(); ++i) {
      expected.push_back(extended->AmountChecks[i]);
      expected.push_back(extended->Amounts[i]);
      if (i == 4) expected.push_back(extended->Edit3);
      if (i == 5) expected.push_back(extended->Edit4);
      if (i == 6) expected.push_back(extended->Edit5);
    }
    for (QWidget* w :
         std::initializer_list<QWidget*>{extended->ComboBox1, extended->Edit6, extended->CheckBox1,
                                         extended->Memo1, extended->Button3, extended->Button1}) {
      expected.push_back(w);
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
      QCOMPARE(QApplication::focusWidget(), expected[i]);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // Unchecked amounts are skipped.
    extended->AmountChecks[1]->setChecked(false);
    extended->AmountChecks[0]->setFocus();
    QTest::keyClick(extended->AmountChecks[0], Qt::Key_Tab);
    QTest::keyClick(extended->Amounts[0], Qt::Key_Tab);
    QTest::keyClick(extended->AmountChecks[1], Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), extended->AmountChecks[2]);
  }

  void CurrencyCodeIsRepeatedAfterTheAmount() {
    TWaluty currencies(fx.receipt.Currencies, *fx.link, nullptr);
    QVERIFY(ShowDialog(&currencies));
    TWaluty::Entry& e = currencies.Entries[1];
    QVERIFY(!e.group->isVisible());
    e.check->setFocus();
    QTest::keyClick(e.check, Qt::Key_Space);
    QVERIFY(e.group->isVisible());
    QTest::keyClick(e.check, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), e.multiplier);
    QTest::keyClick(e.multiplier, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), e.code);
    e.code->selectAll();
    QTest::keyClicks(e.code, QStringLiteral("usd$"));  // the '$' is not taken
    QCOMPARE(e.code->text(), QStringLiteral("usd"));
    QTest::keyClick(e.code, Qt::Key_Tab);
    QCOMPARE(e.codeLabel->text(), QStringLiteral("usd"));
    QCOMPARE(QApplication::focusWidget(), e.rate);
    e.rate->setText(QStringLiteral("4.0512"));
    e.amount->setText(QStringLiteral("2,5"));
    PressKey(&currencies, Qt::Key_Return);  // Enter is "OK"
    QVERIFY(!currencies.isVisible());
    QCOMPARE(currencies.result(), int(QDialog::Accepted));
    const CurrencyPayment& stored = fx.receipt.Currencies.entries[1];
    QCOMPARE(stored.Enabled, std::uint8_t(1));
    QCOMPARE(QString::fromLatin1(stored.Code), QStringLiteral("USD"));
    QCOMPARE(QString::fromLatin1(stored.RateText), QStringLiteral("4.0512"));
    QVERIFY(qAbs(stored.Value - 10.128) < 1e-9);
    QCOMPARE(fx.receipt.Currencies.entries[0].Enabled, std::uint8_t(0));
  }

  void CancelAndCardSlips() {
    OpenReceipt();
    TAnulowanieTransakcji cancel(*fx.context, nullptr);
    QVERIFY(ShowDialog(&cancel));
    PressKey(&cancel, Qt::Key_Return);
    QCOMPARE(fx.LastCommand(), std::string("P0$e"));
    QCOMPARE(fx.Get("intransaction"), std::string("0"));

    TPowitowanieSprzedarzy slip(*fx.context, nullptr);
    QVERIFY(ShowDialog(&slip));
    QCOMPARE(QApplication::focusWidget(), slip.RadioButtons[0]);
    const char* texts[11] = {"1", "2", "3", "Jan", "T1", "VISA", "1234", "12", "30", "A1", "5.00"};
    for (int i = 0; i < 11; ++i) slip.Edits[i]->setText(QString::fromUtf8(texts[i]));
    slip.RadioButtons[2]->setChecked(true);
    slip.CheckBox1->setChecked(true);
    slip.Edits[10]->setFocus();
    PressKey(&slip, Qt::Key_Return);
    QVERIFY(!slip.isVisible());
    QCOMPARE(fx.LastCommand(),
             std::string("P0;2#g1\r2\r3\rJan\rT1\rVISA\r1234\r12\r30\rA1\r5.00/"));
    QVERIFY(fx.ui.messages.empty());

    TTransakcjaUznana refund(*fx.context, nullptr);
    QVERIFY(ShowDialog(&refund));
    for (int i = 0; i < 11; ++i) refund.Edits[i]->setText(QString::fromUtf8(texts[i]));
    QTest::mouseClick(refund.Button1, Qt::LeftButton);
    QCOMPARE(fx.LastCommand(),
             std::string("P1;0#h1\r2\r3\rJan\rT1\rVISA\r1234\r12\r30\rA1\r5.00/"));
  }

  void CurrencyCommands() {
    TPrzeliczenieNaWaluty conversion(*fx.context, nullptr);
    QVERIFY(ShowDialog(&conversion));
    QVERIFY(!conversion.Edit2->isEnabled());
    conversion.RadioButton1->setChecked(true);
    QVERIFY(conversion.Edit2->isEnabled());
    conversion.Edit2->setText(QStringLiteral("4,25"));
    PressKey(&conversion, Qt::Key_Return);
    QVERIFY(!conversion.isVisible());
    QCOMPARE(fx.LastCommand(), std::string("P1$$1/EUR\r4.25\rPLN\r"));
    QVERIFY(fx.ui.messages.empty());

    TZmianaWalutyEwidencyjnej change(*fx.context, nullptr);
    QVERIFY(ShowDialog(&change));
    QCOMPARE(QApplication::focusWidget(), change.RadioButton1);
    QVERIFY(!change.MaskEdit1->isEnabled());
    change.RadioButton3->setChecked(true);
    QVERIFY(!change.Edit1->isEnabled());
    change.DateTimePicker1->setDate(QDate(2027, 3, 4));
    change.MaskEdit1->setText(QStringLiteral("07:30"));
    QTest::mouseClick(change.Button1, Qt::LeftButton);
    QCOMPARE(fx.LastCommand(), std::string("P2;27;3;4;07;30##PLN\r"));
    QVERIFY(fx.ui.messages.empty());
  }
};

QTEST_MAIN(ReceiptDialogsTest)
#include "receipts_qtest.moc"
