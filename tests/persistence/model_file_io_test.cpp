// Saving replaces the file only when everything was written; opening never
// touches the caller's models.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "file_test_support.h"
#include "persistence/model_file.h"

namespace marvolt {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ModelFileIo : public ::testing::Test {
  protected:
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("marvolt_file_test_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir, ec);
    }
    // Only the given names are in the folder: no temporary file was left behind.
    void ExpectOnly(std::initializer_list<const char*> names) {
        std::vector<std::string> found;
        for (const auto& e : fs::directory_iterator(dir))
            found.push_back(e.path().filename());
        std::sort(found.begin(), found.end());
        std::vector<std::string> expected(names.begin(), names.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(found, expected);
    }
};

TEST_F(ModelFileIo, SaveThenOpen) {
    const auto m = test::RichModel(true);
    const auto results = CQueuingSystem::CopyModel(*m, true);
    const std::string path = dir / "model.qsf";
    ASSERT_EQ(SaveModelFile(path, *m, results.get()), SaveResult::kOk);
    EXPECT_EQ(Contents(path), test::Bytes(*m, results.get()));
    ExpectOnly({"model.qsf"});

    const OpenedModels opened = OpenModelFile(path);
    ASSERT_EQ(opened.result, OpenResult::kOk);
    test::ExpectSameModel(*m, *opened.current);
    ASSERT_TRUE(opened.results);
    test::ExpectSameModel(*results, *opened.results);
}

TEST_F(ModelFileIo, SaveReplacesAnOldFileAndKeepsItsPermissions) {
    const fs::path path = dir / "model.qsf";
    std::ofstream(path)
        << "an older, longer file than the new one will be ..........................";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const auto m = test::SmallModel();
    ASSERT_EQ(SaveModelFile(path, *m, nullptr), SaveResult::kOk);
    EXPECT_EQ(Contents(path), test::Bytes(*m));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ExpectOnly({"model.qsf"});
}

TEST_F(ModelFileIo, SaveThroughASymbolicLinkKeepsTheLink) {
    const fs::path target = dir / "real.qsf";
    const fs::path link = dir / "link.qsf";
    std::ofstream(target) << "old";
    fs::create_symlink(target, link);
    const auto m = test::SmallModel();
    ASSERT_EQ(SaveModelFile(link, *m, nullptr), SaveResult::kOk);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Contents(target), test::Bytes(*m));
}

TEST_F(ModelFileIo, SaveIntoAMissingFolderCannotOpen) {
    const auto m = test::SmallModel();
    EXPECT_EQ(SaveModelFile(dir / "missing" / "model.qsf", *m, nullptr),
              SaveResult::kCannotOpenForWriting);
    EXPECT_EQ(SaveModelFile(dir, *m, nullptr), SaveResult::kCannotOpenForWriting);  // a folder
}

TEST_F(ModelFileIo, ReadOnlyFileOrFolderIsLeftAlone) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    const fs::path path = dir / "model.qsf";
    std::ofstream(path) << "old";
    fs::permissions(path, fs::perms::owner_read);
    const auto m = test::SmallModel();
    EXPECT_EQ(SaveModelFile(path, *m, nullptr), SaveResult::kCannotOpenForWriting);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(SaveModelFile(path, *m, nullptr), SaveResult::kCannotOpenForWriting);
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(Contents(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
}

TEST_F(ModelFileIo, TextThatCannotBeStoredLeavesTheOldFile) {
    const fs::path path = dir / "model.qsf";
    std::ofstream(path) << "old";
    auto m = test::SmallModel();
    m->modelName = "☺";
    EXPECT_EQ(SaveModelFile(path, *m, nullptr), SaveResult::kCannotStoreText);
    m->modelName = "ok";
    m->RequestType(0)->name = std::string(256, 'n');
    EXPECT_EQ(SaveModelFile(path, *m, m.get()), SaveResult::kCannotStoreText);
    EXPECT_EQ(Contents(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
    ExpectOnly({"model.qsf"});
}

// A full disk: writes beyond a file size limit fail.
TEST_F(ModelFileIo, FailedWriteLeavesTheOldFile) {
    const fs::path path = dir / "model.qsf";
    std::ofstream(path) << "old";
    const auto m = test::RichModel(true);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const SaveResult r = SaveModelFile(path, *m, m.get());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(r, SaveResult::kWriteFailed);
    EXPECT_EQ(Contents(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
    ExpectOnly({"model.qsf"});
}

TEST_F(ModelFileIo, OpenReportsWhatWentWrong) {
    EXPECT_EQ(OpenModelFile(dir / "missing.qsf").result, OpenResult::kCannotOpenForReading);
    EXPECT_EQ(OpenModelFile(dir).result, OpenResult::kCannotOpenForReading);
    const fs::path junk = dir / "junk.qsf";
    std::ofstream(junk) << "NAME";
    const OpenedModels opened = OpenModelFile(junk);
    EXPECT_EQ(opened.result, OpenResult::kFirstModelUnreadable);
    EXPECT_FALSE(opened.current);
    EXPECT_FALSE(opened.results);
}

}  // namespace
}  // namespace marvolt
