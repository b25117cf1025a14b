#pragma once
// The header editor: a small rich-text editor as wide as the printer's line, with paragraph
// alignment and a "bold" mark the printer prints as double width; the header is kept in RTF
// files and sent in one "$f" frame. The view only moves the editor's content to and from the
// plain header model (commands/core/header_text.h).

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTextEdit>
#include <QToolButton>

#include "commands/core/header_text.h"
#include "ui/command_dialog.h"

namespace ulvo {

class TProgramowanieNaglowka : public CommandDialog {
 public:
  TProgramowanieNaglowka(AppContext& context, QWidget* parent);

  QTextEdit* RichEdit1;
  QLabel* Label1;              // the ruler of digits
  QToolButton* ToolButton2;    // "Pobierz nagłówek z pliku"
  QToolButton* ToolButton3;    // "Zapisz nagłówek do pliku"
  QToolButton* ToolButton5;    // "Tekst pogrubiony"
  QToolButton* ToolButton7;    // "Wyrównanie do lewej"
  QToolButton* ToolButton8;    // "Wyśrodkowanie"
  QToolButton* ToolButton9;    // "Wyrównanie do prawej"
  QGroupBox* GroupBox1;        // "Metoda obliczania rabatów i ulg" (bus printers)
  QRadioButton* RadioButton1;  // "Zgodna z Alta PRO"
  QRadioButton* RadioButton2;  // "Zgodna z bileterką ULVO T310"
  QRadioButton* RadioButton3;  // "42 znaki w linii" (hidden)
  QRadioButton* RadioButton4;  // "32 znaki w linii" (hidden)

  // The editor's content as the header model, and back.
  HeaderDocument Document() const;
  void SetDocument(const HeaderDocument& document);

  // Load and save with the messages of the file buttons (the buttons ask for the name).
  void LoadFromFile(const QString& path);
  void SaveToFile(const QString& path);

  void ToolButton2Click();
  void ToolButton3Click();

 protected:
  FrameList BuildFrames() override;
  void FormShow() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Alta();
  void SetAlignment(Qt::Alignment alignment);
  void ToolButton5Click();
  // Every character to normal size, leaving the caret and selection as they are.
  void ForceNormalSize();
  // The buttons show the alignment and the size at the caret.
  void SyncButtons();
  void ApplyWidth(int width);
};

}  // namespace ulvo
