#include "readout/core/report_text.h"

#include <cstdio>

#include "common/cp1250.h"

namespace ulvo {

namespace {

using namespace fiscal;

const std::string kSeparator(kReportWidth, '-');
const std::string kBlockSeparator = std::string(kReportWidth, '-') + "  ";

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

char Letter(int i) {
  return static_cast<char>('A' + i);
}

void CurrencyLines(LineSink& out, const ReportContext& c) {
  if (c.currencyDamaged) {
    out.Line("Waluta: BŁĘDNY REKORD");
  } else if (!c.currencyRead || c.currency.empty()) {
    out.Line("Waluta ewidencyjna: NIEZAPISANA");
  } else {
    out.Line(Format("WALUTA EWIDENCYJNA                     %s", c.currency.c_str()));
    if (!c.currencyDate.Empty()) {
      out.Line(Format("Zapis waluty ewid. dn. %s %s", DateText(c.currencyDate).c_str(),
                      TimeText(c.currencyHour, c.currencyMinute).c_str()));
    }
  }
}

void RangeLines(LineSink& out, const ReportContext& c) {
  if (c.monthly) {
    out.Line(
        Centred(Format("%s %02d-%2d%02d", "Miesiąc:", c.from.month, c.from.century, c.from.year)));
  } else if (!c.byNumbers) {
    out.Line(Centred(
        Format("%s %s %s %s", "Od", DateText(c.from).c_str(), "do", DateText(c.to).c_str())));
  }
  if (c.firstNumber != 0 || c.lastNumber != 0) {
    out.Line(Centred(Format("%s  %s %lu %s %lu", "Nr rap.", "Od",
                            static_cast<unsigned long>(c.firstNumber), "do",
                            static_cast<unsigned long>(c.lastNumber))));
  }
}

void ClosingLines(LineSink& out, const ReportContext& c) {
  if (!FiscalReport(c)) out.Line("              # NIEFISKALNY #  ");
  out.Line(kSeparator);
  out.Line(RightAligned("#" + c.uniqueAgain + " " + c.typeVersion,
                        Format("%2.2d:%2.2d", c.referenceHour, c.referenceMinute)));
  if (FiscalReport(c)) out.Line(Centred(c.uniqueNumber));
}

}  // namespace

void SumPair::Add(std::uint64_t grosze) {
  const std::uint64_t sum = static_cast<std::uint64_t>(low) + grosze % kLowPartLimit;
  high += static_cast<std::uint32_t>(grosze / kLowPartLimit + sum / kLowPartLimit);
  low = static_cast<std::uint32_t>(sum % kLowPartLimit);
}

std::uint64_t SumPair::Grosze() const {
  return static_cast<std::uint64_t>(high) * kLowPartLimit + low;
}

std::string AmountText(std::uint64_t grosze) {
  return Format("%8lu%c%2.2d", static_cast<unsigned long>(grosze / 100), ',',
                static_cast<int>(grosze % 100));
}

std::string AmountText(const SumPair& sum) {
  // Złote from the pair: the high part counts 10 000 000 złote.
  const unsigned long zloty = static_cast<unsigned long>(sum.high) * 10'000'000UL + sum.low / 100;
  return Format("%8lu%c%2.2d", zloty, ',', static_cast<int>(sum.low % 100));
}

std::string WideAmountText(const SumPair& sum) {
  const unsigned long zloty = static_cast<unsigned long>(sum.high) * 10'000'000UL + sum.low / 100;
  return Format("%11lu%c%2.2d", zloty, ',', static_cast<int>(sum.low % 100));
}

std::string RateText(std::uint32_t hundredths) {
  return Format("%lu%c%2.2d", static_cast<unsigned long>(hundredths / 100), ',',
                static_cast<int>(hundredths % 100));
}

std::string DateText(const PackedDate& d) {
  return Format("%02d-%02d-%2d%02d", d.day, d.month, d.century, d.year);
}

std::string TimeText(int hour, int minute) {
  return Format("%2d:%2.2d", hour, minute);
}

std::size_t TextWidth(std::string_view utf8) {
  std::size_t n = 0;
  for (char ch : utf8) {
    if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++n;
  }
  return n;
}

std::string Centred(std::string_view utf8) {
  const std::size_t width = TextWidth(utf8);
  const std::size_t pad = width < kReportWidth ? (kReportWidth - width) / 2 : 0;
  return std::string(pad, ' ') + std::string(utf8);
}

std::string RightAligned(std::string_view left, std::string_view right) {
  const std::size_t used = TextWidth(left) + TextWidth(right);
  const std::size_t pad = used < kReportWidth ? kReportWidth - used : 1;
  return std::string(left) + std::string(pad, ' ') + std::string(right);
}

std::vector<std::string> HeaderTextLines(std::string_view body) {
  std::vector<std::string> lines;
  std::string line;
  bool wide = false;
  bool any = false;
  // The body's last byte is the check.
  const std::size_t end = body.empty() ? 0 : body.size() - 1;
  for (std::size_t i = 0; i < end; ++i) {
    const char ch = body[i];
    if (ch == '\0') break;
    any = true;
    if (ch == '\n') {
      lines.push_back(Cp1250ToUtf8(line));
      line.clear();
      wide = false;
      continue;
    }
    if (ch == '\x0E') {
      wide = true;
      continue;
    }
    if (ch == '\x14') {
      wide = false;
      continue;
    }
    if (ch == '\r') continue;
    line += ch;
    if (wide) line += ' ';
  }
  if (!line.empty() || (any && lines.empty())) lines.push_back(Cp1250ToUtf8(line));
  return lines;
}

std::string_view RecordBytes(std::string_view body, std::size_t at, std::size_t size) {
  if (at >= body.size()) return {};
  std::string_view field = body.substr(at, size);
  return field.substr(0, field.find('\0'));
}

std::string RecordText(std::string_view body, std::size_t at, std::size_t size) {
  std::string field(RecordBytes(body, at, size));
  // The report stays text: a control byte from the record would break its lines.
  for (char& ch : field) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte < 0x20 || byte == 0x7F) ch = '?';
  }
  return Cp1250ToUtf8(field);
}

