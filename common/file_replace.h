#pragma once
// Replacing a file's contents safely: the bytes go to a temporary file beside it, reach the
// disk, and the temporary file is renamed over the old one, so a crash leaves either the old
// file or the new one, never half of it.

#include <filesystem>
#include <string_view>

namespace ulvo {

// True when it failed (the old file, if any, is then untouched and no temporary is left).
bool ReplaceFileContents(const std::filesystem::path& file, std::string_view bytes);

}  // namespace ulvo
