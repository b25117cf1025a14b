#pragma once
// "O programie" (TOProgramie): who makes the program, its version, where to find them.

#include <QDialog>
#include <QUrl>

class QPushButton;

namespace ulvo {

class TOProgramie : public QDialog {
  Q_OBJECT
 public:
  explicit TOProgramie(QWidget* parent = nullptr);

  static QUrl WebPage();
  static QUrl SupportMail();

  QPushButton* WebButton = nullptr;   // opens the web page in the browser
  QPushButton* MailButton = nullptr;  // opens a new mail to support
  QPushButton* Button1 = nullptr;     // "&Zamknij"
};

}  // namespace ulvo
