#include "commands/core/header_rtf.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <system_error>
#include <vector>

#include "common/cp1250.h"
#include "common/file_replace.h"

namespace ulvo {

namespace {

constexpr int kDefaultHalfPoints = 24;  // RTF's default font size, 12 points
constexpr std::size_t kMaxWordLength = 32;
constexpr int kMaxParameterDigits = 10;

// Destinations whose text is no part of the header.
constexpr std::string_view kSkippedDestinations[] = {"fonttbl",
                                                     "colortbl",
                                                     "stylesheet",
                                                     "info",
                                                     "pict",
                                                     "object",
                                                     "header",
                                                     "headerl",
                                                     "headerr",
                                                     "headerf",
                                                     "footer",
                                                     "footerl",
                                                     "footerr",
                                                     "footerf",
                                                     "footnote",
                                                     "fldinst",
                                                     "listtable",
                                                     "revtbl",
                                                     "rsidtbl",
                                                     "filetbl",
                                                     "generator",
                                                     "xmlnstbl",
                                                     "themedata",
                                                     "datastore",
                                                     "latentstyles",
                                                     "listoverridetable",
                                                     "pgdsctbl",
                                                     "annotation",
                                                     "bkmkstart",
                                                     "bkmkend",
                                                     "colorschememapping",
                                                     "mmathPr",
                                                     "nonshppict"};

struct GroupState {
  bool skip = false;
  int halfPoints = kDefaultHalfPoints;
  int unicodeSkip = 1;  // \ucN: fallback characters after \uN
  HeaderAlignment alignment = HeaderAlignment::Left;
};

class Reader {
 public:
  explicit Reader(std::string_view rtf) : in_(rtf) {}

  RtfReadResult Run() {
    RtfReadResult result;
    if (in_.substr(0, 5) != "{\\rtf") {
      result.error = "To nie jest plik RTF (brak nagłówka \"{\\rtf\").";
      return result;
    }
    while (pos_ < in_.size() && error_.empty()) {
      const char c = in_[pos_++];
      if (c == '{') {
        OpenGroup();
      } else if (c == '}') {
        if (CloseGroup()) break;
      } else if (c == '\\') {
        ControlSequence();
      } else if (c == '\r' || c == '\n') {
        // line breaks of the file are no text
      } else {
        Text(Cp1250ToUtf8(std::string_view(&in_[pos_ - 1], 1)));
      }
    }
    if (error_.empty() && !finished_) {
      error_ = "Plik RTF jest niekompletny: brak zamykającego nawiasu \"}\".";
    }
    if (!error_.empty()) {
      result.error = error_;
      return result;
    }
    // Text after the last \par is a paragraph of its own.
    if (!current_.runs.empty()) EndParagraph(lastAlignment_);
    NormalizeHeader(document_);
    result.document = std::move(document_);
    return result;
  }

 private:
  GroupState& Top() { return stack_.back(); }

  void OpenGroup() {
    if (finished_) return;
    if (stack_.size() >= kRtfMaxDepth) {
      error_ = "Plik RTF ma zbyt głęboko zagnieżdżone grupy (więcej niż " +
               std::to_string(kRtfMaxDepth) + ").";
      return;
    }
    stack_.push_back(stack_.empty() ? GroupState{} : Top());
    groupStart_ = true;
    pendingSkip_ = 0;
  }

  // True when the document's outermost group has closed.
  bool CloseGroup() {
    if (stack_.empty()) {
      error_ = "Plik RTF ma niesparowany nawias \"}\".";
      return true;
    }
    if (!Top().skip) lastAlignment_ = Top().alignment;
    stack_.pop_back();
    groupStart_ = false;
    pendingSkip_ = 0;
    if (stack_.empty()) {
      finished_ = true;
      return true;
    }
    return false;
  }

  void ControlSequence() {
    if (pos_ >= in_.size()) {
      error_ = "Plik RTF kończy się w środku słowa sterującego.";
      return;
    }
    if (stack_.empty()) {
      error_ = "Plik RTF ma tekst poza grupą.";
      return;
    }
    const bool atGroupStart = groupStart_;
    groupStart_ = false;
    const char c = in_[pos_];
    if (IsLetter(c)) {
      ControlWord(atGroupStart);
      return;
    }
    ++pos_;
    switch (c) {
      case '\'': {
        if (pos_ + 2 > in_.size() || !IsHex(in_[pos_]) || !IsHex(in_[pos_ + 1])) {
          error_ = "Plik RTF ma urwaną sekwencję \\' (brak dwóch cyfr szesnastkowych).";
          return;
        }
        const char byte = static_cast<char>(HexValue(in_[pos_]) * 16 + HexValue(in_[pos_ + 1]));
        pos_ += 2;
        Text(Cp1250ToUtf8(std::string_view(&byte, 1)));
        return;
      }
      case '*':
        if (atGroupStart) Top().skip = true;
        return;
      case '\\':
      case '{':
      case '}':
        Text(std::string(1, c));
        return;
      case '~':
        Text("\u00A0");
        return;
      case '_':
        Text("-");
        return;
      case '\r':
      case '\n':
        Paragraph();  // "\<line end>" is \par
        return;
      default:
        return;  // \- and other control symbols mean nothing to the header
    }
  }

