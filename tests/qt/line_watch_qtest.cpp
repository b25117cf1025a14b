// The main window when the printer's adapter is pulled out and put back, and the traffic view
// "Podgląd transmisji" over a session with ulvo-sim.
// POSIX only: the adapter is a symbolic link to the emulator's pty, made and removed by the test.

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "common/cp1250.h"
#include "link/frame.h"
#include "link/link.h"
#include "shell/main_form.h"
#include "shell/traffic_view.h"
#ifdef ULVO_WITH_PCAP
#include "link/pcap_file.h"
#endif
#include "sim/sim_process.h"
#include "tests/support_qt/main_form_harness.h"
#include "tests/support_qt/modal_answerer.h"

using namespace ulvo;
using namespace ulvo::testing;

namespace {

HarnessOptions Opts() {
  HarnessOptions o;
  o.simBinary = ULVO_SIM_PATH;
  return o;
}

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

std::unique_ptr<SimProcess> StartSim() {
  return SimProcess::Start(ULVO_SIM_PATH, {"--baud", "0"});
}

// Presses "Pobierz dane", which has the keyboard focus, as a person would.
void PressDownload(TMainForm& form) {
  QTest::keyClick(form.DownloadButton, Qt::Key_Space);
}

}  // namespace

class LineWatchTest : public QObject {
  Q_OBJECT
 private slots:
  // COM 2 names a symlink to the emulator's pty, as udev names an adapter: removing it is
  // pulling the adapter out, making it again to a fresh emulator is putting it back.
  void adapterPulledOutAndPutBackFromTheKeyboard() {
    MainFormHarness h;
    const std::filesystem::path adapter = h.Path("ttyULVO2").toStdString();
    auto first = StartSim();
    QVERIFY(first);
    std::filesystem::create_symlink(first->PtyPath(), adapter);
    qputenv("ULVO_COM2", QByteArray(adapter.c_str()));
    HarnessOptions o = Opts();
    o.settingsText = SettingsTextFor(2);
    QVERIFY2(h.Start(o), qPrintable(h.error));
    TMainForm& f = *h.form;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.DownloadButton);
    PressDownload(f);
    QVERIFY(f.DataPanel->isVisible());

    QCOMPARE(first->Control("disconnect"), std::string("ok"));
    first.reset();
    std::filesystem::remove(adapter);
    ModalAnswerer pulled;
    pulled.Key(Qt::Key_Return);
    PressDownload(f);
    QVERIFY(pulled.WaitDone());
    QCOMPARE(pulled.messages, QStringList{Utf8("Wystąpił błąd transmisji.")});
    QVERIFY(!f.DataPanel->isVisible());
    QVERIFY(f.NoticeLabel->isVisible());
    QCOMPARE(f.NoticeLabel->text(), QString::fromStdString(LostPortNotice(2)));
    QVERIFY(f.DownloadButton->isEnabled());
    QCOMPARE(f.settings().PortNumber, std::uint8_t{2});

    // Still out: one try, one message.
    ModalAnswerer stillOut;
    stillOut.Key(Qt::Key_Return);
    PressDownload(f);
    QVERIFY(stillOut.WaitDone());
    QCOMPARE(stillOut.messages.size(), 1);
    QVERIFY(stillOut.messages[0].startsWith(Utf8("Port COM2 nadal jest niedostępny.")));

    auto second = StartSim();
    QVERIFY(second);
    std::filesystem::create_symlink(second->PtyPath(), adapter);
    ModalAnswerer back;
    PressDownload(f);
    QVERIFY(back.messages.isEmpty());
    QVERIFY(f.DataPanel->isVisible());
    QVERIFY(!f.NoticeLabel->isVisible());
    QCOMPARE(second->Control("get frames"), std::string("ok 1"));

