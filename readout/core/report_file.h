#pragma once
// The report file of a readout: "OdczytFiskPrTemp.txt" in the program's folder, written line
// by line as the records come (never held whole), Windows-1250, CR LF.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "readout/core/report_text.h"

namespace ulvo {

inline constexpr const char* kReportTempName = "OdczytFiskPrTemp.txt";

class ReportFile final : public LineSink {
 public:
  ReportFile() = default;
  ~ReportFile() override;
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;

  // Creates (truncates) the file; true when it failed.
  bool Create(const std::filesystem::path& path);
  bool IsOpen() const { return file_ != nullptr; }
  // A report line (UTF-8), written in Windows-1250 with CR LF.
  void Line(std::string_view utf8) override;
  // The control lines: two TABs between passes (five of them), three TABs at the end.
  void SeparatorLines();
  void EndLine();
  // Closes the file; true when anything failed to reach it.
  bool Close();
  // Closes and removes the file.
  void Discard();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::FILE* file_ = nullptr;
  std::filesystem::path path_;
  bool failed_ = false;
};

// Copies the report to `target` through a temporary file beside it and a rename, so that a
// failure never leaves a half copy under the name. Empty on success, else the message.
std::string SaveReportCopy(const std::filesystem::path& source,
                           const std::filesystem::path& target);

// The lines of a report file (CR LF or LF ended) as UTF-8.
std::vector<std::string> ReadReportLines(const std::filesystem::path& path);

}  // namespace ulvo
