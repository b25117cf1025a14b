#include "commands/nip_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "commands/core/programming_frames.h"
#include "link/link.h"

namespace ulvo {

namespace {
const QString kCaption = QStringLiteral("Programowanie NIP (szkoleniowo)");
}

TProgramowanieNIP::TProgramowanieNIP(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Programowanie NIP - fiskalizacja")) {
  setObjectName(QStringLiteral("TProgramowanieNIP"));
  Label1 = new QLabel(QStringLiteral("Programowanie NIP - fiskalizacja"));
  Label1->setObjectName(QStringLiteral("Label1"));
  QFont heading = Label1->font();
  heading.setBold(true);
  Label1->setFont(heading);
  Body()->addWidget(Label1);
  Edit1 = new QLineEdit;
  Edit1->setObjectName(QStringLiteral("Edit1"));
  AddForm()->addRow(QStringLiteral("NIP"), Edit1);
  auto* group = new QGroupBox;
  auto* modes = new QVBoxLayout(group);
  RadioButton1 = new QRadioButton(QStringLiteral("Tryb niefiskalny (szkoleniowy)"));
  RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
  RadioButton2 = new QRadioButton(QStringLiteral("Tryb fiskalny"));
  RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
  modes->addWidget(RadioButton1);
  modes->addWidget(RadioButton2);
  Body()->addWidget(group);
  // A new mode starts with an empty number.
  for (QRadioButton* radio : {RadioButton1, RadioButton2}) {
    connect(radio, &QRadioButton::clicked, Edit1, &QLineEdit::clear);
  }
  FinishLayout(QStringLiteral("&Dalej"), QStringLiteral("&Anuluj"));
}

void TProgramowanieNIP::FormShow() {
  RadioButton1->setChecked(true);
  RadioButton2->setEnabled(false);
  Button1->setText(QStringLiteral("&Dalej"));
  Button2->setEnabled(true);
  setWindowTitle(kCaption);
  Label1->setText(kCaption);
}

bool TProgramowanieNIP::ConfirmSend() {
  const std::string nip = NipText(Edit1->text().toStdString());
  // Yes stops with nothing sent; No goes on to the next check and the printer's own.
  if (NipFormatWrong(nip) && link().ui().AskYesNo(kNipFormatQuestion)) return false;
  if (NipChecksumWrong(nip) && link().ui().AskYesNo(kNipChecksumQuestion)) return false;
  return true;
}

FrameList TProgramowanieNIP::BuildFrames() {
  return BuildNipFrame(NipText(Edit1->text().toStdString()));
}

}  // namespace ulvo
