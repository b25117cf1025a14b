#pragma once
// Sends the frames of one command through the link, each followed by the printer's result.

#include <string>
#include <vector>

namespace ulvo {

class Link;

enum class SendOutcome {
  Done,            // every frame sent and carried out: the dialog closes
  SendFailed,      // a frame could not be written: the dialog stays open
  PrinterRefused,  // the printer reported an error (or gave no status): the dialog closes
};

// Frames go one after another through TxBuf, SendFrame and CheckCommandResult; a failed send
// or a refused frame ends the sequence.
SendOutcome SendCommandFrames(Link& link, const std::vector<std::string>& frames);

}  // namespace ulvo
