#include "shell/traffic_view.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include "common/cp1250.h"
#include "link/link.h"
#ifdef ULVO_WITH_PCAP
#include "link/pcap_file.h"
#endif
#include "shell/readouts/core/readout_files.h"

namespace ulvo {

namespace {

enum Column { kTime, kGap, kDirection, kBytes, kCode, kName, kCheck, kDetail, kColumnCount };

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

// The decoder's rows as a table. It follows the decoder by Update(): new rows are inserted at
// the bottom, rows the decoder let go are removed at the top, so the view keeps its place.
class TrafficModel : public QAbstractTableModel {
 public:
  explicit TrafficModel(const TrafficDecoder& decoder) : decoder_(decoder) {}

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(count_);
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : kColumnCount;
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= decoder_.rows().size())
      return {};
    const TrafficRow& row = decoder_.rows()[static_cast<std::size_t>(index.row())];
    if (role == Qt::ForegroundRole) {
      if (row.check == CheckVerdict::Wrong) return QBrush(Qt::red);
      if (index.column() == kGap && row.Gap()) return QBrush(QColor(0xb0, 0x60, 0x00));
      return {};
    }
    if (role == Qt::TextAlignmentRole && index.column() <= kGap)
      return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    switch (index.column()) {
      case kTime:
        return QString::number(row.time.count());
      case kGap:
        return row.Gap() ? QStringLiteral("+%1").arg(row.gap.count()) : QString();
      case kDirection:
        return row.direction == TrafficDirection::Out ? QStringLiteral("Wy") : QStringLiteral("We");
      case kBytes:
        return Utf8(row.display);
      case kCode:
        return Utf8(row.code);
      case kName:
        return Utf8(row.name);
      case kCheck:
        return row.check == CheckVerdict::Right   ? QStringLiteral("dobra")
               : row.check == CheckVerdict::Wrong ? QStringLiteral("błędna")
                                                  : QString();
      case kDetail:
        return Utf8(row.detail);
      default:
        return {};
    }
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kHeaders[kColumnCount] = {"Czas [ms]", "Przerwa", "Kier.", "Dane",
                                                       "Rozkaz",    "Nazwa",   "Suma",  "Opis"};
    return section >= 0 && section < kColumnCount ? QString::fromUtf8(kHeaders[section])
                                                  : QVariant();
  }

  void Update() {
    const std::uint64_t total = decoder_.TotalRows();
    const std::uint64_t first = total - decoder_.rows().size();
    if (first > first_) {
      const auto drop = static_cast<std::size_t>(std::min<std::uint64_t>(first - first_, count_));
      if (drop > 0) {
        beginRemoveRows({}, 0, static_cast<int>(drop) - 1);
        count_ -= drop;
        first_ += drop;
        endRemoveRows();
      }
      first_ = first;
    }
    const auto add = static_cast<std::size_t>(total - first_ - count_);
    if (add == 0) return;
    beginInsertRows({}, static_cast<int>(count_), static_cast<int>(count_ + add) - 1);
    count_ += add;
    endInsertRows();
  }

  void Reset() {
    beginResetModel();
    first_ = decoder_.TotalRows() - decoder_.rows().size();
    count_ = decoder_.rows().size();
    endResetModel();
  }

 private:
  const TrafficDecoder& decoder_;
  std::uint64_t first_ = 0;  // the decoder's number of the first row shown
  std::size_t count_ = 0;
};

