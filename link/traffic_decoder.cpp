#include "link/traffic_decoder.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "common/cp1250.h"
#include "link/error_texts.h"
#include "link/frame.h"

namespace ulvo {

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

constexpr char kEnq = 0x05;
constexpr char kDle = 0x10;
// A frame longer than the command buffer is not one the program would send or take.
constexpr std::size_t kFrameMax = kTxBufSize;
// Bytes of one row kept for showing; the rest is counted.
constexpr std::size_t kRowKeep = 1024;

// The codes of the program's command templates and of the replies it reads. Where two
// commands share a code, both names stand.
constexpr TrafficCode kCodes[] = {
    {"#c", "Odczyt zegara", TrafficCheckRule::Required},
    {"#n", "Odeślij kod ostatniego błędu", TrafficCheckRule::Optional},
    {"#s", "Odeślij informacje kasowe", TrafficCheckRule::Optional},
    {"#v", "Typ i wersja", TrafficCheckRule::Optional},
    {"$0", "Odeślij zawartość bufora odbiorczego", TrafficCheckRule::Required},
    {"$4", "Drukuj tablicę błędów", TrafficCheckRule::Required},
    {"$d", "Sterowanie wyświetlaczem / szufladą", TrafficCheckRule::None},
    {"$8", "Odeślij ustawienia drukarki", TrafficCheckRule::Required},
    {"$1", "Kodowanie polskich liter", TrafficCheckRule::Required},
    {"$c", "Korekta zegara", TrafficCheckRule::Required},
    {"#p", "Logowanie kasjera", TrafficCheckRule::Required},
    {"#q", "Wylogowanie kasjera", TrafficCheckRule::Required},
    {"#i", "Wpłata do kasy", TrafficCheckRule::Required},
    {"#d", "Wypłata z kasy", TrafficCheckRule::Required},
    {"#t", "Stan kasy", TrafficCheckRule::Required},
    {"#k", "Raport kasy/zmiany", TrafficCheckRule::Required},
    {"$2", "Parametry otwierania szuflady", TrafficCheckRule::Required},
    {"#l", "Wysuw papieru / zamówienie", TrafficCheckRule::Required},
    {"$o", "Przypominanie o raporcie miesięcznym / przeglądy serwisowe",
     TrafficCheckRule::Required},
    {"#e", "Sposób obsługi błędów", TrafficCheckRule::Required},
    {"$3", "Oszczędność papieru", TrafficCheckRule::Required},
    {"$r", "Metoda obliczania rabatu", TrafficCheckRule::Required},
    {"$6", "Czujnik pokrywy / szybkość wydruku", TrafficCheckRule::Required},
    {"$5", "Minimalny czas sterowania zwijaczem", TrafficCheckRule::Required},
    {"$7", "Konfiguracja czasu odpowiedzi", TrafficCheckRule::Required},
    {"$9", "Sposób obsługi kaucji w linijce paragonu", TrafficCheckRule::Required},
    {"$!", "Otwieranie szuflady po transakcji", TrafficCheckRule::Required},
    {"$@", "Definicja nr systemowego", TrafficCheckRule::Required},
    {"$#", "Definicja odpowiedzi na rozkaz #v", TrafficCheckRule::Required},
    {"$h", "Początek transakcji", TrafficCheckRule::Required},
    {"$l", "Linijka paragonu", TrafficCheckRule::Required},
    {"$e", "Zatwierdzenie / anulowanie transakcji", TrafficCheckRule::Required},
    {"$x", "Zatwierdzenie rozszerzone", TrafficCheckRule::Required},
    {"#g", "Potwierdzenie obciążenia karty płatniczej", TrafficCheckRule::Required},
    {"#h", "Potwierdzenie uznania karty płatniczej", TrafficCheckRule::Required},
    {"#r", "Wydruk raportu dobowego", TrafficCheckRule::Required},
    {"$f", "Programowanie nagłówka", TrafficCheckRule::Required},
    {"$p", "Programowanie stawek PTU", TrafficCheckRule::Required},
    {"$n", "Programowanie NIP", TrafficCheckRule::Required},
    {"#o", "Raport okresowy / odczyt pamięci fiskalnej", TrafficCheckRule::Required},
    {"#b", "Raport bazy towarowej / kontrola bazy dla biletów", TrafficCheckRule::Required},
    {"$$", "Przeliczenie na waluty", TrafficCheckRule::Required},
    {"##", "Zmiana waluty ewidencyjnej", TrafficCheckRule::Required},
    {"$*", "Numer kontrolny", TrafficCheckRule::Required},
    // Replies.
    {"#X", "Informacje kasowe (odpowiedź)", TrafficCheckRule::MavitoReply},
    {"#C", "Zegar (odpowiedź)", TrafficCheckRule::None},
    {"#R", "Typ i wersja (odpowiedź)", TrafficCheckRule::None},
    {"#E", "Kod ostatniego błędu (odpowiedź)", TrafficCheckRule::None},
    {"#I", "Bufor odbiorczy (odpowiedź)", TrafficCheckRule::None},
    {"#U", "Ustawienia drukarki (odpowiedź)", TrafficCheckRule::None},
};

const TrafficCode* FindCode(std::string_view code) {
  if (code.empty()) return nullptr;
  for (const TrafficCode& entry : kCodes)
    if (entry.code == code) return &entry;
  return nullptr;
}

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string HexByte(std::uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "%02XH", byte);
  return text;
}

