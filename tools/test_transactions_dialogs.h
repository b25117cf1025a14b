#pragma once
// "Transakcje testowe": the settings dialog TTransakcjeTestowe and the progress dialog
// TDrukTransTest that prints the generated receipts. The run itself is tools/core/test_run.h.

#include <QDialog>
#include <QTimer>
#include <memory>

#include "tools/core/test_run.h"
#include "tools/core/test_transactions.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;

namespace ulvo {

struct AppContext;

// "Druowanie transakcji testowych": shows the run's progress and drives it with a timer.
class TDrukTransTest : public QDialog {
  Q_OBJECT
 public:
  TDrukTransTest(AppContext& context, TestRunSettings& run, TestRunTotals& totals,
                 QWidget* parent = nullptr);
  ~TDrukTransTest() override;

  // For tests: the random numbers of the next run come from `random` (not owned) instead of
  // the runtime generator seeded from the clock.
  void SetRandomSource(RandomSource* random) { testRandom_ = random; }
  bool TimerRunning() const { return running_; }

  QLineEdit* Edit1 = nullptr;    // "Nr paragonu"
  QLineEdit* Edit2 = nullptr;    // "Nr pozycji"
  QLineEdit* Edit3 = nullptr;    // "Suma paragonu"
  QLineEdit* Edit4 = nullptr;    // "Suma całkowita"
  QSlider* TrackBar1 = nullptr;  // "Opóźnienie między pozycjami paragonu"
  QSlider* TrackBar2 = nullptr;  // "Opóźnienie między paragonami"
  QLabel* WaitLabel = nullptr;   // "Czekam na odpowiedź od drukarki ...."
  QProgressBar* ProgressBar1 = nullptr;
  QPushButton* Button1 = nullptr;  // "&Przerwij"

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 public slots:
  void reject() override;

 private:
  void Tick();
  void PrzerwijClick();
  void ShowTexts();
  void SetWaiting(bool waiting);
  void EndRun(int result);  // stops the timer, ends the run, closes

  AppContext& context_;
  TestRunSettings& run_;
  TestRunTotals& totals_;
  std::unique_ptr<RandomSource> random_;
  RandomSource* testRandom_ = nullptr;
  std::unique_ptr<TestReceiptGenerator> generator_;
  std::unique_ptr<TestRunDriver> driver_;
  QTimer timer_;
  std::chrono::milliseconds interval_{25};
  int barStep_ = 2;
  bool running_ = false;  // the timer is meant to run (between ticks too)
  bool started_ = false;  // a run is on screen
  bool closing_ = false;
};

// "Transakcje testowe": the run's settings. When it closes the run control takes over:
// discount method and totals, the progress dialog, and the totals check after the run.
class TTransakcjeTestowe : public QDialog {
  Q_OBJECT
 public:
  TTransakcjeTestowe(AppContext& context, QWidget* parent = nullptr);
  ~TTransakcjeTestowe() override;

  // The settings dialog, then the run it started.
  int exec() override;

  const TestRunSettings& run() const { return run_; }
  TDrukTransTest* progress() const { return progress_; }

  QRadioButton* RadioUnlimited = nullptr;  // "Bez ograniczeń"
  QRadioButton* RadioLimited = nullptr;    // "Określona liczba paragonów"
  QLineEdit* EditLimit = nullptr;
  QRadioButton* RadioFixed = nullptr;  // "Ustalona"
  QLineEdit* EditFixed = nullptr;
  QRadioButton* RadioRandom = nullptr;      // "Generowana losowo"
  QLineEdit* EditFrom = nullptr;            // "Od"
  QLineEdit* EditTo = nullptr;              // "Do"
  QRadioButton* RadioLineNone = nullptr;    // "Brak"
  QRadioButton* RadioLineRandom = nullptr;  // "Generowany losowo"
  QLineEdit* EditLineMax = nullptr;
  QRadioButton* RadioReceiptNone = nullptr;
  QRadioButton* RadioReceiptRandom = nullptr;
  QLineEdit* EditReceiptMax = nullptr;
  QGroupBox* MethodBox = nullptr;  // "Metoda rozliczania rabatu"
  QRadioButton* RadioMethod1 = nullptr;
  QRadioButton* RadioMethod2 = nullptr;
  QCheckBox* CheckOnline = nullptr;  // "Paragon on-line"
  QCheckBox* CheckDrawer = nullptr;  // "Otwórz szufladę po transakcji"
  QCheckBox* CheckVerify = nullptr;  // "Większa kontrola transisji"
  QPushButton* Button1 = nullptr;    // "&Rozpocznij"
  QPushButton* Button2 = nullptr;    // "&Anuluj"

 protected:
  void showEvent(QShowEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  void Button1Click();
  void UpdateFields();

  AppContext& context_;
  TestRunSettings run_;
  TestRunTotals totals_;
  TDrukTransTest* progress_ = nullptr;
};

}  // namespace ulvo
