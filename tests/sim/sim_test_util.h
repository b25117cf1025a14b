#pragma once
// Shared helpers of the emulator tests: frames built the way the program builds them, and a
// printer driven one exchange at a time.

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "link/frame.h"
#include "sim/printer.h"

namespace ulvo::simtest {

// Formats a frame body into ESC 'P' body "xx" ESC '\' and lets the program's AddChecksum fill
// in the check, exactly as a dialog does.
inline std::string Checked(const std::string& body) {
  std::vector<char> buf(body.size() + 16, '\0');
  std::snprintf(buf.data(), buf.size(), "%cP%sxx%c%c", kEsc, body.c_str(), kEsc, kBackslash);
  if (AddChecksum(buf.data(), buf.size())) return {};
  return std::string(buf.data());
}

// A frame sent without a check place (the program's #n, #s and #v queries).
inline std::string Unchecked(const std::string& body) {
  return "\x1BP" + body + "\x1B\\";
}

// A fixed host time, so clock answers do not depend on when the test runs.
inline std::chrono::system_clock::time_point FixedNow() {
  std::tm t{};
  t.tm_year = 126;  // 2026
  t.tm_mon = 5;     // June
  t.tm_mday = 15;
  t.tm_hour = 10;
  t.tm_min = 30;
  t.tm_sec = 0;
  t.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&t));
}

// Sends bytes and returns everything the printer answered, concatenated.
inline std::string Exchange(Printer& printer, const std::string& bytes,
                            std::chrono::system_clock::time_point now = FixedNow()) {
  std::string out;
  for (const PrinterReply& r : printer.Feed(bytes, now)) out += r.bytes;
  return out;
}

// Sends a checked command frame and returns the printer's answer to the following ENQ.
inline unsigned char Command(Printer& printer, const std::string& body,
                             std::chrono::system_clock::time_point now = FixedNow()) {
  Exchange(printer, Checked(body), now);
  std::string enq = Exchange(printer, "\x05", now);
  return enq.empty() ? 0 : static_cast<unsigned char>(enq[0]);
}

// The number that "#n" reports.
inline int LastError(Printer& printer) {
  std::string reply = Exchange(printer, Unchecked("0#n"));
  int code = -1;
  if (std::sscanf(reply.c_str(), "\x1BP1#E%d", &code) != 1) return -2;
  return code;
}

constexpr unsigned char kCarriedOutBit = 0x04;

}  // namespace ulvo::simtest
