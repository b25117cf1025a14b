#include "commands/header_dialog.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include "commands/core/header_rtf.h"
#include "link/link.h"
#include "link/settings.h"

namespace ulvo {

namespace {

const QString kFileFilter = QStringLiteral("Pliki tekstowe (*.rtf *.RTF)");

QToolButton* MakeToolButton(const QString& name, const QString& hint, const QString& text,
                            const QIcon& icon) {
  auto* button = new QToolButton;
  button->setObjectName(name);
  button->setToolTip(hint);
  button->setText(text);
  if (!icon.isNull()) button->setIcon(icon);
  // Like a toolbar's buttons they never take the keyboard from the editor.
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

HeaderAlignment FromQt(Qt::Alignment alignment) {
  if (alignment & Qt::AlignHCenter) return HeaderAlignment::Center;
  if (alignment & (Qt::AlignRight | Qt::AlignTrailing)) return HeaderAlignment::Right;
  if ((alignment & Qt::AlignJustify) == Qt::AlignJustify) return HeaderAlignment::Justify;
  return HeaderAlignment::Left;
}

Qt::Alignment ToQt(HeaderAlignment alignment) {
  switch (alignment) {
    case HeaderAlignment::Center:
      return Qt::AlignHCenter;
    case HeaderAlignment::Right:
      return Qt::AlignRight;
    case HeaderAlignment::Justify:
      return Qt::AlignJustify;
    case HeaderAlignment::Left:
      break;
  }
  return Qt::AlignLeft;
}

QTextCharFormat SizeFormat(int size) {
  QTextCharFormat format;
  format.setFontPointSize(size);
  return format;
}

std::string LocalPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace

TProgramowanieNaglowka::TProgramowanieNaglowka(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Programowanie nagłówka")) {
  setObjectName(QStringLiteral("TProgramowanieNaglowka"));
  QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  mono.setPointSize(kNormalSize);

  auto* tools = new QHBoxLayout;
  ToolButton2 =
      MakeToolButton(QStringLiteral("ToolButton2"), QStringLiteral("Pobierz nagłówek z pliku"),
                     QStringLiteral("Otwórz"), style()->standardIcon(QStyle::SP_DialogOpenButton));
  ToolButton3 =
      MakeToolButton(QStringLiteral("ToolButton3"), QStringLiteral("Zapisz nagłówek do pliku"),
                     QStringLiteral("Zapisz"), style()->standardIcon(QStyle::SP_DialogSaveButton));
  ToolButton5 =
      MakeToolButton(QStringLiteral("ToolButton5"), QStringLiteral("Tekst pogrubiony"),
                     QStringLiteral("B"), QIcon::fromTheme(QStringLiteral("format-text-bold")));
  QFont boldFont = ToolButton5->font();
  boldFont.setBold(true);
  ToolButton5->setFont(boldFont);
  ToolButton5->setCheckable(true);
  ToolButton7 =
      MakeToolButton(QStringLiteral("ToolButton7"), QStringLiteral("Wyrównanie do lewej"),
                     QStringLiteral("L"), QIcon::fromTheme(QStringLiteral("format-justify-left")));
  ToolButton8 = MakeToolButton(QStringLiteral("ToolButton8"), QStringLiteral("Wyśrodkowanie"),
                               QStringLiteral("Ś"),
                               QIcon::fromTheme(QStringLiteral("format-justify-center")));
  ToolButton9 =
      MakeToolButton(QStringLiteral("ToolButton9"), QStringLiteral("Wyrównanie do prawej"),
                     QStringLiteral("P"), QIcon::fromTheme(QStringLiteral("format-justify-right")));
  auto* alignments = new QButtonGroup(this);
  alignments->setExclusive(true);
  for (QToolButton* button : {ToolButton7, ToolButton8, ToolButton9}) {
    button->setCheckable(true);
    alignments->addButton(button);
  }
  ToolButton7->setChecked(true);
  tools->addWidget(ToolButton2);
  tools->addWidget(ToolButton3);
  tools->addSpacing(12);
  tools->addWidget(ToolButton5);
  tools->addSpacing(12);
  tools->addWidget(ToolButton7);
  tools->addWidget(ToolButton8);
  tools->addWidget(ToolButton9);
  tools->addStretch();
  Body()->addLayout(tools);

  Label1 = new QLabel;
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(mono);
  Body()->addWidget(Label1);

  RichEdit1 = new QTextEdit;
  RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
  RichEdit1->setAcceptRichText(false);  // pasted text takes the editor's formats
  RichEdit1->setTabChangesFocus(true);
  RichEdit1->document()->setDefaultFont(mono);
  RichEdit1->setCurrentCharFormat(SizeFormat(kNormalSize));
  RichEdit1->setLineWrapMode(QTextEdit::FixedColumnWidth);
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEdit1->setMinimumHeight(220);
  Body()->addWidget(RichEdit1);

  // The Mavito's paper choice; hidden, the 42 columns stay chosen.
  auto* widths = new QWidget;
  widths->setObjectName(QStringLiteral("WidthChoice"));
  auto* widthLayout = new QHBoxLayout(widths);
  RadioButton3 = new QRadioButton(QStringLiteral("42 znaki w linii"));
  RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
  RadioButton4 = new QRadioButton(QStringLiteral("32 znaki w linii"));
  RadioButton4->setObjectName(QStringLiteral("RadioButton4"));
  RadioButton3->setChecked(true);
  widthLayout->addWidget(RadioButton3);
  widthLayout->addWidget(RadioButton4);
  widths->hide();
  Body()->addWidget(widths);

  GroupBox1 = new QGroupBox(QStringLiteral("Metoda obliczania rabatów i ulg"));
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  auto* methods = new QVBoxLayout(GroupBox1);
  RadioButton1 = new QRadioButton(QStringLiteral("Zgodna z Alta PRO"));
  RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
  RadioButton2 = new QRadioButton(QStringLiteral("Zgodna z bileterką ULVO T310"));
  RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
  RadioButton2->setChecked(true);
  methods->addWidget(RadioButton1);
  methods->addWidget(RadioButton2);
  Body()->addWidget(GroupBox1);

  FinishLayout(QStringLiteral("&Wyślij"), QStringLiteral("&Anuluj"));
  // Enter belongs to the editor (a new paragraph); Escape closes.
  SetKeyMode(KeyMode::EscapeOnly);

  connect(ToolButton2, &QToolButton::clicked, this, &TProgramowanieNaglowka::ToolButton2Click);
  connect(ToolButton3, &QToolButton::clicked, this, &TProgramowanieNaglowka::ToolButton3Click);
  connect(ToolButton5, &QToolButton::clicked, this, &TProgramowanieNaglowka::ToolButton5Click);
  connect(ToolButton7, &QToolButton::clicked, this, [this] { SetAlignment(Qt::AlignLeft); });
  connect(ToolButton8, &QToolButton::clicked, this, [this] { SetAlignment(Qt::AlignHCenter); });
  connect(ToolButton9, &QToolButton::clicked, this, [this] { SetAlignment(Qt::AlignRight); });
  connect(RichEdit1, &QTextEdit::cursorPositionChanged, this, &TProgramowanieNaglowka::SyncButtons);
  connect(RichEdit1, &QTextEdit::currentCharFormatChanged, this,
          &TProgramowanieNaglowka::SyncButtons);

  const struct {
    QKeySequence keys;
    QToolButton* button;
  } shortcuts[] = {{QKeySequence(Qt::CTRL | Qt::Key_B), ToolButton5},
                   {QKeySequence(Qt::CTRL | Qt::Key_L), ToolButton7},
                   {QKeySequence(Qt::CTRL | Qt::Key_E), ToolButton8},
                   {QKeySequence(Qt::CTRL | Qt::Key_R), ToolButton9}};
  for (const auto& shortcut : shortcuts) {
    auto* action = new QShortcut(shortcut.keys, this);
    QToolButton* button = shortcut.button;
    connect(action, &QShortcut::activated, this, [button] {
      if (button->isEnabled()) button->click();
    });
  }
  ApplyWidth(HeaderLineWidth(settings().PrinterType, false));
}

bool TProgramowanieNaglowka::Alta() {
  return settings().PrinterType == 0;
}

void TProgramowanieNaglowka::ApplyWidth(int width) {
  Label1->setText(QString::fromStdString(HeaderRuler(width)));
  RichEdit1->setLineWrapColumnOrWidth(width);
  // The editor is as wide as the printer's line of normal characters.
  const QFontMetrics metrics(RichEdit1->document()->defaultFont());
  const int margin = static_cast<int>(RichEdit1->document()->documentMargin());
  const int frame = RichEdit1->frameWidth();
  const int text = metrics.horizontalAdvance(QString(width, QLatin1Char('0')));
  const int scrollBar = RichEdit1->verticalScrollBar()->sizeHint().width();
  RichEdit1->setFixedWidth(text + 2 * (margin + frame) + scrollBar + 4);
  Label1->setContentsMargins(margin + frame, 0, 0, 0);
}

void TProgramowanieNaglowka::FormShow() {
  GroupBox1->setVisible(settings().BusMode != 0);
  ApplyWidth(HeaderLineWidth(settings().PrinterType, RadioButton4->isChecked()));
  // Alta prints no double width.
  ToolButton5->setEnabled(!Alta());
  if (Alta()) ToolButton5->setChecked(false);
  SyncButtons();
  adjustSize();
}

HeaderDocument TProgramowanieNaglowka::Document() const {
  HeaderDocument document;
  QTextDocument* text = RichEdit1->document();
  if (text->isEmpty()) return document;
  const double defaultSize = text->defaultFont().pointSizeF();
  for (QTextBlock block = text->begin(); block.isValid(); block = block.next()) {
    HeaderParagraph paragraph;
    paragraph.alignment = FromQt(block.blockFormat().alignment());
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      const double points = fragment.charFormat().fontPointSize();
      const int size = qRound(points > 0 ? points : defaultSize);
      const QString fragmentText = fragment.text();
      QString piece;
      for (const QChar c : fragmentText) {
        if (c == QChar::LineSeparator) {
          // A soft line break (Shift+Enter) is a printer line of its own too.
          paragraph.runs.push_back(HeaderRun{piece.toStdString(), size});
          piece.clear();
          const HeaderAlignment alignment = paragraph.alignment;
          document.paragraphs.push_back(std::move(paragraph));
          paragraph = HeaderParagraph{alignment, {}};
        } else if (c != QChar::ObjectReplacementCharacter) {
          piece += c;
        }
      }
      paragraph.runs.push_back(HeaderRun{piece.toStdString(), size});
    }
    document.paragraphs.push_back(std::move(paragraph));
  }
  NormalizeHeader(document);
  return document;
}

void TProgramowanieNaglowka::SetDocument(const HeaderDocument& document) {
  RichEdit1->clear();
  QTextCursor cursor(RichEdit1->document());
  bool first = true;
  for (const HeaderParagraph& paragraph : document.paragraphs) {
    QTextBlockFormat format;
    format.setAlignment(ToQt(paragraph.alignment));
    if (first) {
      cursor.setBlockFormat(format);
      cursor.setBlockCharFormat(SizeFormat(kNormalSize));
    } else {
      cursor.insertBlock(format, SizeFormat(kNormalSize));
    }
    first = false;
    for (const HeaderRun& run : paragraph.runs) {
      cursor.insertText(QString::fromStdString(run.text), SizeFormat(run.size));
    }
  }
  cursor.movePosition(QTextCursor::Start);
  RichEdit1->setTextCursor(cursor);
  if (document.paragraphs.empty()) RichEdit1->setCurrentCharFormat(SizeFormat(kNormalSize));
  SyncButtons();
}

void TProgramowanieNaglowka::ForceNormalSize() {
  QTextCursor all(RichEdit1->document());
  all.select(QTextCursor::Document);
  all.mergeCharFormat(SizeFormat(kNormalSize));
  QTextCursor caret = RichEdit1->textCursor();
  if (!caret.hasSelection()) RichEdit1->mergeCurrentCharFormat(SizeFormat(kNormalSize));
}

void TProgramowanieNaglowka::SetAlignment(Qt::Alignment alignment) {
  RichEdit1->setAlignment(alignment);
  SyncButtons();
}

void TProgramowanieNaglowka::ToolButton5Click() {
  RichEdit1->mergeCurrentCharFormat(
      SizeFormat(ToolButton5->isChecked() ? kDoubleWidthSize : kNormalSize));
}

void TProgramowanieNaglowka::SyncButtons() {
  switch (FromQt(RichEdit1->alignment())) {
    case HeaderAlignment::Center:
      ToolButton8->setChecked(true);
      break;
    case HeaderAlignment::Right:
      ToolButton9->setChecked(true);
      break;
    default:
      ToolButton7->setChecked(true);
      break;
  }
  const double points = RichEdit1->currentCharFormat().fontPointSize();
  ToolButton5->setChecked(!Alta() && qRound(points) == kDoubleWidthSize);
}

bool TProgramowanieNaglowka::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease || event->type() == QEvent::MouseButtonRelease) {
    SyncButtons();
  }
  return CommandDialog::eventFilter(watched, event);
}

