#pragma once
// "Szukanie drukarek fiskalnych" (TSzukamdrukarki): probes the serial ports, lists the ports
// where a fiscal printer answered and lets the user take one. The dialog's result is Accepted
// when at least one printer was found; the main window reports the search as fruitless
// otherwise.

#include <QDialog>
#include <QTimer>

#include "tools/core/printer_search.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;

namespace ulvo {

struct AppContext;

class TSzukamdrukarki : public QDialog {
  Q_OBJECT
 public:
  TSzukamdrukarki(AppContext& context, QWidget* parent = nullptr);

  int FoundCount() const { return found_; }
  bool Searching() const { return timer_.isActive() || stepping_; }

  QLabel* Label1 =
      nullptr;  // "Szukam drukarek fiskalnych" / "Lista znalezionych drukarek fiskalnych"
  QLabel* Label2 = nullptr;  // "Czekaj ..." / "Wybierz drukarkę"
  QProgressBar* ProgressBar1 = nullptr;
  QListWidget* CheckListBox1 = nullptr;
  QPushButton* Button1 = nullptr;  // "&Wybierz"
  QPushButton* Button2 = nullptr;  // "&Anuluj"

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Tick();
  void ShowList();
  void ItemChanged(QListWidgetItem* item);
  void Button1Click();
  void Close(int result);

  AppContext& context_;
  PrinterSearch search_;
  QTimer timer_;
  int found_ = 0;
  bool stepping_ = false;
  bool cancelPending_ = false;
  bool open_ = false;
};

}  // namespace ulvo
