#pragma once
// The printer data readout dialogs of the "Diagnostyczne" page and the two one-command
// dialogs that sit beside them (error table print, display and drawer control).

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "shell/readouts/readout_dialog.h"
#include "ui/command_dialog.h"

namespace ulvo {

class TInformacjeKasowe : public ReadoutDialog {
 public:
  TInformacjeKasowe(AppContext& context, QWidget* parent);
  QLineEdit* EditMode;
  QLineEdit* EditTrf;
  QLineEdit* EditLastError;
  QLineEdit* EditRamResets;
  QLineEdit* EditCash;
  QLineEdit* EditUniqueNumber;
  QLineEdit* EditPtu[7];
  QLineEdit* EditTotals[7];
  QLineEdit* EditTotalZ;
  QLineEdit* EditRecordDate;
  QLineEdit* EditReceiptCount;

 protected:
  bool Read() override;
};

class TOdeslijKodBledu : public ReadoutDialog {
 public:
  TOdeslijKodBledu(AppContext& context, QWidget* parent);
  QLineEdit* EditCode;         // "Kod błędu"
  QLineEdit* EditDescription;  // "Opis błędu"

 protected:
  bool Read() override;
};

class TStatusDrukarki : public ReadoutDialog {
 public:
  TStatusDrukarki(AppContext& context, QWidget* parent);
  QCheckBox* CheckBoxEnq;  // "ENQ"
  QCheckBox* CheckBoxDle;  // "DLE"
  QGroupBox* GroupEnq;
  QGroupBox* GroupDle;
  QCheckBox* EnqBits[4];  // 0x08, 0x04, 0x02, 0x01
  QCheckBox* DleBits[3];  // 0x04, 0x02, 0x01

 protected:
  bool Read() override;
  bool CloseAfterFailedRead() const override { return false; }

 private:
  void UpdateEnabled();
  void ShowBits();
};

class TTypIWersja : public ReadoutDialog {
 public:
  TTypIWersja(AppContext& context, QWidget* parent);
  QLineEdit* EditType;     // "Typ"
  QLineEdit* EditVersion;  // "Wersja"

 protected:
  bool Read() override;
};

class TOdczytZegara : public ReadoutDialog {
 public:
  TOdczytZegara(AppContext& context, QWidget* parent);
  QLineEdit* EditDate;  // "Data (rrrr-mm-dd)"
  QLineEdit* EditTime;  // "Godzina (gg:mm) "

 protected:
  bool Read() override;
};

class TOdeslijBufor : public ReadoutDialog {
 public:
  TOdeslijBufor(AppContext& context, QWidget* parent);
  QPlainTextEdit* Memo1;    // "Bufor odbiorczy"
  QPushButton* LoadButton;  // "&Pobierz z pliku"
  QPushButton* SaveButton;  // "&Zapisz do pliku"

  // The file parts of the two buttons, after the file dialogs.
  void LoadFromFile(const QString& path);
  void SaveToFile(const QString& path);

 protected:
  bool Read() override;
};

class TDrukujTabliceBledow : public CommandDialog {
 public:
  TDrukujTabliceBledow(AppContext& context, QWidget* parent);

 protected:
  FrameList BuildFrames() override;
};

class TSterowanieWyswietlaczem : public CommandDialog {
 public:
  TSterowanieWyswietlaczem(AppContext& context, QWidget* parent);
  QComboBox* ComboBox1;  // "Operacja"
  QLineEdit* Edit1;      // "Tekst"

 protected:
  FrameList BuildFrames() override;
  void FormShow() override;

 private:
  void UpdateTextBox();
};

}  // namespace ulvo
