#pragma once
// Checks of printed control numbers by the electronic-copy printer: a receipt's and a daily
// report's. F1 shows where the data stand on a printout.

#include <QDialog>

#include "ui/command_dialog.h"

class QCheckBox;
class QLineEdit;
class QTableWidget;

namespace ulvo {

// A help window with a drawn sample printout.
class ControlHelpWindow : public QDialog {
  Q_OBJECT
 public:
  ControlHelpWindow(QWidget* parent, const QString& caption, bool dailyReport);
};

class TPomocNrKontrolnyPar : public ControlHelpWindow {
  Q_OBJECT
 public:
  explicit TPomocNrKontrolnyPar(QWidget* parent);
};

class TPomocNrKontrolnyRapDobowego : public ControlHelpWindow {
  Q_OBJECT
 public:
  explicit TPomocNrKontrolnyRapDobowego(QWidget* parent);
};

class TNrKontrolnyPar : public CommandDialog {
  Q_OBJECT
 public:
  TNrKontrolnyPar(AppContext& context, QWidget* parent);

  QLineEdit* MaskEdit1 = nullptr;  // "Data wydruku"
  QLineEdit* Edit1 = nullptr;      // "Numer dokumentu"
  QTableWidget* StringGrid1 = nullptr;
  QLineEdit* Edit2 = nullptr;      // "Suma PTU"
  QLineEdit* Edit3 = nullptr;      // "SUMA paragonu"
  QLineEdit* Edit4 = nullptr;      // "Numer paragonu"
  QLineEdit* MaskEdit2 = nullptr;  // "Czas wydruku"
  QCheckBox* CheckBox1 = nullptr;  // "Paragon anulowany"
  QLineEdit* Edit5 = nullptr;      // unique number letters
  QLineEdit* Edit6 = nullptr;      // unique number digits
  QLineEdit* Edit7 = nullptr;      // control number
  TPomocNrKontrolnyPar* help = nullptr;

 protected:
  FrameList BuildFrames() override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateCancelled();
};

class TNrKontrolnyRapDobowego : public CommandDialog {
  Q_OBJECT
 public:
  TNrKontrolnyRapDobowego(AppContext& context, QWidget* parent);

  QLineEdit* MaskEdit1 = nullptr;       // "Data raportu"
  QLineEdit* Edit1 = nullptr;           // "Numer raportu"
  QTableWidget* StringGrid1 = nullptr;  // taxed letters
  QTableWidget* StringGrid2 = nullptr;  // exempt letters
  QLineEdit* Edit2 = nullptr;           // "ŁĄCZNA KWOTA PTU"
  QLineEdit* Edit3 = nullptr;           // "ILOŚĆ PARAGONÓW"
  QLineEdit* Edit4 = nullptr;           // running "ŁĄCZNA KWOTA PTU"
  QLineEdit* Edit5 = nullptr;           // unique number letters
  QLineEdit* Edit6 = nullptr;           // unique number digits
  QLineEdit* Edit7 = nullptr;           // control number
  TPomocNrKontrolnyRapDobowego* help = nullptr;

 protected:
  FrameList BuildFrames() override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace ulvo
