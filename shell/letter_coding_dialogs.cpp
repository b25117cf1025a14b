#include "shell/letter_coding_dialogs.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstring>

#include "link/letter_coding.h"
#include "link/link.h"

namespace ulvo {

LetterCodingDialogBase::LetterCodingDialogBase(Link& link, const char* applyCaption,
                                               const char* cancelCaption, QWidget* parent)
    : QDialog(parent), link_(link) {
  setWindowTitle(QString::fromUtf8("Kodowanie polskich liter"));
  auto* prompt = new QLabel(QString::fromUtf8("Wybierz standard kodowania polskich liter"), this);
  auto* group = new QGroupBox(QString::fromUtf8("Kodowanie polskich liter"), this);
  auto* groupLayout = new QVBoxLayout(group);
  for (int i = 0; i < 4; ++i) {
    codings_[i] = new QRadioButton(QString::fromUtf8(LetterCodingName(i)), group);
    groupLayout->addWidget(codings_[i]);
  }
  codings_[0]->setChecked(true);
  Button1 = new QPushButton(QString::fromUtf8(applyCaption), this);
  Button2 = new QPushButton(QString::fromUtf8(cancelCaption), this);
  Button1->setDefault(true);  // Enter
  Button2->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt);
  layout->addWidget(group);
  layout->addLayout(buttons);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);  // Escape too
}

int LetterCodingDialogBase::CheckedCoding() const {
  for (int i = 0; i < 4; ++i)
    if (codings_[i]->isChecked()) return i;
  return 0;
}

bool LetterCodingDialogBase::SendCodePage(int coding) {
  const std::string frame = CodePageFrame(static_cast<std::uint8_t>(coding));
  // The frame is a handful of bytes; the check keeps the buffer safe all the same.
  if (frame.size() >= sizeof link_.TxBuf) return false;
  std::memcpy(link_.TxBuf, frame.c_str(), frame.size() + 1);
  return !link_.SendFrame(link_.TxBuf);
}

TUstawKodLiter::TUstawKodLiter(Link& link, QWidget* parent)
    : LetterCodingDialogBase(link, "&Zastosuj", "&Anuluj", parent) {
  setObjectName("TUstawKodLiter");
  connect(Button1, &QPushButton::clicked, this, &TUstawKodLiter::Apply);
}

void TUstawKodLiter::showEvent(QShowEvent* event) {
  const int current = link_.settings().LetterCoding;
  Coding(current < 4 ? current : 0)->setChecked(true);
  Coding(current < 4 ? current : 0)->setFocus();
  LetterCodingDialogBase::showEvent(event);
}

void TUstawKodLiter::Apply() {
  const int coding = CheckedCoding();
  link_.settings().LetterCoding = static_cast<std::uint8_t>(coding);
  // Only the Mavito family is told; the others just change what the program sends.
  if (link_.settings().PrinterType == 2) {
    if (!SendCodePage(coding)) return;
    link_.CheckCommandResult();
  }
  accept();
}

TKodowaniePolskich::TKodowaniePolskich(Link& link, QWidget* parent)
    : LetterCodingDialogBase(link, "Wyślij", "Anuluj", parent) {
  setObjectName("TKodowaniePolskich");
  connect(Button1, &QPushButton::clicked, this, &TKodowaniePolskich::Send);
}

void TKodowaniePolskich::Send() {
  const int coding = CheckedCoding();
  link_.settings().LetterCoding = static_cast<std::uint8_t>(coding);
  if (!SendCodePage(coding)) return;
  link_.CheckCommandResult();
  accept();
}

}  // namespace ulvo
