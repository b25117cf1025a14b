#include "readout/periodic_report_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cstdio>

#include "link/link.h"
#include "link/settings.h"
#include "readout/fiscal_transfer_dialog.h"
#include "ui/dialog_registry.h"

namespace ulvo {

namespace {

const char* const kBaudRates[] = {"110",   "300",   "600",   "1200",  "2400",   "4800",   "9600",
                                  "14400", "19200", "38400", "57600", "115200", "128000", "256000"};

QLineEdit* MaskEdit(const char* name, const char* mask, const char* hint) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(name));
  edit->setInputMask(QString::fromLatin1(mask));
  edit->setToolTip(QString::fromLatin1(hint));
  return edit;
}

void Paint(QWidget* field, bool enabled) {
  // White when the range is chosen, grey otherwise.
  field->setEnabled(enabled);
  field->setStyleSheet(enabled ? QString() : QStringLiteral("background-color: #d4d0c8;"));
}

}  // namespace

PeriodicReportForm::PeriodicReportForm(AppContext& context, QWidget* parent, const QString& caption,
                                       bool readout)
    : CommandDialog(context, parent, caption), readout_(readout) {
  if (readout) {
    auto* heading = new QLabel(QStringLiteral("Odczyt pamięci fiskalnej"));
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    Body()->addWidget(heading);
  }
  RadioButton1 = new QRadioButton(QStringLiteral("&Miesięczny"));
  RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
  RadioButton2 = new QRadioButton(QStringLiteral("Według &dat"));
  RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
  RadioButton3 = new QRadioButton(QStringLiteral("Według &numerów"));
  RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
  auto* group = new QButtonGroup(this);
  group->addButton(RadioButton1);
  group->addButton(RadioButton2);
  group->addButton(RadioButton3);
  RadioButton1->setChecked(true);

  MaskEdit3 = MaskEdit("MaskEdit3", "99-9999", "mm-rrrr");
  MaskEdit1 = MaskEdit("MaskEdit1", "99-99-9999", "dd-mm-rrrr");
  MaskEdit2 = MaskEdit("MaskEdit2", "99-99-9999", "dd-mm-rrrr");
  Edit3 = new QLineEdit;
  Edit3->setObjectName(QStringLiteral("Edit3"));
  Edit4 = new QLineEdit;
  Edit4->setObjectName(QStringLiteral("Edit4"));

  GroupBox1 = new QGroupBox;
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  auto* f1 = new QFormLayout(GroupBox1);
  f1->addRow(QStringLiteral("Miesiąc"), MaskEdit3);
  GroupBox2 = new QGroupBox;
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  auto* f2 = new QFormLayout(GroupBox2);
  f2->addRow(QStringLiteral("Od"), MaskEdit1);
  f2->addRow(QStringLiteral("Do"), MaskEdit2);
  GroupBox3 = new QGroupBox;
  GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
  auto* f3 = new QFormLayout(GroupBox3);
  f3->addRow(QStringLiteral("Od"), Edit3);
  f3->addRow(QStringLiteral("Do"), Edit4);

  Body()->addWidget(RadioButton1);
  Body()->addWidget(GroupBox1);
  Body()->addWidget(RadioButton2);
  Body()->addWidget(GroupBox2);
  Body()->addWidget(RadioButton3);
  Body()->addWidget(GroupBox3);

  CheckBox1 = new QCheckBox(readout ? QStringLiteral("Odczyt w trybie &awaryjnym")
                                    : QStringLiteral("Wydruk w trybie &awaryjnym"));
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  CheckBox2 = new QCheckBox(QStringLiteral("&Pełny raport"));
  CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
  CheckBox2->setChecked(true);
  CheckBox3 = new QCheckBox(QStringLiteral("Raport rozliczeniowy"));
  CheckBox3->setObjectName(QStringLiteral("CheckBox3"));
  Body()->addWidget(CheckBox1);
  Body()->addWidget(CheckBox2);
  Body()->addWidget(CheckBox3);
  if (!readout) {
    CheckBox4 = new QCheckBox(QStringLiteral("Niefiskalny raport sprzedaży"));
    CheckBox4->setObjectName(QStringLiteral("CheckBox4"));
    Body()->addWidget(CheckBox4);
  } else {
    auto* speed = new QGroupBox(QStringLiteral("Szybkość transmisji"));
    auto* form = new QFormLayout(speed);
    ComboBox2 = new QComboBox;
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    for (const char* rate : kBaudRates) ComboBox2->addItem(QString::fromLatin1(rate));
    ComboBox2->setCurrentText(QStringLiteral("115200"));
    form->addRow(QStringLiteral("Liczba bitów na sekunde"), ComboBox2);
    Body()->addWidget(speed);
    Body()->addWidget(
        new QLabel(QStringLiteral("Tylko dla drukarki z programem sterującym 2.00 lub nowszym")));
    Body()->addWidget(new QLabel(
        QStringLiteral("Oznaczenie programu odczytującego pamięć fiskalną.: OPF_MAVITO")));
  }
  for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
           RadioButton1, RadioButton2, RadioButton3, CheckBox1, CheckBox2}) {
    connect(b, &QAbstractButton::clicked, this, [this] { UpdateEnabling(); });
  }
  connect(group, &QButtonGroup::buttonToggled, this, [this] { UpdateEnabling(); });
  if (readout) {
    FinishLayout(QStringLiteral("&Odczytaj"), QStringLiteral("&Anuluj"));
  } else {
    FinishLayout();
  }
  // Tab runs down the form: each range choice, then its fields.
  QWidget* order[] = {RadioButton1,
                      MaskEdit3,
                      RadioButton2,
                      MaskEdit1,
                      MaskEdit2,
                      RadioButton3,
                      Edit3,
                      Edit4,
                      CheckBox1,
                      CheckBox2,
                      readout ? static_cast<QWidget*>(ComboBox2) : static_cast<QWidget*>(CheckBox4),
                      Button1,
                      Button2};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void PeriodicReportForm::UpdateEnabling() {
  const Settings& s = settings();
  if (CheckBox4 != nullptr) CheckBox4->setVisible(s.BusMode != 0);
  CheckBox3->setVisible(false);
  if (s.PrinterType == 0) CheckBox3->setChecked(false);
  const bool emergency = CheckBox1->isChecked();
  if (s.PrinterType == 0) {
    RadioButton1->setEnabled(false);
    RadioButton2->setEnabled(!emergency);
    RadioButton3->setEnabled(emergency);
    (emergency ? RadioButton3 : RadioButton2)->setChecked(true);
  } else {
    RadioButton1->setEnabled(!emergency);
    RadioButton2->setEnabled(!emergency);
    RadioButton3->setEnabled(true);
    if (emergency) RadioButton3->setChecked(true);
  }
  GroupBox1->setEnabled(RadioButton1->isChecked());
  GroupBox2->setEnabled(RadioButton2->isChecked());
  GroupBox3->setEnabled(RadioButton3->isChecked());
  Paint(MaskEdit3, RadioButton1->isChecked());
  Paint(MaskEdit1, RadioButton2->isChecked());
  Paint(MaskEdit2, RadioButton2->isChecked());
  Paint(Edit3, RadioButton3->isChecked());
  Paint(Edit4, RadioButton3->isChecked());
}

