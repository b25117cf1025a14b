// ulvo-cli: the printer link and the fiscal memory readout for scripts and terminals. Polish
// messages go to stderr, results to stdout; the exit status says what failed (cli_options.h).

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif
#include <QCoreApplication>
#include <QDate>
#include <QLocale>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>

#include "cli/cli_options.h"
#include "commands/core/command_frames.h"
#include "common/cp1250.h"
#include "common/local_time.h"
#include "common/money.h"
#include "link/console_link_ui.h"
#include "link/error_texts.h"
#include "link/frame.h"
#include "link/link.h"
#include "link/qt_serial_port.h"
#include "link/traffic_decoder.h"
#ifdef ULVO_WITH_PCAP
#include "link/pcap_capture.h"
#endif
#include "readout/core/readout_run.h"
#include "readout/core/report_file.h"
#include "tools/core/printer_search.h"

#ifndef ULVO_VERSION
#define ULVO_VERSION "?"
#endif

namespace {

using namespace ulvo;
using Clock = std::chrono::steady_clock;

// The COM number a path or an address given on the command line stands in for.
constexpr int kAddressPort = 64;

std::string JsonText(const std::string& utf8) {
  std::string out = "\"";
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      out += esc;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

const char* Bool(bool b) {
  return b ? "true" : "false";
}

std::string Money(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

// After a refused command: 1 when the printer named an error, 3 when it said nothing.
int RefusedExit(const Link& link) {
  return link.LastErrorCode != 0 ? kExitRefused : kExitTransmission;
}

int NoAnswer(Link& link) {
  link.ui().ShowMessage("Brak odpowiedzi od drukarki.");
  return kExitTransmission;
}

int Status(Link& link, const CliOptions& o) {
  if (link.QueryEnq() || link.ReplyReceived != 1) return NoAnswer(link);
  const std::uint8_t enq = link.EnqStatus;
  if (link.QueryDle() || link.ReplyReceived != 1) return NoAnswer(link);
  const std::uint8_t dle = link.DleStatus;
  link.ReadTypeAndVersion();
  const std::string type = Cp1250ToUtf8(link.TypeText), version = Cp1250ToUtf8(link.VersionText);
  link.ReadClock();
  char clock[40] = "";
  if (link.ReplyReceived == 1) {
    std::snprintf(clock, sizeof clock, "%02d%02d-%02d-%02dT%02d:%02d:%02d", link.ClockCentury,
                  link.ClockYear, link.ClockMonth, link.ClockDay, link.ClockHour, link.ClockMinute,
                  link.ClockSeconds);
  }
  link.ReadLastErrorCode();
  const int error = link.LastErrorCode;
  const std::string errorText = error != 0 ? std::string(ErrorText(error)) : std::string();
  if (o.json) {
    std::printf(
        "{\"enq\":%u,\"dle\":%u,\"online\":%s,\"paper\":%s,\"mechanism_error\":%s,"
        "\"fiscal\":%s,\"last_command_ok\":%s,\"in_transaction\":%s,\"last_transaction_ok\":%s,"
        "\"type\":%s,\"version\":%s,\"clock\":%s,\"error\":%d,\"error_text\":%s}\n",
        enq, dle, Bool(dle & 0x04), Bool(!(dle & 0x02)), Bool(dle & 0x01), Bool(enq & 0x08),
        Bool(enq & 0x04), Bool(enq & 0x02), Bool(enq & 0x01), JsonText(type).c_str(),
        JsonText(version).c_str(), clock[0] ? JsonText(clock).c_str() : "null", error,
        JsonText(errorText).c_str());
  } else {
    std::printf("ENQ: %02XH  %s\n", enq, StatusBitsText(0x05, enq).c_str());
    std::printf("DLE: %02XH  %s\n", dle, StatusBitsText(0x10, dle).c_str());
    std::printf("Typ: %s\nWersja: %s\n", type.c_str(), version.c_str());
    std::printf("Zegar: %s\n", clock[0] ? clock : "(brak odpowiedzi)");
    std::printf("Ostatni błąd: %d %s\n", error, errorText.c_str());
  }
  return kExitOk;
}

int Info(Link& link, const CliOptions& o) {
  link.ReadCashInfo();
  if (link.CashDataState != 1) return NoAnswer(link);
  const struct CashInfo& c = link.CashInfo;
  if (o.json) {
    std::string rates, totals;
    for (int i = 0; i < 7; ++i) {
      const std::string letter(1, static_cast<char>('A' + i));
      rates += (i ? "," : "") + JsonText(letter) + ":" + JsonText(FormatPtuRate(c.Ptu[i]));
      totals += (i ? "," : "") + JsonText(letter) + ":" + Money(c.Totals[i]);
    }
    std::printf(
        "{\"rates\":{%s},\"totals\":{%s},\"receipts\":%d,\"cash\":%s,\"ram_resets\":%d,"
        "\"fiscal\":%s,\"last_error\":%d,\"unique_number\":%s}\n",
        rates.c_str(), totals.c_str(), c.ReceiptCount, Money(c.Cash).c_str(), c.RamResets,
        Bool(c.FiscalMode != 0), c.LastError, JsonText(Cp1250ToUtf8(c.UniqueNumber)).c_str());
  } else {
    for (int i = 0; i < 7; ++i) {
      std::printf("PTU %c: %-6s  TOT %c: %s\n", 'A' + i, FormatPtuRate(c.Ptu[i]).c_str(), 'A' + i,
                  Money(c.Totals[i]).c_str());
    }
    std::printf("Paragonów: %d\nGotówka: %s\nNumer unikatowy: %s\n", c.ReceiptCount,
                Money(c.Cash).c_str(), Cp1250ToUtf8(c.UniqueNumber).c_str());
  }
  return kExitOk;
}

int SetClock(Link& link) {
  const std::tm local = LocalTime(std::time(nullptr));
  ClockCorrectionFields fields;
  fields.date = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
  fields.time = {local.tm_hour, local.tm_min, local.tm_sec};
  const FrameList frames = BuildClockCorrection(fields);
  if (frames.Refused()) {
    std::fprintf(stderr, "ulvo-cli: %s\n", frames.error.c_str());
    return kExitUsage;
  }
  for (const std::string& frame : frames.frames) {
    std::snprintf(link.TxBuf, sizeof link.TxBuf, "%s", frame.c_str());
    if (link.SendFrame(link.TxBuf)) return kExitTransmission;
    if (link.CheckCommandResult()) return RefusedExit(link);
  }
  std::printf("Zegar ustawiony: %04d-%02d-%02d %02d:%02d:%02d\n", fields.date.year,
              fields.date.month, fields.date.day, fields.time.hour, fields.time.minute,
              fields.time.second);
  return kExitOk;
}

int Send(Link& link, const CliOptions& o) {
  const std::string frame = DisplayTextToFrame(Utf8ToCp1250(o.frame).bytes);
  if (frame.empty() || frame.size() >= sizeof link.TxBuf) {
    std::fprintf(stderr, "ulvo-cli: ramka jest pusta albo dłuższa niż %zu bajtów.\n",
                 sizeof link.TxBuf - 1);
    return kExitUsage;
  }
  link.FlushInput();
  if (link.SendBytes(const_cast<char*>(frame.data()), frame.size())) return kExitTransmission;
  // A lone ENQ or DLE is answered with one status byte.
  link.SingleByteReply = frame.size() == 1 && (frame[0] == 0x05 || frame[0] == 0x10) ? 1 : 0;
  link.WaitForReply();
  const std::string reply(link.RxBuf, link.RxLength());
  if (reply.empty()) {
    std::printf("(brak odpowiedzi)\n");
  } else {
    std::printf("%s\n",
                Cp1250ToUtf8(FrameToDisplayText(reply, link.settings().LetterCoding)).c_str());
    TrafficDecoder decoder(link.settings().LetterCoding);
    decoder.Feed(TrafficDirection::In, reply, std::chrono::milliseconds(0));
    decoder.Feed(TrafficDirection::Out, std::string_view("\x05", 1), std::chrono::milliseconds(0));
    for (const TrafficRow& row : decoder.rows()) {
      if (row.check == CheckVerdict::Right) std::printf("Suma kontrolna odpowiedzi: poprawna\n");
      if (row.check == CheckVerdict::Wrong) std::printf("Suma kontrolna odpowiedzi: BŁĘDNA\n");
    }
  }
  if (frame.size() == 1) return reply.empty() ? kExitTransmission : kExitOk;
  if (link.CheckCommandResult()) return RefusedExit(link);
  std::printf("Rozkaz wykonany poprawnie.\n");
  return kExitOk;
}

int Readout(Link& link, const CliOptions& o) {
  if (link.settings().PrinterType != 2) {
    std::fprintf(stderr, "ulvo-cli: %s\n", kReadoutNotAvailable);
    return kExitUsage;
  }
  ReadoutRequest request;
  const FrameList frames = BuildPeriodicReadout(o.readout, request);
  if (frames.Refused()) {
    std::fprintf(stderr, "ulvo-cli: %s\n", frames.error.c_str());
    return kExitUsage;
  }
  request.ecopy = link.settings().ElectronicCopy != 0;
  // The date as the program writes it, so that both make the same report.
  request.todayText = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
  // Written beside the target and renamed at the end: a failed readout leaves nothing, and an
  // earlier file of that name stays as it was.
  const std::filesystem::path target(o.output);
  std::filesystem::path temp = target;
  temp += ".czesc";
  ReadoutRunOptions options;
  options.transferBaud = static_cast<std::uint32_t>(o.readout.baudRate);
#ifdef _WIN32
  const bool tty = _isatty(2) != 0;
#else
  const bool tty = isatty(2) != 0;
#endif
  options.keepGoing = [tty](std::uint32_t received, std::uint32_t announced) {
    if (tty && (received % 10 == 0 || received == announced))
      std::fprintf(stderr, "\rPobrano dane %u z %u raportów", received, announced);
    return true;
  };
  const ReadoutRunResult result =
      RunBlockingReadout(link, frames.frames.front(), request, options, temp);
  if (tty) std::fprintf(stderr, "\n");
  switch (result.outcome) {
    case ReadoutOutcome::kDone:
      break;
    case ReadoutOutcome::kRefused:
      return RefusedExit(link);
    case ReadoutOutcome::kFile:
      return kExitFile;
    default:
      return kExitTransmission;
  }
  std::error_code error;
  std::filesystem::rename(temp, target, error);
  if (error) {
    std::filesystem::remove(temp, error);
    std::fprintf(stderr, "ulvo-cli: Nie mogę zapisać pliku %s.\n", o.output.c_str());
    return kExitFile;
  }
  std::printf("%s\n%s\n", ReportTitle(result.naming).c_str(),
              ReportFileName(result.naming).c_str());
  return kExitOk;
}

int Search(Link& link) {
  PrinterSearch search(link);
  search.Start();
  while (!search.done()) std::this_thread::sleep_for(search.Step());
  for (const FoundPrinter& p : search.List()) std::printf("%s\n", p.text.c_str());
  const int found = search.FoundCount();
  search.Cancel();
  return found > 0 ? kExitOk : kExitTransmission;
}

int RunCommand(Link& link, const CliOptions& o) {
  if (o.command == CliCommand::kSearch) return Search(link);
  if (link.OpenPort(true)) return kExitTransmission;
  switch (o.command) {
    case CliCommand::kStatus:
      return Status(link, o);
    case CliCommand::kInfo:
      return Info(link, o);
    case CliCommand::kClock:
      return SetClock(link);
    case CliCommand::kSend:
      return Send(link, o);
    case CliCommand::kReadout:
      return Readout(link, o);
    default:
      return kExitUsage;
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::string error;
  const std::optional<CliOptions> options =
      ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc), &error);
  if (!options) {
    std::fprintf(stderr, "ulvo-cli: %s\n%s", error.c_str(), CliHelp().c_str());
    return kExitUsage;
  }
  if (options->command == CliCommand::kHelp) {
    std::fputs(CliHelp().c_str(), stdout);
    return kExitOk;
  }
  if (options->command == CliCommand::kVersion) {
    std::puts("ulvo-cli " ULVO_VERSION);
    return kExitOk;
  }
  Settings settings;
  settings.PrinterType = options->printerType;
  settings.PortSettings.BaudRate = options->baud;
  settings.PortNumber = static_cast<std::uint8_t>(options->comNumber);
  if (options->comNumber == 0) {
    settings.PortNumber = kAddressPort;
    settings.PortAddresses[kAddressPort] = options->port;
  }
  // No one to press "Przerwij": a reply that has not come in five seconds is not coming.
  ConsoleLinkUi ui("ulvo-cli: ", std::chrono::seconds(5), std::chrono::seconds(10));
  if (options->comNumber == 0) {
    // A path or an address is named as the user gave it, not as the COM number behind it.
    ui.rewrite = [port = options->port](std::string line) {
      const std::string com = "COM" + std::to_string(kAddressPort);
      for (std::size_t at; (at = line.find(com)) != std::string::npos;)
        line.replace(at, com.size(), port);
      return line;
    };
  }
  Link link(settings, ui, QtPortOpener());
  if (options->capture.empty()) return RunCommand(link, *options);
#ifdef ULVO_WITH_PCAP
  std::string captureError;
  std::unique_ptr<PcapCapture> capture = PcapCapture::Start(
      options->capture,
      [](const std::string& message) { std::fprintf(stderr, "ulvo-cli: %s\n", message.c_str()); },
      &captureError);
  if (!capture) {
    std::fprintf(stderr, "ulvo-cli: %s\n", captureError.c_str());
    return kExitFile;
  }
  link.SetCaptureTap(capture.get());
  const int status = RunCommand(link, *options);
  link.SetCaptureTap(nullptr);
  return status;  // the capture writes what is still pending as it goes
#else
  std::fprintf(stderr,
               "ulvo-cli: ten program zbudowano bez libpcap: --capture jest niedostępne.\n");
  return kExitUsage;
#endif
}
