#include "cli/cli_options.h"

#include <cctype>

namespace ulvo {

namespace {

bool Digits(const std::string& text) {
  if (text.empty()) return false;
  for (char ch : text)
    if (!std::isdigit(static_cast<unsigned char>(ch))) return false;
  return true;
}

}  // namespace

std::string CliHelp() {
  return "Użycie: ulvo-cli --port PORT [--model mavito|altapro|alta] [--baud N] [--json]\n"
         "                [--capture PLIK.pcap] POLECENIE ...\n"
         "\n"
         "PORT: COM<n> (jak w programie), ścieżka urządzenia, tcp://HOST:PORT albo\n"
         "rfc2217://HOST:PORT.\n"
         "\n"
         "--capture PLIK.pcap zapisuje całą transmisję polecenia w formacie pcap (DLT_USER0,\n"
         "do odczytu w Wiresharku z dissektorem ulvo.lua albo do odtworzenia przez\n"
         "ulvo-sim --replay); najwyżej 64 MB.\n"
         "\n"
         "Polecenia:\n"
         "  status                 status ENQ i DLE, typ i wersja, zegar, ostatni błąd\n"
         "  info                   informacje kasowe (stawki PTU i sumy)\n"
         "  clock --set-from-pc    korekta zegara drukarki według zegara komputera\n"
         "  send RAMKA             ramka w postaci konsoli, np. '<ESC>P#s<ESC>\\'\n"
         "  readout (--month MM-RRRR | --dates DD-MM-RRRR DD-MM-RRRR |\n"
         "           --numbers OD DO) [--summary] [--emergency] [--speed N] -o PLIK\n"
         "                         odczyt pamięci fiskalnej do pliku raportu (Mavito)\n"
         "  search                 szukanie drukarki na portach COM 1-63\n"
         "\n"
         "Kody wyjścia: 0 wykonano; 1 drukarka odmówiła; 2 złe wywołanie;\n"
         "3 brak odpowiedzi lub błąd transmisji; 4 błąd pliku.\n";
}

std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args,
                                          std::string* error) {
  CliOptions o;
  auto fail = [error](const std::string& why) -> std::optional<CliOptions> {
    if (error) *error = why;
    return std::nullopt;
  };
  std::size_t i = 0;
  auto value = [&](const std::string& name) -> std::optional<std::string> {
    if (i + 1 >= args.size()) return std::nullopt;
    (void)name;
    return args[++i];
  };
  bool haveCommand = false;
  for (; i < args.size() && !haveCommand; ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      o.command = CliCommand::kHelp;
      return o;
    }
    if (a == "--version") {
      o.command = CliCommand::kVersion;
      return o;
    }
    if (a == "--port") {
      auto v = value(a);
      if (!v || v->empty()) return fail("Brak nazwy portu po --port.");
      o.port = *v;
    } else if (a == "--model") {
      auto v = value(a);
      if (!v) return fail("Brak modelu po --model.");
      if (*v == "mavito") {
        o.printerType = 2;
      } else if (*v == "altapro") {
        o.printerType = 1;
      } else if (*v == "alta") {
        o.printerType = 0;
      } else {
        return fail("Nieznany model " + *v + " (mavito, altapro, alta).");
      }
    } else if (a == "--baud") {
      auto v = value(a);
      if (!v || !Digits(*v) || v->size() > 7 || std::stoul(*v) == 0)
        return fail("Zła prędkość po --baud.");
      o.baud = static_cast<std::uint32_t>(std::stoul(*v));
    } else if (a == "--json") {
      o.json = true;
    } else if (a == "--capture") {
      auto v = value(a);
      if (!v || v->empty()) return fail("Brak nazwy pliku po --capture.");
      o.capture = *v;
    } else if (!a.empty() && a[0] == '-') {
      return fail("Nieznana opcja " + a + ".");
    } else {
      haveCommand = true;
      --i;  // the command itself is read below
    }
  }
  if (!haveCommand) return fail("Brak polecenia.");
  const std::string command = args[i++];
  if (o.port.empty()) return fail("Brak --port.");
  if (o.port.size() > 3 && o.port.compare(0, 3, "COM") == 0 && Digits(o.port.substr(3))) {
    if (o.port.size() > 5) return fail("Zły numer portu " + o.port + " (COM1-COM64).");
    o.comNumber = std::stoi(o.port.substr(3));
    if (o.comNumber < 1 || o.comNumber > 64)
      return fail("Zły numer portu " + o.port + " (COM1-COM64).");
  }
  const std::vector<std::string> rest(args.begin() + static_cast<long>(i), args.end());
  auto noArguments = [&]() { return rest.empty(); };
  if (command == "status") {
    o.command = CliCommand::kStatus;
    if (!noArguments()) return fail("status nie przyjmuje argumentów.");
  } else if (command == "info") {
    o.command = CliCommand::kInfo;
    if (!noArguments()) return fail("info nie przyjmuje argumentów.");
  } else if (command == "search") {
    o.command = CliCommand::kSearch;
    if (!noArguments()) return fail("search nie przyjmuje argumentów.");
  } else if (command == "clock") {
    o.command = CliCommand::kClock;
    if (rest != std::vector<std::string>{"--set-from-pc"})
      return fail("Użycie: clock --set-from-pc");
  } else if (command == "send") {
    o.command = CliCommand::kSend;
    if (rest.size() != 1 || rest[0].empty()) return fail("Użycie: send RAMKA");
    o.frame = rest[0];
  } else if (command == "readout") {
    o.command = CliCommand::kReadout;
    PeriodicReportFields& f = o.readout;
    bool range = false;
    for (std::size_t k = 0; k < rest.size(); ++k) {
      const std::string& a = rest[k];
      auto next = [&]() -> std::optional<std::string> {
        if (k + 1 >= rest.size()) return std::nullopt;
        return rest[++k];
      };
      if (a == "--month") {
        auto v = next();
        if (!v || range) return fail("Podaj jeden zakres: --month MM-RRRR.");
        f.range = PeriodicReportFields::Range::kMonth;
        f.monthText = *v;
        range = true;
      } else if (a == "--dates") {
        auto from = next();
        auto to = next();
        if (!from || !to || range)
          return fail("Podaj jeden zakres: --dates DD-MM-RRRR DD-MM-RRRR.");
        f.range = PeriodicReportFields::Range::kDates;
        f.fromDateText = *from;
        f.toDateText = *to;
        range = true;
      } else if (a == "--numbers") {
        auto from = next();
        auto to = next();
        if (!from || !to || range || !Digits(*from) || !Digits(*to))
          return fail("Podaj jeden zakres: --numbers OD DO (liczby).");
        f.range = PeriodicReportFields::Range::kNumbers;
        f.fromNumber = *from;
        f.toNumber = *to;
        range = true;
      } else if (a == "--summary") {
        f.fullReport = false;
      } else if (a == "--emergency") {
        f.emergency = true;
      } else if (a == "--speed") {
        auto v = next();
        if (!v || !Digits(*v) || v->size() > 7 || std::stoul(*v) == 0)
          return fail("Zła prędkość po --speed.");
        f.baudRate = std::stoul(*v);
      } else if (a == "-o") {
        auto v = next();
        if (!v || v->empty()) return fail("Brak nazwy pliku po -o.");
        o.output = *v;
      } else {
        return fail("Nieznany argument odczytu " + a + ".");
      }
    }
    if (!range) return fail("Podaj zakres odczytu: --month, --dates albo --numbers.");
    if (o.output.empty()) return fail("Podaj plik raportu: -o PLIK.");
  } else {
    return fail("Nieznane polecenie " + command + ".");
  }
  return o;
}

}  // namespace ulvo
