#include "shell/model_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ulvo {

TModelDrukarki::TModelDrukarki(Settings& settings, QWidget* captionTarget, QWidget* parent)
    : QDialog(parent), settings_(settings), captionTarget_(captionTarget) {
  setObjectName("TModelDrukarki");
  setWindowTitle(QString::fromUtf8("Model drukarki fiskalnej"));
  auto* prompt = new QLabel(QString::fromUtf8("Wybierz model drukarki fiskalnej"), this);
  auto* group = new QGroupBox(QString::fromUtf8("Modele drukarki"), this);
  for (int i = 0; i < kModelEntryCount; ++i)
    entries_[i] =
        new QRadioButton(QString::fromUtf8(ModelEntryCaption(static_cast<ModelEntry>(i))), group);
  // Two columns: the plain models on the left, the bus models level with the first two.
  auto* grid = new QGridLayout(group);
  grid->addWidget(Entry(ModelEntry::AltaAltaPlus), 0, 0);
  grid->addWidget(Entry(ModelEntry::AltaPro), 1, 0);
  grid->addWidget(Entry(ModelEntry::Mavito), 2, 0);
  grid->addWidget(Entry(ModelEntry::MavitoKopiaElektroniczna), 3, 0);
  grid->addWidget(Entry(ModelEntry::AltaBus), 0, 1);
  grid->addWidget(Entry(ModelEntry::MavitoBus), 1, 1);

  Button1 = new QPushButton(QString::fromUtf8("&Zastosuj"), this);
  Button2 = new QPushButton(QString::fromUtf8("&Anuluj"), this);
  Button1->setDefault(true);
  Button2->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt);
  layout->addWidget(group);
  layout->addLayout(buttons);

  connect(Button1, &QPushButton::clicked, this, &TModelDrukarki::Apply);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TModelDrukarki::showEvent(QShowEvent* event) {
  QRadioButton* current = Entry(ModelEntryFor(settings_));
  current->setChecked(true);
  current->setFocus();
  QDialog::showEvent(event);
}

void TModelDrukarki::Apply() {
  for (int i = 0; i < kModelEntryCount; ++i) {
    if (entries_[i]->isChecked()) {
      ApplyModelEntry(static_cast<ModelEntry>(i), settings_);
      break;
    }
  }
  if (captionTarget_ != nullptr)
    captionTarget_->setWindowTitle(QString::fromStdString(MainWindowCaption(settings_)));
  accept();
}

}  // namespace ulvo
