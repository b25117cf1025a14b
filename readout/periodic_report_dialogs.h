#pragma once
// The periodic report: printed by the printer (TWydrukRaportOkresowy) or read out of a
// Mavito's fiscal memory over the line (TOdczytajRaportOkresowy). One form for both.

#include <QString>

#include "readout/core/periodic_report_frames.h"
#include "ui/command_dialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace ulvo {

class PeriodicReportForm : public CommandDialog {
  Q_OBJECT
 public:
  PeriodicReportForm(AppContext& context, QWidget* parent, const QString& caption, bool readout);

  QRadioButton* RadioButton1 = nullptr;  // "Miesięczny"
  QRadioButton* RadioButton2 = nullptr;  // "Według dat"
  QRadioButton* RadioButton3 = nullptr;  // "Według numerów"
  QGroupBox* GroupBox1 = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QGroupBox* GroupBox3 = nullptr;
  QLineEdit* MaskEdit3 = nullptr;  // "mm-rrrr"
  QLineEdit* MaskEdit1 = nullptr;  // "dd-mm-rrrr"
  QLineEdit* MaskEdit2 = nullptr;
  QLineEdit* Edit3 = nullptr;
  QLineEdit* Edit4 = nullptr;
  QCheckBox* CheckBox1 = nullptr;  // emergency mode
  QCheckBox* CheckBox2 = nullptr;  // "Pełny raport"
  QCheckBox* CheckBox3 = nullptr;  // "Raport rozliczeniowy", always hidden
  QCheckBox* CheckBox4 = nullptr;  // "Niefiskalny raport sprzedaży" (print dialog)
  QComboBox* ComboBox2 = nullptr;  // baud rate (readout dialog)

 protected:
  PeriodicReportFields Fields() const;
  void FormShow() override;
  void showEvent(QShowEvent* event) override;
  // The range choices and groups that fit the printer and the emergency mode.
  void UpdateEnabling();

  bool readout_;
};

class TWydrukRaportOkresowy : public PeriodicReportForm {
  Q_OBJECT
 public:
  TWydrukRaportOkresowy(AppContext& context, QWidget* parent);

 protected:
  FrameList BuildFrames() override;
};

class TOdczytajRaportOkresowy : public PeriodicReportForm {
  Q_OBJECT
 public:
  TOdczytajRaportOkresowy(AppContext& context, QWidget* parent);
  void Button1Click() override;

  // Where the report file goes; the program's own folder unless a test says otherwise.
  QString reportFolder;

 protected:
  FrameList BuildFrames() override;

 private:
  AppContext& context_;
};

}  // namespace ulvo
