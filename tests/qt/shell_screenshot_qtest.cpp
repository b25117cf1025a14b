// Takes the README's picture of the main window talking to ulvo-sim, for example
//   ULVO_SCREENSHOT=$PWD/docs/main-window.png QT_QPA_PLATFORM=xcb xvfb-run -a
//   build/tests/shell_screenshot_qtest
// Without ULVO_SCREENSHOT it only checks that the window draws.

#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "shell/console_panel.h"
#include "shell/main_form.h"
#include "tests/support_qt/main_form_harness.h"

using namespace ulvo;
using namespace ulvo::testing;

class ShellScreenshotTest : public QObject {
  Q_OBJECT

 private slots:
  void mainWindowTalkingToTheEmulator() {
    MainFormHarness h;
    HarnessOptions o;
    o.simBinary = ULVO_SIM_PATH;
    QVERIFY2(h.Start(o), qPrintable(h.error));
    TMainForm& f = *h.form;
    f.ConsoleCheck->setChecked(true);
    QTest::mouseClick(f.DownloadButton, Qt::LeftButton);
    QVERIFY(f.DataPanel->isVisible());
    f.Tree(Page::Dodatkowe)->setFocus();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    const QPixmap picture = f.grab();
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.height(), f.FullHeight);
    const QByteArray target = qgetenv("ULVO_SCREENSHOT");
    if (!target.isEmpty()) QVERIFY(picture.save(QString::fromLocal8Bit(target), "PNG"));
  }
};

QTEST_MAIN(ShellScreenshotTest)
#include "shell_screenshot_qtest.moc"
