#pragma once
// Raw binary file transfer over the printer's line: a file sent byte for byte, and whatever
// arrives recorded into a file, both paced by one timer (512 bytes a tick each way). No
// framing, no check, no handshake. Qt-free; the dialog only shows what it says.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace ulvo {

class Link;

class BinaryTransfer {
 public:
  static constexpr std::size_t kBlock = 512;

  explicit BinaryTransfer(Link& link) : link_(link) {}
  // Closes the files (what was received stays) and leaves the flow control setting as it was.
  ~BinaryTransfer();
  BinaryTransfer(const BinaryTransfer&) = delete;
  BinaryTransfer& operator=(const BinaryTransfer&) = delete;

  // On show: the flow control in force is remembered.
  void Begin();

  // The size of a file chosen for sending; empty (and `error` set) when it cannot be opened.
  std::optional<std::uint32_t> FileSize(const std::string& path, std::string& error);

  // Starts sending `path`. False with `error` when the file cannot be opened.
  bool StartSend(const std::string& path, std::string& error);
  void EndSend();

  // Starts recording into `path` (created or replaced), with software flow control off while
  // it runs. `error` holds a message when the file cannot be created. Returns false when
  // nothing started; `portLost` is set when the port could not be reopened (the dialog closes).
  bool StartReceive(const std::string& path, std::string& error, bool& portLost);
  // Ends the recording and puts the flow control back. True when the port could not be
  // reopened (the dialog closes).
  bool EndReceive();

  // What one tick did.
  struct TickResult {
    bool sendEnded = false;
    // The receive stopped because the file did not take a block (disc full, file gone):
    // `error` says so and what was written stays. `portLost` when the port could not be
    // reopened afterwards (the dialog closes).
    bool receiveEnded = false;
    std::string error;
    bool portLost = false;
  };
  // One tick: a block each way.
  TickResult Tick();

  bool sending() const { return sendFile_ != nullptr; }
  bool receiving() const { return receiveFile_ != nullptr; }
  std::uint32_t sendSize() const { return sendSize_; }
  std::uint32_t bytesSent() const { return bytesSent_; }
  std::int32_t bytesReceived() const { return bytesReceived_; }
  std::uint32_t bytesWritten() const { return bytesWritten_; }  // of this receive, on disc
  // "Wysłaono: %.2f%%"
  std::string ProgressText() const;
  // "Odebrano N bajtów."
  std::string ReceivedText() const;

 private:
  bool ReopenWithXonXoff(std::uint8_t xonXoff);  // true when it failed
  // Empty when the block reached the receive file whole and the file is still where it was;
  // otherwise the message that stops the receive.
  std::string WriteBlock(const char* data, std::size_t count);

  Link& link_;
  std::FILE* sendFile_ = nullptr;
  std::FILE* receiveFile_ = nullptr;
  std::string receivePath_;
  std::uint32_t bytesWritten_ = 0;
  std::uint32_t sendSize_ = 0;
  std::uint32_t bytesSent_ = 0;
  std::int32_t bytesReceived_ = 0;
  std::uint8_t savedXonXoff_ = 0;
};

}  // namespace ulvo
