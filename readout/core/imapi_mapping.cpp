#include "readout/core/imapi_mapping.h"

#include <algorithm>
#include <cstdio>

#include "readout/core/disc_recorder.h"

namespace ulvo {
namespace {

// COM's own results that mean the recording interface is missing or incomplete (as under
// wine, whose imapi2 registers few classes or none).
constexpr uint32_t kClassNotRegistered = 0x80040154;  // REGDB_E_CLASSNOTREG
constexpr uint32_t kBadProgId = 0x800401F3;           // CO_E_CLASSSTRING
constexpr uint32_t kComNotInitialized = 0x800401F0;   // CO_E_NOTINITIALIZED
constexpr uint32_t kClassNotAvailable = 0x80040111;   // CLASS_E_CLASSNOTAVAILABLE
constexpr uint32_t kNoInterface = 0x80004002;         // E_NOINTERFACE
constexpr uint32_t kNotImplemented = 0x80004001;      // E_NOTIMPL
constexpr uint32_t kUnknownName = 0x80020006;         // DISP_E_UNKNOWNNAME
constexpr uint32_t kMemberNotFound = 0x80020003;      // DISP_E_MEMBERNOTFOUND
constexpr uint32_t kModuleNotFound = 0x8007007E;      // HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND)

// IMAPI2's results (imapi2error.h).
constexpr uint32_t kRequestCancelled = 0xC0AA0002;
constexpr uint32_t kRecorderRequired = 0xC0AA0003;
constexpr uint32_t kVerificationFailed = 0xC0AA0007;
constexpr uint32_t kNoMedia = 0xC0AA0202;
constexpr uint32_t kMediaIncompatible = 0xC0AA0203;
constexpr uint32_t kMediaUpsideDown = 0xC0AA0204;
constexpr uint32_t kMediaBecomingReady = 0xC0AA0205;
constexpr uint32_t kMediaFormatting = 0xC0AA0206;
constexpr uint32_t kMediaBusy = 0xC0AA0207;
constexpr uint32_t kMediaWriteProtected = 0xC0AA0209;
constexpr uint32_t kCommandTimeout = 0xC0AA020D;
constexpr uint32_t kInvalidResponse = 0xC0AA02FF;
constexpr uint32_t kWriteErrorsFirst = 0xC0AA0300;  // loss of streaming and other write errors
constexpr uint32_t kWriteErrorsLast = 0xC0AA03FF;
constexpr uint32_t kDataWriteInProgress = 0xC0AA0400;
constexpr uint32_t kDataFormatFirst = 0xC0AA0401;  // the data writer refuses disc or stream
constexpr uint32_t kDataFormatLast = 0xC0AA04FF;

// IMAPI_FORMAT2_DATA_MEDIA_STATE
constexpr int32_t kOverwriteOnly = 0x1;
constexpr int32_t kBlank = 0x2;
constexpr int32_t kAppendable = 0x4;
constexpr int32_t kUnsupportedMask = 0xfc00;
constexpr int32_t kWriteProtected = 0x2000;
constexpr int32_t kFinalized = 0x4000;

// IMAPI_FORMAT2_DATA_WRITE_ACTION
constexpr int32_t kActionWritingData = 4;
constexpr int32_t kActionFinalization = 5;
constexpr int32_t kActionCompleted = 6;
constexpr int32_t kActionVerifying = 7;

// 1x CD: 75 sectors per second, counted as 176.4 kB/s (2352 bytes a sector).
constexpr int64_t kBytesPerCdSector = 2352;

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

bool HasControlCharacter(const std::string& text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

bool IsPlainPart(const std::string& part) {
  return !part.empty() && part != "." && part != ".." && !HasControlCharacter(part);
}

}  // namespace

int DiscErrorOfHresult(int32_t hresult) {
  if (hresult >= 0) return kDiscOk;
  const auto code = static_cast<uint32_t>(hresult);
  switch (code) {
    case kClassNotRegistered:
    case kBadProgId:
    case kComNotInitialized:
    case kClassNotAvailable:
    case kNoInterface:
    case kNotImplemented:
    case kUnknownName:
    case kMemberNotFound:
    case kModuleNotFound:
      return kDiscLibraryFailed;
    case kRequestCancelled:
      return kDiscCancelled;
    case kRecorderRequired:
      return kDiscNoWriter;
    case kNoMedia:
    case kMediaIncompatible:
    case kMediaUpsideDown:
    case kMediaBecomingReady:
    case kMediaFormatting:
      return kDiscNoMedium;
    case kMediaBusy:
    case kDataWriteInProgress:
      return kDiscBusy;
    case kMediaWriteProtected:
      return kDiscClosed;
    case kVerificationFailed:
    case kCommandTimeout:
    case kInvalidResponse:
      return kDiscWriteFailed;
    default:
      break;
  }
  if (code >= kWriteErrorsFirst && code <= kWriteErrorsLast) return kDiscWriteFailed;
  if (code >= kDataFormatFirst && code <= kDataFormatLast) return kDiscWriteRefused;
  return hresult;
}

std::string HresultText(int32_t hresult) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hresult));
  return text;
}

