#pragma once
// The receipt header as the header editor holds it (paragraphs with an alignment, characters
// with a size) and its conversion into the printer's header text and the "$f" frame.
// Texts are UTF-8, as the editor holds them.

#include <cstdint>
#include <string>
#include <vector>

#include "link/frame_list.h"

namespace ulvo {

enum class HeaderAlignment { Left, Center, Right, Justify };

// Characters of one size in points: 10 is normal, 20 double width ("pogrubiony").
struct HeaderRun {
  std::string text;
  int size = 10;
  bool operator==(const HeaderRun&) const = default;
};

struct HeaderParagraph {
  HeaderAlignment alignment = HeaderAlignment::Left;
  std::vector<HeaderRun> runs;
  bool operator==(const HeaderParagraph&) const = default;
};

struct HeaderDocument {
  std::vector<HeaderParagraph> paragraphs;
  bool operator==(const HeaderDocument&) const = default;
};

constexpr int kNormalSize = 10;
constexpr int kDoubleWidthSize = 20;
constexpr char kShiftOut = 0x0E;            // SO: double width starts
constexpr char kDeviceControl4 = 0x14;      // DC4: double width ends
constexpr std::size_t kHeaderLineMax = 50;  // one printer line with its codes and LF

// Drops empty runs and joins neighbouring runs of the same size.
void NormalizeHeader(HeaderDocument& document);

// Every character of the header set to `size` (Alta prints no double width).
void SetHeaderSize(HeaderDocument& document, int size);

// Printer columns per line: Alta and Alta Plus 24, Alta Pro 42, Mavito 42 (or 32 when the
// narrow paper is chosen).
int HeaderLineWidth(int printerType, bool narrowMavito);

// The ruler above the editor: "1234567890123..." with `width` digits.
std::string HeaderRuler(int width);

// Method number of the frame: 0, or with the bus printer's T310 discount method 1 for the
// Mavito and 20 for the others.
unsigned HeaderMethodNumber(int printerType, bool busMode, bool methodT310);

// The header as the printer takes it: each paragraph one line ended by LF, preceded by the
// padding spaces of its alignment, double-width runs between SO and DC4 (closed at every
// line end) and counted two columns per character. Windows-1250, letters not yet coded.
struct HeaderPrinterText {
  std::string bytes;
  std::u32string unmappable;  // characters the code page lacks, sent as '?'
  std::string error;          // not empty: a line cannot be sent (names the line)
};
HeaderPrinterText HeaderToPrinterText(const HeaderDocument& document, int width, bool doubleWidth);

struct HeaderSendFields {
  HeaderDocument document;
  int printerType = 2;
  bool busMode = false;
  bool methodT310 = true;     // "Zgodna z bileterką ULVO T310"
  bool narrowMavito = false;  // "32 znaki w linii"
  std::uint8_t letterCoding = 0;
};

// TProgramowanieNaglowka: "P<method>$f<lines>" 0xFF and the check. Alta and Alta Plus get
// every character in normal size.
FrameList BuildHeaderFrame(const HeaderSendFields& fields);

}  // namespace ulvo
