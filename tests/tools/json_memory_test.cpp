// The program's own memory while it writes the results of the largest model.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <filesystem>

#include "persistence/model_file.h"
#include "tools/example_models.h"

extern char** environ;

namespace marvolt {
namespace {

namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Runs marvolt-run with its output thrown away; the peak resident size in KB.
long PeakKilobytes(std::vector<std::string> args, int& status) {
    args.insert(args.begin(), MARVOLT_RUN);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    rusage usage{};
    EXPECT_EQ(wait4(pid, &status, 0, &usage), pid);
    return usage.ru_maxrss;
}

TEST(JsonMemoryTest, TheLargestModelsDocumentIsWrittenInLittleMemory) {
    if (kSanitized)
        GTEST_SKIP() << "the sanitizers' shadow memory says nothing of the program's";
    const fs::path dir = fs::temp_directory_path() / ("marvolt_json_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string model = (dir / "wide.qsf").string();
    auto wide = BuildWideModel();
    ASSERT_EQ(wide->nodeCount(), ObjectLimit);
    ASSERT_EQ(wide->typeCount(), RequestTypeLimit);
    ASSERT_EQ(SaveModelFile(model, *wide, nullptr), SaveResult::kOk);
    int status = 0;
    // The document has some 59 MB whatever the length of the run; it once
    // took more than 500 MB to write.
    const long peak = PeakKilobytes({"--arrivals", "1000", "--json", model}, status);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_LT(peak, 50 * 1024) << peak << " KB";
    fs::remove_all(dir);
}

}  // namespace
}  // namespace marvolt