ImapiMedia InterpretMediaState(int32_t mediaState, bool heuristicallyBlank) {
  ImapiMedia media;
  media.closed = (mediaState & (kFinalized | kWriteProtected)) != 0;
  media.ready = (mediaState & kUnsupportedMask) == 0 &&
                (mediaState & (kBlank | kAppendable | kOverwriteOnly)) != 0;
  media.holdsData = mediaState != 0 && !heuristicallyBlank && (mediaState & kBlank) == 0;
  return media;
}

int32_t SectorsPerSecondOfKilobytes(int kilobytesPerSecond) {
  if (kilobytesPerSecond <= 0) return 0;
  const int64_t sectors =
      (int64_t{kilobytesPerSecond} * 1000 + kBytesPerCdSector / 2) / kBytesPerCdSector;
  return static_cast<int32_t>(std::min<int64_t>(sectors, INT32_MAX));
}

int KilobytesOfSectorsPerSecond(int64_t sectorsPerSecond) {
  if (sectorsPerSecond <= 0) return 0;
  const int64_t limit = INT32_MAX / kBytesPerCdSector * 1000;
  const int64_t kilobytes = (std::min(sectorsPerSecond, limit) * kBytesPerCdSector + 500) / 1000;
  return static_cast<int>(kilobytes);
}

int ImapiWritePercent(int32_t action, int64_t startLba, int64_t sectorCount,
                      int64_t lastWrittenLba) {
  if (action >= 0 && action < kActionWritingData) return 0;
  if (action == kActionFinalization || action == kActionCompleted || action == kActionVerifying) {
    return 100;
  }
  if (action != kActionWritingData || sectorCount <= 0) return -1;
  const int64_t written = std::clamp<int64_t>(lastWrittenLba - startLba, 0, sectorCount);
  return static_cast<int>(written * 100 / sectorCount);
}

std::string ImagePathOf(const std::string& folder, const std::string& nameOnDisc) {
  if (!IsPlainPart(nameOnDisc) || nameOnDisc.find_first_of("\\/") != std::string::npos) {
    return {};
  }
  std::string path;
  std::string part;
  for (size_t i = 0; i <= folder.size(); ++i) {
    if (i == folder.size() || folder[i] == '\\' || folder[i] == '/') {
      if (!part.empty()) {
        if (!IsPlainPart(part)) return {};
        path += part + "\\";
        part.clear();
      }
    } else {
      part += folder[i];
    }
  }
  return path + nameOnDisc;
}

std::vector<std::string> ImageFoldersOf(const std::string& imagePath) {
  std::vector<std::string> folders;
  for (size_t at = imagePath.find('\\'); at != std::string::npos;
       at = imagePath.find('\\', at + 1)) {
    folders.push_back(imagePath.substr(0, at));
  }
  return folders;
}

std::string VolumeFilePath(const std::string& volumePath, const std::string& imagePath) {
  if (volumePath.empty() || imagePath.empty()) return {};
  std::string path = volumePath;
  if (path.back() != '\\' && path.back() != '/') path += '\\';
  return path + imagePath;
}

std::string ImapiWriterName(const std::string& vendor, const std::string& product,
                            const std::vector<std::string>& volumePaths) {
  std::string name = Trimmed(vendor);
  const std::string model = Trimmed(product);
  if (!model.empty()) name += (name.empty() ? "" : " ") + model;
  if (name.empty()) name = "Napęd CD/DVD";
  std::string volumes;
  for (const std::string& volume : volumePaths) {
    if (volume.empty()) continue;
    volumes += (volumes.empty() ? "" : ", ") + volume;
  }
  if (!volumes.empty()) name += " (" + volumes + ")";
  return name;
}

}  // namespace ulvo
