#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8("Program użytkownika drukarek ULVO"));
  QMessageBox::information(nullptr, QApplication::applicationName(),
                           QString::fromUtf8("Okno główne programu jeszcze nie istnieje."));
  return 0;
}
