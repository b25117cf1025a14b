#pragma once
// The control number of a daily report of an electronic-copy printer: a SHA-1 digest over
// fields of the report, each put at the start of a 64-byte block filled with ':'. The program
// prints it under every daily report of a readout; the printer checks one sent to it.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace ulvo {

struct DailyControlData {
  std::string dateText;  // "dd-mm-ccyy", ten characters as printed
  std::uint32_t reportNumber = 0;
  // (letter index 0..6, net sales in grosze): the taxed letters, then the exempt ones, each
  // in letter order.
  std::vector<std::pair<int, std::uint32_t>> sales;
  std::uint32_t ptuSum = 0;  // sum of the report's PTU amounts
  std::uint32_t receipts = 0;
  std::uint64_t runningPtu = 0;  // 48 bits: the running PTU total of the electronic copy
  std::string uniqueNumber;      // 12 bytes ("ABC 12345678"); shorter is zero-padded
};

// The message the digest is taken over (a multiple of 64 bytes).
std::string DailyControlMessage(const DailyControlData& data);

// 40 upper-case hexadecimal digits of SHA-1 over `message`; empty when the digest failed.
std::string Sha1Hex(const std::string& message);

// Both steps at once.
std::string DailyControlNumber(const DailyControlData& data);

}  // namespace ulvo
