// Any bytes are saved so that a failure leaves the file that was there.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "persistence/safe_save.h"

namespace marvolt {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SafeSave : public ::testing::Test {
  protected:
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("marvolt_safe_save_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
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
    EXPECT_EQ(Contents(path), picture);
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
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const SafeSaveResult r = SaveBytesWithResult(path, std::string(5000, 'n'));
    const bool answer = SaveBytesSafely(path, std::string(5000, 'n'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(r, SafeSaveResult::kWriteFailed);
    EXPECT_FALSE(answer);
    EXPECT_EQ(Contents(path), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"report.txt"});
}

}  // namespace
}  // namespace marvolt
