#pragma once
// Foreign currencies: the payment table of the extended confirmation (TWaluty), the
// conversion printed under receipts and the change of the accounting currency.

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <array>

#include "common/receipt_state.h"
#include "ui/command_dialog.h"

namespace ulvo {

class Link;

// "Wpłata w walucie obcej": up to three payments in foreign currencies. "OK" stores them in
// the program's table; a field that is not a number keeps the dialog open and the table as
// it was.
class TWaluty : public QDialog {
  Q_OBJECT
 public:
  TWaluty(CurrencyPayments& table, Link& link, QWidget* parent);

  struct Entry {
    QCheckBox* check;       // "Waluta n"
    QWidget* group;         // shown only while the box is checked
    QComboBox* multiplier;  // 1 ... 10000
    QLineEdit* code;
    QLineEdit* rate;    // "Przelicznik"
    QLineEdit* amount;  // "Wartość wpłaty w walucie"
    QLabel* codeLabel;  // repeats the code after the amount
  };
  std::array<Entry, kCurrencyEntries> Entries;
  QPushButton* Button1;  // "OK"
  QPushButton* Button2;  // "Anuluj"

  void Button1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  CurrencyPayments& table_;
  Link& link_;
};

class TPrzeliczenieNaWaluty : public CommandDialog {
 public:
  TPrzeliczenieNaWaluty(AppContext& context, QWidget* parent);
  QRadioButton* RadioButton1;  // "Drukuj pod każdym paragonem ..."
  QRadioButton* RadioButton2;  // "Nie drukuj ..."
  QComboBox* ComboBox1;        // multiplier
  QLineEdit* Edit1;            // foreign currency code
  QLineEdit* Edit2;            // rate
  QLineEdit* Edit3;            // accounting currency code

 protected:
  FrameList BuildFrames() override;
  void FormShow() override;

 private:
  void ChoiceChanged();
};

class TZmianaWalutyEwidencyjnej : public CommandDialog {
 public:
  TZmianaWalutyEwidencyjnej(AppContext& context, QWidget* parent);
  QRadioButton* RadioButton1;  // "Zmień walutę ewidencyjną" (mode 0)
  QRadioButton* RadioButton2;  // "... w określonym terminie" (mode 1)
  QRadioButton* RadioButton3;  // "Anuluj zmianę ..." (mode 2)
  QDateEdit* DateTimePicker1;  // "Data (rrrr-mm-dd)"
  QLineEdit* MaskEdit1;        // "Godzina (gg:mm) "
  QLineEdit* Edit1;            // "Oznaczenie waluty ewidencyjnej"

 protected:
  FrameList BuildFrames() override;
  void FormShow() override;

 private:
  void ModeChanged();
};

}  // namespace ulvo
