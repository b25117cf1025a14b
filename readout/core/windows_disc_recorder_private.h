#pragma once
// Inside the Windows disc recorder: the recorder with the class it starts from, so that a
// test can make it meet a system without the recording interface, and the read-back's file
// comparison.

#include <memory>
#include <string>

#include "readout/core/disc_recorder.h"

namespace ulvo {

struct ImapiRecorderOptions {
  // The first object the recorder makes; everything else follows from it.
  std::wstring discMasterProgId = L"IMAPI2.MsftDiscMaster2";
};

std::unique_ptr<DiscRecorder> MakeImapiRecorder(ImapiRecorderOptions options);

// Compares a file read back from the disc with its source: kDiscOk, kDiscReadBackMismatch,
// or kDiscReadBackFailed when either cannot be read.
int CompareWrittenFile(const std::wstring& writtenPath, const std::wstring& sourcePath);

}  // namespace ulvo
