#include "link/link.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <thread>

#include "link/error_texts.h"
#include "link/link_private.h"
#include "link/traffic_tap.h"
#include "link/transmission_log.h"

namespace ulvo {

namespace {

constexpr char kEnq = 0x05;
constexpr char kDle = 0x10;
constexpr std::size_t kReadBlock = 50;
constexpr int kFlushReads = 8192;
constexpr int kWriteRetries = 1000;
constexpr std::uint8_t kEnqCommandDone = 0x04;

constexpr const char* kNoPortText = "Nie wybrano portu komunikacyjnego.";
constexpr const char* kTransmissionErrorText = "Wystąpił błąd transmisji.";

std::string StillLostText(int port) {
  return "Port COM" + std::to_string(port) +
         " nadal jest niedostępny. Podłącz ponownie drukarkę (lub przejściówkę USB) "
         "i powtórz polecenie.";
}

bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

// ---- reply parsing ----

void ReplyScanner::SkipSpace() {
  while (p_ < end_ && IsSpace(*p_)) ++p_;
}

bool ReplyScanner::Any() {
  if (p_ >= end_) return false;
  ++p_;
  return true;
}

bool ReplyScanner::Literal(char c) {
  if (p_ >= end_ || *p_ != c) return false;
  ++p_;
  return true;
}

bool ReplyScanner::Int(int& value) {
  SkipSpace();
  const char* p = p_;
  if (p < end_ && *p == '+') ++p;
  const auto [next, error] = std::from_chars(p, end_, value);
  if (error != std::errc()) return false;
  p_ = next;
  return true;
}

bool ReplyScanner::Double(double& value) {
  SkipSpace();
  const char* p = p_;
  if (p < end_ && *p == '+') ++p;
  const auto [next, error] = std::from_chars(p, end_, value);
  if (error != std::errc()) return false;
  p_ = next;
  return true;
}

std::optional<ReplySpan> FindReplyFrame(const char* buffer, std::size_t length) {
  if (length < 4 || buffer[length - 2] != kEsc || buffer[length - 1] != kBackslash)
    return std::nullopt;
  const std::size_t end = length - 2;
  // The last ESC 'P' before the end starts the reply; anything earlier is noise.
  for (std::size_t i = end - 1; i-- > 0;) {
    if (buffer[i] == kEsc && buffer[i + 1] == 'P') return ReplySpan{i, end};
  }
  return std::nullopt;
}

// ---- the two waits ----

class Link::ReplyWait final : public ReplyWaitTask {
 public:
  explicit ReplyWait(Link& link) : link_(link) {}

  bool Poll(std::chrono::milliseconds timeout) override {
    if (complete_ || failed_) return true;
    if (polling_) return false;  // a wakeup that arrived while this poll was reading
    polling_ = true;
    const bool over = PollOnce(timeout);
    polling_ = false;
    return over;
  }

  bool PollOnce(std::chrono::milliseconds timeout) {
    if (!link_.port_) {
      failed_ = true;
      return true;
    }
    const std::size_t room = kReplyKeepMax - std::min(kReplyKeepMax, position_);
    const std::size_t want = std::min(kReadBlock, room);
    if (want == 0) {
      complete_ = true;
      return true;
    }
    const long got = link_.port_->Read(link_.RxBuf + position_, want, timeout);
    if (got < 0) {
      failed_ = true;
      return true;
    }
    if (got > 0) {
      if (link_.log_) link_.log_->Read(link_.RxBuf + position_, static_cast<std::size_t>(got));
      if (link_.tap_) link_.tap_->Read(link_.RxBuf + position_, static_cast<std::size_t>(got));
      if (link_.captureTap_)
        link_.captureTap_->Read(link_.RxBuf + position_, static_cast<std::size_t>(got));
      position_ += static_cast<std::size_t>(got);
      total_ = static_cast<std::uint16_t>(total_ + got);
    }
    const char* rx = link_.RxBuf;
    if (position_ > kReplyCompleteAt || (link_.SingleByteReply && got > 0) ||
        (position_ >= 2 && rx[position_ - 2] == kEsc && rx[position_ - 1] == kBackslash))
      complete_ = true;
    return complete_;
  }

  unsigned BytesReceived() const override { return total_; }

  void SetWakeup(std::function<void()> wake) override {
    if (link_.port_) link_.port_->SetWakeup(std::move(wake));
  }

  bool complete() const { return complete_; }
  bool failed() const { return failed_; }
  std::size_t position() const { return position_; }

