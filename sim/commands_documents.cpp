// Non-fiscal documents and reports: orders (#l with four parameters), goods-database
// control reports (#b) and the printed periodic report (#o).

#include <algorithm>
#include <iterator>

#include "sim/command_table.h"
#include "sim/fiscal_memory.h"

namespace ulvo {

namespace {

constexpr std::size_t kMaxDocumentText = 40;
constexpr std::size_t kMaxDocumentLines = 9;  // the count travels as one digit

// `count` CR-ended lines, each short enough for the paper; what is left must be empty.
int ExtraLines(ArgReader& args, long count) {
  for (long i = 0; i < count; ++i) {
    std::optional<std::string_view> line = args.Field('\r');
    if (!line) return kErrParameterCount;
    if (line->size() > kMaxDocumentText) return 15;
  }
  return args.AtEnd() ? kCarriedOut : kErrParameterCount;
}

// Goods-database control: "P0;<kind>#b" starts, "P1[;<kind>]#b<name>CR[<item>CR]<ptu>/" adds an
// item, "P2[;<kind>]#b" ends. Kinds 0..2; the bus printer's ticket report uses 4..6 and names a
// ticket item and, where the ticket has one, a surcharge rate as well.
int DatabaseReport(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (p.empty() || p.size() > 2) return kErrParameterCount;
  if (s.inTransaction) return kErrDuringTransaction;
  long kind = p.size() == 2 ? p[1] : s.databaseReportKind;
  bool ticketKind = kind >= 4 && kind <= 6;
  if (kind > 6 || kind == 3 || (ticketKind && !s.variant.bus)) return kErrParameter;
  switch (p[0]) {
    case 0:
      if (p.size() != 2 || !ctx.frame.args.empty()) return kErrParameterCount;
      if (s.databaseReportOpen) return kErrParameter;  // the open report must end first
      s.databaseReportKind = static_cast<int>(kind);
      s.databaseReportItems = 0;
      s.databaseReportOpen = true;
      return kCarriedOut;
    case 1: {
      if (!s.databaseReportOpen || kind != s.databaseReportKind) return kErrParameter;
      ArgReader args(ctx.frame.args);
      std::optional<std::string_view> name = args.Field('\r');
      std::optional<std::string_view> item;
      if (ticketKind) item = args.Field('\r');
      std::optional<std::string_view> rates = args.Field('/');
      if (!name || (ticketKind && !item) || !rates || !args.AtEnd()) return kErrParameterCount;
      if (name->empty() || name->size() > kMaxDocumentText) return 38;
      if (item && (item->empty() || item->size() > kMaxDocumentText)) return 38;
      // A ticket's letter, then its surcharge's letter, which a ticket without one leaves out.
      if (ticketKind ? rates->empty() || rates->size() > 2 : rates->size() != 1) return 39;
      for (char r : *rates) {
        if (r < 'A' || r > 'G') return 39;
      }
      ++s.databaseReportItems;
      return kCarriedOut;
    }
    case 2:
      if (!ctx.frame.args.empty()) return kErrParameterCount;
      if (!s.databaseReportOpen || kind != s.databaseReportKind) return kErrParameter;
      s.databaseReportOpen = false;
      Print(s, "Raport kontroli bazy towarowej");
      return kCarriedOut;
  }
  return kErrParameter;
}

bool ValidDate(long yy, long mm, long dd) {
  return yy <= 99 && ValidDateTime(2000 + static_cast<int>(yy), static_cast<int>(mm),
                                   static_cast<int>(dd), 0, 0, 0);
}

// The readout: "P<fy>;<fm>;<fd>;<ty>;<tm>;<td>;<flags>;128#oCRCR<baud>/" or
// "P<flags>;0;0;0;0;0;0;128#o<from>/<to>/CRCR<baud>/". Accepted, the printer answers the next
// ENQ with its status as usual and starts sending records with the ENQ after that.
int FiscalMemoryReadout(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (s.variant.family != PrinterFamily::kMavito || s.variant.bus) return kErrParameter;
  FiscalRange range;
  std::string_view args = ctx.frame.args;
  if (args.substr(0, 2) == "\r\r") {
    if (p[6] > 31 || (p[6] & 4)) return kErrParameter;
    range.fromYear = static_cast<int>(p[0]);
    range.fromMonth = static_cast<int>(p[1]);
    range.fromDay = static_cast<int>(p[2]);
    range.toYear = static_cast<int>(p[3]);
    range.toMonth = static_cast<int>(p[4]);
    range.toDay = static_cast<int>(p[5]);
    bool monthly = p[2] == 0 && p[3] == 0 && p[4] == 0 && p[5] == 0;
    range.kind = monthly ? FiscalRange::Kind::kMonth : FiscalRange::Kind::kDates;
    if (monthly ? !ValidDate(p[0], p[1], 1)
                : !ValidDate(p[0], p[1], p[2]) || !ValidDate(p[3], p[4], p[5])) {
      return kErrBadDate;
    }
    args.remove_prefix(2);
  } else {
    if (p[0] > 31 || !(p[0] & 4)) return kErrParameter;
    for (int i = 1; i < 7; ++i) {
      if (p[i] != 0) return kErrParameter;
    }
    ArgReader numbers(args);
    std::optional<std::string_view> fromText = numbers.Field('/');
    std::optional<std::string_view> toText = numbers.Field('/');
    if (!fromText || !toText) return kErrParameterCount;
    std::optional<long> from = ParseCount(*fromText), to = ParseCount(*toText);
    if (!from || !to || *from == 0 || *from > *to) return kErrParameter;
    range.kind = FiscalRange::Kind::kNumbers;
    range.fromNumber = *from;
    range.toNumber = *to;
    args = numbers.Rest();
    if (args.substr(0, 2) != "\r\r") return kErrParameterCount;
    args.remove_prefix(2);
  }
  ArgReader rest(args);
  std::optional<std::string_view> baudText = rest.Field('/');
  if (!baudText || !rest.AtEnd()) return kErrParameterCount;
  std::optional<long> baud = ParseCount(*baudText);
  static constexpr long kRates[] = {110,   300,   600,   1200,  2400,   4800,   9600,
                                    14400, 19200, 38400, 57600, 115200, 128000, 256000};
  if (!baud || std::find(std::begin(kRates), std::end(kRates), *baud) == std::end(kRates)) {
    return kErrParameter;
  }
  std::vector<std::vector<std::string>> passes = BuildFiscalStream(s, range, ctx.now);
  s.stream = std::move(passes.front());
  s.streamLaterPasses.assign(std::make_move_iterator(passes.begin() + 1),
                             std::make_move_iterator(passes.end()));
  s.streamNext = 0;
  s.streamBaud = *baud;
  s.streamPhase = StreamPhase::kArmed;
  return kCarriedOut;
}

// The printed periodic report. "P<fy>;<fm>;<fd>;<ty>;<tm>;<td>;<flags>#o" by month (days and
// the end 0) or by dates; "P<flags>#o<from>/<to>/" by report numbers; the Alta writes numbers
// into the date places. A trailing 128 asks for the fiscal memory over the line instead.
int PeriodicReport(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (s.inTransaction) return kErrDuringTransaction;
  if (p.size() == 8 && p[7] == 128) return FiscalMemoryReadout(ctx);
  if (p.size() == 1) {
    if (p[0] > 31) return kErrParameter;
    ArgReader args(ctx.frame.args);
    std::optional<std::string_view> fromText = args.Field('/');
    std::optional<std::string_view> toText = args.Field('/');
    if (!fromText || !toText || !args.AtEnd()) return kErrParameterCount;
    std::optional<long> from = ParseCount(*fromText), to = ParseCount(*toText);
    if (!from || !to || *from == 0 || *from > *to) return kErrParameter;
    Print(s, "Raport okresowy");
    return kCarriedOut;
  }
  if (p.size() != 7 || !ctx.frame.args.empty()) return kErrParameterCount;
  if (s.variant.family == PrinterFamily::kAlta && p[0] == 0 && p[1] == 0) {
    if (p[2] == 0 || p[2] > p[5] || p[3] != 0 || p[4] != 0 || p[6] < 2 || p[6] > 3) {
      return kErrParameter;
    }
    Print(s, "Raport okresowy");
    return kCarriedOut;
  }
  if (p[6] > 31) return kErrParameter;
  bool monthly = p[2] == 0 && p[3] == 0 && p[4] == 0 && p[5] == 0;
  if (monthly) {
    if (!ValidDate(p[0], p[1], 1)) return kErrBadDate;
  } else {
    if (!ValidDate(p[0], p[1], p[2]) || !ValidDate(p[3], p[4], p[5])) return kErrBadDate;
    if (p[0] * 10000 + p[1] * 100 + p[2] > p[3] * 10000 + p[4] * 100 + p[5]) {
      return kErrParameter;
    }
  }
  Print(s, monthly ? "Raport okresowy miesięczny" : "Raport okresowy");
  return kCarriedOut;
}

}  // namespace

// "P0;1;<part>;<count>#l": an order's start (orderer), line (article, quantity) or end, each
// followed by `count` extra lines. The end may come without any line; a second start before
// the end is refused, as are lines and an end without a start.
int OrderCommand(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (p.size() != 4 || p[0] != 0 || p[1] != 1) return kErrParameter;
  if (s.inTransaction) return kErrDuringTransaction;
  if (p[3] > static_cast<long>(kMaxDocumentLines)) return 15;
  ArgReader args(ctx.frame.args);
  switch (p[2]) {
    case 0: {
      if (s.orderOpen) return kErrParameter;  // the open order must end first
      std::optional<std::string_view> who = args.Field('\r');
      if (!who) return kErrParameterCount;
      if (who->size() > kMaxDocumentText) return kErrName;
      if (int err = ExtraLines(args, p[3]); err != kCarriedOut) return err;
      s.orderOpen = true;
      s.orderLines = 0;
      return kCarriedOut;
    }
    case 1: {
      if (!s.orderOpen) return kErrParameter;
      std::optional<std::string_view> article = args.Field('\r');
      std::optional<std::string_view> quantity = args.Field('\r');
      if (!article || !quantity) return kErrParameterCount;
      if (article->empty() || article->size() > kMaxDocumentText) return kErrName;
      if (quantity->empty() || quantity->size() > kMaxDocumentText) return kErrQuantity;
      if (int err = ExtraLines(args, p[3]); err != kCarriedOut) return err;
      ++s.orderLines;
      return kCarriedOut;
    }
    case 2:
      if (!s.orderOpen) return kErrParameter;
      if (int err = ExtraLines(args, p[3]); err != kCarriedOut) return err;
      s.orderOpen = false;
      Print(s, "Zamówienie");
      return kCarriedOut;
  }
  return kErrParameter;
}

void AddDocumentCommands(CommandTable& table) {
  table.Add("#b", {CheckRule::kRequired, DatabaseReport, false});
  table.Add("#o", {CheckRule::kRequired, PeriodicReport, false});
}

}  // namespace ulvo