TPodgladTransmisji::TPodgladTransmisji(Link& link, QWidget* parent)
    : QDialog(parent), link_(link), model_(std::make_unique<TrafficModel>(decoder_)) {
  setObjectName(QStringLiteral("TPodgladTransmisji"));
  setWindowTitle(QStringLiteral("Podgląd transmisji"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  Table = new QTableView(this);
  Table->setObjectName(QStringLiteral("Table"));
  Table->setModel(model_.get());
  Table->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  Table->setSelectionBehavior(QAbstractItemView::SelectRows);
  Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Table->setWordWrap(false);
  Table->verticalHeader()->hide();
  Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 4);
  Table->horizontalHeader()->setStretchLastSection(true);
  Table->setColumnWidth(kTime, 80);
  Table->setColumnWidth(kGap, 60);
  Table->setColumnWidth(kDirection, 40);
  Table->setColumnWidth(kBytes, 380);
  Table->setColumnWidth(kCode, 60);
  Table->setColumnWidth(kName, 240);
  Table->setColumnWidth(kCheck, 60);
  layout->addWidget(Table, 1);

  SaveButton = new QPushButton(QStringLiteral("&Zapisz do pliku"), this);
  ClearButton = new QPushButton(QStringLiteral("&Wyczyść"), this);
  CloseButton = new QPushButton(QStringLiteral("&Zamknij"), this);
  for (QPushButton* button : {SaveButton, ClearButton, CloseButton}) button->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(SaveButton);
#ifdef ULVO_WITH_PCAP
  CaptureButton = new QPushButton(QStringLiteral("Zapisz &przechwycenie (pcap)…"), this);
  CaptureButton->setAutoDefault(false);
  CaptureButton->setToolTip(
      QStringLiteral("Zapisuje wiersze w formacie pcap do odczytu w Wiresharku (ulvo.lua)."));
  buttons->addWidget(CaptureButton);
  connect(CaptureButton, &QPushButton::clicked, this, &TPodgladTransmisji::AskSaveCapture);
  // Tab goes through the buttons as they stand.
  setTabOrder(SaveButton, CaptureButton);
  setTabOrder(CaptureButton, ClearButton);
#endif
  buttons->addWidget(ClearButton);
  buttons->addStretch();
  buttons->addWidget(CloseButton);
  layout->addLayout(buttons);
  connect(SaveButton, &QPushButton::clicked, this, &TPodgladTransmisji::AskSave);
  connect(ClearButton, &QPushButton::clicked, this, [this] {
    decoder_.Clear();
    model_->Reset();
    start_ = std::chrono::steady_clock::now();
    wallStart_ = std::chrono::system_clock::now();
  });
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
  resize(1100, 520);
}

TPodgladTransmisji::~TPodgladTransmisji() {
  Listen(false);
}

void TPodgladTransmisji::Listen(bool on) {
  if (on == listening_) return;
  listening_ = on;
  decoder_ = TrafficDecoder(link_.settings().LetterCoding);
  model_->Reset();
  start_ = std::chrono::steady_clock::now();
  wallStart_ = std::chrono::system_clock::now();
  link_.SetTrafficTap(on ? this : nullptr);
}

void TPodgladTransmisji::showEvent(QShowEvent* event) {
  Listen(true);
  QDialog::showEvent(event);
  Table->setFocus(Qt::OtherFocusReason);
}

void TPodgladTransmisji::hideEvent(QHideEvent* event) {
  // Closed, the window neither listens nor keeps rows.
  if (!event->spontaneous()) Listen(false);
  QDialog::hideEvent(event);
}

void TPodgladTransmisji::Written(const char* data, std::size_t count) {
  Feed(TrafficDirection::Out, data, count);
}

void TPodgladTransmisji::Read(const char* data, std::size_t count) {
  Feed(TrafficDirection::In, data, count);
}

void TPodgladTransmisji::Feed(TrafficDirection direction, const char* data, std::size_t count) {
  const auto time = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start_);
  QScrollBar* bar = Table->verticalScrollBar();
  // Follow the traffic unless the user has scrolled up to read.
  const bool atBottom = bar->value() >= bar->maximum();
  decoder_.Feed(direction, std::string_view(data, count), time);
  model_->Update();
  if (atBottom) Table->scrollToBottom();
}

void TPodgladTransmisji::AskSave() {
  QFileDialog dialog(this, QStringLiteral("Zapisz podgląd transmisji"));
  dialog.setNameFilter(QStringLiteral("Pliki tekstowe (*.txt *.TXT)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  // The program asks its own overwrite question.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    SaveToFile(dialog.selectedFiles().first());
}

void TPodgladTransmisji::SaveToFile(const QString& path) {
  const std::string name = path.toStdString();
  if (QFileInfo::exists(path) && !link_.ui().AskYesNo(OverwriteQuestion(name))) return;
  std::string text = "Czas\tPrzerwa\tKier.\tDane\tRozkaz\tNazwa\tSuma\tOpis\r\n";
  for (const TrafficRow& row : decoder_.rows()) text += TrafficRowLine(row) + "\r\n";
  if (WriteFileReplacing(name, Utf8ToCp1250(text).bytes))
    link_.ui().ShowMessage(CannotWriteMessage(name));
}

void TPodgladTransmisji::AskSaveCapture() {
#ifdef ULVO_WITH_PCAP
  QFileDialog dialog(this, QStringLiteral("Zapisz przechwycenie transmisji"));
  dialog.setNameFilter(QStringLiteral("Przechwycenia pcap (*.pcap *.PCAP)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("pcap"));
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    SaveCaptureToFile(dialog.selectedFiles().first());
#endif
}

#ifdef ULVO_WITH_PCAP
void TPodgladTransmisji::SaveCaptureToFile(const QString& path) {
  const std::string name = path.toStdString();
  if (QFileInfo::exists(path) && !link_.ui().AskYesNo(OverwriteQuestion(name))) return;
  if (const auto error = WriteCaptureFile(name, decoder_.rows(), wallStart_))
    link_.ui().ShowMessage(*error);
}
#endif

}  // namespace ulvo