bool Closed(const std::string& bytes) {
  return bytes.size() >= 4 && bytes[bytes.size() - 2] == kEsc && bytes.back() == kBackslash;
}

}  // namespace

std::span<const TrafficCode> TrafficCodes() {
  return kCodes;
}

std::string_view CommandName(std::string_view code) {
  const TrafficCode* entry = FindCode(code);
  return entry != nullptr ? entry->name : std::string_view();
}

std::string StatusBitsText(char query, std::uint8_t status) {
  struct Bit {
    std::uint8_t mask;
    const char* name;
  };
  static constexpr Bit kEnqBits[] = {{0x08, "Drukarka jest w trybie fiskalnym"},
                                     {0x04, "Ostatni rozkaz został wykonany poprawnie"},
                                     {0x02, "Drukarka jest w trybie transakcji"},
                                     {0x01, "Ostatnia transakcja została sfinalizowana poprawnie"}};
  static constexpr Bit kDleBits[] = {
      {0x04, "On-line"}, {0x02, "Brak papieru"}, {0x01, "Bład mechanizmu sterowanika"}};
  std::string text;
  const auto add = [&](const Bit& bit) {
    if ((status & bit.mask) == 0) return;
    if (!text.empty()) text += "; ";
    text += bit.name;
  };
  if (query == kDle) {
    for (const Bit& bit : kDleBits) add(bit);
  } else {
    for (const Bit& bit : kEnqBits) add(bit);
  }
  return text.empty() ? "żaden bit nie jest ustawiony" : text;
}

void TrafficDecoder::Clear() {
  rows_.clear();
  total_ = 0;
  for (Partial& part : frame_) part = {};
  for (Partial& part : stray_) part = {};
  pendingQuery_ = 0;
  anyTraffic_ = false;
  lastTime_ = microseconds(0);
}

std::string TrafficDecoder::Display(std::string_view bytes) const {
  std::string text = Cp1250ToUtf8(FrameToDisplayText(bytes.substr(0, kRowKeep), letterCoding_));
  if (bytes.size() > kRowKeep)
    text += " … (+" + std::to_string(bytes.size() - kRowKeep) + " bajtów)";
  return text;
}

void TrafficDecoder::Push(TrafficRow row) {
  rows_.push_back(std::move(row));
  ++total_;
  while (rows_.size() > maxRows_) rows_.pop_front();
}

void TrafficDecoder::Start(Partial& part, char byte, microseconds time, milliseconds gap) {
  part.bytes.assign(1, byte);
  part.time = time;
  part.gap = gap;
}

