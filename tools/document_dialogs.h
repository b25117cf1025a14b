#pragma once
// Orders and goods-database reports: the six single steps, the whole report from a table,
// and the bus printer's ticket report.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "tools/core/document_frames.h"
#include "ui/command_dialog.h"
#include "ui/table_dialog.h"

namespace ulvo {

// The three order steps share the additional lines.
class OrderStepDialog : public CommandDialog {
  Q_OBJECT
 public:
  OrderStepDialog(AppContext& context, QWidget* parent, const QString& caption);
  QCheckBox* CheckBox1 = nullptr;   // "Dodatkowe linie"
  QPlainTextEdit* Memo1 = nullptr;  // the lines, enabled only while checked

 protected:
  // Adds the check box and its text box below the fields; call after the fields.
  void AddExtraLines();
  OrderExtraLines ExtraLines() const;

 private:
  void UpdateEnabled();
};

class TPoczatekZamowienia : public OrderStepDialog {
  Q_OBJECT
 public:
  TPoczatekZamowienia(AppContext& context, QWidget* parent);
  QLineEdit* Edit1;  // "Zamawiający"

 protected:
  FrameList BuildFrames() override;
};

class TLinijkaZamowienia : public OrderStepDialog {
  Q_OBJECT
 public:
  TLinijkaZamowienia(AppContext& context, QWidget* parent);
  QLineEdit* Edit1;  // "Nazwa artykułu"
  QLineEdit* Edit2;  // "Ilość"

 protected:
  FrameList BuildFrames() override;
};

class TZakonczenieZamowienia : public OrderStepDialog {
  Q_OBJECT
 public:
  TZakonczenieZamowienia(AppContext& context, QWidget* parent);

 protected:
  FrameList BuildFrames() override;
};

class TPoczateRaportuBazy : public CommandDialog {
  Q_OBJECT
 public:
  TPoczateRaportuBazy(AppContext& context, QWidget* parent);
  QRadioButton* RadioButton1;  // kind 0
  QRadioButton* RadioButton2;  // kind 1
  QRadioButton* RadioButton3;  // kind 2

 protected:
  FrameList BuildFrames() override;
};

class TPozycjaRaportuBazy : public CommandDialog {
  Q_OBJECT
 public:
  TPozycjaRaportuBazy(AppContext& context, QWidget* parent);
  QLineEdit* Edit1;      // "Nazwa towaru"
  QComboBox* ComboBox1;  // "Stawka PTU"

 protected:
  FrameList BuildFrames() override;
};

class TZakonczenieRaportuBazy : public CommandDialog {
  Q_OBJECT
 public:
  TZakonczenieRaportuBazy(AppContext& context, QWidget* parent);

 protected:
  FrameList BuildFrames() override;
};

// A report from a table: start, items, end; stops at the first empty row.
class DatabaseTableDialog : public TableDialog {
  Q_OBJECT
 public:
  DatabaseTableDialog(AppContext& context, QWidget* parent, const QString& caption);
  void Button1Click() override;

  QRadioButton* RadioButton1 = nullptr;  // the report kinds, in the order of their captions
  QRadioButton* RadioButton2 = nullptr;
  QRadioButton* RadioButton3 = nullptr;

 protected:
  virtual FrameList BuildFrames() = 0;
  // The "Rodzaj raportu" group with the three kinds.
  void AddKindChoice(const char* const captions[3]);
};

class TPelnaKontrolaBazy : public DatabaseTableDialog {
  Q_OBJECT
 public:
  TPelnaKontrolaBazy(AppContext& context, QWidget* parent);
  // RadioButton1..3: kinds 0, 1, 2.
  LineTable* StringGrid1;  // "Nazwa towaru/usługi", "Stawka PTU"

 protected:
  FrameList BuildFrames() override;
};

class TKontrolaBazyTowarowejDlaBus : public DatabaseTableDialog {
  Q_OBJECT
 public:
  TKontrolaBazyTowarowejDlaBus(AppContext& context, QWidget* parent);
  // RadioButton1..3: kinds 4, 5, 6.
  LineTable* StringGrid1;  // ticket, item, PTU, surcharge PTU

 protected:
  FrameList BuildFrames() override;
};

}  // namespace ulvo
