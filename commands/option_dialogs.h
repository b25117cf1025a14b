#pragma once
// The configuration option dialogs: one group of exclusive choices, each choice one value
// that the printer keeps.

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <vector>

#include "ui/command_dialog.h"

namespace ulvo {

struct OptionChoice {
  QString caption;
  int value;
};

class OptionDialog : public CommandDialog {
 public:
  using Builder = FrameList (*)(int value);
  // `defaultIndex` is chosen when the dialog is made; `helpText` adds a help button.
  OptionDialog(AppContext& context, QWidget* parent, const QString& caption,
               const QString& groupCaption, const std::vector<OptionChoice>& choices,
               int defaultIndex, Builder builder, const char* helpText = nullptr);

  QGroupBox* GroupBox1;
  std::vector<QRadioButton*> RadioButtons;  // RadioButton1 ...
  QPushButton* BitBtn1 = nullptr;           // help, where the option has one

  // The value of the checked choice; -1 when none is checked.
  int ChosenValue() const;

 protected:
  FrameList BuildFrames() override;
  // Room for notes below the choices.
  QVBoxLayout* GroupLayout() const { return groupLayout_; }

 private:
  std::vector<int> values_;
  Builder builder_;
  QVBoxLayout* groupLayout_;
};

class TSposobBledow : public CommandDialog {
 public:
  TSposobBledow(AppContext& context, QWidget* parent);
  QGroupBox* GroupBox1;  // Alta Pro and Mavito
  QGroupBox* GroupBox2;  // Alta and Alta Plus
  std::vector<QRadioButton*> RadioButtons1;
  std::vector<QRadioButton*> RadioButtons2;

 protected:
  FrameList BuildFrames() override;
  void FormShow() override;
};

class TSposobDruowania : public OptionDialog {
 public:
  TSposobDruowania(AppContext& context, QWidget* parent);
};

class TMetodaRabatu : public OptionDialog {
 public:
  TMetodaRabatu(AppContext& context, QWidget* parent);

 protected:
  void FormShow() override;
};

class TCzujnikObudowy : public OptionDialog {
 public:
  TCzujnikObudowy(AppContext& context, QWidget* parent);
};

class TSzybkoscWydruku : public OptionDialog {
 public:
  TSzybkoscWydruku(AppContext& context, QWidget* parent);
};

class TKonfiguracjaCzasuOdp : public OptionDialog {
 public:
  TKonfiguracjaCzasuOdp(AppContext& context, QWidget* parent);
};

class TSposobObslugiKaucjiWLinijceParagonu : public OptionDialog {
 public:
  TSposobObslugiKaucjiWLinijceParagonu(AppContext& context, QWidget* parent);
};

class TAutomatyczneOtwieranieSzuflady : public OptionDialog {
 public:
  TAutomatyczneOtwieranieSzuflady(AppContext& context, QWidget* parent);
};

class TDefinicjaNrSystemowego : public OptionDialog {
 public:
  TDefinicjaNrSystemowego(AppContext& context, QWidget* parent);
};

class TRaportyMiesieczne : public OptionDialog {
 public:
  TRaportyMiesieczne(AppContext& context, QWidget* parent);
};

}  // namespace ulvo
