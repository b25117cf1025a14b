#pragma once
// The control-number checks of an electronic-copy printer: the data of a receipt or of a daily
// report, step by step, then the printed control number; the printer verifies it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/frame_list.h"

namespace ulvo {

constexpr int kReceiptItemRows = 256;
constexpr int kReportLetterRows = 7;

struct ReceiptCheckFields {
  std::string date;  // "dd-mm-rrrr"
  std::string documentNumber;
  struct Item {
    std::string name, letter;
  };
  std::vector<Item> items;  // the grid's rows from the first
  std::string ptuSum, receiptSum, receiptNumber;
  std::string time;  // "gg:mm:ss"
  bool cancelled = false;
  std::string uniqueLetters, uniqueDigits;
  std::string controlNumber;
};

struct ReportCheckFields {
  std::string date;  // "dd-mm-rrrr"
  std::string reportNumber;
  struct Row {
    std::string letter, amount;
  };
  std::vector<Row> taxed, exempt;  // the two grids' rows
  std::string ptuTotal, receipts;
  std::string runningPtu;  // "KWOTY ŁĄCZNE OD RAP. 1 DO N" - "ŁĄCZNA KWOTA PTU"
  std::string uniqueLetters, uniqueDigits;
  std::string controlNumber;
};

inline constexpr const char* kRunningPtuError =
    "Błedna wartość: KWOTY ŁĄCZNE OD RAP. 1 DO N - ŁĄCZNA KWOTA PTU";

FrameList BuildReceiptCheck(const ReceiptCheckFields& f, std::uint8_t letterCoding);
FrameList BuildReportCheck(const ReportCheckFields& f, std::uint8_t letterCoding);

// The running total split into tens of millions and the rest ("12", "3456789.12" for
// "123456789,12"); a '.' counts as the decimal comma. Empty when the text is not a number.
std::optional<std::pair<std::string, std::string>> SplitRunningTotal(const std::string& text);

}  // namespace ulvo
