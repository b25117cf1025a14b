#pragma once
// The simple command dialogs with fields of their own: each copies its controls into the
// plain struct of its command and hands it to the frame builder.

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

#include "ui/command_dialog.h"

namespace ulvo {

class TKorektaZegara : public CommandDialog {
 public:
  TKorektaZegara(AppContext& context, QWidget* parent);
  QDateEdit* DateTimePicker1;  // "Data (rrrr-mm-dd)"
  QTimeEdit* DateTimePicker2;  // "Godzina (gg:mm:ss) "
  QPushButton* BitBtn1;        // "Aktualna data"
  QPushButton* BitBtn2;        // "Aktualna godzina"

 protected:
  FrameList BuildFrames() override;
  void FormShow() override;
};

// The cashier login and logout share their form.
class CashierDialog : public CommandDialog {
 public:
  CashierDialog(AppContext& context, QWidget* parent, const QString& caption, bool login);
  QLineEdit* Edit1;  // "Kasjer"
  QLineEdit* Edit2;  // "Numer kasy"

 protected:
  FrameList BuildFrames() override;

 private:
  bool login_;
};

class TLogowanieKasjera : public CashierDialog {
 public:
  TLogowanieKasjera(AppContext& context, QWidget* parent);
};

class TWylogowanieKasjera : public CashierDialog {
 public:
  TWylogowanieKasjera(AppContext& context, QWidget* parent);
};

// Dialogs of one text field sent as typed.
class OneFieldDialog : public CommandDialog {
 public:
  using Builder = FrameList (*)(const std::string&);
  OneFieldDialog(AppContext& context, QWidget* parent, const QString& caption, const QString& label,
                 const QString& defaultText, Builder builder);
  QLineEdit* Edit1;

 protected:
  FrameList BuildFrames() override;

 private:
  Builder builder_;
};

class TWplataDoKasy : public OneFieldDialog {
 public:
  TWplataDoKasy(AppContext& context, QWidget* parent);
};

class TWyplataZKasy : public OneFieldDialog {
 public:
  TWyplataZKasy(AppContext& context, QWidget* parent);
};

class TParametrySzuflady : public OneFieldDialog {
 public:
  TParametrySzuflady(AppContext& context, QWidget* parent);
};

class TWysuwPapieru : public OneFieldDialog {
 public:
  TWysuwPapieru(AppContext& context, QWidget* parent);
};

class TMinimalnyCzasSterZwijacz : public OneFieldDialog {
 public:
  TMinimalnyCzasSterZwijacz(AppContext& context, QWidget* parent);
};

class TStanKasy : public CommandDialog {
 public:
  TStanKasy(AppContext& context, QWidget* parent);

 protected:
  FrameList BuildFrames() override;
};

class TRaportKasyZmiany : public CommandDialog {
 public:
  TRaportKasyZmiany(AppContext& context, QWidget* parent);
  QLineEdit* Edit1;      // "Zmiana"
  QLineEdit* Edit2;      // "Kasjer"
  QCheckBox* CheckBox1;  // "Zerujący"

 protected:
  FrameList BuildFrames() override;
};

class TPrzegladySerwisowe : public CommandDialog {
 public:
  TPrzegladySerwisowe(AppContext& context, QWidget* parent);
  QDateEdit* DateTimePicker1;
  QLineEdit* Edit2;            // "Telefon"
  QRadioButton* RadioButton1;  // reminder off
  QRadioButton* RadioButton2;  // reminder on

 protected:
  FrameList BuildFrames() override;

 private:
  void UpdateEnabled();
};

class TWpisanieTypuIWersji : public CommandDialog {
 public:
  TWpisanieTypuIWersji(AppContext& context, QWidget* parent);
  QRadioButton* RadioButton1;  // "Domyślna odpowiedź"
  QRadioButton* RadioButton2;  // "Zdefiniowanie niestandardowej odpowiedzi"
  QComboBox* ComboBox1;        // "Wybierz odpowiedź"
  QPushButton* BitBtn1;        // help

 protected:
  FrameList BuildFrames() override;

 private:
  void UpdateVisible();
  QWidget* choiceRow_;
};

class TParagonZa1 : public CommandDialog {
 public:
  TParagonZa1(AppContext& context, QWidget* parent);
  QCheckBox* CheckBox1;  // "Wyślij rozkaz otworzenia szuflady po paragonie"

 protected:
  FrameList BuildFrames() override;
};

class TWydrukRaportuDobowego : public CommandDialog {
 public:
  TWydrukRaportuDobowego(AppContext& context, QWidget* parent);
  QDateEdit* DateTimePicker1;
  QPushButton* BitBtn1;  // "Aktualna data"
  QCheckBox* CheckBox1;  // "Bez potwierdzenia z klawiatury"

 protected:
  FrameList BuildFrames() override;
  void FormShow() override;
};

}  // namespace ulvo