bool HasSales(std::string_view daily) {
  for (int i = 0; i < kLetters; ++i) {
    if (Get32(daily, kDailyNet + 4 * i) != 0) return true;
  }
  return false;
}

bool FiscalReport(const ReportContext& c) {
  return c.fullReport && c.fiscal;
}

void WriteReportHeader(LineSink& out, const ReportContext& c) {
  for (const std::string& line : HeaderTextLines(c.headerBody)) out.Line(line);
  out.Line(c.nipRead ? Centred("NIP: " + c.nip) : std::string("            NIP:"));
  out.Line(Format("%s                      %10lu", c.todayText.c_str(), 1UL));
  out.Line(kSeparator);
  if (!FiscalReport(c)) out.Line("              # NIEFISKALNY #  ");
  out.Line("");
  std::string title = c.fullReport ? "" : "SKRÓCONY ";
  title += "RAPORT";
  if (FiscalReport(c)) title += " FISKALNY";
  title += " OKRESOWY";
  if (c.monthly) title += " MIESIĘCZNY";
  out.Line(Centred(title));
  if (c.emergency) out.Line(Centred("Wydruk awaryjny"));
  if (c.readOnly) {
    out.Line("");
    out.Line("# Pamięć fiskalna przeszła w stan");
    out.Line(Format("%s  %s  %s", "# tylko do odczytu", DateText(c.referenceDate).c_str(),
                    TimeText(c.referenceHour, c.referenceMinute).c_str()));
    out.Line("");
  }
  RangeLines(out, c);
  out.Line("");
}

void WriteRateBlock(LineSink& out, const ReportContext& c, const PackedDate& date) {
  out.Line("Zapis PTU dn.  " + DateText(date));
  for (int i = 0; i < kLetters; ++i) {
    switch (c.kind[i]) {
      case kRateTaxed:
        out.Line(Format("%s %c  %5s%%", "PTU", Letter(i), RateText(c.rate[i]).c_str()));
        break;
      case kRateExempt:
        out.Line(Format("    %c  %s", Letter(i), "SP.ZW.PTU"));
        break;
      default:
        out.Line(Format("    %c    -", Letter(i)));
        break;
    }
  }
}

void WriteDamagedBlock(LineSink& out, bool rates, unsigned number) {
  out.Line(kBlockSeparator);
  out.Line("");
  out.Line(Centred(rates ? "Zapis PTU dn. " : "RAPORT DOBOWY"));
  out.Line(Centred(Format("%s Nr %u", "BŁĘDNY REKORD", number)));
  out.Line("");
}

