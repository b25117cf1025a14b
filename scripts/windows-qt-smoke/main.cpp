// Shows a label with Polish letters and a button, and after a second prints what Qt sees,
// clicks the button through QTest (the click quits) and, given a path, saves a picture of the
// window (path.png) and prints the same text to a PDF (path.pdf) through QPrinter.
#include <QApplication>
#include <QGuiApplication>
#include <QHostAddress>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString polish = QString::fromUtf8("Zażółć gęślą jaźń");
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* label = new QLabel(polish, &window);
  auto* button = new QPushButton(QStringLiteral("Zamknij"), &window);
  layout->addWidget(label);
  layout->addWidget(button);
  window.setWindowTitle(polish);
  window.show();

  int code = 2;  // left as it is when the click never arrives
  QObject::connect(button, &QPushButton::clicked, &app, [&] {
    std::printf("qt-smoke: button clicked, quitting\n");
    std::fflush(stdout);
    app.exit(code);
  });
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  QTimer::singleShot(1000, &app, [&] {
    // The literal went through the compiler as UTF-8: 17 UTF-16 units, the third is U+017C (ż).
    const bool text_ok = label->text().size() == 17 && label->text().at(2) == QChar(0x017C);
    std::printf("qt-smoke: Qt %s, platform %s, style %s\n", qVersion(),
                qPrintable(QGuiApplication::platformName()), qPrintable(app.style()->name()));
    std::printf("qt-smoke: label \"%s\" %s, hint %dx%d px, window %dx%d px\n",
                label->text().toUtf8().constData(), text_ok ? "ok" : "WRONG",
                label->sizeHint().width(), label->sizeHint().height(), window.width(),
                window.height());
    std::printf("qt-smoke: network %s\n",
                qPrintable(QHostAddress(QHostAddress::LocalHost).toString()));
    bool files_ok = true;
    if (!out.isEmpty()) {
      const bool png = window.grab().save(out + QStringLiteral(".png"));
      QPrinter printer(QPrinter::HighResolution);
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(out + QStringLiteral(".pdf"));
      QPainter painter;
      const bool pdf = painter.begin(&printer);
      if (pdf) {
        painter.setFont(QFont(label->font().family(), 24));
        painter.drawText(QPointF(200, 600), polish);
        painter.end();
      }
      std::printf("qt-smoke: picture %s, pdf %s\n", png ? "saved" : "NOT saved",
                  pdf ? "printed" : "NOT printed");
      files_ok = png && pdf;
    }
    std::fflush(stdout);
    code = text_ok && files_ok ? 0 : 1;
    QTest::mouseClick(button, Qt::LeftButton);
  });
  QTimer::singleShot(10000, &app, [&] { app.exit(3); });  // never hangs
  return app.exec();
}
