#pragma once
// PTU rate programming: seven rates, each a percentage and a state, sent in one frame.
// TProgramowanieStawek is the ordinary dialog; TProgramowanieStawekPTUBus the bus printer's,
// with a surcharge per rate and the foreign-ticket rate. Both close after sending, also when
// the frame could not be written.

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <array>

#include "commands/core/programming_frames.h"
#include "ui/command_dialog.h"

namespace ulvo {

class PtuRatesDialog : public CommandDialog {
 public:
  std::array<QLineEdit*, kRateCount> Edits{};        // Edit1 ... Edit7
  std::array<QRadioButton*, kRateCount> Taxed{};     // PTU_A_O ... "Opodatkowana"
  std::array<QRadioButton*, kRateCount> Exempt{};    // PTU_A_Z ... "Zwolniona"
  std::array<QRadioButton*, kRateCount> Inactive{};  // PTU_A_N ... "Nieaktywna"
  std::array<QCheckBox*, kRateCount> Surcharges{};   // CheckBox1 ... "Dopłata" (bus only)

  // The fields as the frame builders take them.
  PtuRateFields Fields() const;

 protected:
  PtuRatesDialog(AppContext& context, QWidget* parent, bool bus);
  // Enables the fields that fit the states (rate `only`, or all when it is -1).
  virtual void RefreshRates(int only);
  void FormShow() override { RefreshRates(-1); }

 private:
  bool bus_;
};

class TProgramowanieStawek : public PtuRatesDialog {
 public:
  TProgramowanieStawek(AppContext& context, QWidget* parent);

 protected:
  FrameList BuildFrames() override;
  void RefreshRates(int only) override;
};

class TProgramowanieStawekPTUBus : public PtuRatesDialog {
 public:
  TProgramowanieStawekPTUBus(AppContext& context, QWidget* parent);
  QGroupBox* GroupBox1;        // "Sprzedaż biletów zagranicznych:"
  QRadioButton* RadioButton1;  // "TAK"
  QRadioButton* RadioButton2;  // "NIE"

 protected:
  FrameList BuildFrames() override;
};

}  // namespace ulvo
