#include "readout/core/report_file.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

#include "common/cp1250.h"

namespace ulvo {

ReportFile::~ReportFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool ReportFile::Create(const std::filesystem::path& path) {
  if (file_ != nullptr) std::fclose(file_);
  path_ = path;
  failed_ = false;
#ifdef _WIN32
  file_ = _wfopen(path.c_str(), L"wb");  // a path of any letters
#else
  file_ = std::fopen(path.c_str(), "wb");
#endif
  return file_ == nullptr;
}

void ReportFile::Line(std::string_view utf8) {
  if (file_ == nullptr) return;
  const std::string bytes = Utf8ToCp1250(utf8).bytes + "\r\n";
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) failed_ = true;
}

void ReportFile::SeparatorLines() {
  for (int i = 0; i < 5; ++i) Line("\t\t");
}

void ReportFile::EndLine() {
  Line("\t\t\t");
}

bool ReportFile::Close() {
  if (file_ == nullptr) return failed_;
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  return failed_;
}

void ReportFile::Discard() {
  Close();
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove(path_, ignored);
}

std::string SaveReportCopy(const std::filesystem::path& source,
                           const std::filesystem::path& target) {
  std::filesystem::path temp = target;
  temp += ".tmp";
  std::error_code error;
  std::filesystem::copy_file(source, temp, std::filesystem::copy_options::overwrite_existing,
                             error);
  if (!error) std::filesystem::rename(temp, target, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    return "Nie mogę zapisać pliku " + target.filename().string() + ".";
  }
  return {};
}

std::vector<std::string> ReadReportLines(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::size_t stop = end;
    if (stop > start && bytes[stop - 1] == '\r') --stop;
    lines.push_back(Cp1250ToUtf8(std::string_view(bytes).substr(start, stop - start)));
    start = end + 1;
  }
  return lines;
}

}  // namespace ulvo
