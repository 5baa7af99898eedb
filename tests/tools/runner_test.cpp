#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "persistence/model_file.h"
#include "results/logic/stop_limits.h"
#include "tools/batch_run.h"
#include "tools/bench_models.h"
#include "tools/example_models.h"
#include "tools/progress_bar.h"
#include "runner_fixture.h"

namespace marvolt {
namespace {

namespace fs = std::filesystem;

// The document without what it says of itself, which names the program's
// version: the part the files before it hold.
std::string WithoutAbout(const std::string& doc) {
    const std::string begin = "\n  \"about\": {\n", end = "\n  },";
    const size_t from = doc.find(begin);
    const size_t to = from == std::string::npos ? from : doc.find(end, from);
    if (to == std::string::npos)
        return doc;
    return doc.substr(0, from) + doc.substr(to + end.size());
}

class RunnerTest : public test::RunnerFixture {
  protected:
    // The report and the document of a model file, as the runner prints them,
    // are the bytes stored beside expected (stem.txt and stem.json).
    void ExpectResultsAsStored(const fs::path& model, const fs::path& expected) {
        const std::string stem = model.stem().string();
        for (const bool json : {false, true}) {
            std::ifstream in(expected / (stem + (json ? ".json" : ".txt")), std::ios::binary);
            ASSERT_TRUE(in) << stem;
            const std::string want((std::istreambuf_iterator<char>(in)), {});
            out.str("");
            RestoreRandomStartState();
            std::vector<std::string> args{model.string()};
            if (json)
                args.insert(args.begin(), "--json");
            ASSERT_EQ(Run(args), kRunOk);
            const std::string got = Taken();
            // Documents begin with what they say of themselves; the rest is as before.
            if (json) {
                EXPECT_EQ(got.rfind("{\n  \"about\": {\n", 0), 0u) << stem;
            }
            EXPECT_TRUE((json ? WithoutAbout(got) : got) == want)
                << stem << (json ? ".json" : ".txt") << " differs";
        }
    }
};

TEST_F(RunnerTest, OptionsAreCheckedLikeTheExperimentWindow) {
    EXPECT_FALSE(ReadPositiveReal("0"));
    EXPECT_FALSE(ReadPositiveReal("-3"));
    EXPECT_FALSE(ReadPositiveReal("1,5"));
    EXPECT_FALSE(ReadPositiveReal("abc"));
    EXPECT_FALSE(ReadPositiveReal("inf"));
    EXPECT_FALSE(ReadPositiveReal("1e40")) << "beyond what the model stores";
    EXPECT_FALSE(ReadPositiveReal("1e-46")) << "0 once kept as a float";
    EXPECT_FALSE(ReadPositiveReal(" 5"));
    EXPECT_FALSE(ReadPositiveReal("0x10"));
    EXPECT_FALSE(ReadPositiveReal("+5"));
    EXPECT_EQ(ReadPositiveReal("2.5"), 2.5f);
    EXPECT_EQ(ReadPositiveReal("1e3"), 1000.0f);
    EXPECT_FALSE(ReadArrivalsLimit("0"));
    EXPECT_FALSE(ReadArrivalsLimit("1.5"));
    EXPECT_FALSE(ReadArrivalsLimit("4294967296"));
    EXPECT_FALSE(ReadArrivalsLimit("+5"));
    // A count of arrivals compared as 32 bits would wrap before passing these.
    EXPECT_FALSE(ReadArrivalsLimit("4294967295"));
    EXPECT_FALSE(ReadArrivalsLimit("2147483648"));
    EXPECT_EQ(ReadArrivalsLimit("2147483647"), 2147483647u);

    EXPECT_NE(ParseRunOptions({"--time", "-1", "m.qsf"}).error.find("положительное число"),
              std::string::npos);
    EXPECT_FALSE(ParseRunOptions({"--arrivals"}).error.empty());
    EXPECT_FALSE(ParseRunOptions({"--bogus", "m.qsf"}).error.empty());
    EXPECT_FALSE(ParseRunOptions({}).error.empty());
    EXPECT_FALSE(ParseRunOptions({"a.qsf", "b.qsf"}).error.empty());
    EXPECT_FALSE(ParseRunOptions({"--time", "5", "--arrivals", "5", "m.qsf"}).error.empty());
    EXPECT_TRUE(ParseRunOptions({"--help"}).error.empty());
    EXPECT_TRUE(ParseRunOptions({"--bogus", "--help"}).options.help);
    EXPECT_TRUE(ParseRunOptions({"--bogus", "--help"}).error.empty());
}

TEST_F(RunnerTest, UnreadableAndMissingFilesExitWithThree) {
    EXPECT_EQ(Run({(dir / "missing.qsf").string()}), kRunUnreadableModel);
    EXPECT_NE(err.str().find("для чтения."), std::string::npos);
    const std::string damaged = (dir / "damaged.qsf").string();
    std::ofstream(damaged, std::ios::binary) << "CNTS garbage";
    err.str("");
    EXPECT_EQ(Run({damaged}), kRunUnreadableModel);
    EXPECT_NE(err.str().find("Ошибка при чтении файла"), std::string::npos);
    EXPECT_TRUE(out.str().empty());
}

TEST_F(RunnerTest, SingleRunPrintsTheReportAndOverridesTheStop) {
    const std::string path = Save(*Example("mm1.qsf"), "mm1.qsf");
    ASSERT_EQ(Run({"--arrivals", "500", path}), kRunOk);
    EXPECT_EQ(out.str().rfind("Общесистемные показатели.", 0), 0u);
    EXPECT_NE(out.str().find("\tЧисло поступивших заявок:\t501\n"), std::string::npos);

    out.str("");
    ASSERT_EQ(Run({"--time", "200", "--json", path}), kRunOk);
    const auto doc = nlohmann::json::parse(out.str());
    EXPECT_GT(doc["modelTime"].get<double>(), 200.0);
    EXPECT_LT(doc["modelTime"].get<double>(), 215.0);
    EXPECT_FALSE(doc["stoppedByGuard"].get<bool>());
    bool sawWait = false;
    for (const auto& ind : doc["indicators"]) {
        if (ind["id"] == 13 && ind["object"] == "Накопитель1") {
            sawWait = true;
            EXPECT_EQ(ind["name"], "Среднее время ожидания");
        }
        EXPECT_FALSE(ind["name"].get<std::string>().empty());
    }
    EXPECT_TRUE(sawWait);
    for (const auto& ind : doc["indicators"]) {
        if (ind["id"] == 20 && ind["object"] == "Сток отказов") {
            EXPECT_EQ(ind["value"], 0.0) << "an empty sink shows no minimum, as in the report";
        }
    }
    ASSERT_EQ(doc["distributions"].size(), 1u) << "only the collected waiting-time histogram";
    EXPECT_EQ(doc["distributions"][0]["bins"].size(), 16u);
}

TEST_F(RunnerTest, NoMinimumYetIsZeroForChannelsAsForSinks) {
    std::unique_ptr<CQueuingSystem> m = Example("mm1.qsf");
    m->AddChannel("Канал без заявок");  // nothing reaches it
    const std::string path = Save(*m, "idle.qsf");
    ASSERT_EQ(Run({"--arrivals", "50", "--json", path}), kRunOk);
    const auto doc = nlohmann::json::parse(out.str());
    int seen = 0;
    for (const auto& ind : doc["indicators"]) {
        if (ind["id"] == 6 && ind["object"] == "Канал без заявок") {
            ++seen;
            EXPECT_EQ(ind["value"], 0.0);
        }
    }
    EXPECT_EQ(seen, 1);
}

TEST_F(RunnerTest, OutputThatCannotBeWrittenIsAFailure) {
    const std::string path = Save(*Example("mm1.qsf"), "mm1.qsf");
    std::ostream nowhere(nullptr);
    ParsedOptions p = ParseRunOptions({"--arrivals", "10", path});
    EXPECT_EQ(RunBatch(p.options, nowhere, err), kRunOutputFailed);
}

TEST_F(RunnerTest, FactorExperimentPrintsTheDependencyTable) {
    const std::string path = Save(*Example("factor_devices.qsf"), "factor.qsf");
    ASSERT_EQ(Run({"--arrivals", "2000", path}), kRunOk);
    std::istringstream lines(out.str());
    std::string first;
    std::getline(lines, first);
    EXPECT_EQ(first, "Число устройств (Канал1)\t1\t2\t3\t4\t5");
    int rows = 0;
    for (std::string line; std::getline(lines, line);) {
        ++rows;
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 5) << line;
    }
    EXPECT_EQ(rows, 3);

