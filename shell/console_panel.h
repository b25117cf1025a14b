#pragma once
// The raw command console under the trees: the frame last sent ("Dane wysłane", editable),
// the last reply ("Dane odebrane"), the insert buttons and the send/check/receive actions.

#include <QWidget>
#include <array>
#include <functional>

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ulvo {

class Link;

class ConsolePanel : public QWidget {
  Q_OBJECT
 public:
  // `refresh` brings the whole main window up to date (RefreshMainWindow).
  ConsolePanel(Link& link, std::function<void()> refresh, QWidget* parent = nullptr);

  // Shows TxBuf and RxBuf in readable form; the send box keeps its caret where it can.
  void ShowBuffers();

  // True while the send box has the keyboard focus (its letters are typing, not shortcuts).
  bool ConsoleHasFocus() const { return consoleHasFocus_; }

  QGroupBox* SentGroup = nullptr;      // "Dane wysłane"
  QGroupBox* ReceivedGroup = nullptr;  // "Dane odebrane"
  QPlainTextEdit* Memo1 = nullptr;     // send box
  QPlainTextEdit* Memo2 = nullptr;     // reply box
  std::array<QPushButton*, 9> InsertButtons{};
  QLineEdit* MaskEdit1 = nullptr;  // "AAH": a hex byte
  QPushButton* HexButton = nullptr;
  QPushButton* SendButton = nullptr;      // "Wyślij"
  QPushButton* ChecksumButton = nullptr;  // "Dodaj sumę kontrolną"
  QPushButton* ReceiveButton = nullptr;   // "Odbierz"

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Insert(const QString& token);
  bool StoreSendBox();  // send box -> TxBuf; false (with a message) when it does not fit
  void Send();
  void AddCheck();
  void Receive();
  void SendBoxChanged();
  static void SetTextKeepingCaret(QPlainTextEdit* box, const QString& text);

  Link& link_;
  std::function<void()> refresh_;
  bool consoleHasFocus_ = false;
  bool pastePending_ = false;
  bool updating_ = false;
};

}  // namespace ulvo