void WriteDailyBlock(LineSink& out, const ReportContext& c, std::string_view b,
                     const std::string& controlNumber) {
  // Counts its own lines for "ILOŚĆ POZYCJI".
  struct Counter : LineSink {
    explicit Counter(LineSink& to) : to(to) {}
    void Line(std::string_view utf8) override {
      ++lines;
      to.Line(utf8);
    }
    LineSink& to;
    unsigned lines = 0;
  } o(out);

  o.Line(kBlockSeparator);
  o.Line(Format("%s                   %s %5u", DateText(GetDate(b, kDailyDate)).c_str(), "Nr rap.",
                static_cast<unsigned>(Get16(b, kDailyNumber))));
  o.Line(kSeparator);
  // A day without sales in any letter has no sales or PTU lines, only the totals.
  const bool sales = HasSales(b);
  for (int wanted : {kRateTaxed, kRateExempt}) {
    for (int i = 0; sales && i < kLetters; ++i) {
      if (c.kind[i] != wanted) continue;
      o.Line(Format("%s%c            %s",
                    wanted == kRateTaxed ? "SPRZED. OPOD. PTU " : "SPRZED. ZWOL. PTU ", Letter(i),
                    AmountText(Get32(b, kDailyNet + 4 * i)).c_str()));
    }
  }
  std::uint64_t ptuSum = 0;
  for (int i = 0; i < kLetters; ++i) {
    ptuSum += Get32(b, kDailyPtu + 4 * i);
    if (!sales || c.kind[i] != kRateTaxed || c.rate[i] == 0) continue;
    o.Line(Format("%s%c                    %s", "KWOTA PTU ", Letter(i),
                  AmountText(Get32(b, kDailyPtu + 4 * i)).c_str()));
  }
  o.Line(RightAligned("ŁĄCZNA KWOTA PTU", AmountText(ptuSum)));
  o.Line(RightAligned("ŁĄCZNA NALEŻNOŚĆ", AmountText(Get32(b, kDailyDue))));
  const int resetKind = static_cast<int>(Get8(b, kDailyRamResetKind));
  if (resetKind != 0) {
    o.Line(kSeparator);
    o.Line(RightAligned(Format("%s %u", "ZEROWANIE RAM  nr", Get8(b, kDailyRamResetNumber)),
                        DateText(GetDate(b, kDailyDate)) + " " +
                            TimeText(static_cast<int>(Get8(b, kDailyTime + 1)),
                                     static_cast<int>(Get8(b, kDailyTime)))));
    if (resetKind == kRamResetSales) o.Line(" - Rejestry sprzedaży");
    if (resetKind == kRamResetRates) o.Line(" - Inform. o przyporządkowaniu stawek PTU");
    if (resetKind == kRamResetCache && c.ecopy) o.Line(" - Pamięć podręczna");
    o.Line(kSeparator);
  }
  const unsigned cancelled = Get16(b, kDailyCancelled);
  if (cancelled != 0) {
    const std::uint32_t amount = Get32(b, kDailyCancelledAmount);
    o.Line(RightAligned(
        Format("%s %u", "PARAGONÓW ANULOWANYCH", cancelled),
        amount == kCancelledOverflow ? std::string("PRZEPEŁNIENIE") : AmountText(amount)));
  }
  o.Line(Format("%s                      %5u", "ILOŚĆ PARAGONÓW",
                static_cast<unsigned>(Get16(b, kDailyReceipts))));
  if (c.ecopy) {
    o.Line(kSeparator);
    o.Line(Format("KWOTY ŁĄCZNE OD RAP. NR %4u DO %4u",
                  static_cast<unsigned>(Get16(b, kDailyRunningFirst)),
                  static_cast<unsigned>(Get16(b, kDailyRunningLast))));
    for (int i = 0; i < kLetters; ++i) {
      if (c.kind[i] != kRateTaxed) continue;
      SumPair running;
      running.Add(Get48(b, kDailyRunningPtu + 6 * i));
      o.Line(RightAligned(Format("KWOTA PTU %c", Letter(i)), WideAmountText(running)));
    }
    SumPair ptuRunning, dueRunning;
    ptuRunning.Add(Get48(b, kDailyRunningPtuTotal));
    dueRunning.Add(Get48(b, kDailyRunningDue));
    o.Line(RightAligned("ŁĄCZNA KWOTA PTU", WideAmountText(ptuRunning)));
    o.Line(RightAligned("ŁĄCZNA NALEŻNOŚĆ", WideAmountText(dueRunning)));
    o.Line(kSeparator);
  }
  o.Line(Format("%s                        %5u", "ILOŚĆ POZYCJI", o.lines + 1));
  CurrencyLines(out, c);
  if (c.ecopy) {
    out.Line(kSeparator);
    out.Line(Centred("Numer kontrolny:"));
    out.Line(Centred("#" + controlNumber + "#"));
  }
}

