// Every dialog the main window can open, for each family: wide enough for its caption, and
// closed by Escape from whichever control has the focus.

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <set>

#include "tests/support_qt/main_form_harness.h"
#include "ui/dialog_registry.h"

using namespace ulvo;
using namespace ulvo::testing;

namespace {

// Dialogs that start long work of their own when shown (a port scan, a running test).
const std::set<std::string> kStartWork = {"TSzukamdrukarki", "TDrukTransTest"};

bool Focusable(QWidget* w, QDialog* dialog) {
  if (!w->isVisibleTo(dialog) || !w->isEnabled() || (w->focusPolicy() & Qt::TabFocus) == 0)
    return false;
  // The editor inside a picker or a combo box takes its keys through its owner.
  QWidget* parent = w->parentWidget();
  return qobject_cast<QAbstractSpinBox*>(parent) == nullptr &&
         qobject_cast<QComboBox*>(parent) == nullptr && w->focusProxy() == nullptr;
}

bool Show(QDialog* dialog) {
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->show();
  dialog->activateWindow();
  QTest::qWait(5);  // the fitting after the dialog's own show handler
  return dialog->isVisible();
}

}  // namespace

class DialogKeysTest : public QObject {
  Q_OBJECT

 private slots:
  void everyDialogFitsItsCaptionAndEscapesFromEveryControl_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<QStringList>("simArgs");
    QTest::newRow("Alta") << int(ModelEntry::AltaAltaPlus)
                          << QStringList{"--family", "alta", "--baud", "0"};
    QTest::newRow("Alta Pro Bus") << int(ModelEntry::AltaBus)
                                  << QStringList{"--family", "altapro", "--bus", "--baud", "0"};
    QTest::newRow("Mavito KE") << int(ModelEntry::MavitoKopiaElektroniczna)
                               << QStringList{"--ecopy", "--baud", "0"};
  }

  void everyDialogFitsItsCaptionAndEscapesFromEveryControl() {
    QFETCH(int, model);
    QFETCH(QStringList, simArgs);
    HarnessOptions o;
    o.simBinary = ULVO_SIM_PATH;
    o.model = static_cast<ModelEntry>(model);
    o.simArgs.clear();
    for (const QString& a : simArgs) o.simArgs.push_back(a.toStdString());
    MainFormHarness h;
    QVERIFY2(h.Start(o), qPrintable(h.error));

    // Messages a dialog shows on its own (a refused readout, a family it does not serve) are
    // answered, so they never hold the test.
    QTimer answerer;
    connect(&answerer, &QTimer::timeout, [] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->reject();
    });
    answerer.start(20);

    QStringList narrow, trapping;
    DialogRegistry& registry = h.form->registry();
    for (const std::string& name : registry.Names()) {
      if (kStartWork.count(name)) continue;
      QDialog* dialog = registry.Get(name);
      QVERIFY(dialog != nullptr);
      if (!Show(dialog)) continue;  // closed itself at once (no reply, not for this family)
      const int caption = QFontMetrics(dialog->font()).horizontalAdvance(dialog->windowTitle());
      if (dialog->width() < caption) narrow << QString::fromStdString(name);
      for (QDateTimeEdit* picker : dialog->findChildren<QDateTimeEdit*>()) {
        if (picker->isVisibleTo(dialog) && picker->accessibleName().isEmpty())
          narrow << QString::fromStdString(name) + " (picker without a name)";
      }
      QList<QWidget*> controls;
      for (QWidget* w : dialog->findChildren<QWidget*>())
        if (Focusable(w, dialog)) controls << w;
      for (QWidget* control : controls) {
        if (!dialog->isVisible() && !Show(dialog)) break;
        if (!control->isVisible() || !control->isEnabled()) continue;
        control->setFocus(Qt::TabFocusReason);
        QTest::keyClick(control, Qt::Key_Escape);
        if (!QTest::qWaitFor([&] { return !dialog->isVisible(); }, 500)) {
          trapping << QString::fromStdString(name) + "/" + control->objectName() + ":" +
                          control->metaObject()->className();
          dialog->reject();
        }
      }
      dialog->hide();
    }
    QVERIFY2(narrow.isEmpty(), qPrintable(narrow.join(", ")));
    QVERIFY2(trapping.isEmpty(), qPrintable(trapping.join(", ")));
  }
};

QTEST_MAIN(DialogKeysTest)
#include "dialog_keys_qtest.moc"
