// Any bytes are saved so that a failure leaves the file that was there.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "persistence/safe_save.h"
#include "tests/support/test_folder.h"

namespace marvolt {
namespace {

namespace fs = std::filesystem;

using test_files::FileBytes;

class SafeSave : public ::testing::Test {
  protected:
    fs::path dir;
    void SetUp() override { dir = test_files::FreshFolder("marvolt_safe_save_"); }
    void TearDown() override { fs::remove_all(dir); }
    std::vector<std::string> Names() const {
        std::vector<std::string> found;
        for (const auto& e : fs::directory_iterator(dir))
            found.push_back(e.path().filename());
        std::sort(found.begin(), found.end());
        return found;
    }
};

TEST_F(SafeSave, WritesAnyBytesAndReplacesTheOldFile) {
    const fs::path path = dir / "report.txt";
    std::ofstream(path) << "an older and longer report than the new one";
    const std::string picture("BM\0\0\xff\x01\n\r\n",
                              9);  // zero bytes and line ends kept as they are
    ASSERT_TRUE(SaveBytesSafely(path, picture));
    EXPECT_EQ(FileBytes(path), picture);
    ASSERT_TRUE(SaveBytesSafely(path, ""));
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(Names(), std::vector<std::string>{"report.txt"}) << "no temporary file is left";
}

TEST_F(SafeSave, FailuresAnswerFalseAndLeaveTheOldFile) {
    EXPECT_EQ(SaveBytesWithResult(dir / "missing" / "a.txt", "x"), SafeSaveResult::kCannotCreate);
    EXPECT_EQ(SaveBytesWithResult(dir, "x"), SafeSaveResult::kCannotCreate) << "a folder";
    EXPECT_FALSE(SaveBytesSafely("/dev/null", "x")) << "no regular file";

    // A full disk: writes beyond a file size limit fail part-way.
    const fs::path path = dir / "report.txt";
    std::ofstream(path) << "old";
    const auto [r, answer] = test_files::WithFileSizeLimit(1000, [&] {
        return std::pair{SaveBytesWithResult(path, std::string(5000, 'n')),
                         SaveBytesSafely(path, std::string(5000, 'n'))};
    });
    EXPECT_EQ(r, SafeSaveResult::kWriteFailed);
    EXPECT_FALSE(answer);
    EXPECT_EQ(FileBytes(path), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"report.txt"});
}

}  // namespace
}  // namespace marvolt