  void ControlWord(bool atGroupStart) {
    std::string word;
    while (pos_ < in_.size() && IsLetter(in_[pos_])) {
      if (word.size() >= kMaxWordLength) {
        error_ = "Plik RTF ma za długie słowo sterujące.";
        return;
      }
      word.push_back(in_[pos_++]);
    }
    bool hasParameter = false;
    bool negative = false;
    std::int64_t parameter = 0;
    if (pos_ < in_.size() && in_[pos_] == '-') {
      negative = true;
      ++pos_;
    }
    int digits = 0;
    while (pos_ < in_.size() && in_[pos_] >= '0' && in_[pos_] <= '9') {
      if (++digits > kMaxParameterDigits) {
        error_ = "Plik RTF ma za długi parametr słowa sterującego \\" + word + ".";
        return;
      }
      parameter = parameter * 10 + (in_[pos_++] - '0');
      hasParameter = true;
    }
    if (negative && !hasParameter) {
      error_ = "Plik RTF ma błędny parametr słowa sterującego \\" + word + ".";
      return;
    }
    if (negative) parameter = -parameter;
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;  // the delimiter belongs to the word
    parameter = std::clamp<std::int64_t>(parameter, INT32_MIN, INT32_MAX);
    const int value = static_cast<int>(parameter);

    if (word == "bin") {
      // Binary data: skipped whole, whatever it holds.
      const std::size_t count = value > 0 ? static_cast<std::size_t>(value) : 0;
      pos_ += std::min(count, in_.size() - pos_);
      return;
    }
    GroupState& top = Top();
    if (atGroupStart && std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations),
                                  word) != std::end(kSkippedDestinations)) {
      top.skip = true;
      return;
    }
    if (word == "u") {
      std::uint32_t unit = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
      UnicodeUnit(unit);
      pendingSkip_ = top.unicodeSkip;
      return;
    }
    if (ConsumeFallback()) return;
    if (word == "uc") {
      top.unicodeSkip = std::clamp(value, 0, 8);
    } else if (word == "fs") {
      top.halfPoints = hasParameter && value > 0 ? value : kDefaultHalfPoints;
    } else if (word == "plain") {
      top.halfPoints = kDefaultHalfPoints;
    } else if (word == "pard") {
      top.alignment = HeaderAlignment::Left;
    } else if (word == "ql") {
      top.alignment = HeaderAlignment::Left;
    } else if (word == "qc") {
      top.alignment = HeaderAlignment::Center;
    } else if (word == "qr") {
      top.alignment = HeaderAlignment::Right;
    } else if (word == "qj") {
      top.alignment = HeaderAlignment::Justify;
    } else if (word == "par" || word == "line") {
      Paragraph();
    } else if (word == "tab") {
      Text("\t");
    } else if (word == "emdash") {
      Text("\u2014");
    } else if (word == "endash") {
      Text("\u2013");
    } else if (word == "lquote") {
      Text("\u2018");
    } else if (word == "rquote") {
      Text("\u2019");
    } else if (word == "ldblquote") {
      Text("\u201C");
    } else if (word == "rdblquote") {
      Text("\u201D");
    } else if (word == "bullet") {
      Text("\u2022");
    }
    // \b, \i, \f, \cf and every other word change nothing the header keeps.
  }

  // After \uN the next N characters are the fallback for readers without Unicode.
  bool ConsumeFallback() {
    if (pendingSkip_ <= 0) return false;
    --pendingSkip_;
    return true;
  }

  void UnicodeUnit(std::uint32_t unit) {
    if (unit >= 0xD800 && unit < 0xDC00) {
      highSurrogate_ = unit;
      return;
    }
    std::uint32_t codePoint = unit;
    if (unit >= 0xDC00 && unit < 0xE000) {
      codePoint = highSurrogate_ != 0
                      ? 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00)
                      : 0xFFFD;
    }
    highSurrogate_ = 0;
    std::string utf8;
    AppendUtf8(utf8, static_cast<char32_t>(codePoint));
    AddText(utf8);
  }

  void Text(const std::string& utf8) {
    if (ConsumeFallback()) return;
    AddText(utf8);
  }

  void AddText(const std::string& utf8) {
    if (Top().skip) return;
    if (highSurrogate_ != 0) {
      highSurrogate_ = 0;
      AddText("\uFFFD");
    }
    // Below one point a size cannot be written back (\fs0 reads as the default).
    const int size = std::max(1, Top().halfPoints / 2);
    if (!current_.runs.empty() && current_.runs.back().size == size) {
      current_.runs.back().text += utf8;
    } else {
      current_.runs.push_back(HeaderRun{utf8, size});
    }
  }

  void Paragraph() {
    if (Top().skip) return;
    EndParagraph(Top().alignment);
  }

  void EndParagraph(HeaderAlignment alignment) {
    current_.alignment = alignment;
    document_.paragraphs.push_back(std::move(current_));
    current_ = HeaderParagraph{};
    lastAlignment_ = alignment;
  }

  static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
  static bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  }
  static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
  }

  std::string_view in_;
  std::size_t pos_ = 0;
  std::vector<GroupState> stack_;
  bool groupStart_ = false;
  bool finished_ = false;
  int pendingSkip_ = 0;
  std::uint32_t highSurrogate_ = 0;
  HeaderAlignment lastAlignment_ = HeaderAlignment::Left;
  HeaderParagraph current_;
  HeaderDocument document_;
  std::string error_;
};

