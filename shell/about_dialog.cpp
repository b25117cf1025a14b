#include "shell/about_dialog.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ulvo {

QUrl TOProgramie::WebPage() {
  return QUrl(QStringLiteral("https://ulvo.example.org/program-uzytkownika"));
}

QUrl TOProgramie::SupportMail() {
  return QUrl(QStringLiteral("mailto:serwis@ulvo.example.org?subject=Program%20u%C5%BCytkownika"));
}

TOProgramie::TOProgramie(QWidget* parent, const QString& foldersNote) : QDialog(parent) {
  setObjectName("TOProgramie");
  setWindowTitle(QString::fromUtf8("O programie"));
  auto* layout = new QVBoxLayout(this);
  auto* title =
      new QLabel(QString::fromUtf8("<b>Program użytkownika drukarek fiskalnych ULVO</b>"), this);
  layout->addWidget(title);
  layout->addWidget(new QLabel(QString::fromUtf8("Wersja 2.00"), this));
  layout->addWidget(new QLabel(
      QString::fromUtf8("Moduł odczytu pamięci fiskalnej i kopii elektronicznej"), this));
  layout->addWidget(new QLabel(QString::fromUtf8("ULVO — zespół programu użytkownika\n"
                                                 "serwis@ulvo.example.org"),
                               this));
  FoldersLabel = new QLabel(foldersNote, this);
  FoldersLabel->setObjectName("FoldersLabel");
  FoldersLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  FoldersLabel->setVisible(!foldersNote.isEmpty());
  layout->addWidget(FoldersLabel);
  WebButton =
      new QPushButton(QString::fromUtf8("&Strona internetowa: ") + WebPage().toString(), this);
  MailButton =
      new QPushButton(QString::fromUtf8("&Napisz do serwisu: serwis@ulvo.example.org"), this);
  Button1 = new QPushButton(QString::fromUtf8("&Zamknij"), this);
  for (QPushButton* b : {WebButton, MailButton}) {
    b->setAutoDefault(false);
    b->setFlat(true);
    b->setCursor(Qt::PointingHandCursor);
    layout->addWidget(b);
  }
  Button1->setDefault(true);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(Button1);
  layout->addLayout(row);
  connect(WebButton, &QPushButton::clicked, this, [] { QDesktopServices::openUrl(WebPage()); });
  connect(MailButton, &QPushButton::clicked, this,
          [] { QDesktopServices::openUrl(SupportMail()); });
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace ulvo
