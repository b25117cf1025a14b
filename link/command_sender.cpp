#include "link/command_sender.h"

#include <cstring>

#include "link/link.h"

namespace ulvo {

SendOutcome SendCommandFrames(Link& link, const std::vector<std::string>& frames) {
  for (const std::string& frame : frames) {
    // The builders never make a frame this long; refuse rather than cut it if one ever does.
    if (frame.size() >= sizeof link.TxBuf) {
      link.ui().ShowMessage("Rozkaz nie mieści się w buforze nadawczym i nie został wysłany.");
      return SendOutcome::SendFailed;
    }
    std::memcpy(link.TxBuf, frame.data(), frame.size());
    link.TxBuf[frame.size()] = '\0';
    if (link.SendFrame(link.TxBuf)) return SendOutcome::SendFailed;
    if (link.CheckCommandResult()) return SendOutcome::PrinterRefused;
  }
  return SendOutcome::Done;
}

}  // namespace ulvo
