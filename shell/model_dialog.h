#pragma once
// "Model drukarki fiskalnej" (TModelDrukarki): the printer family and its variant.

#include <QDialog>
#include <array>

#include "shell/core/main_window_logic.h"

class QPushButton;
class QRadioButton;

namespace ulvo {

class TModelDrukarki : public QDialog {
  Q_OBJECT
 public:
  // `captionTarget` gets the new main window caption on apply (may be null).
  TModelDrukarki(Settings& settings, QWidget* captionTarget, QWidget* parent = nullptr);

  QRadioButton* Entry(ModelEntry entry) const { return entries_[static_cast<int>(entry)]; }
  QPushButton* Button1 = nullptr;  // "&Zastosuj"
  QPushButton* Button2 = nullptr;  // "&Anuluj"

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Apply();

  Settings& settings_;
  QWidget* captionTarget_;
  std::array<QRadioButton*, kModelEntryCount> entries_{};
};

}  // namespace ulvo
