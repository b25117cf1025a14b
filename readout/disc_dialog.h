#pragma once
// TNagrywanieCD_DVD ("Nagrywanie płyty CD/DVD"): writes the readout's report file to a
// recordable disc (or the disc image named by ULVO_DISC_IMAGE) through a DiscRecorder. The
// write runs in the background; a 250 ms timer picks up the status the recorder's completion
// sets and moves the progress bar (the real percentage when the library reports it).

#include <QDialog>
#include <QString>
#include <atomic>
#include <memory>

#include "readout/core/disc_recorder.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace ulvo {

class LinkUi;

// Recording status as set by the completion callback.
constexpr int kRecordingRunning = 0;
constexpr int kRecordingDone = 170;
constexpr int kRecordingFailed = 187;

class TNagrywanieCD_DVD : public QDialog {
  Q_OBJECT
 public:
  // Without a recorder the dialog makes one from the environment (real writers plus
  // ULVO_DISC_IMAGE) on its first showing and keeps it until it is destroyed.
  TNagrywanieCD_DVD(LinkUi& ui, QWidget* parent, std::unique_ptr<DiscRecorder> recorder = nullptr);
  ~TNagrywanieCD_DVD() override;

  // The file to write and its name on the disc ("Nazwa pliku" is preset to it).
  void SetSource(const QString& sourcePath, const QString& discName);
  // SetSource, then the dialog modally.
  int Run(const QString& sourcePath, const QString& discName);

  QComboBox* DriveList;         // "Wybrany napęd"
  QLineEdit* FileName;          // "Nazwa pliku"
  QCheckBox* CloseDiscBox;      // "Zamknij płytę po nagraniu tego pliku"
  QCheckBox* ImportSessionBox;  // "Importuj poprzednią sesję"
  QLabel* VersionLabel;         // "Ver: "...
  QLabel* StatusLabel;          // "Trwa nagrywanie.Czekaj..." and the result
  QProgressBar* ProgressBar1;
  QPushButton* Button1;      // "&Nagraj"
  QPushButton* EjectButton;  // "&Wysuń płytę"
  QPushButton* CloseButton;  // "&Zakończ"
  QTimer* Timer1;            // 250 ms

  void Button1Click();
  void EjectButtonClick();
  void CloseButtonClick();

  bool Writing() const { return writing_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void FormShow();
  void Timer1Timer();
  void DriveChanged(int index);
  // While writing: asks whether to stop; Yes cancels and waits for the library. False keeps
  // the dialog open.
  bool StopForClosing();
  void ShowWriteError(int error);
  void SetIdleButtons(bool writersPresent);

  LinkUi& ui_;
  std::unique_ptr<DiscRecorder> recorder_;
  QString sourcePath_;
  bool writing_ = false;
  int step_ = 10;
  std::atomic<int> status_{kRecordingRunning};
  std::atomic<int> error_{0};
};

}  // namespace ulvo
