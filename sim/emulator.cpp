#include "sim/emulator.h"

#include <algorithm>
#include <cstdio>

#include "sim/command_table.h"
#include "sim/fiscal_memory.h"

namespace ulvo {

namespace {

constexpr long kMaxJunk = 1'000'000;  // more than any reply buffer; keeps a typo from eating memory
constexpr long kMaxDelayMs = 600'000;
constexpr long kMaxBaud = 4'000'000;

std::optional<long> Number(std::string_view text, long max) {
  std::optional<long> v = ParseCount(text);
  if (!v || *v > max) return std::nullopt;
  return v;
}

std::optional<bool> OnOff(std::string_view text) {
  if (text == "on") return true;
  if (text == "off") return false;
  return std::nullopt;
}

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char c : bytes) {
    unsigned char u = static_cast<unsigned char>(c);
    out.push_back(kDigits[u >> 4]);
    out.push_back(kDigits[u & 15]);
  }
  return out;
}

std::optional<std::string> FromHex(std::string_view text) {
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (text.size() % 2 != 0 || text.size() > 2 * kMaxJunk) return std::nullopt;
  std::string out;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    int hi = nibble(text[i]), lo = nibble(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out.push_back(static_cast<char>(hi * 16 + lo));
  }
  return out;
}

// One-line text for an answer: line breaks would split the answer.
std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

}  // namespace

std::string JunkBytes(std::size_t count) {
  static constexpr char kJunk[] =
      "#%&()*+-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_`az{|}~";
  std::string out;
  out.reserve(count);
  for (std::size_t i = 0; i < count; ++i) out.push_back(kJunk[(i * 7 + 3) % (sizeof kJunk - 1)]);
  return out;
}

std::string LogText(std::string_view bytes) {
  std::string out;
  for (char c : bytes) {
    unsigned char u = static_cast<unsigned char>(c);
    switch (u) {
      case 0x1B:
        out += "<ESC>";
        break;
      case 0x0D:
        out += "<CR >";
        break;
      case 0x0A:
        out += "<LF >";
        break;
      case 0x05:
        out += "<ENQ>";
        break;
      case 0x07:
        out += "<BEL>";
        break;
      case 0x10:
        out += "<DLE>";
        break;
      case 0x18:
        out += "<CAN>";
        break;
      case 0x0E:
        out += "<SO >";
        break;
      case 0x14:
        out += "<DC4>";
        break;
      case 0x11:
        out += "<XON>";
        break;
      case 0x13:
        out += "<XOFF>";
        break;
      default:
        if (u >= 0x20 && u < 0x7F) {
          out.push_back(c);
        } else {
          char buf[8];
          std::snprintf(buf, sizeof buf, "<%02XH>", u);
          out += buf;
        }
    }
  }
  return out;
}

std::string SimUsage() {
  return "Użycie: ulvo-sim [--family alta|altapro|mavito] [--bus] [--ecopy] [--baud N]\n"
         "                [--settings ustaw.txt]\n"
         "                [--log PLIK] [--control ŚCIEŻKA] [--listen HOST:PORT]\n"
         "                [--fiscal] [--no-unique]\n"
         "                [--no-answer] [--delay MS] [--offline] [--paper-out]\n"
         "                [--mech-error] [--garbage N]\n"
         "                [--fiscal-reports N] [--fiscal-seed N] [--fiscal-currency-from N]\n"
         "                [--replay PLIK.pcap]\n";
}

PrinterVariant VariantOfSettings(const Settings& settings) {
  PrinterVariant v;
  switch (settings.PrinterType) {
    case 0:
      v.family = PrinterFamily::kAlta;
      break;
    case 1:
      v.family = PrinterFamily::kAltaPro;
      break;
    default:
      v.family = PrinterFamily::kMavito;
      break;
  }
  // The variants the model dialog offers: bus for Alta Pro and Mavito, the copy for Mavito.
  v.bus = settings.BusMode != 0 && v.family != PrinterFamily::kAlta;
  v.ecopy = settings.ElectronicCopy != 0 && v.family == PrinterFamily::kMavito;
  return v;
}

