#include "shell/port_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/link.h"
#include "link/network_port_name.h"

namespace ulvo {
namespace {

constexpr int kPortItems = 64;  // "COM 1" .. "COM 64"; item 64 is "Brak"
constexpr unsigned kBaudRates[] = {110,   300,   600,   1200,  2400,   4800,   9600,
                                   14400, 19200, 38400, 57600, 115200, 128000, 256000};

QLabel* Buddy(const char* text, QWidget* field, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setBuddy(field);
  return label;
}

}  // namespace

TParametryTransmisji::TParametryTransmisji(Link& link, QWidget* parent)
    : QDialog(parent), link_(link) {
  setObjectName("TParametryTransmisji");
  setWindowTitle(QString::fromUtf8("Parametry transmisji"));

  ComboBox1 = new QComboBox(this);
  for (int i = 1; i <= kPortItems; ++i) ComboBox1->addItem(QString("COM %1").arg(i));
  ComboBox1->addItem(QString::fromUtf8("Brak"));

  GroupBox1 = new QGroupBox(QString::fromUtf8("Ustawienia portu szeregowego"), this);
  ComboBox2 = new QComboBox(GroupBox1);
  for (unsigned rate : kBaudRates) ComboBox2->addItem(QString::number(rate));
  ComboBox3 = new QComboBox(GroupBox1);
  ComboBox3->addItems({"5", "6", "7", "8"});
  ComboBox4 = new QComboBox(GroupBox1);
  for (const char* name : {"Brak ", "Nieparzyste", "Parzyste", "Znacznik", "Odstęp"})
    ComboBox4->addItem(QString::fromUtf8(name));
  ComboBox5 = new QComboBox(GroupBox1);
  ComboBox5->addItems({"1", "1.5", "2"});
  auto* flow = new QGroupBox(QString::fromUtf8("Sterowanie przepływem"), GroupBox1);
  CheckBox1 = new QCheckBox(QString::fromUtf8("Xon / Xoff"), flow);
  CheckBox2 = new QCheckBox(QString::fromUtf8("RTS / CTS"), flow);
  auto* flowLayout = new QHBoxLayout(flow);
  flowLayout->addWidget(CheckBox1);
  flowLayout->addWidget(CheckBox2);

  auto* settingsLayout = new QFormLayout(GroupBox1);
  settingsLayout->addRow(Buddy("Liczba bitów na sekunde", ComboBox2, GroupBox1), ComboBox2);
  settingsLayout->addRow(Buddy("Ilość bitów danych", ComboBox3, GroupBox1), ComboBox3);
  settingsLayout->addRow(Buddy("Parzystość", ComboBox4, GroupBox1), ComboBox4);
  settingsLayout->addRow(Buddy("Bity stopu", ComboBox5, GroupBox1), ComboBox5);
  settingsLayout->addRow(flow);

  Button1 = new QPushButton(QString::fromUtf8("&Wartości domyślne"), this);
  Button2 = new QPushButton(QString::fromUtf8("&Zastosuj"), this);
  Button3 = new QPushButton(QString::fromUtf8("&Zamknij"), this);
  Button1->setAutoDefault(false);
  Button3->setAutoDefault(false);
  Button2->setDefault(true);  // Enter applies

  auto* portRow = new QFormLayout;
  portRow->addRow(Buddy("Nr portu", ComboBox1, this), ComboBox1);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setPlaceholderText(QString::fromUtf8(
      "puste: port komputera; albo ścieżka, tcp://HOST:PORT, rfc2217://HOST:PORT"));
  Edit1->setMaxLength(1024);
  portRow->addRow(Buddy("&Adres portu", Edit1, this), Edit1);
  setTabOrder(ComboBox1, Edit1);
  setTabOrder(Edit1, ComboBox2);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addStretch();
  buttons->addWidget(Button2);
  buttons->addWidget(Button3);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(portRow);
  layout->addWidget(GroupBox1);
  layout->addLayout(buttons);

  connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TParametryTransmisji::PortChanged);
  connect(Button1, &QPushButton::clicked, this, &TParametryTransmisji::SetDefaults);
  connect(Button2, &QPushButton::clicked, this, &TParametryTransmisji::Apply);
  connect(Button3, &QPushButton::clicked, this, &QDialog::reject);  // Escape too