    out.str("");
    ASSERT_EQ(Run({"--arrivals", "2000", "--json", path}), kRunOk);
    const auto doc = nlohmann::json::parse(out.str());
    EXPECT_EQ(doc["factor"]["values"].size(), 5u);
    EXPECT_EQ(doc["dependencies"].size(), 3u);
    EXPECT_EQ(doc["dependencies"][1]["values"].size(), 5u);
}

TEST_F(RunnerTest, InvalidFactorExitsWithFour) {
    auto m = Example("factor_devices.qsf");
    m->plannedFactor.factorParameter = kFactorWaitLimit;  // not a channel parameter
    const std::string path = Save(*m, "bad_factor.qsf");
    EXPECT_EQ(Run({path}), kRunInvalidFactor);
    EXPECT_EQ(err.str(), "Фактор установлен некорректно.\nЭксперимент не может быть проведен.\n");
}

TEST_F(RunnerTest, AFactorValueTheModelCannotHoldIsNoRun) {
    auto m = Example("factor_devices.qsf");
    // Ten values from 250 devices: the last would be 259.
    m->plannedFactor.startValue = 250.0f;
    m->plannedFactor.valueCount = 10;
    const std::string path = Save(*m, "too_many_devices.qsf");
    EXPECT_EQ(Run({path}), kRunInvalidFactor);
    EXPECT_EQ(out.str(), "");
}

TEST_F(RunnerTest, SaveKeepsTheResultsOfTheRun) {
    const std::string path = Save(*Example("three_devices.qsf"), "three.qsf");
    const std::string saved = (dir / "out.qsf").string();
    ASSERT_EQ(Run({"--time", "1000", "--save", saved, path}), kRunOk);
    OpenedModels back = OpenModelFile(saved);
    ASSERT_EQ(back.result, OpenResult::kOk);
    ASSERT_NE(back.results, nullptr);
    EXPECT_EQ(back.results->resultsValid, 1);
    EXPECT_GT(back.results->arrived, 900u);
    EXPECT_EQ(back.current->timeLimit, 1000.0f);

    EXPECT_EQ(Run({"--save", (dir / "no_such_dir" / "x.qsf").string(), path}), kRunSaveFailed);
}

TEST_F(RunnerTest, ARunThatMeetsTheBoundWarnsAndSaysSoInItsJson) {
    EXPECT_EQ(ParseRunOptions({"--max-in-system", "7", "m.qsf"}).options.maxInSystem, 7u);
    EXPECT_NE(ParseRunOptions({"--max-in-system", "0", "m.qsf"}).error.find("целое положительное"),
              std::string::npos);
    EXPECT_NE(ParseRunOptions({"--max-in-system", "m.qsf"}).error.find("--max-in-system"),
              std::string::npos);

    auto m = Example("mm1.qsf");
    static_cast<CGenerator*>(m->Node(1))->batchLaw = {kLawDeterministic, 1e6f, 0.0f};
    const std::string path = Save(*m, "batch.qsf");
    ASSERT_EQ(Run({"--max-in-system", "500", path}), kRunOk);
    EXPECT_EQ(err.str(),
              "Прогон остановлен: модель накопила слишком много заявок.\n"
              "Достигнут предел числа заявок в модели: 500.\n");
    EXPECT_NE(out.str().find("\tЧисло поступивших заявок:\t500\n"), std::string::npos);

    out.str("");
    ASSERT_EQ(Run({"--max-in-system", "500", "--json", path}), kRunOk);
    auto doc = nlohmann::json::parse(out.str());
    EXPECT_FALSE(doc["stoppedByGuard"].get<bool>());
    EXPECT_TRUE(doc["stoppedByLimit"].get<bool>());
    EXPECT_EQ(doc["inSystemLimit"], 500);

    // A run the bound did not stop keeps the document it always had.
    out.str("");
    err.str("");
    ASSERT_EQ(Run({"--json", Save(*Example("mm1.qsf"), "mm1.qsf")}), kRunOk);
    doc = nlohmann::json::parse(out.str());
    EXPECT_FALSE(doc.contains("stoppedByLimit"));
    EXPECT_FALSE(doc.contains("inSystemLimit"));
    EXPECT_TRUE(err.str().empty());
}

TEST_F(RunnerTest, AFactorExperimentThatMeetsTheBoundSaysAtWhichRun) {
    auto m = Example("mm1.qsf");
    FactorSettings f;
    f.factorObject = 1;
    f.factorParameter = kFactorIntervalIntensity;
    f.startValue = 0.5f;
    f.step = 0.5f;
    f.valueCount = 4;
    ASSERT_EQ(m->SetFactor(f, 63), kOk);
    m->AddDependency(2, kNoIndex, indMeanWait);
    m->factorRun = 1;
    // Against a service rate of 1.25 the third value, 1.5, piles requests up.
    const std::string path = Save(*m, "factor.qsf");
    ASSERT_EQ(Run({"--arrivals", "20000", "--max-in-system", "1000", path}), kRunOk);
    EXPECT_EQ(err.str(),
              "Прогон остановлен: модель накопила слишком много заявок.\n"
              "Факторный эксперимент остановлен на прогоне 3 из 4; предел числа заявок в модели: "
              "1000.\n");
    std::istringstream lines(out.str());
    std::string header, row;
    std::getline(lines, header);
    std::getline(lines, row);
    EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 4) << row;
    EXPECT_EQ(row.substr(row.size() - 2), "\t\t") << "the runs not done show no value";

