#pragma once
// "Wysyłanie/odbieranie pliku binarnego" (TWyslijOdbierzPlikBin): a file sent raw to the
// printer's line, and whatever arrives recorded into a file, at the same time if wanted.

#include <QDialog>
#include <QTimer>

#include "tools/core/binary_transfer.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace ulvo {

struct AppContext;

class TWyslijOdbierzPlikBin : public QDialog {
  Q_OBJECT
 public:
  TWyslijOdbierzPlikBin(AppContext& context, QWidget* parent = nullptr);

  // What the two "..." buttons do once a file has been picked (tests call them directly).
  void ChooseSendFile(const QString& path);
  void ChooseReceiveFile(const QString& path);

  const BinaryTransfer& transfer() const { return transfer_; }

  QLineEdit* Edit1 = nullptr;           // "Wyślij z pliku" path
  QPushButton* SpeedButton1 = nullptr;  // "..."
  QPushButton* Button1 = nullptr;       // "&Wyślij" / "&Przerwij"
  QLabel* SizeLabel = nullptr;          // "%lu Bajtów"
  QLabel* ProgressLabel = nullptr;      // "Wysłaono: ..."
  QLineEdit* Edit2 = nullptr;           // "Pobierz do pliku" path
  QPushButton* SpeedButton2 = nullptr;
  QPushButton* Button2 = nullptr;  // "&Odbierz" / "&Przerwij Odbieranie"
  QLabel* CountLabel = nullptr;    // "Odebrano N bajtów."
  QPushButton* Button3 = nullptr;  // "&Zamknij"

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void PickSendFile();
  void PickReceiveFile();
  void SendClick();
  void ReceiveClick();
  void Tick();
  void EndSend();
  void EndReceive();
  void UpdateButtons();
  void CloseNow();

  AppContext& context_;
  BinaryTransfer transfer_;
  QTimer timer_;
  bool closing_ = false;
};

}  // namespace ulvo
