// Writes the Wireshark dissector from its template, with the tables it shares with the
// program filled in from the program's own code: the command codes with their names and check
// rules, the status bits and the printer's error texts. So the dissector names, checks and
// explains a frame as the traffic view does.
//   ulvo_dissector_tables ulvo.lua.in ulvo.lua

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "link/error_texts.h"
#include "link/traffic_decoder.h"

namespace {

std::string Lua(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += c;
    }
  }
  return out + "\"";
}

const char* RuleName(ulvo::TrafficCheckRule rule) {
  switch (rule) {
    case ulvo::TrafficCheckRule::Required:
      return "required";
    case ulvo::TrafficCheckRule::Optional:
      return "optional";
    case ulvo::TrafficCheckRule::MavitoReply:
      return "mavito_reply";
    case ulvo::TrafficCheckRule::None:
      break;
  }
  return "none";
}

std::string Tables() {
  std::string out = "local CODES = {\n";
  for (const ulvo::TrafficCode& code : ulvo::TrafficCodes())
    out += "  [" + Lua(code.code) + "] = { name = " + Lua(code.name) + ", check = \"" +
           RuleName(code.check) + "\" },\n";
  out += "}\n\nlocal ERRORS = {\n";
  for (int number = 0; number < 256; ++number) {
    const std::string_view text = ulvo::ErrorText(number);
    if (!text.empty()) out += "  [" + std::to_string(number) + "] = " + Lua(text) + ",\n";
  }
  out += "}\n\n-- The status bits by name: mask, field name, text.\nlocal ENQ_BITS = {\n";
  const struct {
    char query;
    std::uint8_t mask;
    const char* field;
  } kBits[] = {{0x05, 0x08, "fiscal"},         {0x05, 0x04, "command_ok"},
               {0x05, 0x02, "transaction"},    {0x05, 0x01, "transaction_ok"},
               {0x10, 0x04, "online"},         {0x10, 0x02, "paper_out"},
               {0x10, 0x01, "mechanism_error"}};
  char last = 0x05;
  for (const auto& bit : kBits) {
    if (bit.query != last) {
      out += "}\nlocal DLE_BITS = {\n";
      last = bit.query;
    }
    out += "  { mask = " + std::to_string(bit.mask) + ", field = \"" + bit.field +
           "\", text = " + Lua(ulvo::StatusBitsText(bit.query, bit.mask)) + " },\n";
  }
  return out + "}\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("Użycie: ulvo_dissector_tables ulvo.lua.in ulvo.lua\n", stderr);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string lua = text.str();
  const std::string mark = "--@TABLES@\n";
  const std::size_t at = lua.find(mark);
  if (!in || at == std::string::npos) {
    std::fprintf(stderr, "ulvo_dissector_tables: w %s brak wiersza --@TABLES@\n", argv[1]);
    return 1;
  }
  lua.replace(at, mark.size(), Tables());
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << lua;
  out.close();
  if (!out) {
    std::fprintf(stderr, "ulvo_dissector_tables: nie mogę zapisać %s\n", argv[2]);
    return 1;
  }
  return 0;
}