    out.str("");
    ASSERT_EQ(Run({"--arrivals", "20000", "--max-in-system", "1000", "--json", path}), kRunOk);
    const auto doc = nlohmann::json::parse(out.str());
    EXPECT_EQ(doc["factor"]["limitStopRun"], 2);
    const auto& values = doc["dependencies"][0]["values"];
    ASSERT_EQ(values.size(), 4u);
    EXPECT_TRUE(values[1].is_number());
    EXPECT_TRUE(values[2].is_null());
    EXPECT_TRUE(values[3].is_null());
    EXPECT_TRUE(doc["stoppedByLimit"].get<bool>());
}

TEST(ProgressBarTest, ShowsTheShareAndTheRunOfAFactorExperiment) {
    EXPECT_EQ(ProgressBarText({0.0f, 0, 1}), "[..............................]   0%");
    EXPECT_EQ(ProgressBarText({0.5f, 0, 1}), "[###############...............]  50%");
    EXPECT_EQ(ProgressBarText({1.0f, 0, 1}), "[##############################] 100%");
    EXPECT_EQ(ProgressBarText({0.5f, 2, 4}),
              "[##################............]  62%  прогон 3 из 4");
}

TEST_F(RunnerTest, TheProgressBarIsDrawnOnlyWhereAskedAndClearedAfterwards) {
    const std::string path = Save(*Example("factor_devices.qsf"), "factor.qsf");
    std::ostringstream bar;
    ASSERT_EQ(RunBatch(ParseRunOptions({"--arrivals", "20000", path}).options, out, err,
                       {&bar, std::chrono::nanoseconds(0)}),
              kRunOk);
    const std::string drawn = bar.str();
    EXPECT_NE(drawn.find("прогон 5 из 5"), std::string::npos);
    // The bar is blanked out and the cursor back at the start of the line.
    ASSERT_GE(drawn.size(), 2u);
    EXPECT_EQ(drawn.back(), '\r');
    const size_t blankFrom = drawn.rfind('\r', drawn.size() - 2) + 1;
    const std::string blank = drawn.substr(blankFrom, drawn.size() - 1 - blankFrom);
    EXPECT_GE(blank.size(), 36u);
    EXPECT_EQ(blank.find_first_not_of(' '), std::string::npos);
    EXPECT_TRUE(err.str().empty()) << "the bar goes only where it was sent";
    const std::string table = out.str();

    // The same results without a bar.
    out.str("");
    RestoreRandomStartState();
    ASSERT_EQ(Run({"--arrivals", "20000", path}), kRunOk);
    EXPECT_EQ(out.str(), table);
}

