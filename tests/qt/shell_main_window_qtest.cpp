// The main window against ulvo-sim over a pty: trees per family, refresh and panel, console,
// transmission log, command list, settings at close, keyboard.

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "link/link.h"
#include "ui/dialog_registry.h"
#include "shell/console_panel.h"
#include "shell/main_form.h"
#include "shell/port_settings_dialog.h"
#include "sim/sim_process.h"
#include "tests/support_qt/main_form_harness.h"
#include "tests/support_qt/modal_answerer.h"

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

QStringList TopLabels(QTreeWidget* tree) {
  QStringList labels;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) labels << tree->topLevelItem(i)->text(0);
  return labels;
}

QTreeWidgetItem* FindItem(QTreeWidget* tree, const QString& label) {
  const auto found = tree->findItems(label, Qt::MatchExactly | Qt::MatchRecursive);
  return found.isEmpty() ? nullptr : found.first();
}

QStringList TabCaptions(QTabWidget* tabs) {
  QStringList captions;
  for (int i = 0; i < tabs->count(); ++i) captions << tabs->tabText(i);
  return captions;
}

// A stand-in for a dialog another part of the program builds: it only shows that it opened.
void RegisterProbe(TMainForm& form, const char* name) {
  form.registry().Register(name, [name](AppContext&, QWidget* parent) -> QDialog* {
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(name);
    return dialog;
  });
}

void DoubleClick(QTreeWidget* tree, QTreeWidgetItem* item) {
  tree->scrollToItem(item);
  const QPoint at = tree->visualItemRect(item).center();
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
}

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

}  // namespace

class ShellMainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void altaFamilyHasItsShortTrees() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts(ModelEntry::AltaAltaPlus, {"--family", "alta", "--baud", "0"})),
             qPrintable(h.error));
    TMainForm& f = *h.form;
    QCOMPARE(TopLabels(f.Tree(Page::Konfiguracja)), QStringList{Utf8("Sposób obsługi błędów")});
    QCOMPARE(f.Tree(Page::Diagnostyczne)->topLevelItemCount(), 5);
    QCOMPARE(TabCaptions(f.PageControl1),
             (QStringList{"Podstawowe", "Konfiguracja", "Transakcja", "Diagnostyczne", "Dodatkowe",
                          "Programowanie"}));
    QVERIFY(f.windowTitle().endsWith(Utf8("Wybrany typ drukarki: Alta, Alta Plus")));
  }

  void mavitoBusShowsBusPageAndBusRateDialog() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts(ModelEntry::MavitoBus, {"--bus", "--baud", "0"})), qPrintable(h.error));
    TMainForm& f = *h.form;
    QCOMPARE(TabCaptions(f.PageControl1).last(), QString("Bus"));
    QCOMPARE(TopLabels(f.Tree(Page::Konfiguracja)).last(), QString("Czujnik pokrywy"));
    QTreeWidgetItem* rates = FindItem(f.Tree(Page::Programowanie), "Programowanie stawek PTU");
    QVERIFY(rates != nullptr);
    QCOMPARE(rates->data(0, Qt::UserRole).toString(), QString("TProgramowanieStawekPTUBus"));
    QVERIFY(f.windowTitle().endsWith(" Mavito Bus"));
  }

  void electronicCopyAddsControlNumberNodes() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts(ModelEntry::MavitoKopiaElektroniczna, {"--ecopy", "--baud", "0"})),
             qPrintable(h.error));
    TMainForm& f = *h.form;
    const QStringList diag = TopLabels(f.Tree(Page::Diagnostyczne));
    QCOMPARE(diag.size(), 10);
    QCOMPARE(diag[8], Utf8("Sprawdź nr kontrolny paragonu"));
    QCOMPARE(diag[9], Utf8("Sprawdź nr kontrolny rap. dobowego"));
    const QStringList config = TopLabels(f.Tree(Page::Konfiguracja));
    QCOMPARE(config[config.size() - 2], Utf8("Protokół transmisji"));
    QCOMPARE(config.last(), Utf8("Szybkość wydruku"));
    QVERIFY(f.windowTitle().endsWith("Mavito KE"));
    QCOMPARE(TabCaptions(f.PageControl1).size(), 6);  // no "Bus" page
  }

  void modelMenuRebuildsAtOnceAndLeavesAdditionalAlone() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts(ModelEntry::MavitoBus)), qPrintable(h.error));
    TMainForm& f = *h.form;
    QTreeWidgetItem* firstAdditional = f.Tree(Page::Dodatkowe)->topLevelItem(0);
    const QStringList additional = TopLabels(f.Tree(Page::Dodatkowe));
    ModalAnswerer answer;
    answer.Do("TModelDrukarki", [](QWidget* w) {
      auto* d = static_cast<QDialog*>(w);
      // Keyboard only: the entry with the arrows is awkward to reach in a test, so pick it
      // by its caption and apply with Enter.
      for (auto* radio : d->findChildren<QRadioButton*>())
        if (radio->text() == "Alta, Alta Plus") radio->setChecked(true);
      PressKey(d, Qt::Key_Return);
    });
    f.ModelAction->trigger();
    QVERIFY(answer.WaitDone());
    QCOMPARE(f.settings().PrinterType, std::uint8_t{0});
    QCOMPARE(f.settings().BusMode, std::uint8_t{0});
    QCOMPARE(f.Tree(Page::Konfiguracja)->topLevelItemCount(), 1);
    QCOMPARE(f.Tree(Page::Diagnostyczne)->topLevelItemCount(), 5);
    QVERIFY(FindItem(f.Tree(Page::Podstawowe), "Odczytaj raport okresowy") == nullptr);
    QVERIFY(!TabCaptions(f.PageControl1).contains("Bus"));
    QCOMPARE(TopLabels(f.Tree(Page::Dodatkowe)), additional);
    QCOMPARE(f.Tree(Page::Dodatkowe)->topLevelItem(0), firstAdditional);  // not rebuilt
    QVERIFY(f.windowTitle().endsWith(Utf8("Alta, Alta Plus")));
  }

  void cancellingTheModelMenuStillRebuilds() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts(ModelEntry::Mavito)), qPrintable(h.error));
    TMainForm& f = *h.form;
    ModalAnswerer answer;
    answer.Key("TModelDrukarki", Qt::Key_Escape);
    f.ModelAction->trigger();
    QVERIFY(answer.WaitDone());
    QCOMPARE(f.settings().PrinterType, std::uint8_t{2});
    QCOMPARE(f.Tree(Page::Podstawowe)->topLevelItemCount(), 6);
  }

  void groupNodesOpenNothingAndLeavesOpenTheirDialog() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    RegisterProbe(f, "TWplataDoKasy");
    ModalAnswerer answer;
    for (const char* group : {"Kasa", "Zamówienia", "Raport kontroli bazy towarowej"}) {
      QTreeWidgetItem* item = FindItem(f.Tree(Page::Dodatkowe), Utf8(group));
      QVERIFY(item != nullptr);
      DoubleClick(f.Tree(Page::Dodatkowe), item);
    }
    f.PageControl1->setCurrentWidget(f.PageWidget(Page::Konfiguracja));
    DoubleClick(f.Tree(Page::Konfiguracja),
                FindItem(f.Tree(Page::Konfiguracja), Utf8("Protokół transmisji")));
    QVERIFY2(answer.seen.isEmpty(), qPrintable(answer.seen.join(", ")));

    f.PageControl1->setCurrentWidget(f.PageWidget(Page::Dodatkowe));
    answer.Key("TWplataDoKasy", Qt::Key_Escape);
    DoubleClick(f.Tree(Page::Dodatkowe), FindItem(f.Tree(Page::Dodatkowe), Utf8("Wpłata do kasy")));
    QVERIFY(answer.WaitDone());
    QCOMPARE(answer.seen, QStringList{"TWplataDoKasy"});
  }

  void diagnosticsWithoutPortSaySoExceptErrorTable() {
    MainFormHarness h;
    HarnessOptions o = Opts();
    o.withSim = false;
    QVERIFY2(h.Start(o), qPrintable(h.error));
    TMainForm& f = *h.form;
    RegisterProbe(f, "TStatusDrukarki");
    RegisterProbe(f, "TDrukujTabliceBledow");
    QTreeWidget* tree = f.Tree(Page::Diagnostyczne);
    f.PageControl1->setCurrentWidget(f.PageWidget(Page::Diagnostyczne));
    ModalAnswerer answer;
    answer.Click("OK");
    tree->setCurrentItem(FindItem(tree, "Status"));
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Return);
    QVERIFY(answer.WaitDone());
    QCOMPARE(answer.messages, QStringList{"Nie wybramo portu komunikacyjnego."});
    answer.Key("TDrukujTabliceBledow", Qt::Key_Escape);
    tree->setCurrentItem(FindItem(tree, Utf8("Drukuj tablicę błędów")));
    QTest::keyClick(tree, Qt::Key_Return);
    QVERIFY(answer.WaitDone());
    QCOMPARE(answer.seen.last(), QString("TDrukujTabliceBledow"));
    QVERIFY(!f.DownloadButton->isEnabled());
    QVERIFY(!f.DataPanel->isVisible());
    // Tab passes the disabled "Pobierz dane" by, and Shift+Tab comes back to the tree.
    tree->setFocus();
    PressKey(&f, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.SearchButton);
    PressKey(&f, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), tree);
  }

  void downloadFillsThePanelWithMavitoRateNames() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    QVERIFY(f.DownloadButton->isEnabled());
    QVERIFY(!f.DataPanel->isVisible());
    QTest::mouseClick(f.DownloadButton, Qt::LeftButton);
    QVERIFY(f.DataPanel->isVisible());
    QVERIFY(!f.NoticeLabel->isVisible());
    QCOMPARE(f.PanelFields[0]->text(), QString("23.00"));
    QCOMPARE(f.PanelFields[4]->text(), QString("ZWOLN"));
    QCOMPARE(f.PanelFields[5]->text(), QString("BRAK"));
    QCOMPARE(f.PanelFields[7]->text(), QString("0.00"));
    // The console shows the query and its reply.
    QVERIFY(f.Console->Memo1->toPlainText().startsWith("<ESC>P23#s<ESC>"));
    QVERIFY(f.Console->Memo2->toPlainText().endsWith("<ESC>\\"));
  }

  void downloadShowsAltaRatesAsNumbers() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts(ModelEntry::AltaPro, {"--family", "altapro", "--baud", "0"})),
             qPrintable(h.error));
    TMainForm& f = *h.form;
    QTest::mouseClick(f.DownloadButton, Qt::LeftButton);
    QVERIFY(f.DataPanel->isVisible());
    QCOMPARE(f.PanelFields[0]->text(), QString("23.00"));
    QCOMPARE(f.PanelFields[4]->text(), QString("100.00"));
    QCOMPARE(f.PanelFields[5]->text(), QString("101.00"));
  }

  void abortedWaitShowsNoReplyNotice() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    QTest::mouseClick(f.DownloadButton, Qt::LeftButton);
    QVERIFY(f.DataPanel->isVisible());
    QCOMPARE(h.Sim("noanswer on"), std::string("ok"));
    ModalAnswerer answer;
    answer.Key("TOdbieranie", Qt::Key_Escape);
    QTest::mouseClick(f.DownloadButton, Qt::LeftButton);
    QVERIFY(answer.WaitDone());
    QVERIFY(!f.DataPanel->isVisible());
    QVERIFY(f.NoticeLabel->isVisible());
    QCOMPARE(f.NoticeLabel->text(), QString("Brak odpowiedzi od drukarki."));
    // The printer answers again: the panel comes back and the notice goes.
    QCOMPARE(h.Sim("noanswer off"), std::string("ok"));
    QTest::mouseClick(f.DownloadButton, Qt::LeftButton);
    QVERIFY(f.DataPanel->isVisible());
    QVERIFY(!f.NoticeLabel->isVisible());
  }

  void consoleSendsTypedFrameExactly() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    f.ConsoleCheck->setChecked(true);
    QPlainTextEdit* box = f.Console->Memo1;
    box->clear();
    box->setFocus();
    QTest::keyClicks(box, "<ESC>P0");
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClicks(box, "#n<ESC>");
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClicks(box, "\\");
    const std::string before = h.Sim("get frames");
    QTest::mouseClick(f.Console->SendButton, Qt::LeftButton);
    QVERIFY(WaitFor([&] { return h.Sim("get frames") != before; }));
    QCOMPARE(h.Sim("get lastframe"), std::string("ok 30236E"));
    QCOMPARE(box->toPlainText(), QString("<ESC>P0#n<ESC>\\"));
    QCOMPARE(std::string(f.link().TxBuf), std::string("\x1bP0#n\x1b\\"));
  }

  void consoleAddsChecksumWithoutSending() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    f.ConsoleCheck->setChecked(true);
    QPlainTextEdit* box = f.Console->Memo1;
    box->setPlainText("<ESC>P0#nxx<ESC>\\");
    const std::string frames = h.Sim("get frames");
    QTest::mouseClick(f.Console->ChecksumButton, Qt::LeftButton);
    const QString shown = box->toPlainText();
    QVERIFY2(QRegularExpression("^<ESC>P0#n[0-9A-F]{2}<ESC>\\\\$").match(shown).hasMatch(),
             qPrintable(shown));
    QVERIFY(!shown.contains("xx"));
    QCOMPARE(h.Sim("get frames"), frames);
    // Sending it now gives a frame the printer accepts.
    QTest::mouseClick(f.Console->SendButton, Qt::LeftButton);
    QVERIFY(WaitFor([&] { return h.Sim("get frames") != frames; }));
  }

  void consoleInsertsTokensAtTheCaret() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    f.ConsoleCheck->setChecked(true);
    QPlainTextEdit* box = f.Console->Memo1;
    box->setPlainText("P0#n");
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(0);
    box->setTextCursor(cursor);
    QTest::mouseClick(f.Console->InsertButtons[0], Qt::LeftButton);
    QCOMPARE(box->toPlainText(), QString("<ESC>P0#n"));
    QCOMPARE(box->textCursor().position(), 5);
    cursor.movePosition(QTextCursor::End);
    box->setTextCursor(cursor);
    QTest::mouseClick(f.Console->HexButton, Qt::LeftButton);  // the field left empty
    QCOMPARE(box->toPlainText(), QString("<ESC>P0#n<  H>"));
    f.Console->MaskEdit1->setFocus();
    f.Console->MaskEdit1->home(false);
    QTest::keyClicks(f.Console->MaskEdit1, "1b");
    QTest::mouseClick(f.Console->HexButton, Qt::LeftButton);
    QVERIFY(box->toPlainText().endsWith("<1BH>"));
    QTest::mouseClick(f.Console->InsertButtons[1], Qt::LeftButton);
    QVERIFY(box->toPlainText().endsWith("<1BH><CR >"));
  }

  void pastedControlBytesTurnIntoNames() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    f.ConsoleCheck->setChecked(true);
    QPlainTextEdit* box = f.Console->Memo1;
    box->clear();
    box->setFocus();
    QGuiApplication::clipboard()->setText(QString("\x1bP0#n\x1b\\"));
    QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(box->toPlainText(), QString("<ESC>P0#n<ESC>\\"));
  }

  void typingRInTheConsoleDoesNotOpenDailyReport() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    RegisterProbe(f, "TWydrukRaportuDobowego");
    f.ConsoleCheck->setChecked(true);
    ModalAnswerer answer;
    QPlainTextEdit* box = f.Console->Memo1;
    box->clear();
    box->setFocus();
    QVERIFY(f.Console->ConsoleHasFocus());
    QTest::keyClicks(box, "Rr");
    QTest::keyClick(box, Qt::Key_F3);
    QVERIFY2(answer.seen.isEmpty(), qPrintable(answer.seen.join(", ")));
    QCOMPARE(box->toPlainText(), QString("Rr"));
    // In the tree both keys open it.
    answer.Key("TWydrukRaportuDobowego", Qt::Key_Escape);
    f.Tree(Page::Dodatkowe)->setFocus();
    QVERIFY(!f.Console->ConsoleHasFocus());
    QTest::keyClick(f.Tree(Page::Dodatkowe), Qt::Key_R);
    QVERIFY(answer.WaitDone());
    answer.Key("TWydrukRaportuDobowego", Qt::Key_Escape);
    QTest::keyClick(f.Tree(Page::Dodatkowe), Qt::Key_F3);
    QVERIFY(answer.WaitDone());
    QCOMPARE(answer.seen.size(), 2);
  }

  void transmissionLogRecordsBothDirections() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    f.RejestracjaTransmisji->trigger();
    QVERIFY(f.RejestracjaTransmisji->isChecked());
    QCOMPARE(h.ReadFile("DaneWy.bin").value_or("?"), std::string());
    QCOMPARE(h.ReadFile("DaneWe.bin").value_or("?"), std::string());
    QTest::mouseClick(f.DownloadButton, Qt::LeftButton);
    QVERIFY(f.DataPanel->isVisible());
    f.RejestracjaTransmisji->trigger();  // off: the files are complete
    QVERIFY(!f.RejestracjaTransmisji->isChecked());
    const std::string out = h.ReadFile("DaneWy.bin").value_or("");
    const std::string in = h.ReadFile("DaneWe.bin").value_or("");
    QCOMPARE(out, std::string("\x1bP23#s\x1b\\"));
    QVERIFY(in.size() > 10);
    QCOMPARE(in.substr(in.size() - 2), std::string("\x1b\\"));
    QCOMPARE(in, std::string(f.link().RxBuf, f.link().RxLength()));
  }

  void transmissionLogThatCannotBeCreatedSaysSo() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    QDir(h.dir.path()).mkdir("DaneWe.bin");  // a folder where the file must go
    ModalAnswerer answer;
    answer.Click("OK");
    f.RejestracjaTransmisji->trigger();
    QVERIFY(answer.WaitDone());
    QCOMPARE(answer.messages, QStringList{Utf8("Nie mogę utworzyć pliku.")});
    QVERIFY(!f.RejestracjaTransmisji->isChecked());
  }

  void commandFileSendsOneFramePerLine() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    h.WriteFile("rozkazy.txt", "0#n\r\n1#v\r\n0#n\r\n");
    const int before = std::stoi(h.Sim("get frames").substr(3));
    ModalAnswerer answer;
    const QString path = h.Path("rozkazy.txt");
    answer.Do("CommandListDialog", [path](QWidget* w) {
      auto* dialog = static_cast<QFileDialog*>(w);
      QCOMPARE(dialog->windowTitle(), Utf8("Otwórz plik który zamierzasz wysłać."));
      dialog->selectFile(path);
      QMetaObject::invokeMethod(dialog, "accept");
    });
    f.CommandListAction->trigger();
    QVERIFY(answer.WaitDone());
    QVERIFY(WaitFor([&] { return std::stoi(h.Sim("get frames").substr(3)) == before + 3; }));
    // The last one: the line and its check (the emulator shows what stands between ESC P and
    // ESC backslash).
    const std::string last = h.Sim("get lastframe");
    QVERIFY2(
        QRegularExpression("^ok 30236E[0-9A-F]{4}$").match(QString::fromStdString(last)).hasMatch(),
        last.c_str());
  }

  void commandFileThatCannotBeOpenedNamesIt() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    h.WriteFile("znika.txt", "0#n\r\n");
    const QString path = h.Path("znika.txt");
    const std::string frames = h.Sim("get frames");
    ModalAnswerer answer;
    answer.Do("CommandListDialog", [path](QWidget* w) {
      auto* dialog = static_cast<QFileDialog*>(w);
      // The file goes away between the choice and the reading.
      QObject::connect(dialog, &QFileDialog::fileSelected, [path] { QFile::remove(path); });
      dialog->selectFile(path);
      QMetaObject::invokeMethod(dialog, "accept");
    });
    answer.Click("OK");
    f.CommandListAction->trigger();
    QVERIFY(answer.WaitDone());
    QCOMPARE(answer.messages, QStringList{Utf8("Nie mogę otworzyc pliku") + QDir::toNativeSeparators(path) + "."});
    QCOMPARE(h.Sim("get frames"), frames);
  }

  void overLongCommandFileAsksFirst() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    std::string text;
    while (text.size() <= kCommandFileMax) text += "0#n\r\n";
    h.WriteFile("dlugi.txt", text);
    const std::string frames = h.Sim("get frames");
    ModalAnswerer answer;
    const QString path = h.Path("dlugi.txt");
    answer.Do("CommandListDialog", [path](QWidget* w) {
      auto* dialog = static_cast<QFileDialog*>(w);
      dialog->selectFile(path);
      QMetaObject::invokeMethod(dialog, "accept");
    });
    answer.Key(Qt::Key_Escape);  // "&Nie"
    f.CommandListAction->trigger();
    QVERIFY(answer.WaitDone());
    QCOMPARE(answer.messages.size(), 1);
    QVERIFY(answer.messages[0].contains("16384"));
    QCOMPARE(h.Sim("get frames"), frames);
  }

  void consoleKeepsTheTypedFrameWhenTheLineFails() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    f.ConsoleCheck->setChecked(true);
    QCOMPARE(h.Sim("disconnect"), std::string("ok"));
    QVERIFY(WaitFor([&] { return h.Sim("get frames").rfind("error", 0) == 0; }));
    f.Console->Memo1->setPlainText("<ESC>P0#n<ESC>\\");
    ModalAnswerer answer;
    for (int i = 0; i < 3; ++i) answer.DoAny([](QWidget* w) { PressKey(w, Qt::Key_Escape); });
    QTest::mouseClick(f.Console->SendButton, Qt::LeftButton);
    QVERIFY(WaitFor([&] { return QApplication::activeModalWidget() == nullptr; }));
    QCOMPARE(answer.messages.value(0), Utf8("Wystąpił błąd transmisji."));
    QCOMPARE(f.Console->Memo1->toPlainText(), QString("<ESC>P0#n<ESC>\\"));
  }

  void closingWritesSettingsIntoTheProgramDirectory() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts(ModelEntry::AltaBus)), qPrintable(h.error));
    h.form->settings().LetterCoding = 3;
    h.form->close();
    const auto text = h.ReadFile("ustaw.txt");
    QVERIFY(text.has_value());
    const Settings read = ParseSettingsText(*text);
    QCOMPARE(read.PortNumber, std::uint8_t{1});
    QCOMPARE(read.PrinterType, std::uint8_t{1});
    QCOMPARE(read.BusMode, std::uint8_t{1});
    QCOMPARE(read.LetterCoding, std::uint8_t{3});
    QVERIFY(!h.form->link().PortOpen());
  }

  void endMenuLeavesSettingsFileAsItWas() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts(ModelEntry::AltaBus)), qPrintable(h.error));
    const auto before = h.ReadFile("ustaw.txt");
    h.form->EndAction->trigger();
    QVERIFY(!h.form->isVisible());
    QCOMPARE(h.ReadFile("ustaw.txt"), before);
  }

  void cancellingModelAtStartEndsTheProgramAndWritesSettings() {
    MainFormHarness h;
    HarnessOptions o = Opts();
    o.model.reset();
    QVERIFY2(h.Start(o), qPrintable(h.error));
    QVERIFY(WaitFor([&] { return !h.form->isVisible(); }));
    QVERIFY(h.form->FirstShowPending);
    const auto text = h.ReadFile("ustaw.txt");
    QVERIFY(text.has_value());
    QCOMPARE(ParseSettingsText(*text).PortNumber, std::uint8_t{1});
  }

  void keyboardAfterModelDialog() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    QTreeWidget* tree = f.Tree(Page::Dodatkowe);
    QCOMPARE(f.PageControl1->currentWidget(), f.PageWidget(Page::Dodatkowe));
    QCOMPARE(QApplication::focusWidget(), tree);
    QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
    QTest::keyClick(tree, Qt::Key_End);
    QCOMPARE(tree->currentItem()->text(0), Utf8("Sterowanie wyświetlaczem/szufladą"));
    QTest::keyClick(tree, Qt::Key_Home);
    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(tree->currentItem()->text(0), QString("Raport kasy/zmiany"));
    // Right leads to the tab row; there the arrows switch pages and the tree takes the focus.
    QTest::keyClick(tree, Qt::Key_Right);
    QCOMPARE(QApplication::focusWidget(), f.PageControl1->tabBar());
    QTest::keyClick(f.PageControl1->tabBar(), Qt::Key_Right);
    QCOMPARE(f.PageControl1->currentWidget(), f.PageWidget(Page::Programowanie));
    QCOMPARE(QApplication::focusWidget(), f.Tree(Page::Programowanie));
    QTest::keyClick(f.Tree(Page::Programowanie), Qt::Key_Left);
    QTest::keyClick(f.PageControl1->tabBar(), Qt::Key_Left);
    QTest::keyClick(f.PageControl1->tabBar(), Qt::Key_Left);
    QCOMPARE(f.PageControl1->currentWidget(), f.PageWidget(Page::Diagnostyczne));
    QCOMPARE(QApplication::focusWidget(), f.Tree(Page::Diagnostyczne));
    // Tab: tree, the two buttons, the check box, then the console.
    f.ConsoleCheck->setChecked(true);
    f.Tree(Page::Diagnostyczne)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.DownloadButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.SearchButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.ConsoleCheck);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.Console->Memo1);
    QTest::keyClick(f.DownloadButton, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), f.Tree(Page::Diagnostyczne));
  }

  void enterOpensTheNodeOnEveryPage() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    RegisterProbe(f, "TProgramowanieNaglowka");
    RegisterProbe(f, "TWydrukRaportOkresowy");
    ModalAnswerer answer;
    answer.Key("TWydrukRaportOkresowy", Qt::Key_Escape);
    QTest::keyClick(f.Tree(Page::Dodatkowe), Qt::Key_Return);
    QVERIFY(answer.WaitDone());
    f.PageControl1->setCurrentWidget(f.PageWidget(Page::Programowanie));
    f.Tree(Page::Programowanie)->setFocus();
    answer.Key("TProgramowanieNaglowka", Qt::Key_Escape);
    QTest::keyClick(f.Tree(Page::Programowanie), Qt::Key_Return);
    QVERIFY(answer.WaitDone());
  }

  void consoleHiddenGivesReducedHeight() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    QCOMPARE(f.ReducedWindowHeight, static_cast<int>(f.FullHeight * 0.5684931506));
    QVERIFY(!f.Console->isVisible());
    QCOMPARE(f.height(), f.ReducedWindowHeight);
    f.ConsoleCheck->setChecked(true);
    QVERIFY(f.Console->SentGroup->isVisible());
    QVERIFY(f.Console->ReceivedGroup->isVisible());
    QCOMPARE(f.height(), f.FullHeight);
    f.ConsoleCheck->setChecked(false);
    QCOMPARE(f.height(), f.ReducedWindowHeight);
  }

  void codingNameAndDownloadButtonFollowTheSettings() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    QCOMPARE(f.CodingLabel->text(), QString("MAZOVIA"));
    QCOMPARE(f.DownloadButton->toolTip(), Utf8("Pobranie informacji kasowych."));
    QCOMPARE(f.SearchButton->toolTip(),
             Utf8("Wyszukanie drukarki fiskalnej na dostępnych portach szeregowych."));
    f.settings().LetterCoding = 2;
    f.RefreshMainWindow();
    QCOMPARE(f.CodingLabel->text(), QString("ISOLATIN"));
  }

  void binaryTransferWithoutPortSaysSo() {
    MainFormHarness h;
    HarnessOptions o = Opts();
    o.withSim = false;
    QVERIFY2(h.Start(o), qPrintable(h.error));
    ModalAnswerer answer;
    answer.Key(Qt::Key_Return);
    h.form->BinaryFileAction->trigger();
    QVERIFY(answer.WaitDone());
    QCOMPARE(answer.messages, QStringList{"Nie wybrano portu komunikacyjnego."});
  }

  void portThatCannotBeOpenedAtStartIsReportedOnce() {
    qputenv("ULVO_COM7", QByteArray("/nonexistent/ulvo-tty"));
    MainFormHarness h;
    HarnessOptions o = Opts();
    o.withSim = false;
    o.settingsText = SettingsTextFor(7);
    ModalAnswerer answer;
    answer.Click("OK");
    QVERIFY2(h.Start(o), qPrintable(h.error));
    qunsetenv("ULVO_COM7");
    QVERIFY(answer.Done());
    QCOMPARE(answer.messages, QStringList{Utf8("Nie mogę otworzyć portu COM7.")});
    TMainForm& f = *h.form;
    QCOMPARE(f.settings().PortNumber, kNoPort);
    QVERIFY(!f.DownloadButton->isEnabled());
    QVERIFY(!f.DataPanel->isVisible());
    f.RefreshMainWindow();  // no second attempt, no second message
    QCOMPARE(answer.messages.size(), 1);
  }

  void searchButtonSaysWhenTheSearchIsMissing() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    if (f.registry().Has("TSzukamdrukarki")) QSKIP("the printer search is built");
    ModalAnswerer answer;
    answer.Key(Qt::Key_Escape);
    QTest::mouseClick(f.SearchButton, Qt::LeftButton);
    QVERIFY(answer.WaitDone());
    QCOMPARE(answer.messages.size(), 1);
    QVERIFY(answer.messages[0].contains("Parametry transmisji"));
  }

  void searchThatFindsNothingSaysSoAndRebuilds() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    RegisterProbe(f, "TSzukamdrukarki");
    f.settings().PrinterType = 0;  // as if the search had found an Alta
    ModalAnswerer answer;
    answer.Key("TSzukamdrukarki", Qt::Key_Escape);
    answer.Click("OK");
    QTest::mouseClick(f.SearchButton, Qt::LeftButton);
    QVERIFY(answer.WaitDone());
    QCOMPARE(answer.messages, QStringList{Utf8("Nie znaleziono żadnej drukarki fiskalnej")});
    QCOMPARE(f.Tree(Page::Konfiguracja)->topLevelItemCount(), 1);
  }

  void busTreeOpensItsDialog() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts(ModelEntry::MavitoBus, {"--bus", "--baud", "0"})), qPrintable(h.error));
    TMainForm& f = *h.form;
    RegisterProbe(f, "TKontrolaBazyTowarowejDlaBus");
    f.PageControl1->setCurrentWidget(f.PageWidget(Page::Bus));
    QTreeWidget* tree = f.Tree(Page::Bus);
    ModalAnswerer answer;
    answer.Key("TKontrolaBazyTowarowejDlaBus", Qt::Key_Escape);
    DoubleClick(tree, tree->topLevelItem(0));
    QVERIFY(answer.WaitDone());
  }

  void vanishedPortIsReportedAndLosesNothing() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    f.settings().LetterCoding = 1;
    h.sim->Kill();
    ModalAnswerer answer;
    // Whatever the link says about the lost port, answer it and any wait from the keyboard.
    for (int i = 0; i < 4; ++i) answer.DoAny([](QWidget* w) { PressKey(w, Qt::Key_Escape); });
    QTest::mouseClick(f.DownloadButton, Qt::LeftButton);
    QVERIFY(WaitFor([&] { return QApplication::activeModalWidget() == nullptr; }));
    QVERIFY(!f.DataPanel->isVisible());
    f.close();
    const auto text = h.ReadFile("ustaw.txt");
    QVERIFY(text.has_value());
    QCOMPARE(ParseSettingsText(*text).LetterCoding, std::uint8_t{1});
  }
};

QTEST_MAIN(ShellMainWindowTest)
#include "shell_main_window_qtest.moc"