    f.close();
    const auto text = h.ReadFile("ustaw.txt");
    QVERIFY(text.has_value());
    QCOMPARE(ParseSettingsText(*text).PortNumber, std::uint8_t{2});
    qunsetenv("ULVO_COM2");
  }

  void trafficViewShowsASessionSavesItAndStopsWhenClosed() {
    MainFormHarness h;
    QVERIFY2(h.Start(Opts()), qPrintable(h.error));
    TMainForm& f = *h.form;
    QTest::keyClick(&f, Qt::Key_N, Qt::AltModifier);  // "&Narzędzia"
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_T);  // "Podgląd &transmisji"
    QTRY_VERIFY(f.TrafficView != nullptr && f.TrafficView->isVisible());
    TPodgladTransmisji& view = *f.TrafficView;

#ifdef ULVO_WITH_PCAP
    // A capture from the menu runs beside the view.
    QVERIFY(!f.StartCapture(h.Path("menu.pcap").toStdString()));
    QVERIFY(f.CaptureAction->isChecked());
#endif
    // A status query, a sale line refused outside a receipt, a frame with a wrong check.
    Link& link = f.link();
    QVERIFY(!link.QueryEnq());
    FormatFrame(link.TxBuf, kTxBufSize, "%cP1$lTowar\r1\rA/1.00/1.00/xx%c%c", kEsc, kEsc,
                kBackslash);
    AddChecksum(link.TxBuf);
    QVERIFY(!link.SendFrame(link.TxBuf));
    ModalAnswerer answer;
    answer.Key(Qt::Key_Return);
    QVERIFY(link.CheckCommandResult());
    QVERIFY(answer.WaitDone());
    FormatFrame(link.TxBuf, kTxBufSize, "%cP1#l00%c%c", kEsc, kEsc, kBackslash);
    QVERIFY(!link.SendFrame(link.TxBuf));

    const auto& rows = view.decoder().rows();
    QStringList codes;
    for (const TrafficRow& row : rows) codes << QString::fromStdString(row.code);
    QCOMPARE(codes, (QStringList{"", "", "$l", "", "", "#n", "#E", "#l"}));
    QCOMPARE(rows[1].name, std::string("Status ENQ"));
    QVERIFY(rows[4].detail.find("Ostatni rozkaz") == std::string::npos);
    QCOMPARE(rows[6].detail.rfind("błąd nr 21: ", 0), std::size_t{0});
    QCOMPARE(rows[7].check, CheckVerdict::Wrong);
    QCOMPARE(view.Table->model()->rowCount(), 8);

    view.SaveToFile(h.Path("podglad.txt"));
    const auto saved = h.ReadFile("podglad.txt");
    QVERIFY(saved.has_value());
    const QString text = QString::fromStdString(Cp1250ToUtf8(*saved));
    QCOMPARE(text.count("\r\n"), 9);  // a heading and the eight rows
    QVERIFY(text.contains(Utf8("błąd nr 21: ")));
#ifdef ULVO_WITH_PCAP
    // The view's rows and the menu's capture: the same pieces, in the same order.
    f.StopCapture();
    QVERIFY(!f.CaptureAction->isChecked());
    view.SaveCaptureToFile(h.Path("podglad.pcap"));
    for (const char* name : {"podglad.pcap", "menu.pcap"}) {
      const CaptureReading capture = ReadCaptureFile(h.Path(name).toStdString());
      QVERIFY2(!capture.Failed(), capture.error.c_str());
      QCOMPARE(capture.packets.size(), rows.size());
      for (std::size_t i = 0; i < rows.size(); ++i) {
        QCOMPARE(capture.packets[i].bytes, rows[i].bytes);
        QCOMPARE(capture.packets[i].direction, rows[i].direction);
      }
    }
#endif

    PressKey(&view, Qt::Key_Escape);
    QTRY_VERIFY(!view.isVisible());
    QVERIFY(!link.QueryEnq());
    QVERIFY(view.decoder().rows().empty());
  }
};

QTEST_MAIN(LineWatchTest)
#include "line_watch_qtest.moc"
