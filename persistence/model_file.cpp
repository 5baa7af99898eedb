#include "persistence/model_file.h"

#include <cstdio>
#include <filesystem>

#include "persistence/byte_record.h"
#include "persistence/model_record.h"
#include "persistence/safe_save.h"

namespace marvolt {

// ---- the file layout ----

bool WriteModelBytes(const CQueuingSystem& current, const CQueuingSystem* results,
                     std::vector<uint8_t>& out) {
    out.clear();
    TextCodec codec;
    ByteWriter writer(out, codec);
    WriteModelRecord(current, writer);
    if (results) {
        writer.Tag("CNTS");
        WriteModelRecord(*results, writer);
    }
    writer.Tag("ENDF");
    return writer.faithful();
}

OpenedModels ReadModelBytes(const uint8_t* data, size_t size) {
    OpenedModels opened;
    TextCodec codec;
    ByteReader reader(data, size, codec);
    opened.current = ReadModelRecord(reader);
    if (!opened.current) {
        opened.result = OpenResult::kFirstModelUnreadable;
        return opened;
    }
    opened.result = OpenResult::kOk;
    // A file that ends here, or says so, has no results model. Whatever else
    // follows is read as one; if that fails the file opens without it.
    if (reader.Optional("ENDF") || !reader.Skip(4))
        return opened;
    opened.results = ReadModelRecord(reader);
    return opened;
}

// ---- files ----

SaveResult SaveModelFile(const std::string& path, const CQueuingSystem& current,
                         const CQueuingSystem* results) {
    std::vector<uint8_t> bytes;
    if (!WriteModelBytes(current, results, bytes))
        return SaveResult::kCannotStoreText;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    switch (SaveBytesWithResult(path, text)) {
        case SafeSaveResult::kOk:
            return SaveResult::kOk;
        case SafeSaveResult::kCannotCreate:
            return SaveResult::kCannotOpenForWriting;
        case SafeSaveResult::kWriteFailed:
            break;
    }
    return SaveResult::kWriteFailed;
}

OpenedModels OpenModelFile(const std::string& path) {
    OpenedModels failed;
    failed.result = OpenResult::kCannotOpenForReading;
    // A folder opens as a stream on this system but is no file to read.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return failed;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return failed;
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
    // The file did open: a failure from here on is a failed read of the model.
    if (readError) {
        failed.result = OpenResult::kFirstModelUnreadable;
        return failed;
    }
    return ReadModelBytes(bytes.data(), bytes.size());
}

}  // namespace marvolt
