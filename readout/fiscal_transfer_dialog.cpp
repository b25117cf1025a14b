#include "readout/fiscal_transfer_dialog.h"

#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "link/link.h"
#include "link/program_paths.h"
#include "link/settings.h"
#include "readout/core/report_names.h"
#include "readout/readout_end_dialog.h"
#include "ui/dialog_registry.h"

namespace ulvo {

namespace {

constexpr char kEnq = 0x05;
constexpr char kCan = 0x18;
constexpr int kTickMs = 50;  // labels, the silence watch, and a read should a wakeup be lost

QString Utf8(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

TPobieranieFiskalnejSklepu::TPobieranieFiskalnejSklepu(Link& link, ReportFile& file,
                                                       const QString& filePath,
                                                       const ReadoutRequest& request,
                                                       QWidget* parent)
    : QDialog(parent), link_(link), file_(file), filePath_(filePath) {
  setObjectName(QStringLiteral("TPobieranieFiskalnejSklepu"));
  setWindowTitle(QStringLiteral("Pobieranie zawartości pamięci fiskalnej"));
  auto* layout = new QVBoxLayout(this);
  Label1 = new QLabel(QStringLiteral("Pobieranie danych raportu okresowego dla waluty PLN"));
  Label2 = new QLabel(QStringLiteral("Pobrano dane 0 raportów"));
  ProgressBar1 = new QProgressBar;
  ProgressBar1->setVisible(false);
  Button1 = new QPushButton(QStringLiteral("&Przerwij"));
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setAutoDefault(false);
  layout->addWidget(Label1);
  layout->addWidget(Label2);
  layout->addWidget(ProgressBar1);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(Button1);
  layout->addLayout(row);
  pass_ = std::make_unique<FiscalReadoutPass>(request, file_);
  timer_ = new QTimer(this);
  timer_->setInterval(kTickMs);
  connect(timer_, &QTimer::timeout, this, [this] { Tick(); });
  connect(Button1, &QPushButton::clicked, this, [this] {
    pass_->Stop(RecordCode::kAborted);
    End();
  });
  // Silence longer than this ends a record that stopped half way: three seconds, or fifty
  // byte times at a slow line.
  const auto baud = std::max<std::uint32_t>(link.PortSettings.BaudRate, 1);
  silenceLimitMs_ = std::max<qint64>(3000, 50 * 10 * 1000 / baud);
}

TPobieranieFiskalnejSklepu::~TPobieranieFiskalnejSklepu() {
  link_.SetPortWakeup({});
}

void TPobieranieFiskalnejSklepu::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (started_) return;
  started_ = true;
  QTimer::singleShot(0, this, [this] { Start(); });
}

void TPobieranieFiskalnejSklepu::Start() {
  link_.FlushInput();
  if (!file_.IsOpen() && file_.Create(std::filesystem::path(filePath_.toStdU16String()))) {
    fileFailed_ = true;
    pass_->Stop(RecordCode::kAborted);
    End("Nie mogę otworzy pliku do zapisu.");
    return;
  }
  char enq = kEnq;
  if (link_.SendBytes(&enq, 1)) {
    pass_->AckFailed();
    End();
    return;
  }
  silence_.start();
  link_.SetPortWakeup([this] { Pump(); });
  timer_->start();
  Pump();
}

void TPobieranieFiskalnejSklepu::Pump() {
  if (ended_ || pumping_) return;
  pumping_ = true;
  bool lineLost = false;
  char buffer[512];
  while (!pass_->Finished()) {
    const long got = link_.ReadBytes(buffer, sizeof buffer, std::chrono::milliseconds(0));
    if (got < 0) {
      pass_->Stop(RecordCode::kBad);
      lineLost = true;
      break;
    }
    if (got == 0) break;
    silence_.restart();
    std::string_view bytes(buffer, static_cast<std::size_t>(got));
    while (!bytes.empty() && !pass_->Finished()) {
      const FiscalReadoutPass::Step step = pass_->Feed(bytes);
      bytes.remove_prefix(step.used);
      if (step.sendAck) {
        char enq = kEnq;
        if (link_.SendBytes(&enq, 1)) pass_->AckFailed();
      } else if (step.used == 0) {
        break;
      }
    }
  }
  pumping_ = false;
  if (pass_->Finished()) {
    ShowProgress();
    // A lost line has been reported by the link already.
    End(lineLost ? std::string() : RecordCodeMessage(pass_->Code()));
  }
}

void TPobieranieFiskalnejSklepu::Tick() {
  // Not while a read or a write inside Pump waits for the user (the link's own message).
  if (ended_ || pumping_) return;
  Pump();
  if (ended_) return;
  ShowProgress();
  if (silence_.elapsed() > silenceLimitMs_) {
    // A printer that stopped mid-record (or never began) cannot hold the program.
    pass_->Stop(RecordCode::kBad);
    End(RecordCodeMessage(RecordCode::kBad));
  }
}

void TPobieranieFiskalnejSklepu::ShowProgress() {
  const FiscalReadoutPass& p = *pass_;
  if (p.HeaderDone()) {
    const std::string currency = p.Context().currency.empty() ? "PLN" : p.Context().currency;
    Label1->setText(Utf8("Pobieranie danych raportu okresowego dla waluty " + currency + "."));
    if (p.Announced() > 100 && !ProgressBar1->isVisible()) {
      ProgressBar1->setRange(0, static_cast<int>(p.Announced()));
      ProgressBar1->setVisible(true);
    }
  }
  Label2->setText(QStringLiteral("Pobrano dane %1 raportów").arg(p.Received()));
  if (ProgressBar1->isVisible()) ProgressBar1->setValue(static_cast<int>(p.Received()));
}

void TPobieranieFiskalnejSklepu::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    Button1->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TPobieranieFiskalnejSklepu::End(const std::string& message) {
  if (ended_) return;
  // Everything that could feed the transfer stops before a message box runs its own event
  // loop: the message comes once, and nothing reads behind it.
  ended_ = true;
  timer_->stop();
  link_.SetPortWakeup({});
  if (!pass_->Finished()) pass_->Stop(RecordCode::kAborted);
  char can = kCan;
  if (link_.PortOpen()) link_.SendBytes(&can, 1);
  if (!message.empty()) link_.ui().ShowMessage(message);
  QDialog::done(pass_->Succeeded() ? QDialog::Accepted : QDialog::Rejected);
}

void TPobieranieFiskalnejSklepu::done(int result) {
  // Closing the window in any way ends the transfer, and CAN tells the printer.
  if (!ended_) {
    pass_->Stop(RecordCode::kAborted);
    End();
    return;
  }
  QDialog::done(result);
}

bool RunFiscalReadout(AppContext& context, const ReadoutRequest& request, unsigned long baudRate,
                      const QString& folder, QWidget* parent) {
  Link& link = context.link;
  Settings& settings = context.settings;
  ReportFile file;
  // The data folder of an installed program may not exist yet; a failure shows when the
  // file cannot be created.
  MakeDirectory(std::filesystem::path(folder.toStdU16String()));
  const QString path = QDir(folder).filePath(QString::fromLatin1(kReportTempName));
  unsigned passes = 0;
  bool success = false;
  bool aborted = false;
  bool anyTransfer = false;
  ReportNaming naming;
  bool named = false;
  while (!link.CheckCommandResult()) {
    link.SavePortSettings();
    link.ClosePort();
    link.PortSettings.BaudRate = static_cast<std::uint32_t>(baudRate);
    link.PortSettings.XonXoff = 0;
    bool more = false;
    success = false;
    if (!link.OpenPort(true) && settings.BusMode == 0) {
      anyTransfer = true;
      TPobieranieFiskalnejSklepu transfer(link, file, path, request, parent);
      transfer.exec();
      const FiscalReadoutPass& pass = transfer.pass();
      success = pass.Succeeded();
      more = pass.MoreCurrencies();
      aborted = pass.Code() == RecordCode::kAborted && !transfer.fileFailed();
      if (success) {
        const ReportNaming n = NamingOf(pass.Context(), settings.PrinterType == 2);
        if (!named) {
          naming = n;
          named = true;
        } else {
          naming.lastNumber = n.lastNumber;
          naming.lastDate = n.lastDate;
        }
      }
    }
    link.ClosePort();
    link.RestorePortSettings();
    // A line lost during the transfer has had its message; the next exchange reopens it.
    if (link.PortNumber != kNoPort && !link.PortIsLost()) link.OpenPort(true);
    ++passes;
    if (!success || !more) break;
    file.SeparatorLines();
  }
  if (file.IsOpen()) {
    file.EndLine();
    if (file.Close() && success) {
      link.ui().ShowMessage("Nie mogę zapisać pliku " + std::string(kReportTempName) + ".");
      success = false;
    }
  }
  if (!success) {
    // Only a checked report may be shown or saved: nothing of a failed one stays behind.
    file.Discard();
    if (aborted) link.ui().ShowMessage("Odczyt pamięci fiskalnej przerwano.");
    return false;
  }
  if (!anyTransfer) return false;
  if (passes > 1) {
    link.ui().ShowMessage(
        "W zadanym zakresie znajdują się raporty dobowe zapisane dla różnej waluty "
        "ewidencyjnej.\r\nDlatego zostaną wypisane " +
        std::to_string(passes) + " raporty okresowe, oddzielnie dla każdej waluty.");
  }
  TZakonczonoOdczytywanie end(context, path, QString::fromStdString(ReportTitle(naming)),
                              QString::fromStdString(ReportFileName(naming)), parent);
  end.exec();
  return true;
}

}  // namespace ulvo
