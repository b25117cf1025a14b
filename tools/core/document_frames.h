#pragma once
// Frames of the non-fiscal documents: orders (start, line, end, each with optional additional
// lines), the goods-database control report step by step or from a table, and the bus
// printer's ticket database report.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/frame_list.h"

namespace ulvo {

// Additional lines of an order step: used only while "Dodatkowe linie" is checked.
struct OrderExtraLines {
  bool enabled = false;
  std::string text;  // '\n' between lines
};

FrameList BuildOrderStart(std::string_view orderer, const OrderExtraLines& lines,
                          std::uint8_t letterCoding);
FrameList BuildOrderLine(std::string_view article, std::string_view quantity,
                         const OrderExtraLines& lines, std::uint8_t letterCoding);
FrameList BuildOrderEnd(const OrderExtraLines& lines, std::uint8_t letterCoding);

// Single steps of the goods-database report (kind 0..2 for the start).
FrameList BuildDatabaseReportStart(int kind);
FrameList BuildDatabaseReportItem(std::string_view name, std::string_view rate,
                                  std::uint8_t letterCoding);
FrameList BuildDatabaseReportEnd();

constexpr std::size_t kDatabaseTableRows = 19;

// The whole report from a table (rows of name and rate): start, the rows up to the first with
// an empty name or rate, end. A cell over 49 characters refuses it all.
FrameList BuildFullDatabaseCheck(int kind, const std::vector<std::array<std::string, 2>>& rows,
                                 std::uint8_t letterCoding);

// The bus printer's ticket report (kinds 4..6) from rows of ticket name, item name, PTU and
// surcharge PTU; stops at the first row whose ticket name, item name or PTU is empty.
FrameList BuildTicketDatabaseCheck(int kind, const std::vector<std::array<std::string, 4>>& rows,
                                   std::uint8_t letterCoding);

// Told when a report from a table stopped after its start was carried out.
std::string DatabaseReportStoppedMessage(std::size_t itemsSent, std::size_t items);

}  // namespace ulvo
