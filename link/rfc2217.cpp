#include "link/rfc2217.h"

namespace ulvo {

namespace {

constexpr unsigned char kIac = 255, kDont = 254, kDo = 253, kWont = 252, kWill = 251, kSb = 250,
                        kSe = 240;
constexpr unsigned char kBinary = 0, kSuppressGoAhead = 3, kComPort = 44;

// COM-PORT-OPTION commands (the server answers with the same number plus 100).
constexpr unsigned char kSetBaudRate = 1, kSetDataSize = 2, kSetParity = 3, kSetStopSize = 4,
                        kSetControl = 5, kFlowSuspend = 8, kFlowResume = 9, kPurgeData = 12;
constexpr unsigned char kServerOffset = 100;
// SET-CONTROL values.
constexpr unsigned char kNoFlow = 1, kXonXoffFlow = 2, kHardwareFlow = 3, kDtrOff = 9, kRtsOff = 12;
constexpr unsigned char kPurgeReceive = 1;

bool Offered(unsigned char option) {
  return option == kBinary || option == kSuppressGoAhead || option == kComPort;
}

std::string Command(unsigned char verb, unsigned char option) {
  return std::string{static_cast<char>(kIac), static_cast<char>(verb), static_cast<char>(option)};
}

// IAC SB COM-PORT-OPTION command value... IAC SE, with 0xFF in the values doubled.
std::string ComPort(unsigned char command, std::string_view value) {
  std::string out{static_cast<char>(kIac), static_cast<char>(kSb), static_cast<char>(kComPort),
                  static_cast<char>(command)};
  out += Rfc2217Client::Escape(value);
  out += static_cast<char>(kIac);
  out += static_cast<char>(kSe);
  return out;
}

std::string Byte(unsigned value) {
  return std::string(1, static_cast<char>(value));
}

}  // namespace

std::string Rfc2217Client::Start() {
  weWill_.set(kBinary).set(kSuppressGoAhead).set(kComPort);
  theyWill_.set(kBinary).set(kSuppressGoAhead);
  return Command(kWill, kBinary) + Command(kDo, kBinary) + Command(kWill, kSuppressGoAhead) +
         Command(kDo, kSuppressGoAhead) + Command(kWill, kComPort);
}

std::string Rfc2217Client::Configure(const LineSettings& s) const {
  const std::uint32_t baud = s.BaudRate;
  std::string out = ComPort(kSetBaudRate, Byte(baud >> 24 & 0xFF) + Byte(baud >> 16 & 0xFF) +
                                              Byte(baud >> 8 & 0xFF) + Byte(baud & 0xFF));
  out += ComPort(kSetDataSize, Byte(s.DataBits));
  // Ours: 0 none, 1 odd, 2 even, 3 mark, 4 space; the option's: one more.
  out += ComPort(kSetParity, Byte(s.Parity + 1u));
  static constexpr unsigned char kStops[] = {1, 3, 2};  // one, one and a half, two
  out += ComPort(kSetStopSize, Byte(kStops[s.StopBits <= 2 ? s.StopBits : 0]));
  out += ComPort(kSetControl, Byte(s.RtsCts ? kHardwareFlow : s.XonXoff ? kXonXoffFlow : kNoFlow));
  // As on a local port: DTR held off, RTS too unless it does the handshake.
  out += ComPort(kSetControl, Byte(kDtrOff));
  if (!s.RtsCts) out += ComPort(kSetControl, Byte(kRtsOff));
  return out;
}

std::string Rfc2217Client::PurgeInput() const {
  return ComPort(kPurgeData, Byte(kPurgeReceive));
}

std::string Rfc2217Client::Escape(std::string_view data) {
  std::string out;
  out.reserve(data.size());
  for (char ch : data) {
    out += ch;
    if (static_cast<unsigned char>(ch) == kIac) out += ch;
  }
  return out;
}

std::string Rfc2217Client::TakeReplies() {
  std::string out;
  out.swap(replies_);
  return out;
}

void Rfc2217Client::Receive(std::string_view bytes, std::string& data) {
  for (char ch : bytes) {
    const auto byte = static_cast<unsigned char>(ch);
    switch (state_) {
      case State::kCr:
        state_ = State::kData;
        // A server not in binary mode sends CR NUL for a bare CR.
        if (byte == 0 && !theyWill_[kBinary]) break;
        [[fallthrough]];
      case State::kData:
        if (byte == kIac) {
          state_ = State::kIac;
        } else {
          data += ch;
          if (byte == '\r') state_ = State::kCr;
        }
        break;
      case State::kIac:
        if (byte == kIac) {
          data += ch;
          state_ = State::kData;
        } else if (byte >= kWill && byte <= kDont) {
          verb_ = byte;
          state_ = State::kVerb;
        } else if (byte == kSb) {
          sub_.clear();
          subOverflow_ = false;
          state_ = State::kSub;
        } else {
          state_ = State::kData;  // NOP, GA, AYT and the like mean nothing on a serial line
        }
        break;
      case State::kVerb:
        Negotiate(verb_, byte);
        state_ = State::kData;
        break;
      case State::kSub:
        if (byte == kIac) {
          state_ = State::kSubIac;
        } else if (sub_.size() < kMaxSubnegotiation) {
          sub_ += ch;
        } else {
          subOverflow_ = true;
        }
        break;
      case State::kSubIac:
        if (byte == kIac) {
          if (sub_.size() < kMaxSubnegotiation) {
            sub_ += ch;
          } else {
            subOverflow_ = true;
          }
          state_ = State::kSub;
        } else {
          // IAC SE ends it; anything else after IAC ends it too, broken.
          if (byte == kSe && !subOverflow_) Subnegotiation();
          state_ = State::kData;
        }
        break;
    }
  }
}

void Rfc2217Client::Negotiate(unsigned char verb, unsigned char option) {
  switch (verb) {
    case kDo:
      if (Offered(option)) {
        if (!weWill_[option]) replies_ += Command(kWill, option);
        weWill_.set(option);
        if (option == kComPort) comPortAccepted_ = true;
      } else if (!refusedDo_[option]) {
        // Refused once; a server that asks again is not answered again (no loop).
        refusedDo_.set(option);
        replies_ += Command(kWont, option);
        ++refused_;
      }
      break;
    case kDont:
      if (weWill_[option]) {
        weWill_.reset(option);
        replies_ += Command(kWont, option);
      }
      if (option == kComPort) comPortRefused_ = true;
      break;
    case kWill:
      if (option == kBinary || option == kSuppressGoAhead) {
        if (!theyWill_[option]) replies_ += Command(kDo, option);
        theyWill_.set(option);
      } else if (!refusedWill_[option]) {
        refusedWill_.set(option);
        replies_ += Command(kDont, option);
        ++refused_;
      }
      break;
    case kWont:
      if (theyWill_[option]) {
        theyWill_.reset(option);
        replies_ += Command(kDont, option);
      }
      break;
  }
}

void Rfc2217Client::Subnegotiation() {
  if (sub_.size() < 2 || static_cast<unsigned char>(sub_[0]) != kComPort) return;
  const auto command = static_cast<unsigned char>(sub_[1]);
  const std::string_view value = std::string_view(sub_).substr(2);
  if (command == kServerOffset + kSetBaudRate && value.size() == 4) {
    confirmedBaud_ = 0;
    for (char ch : value) confirmedBaud_ = confirmedBaud_ << 8 | static_cast<unsigned char>(ch);
  } else if (command == kServerOffset + kFlowSuspend) {
    suspended_ = true;
  } else if (command == kServerOffset + kFlowResume) {
    suspended_ = false;
  }
  // Line and modem state notifications and the other confirmations change nothing here.
}

}  // namespace ulvo
