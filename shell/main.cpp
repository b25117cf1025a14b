// The ULVO printers' user program. It takes no command-line arguments: everything it needs
// comes from ustaw.txt in the working directory and from the model chosen at start.

#include <QApplication>
#include <clocale>

#include "link/qt_serial_port.h"
#include "shell/main_form.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Qt takes the system locale; frames and files format amounts with '.' whatever it is.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName(QString::fromUtf8("Program użytkownika drukarek ULVO"));
  ulvo::TMainForm form(ulvo::QtPortOpener());
  form.show();
  return app.exec();
}
