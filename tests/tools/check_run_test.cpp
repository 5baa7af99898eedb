// marvolt-run --check: statuses, lines and JSON.
#include "tools/check_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "persistence/model_file.h"
#include "tools/batch_run.h"
#include "tools/example_models.h"
#include "runner_fixture.h"

namespace marvolt {
namespace {

namespace fs = std::filesystem;

class CheckRunTest : public test::RunnerFixture {
  protected:
    // Runs afresh: only what this call printed is kept.
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return RunnerFixture::Run(std::move(args));
    }
    // The M/M/1 example with its channel made too slow and a spare channel nothing reaches.
    std::string ProblemModel() {
        auto m = Example("mm1.qsf");
        auto* channel = static_cast<CChannel*>(m->FindNode("Канал1"));
        channel->serviceLaws[0] = {kLawExponential, 0.5f, 0.0f};
        CChannel* spare = m->AddChannel("Запасной");
        m->Link(m->NodeIndex("Запасной"), m->NodeIndex("Сток1"));
        (void)spare;
        return Save(*m, "problems.qsf");
    }
};

TEST_F(CheckRunTest, ACleanModelPrintsNothingAndExitsWithZero) {
    const std::string path = Save(*Example("two_stage_line.qsf"), "clean.qsf");
    EXPECT_EQ(Run({"--check", path}), kRunOk);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(Run({"--check", "--json", path}), kRunOk);
    EXPECT_EQ(nlohmann::json::parse(out.str()), nlohmann::json::array());
}

TEST_F(CheckRunTest, FindingsArePrintedOneALineAndExitWithSeven) {
    const std::string path = ProblemModel();
    EXPECT_EQ(Run({"--check", path}), kRunFindings);
    EXPECT_EQ(kRunFindings, 7);
    EXPECT_EQ(out.str(),
              "Канал \"Канал1\": предлагаемая нагрузка на устройство равна 2 (не меньше 1), "
              "очередь в накопителе \"Накопитель1\" будет расти без ограничения.\n"
              "Канал \"Запасной\" недостижим: в него не может попасть ни одна заявка.\n");
    // Nothing was run: no report.
    EXPECT_EQ(out.str().find("Показатели"), std::string::npos);
}

TEST_F(CheckRunTest, JsonListsKindNodeAndText) {
    const std::string path = ProblemModel();
    ASSERT_EQ(Run({"--json", "--check", path}), kRunFindings);
    const nlohmann::json list = nlohmann::json::parse(out.str());
    ASSERT_TRUE(list.is_array());
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]["kind"], "overload");
    EXPECT_EQ(list[0]["node"], "Канал1");
    EXPECT_EQ(list[1]["kind"], "unreachable");
    EXPECT_EQ(list[1]["node"], "Запасной");
    EXPECT_EQ(list[1]["text"],
              "Канал \"Запасной\" недостижим: в него не может попасть ни одна заявка.");

    // A finding about the whole model names no node.
    auto bare = Example("mm1.qsf");
    bare->refusalSink = nullptr;
    bare->DeleteNode("Сток отказов");
    ASSERT_EQ(Run({"--check", "--json", Save(*bare, "bare.qsf")}), kRunFindings);
    const nlohmann::json model = nlohmann::json::parse(out.str());
    ASSERT_EQ(model.size(), 1u);
    EXPECT_EQ(model[0]["kind"], "no_refusal_sink");
    EXPECT_TRUE(model[0]["node"].is_null());
}

TEST_F(CheckRunTest, TheStopOptionsAreCheckedAsTheRunWouldUseThem) {
    auto m = Example("mm1.qsf");
    static_cast<CGenerator*>(m->FindNode("Генератор1"))->intervalLaw = {kLawDeterministic, 0.0f,
                                                                        0.0f};
    const std::string path = Save(*m, "zero.qsf");
    // Counted by arrivals the run ends; by time it never would.
    EXPECT_EQ(Run({"--check", "--arrivals", "100", path}), kRunOk);
    EXPECT_EQ(Run({"--check", "--time", "100", path}), kRunFindings);
    EXPECT_NE(out.str().find("модельное время не продвигается"), std::string::npos);
}

TEST_F(CheckRunTest, UnreadableFilesAndBadCombinations) {
    EXPECT_EQ(Run({"--check", (dir / "absent.qsf").string()}), kRunUnreadableModel);
    EXPECT_NE(err.str().find("для чтения"), std::string::npos);
    const std::string junk = (dir / "junk.qsf").string();
    {
        std::ofstream f(junk, std::ios::binary);
        f << "not a model";
    }
    EXPECT_EQ(Run({"--check", junk}), kRunUnreadableModel);
    EXPECT_NE(err.str().find("Ошибка при чтении файла"), std::string::npos);
    const ParsedOptions both = ParseRunOptions({"--check", "--save", "out.qsf", "model.qsf"});
    EXPECT_EQ(both.error, "Параметры --check и --save нельзя указывать вместе.");
    EXPECT_TRUE(ParseRunOptions({"--check", "model.qsf"}).options.check);
    EXPECT_NE(RunUsage().find("--check"), std::string::npos);
}

TEST_F(CheckRunTest, EveryShippedExampleIsClean) {
    const fs::path examples = fs::path(MARVOLT_SOURCE_DIR) / "examples";
    for (const auto& e : BuildExampleModels()) {
        EXPECT_EQ(Run({"--check", (examples / e.fileName).string()}), kRunOk)
            << e.fileName << ": " << out.str();
    }
}

}  // namespace
}  // namespace marvolt
