// The capture reader of `ulvo-sim --replay` on any bytes, and the replay fed with what it
// accepted: no read past a buffer, a reason for every refusal.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "link/pcap_file.h"
#include "sim/capture_replay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
  if (file == nullptr) return 0;
  ulvo::CaptureReading reading = ulvo::ReadCaptureStream(file, "fuzz.pcap");
  if (reading.Failed() && !reading.packets.empty()) std::abort();
  if (reading.Failed() && reading.error.empty()) std::abort();
  std::vector<ulvo::ReplayPacket> packets;
  std::string program;  // what a program would send: the recorded pieces to the printer
  for (ulvo::CapturedPacket& p : reading.packets) {
    if (p.bytes.empty()) std::abort();
    if (p.direction == ulvo::TrafficDirection::Out) program += p.bytes;
    packets.push_back({p.direction, std::move(p.bytes)});
  }
  ulvo::CaptureReplay replay(std::move(packets));
  // In two halves, as two reads of the pty; then one byte more than the capture holds.
  replay.Feed(std::string_view(program).substr(0, program.size() / 2));
  replay.Feed(std::string_view(program).substr(program.size() / 2));
  if (!replay.Done()) std::abort();
  replay.Feed("\x05");
  replay.TakeNotes();
  return 0;
}