 private:
  Link& link_;
  std::size_t position_ = 0;
  std::uint16_t total_ = 0;
  bool complete_ = false;
  bool failed_ = false;
  bool polling_ = false;
};

class Link::ReadyWait final : public ReadyWaitTask {
 public:
  explicit ReadyWait(Link& link) : link_(link) {}
  int CheckLineErrors() override { return link_.CheckLineErrors(); }

 private:
  Link& link_;
};

// ---- construction and the port ----

Link::Link(Settings& settings, LinkUi& ui, PortOpener opener)
    : PortNumber(settings.PortNumber),
      PortSettings(settings.PortSettings),
      settings_(settings),
      ui_(ui),
      opener_(std::move(opener)) {}

Link::~Link() {
  ClosePort();
}

bool Link::NoPort() {
  if (PortNumber != kNoPort) return false;
  ui_.ShowMessage(kNoPortText);
  return true;
}

bool Link::OpenPort(bool messages) {
  // One port at a time, and an exclusive open would refuse a second handle anyway.
  ClosePort();
  if (PortNumber == kNoPort) {
    if (messages) ui_.ShowMessage(kNoPortText);
    return true;
  }
  const std::string number = std::to_string(PortNumber);
  const std::string device = PortDeviceName(PortNumber, settings_.PortAddresses);
  // A lost port stays chosen while it is away, so that it can come back by itself.
  const bool lost = LostPort == PortNumber;
  std::unique_ptr<SerialPort> port = (device.empty() || !opener_) ? nullptr : opener_(device);
  if (!port || !port->OpenError().empty()) {
    if (messages) {
      ui_.ShowMessage(port ? "Nie mogę otworzyć portu COM" + number + ": " + port->OpenError()
                           : "Nie mogę otworzyć portu COM" + number + ".");
    }
    if (!lost) PortNumber = kNoPort;
    return true;
  }
  if (!port->Configure(PortSettings)) {
    if (messages)
      ui_.ShowMessage("Nie mogę otworzyć portu COM" + number + " z takimi ustawieniami.");
    if (!lost) PortNumber = kNoPort;
    return true;  // `port` goes out of scope: closed
  }
  port->CheckLineErrors();  // clears whatever an earlier user left on the line
  port_ = std::move(port);
  LostPort = kNoPort;
  lossReported_ = false;
  return false;
}

void Link::ClosePort() {
  port_.reset();
}

int Link::CheckLineErrors() {
  return port_ ? port_->CheckLineErrors() : 1;
}

void Link::SavePortSettings() {
  savedPortNumber_ = PortNumber;
  savedPortSettings_ = PortSettings;
}

void Link::RestorePortSettings() {
  PortNumber = savedPortNumber_;
  PortSettings = savedPortSettings_;
}

void Link::PortLost() {
  ClosePort();
  LostPort = PortNumber;
  lossReported_ = true;
  ui_.ShowMessage(kTransmissionErrorText);
}

void Link::DropGonePort() {
  if (!port_ || !port_->Gone()) return;
  ClosePort();
  LostPort = PortNumber;
  lossReported_ = false;
}

bool Link::EnsurePortOpen() {
  DropGonePort();
  if (port_) return false;
  if (!PortIsLost()) return OpenPort(true);
  if (!OpenPort(false)) return false;  // it is back
  // One message per attempt: the first says the line failed, later ones that it is still away.
  ui_.ShowMessage(lossReported_ ? StillLostText(PortNumber) : kTransmissionErrorText);
  lossReported_ = true;
  return true;
}

// ---- the writer ----

bool Link::SendFrame(char* frame) {
  return Write(frame, 0, true);
}

bool Link::SendBytes(char* data, std::size_t count) {
  return Write(data, count, false);
}

bool Link::Write(char* buffer, std::size_t count, bool textLength) {
  if (NoPort()) return true;
  // A frame kept in TxBuf must end inside it; elsewhere the caller vouches for the NUL.
  std::size_t textLimit = static_cast<std::size_t>(-1);
  if (textLength && buffer >= TxBuf && buffer < TxBuf + kTxBufSize) {
    textLimit = static_cast<std::size_t>(TxBuf + kTxBufSize - buffer);
    if (strnlen(buffer, textLimit) == textLimit) {
      buffer[0] = '\0';
      ui_.ShowMessage("Rozkaz nie mieści się w buforze nadawczym. Nie wysłano go.");
      return true;
    }
  }
  if (EnsurePortOpen()) return true;

  std::size_t offset = 0;
  int retries = 0;
  bool reopened = false;
  for (;;) {
    const std::size_t length =
        textLength ? strnlen(buffer + offset, textLimit - offset) : count - offset;
    const unsigned baud = std::max<std::uint32_t>(PortSettings.BaudRate, 1);
    const auto timeout = std::chrono::milliseconds(20 * length + length * 800 / baud + 10);
    const WriteResult result = port_->Write(buffer + offset, length, timeout);
    if (log_ && result.written > 0) log_->Written(buffer + offset, result.written);
    if (tap_ && result.written > 0) tap_->Written(buffer + offset, result.written);
    if (captureTap_ && result.written > 0) captureTap_->Written(buffer + offset, result.written);

    if (result.status == WriteStatus::AccessDenied) {
      ClosePort();
      if (OpenPort(true)) return true;
      // A port that keeps refusing after every reopen must not hold us here for ever.
      if (++retries > kWriteRetries) {
        buffer[0] = '\0';
        return true;
      }
      continue;  // the same offset again
    }
    if (result.status == WriteStatus::Ok && result.written == length) return false;

    if (port_->Gone()) {
      // The device went away while the port was idle (an adapter pulled out and put back):
      // nothing of this frame has left, so it is tried once more on the device opened anew.
      if (!reopened && offset == 0 && result.written == 0) {
        reopened = true;
        DropGonePort();
        if (!OpenPort(false)) continue;
      }
      buffer[0] = '\0';
      PortLost();
      return true;
    }
    if (CheckLineErrors() == 1) {
      buffer[0] = '\0';
      PortLost();
      return true;
    }
    if (PortSettings.RtsCts || PortSettings.XonXoff) {
      ReadyWait wait(*this);
      if (!ui_.RunReadyWait(wait)) {
        buffer[0] = '\0';
        return true;
      }
      if (!port_) return true;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      if (++retries > kWriteRetries) {
        buffer[0] = '\0';
        return true;
      }
    }
    offset += result.written;
  }
}

// ---- reading ----

void Link::WaitForReply() {
  if (NoPort() || EnsurePortOpen()) {
    // Nothing can arrive: make sure no earlier reply is taken for this one.
    ReplyReceived = 0;
    ReplyMissing = 1;
    SingleByteReply = 0;
    RxBuf[0] = '\0';
    rxLength_ = 0;
    return;
  }
  ReplyMissing = 1;
  ReplyWait wait(*this);
  const bool over = ui_.RunReplyWait(wait);
  if (port_) port_->SetWakeup({});
  const std::size_t end = wait.position();
  RxBuf[end] = '\0';
  rxLength_ = end;
  SingleByteReply = 0;
  if (over && wait.complete()) {
    ReplyReceived = 1;
    ReplyMissing = 0;
  } else {
    ReplyReceived = 0;
  }
  if (wait.failed()) PortLost();
}

long Link::ReadRaw(char* data, std::size_t count, std::chrono::milliseconds timeout) {
  if (!port_) return -1;
  const long got = port_->Read(data, count, timeout);
  if (got > 0 && log_) log_->Read(data, static_cast<std::size_t>(got));
  // The listeners see what the log records: record streams and probes too.
  if (got > 0 && tap_) tap_->Read(data, static_cast<std::size_t>(got));
  if (got > 0 && captureTap_) captureTap_->Read(data, static_cast<std::size_t>(got));
  return got;
}

long Link::ReadBytes(char* data, std::size_t count, std::chrono::milliseconds timeout) {
  const long got = ReadRaw(data, count, timeout);
  if (got < 0 && port_) PortLost();
  return got;
}

void Link::SetPortWakeup(std::function<void()> wake) {
  if (port_) port_->SetWakeup(std::move(wake));
}

void Link::NoReply() {
  ReplyReceived = 0;
  ReplyMissing = 1;
}

bool Link::FlushInput() {
  // Callers check the port themselves right after; a second message would only repeat it.
  DropGonePort();
  if (PortNumber == kNoPort || !port_) return false;
  port_->PurgeInput();
  bool drained = false;
  // Nothing pending: no wait at all. Once something came, a burst still on its way is
  // drained too, until the line has been quiet for a few character times.
  const auto quiet =
      std::chrono::milliseconds(5 + 30000 / std::max<std::uint32_t>(PortSettings.BaudRate, 1));
  for (int i = 0; i < kFlushReads; ++i) {
    const long got = port_->Read(RxBuf, kReadBlock, i == 0 ? std::chrono::milliseconds(0) : quiet);
    if (got <= 0) {  // nothing pending, or the port failed: the next write reports that
      drained = true;
      break;
    }
  }
  RxBuf[0] = '\0';
  rxLength_ = 0;
  DropGonePort();  // the exchange that follows opens it again
  if (drained) return false;
  ui_.ShowMessage("Wystąpił błąd komunikacji");
  return true;
}

bool Link::QueryStatusByte(char query, std::uint8_t& status) {
  FlushInput();
  if (NoPort()) return true;
  char frame[2] = {query, '\0'};
  if (SendFrame(frame)) return true;
  SingleByteReply = 1;
  WaitForReply();
  status = static_cast<std::uint8_t>(RxBuf[0]);
  return false;
}

bool Link::QueryEnq() {
  return QueryStatusByte(kEnq, EnqStatus);
}

bool Link::QueryDle() {
  return QueryStatusByte(kDle, DleStatus);
}

bool Link::CheckCommandResult() {
  if (PortNumber == kNoPort) return true;
  if (QueryEnq() || ReplyReceived == 0 || ReplyMissing) return true;
  if (EnqStatus & kEnqCommandDone) return false;
  ReadLastErrorCode();
  // The status byte said the command was not carried out: an error number that did not come
  // (or did not read as one) leaves it failed, with the "no reply" notice, never as success.
  if (LastErrorCode < 0) return true;
  if (LastErrorCode == 0) return false;
  ShowPrinterError();
  return true;
}

void Link::ReadLastErrorCode() {
  if (NoPort()) return;
  FlushInput();
  char frame[16];
  FormatFrame(frame, sizeof frame, "%cP0#n%c%c", kEsc, kEsc, kBackslash);
  if (SendFrame(frame)) {
    LastErrorCode = -1;
    return;
  }
  WaitForReply();
  const auto span = ReplyMissing ? std::nullopt : FindReplyFrame(RxBuf, rxLength_);
  if (!span) {
    LastErrorCode = -1;
    return;
  }
  // The code follows the last 'E'. Only its leading digits count: a printer that appends
  // something after the number still reported that error.
  std::size_t e = span->end;
  while (e > span->begin && RxBuf[e - 1] != 'E') --e;
  std::int32_t code = 0;
  const char* first = RxBuf + e;
  const char* last = RxBuf + span->end;
  const auto [next, error] = std::from_chars(first, last, code);
  if (e == span->begin || first == last || error != std::errc() || next == first) {
    NoReply();
    LastErrorCode = -1;
    return;
  }
  LastErrorCode = code;
}

void Link::ShowPrinterError() {
  ui_.Beep();
  if (LastErrorCode == 255) LastErrorCode = 0;
  ui_.ShowMessage(PrinterErrorMessage(LastErrorCode));
}

bool Link::Query(const char* format) {
  FlushInput();
  if (std::strstr(format, "xx") != nullptr) {
    FormatFrame(TxBuf, kTxBufSize, format, kEsc, kEsc, kBackslash);
    AddChecksum(TxBuf);
  } else {
    FormatFrame(TxBuf, kTxBufSize, format, kEsc, kEsc, kBackslash);
  }
  if (NoPort()) return true;
  if (SendFrame(TxBuf)) return true;
  WaitForReply();
  return ReplyMissing != 0;
}

void Link::ReadCashInfo() {
  const bool mavito = settings_.PrinterType == 2;
  if (Query(mavito ? "%cP23#s%c%c" : "%cP7#s%c%c")) {
    CashDataState = 0;
    return;
  }
  const auto span = FindReplyFrame(RxBuf, rxLength_);
  struct CashInfo info = CashInfo;
  bool ok = span.has_value();
  if (ok) {
    ReplyScanner in(RxBuf + span->begin, RxBuf + span->end);
    int integers[9] = {};
    ok = in.Any() && in.Literal('P') && in.Literal(mavito ? '2' : '1') && in.Literal('#') &&
         in.Literal('X');
    for (int i = 0; ok && i < 9; ++i) ok = in.Int(integers[i]) && in.Literal(i < 8 ? ';' : '/');
    for (int i = 0; ok && i < 7; ++i) ok = in.Double(info.Ptu[i]) && in.Literal('/');
    int receipts = 0;
    ok = ok && in.Int(receipts) && in.Literal('/');
    for (int i = 0; ok && i < 7; ++i) ok = in.Double(info.Totals[i]) && in.Literal('/');
    if (mavito) {
      ok = ok && in.Double(info.Cash) && in.Literal('/');
    } else {
      ok = ok && in.Double(info.TotalZ) && in.Literal('/') && in.Double(info.Unused16) &&
           in.Literal('/') && in.Double(info.Cash) && in.Literal('/');
    }
    if (ok) {
      // The unique number runs from the last '/' to the closing ESC; Mavito appends a
      // two-character check to it.
      const char* textEnd = RxBuf + span->end;
      const char* slash = textEnd;
      while (slash > in.position() && *(slash - 1) != '/') --slash;
      std::string text(slash, textEnd);
      if (mavito && text.size() > 1) text.resize(text.size() - 2);
      info.UniqueNumber = text == std::string(11, ' ') ? "BRAK" : text;
      std::int8_t* bytes[9] = {&info.LastError,  &info.FiscalMode,  &info.Unused3,
                               &info.TrfFlag,    &info.Unused5,     &info.RamResets,
                               &info.RecordYear, &info.RecordMonth, &info.RecordDay};
      for (int i = 0; i < 9; ++i) *bytes[i] = static_cast<std::int8_t>(integers[i]);
      info.ReceiptCount = receipts;
    }
  }
  if (!ok) {
    NoReply();
    CashDataState = 0;
    return;
  }
  CashInfo = info;
  CashDataState = 1;
}

bool Link::ReadTotalsSum(double& sum) {
  ReadCashInfo();
  // Totals of an earlier reading would pass for this one; a failed reading is a failure.
  if (CashDataState != 1) return true;
  if (CheckCommandResult()) return true;
  sum = 0;
  for (double total : CashInfo.Totals) sum += total;
  return false;
}

void Link::ReadClock() {
  if (Query("%cP0#cxx%c%c")) return;
  const auto span = FindReplyFrame(RxBuf, rxLength_);
  int fields[5] = {};
  bool ok = span.has_value();
  if (ok) {
    ReplyScanner in(RxBuf + span->begin, RxBuf + span->end);
    ok = in.Any() && in.Any() && in.Literal('1') && in.Literal('#') && in.Literal('C');
    for (int i = 0; ok && i < 5; ++i) ok = in.Int(fields[i]) && in.Literal(';');
    ok = ok && in.Literal('0');
  }
  if (!ok) {
    NoReply();
    return;
  }
  ClockCentury = 20;
  ClockYear = fields[0];
  ClockMonth = fields[1];
  ClockDay = fields[2];
  ClockHour = fields[3];
  ClockMinute = fields[4];
  ClockSeconds = 0;
}

void Link::ReadTypeAndVersion() {
  if (Query("%cP1#v%c%c") || !ReplyReceived) return;
  const auto span = FindReplyFrame(RxBuf, rxLength_);
  // ESC 'P' digit '#' 'R', then the type up to '/', then the version up to the ESC.
  if (!span || span->end < span->begin + 6 || RxBuf[span->begin + 3] != '#' ||
      RxBuf[span->begin + 4] != 'R') {
    NoReply();
    return;
  }
  const std::size_t end = span->end;
  std::size_t i = span->begin + 5;
  char type[sizeof TypeText] = {};
  std::size_t n = 0;
  type[n++] = RxBuf[i++];  // the first character even when it is '/'
  for (; i < end && RxBuf[i] != '/'; ++i)
    if (n < sizeof type - 1) type[n++] = RxBuf[i];
  if (i >= end) {
    NoReply();
    return;
  }
  ++i;
  char version[sizeof VersionText] = {};
  n = 0;
  for (; i < end && n < sizeof version - 1; ++i) version[n++] = RxBuf[i];
  std::memcpy(TypeText, type, sizeof TypeText);
  std::memcpy(VersionText, version, sizeof VersionText);
}

bool Link::SendCommandFile(const char* text) {
  if (NoPort()) return true;
  const std::size_t size = strnlen(text, kCommandFileMax);
  std::size_t lineStart = 0;
  int lineNumber = 0;
  for (std::size_t i = 0; i + 1 < size; ++i) {
    if (text[i] != '\r' || text[i + 1] != '\n') continue;
    ++lineNumber;
    const auto frame = BuildCommandFileFrame(std::string_view(text + lineStart, i - lineStart));
    if (!frame) {
      ui_.ShowMessage("Wiersz nr " + std::to_string(lineNumber) +
                      " pliku rozkazów jest za długi (ponad " + std::to_string(kCommandLineMax) +
                      " znaków). Wysyłanie przerwano.");
      return true;
    }
    std::string bytes = *frame;  // SendFrame may clear its first byte
    if (SendFrame(bytes.data())) return true;
    lineStart = i + 2;
    ++i;
  }
  // Whatever follows the last CR LF is not sent.
  return false;
}

}  // namespace ulvo