// The files were written by the runner before its JSON was streamed; every
// example's report and document must stay the same to the byte.
TEST_F(RunnerTest, ExampleResultsStayByteIdentical) {
    const fs::path examples = fs::path(MARVOLT_SOURCE_DIR) / "examples";
    const fs::path expected = fs::path(MARVOLT_SOURCE_DIR) / "tests/data/example_results";
    for (const auto& e : BuildExampleModels())
        ExpectResultsAsStored(examples / e.fileName, expected);
}

// Written before the kernel's hot path was reworked: the benchmark models,
// a 45-node network and lines of up to 250 nodes among them, give the same
// results to the byte.
TEST_F(RunnerTest, BenchmarkModelResultsStayByteIdentical) {
    const fs::path expected = fs::path(MARVOLT_SOURCE_DIR) / "tests/data/bench_results";
    for (const auto& e : BuildBenchmarkModels())
        ExpectResultsAsStored(Save(*e.model, e.fileName), expected);
}

TEST_F(RunnerTest, ShippedExamplesMatchTheirBuilders) {
    const fs::path examples = fs::path(MARVOLT_SOURCE_DIR) / "examples";
    for (const auto& e : BuildExampleModels()) {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(WriteModelBytes(*e.model, nullptr, bytes));
        std::ifstream in(examples / e.fileName, std::ios::binary);
        ASSERT_TRUE(in) << e.fileName << ": run marvolt-examples examples";
        const std::vector<uint8_t> stored((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(stored, bytes) << e.fileName << " is out of date: run marvolt-examples examples";
        // Every example runs as it is.
        OpenedModels opened = ReadModelBytes(bytes.data(), bytes.size());
        ASSERT_EQ(opened.result, OpenResult::kOk);
        opened.current->arrivalsLimit = 1000;
        opened.current->stopByTime = 0;
        EXPECT_EQ(opened.current->Experiment(), kOk) << e.fileName;
    }
}

}  // namespace
}  // namespace marvolt
