#include "commands/core/header_text.h"

#include <algorithm>

#include "common/cp1250.h"
#include "link/frame.h"
#include "link/letter_coding.h"

namespace ulvo {

namespace {

// Bytes of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

// A byte that would break the frame apart: control characters, and 0xFF, which ends the
// header in the frame.
bool BreaksFrame(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F || byte == 0xFF;
}

}  // namespace

void NormalizeHeader(HeaderDocument& document) {
  for (HeaderParagraph& paragraph : document.paragraphs) {
    std::vector<HeaderRun> runs;
    for (HeaderRun& run : paragraph.runs) {
      if (run.text.empty()) continue;
      if (!runs.empty() && runs.back().size == run.size) {
        runs.back().text += run.text;
      } else {
        runs.push_back(std::move(run));
      }
    }
    paragraph.runs = std::move(runs);
  }
}

void SetHeaderSize(HeaderDocument& document, int size) {
  for (HeaderParagraph& paragraph : document.paragraphs) {
    for (HeaderRun& run : paragraph.runs) run.size = size;
  }
  NormalizeHeader(document);
}

int HeaderLineWidth(int printerType, bool narrowMavito) {
  if (printerType == 0) return 24;
  if (printerType == 2 && narrowMavito) return 32;
  return 42;
}

std::string HeaderRuler(int width) {
  std::string ruler;
  for (int i = 1; i <= width; ++i) ruler.push_back(static_cast<char>('0' + i % 10));
  return ruler;
}

unsigned HeaderMethodNumber(int printerType, bool busMode, bool methodT310) {
  if (!busMode || !methodT310) return 0;
  return printerType == 2 ? 1 : 20;
}

HeaderPrinterText HeaderToPrinterText(const HeaderDocument& document, int width, bool doubleWidth) {
  HeaderPrinterText out;
  int lineNumber = 0;
  for (const HeaderParagraph& paragraph : document.paragraphs) {
    ++lineNumber;
    std::string line;
    int columns = 0;
    bool wide = false;
    for (const HeaderRun& run : paragraph.runs) {
      const int size = doubleWidth ? run.size : kNormalSize;
      std::size_t pos = 0;
      while (pos < run.text.size()) {
        const std::size_t length = std::min(
            SequenceLength(static_cast<unsigned char>(run.text[pos])), run.text.size() - pos);
        const Cp1250Text one = Utf8ToCp1250(std::string_view(run.text).substr(pos, length));
        pos += length;
        for (char32_t c : one.unmappable) {
          if (out.unmappable.find(c) == std::u32string::npos) out.unmappable.push_back(c);
        }
        if (wide && size == kNormalSize) {
          line.push_back(kDeviceControl4);
          wide = false;
        } else if (!wide && size == kDoubleWidthSize) {
          line.push_back(kShiftOut);
          wide = true;
        }
        for (char byte : one.bytes) {
          if (BreaksFrame(static_cast<unsigned char>(byte))) {
            out.bytes.clear();
            out.error = "Linia nr " + std::to_string(lineNumber) +
                        " nagłówka zawiera znak, którego nie można wysłać do drukarki. "
                        "Nagłówek nie został wysłany.";
            return out;
          }
          line.push_back(byte);
          columns += wide ? 2 : 1;
        }
      }
    }
    // The padding goes before the line's text; division drops the fraction.
    int pad = 0;
    if (paragraph.alignment == HeaderAlignment::Center) {
      pad = (width - columns) / 2;
    } else if (paragraph.alignment == HeaderAlignment::Right) {
      pad = width - columns;
    }
    if (wide) line.push_back(kDeviceControl4);
    line.push_back('\n');
    if (line.size() > kHeaderLineMax) {
      out.bytes.clear();
      out.error = "Linia nr " + std::to_string(lineNumber) + " nagłówka jest za długa (" +
                  std::to_string(line.size()) + " bajtów, linia drukarki mieści najwyżej " +
                  std::to_string(kHeaderLineMax) + "). Nagłówek nie został wysłany.";
      return out;
    }
    if (pad > 0) out.bytes.append(static_cast<std::size_t>(pad), ' ');
    out.bytes += line;
  }
  return out;
}

FrameList BuildHeaderFrame(const HeaderSendFields& fields) {
  FrameList list;
  const int width = HeaderLineWidth(fields.printerType, fields.narrowMavito);
  HeaderPrinterText text = HeaderToPrinterText(fields.document, width, fields.printerType != 0);
  if (!text.error.empty()) {
    list.error = text.error;
    return list;
  }
  list.unmappable = text.unmappable;
  EncodePolishLetters(text.bytes, fields.letterCoding);
  const unsigned method = HeaderMethodNumber(fields.printerType, fields.busMode, fields.methodT310);
  list.Add(true, "%cP%u$f%s%cxx%c%c", kEsc, method, text.bytes.c_str(), '\xFF', kEsc, kBackslash);
  return list;
}

}  // namespace ulvo