void TrafficDecoder::EmitSingle(TrafficDirection direction, char byte, microseconds time,
                                milliseconds gap) {
  TrafficRow row;
  row.time = std::chrono::duration_cast<milliseconds>(time);
  row.exactTime = time;
  row.gap = gap;
  row.direction = direction;
  row.display = Display(std::string_view(&byte, 1));
  row.size = 1;
  row.bytes.assign(1, byte);
  const char* query = pendingQuery_ == kDle || byte == kDle ? "DLE" : "ENQ";
  if (direction == TrafficDirection::Out) {
    row.name = std::string("Zapytanie o status ") + query;
  } else {
    row.name = std::string("Status ") + query;
    row.detail = HexByte(static_cast<std::uint8_t>(byte)) + ": " +
                 StatusBitsText(pendingQuery_, static_cast<std::uint8_t>(byte));
  }
  Push(std::move(row));
}

void TrafficDecoder::EmitStray(TrafficDirection direction, Partial& part) {
  if (part.bytes.empty()) return;
  TrafficRow row;
  row.time = std::chrono::duration_cast<milliseconds>(part.time);
  row.exactTime = part.time;
  row.gap = part.gap;
  row.direction = direction;
  row.display = Display(part.bytes);
  row.size = part.bytes.size();
  row.bytes = std::move(part.bytes);
  row.name = "Bajty poza ramką";
  Push(std::move(row));
  part = {};
}

void TrafficDecoder::EmitFrame(TrafficDirection direction, Partial& part) {
  if (part.bytes.empty()) return;
  const std::string& bytes = part.bytes;
  TrafficRow row;
  row.time = std::chrono::duration_cast<milliseconds>(part.time);
  row.exactTime = part.time;
  row.gap = part.gap;
  row.direction = direction;
  row.display = Display(bytes);
  row.size = bytes.size();
  row.bytes = bytes;
  const bool closed = Closed(bytes);
  const std::size_t end = closed ? bytes.size() - 2 : bytes.size();

  // Parameters come first; the first '#' or '$' and the byte after it are the code.
  std::size_t codeAt = std::string::npos;
  for (std::size_t i = 2; i + 1 < end; ++i)
    if (bytes[i] == '#' || bytes[i] == '$') {
      codeAt = i;
      break;
    }
  if (codeAt != std::string::npos) row.code = bytes.substr(codeAt, 2);
  row.name = std::string(CommandName(row.code));
  const TrafficCode* entry = FindCode(row.code);

  if (!closed) {
    row.detail = "ramka bez zakończenia <ESC>\\";
  } else if (codeAt != std::string::npos) {
    TrafficCheckRule rule = entry != nullptr                     ? entry->check
                            : direction == TrafficDirection::Out ? TrafficCheckRule::Optional
                                                                 : TrafficCheckRule::None;
    if (rule == TrafficCheckRule::MavitoReply)
      rule = bytes.compare(2, codeAt - 2, "2") == 0 ? TrafficCheckRule::Required
                                                    : TrafficCheckRule::None;
    const std::size_t tail = end - (codeAt + 2);
    const bool hasPair = tail >= 2 && IsHex(bytes[end - 2]) && IsHex(bytes[end - 1]);
    if (rule == TrafficCheckRule::Required || (rule == TrafficCheckRule::Optional && hasPair)) {
      std::uint8_t check = 0xFF;
      for (std::size_t i = 2; i + 2 < end; ++i) check ^= static_cast<std::uint8_t>(bytes[i]);
      const std::string want = HexByte(check);
      const bool right =
          hasPair && Upper(bytes[end - 2]) == want[0] && Upper(bytes[end - 1]) == want[1];
      row.check = right ? CheckVerdict::Right : CheckVerdict::Wrong;
      if (!right) row.detail = "suma kontrolna powinna być " + want.substr(0, 2);
    }
    if (row.code == "#E" && direction == TrafficDirection::In) {
      int number = 0;
      const char* first = bytes.data() + codeAt + 2;
      const auto [next, error] = std::from_chars(first, bytes.data() + end, number);
      if (error == std::errc() && next != first) {
        row.detail = number == 0 ? std::string("brak błędu")
                                 : "błąd nr " + std::to_string(number) + ": " +
                                       std::string(ErrorText(number));
      }
    }
  }
  if (direction == TrafficDirection::Out) pendingQuery_ = 0;
  Push(std::move(row));
  part = {};
}

