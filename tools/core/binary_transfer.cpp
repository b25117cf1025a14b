#include "tools/core/binary_transfer.h"

#include <chrono>

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
  if (receiveFile_) std::fclose(receiveFile_);
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
  bytesReceived_ = 0;
  // Software flow control would swallow the XON and XOFF bytes of the data.
  if (savedXonXoff_ && ReopenWithXonXoff(0)) {
    std::fclose(receiveFile_);
    receiveFile_ = nullptr;
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

void BinaryTransfer::Tick(bool& sendEnded) {
  sendEnded = false;
  char buffer[kBlock];
  if (sendFile_) {
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, sendFile_);
    if (got == 0 || link_.SendBytes(buffer, got)) {
      EndSend();
      sendEnded = true;
    } else {
      bytesSent_ += static_cast<std::uint32_t>(got);
    }
  }
  if (receiveFile_) {
    const long got = link_.ReadRaw(buffer, sizeof buffer, std::chrono::milliseconds(0));
    if (got > 0) {
      bytesReceived_ += static_cast<std::int32_t>(got);
      // Straight to the disc: whatever came is kept even if the program dies next.
      std::fwrite(buffer, 1, static_cast<std::size_t>(got), receiveFile_);
      std::fflush(receiveFile_);
    }
  }
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
