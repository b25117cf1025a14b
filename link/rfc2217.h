#pragma once
// The client side of Telnet's COM-PORT-OPTION (RFC 2217) as a serial device server needs it:
// the option negotiation, the remote port's line settings and purges, and IAC escaping both
// ways. No sockets here: bytes from the server go in, line data and the bytes to send come
// out, so the same code serves every platform and the fuzzer.

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/settings.h"

namespace ulvo {

class Rfc2217Client {
 public:
  // What opens the session: binary both ways, no go-ahead, and the COM port option.
  std::string Start();
  // The suboptions that set the remote port to `settings` (baud rate, character size,
  // parity, stop bits, flow control, DTR and RTS off unless RTS does the handshake).
  std::string Configure(const LineSettings& settings) const;
  // Drops what the server's port holds in its input buffer.
  std::string PurgeInput() const;
  // Line data for the wire: every 0xFF doubled.
  static std::string Escape(std::string_view data);

  // Takes bytes from the server; appends the line data in them to `data`. Negotiation the
  // server asked for is answered through TakeReplies(). Bounded: a subnegotiation longer
  // than kMaxSubnegotiation is dropped whole.
  void Receive(std::string_view bytes, std::string& data);
  // Bytes to send back (answers to negotiation), emptied by the call.
  std::string TakeReplies();

  // The server agreed to the COM port option.
  bool ComPortAccepted() const { return comPortAccepted_; }
  // The server refused the COM port option: it is no RFC 2217 server.
  bool ComPortRefused() const { return comPortRefused_; }
  // The server told us to hold our output (FLOWCONTROL-SUSPEND), until it resumes.
  bool OutputSuspended() const { return suspended_; }
  // The baud rate the server last confirmed; 0 before it did.
  std::uint32_t ConfirmedBaudRate() const { return confirmedBaud_; }
  // Requests of options we do not offer, refused so far (each refused once).
  unsigned RefusedRequests() const { return refused_; }

  static constexpr std::size_t kMaxSubnegotiation = 64;

 private:
  enum class State { kData, kIac, kVerb, kSub, kSubIac, kCr };
  void Negotiate(unsigned char verb, unsigned char option);
  void Subnegotiation();

  State state_ = State::kData;
  unsigned char verb_ = 0;
  std::string sub_;
  bool subOverflow_ = false;
  std::string replies_;
  // Options each side has agreed to, by option number.
  std::bitset<256> weWill_, theyWill_;
  // Options already answered with a refusal, so a server that repeats itself gets no loop.
  std::bitset<256> refusedDo_, refusedWill_;
  bool comPortAccepted_ = false, comPortRefused_ = false;
  bool suspended_ = false;
  std::uint32_t confirmedBaud_ = 0;
  unsigned refused_ = 0;
};

}  // namespace ulvo
