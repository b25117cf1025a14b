#include "shell/console_panel.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "link/frame.h"
#include "link/link.h"
#include "shell/core/console_text.h"

namespace ulvo {
namespace {

QPlainTextEdit* MakeBox(QWidget* parent) {
  auto* box = new QPlainTextEdit(parent);
  box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // Frames are one long line; wrapping would hide where the bytes really break.
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  box->setTabChangesFocus(true);
  return box;
}

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

}  // namespace

ConsolePanel::ConsolePanel(Link& link, std::function<void()> refresh, QWidget* parent)
    : QWidget(parent), link_(link), refresh_(std::move(refresh)) {
  SentGroup = new QGroupBox(QString::fromUtf8("Dane wysłane"), this);
  Memo1 = MakeBox(SentGroup);
  Memo1->setObjectName("Memo1");
  Memo1->installEventFilter(this);

  auto* insertGroup = new QGroupBox(QString::fromUtf8("Wstaw znak"), SentGroup);
  auto* insertRow = new QHBoxLayout(insertGroup);
  insertRow->setSpacing(2);
  for (int i = 0; i < kConsoleTokenCount; ++i) {
    const ConsoleToken& token = ConsoleTokenAt(i);
    auto* button = new QPushButton(QString::fromUtf8(token.caption), insertGroup);
    button->setAutoDefault(false);
    button->setMinimumWidth(36);
    button->setMaximumWidth(48);
    const QString text = QString::fromUtf8(token.token);
    connect(button, &QPushButton::clicked, this, [this, text] { Insert(text); });
    insertRow->addWidget(button);
    InsertButtons[i] = button;
  }
  MaskEdit1 = new QLineEdit(insertGroup);
  MaskEdit1->setObjectName("MaskEdit1");
  MaskEdit1->setInputMask(QStringLiteral(">NN\\H;_"));
  MaskEdit1->setFont(Memo1->font());
  MaskEdit1->setMaximumWidth(60);
  MaskEdit1->setToolTip(QString::fromUtf8("Kod znaku szesnastkowo, np. 1B"));
  HexButton = new QPushButton(QString::fromUtf8("Wstaw"), insertGroup);
  HexButton->setAutoDefault(false);
  HexButton->setToolTip(QString::fromUtf8("Wstawia znak o kodzie z pola obok"));
  connect(HexButton, &QPushButton::clicked, this,
          [this] { Insert(FromUtf8(HexFieldToken(MaskEdit1->displayText().toStdString()))); });
  connect(MaskEdit1, &QLineEdit::returnPressed, HexButton, &QPushButton::click);
  insertRow->addWidget(MaskEdit1);
  insertRow->addWidget(HexButton);
  insertRow->addStretch();

  SendButton = new QPushButton(QString::fromUtf8("Wyślij"), SentGroup);
  ChecksumButton = new QPushButton(QString::fromUtf8("Dodaj sumę kontrolną"), SentGroup);
  ReceiveButton = new QPushButton(QString::fromUtf8("Odbierz"), SentGroup);
  for (QPushButton* b : {SendButton, ChecksumButton, ReceiveButton}) b->setAutoDefault(false);
  connect(SendButton, &QPushButton::clicked, this, &ConsolePanel::Send);
  connect(ChecksumButton, &QPushButton::clicked, this, &ConsolePanel::AddCheck);
  connect(ReceiveButton, &QPushButton::clicked, this, &ConsolePanel::Receive);
  auto* actions = new QHBoxLayout;
  actions->addWidget(SendButton);
  actions->addWidget(ChecksumButton);
  actions->addWidget(ReceiveButton);
  actions->addStretch();

  auto* sentLayout = new QVBoxLayout(SentGroup);
  sentLayout->addWidget(Memo1, 1);
  sentLayout->addWidget(insertGroup);
  sentLayout->addLayout(actions);

  ReceivedGroup = new QGroupBox(QString::fromUtf8("Dane odebrane"), this);
  Memo2 = MakeBox(ReceivedGroup);
  Memo2->setObjectName("Memo2");
  // What is typed here would never be used, so the box only shows the reply.
  Memo2->setReadOnly(true);
  Memo2->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  auto* receivedLayout = new QVBoxLayout(ReceivedGroup);
  receivedLayout->addWidget(Memo2);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(SentGroup, 3);
  layout->addWidget(ReceivedGroup, 2);

  connect(Memo1, &QPlainTextEdit::textChanged, this, &ConsolePanel::SendBoxChanged);
}

bool ConsolePanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Memo1) {
    switch (event->type()) {
      case QEvent::FocusIn:
        pastePending_ = false;
        consoleHasFocus_ = true;
        break;
      case QEvent::FocusOut:
        consoleHasFocus_ = false;
        break;
      case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste) ||
            (key->key() == Qt::Key_Insert && key->modifiers() == Qt::ShiftModifier))
          pastePending_ = true;
        break;
      }
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void ConsolePanel::Insert(const QString& token) {
  // Replaces a selection like typing would; the caret ends after the token.
  Memo1->textCursor().insertText(token);
  Memo1->ensureCursorVisible();
}

