#include "commands/ptu_dialogs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "link/settings.h"

namespace ulvo {

PtuRatesDialog::PtuRatesDialog(AppContext& context, QWidget* parent, bool bus)
    : CommandDialog(context, parent, QStringLiteral("Programowanie stawek PTU")), bus_(bus) {
  auto* grid = new QGridLayout;
  Body()->addLayout(grid);
  grid->addWidget(new QLabel(QStringLiteral("Stawka")), 0, 0);
  grid->addWidget(new QLabel(QStringLiteral("Wartość [%]")), 0, 1);
  const PtuRateFields defaults = DefaultPtuRates();
  // Row by row, so Tab goes through one rate after another; each rate's three states sit in
  // a box of their own, where the arrow keys move between them.
  for (int i = 0; i < kRateCount; ++i) {
    const QChar letter(QLatin1Char(static_cast<char>('A' + i)));
    grid->addWidget(new QLabel(QStringLiteral("PTU %1").arg(letter)), i + 1, 0);
    Edits[i] = new QLineEdit(QString::fromStdString(defaults[i].percent));
    Edits[i]->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
    grid->addWidget(Edits[i], i + 1, 1);
    auto* states = new QWidget;
    auto* row = new QHBoxLayout(states);
    row->setContentsMargins(0, 0, 0, 0);
    Taxed[i] = new QRadioButton(QStringLiteral("Opodatkowana"), states);
    Exempt[i] = new QRadioButton(QStringLiteral("Zwolniona"), states);
    Inactive[i] = new QRadioButton(QStringLiteral("Nieaktywna"), states);
    Taxed[i]->setObjectName(QStringLiteral("PTU_%1_O").arg(letter));
    Exempt[i]->setObjectName(QStringLiteral("PTU_%1_Z").arg(letter));
    Inactive[i]->setObjectName(QStringLiteral("PTU_%1_N").arg(letter));
    for (QRadioButton* radio : {Taxed[i], Exempt[i], Inactive[i]}) {
      row->addWidget(radio);
      connect(radio, &QRadioButton::clicked, this, [this, i] { RefreshRates(i); });
    }
    switch (defaults[i].state) {
      case PtuState::Taxed:
        Taxed[i]->setChecked(true);
        break;
      case PtuState::Exempt:
        Exempt[i]->setChecked(true);
        break;
      case PtuState::Inactive:
        Inactive[i]->setChecked(true);
        break;
    }
    grid->addWidget(states, i + 1, 2);
    if (bus_) {
      Surcharges[i] = new QCheckBox(QStringLiteral("Dopłata"));
      Surcharges[i]->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
      grid->addWidget(Surcharges[i], i + 1, 3);
    }
  }
}

PtuRateFields PtuRatesDialog::Fields() const {
  PtuRateFields fields;
  for (int i = 0; i < kRateCount; ++i) {
    fields[i].percent = Edits[i]->text().toStdString();
    fields[i].state = Taxed[i]->isChecked()    ? PtuState::Taxed
                      : Exempt[i]->isChecked() ? PtuState::Exempt
                                               : PtuState::Inactive;
    fields[i].surcharge = Surcharges[i] != nullptr && Surcharges[i]->isChecked();
  }
  return fields;
}

void PtuRatesDialog::RefreshRates(int only) {
  for (int i = 0; i < kRateCount; ++i) {
    if (only >= 0 && i != only) continue;
    Edits[i]->setEnabled(Taxed[i]->isChecked());
    if (Surcharges[i] != nullptr) Surcharges[i]->setEnabled(!Inactive[i]->isChecked());
  }
}

// ---- TProgramowanieStawek ----

TProgramowanieStawek::TProgramowanieStawek(AppContext& context, QWidget* parent)
    : PtuRatesDialog(context, parent, false) {
  setObjectName(QStringLiteral("TProgramowanieStawek"));
  FinishLayout(QStringLiteral("&Wyślij"), QStringLiteral("&Anuluj"));
  SetCloseAfterFailedSend(true);
  RefreshRates(-1);
}

void TProgramowanieStawek::RefreshRates(int only) {
  // Only the A and B buttons refresh their own rate; every other click refreshes all seven.
  if (only >= 2) only = -1;
  if (only < 0) {
    // Alta and Alta Plus know no exempt rate.
    const bool alta = settings().PrinterType == 0;
    for (int i = 0; i < kRateCount; ++i) {
      if (alta && Exempt[i]->isChecked()) Inactive[i]->setChecked(true);
      Exempt[i]->setVisible(!alta);
    }
  }
  PtuRatesDialog::RefreshRates(only);
}

FrameList TProgramowanieStawek::BuildFrames() {
  return BuildPtuRates(Fields(), settings().PrinterType);
}

// ---- TProgramowanieStawekPTUBus ----

TProgramowanieStawekPTUBus::TProgramowanieStawekPTUBus(AppContext& context, QWidget* parent)
    : PtuRatesDialog(context, parent, true) {
  setObjectName(QStringLiteral("TProgramowanieStawekPTUBus"));
  GroupBox1 = new QGroupBox(QStringLiteral("Sprzedaż biletów zagranicznych:"));
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  auto* layout = new QHBoxLayout(GroupBox1);
  RadioButton1 = new QRadioButton(QStringLiteral("TAK"));
  RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
  RadioButton2 = new QRadioButton(QStringLiteral("NIE"));
  RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
  RadioButton2->setChecked(true);
  layout->addWidget(RadioButton1);
  layout->addWidget(RadioButton2);
  Body()->addWidget(GroupBox1);
  FinishLayout(QStringLiteral("&Wyślij"), QStringLiteral("&Anuluj"));
  // No Enter of its own: Escape closes, Enter only presses a focused button.
  SetKeyMode(KeyMode::EscapeOnly);
  SetCloseAfterFailedSend(true);
  RefreshRates(-1);
}

FrameList TProgramowanieStawekPTUBus::BuildFrames() {
  return BuildPtuRatesBus(Fields(), RadioButton1->isChecked());
}

}  // namespace ulvo
