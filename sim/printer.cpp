#include "sim/printer.h"

#include <cctype>

#include "sim/command_table.h"

namespace ulvo {

namespace {

constexpr char kEscByte = 0x1B;
constexpr char kEnqByte = 0x05;
constexpr char kDleByte = 0x10;
constexpr char kCanByte = 0x18;

bool SameCheck(std::string_view got, const std::string& want) {
  if (got.size() != 2) return false;
  for (int i = 0; i < 2; ++i) {
    if (std::toupper(static_cast<unsigned char>(got[i])) != want[i]) return false;
  }
  return true;
}

// Splits "P" params code args. Returns an error code when the frame has no code or its
// parameters are not plain numbers.
int ParseCommandFrame(std::string_view body, CommandFrame& out) {
  std::size_t codeAt = body.find_first_of("#$");
  if (codeAt == std::string_view::npos || codeAt + 2 > body.size()) return kErrUnknownCommand;
  std::string_view params = body.substr(0, codeAt);
  out.code = std::string(body.substr(codeAt, 2));
  out.args = std::string(body.substr(codeAt + 2));
  while (!params.empty()) {
    std::size_t semi = params.find(';');
    std::string_view one = params.substr(0, semi);
    std::optional<long> value = ParseCount(one);
    if (!value) return kErrParameter;
    out.params.push_back(*value);
    if (semi == std::string_view::npos) break;
    params.remove_prefix(semi + 1);
    if (params.empty()) return kErrParameter;  // a trailing ';'
  }
  return kCarriedOut;
}

}  // namespace

PrinterState PowerOnState(PrinterVariant variant) {
  PrinterState s;
  s.variant = variant;
  s.ptu = {2300, 800, 500, 0, kPtuTaxFree, kPtuNotUsed, kPtuNotUsed};
  switch (variant.family) {
    case PrinterFamily::kAlta:
      s.uniqueNumber = "ABA11223344";
      s.options[kOptIdentifier] = 1;
      s.options[kOptErrorMode] = 1;  // messages to the computer
      break;
    case PrinterFamily::kAltaPro:
      s.uniqueNumber = "ABP22334455";
      s.options[kOptIdentifier] = 2;
      break;
    case PrinterFamily::kMavito:
      s.uniqueNumber = "ABM33445566";
      s.options[kOptIdentifier] = 3;
      break;
  }
  s.options[kOptDrawerPulse] = 100;
  s.options[kOptCopyMode] = 2;
  s.options[kOptWinderPulse] = 30;
  return s;
}

std::string DefaultTypeVersion(const PrinterVariant& variant) {
  switch (variant.family) {
    case PrinterFamily::kAlta:
      return "Alta/2.05";
    case PrinterFamily::kAltaPro:
      return variant.bus ? "Alta Pro B/3.10F" : "Alta Pro/3.10F";
    case PrinterFamily::kMavito:
      break;
  }
  if (variant.bus) return "Mavito B/1.07";
  return variant.ecopy ? "Mavito E/1.07" : "Mavito/1.07";
}

Printer::Printer(PrinterVariant variant)
    : state_(PowerOnState(variant)), table_(&CommandTable::Standard()) {}

Printer::~Printer() = default;

void Printer::Reset() {
  state_ = PowerOnState(state_.variant);
  rx_ = RxState::kIdle;
  frame_.clear();
  frameTooLong_ = false;
}

void Printer::StopStream() {
  state_.streamPhase = StreamPhase::kNone;
  state_.stream.clear();
  state_.streamLaterPasses.clear();
  state_.streamNext = 0;
}

// After a pass's closing record: the next currency's pass waits for the program's status
// query and its next ENQ, as the first pass did.
void Printer::NextPass() {
  if (state_.streamLaterPasses.empty()) {
    StopStream();
    return;
  }
  state_.stream = std::move(state_.streamLaterPasses.front());
  state_.streamLaterPasses.erase(state_.streamLaterPasses.begin());
  state_.streamNext = 0;
  state_.streamPhase = StreamPhase::kArmed;
}

void Printer::NoteFrame(int result) {
  // Bounded: a front end that never asks must not make this grow.
  if (frameNotes_.size() >= 256) frameNotes_.erase(frameNotes_.begin());
  if (result == kCarriedOut) {
    frameNotes_.push_back("przyjęty");
  } else if (result == kErrChecksum) {
    frameNotes_.push_back("zły bajt kontrolny: błąd 2");
  } else {
    frameNotes_.push_back("odrzucony: błąd " + std::to_string(result));
  }
}

std::vector<std::string> Printer::TakeFrameNotes() {
  std::vector<std::string> notes;
  notes.swap(frameNotes_);
  return notes;
}

std::uint8_t Printer::EnqStatus() const {
  std::uint8_t b = 0x60;
  if (state_.fiscal) b |= 0x08;
  if (state_.lastCommandOk) b |= 0x04;
  if (state_.inTransaction) b |= 0x02;
  if (state_.lastTransactionOk) b |= 0x01;
  return b;
}

std::uint8_t Printer::DleStatus() const {
  std::uint8_t b = 0x70;
  if (state_.online) b |= 0x04;
  if (state_.paperOut) b |= 0x02;
  if (state_.mechanismError) b |= 0x01;
  return b;
}

std::vector<PrinterReply> Printer::Feed(std::string_view bytes, Clock::time_point now) {
  std::vector<PrinterReply> out;
  state_.inputHistory.append(bytes.data(), bytes.size());
  if (state_.inputHistory.size() > kInputHistorySize) {
    state_.inputHistory.erase(0, state_.inputHistory.size() - kInputHistorySize);
  }
  // Outside frames only the single-byte queries mean something; anything else is line noise.
  auto single = [&](char c) {
    if (c == kEnqByte && state_.streamPhase == StreamPhase::kRunning) {
      // During a fiscal memory readout ENQ asks for (and acknowledges) records.
      out.push_back({state_.stream[state_.streamNext++], false, false, true});
      if (state_.streamNext >= state_.stream.size()) NextPass();
    } else if (c == kEnqByte) {
      out.push_back({std::string(1, static_cast<char>(EnqStatus())), false});
      if (state_.streamPhase == StreamPhase::kArmed && !state_.stream.empty()) {
        state_.streamPhase = StreamPhase::kRunning;
      }
    } else if (c == kCanByte && state_.streamPhase == StreamPhase::kRunning) {
      StopStream();  // the user broke the readout off
    } else if (c == kCanByte) {
      // The program closes every pass with CAN; a next pass stays ready.
    } else if (c == kDleByte) {
      out.push_back({std::string(1, static_cast<char>(DleStatus())), false});
    }
  };
  for (char c : bytes) {
    switch (rx_) {
      case RxState::kIdle:
        if (c == kEscByte) {
          rx_ = RxState::kGotEsc;
        } else {
          single(c);
        }
        break;
      case RxState::kGotEsc:
        if (c == 'P') {
          rx_ = RxState::kInFrame;
          frame_.clear();
          frameTooLong_ = false;
        } else if (c != kEscByte) {
          rx_ = RxState::kIdle;
          single(c);  // a stray ESC must not swallow a status query
        }
        break;
      case RxState::kInFrame:
        if (c == kEscByte) {
          rx_ = RxState::kInFrameEsc;
        } else if (frame_.size() < kMaxFrameSize) {
          frame_.push_back(c);
        } else {
          frameTooLong_ = true;
        }
        break;
      case RxState::kInFrameEsc:
        if (c == '\\') {
          rx_ = RxState::kIdle;
          if (!state_.online) {
            // Off-line the mechanism takes no commands: only the status queries answer.
          } else if (frameTooLong_) {
            // Too long for the printer's buffer: refused as a whole, never cut.
            state_.lastError = kErrParameter;
            state_.lastCommandOk = false;
            NoteFrame(kErrParameter);
          } else {
            HandleFrame(frame_, now, out);
          }
          frame_.clear();
        } else if (c == 'P') {
          // A new frame starts before the old one ended: the old one is lost.
          frame_.clear();
          frameTooLong_ = false;
          rx_ = RxState::kInFrame;
        } else {
          if (frame_.size() + 2 <= kMaxFrameSize) {
            frame_.push_back(kEscByte);
            frame_.push_back(c);
          } else {
            frameTooLong_ = true;
          }
          rx_ = RxState::kInFrame;
        }
        break;
    }
  }
  return out;
}

void Printer::HandleFrame(std::string_view body, Clock::time_point now,
                          std::vector<PrinterReply>& out) {
  ++state_.framesReceived;
  state_.lastFrame = std::string(body);
  // A printer busy with a readout drops it when a new command comes.
  if (state_.streamPhase != StreamPhase::kNone) StopStream();

  CommandFrame frame;
  int result = ParseCommandFrame(body, frame);
  const CommandEntry* entry = nullptr;
  if (result == kCarriedOut) {
    entry = table_->Find(frame.code);
    if (!entry) result = kErrUnknownCommand;
  }
  if (result == kCarriedOut) {
    std::string_view args = frame.args;
    std::string_view checked = body.substr(0, body.size() - std::min<std::size_t>(2, body.size()));
    bool checkOk = args.size() >= 2 && SameCheck(args.substr(args.size() - 2), FrameCheck(checked));
    if (entry->check == CheckRule::kRequired && !checkOk) {
      result = kErrChecksum;
    } else if (entry->check != CheckRule::kNone && checkOk) {
      frame.args.resize(frame.args.size() - 2);
    }
  }
  if (result == kCarriedOut && !entry->query && state_.refuseNextCode >= 0 &&
      (state_.refuseCommand.empty() || state_.refuseCommand == frame.code)) {
    result = state_.refuseNextCode;
    state_.refuseNextCode = -1;
  }
  CommandContext ctx{state_, frame, now, {}};
  if (result == kCarriedOut) result = entry->handler(ctx);
  if (entry && entry->query && result == kCarriedOut) {
    // The error query reports the last error; asking must not clear it.
  } else if (result == kCarriedOut) {
    state_.lastError = 0;
    state_.lastCommandOk = true;
  } else {
    state_.lastError = result;
    state_.lastCommandOk = false;
    NoteFrame(result);
    return;
  }
  NoteFrame(kCarriedOut);
  if (!ctx.reply.empty()) out.push_back({std::move(ctx.reply), true, ctx.replyChecked});
}

const CommandEntry* CommandTable::Find(std::string_view code) const {
  auto it = entries_.find(code);
  return it == entries_.end() ? nullptr : &it->second;
}

const CommandTable& CommandTable::Standard() {
  // Built once and never changed afterwards, so sharing it is safe.
  static const CommandTable table = [] {
    CommandTable t;
    AddStatusCommands(t);
    AddConfigCommands(t);
    AddCashCommands(t);
    AddReceiptCommands(t);
    AddReportCommands(t);
    AddProgrammingCommands(t);
    AddDocumentCommands(t);
    AddCurrencyCommands(t);
    AddEcopyCommands(t);
    return t;
  }();
  return table;
}

}  // namespace ulvo