void WriteMediumLabel(LineSink& out, std::string_view label, std::string_view media) {
  out.Line(kSeparator);
  out.Line(Centred("ETYKIETA NOŚNIKA KOPII ELEKTRONICZNEJ"));
  out.Line(Format("Numer nośnika: %03d", static_cast<int>(Get16(label, kLabelMediumNumber))));
  out.Line(Format("Zawiera dane z kasy: %s",
                  RecordText(media, kMediumUnique, kUniqueNumberSize).c_str()));
  out.Line(Format("Od dnia %s do %s", DateText(GetDate(media, kMediumFirstDate)).c_str(),
                  DateText(GetDate(media, kMediumLastDate)).c_str()));
  out.Line(Format("Od rap. nr %04u do %04u", Get32(media, kMediumFirstNumber),
                  Get32(media, kMediumLastNumber)));
}

void WriteSummary(LineSink& out, const ReportContext& c, std::uint32_t reports) {
  if (reports == 0) {
    out.Line("");
    out.Line(Centred("BRAK ZAPISÓW"));
    out.Line("");
    ClosingLines(out, c);
    return;
  }
  out.Line(kBlockSeparator);
  out.Line("");
  out.Line(Centred("ŁĄCZNY RAPORT OKRESOWY"));
  if (c.emergency) out.Line(Centred("Wydruk awaryjny"));
  out.Line("");
  RangeLines(out, c);
  out.Line(kSeparator);
  for (int i = 0; i < kLetters; ++i) {
    if (c.taxedNet[i].Grosze() == 0) continue;
    out.Line(Format("%s%c         %s", "SPRZED. OPOD. PTU ", Letter(i),
                    WideAmountText(c.taxedNet[i]).c_str()));
  }
  for (int i = 0; i < kLetters; ++i) {
    if (c.exemptNet[i].Grosze() == 0) continue;
    out.Line(Format("%s%c         %s", "SPRZED. ZWOL. PTU ", Letter(i),
                    WideAmountText(c.exemptNet[i]).c_str()));
  }
  for (int i = 0; i < kLetters; ++i) {
    if (!c.everTaxed[i]) continue;
    out.Line(Format("%s%c%c                %s", "KWOTA PTU ", Letter(i),
                    c.rateChanged[i] ? '+' : ' ', WideAmountText(c.ptu[i]).c_str()));
  }
  out.Line(Format("%s            %s", "LACZNA KWOTA PTU", WideAmountText(c.ptuTotal).c_str()));
  out.Line(Format("%s            %s", "LACZNA NALEZNOSC", WideAmountText(c.due).c_str()));
  if (c.ramResets != 0) {
    out.Line(RightAligned("ZEROWANIE RAM", Format("%lu", static_cast<unsigned long>(c.ramResets))));
  }
  if (c.cancelled != 0) {
    const std::string amount =
        c.cancelledOverflow ? std::string(" PRZEPEŁNIENIE") : WideAmountText(c.cancelledAmount);
    const std::string count = Format("%5lu", static_cast<unsigned long>(c.cancelled));
    const std::string line =
        Format("%s %s %s", "PARAGONOW ANULOWANYCH", count.c_str(), amount.c_str());
    if (TextWidth(line) <= kReportWidth) {
      out.Line(line);
    } else {
      out.Line(Format("%s %s", "PARAGONOW ANULOWANYCH", count.c_str()));
      out.Line(RightAligned("", amount));
    }
  }
  out.Line(Format("%s                      %5lu", "ILOŚĆ PARAGONÓW",
                  static_cast<unsigned long>(c.receipts)));
  CurrencyLines(out, c);
  if (c.ramResets > 9) {
    out.Line(kSeparator);
    out.Line(Centred("PRZEKROCZONO LIMIT ZEROWAŃ RAM"));
  }
  ClosingLines(out, c);
}

DailyControlData ControlDataOf(const ReportContext& c, std::string_view b) {
  DailyControlData d;
  d.dateText = DateText(GetDate(b, kDailyDate));
  d.reportNumber = Get16(b, kDailyNumber);
  for (int wanted : {kRateTaxed, kRateExempt}) {
    for (int i = 0; i < kLetters; ++i) {
      if (c.kind[i] == wanted) d.sales.emplace_back(i, Get32(b, kDailyNet + 4 * i));
    }
  }
  for (int i = 0; i < kLetters; ++i) d.ptuSum += Get32(b, kDailyPtu + 4 * i);
  d.receipts = Get16(b, kDailyReceipts);
  d.runningPtu = Get48(b, kDailyRunningPtuTotal);
  d.uniqueNumber = c.uniqueNumberBytes;
  return d;
}

}  // namespace ulvo