  SetDefaults();
}

void TParametryTransmisji::showEvent(QShowEvent* event) {
  link_.SavePortSettings();
  LoadControls();
  ComboBox1->setFocus();
  QDialog::showEvent(event);
}

void TParametryTransmisji::LoadControls() {
  const LineSettings& s = link_.PortSettings;
  const std::uint8_t port = link_.PortNumber;
  ComboBox1->setCurrentIndex(port >= 1 && port <= kPortItems ? port - 1 : kPortItems);
  // A rate that is not in the list leaves the selection as it was.
  const int baud = ComboBox2->findText(QString::number(s.BaudRate));
  if (baud >= 0) ComboBox2->setCurrentIndex(baud);
  if (s.DataBits >= 5 && s.DataBits <= 8) ComboBox3->setCurrentIndex(s.DataBits - 5);
  if (s.Parity < ComboBox4->count()) ComboBox4->setCurrentIndex(s.Parity);
  if (s.StopBits < ComboBox5->count()) ComboBox5->setCurrentIndex(s.StopBits);
  CheckBox1->setChecked(s.XonXoff != 0);
  CheckBox2->setChecked(s.RtsCts != 0);
  PortChanged(ComboBox1->currentIndex());
}

void TParametryTransmisji::SetDefaults() {
  ComboBox2->setCurrentIndex(ComboBox2->findText("9600"));
  ComboBox3->setCurrentIndex(3);
  ComboBox4->setCurrentIndex(0);
  ComboBox5->setCurrentIndex(0);
  CheckBox1->setChecked(false);
  CheckBox2->setChecked(false);
}

void TParametryTransmisji::PortChanged(int index) {
  // "Brak": nothing to set up, so the settings are greyed out.
  GroupBox1->setEnabled(index != kPortItems);
  Edit1->setEnabled(index != kPortItems);
  const auto& addresses = link_.settings().PortAddresses;
  const auto given = addresses.find(index + 1);
  Edit1->setText(given == addresses.end() ? QString() : QString::fromStdString(given->second));
}

void TParametryTransmisji::Apply() {
  if (ComboBox1->currentIndex() == kPortItems) {
    link_.ClosePort();
    link_.PortNumber = kNoPort;
    accept();
    return;
  }
  const int number = ComboBox1->currentIndex() + 1;
  const std::string address = Edit1->text().trimmed().toStdString();
  std::string why;
  if (IsNetworkPortName(address) && !ParseNetworkPortName(address, &why)) {
    link_.ui().ShowMessage("Adres portu " + address + " jest błędny: " + why + ".");
    Edit1->setFocus();
    return;
  }
  auto& addresses = link_.settings().PortAddresses;
  addressesBefore_ = addresses;
  if (address.empty()) {
    addresses.erase(number);
  } else {
    addresses[number] = address;
  }
  link_.ClosePort();
  link_.PortNumber = static_cast<std::uint8_t>(number);
  LineSettings& s = link_.PortSettings;
  s.BaudRate = ComboBox2->currentText().toUInt();
  s.DataBits = static_cast<std::uint8_t>(ComboBox3->currentIndex() + 5);
  s.Parity = static_cast<std::uint8_t>(ComboBox4->currentIndex());
  s.StopBits = static_cast<std::uint8_t>(ComboBox5->currentIndex());
  s.XonXoff = CheckBox1->isChecked() ? 1 : 0;
  s.RtsCts = CheckBox2->isChecked() ? 1 : 0;
  if (!link_.OpenPort(true)) {
    accept();
    return;
  }
  // The user has seen why; bring back what worked before and stay open.
  link_.settings().PortAddresses = addressesBefore_;
  link_.RestorePortSettings();
  LoadControls();
  if (link_.PortNumber != kNoPort) link_.OpenPort(true);
}

}  // namespace ulvo