std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args,
                                          std::string* error) {
  SimOptions o;
  auto fail = [&](const std::string& text) -> std::optional<SimOptions> {
    if (error) *error = text;
    return std::nullopt;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> inlineValue;
    if (std::size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      inlineValue = name.substr(eq + 1);
      name.resize(eq);
    }
    auto value = [&]() -> std::optional<std::string> {
      if (inlineValue) return inlineValue;
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    auto number = [&](long max) -> std::optional<long> {
      std::optional<std::string> v = value();
      if (!v) return std::nullopt;
      return Number(*v, max);
    };
    if (name == "--family") {
      std::optional<std::string> v = value();
      if (v == "alta") {
        o.variant.family = PrinterFamily::kAlta;
      } else if (v == "altapro") {
        o.variant.family = PrinterFamily::kAltaPro;
      } else if (v == "mavito") {
        o.variant.family = PrinterFamily::kMavito;
      } else {
        return fail("Nieznana rodzina drukarek: " + v.value_or("") +
                    " (dozwolone: alta, altapro, mavito).");
      }
    } else if (name == "--settings") {
      // The program's own settings file: the emulator becomes the printer chosen there.
      std::optional<std::string> v = value();
      if (!v || v->empty()) return fail("Brak ścieżki po --settings.");
      const Settings chosen = LoadSettings(*v);
      o.variant = VariantOfSettings(chosen);
    } else if (name == "--bus") {
      o.variant.bus = true;
    } else if (name == "--ecopy") {
      o.variant.ecopy = true;
    } else if (name == "--fiscal") {
      o.fiscal = true;
    } else if (name == "--no-unique") {
      o.noUniqueNumber = true;
    } else if (name == "--baud") {
      std::optional<long> v = number(kMaxBaud);
      if (!v) return fail("Zła prędkość transmisji (--baud).");
      o.baud = *v;
    } else if (name == "--log" || name == "--control") {
      std::optional<std::string> v = value();
      if (!v || v->empty()) return fail("Brak ścieżki po " + name + ".");
      (name == "--log" ? o.logPath : o.controlPath) = *v;
    } else if (name == "--listen") {
      std::optional<std::string> v = value();
      if (!v || v->find(':') == std::string::npos) {
        return fail("Po --listen podaj HOST:PORT (np. 127.0.0.1:4001).");
      }
      o.listen = *v;
    } else if (name == "--replay") {
      std::optional<std::string> v = value();
      if (!v || v->empty()) return fail("Brak pliku przechwycenia po --replay.");
      o.replayPath = *v;
    } else if (name == "--no-answer") {
      o.noAnswer = true;
    } else if (name == "--delay") {
      std::optional<long> v = number(kMaxDelayMs);
      if (!v) return fail("Złe opóźnienie (--delay, milisekundy).");
      o.delayMs = *v;
    } else if (name == "--offline") {
      o.offline = true;
    } else if (name == "--paper-out") {
      o.paperOut = true;
    } else if (name == "--mech-error") {
      o.mechanismError = true;
    } else if (name == "--garbage") {
      std::optional<long> v = number(kMaxJunk);
      if (!v) return fail("Zła liczba bajtów (--garbage).");
      o.garbage = *v;
    } else if (name == "--fiscal-reports" || name == "--fiscal-seed" ||
               name == "--fiscal-currency-from") {
      std::optional<long> v = number(name == "--fiscal-seed" ? 1'000'000'000L : 65535L);
      if (!v) return fail("Zła liczba (" + name + ").");
      (name == "--fiscal-reports" ? o.fiscalReports
       : name == "--fiscal-seed"  ? o.fiscalSeed
                                  : o.fiscalCurrencyFrom) = *v;
    } else {
      return fail("Nieznany argument: " + args[i]);
    }
  }
  if (o.variant.ecopy && o.variant.family != PrinterFamily::kMavito) {
    return fail("Kopię elektroniczną (--ecopy) ma tylko Mavito.");
  }
  return o;
}

Emulator::Emulator(const SimOptions& options) : printer_(options.variant) {
  if (options.baud > 0) byteTime_ = std::chrono::nanoseconds(10'000'000'000LL / options.baud);
  PrinterState& s = printer_.MutableState();
  s.fiscal = options.fiscal;
  if (options.noUniqueNumber) s.uniqueNumber = std::string(11, ' ');
  if (options.fiscalReports > 0) {
    GenerateFiscalMemory(s, static_cast<std::size_t>(options.fiscalReports),
                         static_cast<unsigned>(options.fiscalSeed),
                         static_cast<std::size_t>(options.fiscalCurrencyFrom));
  }
  s.online = !options.offline;
  s.paperOut = options.paperOut;
  s.mechanismError = options.mechanismError;
  noAnswer_ = options.noAnswer;
  delay_ = std::chrono::milliseconds(options.delayMs);
  garbageNext_ = options.garbage;
}

void Emulator::StartReplay(std::vector<ReplayPacket> packets) {
  replay_.emplace(std::move(packets));
}

std::vector<std::string> Emulator::TakeReplayNotes() {
  return replay_ ? replay_->TakeNotes() : std::vector<std::string>();
}

void Emulator::OnInput(std::string_view bytes, Time now,
                       std::chrono::system_clock::time_point wall) {
  ReleaseDelayed(now);
  bytesIn_ += bytes.size();
  lastInput_ = now;
  lastWall_ = wall;
  if (noAnswer_) return;
  if (replay_) {
    std::string answers = replay_->Feed(bytes);
    if (!answers.empty()) Enqueue(std::move(answers), 0, now);
    return;
  }
  if (echo_) {
    if (pending_ + bytes.size() > kEchoBacklogLimit) {
      dropped_ += bytes.size();
      return;
    }
    Enqueue(std::string(bytes), 0, now);
    return;
  }
  while (!bytes.empty()) {
    const std::size_t room = kInputBufferSize - inbox_.size();
    if (room == 0) break;
    const std::size_t n = std::min(room, bytes.size());
    inbox_.append(bytes.substr(0, n));
    bytes.remove_prefix(n);
    Pump(now, wall);
  }
  if (!bytes.empty()) {
    // The buffer is full and the printer still busy with its answers: the rest is lost.
    dropped_ += bytes.size();
    if (!busy_) {
      urgent_.push_back('\x13');
      busy_ = true;
    }
  }
}

void Emulator::Pump(Time now, std::chrono::system_clock::time_point wall) {
  std::size_t taken = 0;
  // A byte at a time: an answer stops the intake as soon as the line is backed up.
  while (taken < inbox_.size() && pending_ < kOutputBacklogLimit) {
    for (PrinterReply& reply : printer_.Feed(std::string_view(inbox_).substr(taken, 1), wall))
      Emit(std::move(reply), now);
    ++taken;
  }
  inbox_.erase(0, taken);
  if (busy_ && inbox_.size() <= kInputBufferXonLevel) {
    urgent_.push_back('\x11');
    busy_ = false;
  }
}

std::chrono::system_clock::time_point Emulator::WallAt(Time now) const {
  return lastWall_ +
         std::chrono::duration_cast<std::chrono::system_clock::duration>(now - lastInput_);
}

void Emulator::Emit(PrinterReply reply, Time now) {
  std::string bytes;
  std::size_t gluedTail = 0;
  if (garbageNext_ > 0) {
    bytes = JunkBytes(static_cast<std::size_t>(garbageNext_));
    garbageNext_ = 0;
  }
  if (reply.checked && badCheckNext_ && reply.bytes.size() >= 6) {
    // Still two hex digits, just not the right ones.
    char& digit = reply.bytes[reply.bytes.size() - 3];
    digit = digit == '0' ? '1' : '0';
    badCheckNext_ = false;
  }
  if (reply.frame && longReplyNext_ >= 0) {
    bytes += JunkBytes(static_cast<std::size_t>(longReplyNext_));
    longReplyNext_ = -1;
  } else {
    bytes += reply.bytes;
    if (reply.frame && trailingNext_ > 0) {
      bytes += JunkBytes(static_cast<std::size_t>(trailingNext_));
      gluedTail = static_cast<std::size_t>(trailingNext_);
      trailingNext_ = 0;
    }
  }
  // Records of a readout leave at the baud rate the program asked for.
  std::chrono::nanoseconds byteTime = byteTime_;
  long streamBaud = printer_.State().streamBaud;
  if (reply.record && byteTime_.count() > 0 && streamBaud > 0) {
    byteTime = std::chrono::nanoseconds(10'000'000'000LL / streamBaud);
  }
  if (delay_.count() > 0) {
    pending_ += bytes.size();
    delayed_.push_back({now + delay_, std::move(bytes), gluedTail, byteTime});
  } else {
    Enqueue(std::move(bytes), gluedTail, now, byteTime);
  }
}

void Emulator::Enqueue(std::string bytes, std::size_t gluedTail, Time now,
                       std::chrono::nanoseconds byteTime) {
  if (bytes.empty()) return;
  pending_ += bytes.size();
  if (wire_.empty() && wireFreeAt_ < now) wireFreeAt_ = now;
  wire_.push_back({std::move(bytes), 0, gluedTail, byteTime});
}

void Emulator::ReleaseDelayed(Time now) {
  while (!delayed_.empty() && delayed_.front().due <= now) {
    Delayed d = std::move(delayed_.front());
    delayed_.pop_front();
    pending_ -= d.bytes.size();  // counted again by Enqueue
    Enqueue(std::move(d.bytes), d.gluedTail, now, d.byteTime);
  }
}

std::string Emulator::TakeOutput(Time now) {
  ReleaseDelayed(now);
  std::string out = std::move(urgent_);
  urgent_.clear();
  for (;;) {
    while (!wire_.empty()) {
      Chunk& chunk = wire_.front();
      if (chunk.byteTime.count() == 0) {
        out.append(chunk.bytes, chunk.sent);
        pending_ -= chunk.bytes.size() - chunk.sent;
        wire_.pop_front();
        continue;
      }
      while (chunk.sent < chunk.bytes.size() && wireFreeAt_ <= now) {
        std::size_t count = 1;
        // The byte before a glued tail takes the tail with it.
        if (chunk.gluedTail > 0 && chunk.sent + 1 + chunk.gluedTail == chunk.bytes.size()) {
          count += chunk.gluedTail;
        }
        out.append(chunk.bytes, chunk.sent, count);
        chunk.sent += count;
        pending_ -= count;
        wireFreeAt_ += chunk.byteTime * static_cast<long>(count);
      }
      if (chunk.sent < chunk.bytes.size()) break;
      wire_.pop_front();
    }
    // Room on the line again: the printer goes on with its input buffer.
    if (inbox_.empty() || pending_ >= kOutputBacklogLimit) break;
    const std::size_t before = inbox_.size();
    Pump(now, WallAt(now));
    out += urgent_;  // an XON the intake gave
    urgent_.clear();
    if (inbox_.size() == before) break;
  }
  return out;
}

std::optional<Emulator::Time> Emulator::NextWakeup() const {
  std::optional<Time> next;
  if (!urgent_.empty()) return Time{};
  if (!inbox_.empty() && pending_ < kOutputBacklogLimit) return Time{};
  if (!wire_.empty()) {
    const Chunk& chunk = wire_.front();
    if (chunk.byteTime.count() == 0) {
      next = Time{};
    } else {
      // Bytes leave in small batches (a front end need not wake for every byte time), but the
      // chunk's last byte leaves on its own time, so a reply ends when the line says it does.
      const std::size_t left = chunk.bytes.size() - chunk.sent;
      const auto batch = static_cast<std::size_t>(
          std::max<long long>(1, kPacingBatch.count() / chunk.byteTime.count()));
      next = wireFreeAt_ + chunk.byteTime * static_cast<long>(std::min(left, batch) - 1);
    }
  }
  if (!delayed_.empty() && (!next || delayed_.front().due < *next)) next = delayed_.front().due;
  return next;
}

std::optional<std::string> Emulator::Get(std::string_view name) const {
  const PrinterState& s = printer_.State();
  if (name == "lasterror") return std::to_string(s.lastError);
  if (name == "cash") return FormatGrosze(s.cash);
  if (name.size() == 6 && name.substr(0, 5) == "total" && name[5] >= 'A' && name[5] <= 'G') {
    return FormatGrosze(s.totals[name[5] - 'A']);
  }
  if (name == "totalZ") return FormatGrosze(s.totalZ);
  if (name == "frames") return std::to_string(s.framesReceived);
  if (name == "bytesin") return std::to_string(bytesIn_);
  if (name == "inbuffer") return std::to_string(inbox_.size());
  if (name == "dropped") return std::to_string(dropped_);
  if (name == "lastframe") return Hex(s.lastFrame);
  if (name == "receipts") return std::to_string(s.receiptCount);
  if (name == "dailyreports") return std::to_string(s.dailyReports);
  if (name == "fiscal") return s.fiscal ? "1" : "0";
  if (name == "intransaction") return s.inTransaction ? "1" : "0";
  if (name == "enq") return std::to_string(printer_.EnqStatus());
  if (name == "dle") return std::to_string(printer_.DleStatus());
  if (name == "cashier") return OneLine(s.cashierLoggedIn ? s.cashier : "");
  if (name == "register") return OneLine(s.registerNumber);
  if (name == "display") return OneLine(s.displayText);
  if (name == "displaymode") return std::to_string(s.displayMode);
  if (name == "drawer") return std::to_string(s.drawerOpenings);
  if (name == "linesfed") return std::to_string(s.linesFed);
  if (name == "printouts") return std::to_string(s.printouts.size());
  if (name == "lastprintout") return s.printouts.empty() ? "" : OneLine(s.printouts.back());
  if (name == "clockoffset") return std::to_string(s.clockOffset.count());
  if (name == "unique") return s.uniqueNumber;
  if (name == "typeversion") {
    return OneLine(s.typeVersionText.empty() ? DefaultTypeVersion(s.variant) : s.typeVersionText);
  }
  if (name == "printspeed") return std::to_string(s.printSpeed);
  if (name == "header") {
    std::string out = s.header;
    for (char& c : out) {
      if (c == '\n') c = '|';
    }
    return OneLine(out);
  }
  if (name == "nip") return OneLine(s.nip);
  if (name == "currency") return s.accountingCurrency;
  if (name == "streaming") return s.streamPhase == StreamPhase::kNone ? "0" : "1";
  if (name == "ptu") {
    std::string out;
    for (int rate : s.ptu) out += FormatGrosze(rate) + "/";
    return out;
  }
  if (name == "options") {
    std::string out;
    for (std::uint16_t v : s.options) out += std::to_string(v) + "/";
    return out;
  }
  return std::nullopt;
}

std::string Emulator::Control(std::string_view line, Time now) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' ')) {
    line.remove_suffix(1);
  }
  std::size_t space = line.find(' ');
  std::string_view cmd = line.substr(0, space);
  std::string_view arg =
      space == std::string_view::npos ? std::string_view{} : line.substr(space + 1);
  PrinterState& s = printer_.MutableState();

  auto onOff = [&](bool& flag) -> std::string {
    std::optional<bool> v = OnOff(arg);
    if (!v) return "error expected on or off";
    flag = *v;
    return "ok";
  };
  auto count = [&](long& target, long max) -> std::string {
    std::optional<long> v = Number(arg, max);
    if (!v) return "error expected a number up to " + std::to_string(max);
    target = *v;
    return "ok";
  };

  if (cmd == "noanswer") return onOff(noAnswer_);
  if (cmd == "echo") return onOff(echo_);
  if (cmd == "send") {
    // Raw bytes for the program, given as hex ("1B50..."), paced like any answer.
    std::optional<std::string> bytes = FromHex(arg);
    if (!bytes || bytes->empty()) return "error expected hex bytes";
    Enqueue(std::move(*bytes), 0, now);
    return "ok";
  }
  if (cmd == "delay") {
    long ms = 0;
    std::string answer = count(ms, kMaxDelayMs);
    if (answer == "ok") delay_ = std::chrono::milliseconds(ms);
    return answer;
  }
  if (cmd == "online") return onOff(s.online);
  if (cmd == "paperout") return onOff(s.paperOut);
  if (cmd == "mecherror") return onOff(s.mechanismError);
  if (cmd == "fiscal") return onOff(s.fiscal);
  if (cmd == "xoff" || cmd == "xon") {
    if (!arg.empty()) return "error no argument expected";
    urgent_.push_back(cmd == "xoff" ? '\x13' : '\x11');
    return "ok";
  }
  if (cmd == "stopread") return onOff(stopRead_);
  if (cmd == "garbage") return count(garbageNext_, kMaxJunk);
  if (cmd == "trailing") return count(trailingNext_, kMaxJunk);
  if (cmd == "longreply") return count(longReplyNext_, kMaxJunk);
  if (cmd == "badcheck") {
    if (!arg.empty()) return "error no argument expected";
    badCheckNext_ = true;
    return "ok";
  }
  if (cmd == "refuse") {
    // "refuse KOD" fails the next command; "refuse KOD $d" the next one with that code only.
    std::string_view command;
    if (std::size_t gap = arg.find(' '); gap != std::string_view::npos) {
      command = arg.substr(gap + 1);
      arg = arg.substr(0, gap);
      if (command.size() != 2 || (command[0] != '#' && command[0] != '$'))
        return "error expected a command code such as $d";
    }
    long code = 0;
    std::string answer = count(code, 255);
    if (answer == "ok") {
      s.refuseNextCode = static_cast<int>(code);
      s.refuseCommand = std::string(command);
    }
    return answer;
  }
  if (cmd == "unique") {
    if (arg == "none") {
      s.uniqueNumber = std::string(11, ' ');
    } else if (arg.size() == 11) {
      s.uniqueNumber = std::string(arg);
    } else {
      return "error expected eleven characters or none";
    }
    return "ok";
  }
  if (cmd == "damage") {
    // Marks a daily report in the fiscal memory as damaged (by its number, from 1).
    long number = 0;
    std::string answer = count(number, 1'000'000);
    if (answer != "ok") return answer;
    if (number < 1 || static_cast<std::size_t>(number) > s.fiscalMemory.size()) {
      return "error no daily report " + std::to_string(number);
    }
    s.fiscalMemory[static_cast<std::size_t>(number) - 1].damaged = true;
    return "ok";
  }
  if (cmd == "fiscalfault") {
    // "fiscalfault count|due|ptu|status|check|cut <n>" or "fiscalfault none".
    std::size_t gap = arg.find(' ');
    std::string_view what = arg.substr(0, gap);
    long long value = 0;
    if (gap != std::string_view::npos) {
      std::string_view text = arg.substr(gap + 1);
      bool negative = !text.empty() && text[0] == '-';
      if (negative) text.remove_prefix(1);
      std::optional<long> v = Number(text, 2'000'000'000L);
      if (!v) return "error expected a number";
      value = negative ? -*v : *v;
    } else if (what != "none") {
      return "error expected a number";
    }
    return SetFiscalFault(s, what, value);
  }
  if (cmd == "disconnect") {
    disconnect_ = true;
    return "ok";
  }
  if (cmd == "get") {
    std::optional<std::string> value = Get(arg);
    if (!value) return "error unknown item " + std::string(arg);
    return value->empty() ? "ok" : "ok " + *value;
  }
  if (cmd == "reset") {
    printer_.Reset();
    inbox_.clear();
    return "ok";
  }
  return "error unknown command " + std::string(cmd);
}

}  // namespace ulvo
