#include "persistence/safe_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace marvolt {

namespace {

// Writes everything or answers false.
bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// A name beside the target that no other save uses at the same time.
std::string TemporaryName(const std::string& target, int attempt) {
    static std::atomic<unsigned> counter{0};
    return target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(attempt);
}

// Where the bytes go: the target itself, or what a symbolic link points at, so
// the link survives the save.
std::string ResolvedTarget(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        const auto resolved = std::filesystem::weakly_canonical(path, ec);
        if (!ec)
            return resolved.string();
    }
    return path;
}

}  // namespace

SafeSaveResult SaveBytesWithResult(const std::string& path, std::string_view bytes) {
    const std::string target = ResolvedTarget(path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    // A file the user may not write, or something that is no file, stays as it is.
    if (exists && (!S_ISREG(old.st_mode) || ::access(target.c_str(), W_OK) != 0)) {
        return SafeSaveResult::kCannotCreate;
    }

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = TemporaryName(target, attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return SafeSaveResult::kCannotCreate;

    bool ok = WriteAll(fd, bytes.data(), bytes.size());
    if (ok && exists)
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return SafeSaveResult::kWriteFailed;
    }
    // The new name itself should survive a power cut too; the file is complete either way.
    const std::string folder = std::filesystem::path(target).parent_path().string();
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return SafeSaveResult::kOk;
}

bool SaveBytesSafely(const std::string& path, std::string_view bytes) {
    return SaveBytesWithResult(path, bytes) == SafeSaveResult::kOk;
}

}  // namespace marvolt
