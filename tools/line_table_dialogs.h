#pragma once
// The receipt-lines table (sixteen lines into an open receipt) and the full transaction (a
// whole receipt from nine lines), both with line files.

#include <QString>
#include <vector>

#include "tools/core/line_file.h"
#include "ui/table_dialog.h"

class QLineEdit;
class QPlainTextEdit;

namespace ulvo {

class TLinijkiParagonu : public TableDialog {
  Q_OBJECT
 public:
  TLinijkiParagonu(AppContext& context, QWidget* parent);
  LineTable* StringGrid1;  // 16 lines, six columns
  QPushButton* BitBtn1;    // "Odczytaj linijki z pliku"
  QPushButton* BitBtn2;    // "Zapisz linijki do pliku"

  void Button1Click() override;
  // The load and save steps after the file dialogs.
  void LoadFromFile(const QString& path);
  void SaveToFile(const QString& path);

 private:
  std::vector<LineRow> Rows() const;
};

class TPelnaTranskacja : public TableDialog {
  Q_OBJECT
 public:
  TPelnaTranskacja(AppContext& context, QWidget* parent);
  LineTable* StringGrid1;  // nine lines; columns 4 and 5 hidden
  LineTable* StringGrid2;  // payments: "Płatność", "Kwota", "Nazwa"
  QLineEdit* Edit1;        // "Razem"
  QLineEdit* Edit2;        // "Rabat %"
  QLineEdit* Edit3;        // "Kasjer"
  QPlainTextEdit* Memo1;   // "Dodatkowe linie tekstu"
  QPushButton* Button3;    // "Podlicz"
  QPushButton* BitBtn1;    // "Odczytaj linijki z pliku"
  QPushButton* BitBtn2;    // "Zapisz linijki do pliku"

  void Button1Click() override;
  void Button3Click();  // "Podlicz"
  void LoadFromFile(const QString& path);
  void SaveToFile(const QString& path);

 protected:
  void FormShow() override;

 private:
  std::vector<LineRow> Rows() const;
};

}  // namespace ulvo
