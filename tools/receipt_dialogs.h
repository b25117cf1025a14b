#pragma once
// The receipt dialogs: open a receipt, its lines, the plain and the extended confirmation,
// cancel, and the two card slips. They keep the program's receipt state (next line number,
// running total) up to date.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <array>

#include "tools/core/receipt_frames.h"
#include "ui/command_dialog.h"

namespace ulvo {

struct ReceiptState;
class TWaluty;

class TPoczatekTransakcji : public CommandDialog {
 public:
  TPoczatekTransakcji(AppContext& context, QWidget* parent);
  QLineEdit* Edit1;            // "Ilość pozycji sprzedaży"
  QLineEdit* Edit2;            // "Numer systemowy"
  QRadioButton* RadioButton1;  // "Tryb blokowy"
  QRadioButton* RadioButton2;  // "Paragon ON-LINE"
  QCheckBox* CheckBox1;        // "Numer systemowy w postaci kodu kreskowego"

 protected:
  FrameList BuildFrames() override;
  void FramesSent(SendOutcome outcome) override;

 private:
  void ModeChanged();
  ReceiptState& receipt_;
};

class TLinijkaParagonu : public CommandDialog {
 public:
  TLinijkaParagonu(AppContext& context, QWidget* parent);
  QLineEdit* Edit1;      // "Nr linijki"
  QLineEdit* Edit2;      // "Nazwa towaru"
  QLineEdit* Edit3;      // "Ilość"
  QComboBox* ComboBox1;  // "PTU"
  QLineEdit* Edit4;      // "Cena towaru"
  QLineEdit* Edit5;      // "Brutto"
  QComboBox* ComboBox2;  // "Rodzaj rabatu"
  QLineEdit* Edit6;      // "Kwota rabatu"
  QCheckBox* CheckBox1;  // "Pozycja STORNO"

 protected:
  FrameList BuildFrames() override;
  void FormShow() override;
  void FramesSent(SendOutcome outcome) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Left(QLineEdit* edit);
  ReceiptState& receipt_;
  LineWorkingValues working_;
  double pendingValue_ = 0.0;
  bool pendingStorno_ = false;
};

class TZatwierdzenieTransakcji : public CommandDialog {
 public:
  TZatwierdzenieTransakcji(AppContext& context, QWidget* parent);
  QLineEdit* Edit1;       // "Kod Kasjera"
  QLineEdit* Edit2;       // "TOTAL"
  QLineEdit* Edit3;       // "Wpłata"
  QComboBox* ComboBox1;   // "Rodzaj rabatu"
  QLineEdit* Edit4;       // "RABAT"
  QCheckBox* CheckBox1;   // "Dodatkowe linie"
  QPlainTextEdit* Memo1;  // the additional lines

 protected:
  FrameList BuildFrames() override;
  void FormShow() override;

 private:
  ReceiptState& receipt_;
};

class TZatwierdzenieRozszerzone : public CommandDialog {
 public:
  TZatwierdzenieRozszerzone(AppContext& context, QWidget* parent);
  QLineEdit* Edit1;  // "TOTAL"
  QLineEdit* Edit2;  // "Kod Kasjera"
  // The amounts in the order of their check boxes: "Wpłata", "Reszta", "Kaucja pobrana",
  // "Kaucja zwrócona", "Karta", "Czek", "Bon".
  std::array<QCheckBox*, 7> AmountChecks;
  std::array<QLineEdit*, 7> Amounts;
  QLineEdit* Edit3;       // "Nazwa karty"
  QLineEdit* Edit4;       // "Nazwa czeku"
  QLineEdit* Edit5;       // "Nazwa bonu"
  QComboBox* ComboBox1;   // "Rodzaj rabatu"
  QLineEdit* Edit6;       // "RABAT"
  QCheckBox* CheckBox1;   // "Dodatkowe linie"
  QPlainTextEdit* Memo1;  // the additional lines
  QPushButton* Button3;   // "Waluty"
  TWaluty* Currencies;

 protected:
  FrameList BuildFrames() override;
  void FormShow() override;

 private:
  void Button3Click();
  ReceiptState& receipt_;
};

class TAnulowanieTransakcji : public CommandDialog {
 public:
  TAnulowanieTransakcji(AppContext& context, QWidget* parent);

 protected:
  FrameList BuildFrames() override;
};

// The two card payment slips share their form.
class CardSlipDialog : public CommandDialog {
 public:
  CardSlipDialog(AppContext& context, QWidget* parent, const QString& caption, bool charge);
  std::array<QRadioButton*, 3> RadioButtons;  // "Sposób drukowania"
  QCheckBox* CheckBox1;  // "Linia zawierająca numer kasy / numer kasjera jest drukowana"
  std::array<QLineEdit*, 11> Edits;  // "Numer kasy" ... "Kwota"

 protected:
  FrameList BuildFrames() override;

 private:
  bool charge_;
};

class TPowitowanieSprzedarzy : public CardSlipDialog {
 public:
  TPowitowanieSprzedarzy(AppContext& context, QWidget* parent);
};

class TTransakcjaUznana : public CardSlipDialog {
 public:
  TTransakcjaUznana(AppContext& context, QWidget* parent);
};

}  // namespace ulvo
