#pragma once
// "Parametry transmisji" (TParametryTransmisji): the port and its line settings.

#include <QDialog>
#include <map>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace ulvo {

class Link;

class TParametryTransmisji : public QDialog {
  Q_OBJECT
 public:
  TParametryTransmisji(Link& link, QWidget* parent = nullptr);

  QComboBox* ComboBox1 = nullptr;  // port: "COM 1" ... "COM 64", "Brak"
  QLineEdit* Edit1 = nullptr;      // "Adres portu": a device path or a network address
  QGroupBox* GroupBox1 = nullptr;
  QComboBox* ComboBox2 = nullptr;  // baud rate
  QComboBox* ComboBox3 = nullptr;  // data bits
  QComboBox* ComboBox4 = nullptr;  // parity
  QComboBox* ComboBox5 = nullptr;  // stop bits
  QCheckBox* CheckBox1 = nullptr;  // "Xon / Xoff"
  QCheckBox* CheckBox2 = nullptr;  // "RTS / CTS"
  QPushButton* Button1 = nullptr;  // "&Wartości domyślne"
  QPushButton* Button2 = nullptr;  // "&Zastosuj"
  QPushButton* Button3 = nullptr;  // "&Zamknij"

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void LoadControls();
  void SetDefaults();
  void PortChanged(int index);
  std::map<int, std::string> addressesBefore_;
  void Apply();

  Link& link_;
};

}  // namespace ulvo
