// Saving and opening a model file: the current model and, optionally, the
// results model of its last experiment.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kernel/queuing_system.h"

namespace marvolt {

enum class SaveResult {
    kOk,
    kCannotOpenForWriting,  // the file (or a temporary file beside it) cannot be created
    kCannotStoreText,       // a name or text cannot be stored in the file's code page or length
    kWriteFailed,           // writing, flushing or replacing failed; the old file is unchanged
};

enum class OpenResult {
    kOk,
    kCannotOpenForReading,
    kFirstModelUnreadable,
};

struct OpenedModels {
    OpenResult result = OpenResult::kCannotOpenForReading;
    std::unique_ptr<CQueuingSystem> current;
    std::unique_ptr<CQueuingSystem> results;  // null when the file has none or it is damaged
};

// Saved through SaveBytesSafely's way (persistence/safe_save.h), so a failed
// save leaves the old file as it was.
SaveResult SaveModelFile(const std::string& path, const CQueuingSystem& current,
                         const CQueuingSystem* results);
OpenedModels OpenModelFile(const std::string& path);

// The same without files. False: a text cannot be stored (out is then unusable).
bool WriteModelBytes(const CQueuingSystem& current, const CQueuingSystem* results,
                     std::vector<uint8_t>& out);
OpenedModels ReadModelBytes(const uint8_t* data, size_t size);

}  // namespace marvolt
