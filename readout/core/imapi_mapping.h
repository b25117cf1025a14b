#pragma once
// What the Windows disc recorder makes of the numbers of the system's recording interface
// (IMAPI2): results as the recorder's error numbers, media states, write speeds, the write's
// progress, and where an added file lies inside the image and in the drive's volume. Plain
// values only, so they are checked on every platform.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ulvo {

// The recorder's error number (DiscError) for a failed IMAPI2 or COM result; a result without
// a fitting DiscError is passed through as it is (negative, like libisofs' numbers). kDiscOk
// for a success.
int DiscErrorOfHresult(int32_t hresult);

// A failed result as "0x80040154", for texts shown to the user.
std::string HresultText(int32_t hresult);

// The disc as IDiscFormat2Data describes it: its media state bits and whether the drive
// thinks it is blank.
struct ImapiMedia {
  bool ready = false;      // takes another session
  bool holdsData = false;  // an earlier session is there
  bool closed = false;     // closed or write protected: no further session
};
ImapiMedia InterpretMediaState(int32_t mediaState, bool heuristicallyBlank);

// The disc dialog counts speeds in kB/s of 1000 bytes, 176.4 kB/s being 1x CD; IMAPI2 in
// sectors per second, 75 being 1x CD. 0 stays 0; out-of-range values are clamped.
int32_t SectorsPerSecondOfKilobytes(int kilobytesPerSecond);
int KilobytesOfSectorsPerSecond(int64_t sectorsPerSecond);

// 0..100 from a write progress report (IMAPI_FORMAT2_DATA_WRITE_ACTION and the sectors of the
// write); -1 when the report does not tell.
int ImapiWritePercent(int32_t action, int64_t startLba, int64_t sectorCount,
                      int64_t lastWrittenLba);

// Where `nameOnDisc` goes inside the image: "name" in the root ("", "\\" or "/"), otherwise
// "folder\\sub\\name". Empty when the name is empty, holds a separator or a control
// character, or when a part is "." or "..".
std::string ImagePathOf(const std::string& folder, const std::string& nameOnDisc);

// The folders an image path needs, outermost first: "a\\b\\n" -> "a", "a\\b".
std::vector<std::string> ImageFoldersOf(const std::string& imagePath);

// The file of `imagePath` inside the drive's volume ("D:\\" or a mount folder); empty when
// the drive has no volume path.
std::string VolumeFilePath(const std::string& volumePath, const std::string& imagePath);

// The drive list's entry: "VENDOR PRODUCT (D:\)"; the inquiry fields come blank-padded.
std::string ImapiWriterName(const std::string& vendor, const std::string& product,
                            const std::vector<std::string>& volumePaths);

}  // namespace ulvo
