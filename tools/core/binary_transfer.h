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
  ~BinaryTransfer();  // closes the files (what was received stays)
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

  // One tick: a block each way. `sendEnded` is set when the send ended in this tick.
  void Tick(bool& sendEnded);

  bool sending() const { return sendFile_ != nullptr; }
  bool receiving() const { return receiveFile_ != nullptr; }
  std::uint32_t sendSize() const { return sendSize_; }
  std::uint32_t bytesSent() const { return bytesSent_; }
  std::int32_t bytesReceived() const { return bytesReceived_; }
  // "Wysłaono: %.2f%%"
  std::string ProgressText() const;
  // "Odebrano N bajtów."
  std::string ReceivedText() const;

 private:
  bool ReopenWithXonXoff(std::uint8_t xonXoff);  // true when it failed

  Link& link_;
  std::FILE* sendFile_ = nullptr;
  std::FILE* receiveFile_ = nullptr;
  std::uint32_t sendSize_ = 0;
  std::uint32_t bytesSent_ = 0;
  std::int32_t bytesReceived_ = 0;
  std::uint8_t savedXonXoff_ = 0;
};

}  // namespace ulvo
