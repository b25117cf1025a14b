#include "tools/core/document_frames.h"

#include "common/text_helpers.h"
#include "link/frame.h"
#include "tools/core/checked_field.h"
#include "tools/core/line_tables.h"

namespace ulvo {

namespace {

// A typed field of a single-step dialog: one that would not fit a frame field whole is
// refused with its caption named, never cut.
std::string Field(FrameList& list, std::string_view text, const char* caption, bool letterCoded,
                  std::uint8_t letterCoding) {
  return CheckedField(list, text, caption, kFieldTextSize - 1, letterCoded, letterCoding);
}

// The additional lines and the character that carries their count ("0" + n): one digit, so
// at most nine lines.
struct CountedLines {
  char countChar = '0';
  std::string text;
};

CountedLines OrderLines(FrameList& list, const OrderExtraLines& lines, std::uint8_t letterCoding) {
  CountedLines result;
  if (!lines.enabled) return result;
  const ExtraLinesText joined = JoinExtraLines(list, lines.text, letterCoding);
  if (joined.count > 9) {
    if (!list.Refused()) {
      list.frames.clear();
      list.error = "Zamówienie może mieć najwyżej 9 dodatkowych linii tekstu (wpisano " +
                   std::to_string(joined.count) + "). Nic nie zostało wysłane.";
    }
    return result;
  }
  result.countChar = static_cast<char>('0' + joined.count);
  result.text = joined.text;
  return result;
}

}  // namespace

FrameList BuildOrderStart(std::string_view orderer, const OrderExtraLines& lines,
                          std::uint8_t letterCoding) {
  FrameList list;
  const std::string who = Field(list, orderer, "Zamawiający", true, letterCoding);
  const CountedLines extra = OrderLines(list, lines, letterCoding);
  list.Add(true, "%cP0;1;0;%c#l%s\r%scc%c%c", kEsc, extra.countChar, who.c_str(),
           extra.text.c_str(), kEsc, kBackslash);
  return list;
}

FrameList BuildOrderLine(std::string_view article, std::string_view quantity,
                         const OrderExtraLines& lines, std::uint8_t letterCoding) {
  FrameList list;
  const std::string name = Field(list, article, "Nazwa artykułu", true, letterCoding);
  const std::string amount = Field(list, quantity, "Ilość", true, letterCoding);
  const CountedLines extra = OrderLines(list, lines, letterCoding);
  list.Add(true, "%cP0;1;1;%c#l%s\r%s\r%scc%c%c", kEsc, extra.countChar, name.c_str(),
           amount.c_str(), extra.text.c_str(), kEsc, kBackslash);
  return list;
}

FrameList BuildOrderEnd(const OrderExtraLines& lines, std::uint8_t letterCoding) {
  FrameList list;
  const CountedLines extra = OrderLines(list, lines, letterCoding);
  list.Add(true, "%cP0;1;2;%c#l%scc%c%c", kEsc, extra.countChar, extra.text.c_str(), kEsc,
           kBackslash);
  return list;
}

FrameList BuildDatabaseReportStart(int kind) {
  FrameList list;
  list.Add(true, "%cP0;%c#bxx%c%c", kEsc, static_cast<char>('0' + kind), kEsc, kBackslash);
  return list;
}

FrameList BuildDatabaseReportItem(std::string_view name, std::string_view rate,
                                  std::uint8_t letterCoding) {
  FrameList list;
  const std::string goods = Field(list, name, "Nazwa towaru", true, letterCoding);
  const std::string letter = Field(list, rate, "Stawka PTU", false, letterCoding);
  list.Add(true, "%cP1#b%s\r%s/xx%c%c", kEsc, goods.c_str(), letter.c_str(), kEsc, kBackslash);
  return list;
}

FrameList BuildDatabaseReportEnd() {
  FrameList list;
  list.Add(true, "%cP2#bxx%c%c", kEsc, kEsc, kBackslash);
  return list;
}

FrameList BuildFullDatabaseCheck(int kind, const std::vector<std::array<std::string, 2>>& rows,
                                 std::uint8_t letterCoding) {
  FrameList list;
  const unsigned k = static_cast<unsigned>(kind);
  list.Add(true, "%cP0;%u#bxx%c%c", kEsc, k, kEsc, kBackslash);
  for (std::size_t r = 0; r < rows.size() && r < kDatabaseTableRows; ++r) {
    if (rows[r][0].empty() || rows[r][1].empty()) break;
    const std::string name =
        TableCell(list, rows[r][0], r + 1, "Nazwa towaru/usługi", true, letterCoding);
    const std::string rate = TableCell(list, rows[r][1], r + 1, "Stawka PTU", false, letterCoding);
    list.Add(true, "%cP1;%u#b%s\r%s/xx%c%c", kEsc, k, name.c_str(), rate.c_str(), kEsc, kBackslash);
  }
  list.Add(true, "%cP2;%u#bxx%c%c", kEsc, k, kEsc, kBackslash);
  return list;
}

FrameList BuildTicketDatabaseCheck(int kind, const std::vector<std::array<std::string, 4>>& rows,
                                   std::uint8_t letterCoding) {
  static const char* const kColumns[] = {"Nazwa biletu", "Nazwa pozycji biletu", "PTU",
                                         "PTU Dopłata"};
  FrameList list;
  const unsigned k = static_cast<unsigned>(kind);
  list.Add(true, "%cP0;%u#bxx%c%c", kEsc, k, kEsc, kBackslash);
  for (std::size_t r = 0; r < rows.size() && r < kDatabaseTableRows; ++r) {
    const auto& row = rows[r];
    if (row[0].empty() || row[1].empty() || row[2].empty()) break;
    std::string cells[4];
    for (std::size_t c = 0; c < 4; ++c) {
      cells[c] = TableCell(list, row[c], r + 1, kColumns[c], c < 2, letterCoding);
    }
    list.Add(true, "%cP1;%u#b%s\r%s\r%s%s/xx%c%c", kEsc, k, cells[0].c_str(), cells[1].c_str(),
             cells[2].c_str(), cells[3].c_str(), kEsc, kBackslash);
  }
  list.Add(true, "%cP2;%u#bxx%c%c", kEsc, k, kEsc, kBackslash);
  return list;
}

std::string DatabaseReportStoppedMessage(std::size_t itemsSent, std::size_t items) {
  return "Raport kontroli bazy towarowej nie został wysłany w całości (wysłane pozycje: " +
         std::to_string(itemsSent) + " z " + std::to_string(items) +
         "). Raport może pozostać otwarty w drukarce; zakończ go rozkazem \"Zakończenie "
         "raportu\".";
}

}  // namespace ulvo
