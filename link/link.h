#pragma once
// The link to the printer: its state under the protocol's names and the exchange
// operations every dialog uses. Operations return true when they failed; the operation
// that found the failure has already told the user through LinkUi.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/frame.h"
#include "link/link_ui.h"
#include "link/serial_port.h"
#include "link/settings.h"

namespace ulvo {

class TransmissionLog;
class TrafficTap;

constexpr std::size_t kRxBufSize = 4971;        // bytes a reply may fill, NUL not counted
constexpr std::size_t kReplyCompleteAt = 4920;  // more than this completes a wait
constexpr std::size_t kReplyKeepMax = 4970;     // at most this many bytes are kept
constexpr std::size_t kCommandFileMax = 16384;

// The cash information record filled by ReadCashInfo from the #X reply.
struct CashInfo {
  std::int8_t LastError = 0;
  std::int8_t FiscalMode = 0;
  std::int8_t Unused3 = 0;
  std::int8_t TrfFlag = 0;
  std::int8_t Unused5 = 0;
  std::int8_t RamResets = 0;
  std::int8_t RecordYear = 0, RecordMonth = 0, RecordDay = 0;  // last fiscal memory record
  double Ptu[7] = {};                                          // rates A..G
  std::int32_t ReceiptCount = 0;
  double Totals[7] = {};  // totals A..G
  double TotalZ = 0;      // Alta families only; Mavito keeps the earlier value
  double Unused16 = 0;
  double Cash = 0;           // cash in the drawer
  std::string UniqueNumber;  // as received; eleven blanks become "BRAK"
};

class Link {
 public:
  Link(Settings& settings, LinkUi& ui, PortOpener opener);
  ~Link();
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  // ---- state ----
  char TxBuf[kTxBufSize] = {};
  char RxBuf[kRxBufSize + 1] = {};
  std::uint8_t& PortNumber;  // lives in the settings record; 255 = no port
  // The port whose line failed or whose device went away, while it is not open again;
  // kNoPort when none is lost. PortNumber keeps naming it, so the settings keep the choice.
  std::uint8_t LostPort = kNoPort;
  LineSettings& PortSettings;  // lives in the settings record
  std::uint8_t ReplyReceived = 255;
  std::uint8_t ReplyMissing = 0;
  std::uint8_t SingleByteReply = 0;
  std::uint8_t EnqStatus = 0;
  std::uint8_t DleStatus = 0;
  std::int32_t LastErrorCode = 0;
  std::uint8_t CashDataState = 2;
  struct CashInfo CashInfo;
  int ClockCentury = 20, ClockYear = 0, ClockMonth = 0, ClockDay = 0, ClockHour = 0,
      ClockMinute = 0, ClockSeconds = 0;
  char TypeText[20] = {};
  char VersionText[20] = {};

  Settings& settings() { return settings_; }
  LinkUi& ui() { return ui_; }
  bool PortOpen() const { return port_ != nullptr; }
  // The chosen port is lost: the next exchange tries to open it again first.
  bool PortIsLost() const { return LostPort != kNoPort && LostPort == PortNumber && !port_; }

  // ---- port ----
  // Opens COM PortNumber with PortSettings. Messages only when `messages`. A failure sets
  // PortNumber to 255, except for a lost port, which stays chosen (and lost).
  bool OpenPort(bool messages);
  void ClosePort();
  int CheckLineErrors();
  void SavePortSettings();
  void RestorePortSettings();

  // ---- exchange ----
  bool SendFrame(char* frame);  // NUL-terminated; first byte cleared on failure
  bool SendBytes(char* data, std::size_t count);
  void WaitForReply();
  bool FlushInput();
  bool QueryEnq();
  bool QueryDle();
  bool CheckCommandResult();
  void ReadCashInfo();
  bool ReadTotalsSum(double& sum);
  void ReadClock();
  void ReadTypeAndVersion();
  bool SendCommandFile(const char* text);  // at most kCommandFileMax bytes are looked at
  void ReadLastErrorCode();
  void ShowPrinterError();

  // A plain read of up to `count` bytes, outside any frame (binary transfer, printer search):
  // returns as soon as something has arrived, after at most `timeout` otherwise (0: only
  // what is already there). -1 when no port is open or the port failed. Logged like replies.
  long ReadRaw(char* data, std::size_t count, std::chrono::milliseconds timeout);
  // Like ReadRaw for record streams that are not replies (the fiscal memory readout), but a
  // failed port is closed and the user told.
  long ReadBytes(char* data, std::size_t count, std::chrono::milliseconds timeout);
  // `wake` is called from the event loop when the port has news; empty disconnects.
  void SetPortWakeup(std::function<void()> wake);

  // Length of the last reply in RxBuf (it may hold NUL bytes).
  std::size_t RxLength() const { return rxLength_; }

  // The transmission log, or null when it is off. Not owned.
  void SetTransmissionLog(TransmissionLog* log) { log_ = log; }
  TransmissionLog* transmissionLog() const { return log_; }

  // Something that sees the same bytes as the transmission log, or null. Not owned.
  void SetTrafficTap(TrafficTap* tap) { tap_ = tap; }
  // A second such listener, for a capture that runs beside the traffic view. Not owned.
  void SetCaptureTap(TrafficTap* tap) { captureTap_ = tap; }

 private:
  class ReplyWait;
  class ReadyWait;
  bool Write(char* buffer, std::size_t count, bool textLength);
  bool NoPort();    // shows "Nie wybrano portu komunikacyjnego." when no port is chosen
  void PortLost();  // the line failed: close, remember the port as lost, tell the user
  // Closes a port whose device has gone away and marks it lost, without a message.
  void DropGonePort();
  // Opens the chosen port when it is not open: a lost port is tried once, quietly, and one
  // message tells when it is still missing. True when there is no open port afterwards.
  bool EnsurePortOpen();
  void NoReply();  // a reply that does not parse counts as none
  bool QueryStatusByte(char query, std::uint8_t& status);
  bool Query(const char* format);  // flush, send a query from TxBuf, wait; true when no reply

  Settings& settings_;
  LinkUi& ui_;
  PortOpener opener_;
  std::unique_ptr<SerialPort> port_;
  TransmissionLog* log_ = nullptr;
  TrafficTap* tap_ = nullptr;
  TrafficTap* captureTap_ = nullptr;
  bool lossReported_ = false;  // the user has been told that LostPort went away
  std::size_t rxLength_ = 0;
  std::uint8_t savedPortNumber_ = kNoPort;
  LineSettings savedPortSettings_;
};

}  // namespace ulvo
