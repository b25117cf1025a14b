#pragma once
// "O programie" (TOProgramie): who makes the program, its version, where to find them.

#include <QDialog>
#include <QUrl>

class QLabel;
class QPushButton;

namespace ulvo {

class TOProgramie : public QDialog {
  Q_OBJECT
 public:
  // `foldersNote` says where the program keeps its settings and files.
  explicit TOProgramie(QWidget* parent = nullptr, const QString& foldersNote = {});

  static QUrl WebPage();
  static QUrl SupportMail();

  QPushButton* WebButton = nullptr;   // opens the web page in the browser
  QPushButton* MailButton = nullptr;  // opens a new mail to support
  QPushButton* Button1 = nullptr;     // "&Zamknij"
  QLabel* FoldersLabel = nullptr;     // where the settings and files are
};

}  // namespace ulvo
