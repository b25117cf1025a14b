#pragma once
// Header files in RTF: the subset a Windows rich-edit control writes for the header editor
// (paragraph alignment \ql \qc \qr \qj, font size \fsN in half-points, code page 1250 text
// with \'xx and \uN escapes). Groups the header has no use for (font and colour tables,
// \* destinations, pictures ...) and unknown control words are skipped. Malformed input ends
// with a message, never with a crash: the reader keeps its group stack on the heap and
// bounds its depth.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "commands/core/header_text.h"

namespace ulvo {

constexpr std::size_t kRtfMaxDepth = 64;                 // nested groups the reader accepts
constexpr std::size_t kHeaderFileMax = 4 * 1024 * 1024;  // bytes of a header file read

struct RtfReadResult {
  HeaderDocument document;  // normalized (see NormalizeHeader)
  std::string error;        // not empty: the text is no header RTF (Polish, UTF-8)
  bool ioFailed = false;    // the file could not be read at all
  bool Failed() const { return ioFailed || !error.empty(); }
};

// Reads an RTF document into the header model.
RtfReadResult ReadHeaderRtf(std::string_view rtf);

// Writes the header model as RTF (Windows-1250, CR LF line ends). ReadHeaderRtf gives the
// model back unchanged (once normalized).
std::string WriteHeaderRtf(const HeaderDocument& document);

// Reads a header file (at most kHeaderFileMax bytes).
RtfReadResult ReadHeaderFile(const std::filesystem::path& file);

// Writes a header file through a temporary file beside it and a rename, so a failure leaves
// the old file as it was. True when it failed.
bool WriteHeaderFile(const std::filesystem::path& file, const HeaderDocument& document);

// "Nie mogę otworzyc pliku<name>." and "Nie mogę zapisa do pliku<name>."
std::string HeaderCannotOpenMessage(const std::string& name);
std::string HeaderCannotWriteMessage(const std::string& name);
// "Plik <name> już istnieje.Kontynuować? "
std::string HeaderOverwriteQuestion(const std::string& name);

}  // namespace ulvo
