#pragma once
// "Podgląd transmisji" (TPodgladTransmisji): a window beside the main one that lists what
// goes over the printer line while it is open, one decoded row per frame or status byte.
// It listens only while shown; closed, it holds nothing and the link does not call it.

#include <QDialog>
#include <chrono>
#include <memory>

#include "link/traffic_decoder.h"
#include "link/traffic_tap.h"

class QPushButton;
class QTableView;

namespace ulvo {

class Link;
class TrafficModel;

class TPodgladTransmisji : public QDialog, private TrafficTap {
  Q_OBJECT
 public:
  TPodgladTransmisji(Link& link, QWidget* parent = nullptr);
  ~TPodgladTransmisji() override;

  // The rows decoded since the window was opened.
  const TrafficDecoder& decoder() const { return decoder_; }
  // Writes the rows as text (Windows-1250, CR LF), asking before it overwrites a file.
  void SaveToFile(const QString& path);
#ifdef ULVO_WITH_PCAP
  // Writes the rows as a pcap capture (link/pcap_file.h), asking before it overwrites a file.
  void SaveCaptureToFile(const QString& path);
#endif

  QTableView* Table = nullptr;
  QPushButton* SaveButton = nullptr;     // "&Zapisz do pliku"
  QPushButton* CaptureButton = nullptr;  // "Zapisz &przechwycenie (pcap)…" (with libpcap)
  QPushButton* ClearButton = nullptr;    // "&Wyczyść"
  QPushButton* CloseButton = nullptr;    // "&Zamknij"

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void Written(const char* data, std::size_t count) override;
  void Read(const char* data, std::size_t count) override;
  void Feed(TrafficDirection direction, const char* data, std::size_t count);
  void Listen(bool on);
  void AskSave();
  void AskSaveCapture();

  Link& link_;
  TrafficDecoder decoder_;
  std::unique_ptr<TrafficModel> model_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::system_clock::time_point wallStart_;  // the same moment, for capture times
  bool listening_ = false;
};

}  // namespace ulvo