void TrafficDecoder::Finish() {
  for (const TrafficDirection direction : {TrafficDirection::Out, TrafficDirection::In}) {
    const int side = direction == TrafficDirection::Out ? 0 : 1;
    EmitFrame(direction, frame_[side]);
    EmitStray(direction, stray_[side]);
  }
}

void TrafficDecoder::Feed(TrafficDirection direction, std::string_view bytes, microseconds time) {
  if (bytes.empty()) return;
  milliseconds gap =
      anyTraffic_
          ? std::chrono::duration_cast<milliseconds>(std::max(time - lastTime_, microseconds(0)))
          : milliseconds(0);
  anyTraffic_ = true;
  lastTime_ = time;
  const int side = direction == TrafficDirection::Out ? 0 : 1;
  const TrafficDirection otherDirection = side == 0 ? TrafficDirection::In : TrafficDirection::Out;
  // The other side speaks: whatever frame it left open is not going to be finished.
  EmitFrame(otherDirection, frame_[1 - side]);
  Partial& frame = frame_[side];
  Partial& stray = stray_[side];
  if (!frame.bytes.empty()) {
    frame.gap = std::max(frame.gap, gap);
    gap = milliseconds(0);
  }

  for (const char c : bytes) {
    if (!frame.bytes.empty()) {
      if (frame.bytes.size() == 1 && c != 'P') {
        // ESC without 'P': not a frame after all.
        if (stray.bytes.empty()) {
          stray.time = frame.time;
          stray.gap = frame.gap;
        }
        stray.bytes += kEsc;
        frame = {};
        if (c != kEsc) {
          stray.bytes += c;
          continue;
        }
      } else if (c == 'P' && frame.bytes.back() == kEsc && frame.bytes.size() > 1) {
        // A new frame begins before the last one ended.
        frame.bytes.pop_back();
        EmitFrame(direction, frame);
        Start(frame, kEsc, time, milliseconds(0));
        frame.bytes += 'P';
        continue;
      } else {
        frame.bytes += c;
        if (Closed(frame.bytes) || frame.bytes.size() >= kFrameMax) EmitFrame(direction, frame);
        continue;
      }
    }
    if (c == kEsc) {
      EmitStray(direction, stray);
      Start(frame, c, time, gap);
      gap = milliseconds(0);
      continue;
    }
    if (direction == TrafficDirection::Out && (c == kEnq || c == kDle)) {
      EmitStray(direction, stray);
      pendingQuery_ = 0;
      EmitSingle(direction, c, time, gap);
      pendingQuery_ = c;
      gap = milliseconds(0);
      continue;
    }
    if (direction == TrafficDirection::In && pendingQuery_ != 0 && stray.bytes.empty()) {
      EmitSingle(direction, c, time, gap);
      pendingQuery_ = 0;
      gap = milliseconds(0);
      continue;
    }
    if (stray.bytes.empty()) {
      stray.time = time;
      stray.gap = gap;
      gap = milliseconds(0);
    }
    stray.bytes += c;
    if (stray.bytes.size() >= kFrameMax) EmitStray(direction, stray);
  }
  // Stray bytes end with the read or write that brought them.
  EmitStray(direction, stray);
}

std::string TrafficRowLine(const TrafficRow& row) {
  std::string line = std::to_string(row.time.count()) + " ms";
  line += row.Gap() ? "\tprzerwa " + std::to_string(row.gap.count()) + " ms" : "\t";
  line += row.direction == TrafficDirection::Out ? "\tWy" : "\tWe";
  line += "\t" + row.display;
  line += "\t" + row.code;
  line += "\t" + row.name;
  switch (row.check) {
    case CheckVerdict::None:
      line += "\t";
      break;
    case CheckVerdict::Right:
      line += "\tsuma dobra";
      break;
    case CheckVerdict::Wrong:
      line += "\tsuma błędna";
      break;
  }
  line += "\t" + row.detail;
  return line;
}

}  // namespace ulvo