bool ConsolePanel::StoreSendBox() {
  const std::string text = Memo1->toPlainText().toStdString();
  if (ConsoleTextToBuffer(text, link_.TxBuf, sizeof link_.TxBuf) == ConsoleConversion::TooLong) {
    link_.ui().ShowMessage(FrameTooLongMessage(sizeof link_.TxBuf));
    return false;
  }
  return true;
}

void ConsolePanel::Send() {
  if (StoreSendBox()) {
    const std::string frame(link_.TxBuf);
    // A failed write clears the buffer's first byte; the typed frame stays in the box all the
    // same, so that the technician can send it again.
    if (link_.SendFrame(link_.TxBuf) && link_.TxBuf[0] == '\0')
      std::memcpy(link_.TxBuf, frame.c_str(), frame.size() + 1);
  }
  refresh_();
}

void ConsolePanel::AddCheck() {
  if (StoreSendBox() && AddChecksum(link_.TxBuf, sizeof link_.TxBuf))
    link_.ui().ShowMessage(
        "Ramka nie kończy się znakami <ESC>\\, więc nie ma gdzie wpisać sumy kontrolnej. "
        "Wpisz ją jako: <ESC>P...xx<ESC>\\");
  refresh_();
}

void ConsolePanel::Receive() {
  link_.WaitForReply();
  refresh_();
}

void ConsolePanel::SendBoxChanged() {
  if (updating_ || !pastePending_) return;
  pastePending_ = false;
  // Pasted control bytes turn into their names at once.
  StoreSendBox();
  refresh_();
}

void ConsolePanel::SetTextKeepingCaret(QPlainTextEdit* box, const QString& text) {
  if (box->toPlainText() == text) return;
  const int position = box->textCursor().position();
  const int scroll = box->horizontalScrollBar()->value();
  const int vscroll = box->verticalScrollBar()->value();
  box->setPlainText(text);
  QTextCursor cursor = box->textCursor();
  cursor.setPosition(std::min(position, static_cast<int>(text.size())));
  box->setTextCursor(cursor);
  box->horizontalScrollBar()->setValue(scroll);
  box->verticalScrollBar()->setValue(vscroll);
}

void ConsolePanel::ShowBuffers() {
  const std::uint8_t coding = link_.settings().LetterCoding;
  updating_ = true;
  const std::size_t txLength = strnlen(link_.TxBuf, sizeof link_.TxBuf);
  SetTextKeepingCaret(Memo1, FromUtf8(BytesToConsoleText({link_.TxBuf, txLength}, coding)));
  std::size_t rxLength = std::min(link_.RxLength(), kRxBufSize);
  if (rxLength == 0) rxLength = strnlen(link_.RxBuf, kRxBufSize);
  SetTextKeepingCaret(Memo2, FromUtf8(BytesToConsoleText({link_.RxBuf, rxLength}, coding)));
  updating_ = false;
}

}  // namespace ulvo
