#pragma once
// TOdczytUstawienDrukarki: the printer's whole configuration read with one query, shown
// option by option (read-only), kept in and shown again from a 26-byte ".ust" file.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "shell/readouts/core/printer_settings.h"
#include "shell/readouts/readout_dialog.h"

namespace ulvo {

class TOdczytUstawienDrukarki : public ReadoutDialog {
 public:
  TOdczytUstawienDrukarki(AppContext& context, QWidget* parent);

  // One row per option: its caption and its value as read-only text.
  std::array<QLabel*, kSettingRowCount> Captions{};
  std::array<QLineEdit*, kSettingRowCount> Fields{};
  QPushButton* LoadButton;  // "&Pobierz ustawienia z pliku"
  QPushButton* SaveButton;  // "&Zapisz ustawienia do pliku"
  // The help buttons of the copy mode, response time, error mode, deposit, drawer and
  // system number options.
  std::array<QPushButton*, 6> HelpButtons{};

  const PrinterSettings& Values() const { return values_; }

  // The file parts of the two buttons, after the file dialogs.
  void LoadFromFile(const QString& path);
  void SaveToFile(const QString& path);

 protected:
  bool Read() override;
  void ClearDisplay() override;

 private:
  void ShowValues();

  PrinterSettings values_;
  int discountChoice_ = -1;
};

}  // namespace ulvo
