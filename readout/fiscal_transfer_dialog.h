#pragma once
// The fiscal memory transfer: the run over the currency passes (port switched to the transfer
// speed and back), the transfer window that moves the printer's bytes into the Qt-free reader,
// and what follows a good readout.

#include <QDialog>
#include <QElapsedTimer>
#include <QString>
#include <memory>
#include <string>

#include "readout/core/fiscal_readout.h"
#include "readout/core/report_file.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace ulvo {

class Link;
struct AppContext;

class TPobieranieFiskalnejSklepu : public QDialog {
  Q_OBJECT
 public:
  TPobieranieFiskalnejSklepu(Link& link, ReportFile& file, const QString& filePath,
                             const ReadoutRequest& request, QWidget* parent);
  ~TPobieranieFiskalnejSklepu() override;

  QLabel* Label1 = nullptr;  // "Pobieranie danych raportu okresowego dla waluty ..."
  QLabel* Label2 = nullptr;  // "Pobrano dane %lu raportów"
  QProgressBar* ProgressBar1 = nullptr;
  QPushButton* Button1 = nullptr;  // "&Przerwij"

  const FiscalReadoutPass& pass() const { return *pass_; }
  // True when the file could not be created.
  bool fileFailed() const { return fileFailed_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void done(int result) override;

 private:
  void Start();
  void Pump();  // reads what has arrived and feeds the reader
  void Tick();  // the silence watch and the labels
  void ShowProgress();
  // Ends the transfer (timer, port wake-up, CAN), then shows `message` when there is one.
  void End(const std::string& message = {});

  Link& link_;
  ReportFile& file_;
  QString filePath_;
  std::unique_ptr<FiscalReadoutPass> pass_;
  QTimer* timer_ = nullptr;
  QElapsedTimer silence_;
  qint64 silenceLimitMs_ = 3000;
  bool started_ = false;
  bool ended_ = false;
  bool pumping_ = false;
  bool fileFailed_ = false;
};

// The readout after the request frame was sent: one pass per accounting currency, then the
// end dialog. The report file goes to `folder`. True when the readout reached the end dialog.
bool RunFiscalReadout(AppContext& context, const ReadoutRequest& request, unsigned long baudRate,
                      const QString& folder, QWidget* parent);

}  // namespace ulvo
