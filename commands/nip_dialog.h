#pragma once
// NIP programming in training mode: the number typed is checked for its form and checksum
// (each check can be overridden) and sent as typed, dashes and "PL " included.

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "ui/command_dialog.h"

namespace ulvo {

class TProgramowanieNIP : public CommandDialog {
 public:
  TProgramowanieNIP(AppContext& context, QWidget* parent);
  QLabel* Label1;              // heading
  QLineEdit* Edit1;            // "NIP"
  QRadioButton* RadioButton1;  // "Tryb niefiskalny (szkoleniowy)"
  QRadioButton* RadioButton2;  // "Tryb fiskalny" (always disabled)

 protected:
  bool ConfirmSend() override;
  FrameList BuildFrames() override;
  void FormShow() override;
};

}  // namespace ulvo
