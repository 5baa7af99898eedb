// Saving bytes so that a failure never destroys the file already there: they
// go to a temporary file beside the target, every write is checked, the file
// is flushed to the disk and only then renamed over the target. Models,
// reports and pictures are all saved this way.
#pragma once

#include <string>
#include <string_view>

namespace marvolt {

enum class SafeSaveResult {
    kOk,
    kCannotCreate,  // the target may not be written, or no temporary file can be made beside it
    kWriteFailed,   // writing, flushing or renaming failed; the old file is unchanged
};

// A symbolic link keeps pointing at the saved file; an existing file keeps its
// permissions. A folder, a device or a file the user may not write is refused.
SafeSaveResult SaveBytesWithResult(const std::string& path, std::string_view bytes);

// The same, answering only whether the bytes are now in the file.
bool SaveBytesSafely(const std::string& path, std::string_view bytes);

}  // namespace marvolt
