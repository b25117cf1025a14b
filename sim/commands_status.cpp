// Queries: last error, cash information, clock, type and version, input buffer, settings,
// and the error-table printout.

#include <cstdio>

#include "sim/command_table.h"

namespace ulvo {

namespace {

std::string Rate(int hundredths) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d.%02d", hundredths / 100, hundredths % 100);
  return buf;
}

int LastError(CommandContext& ctx) {
  ctx.reply = ReplyFrame("1#E" + std::to_string(ctx.state.lastError));
  return kCarriedOut;
}

int CashInfo(CommandContext& ctx) {
  const PrinterState& s = ctx.state;
  bool mavito = s.variant.family == PrinterFamily::kMavito;
  char head[96];
  std::snprintf(head, sizeof head, "%d#X%d;%d;0;%d;0;%d;%d;%d;%d/", mavito ? 2 : 1, s.lastError,
                s.fiscal ? 1 : 0, s.lastTransactionOk ? 1 : 0, s.ramResets, s.lastRecordYear,
                s.lastRecordMonth, s.lastRecordDay);
  std::string body = head;
  for (int rate : s.ptu) body += Rate(rate) + "/";
  body += std::to_string(s.receiptCount) + "/";
  for (std::int64_t total : s.totals) body += FormatGrosze(total) + "/";
  if (!mavito) {
    body += FormatGrosze(s.totalZ) + "/";
    body += "0.00/";  // a field the program reads and does not use
  }
  body += FormatGrosze(s.cash) + "/";
  body += s.uniqueNumber;
  if (mavito) {
    body += FrameCheck(body);
    ctx.replyChecked = true;
  }
  ctx.reply = ReplyFrame(body);
  return kCarriedOut;
}

int ReadClock(CommandContext& ctx) {
  std::tm t = PrinterClock(ctx.state, ctx.now);
  char body[64];
  std::snprintf(body, sizeof body, "1#C%d;%d;%d;%d;%d;0", (t.tm_year + 1900) % 100, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min);
  ctx.reply = ReplyFrame(body);
  return kCarriedOut;
}

int TypeAndVersion(CommandContext& ctx) {
  const std::string& custom = ctx.state.typeVersionText;
  ctx.reply = ReplyFrame("1#R" + (custom.empty() ? DefaultTypeVersion(ctx.state.variant) : custom));
  return kCarriedOut;
}

// The input buffer comes back readable: a raw ESC '\' inside the answer would end it early.
int InputBuffer(CommandContext& ctx) {
  std::string text;
  for (char c : ctx.state.inputHistory) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x20 || c == '\r' || c == '\n') {
      text.push_back(c);
    } else {
      char name[8];
      std::snprintf(name, sizeof name, "<%02XH>", u);
      text += name;
    }
  }
  ctx.reply = ReplyFrame("#I" + text);
  return kCarriedOut;
}

int PrintErrorTable(CommandContext& ctx) {
  if (!ctx.frame.params.empty() || !ctx.frame.args.empty()) return kErrParameterCount;
  Print(ctx.state, "Tablica błędów");
  return kCarriedOut;
}

int Settings(CommandContext& ctx) {
  std::string body = "#U";
  for (std::uint16_t v : ctx.state.options) body += std::to_string(v) + "/";
  ctx.reply = ReplyFrame(body);
  return kCarriedOut;
}

}  // namespace

void AddStatusCommands(CommandTable& table) {
  table.Add("#n", {CheckRule::kOptional, LastError, true});
  table.Add("#s", {CheckRule::kOptional, CashInfo, false});
  table.Add("#c", {CheckRule::kRequired, ReadClock, false});
  table.Add("#v", {CheckRule::kOptional, TypeAndVersion, false});
  table.Add("$0", {CheckRule::kRequired, InputBuffer, false});
  table.Add("$4", {CheckRule::kRequired, PrintErrorTable, false});
  table.Add("$8", {CheckRule::kRequired, Settings, false});
}

}  // namespace ulvo