void TProgramowanieNaglowka::ToolButton2Click() {
  QFileDialog dialog(this, QStringLiteral("Otwórz plik z nagłowkiem."));
  dialog.setNameFilter(kFileFilter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  LoadFromFile(dialog.selectedFiles().first());
}

void TProgramowanieNaglowka::ToolButton3Click() {
  QFileDialog dialog(this, QStringLiteral("Zapisz nagłowkek do pliku."));
  dialog.setNameFilter(kFileFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("rtf"));
  dialog.setOption(QFileDialog::DontConfirmOverwrite);  // asked in our own words
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SaveToFile(dialog.selectedFiles().first());
}

void TProgramowanieNaglowka::LoadFromFile(const QString& path) {
  RtfReadResult result = ReadHeaderFile(LocalPath(path));
  if (result.Failed()) {
    std::string message = HeaderCannotOpenMessage(path.toStdString());
    if (!result.ioFailed) message += "\n" + result.error;
    link().ui().ShowMessage(message);
    return;
  }
  if (Alta()) SetHeaderSize(result.document, kNormalSize);
  SetDocument(result.document);
}

void TProgramowanieNaglowka::SaveToFile(const QString& path) {
  const std::string name = path.toStdString();
  if (QFileInfo::exists(path) && !link().ui().AskYesNo(HeaderOverwriteQuestion(name))) return;
  if (WriteHeaderFile(LocalPath(path), Document())) {
    link().ui().ShowMessage(HeaderCannotWriteMessage(name));
  }
}

FrameList TProgramowanieNaglowka::BuildFrames() {
  if (Alta()) ForceNormalSize();
  HeaderSendFields fields;
  fields.document = Document();
  fields.printerType = settings().PrinterType;
  fields.busMode = settings().BusMode != 0;
  fields.methodT310 = RadioButton2->isChecked();
  fields.narrowMavito = RadioButton4->isChecked();
  fields.letterCoding = settings().LetterCoding;
  return BuildHeaderFrame(fields);
}

}  // namespace ulvo
