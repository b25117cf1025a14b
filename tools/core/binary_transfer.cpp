#include "tools/core/binary_transfer.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "link/link.h"

namespace ulvo {

namespace {

std::string OpenError(const std::string& path) {
  return "Nie mogę otworzyc pliku" + path + ".";
}

// The size of an open file, at most what 32 bits hold.
std::uint32_t SizeOf(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return 0;
  const long size = std::ftell(file);
  std::fseek(file, 0, SEEK_SET);
  if (size <= 0) return 0;
  return static_cast<unsigned long>(size) > 0xFFFFFFFFul ? 0xFFFFFFFFu
                                                         : static_cast<std::uint32_t>(size);
}

}  // namespace

BinaryTransfer::~BinaryTransfer() {
  if (sendFile_) std::fclose(sendFile_);
  if (receiveFile_) {
    std::fclose(receiveFile_);
    // Only the setting: the port is not reopened on the way out.
    link_.PortSettings.XonXoff = savedXonXoff_;
  }
}

void BinaryTransfer::Begin() {
  savedXonXoff_ = link_.PortSettings.XonXoff;
}

std::optional<std::uint32_t> BinaryTransfer::FileSize(const std::string& path, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    error = OpenError(path);
    return std::nullopt;
  }
  const std::uint32_t size = SizeOf(file);
  std::fclose(file);
  return size;
}

bool BinaryTransfer::StartSend(const std::string& path, std::string& error) {
  EndSend();
  sendFile_ = std::fopen(path.c_str(), "rb");
  if (!sendFile_) {
    error = OpenError(path);
    return false;
  }
  sendSize_ = SizeOf(sendFile_);
  bytesSent_ = 0;
  return true;
}

void BinaryTransfer::EndSend() {
  if (sendFile_) std::fclose(sendFile_);
  sendFile_ = nullptr;
}

bool BinaryTransfer::ReopenWithXonXoff(std::uint8_t xonXoff) {
  link_.ClosePort();
  link_.PortSettings.XonXoff = xonXoff;
  return link_.OpenPort(false);
}

bool BinaryTransfer::StartReceive(const std::string& path, std::string& error, bool& portLost) {
  portLost = false;
  if (receiveFile_) EndReceive();
  receiveFile_ = std::fopen(path.c_str(), "wb");
  if (!receiveFile_) {
    error = "Nie mogę utworzyć pliku" + path + ".";
    return false;
  }
  // Unbuffered, so that a write that fails says so at once and the count on disc is known.
  std::setvbuf(receiveFile_, nullptr, _IONBF, 0);
  receivePath_ = path;
  bytesReceived_ = 0;
  bytesWritten_ = 0;
  // Software flow control would swallow the XON and XOFF bytes of the data.
  if (savedXonXoff_ && ReopenWithXonXoff(0)) {
    std::fclose(receiveFile_);
    receiveFile_ = nullptr;
    // The port stays closed, but the setting (and so the settings file) is as it was.
    link_.PortSettings.XonXoff = savedXonXoff_;
    portLost = true;
    return false;
  }
  return true;
}

bool BinaryTransfer::EndReceive() {
  if (!receiveFile_) return false;
  std::fclose(receiveFile_);
  receiveFile_ = nullptr;
  if (savedXonXoff_) return ReopenWithXonXoff(savedXonXoff_);
  return false;
}

std::string BinaryTransfer::WriteBlock(const char* data, std::size_t count) {
  const std::size_t written = std::fwrite(data, 1, count, receiveFile_);
  bytesWritten_ += static_cast<std::uint32_t>(written);
  if (written != count) {
    return "Nie mogę zapisać danych do pliku " + receivePath_ +
           " (brak miejsca na dysku albo błąd zapisu). Odbieranie przerwane; w pliku zapisano " +
           std::to_string(bytesWritten_) + " bajtów.";
  }
  // A file removed while it is open takes the data nowhere on some systems, without an error.
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::path(receivePath_), error) || error) {
    return "Plik " + receivePath_ +
           " zniknął w trakcie odbierania (usunięty albo nośnik odłączony). Odbieranie "
           "przerwane.";
  }
  return {};
}

BinaryTransfer::TickResult BinaryTransfer::Tick() {
  TickResult result;
  char buffer[kBlock];
  if (sendFile_) {
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, sendFile_);
    if (got == 0 || link_.SendBytes(buffer, got)) {
      EndSend();
      result.sendEnded = true;
    } else {
      bytesSent_ += static_cast<std::uint32_t>(got);
    }
  }
  if (receiveFile_) {
    const long got = link_.ReadRaw(buffer, sizeof buffer, std::chrono::milliseconds(0));
    if (got > 0) {
      bytesReceived_ += static_cast<std::int32_t>(got);
      // Straight to the disc: whatever came is kept even if the program dies next.
      result.error = WriteBlock(buffer, static_cast<std::size_t>(got));
      if (!result.error.empty()) {
        result.receiveEnded = true;
        result.portLost = EndReceive();
      }
    }
  }
  return result;
}

std::string BinaryTransfer::ProgressText() const {
  char text[64];
  const double percent = sendSize_ == 0 ? 0.0 : bytesSent_ * 100.0 / sendSize_;
  std::snprintf(text, sizeof text, "Wysłaono: %.2f%%", percent);
  return text;
}

std::string BinaryTransfer::ReceivedText() const {
  return "Odebrano " + std::to_string(bytesReceived_) + " bajtów.";
}

}  // namespace ulvo