void PeriodicReportForm::FormShow() {
  UpdateEnabling();
}

void PeriodicReportForm::showEvent(QShowEvent* event) {
  CommandDialog::showEvent(event);
  if (event->spontaneous()) return;
  // The chosen range's first field has the focus, so typing fills its mask at once.
  QLineEdit* first = RadioButton1->isChecked()   ? MaskEdit3
                     : RadioButton2->isChecked() ? MaskEdit1
                                                 : Edit3;
  first->setFocus(Qt::OtherFocusReason);
  first->setCursorPosition(0);
}

PeriodicReportFields PeriodicReportForm::Fields() const {
  PeriodicReportFields f;
  f.range = RadioButton1->isChecked()   ? PeriodicReportFields::Range::kMonth
            : RadioButton2->isChecked() ? PeriodicReportFields::Range::kDates
                                        : PeriodicReportFields::Range::kNumbers;
  f.monthText = MaskEdit3->text().toStdString();
  f.fromDateText = MaskEdit1->text().toStdString();
  f.toDateText = MaskEdit2->text().toStdString();
  f.fromNumber = Edit3->text().toStdString();
  f.toNumber = Edit4->text().toStdString();
  f.emergency = CheckBox1->isChecked();
  f.fullReport = CheckBox2->isChecked();
  f.nonFiscal = CheckBox4 != nullptr && CheckBox4->isChecked();
  if (ComboBox2 != nullptr) f.baudRate = ComboBox2->currentText().toULong();
  return f;
}

// ---- TWydrukRaportOkresowy ----

TWydrukRaportOkresowy::TWydrukRaportOkresowy(AppContext& context, QWidget* parent)
    : PeriodicReportForm(context, parent, QStringLiteral("Raport okresowy"), false) {
  setObjectName(QStringLiteral("TWydrukRaportOkresowy"));
}

FrameList TWydrukRaportOkresowy::BuildFrames() {
  return BuildPeriodicReport(Fields(), settings().PrinterType, settings().BusMode != 0);
}

// ---- TOdczytajRaportOkresowy ----

TOdczytajRaportOkresowy::TOdczytajRaportOkresowy(AppContext& context, QWidget* parent)
    : PeriodicReportForm(context, parent, QStringLiteral("Odczytaj raport okresowy"), true),
      context_(context) {
  setObjectName(QStringLiteral("TOdczytajRaportOkresowy"));
  // The program's data folder: its own directory, or the user's when that cannot be written.
  reportFolder = context.dataDir.empty() ? QCoreApplication::applicationDirPath()
                                         : QString::fromStdU16String(context.dataDir.u16string());
}

FrameList TOdczytajRaportOkresowy::BuildFrames() {
  ReadoutRequest request;
  return BuildPeriodicReadout(Fields(), request);
}

void TOdczytajRaportOkresowy::Button1Click() {
  if (settings().PrinterType != 2 || settings().BusMode != 0) {
    link().ui().ShowMessage(kReadoutNotAvailable);
    reject();
    return;
  }
  ReadoutRequest request;
  const PeriodicReportFields fields = Fields();
  const FrameList list = BuildPeriodicReadout(fields, request);
  if (list.Refused()) {
    link().ui().ShowMessage(list.error);
    return;
  }
  request.ecopy = settings().ElectronicCopy != 0;
  request.todayText = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
  Link& l = link();
  std::snprintf(l.TxBuf, sizeof l.TxBuf, "%s", list.frames.front().c_str());
  if (l.SendFrame(l.TxBuf)) return;
  // A failed or broken-off readout leaves the range in front of the user for another try.
  if (RunFiscalReadout(context_, request, fields.baudRate, reportFolder, this)) accept();
}

}  // namespace ulvo