const char* AlignmentWord(HeaderAlignment alignment) {
  switch (alignment) {
    case HeaderAlignment::Center:
      return "\\qc";
    case HeaderAlignment::Right:
      return "\\qr";
    case HeaderAlignment::Justify:
      return "\\qj";
    case HeaderAlignment::Left:
      break;
  }
  return "\\ql";
}

void AppendUnicodeEscape(std::string& out, std::uint32_t unit) {
  out += "\\u" + std::to_string(static_cast<std::int16_t>(static_cast<std::uint16_t>(unit))) + "?";
}

// The text of one run, escaped; `delimit` is true while a control word waits for its
// delimiter before plain text may follow.
void AppendEscaped(std::string& out, std::string_view utf8, bool& delimit) {
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(utf8[pos]);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    length = std::min(length, utf8.size() - pos);
    const std::string_view one = utf8.substr(pos, length);
    pos += length;
    const Cp1250Text bytes = Utf8ToCp1250(one);
    char escape[8];
    if (!bytes.Complete()) {
      for (char32_t c : bytes.unmappable) {
        if (c > 0xFFFF) {
          const char32_t v = c - 0x10000;
          AppendUnicodeEscape(out, 0xD800 + (v >> 10));
          AppendUnicodeEscape(out, 0xDC00 + (v & 0x3FF));
        } else {
          AppendUnicodeEscape(out, c);
        }
      }
      delimit = false;
      continue;
    }
    const unsigned char byte = static_cast<unsigned char>(bytes.bytes[0]);
    if (byte == '\t') {
      out += "\\tab";
      delimit = true;
      continue;
    }
    if (byte == '\\' || byte == '{' || byte == '}') {
      out.push_back('\\');
      out.push_back(static_cast<char>(byte));
      delimit = false;
      continue;
    }
    if (byte < 0x20 || byte >= 0x80) {
      std::snprintf(escape, sizeof escape, "\\'%02x", byte);
      out += escape;
      delimit = false;
      continue;
    }
    if (delimit) out.push_back(' ');
    delimit = false;
    out.push_back(static_cast<char>(byte));
  }
}

}  // namespace

RtfReadResult ReadHeaderRtf(std::string_view rtf) {
  return Reader(rtf).Run();
}

std::string WriteHeaderRtf(const HeaderDocument& document) {
  std::string out =
      "{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1045"
      "{\\fonttbl{\\f0\\fmodern\\fcharset238 Courier New;}}\r\n"
      "\\viewkind4\\uc1";
  int size = -1;
  for (const HeaderParagraph& paragraph : document.paragraphs) {
    out += "\\pard";
    out += AlignmentWord(paragraph.alignment);
    if (size < 0) out += "\\f0";
    bool delimit = true;
    for (const HeaderRun& run : paragraph.runs) {
      if (run.text.empty()) continue;
      if (run.size != size) {
        size = run.size;
        out += "\\fs" + std::to_string(size * 2);
        delimit = true;
      }
      AppendEscaped(out, run.text, delimit);
    }
    out += "\\par\r\n";
  }
  out += "}\r\n";
  return out;
}

RtfReadResult ReadHeaderFile(const std::filesystem::path& file) {
  RtfReadResult result;
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    result.ioFailed = true;
    return result;
  }
  std::string bytes;
  char chunk[4096];
  while (in) {
    in.read(chunk, sizeof chunk);
    bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > kHeaderFileMax) {
      result.error = "Plik jest za duży na nagłówek (więcej niż " +
                     std::to_string(kHeaderFileMax / (1024 * 1024)) + " MB).";
      return result;
    }
  }
  if (in.bad()) {
    result.ioFailed = true;
    return result;
  }
  return ReadHeaderRtf(bytes);
}

bool WriteHeaderFile(const std::filesystem::path& file, const HeaderDocument& document) {
  return ReplaceFileContents(file, WriteHeaderRtf(document));
}

std::string HeaderCannotOpenMessage(const std::string& name) {
  return "Nie mogę otworzyc pliku" + name + ".";
}

std::string HeaderCannotWriteMessage(const std::string& name) {
  return "Nie mogę zapisa do pliku" + name + ".";
}

std::string HeaderOverwriteQuestion(const std::string& name) {
  return "Plik " + name + " już istnieje.Kontynuować? ";
}

}  // namespace ulvo
