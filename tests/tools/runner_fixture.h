// The batch runner as a test drives it: models saved into a folder of the
// test's own, the command line parsed and run, what it printed kept.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "kernel/random_stat.h"
#include "persistence/model_file.h"
#include "tools/batch_run.h"
#include "tools/example_models.h"

namespace marvolt::test {

class RunnerFixture : public ::testing::Test {
  protected:
    std::filesystem::path dir;
    std::ostringstream out, err;

    void SetUp() override {
        RestoreRandomStartState();
        dir = std::filesystem::temp_directory_path() /
              ("marvolt_runner_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::unique_ptr<CQueuingSystem> Example(const std::string& name) {
        for (auto& e : BuildExampleModels()) {
            if (e.fileName == name)
                return std::move(e.model);
        }
        return nullptr;
    }
    std::string Save(const CQueuingSystem& m, const std::string& name) {
        const std::string path = (dir / name).string();
        EXPECT_EQ(SaveModelFile(path, m, nullptr), SaveResult::kOk);
        return path;
    }
    int Run(std::vector<std::string> args) {
        ParsedOptions p = ParseRunOptions(args);
        if (!p.error.empty())
            return kRunBadArguments;
        return RunBatch(p.options, out, err);
    }
};

}  // namespace marvolt::test
