// Replications as a user starts them: seeds, processes, merged documents.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>

#include "../kernel/model_builders.h"
#include "kernel/random_stat.h"
#include "study_fixture.h"
#include "tools/replication_study.h"
#include "tools/replications.h"

namespace marvolt {
namespace {

using Json = nlohmann::json;
using testing_models::Deterministic;
using testing_models::Exponential;
using testing_models::MakeQueueLine;

class ReplicationRunsTest : public test::StudyFixture {};

// M/M/1 with arrival rate 0.01 and service rate 0.0125: load 0.8 and a mean
// wait in the queue of rho / (mu - lambda) = 320 exactly.
TEST_F(ReplicationRunsTest, TwentyReplicationsOfMM1CoverTheExactMeanWait) {
    auto line = MakeQueueLine(Exponential(0.01f), Exponential(0.0125f));
    const std::string model = Save(*line.model, "mm1.qsf");
    // 50000 arrivals: the start from an empty system biases the mean by well
    // under one percent, a twentieth of the interval's half-width.
    const Json doc = Document({"--replications", "20", "--arrivals", "50000", model});
    EXPECT_EQ(doc["replicationCount"], 20);
    ASSERT_EQ(doc["replications"].size(), 20u);
    const Json& wait = Indicator(doc, indMeanWait, "Накопитель1");
    const double mean = wait["mean"], halfWidth = wait["halfWidth"];
    EXPECT_LE(mean - halfWidth, 320.0);
    EXPECT_GE(mean + halfWidth, 320.0);
    EXPECT_GT(halfWidth, 2.0);
    EXPECT_LT(halfWidth, 30.0);
    // The half-width is Student's over the replications' own values.
    Summary s;
    for (const Json& r : doc["replications"]) {
        EXPECT_EQ(r["values"].size(), doc["indicators"].size());
        size_t k = 0;
        for (; k < doc["indicators"].size(); ++k) {
            if (&doc["indicators"][k] == &wait)
                break;
        }
        s.Add(r["values"][k].get<double>());
    }
    EXPECT_DOUBLE_EQ(s.Mean(), mean);
    EXPECT_DOUBLE_EQ(s.HalfWidth(), halfWidth);
    EXPECT_TRUE(err.str().empty()) << err.str();
}

// Service times of a channel that is seldom busy are independent draws of a
// known mean. Intervals of three replications need Student's 4.30, not the
// normal 1.96, which would cover only about 81 % of the time.
TEST_F(ReplicationRunsTest, IntervalsOfFewReplicationsCoverAsOftenAsTheyShould) {
    auto line = MakeQueueLine(Deterministic(1.0f), Exponential(2.0f));
    const std::string model = Save(*line.model, "service.qsf");
    constexpr int kStudies = 200;
    int covered = 0;
    for (int i = 0; i < kStudies; ++i) {
        const Json doc = Document(
            {"--seed", std::to_string(3 * i), "--replications", "3", "--arrivals", "100", model});
        const Json& service = Indicator(doc, indMeanService, "Канал1");
        const double mean = service["mean"], halfWidth = service["halfWidth"];
        covered += std::abs(mean - 0.5) <= halfWidth;
    }
    // 95 % of 200 is 190 with a standard deviation of 3.1: allow 3.2 of them
    // either way; 200 out of 200 would mean intervals too wide.
    EXPECT_GE(covered, 180);
    EXPECT_LE(covered, 199);
}

TEST_F(ReplicationRunsTest, ReplicationZeroIsTheOrdinaryRunAndSeedsMoveTheStart) {
    const std::string model = Save(*Example("two_stage_line.qsf"), "line.qsf");
    ASSERT_EQ(Run({"--arrivals", "3000", model}), kRunOk);
    const std::string plain = Taken();
    RestoreRandomStartState();
    ASSERT_EQ(Run({"--arrivals", "3000", "--seed", "0", model}), kRunOk);
    EXPECT_EQ(Taken(), plain);
    ASSERT_EQ(Run({"--arrivals", "3000", "--seed", "1", model}), kRunOk);
    EXPECT_NE(Taken(), plain);

    // Every value a replication records is the one a single run shows.
    RestoreRandomStartState();
    const Json single = Document({"--arrivals", "3000", model});
    const Json study = Document({"--arrivals", "3000", "--replications", "2", model});
    const Json& values = study["replications"][0]["values"];
    ASSERT_EQ(values.size(), single["indicators"].size());
    for (size_t k = 0; k < values.size(); ++k) {
        EXPECT_EQ(values[k].get<double>(), single["indicators"][k]["value"].get<double>()) << k;
        EXPECT_EQ(study["indicators"][k]["name"], single["indicators"][k]["name"]);
        EXPECT_EQ(study["indicators"][k]["object"], single["indicators"][k]["object"]);
    }
    EXPECT_NE(study["replications"][1]["values"], values);
    // A single run's count of draws, checked against the states themselves.
    SetRandomState(ReplicationStartState(1));
    auto again = Example("two_stage_line.qsf");
    again->arrivalsLimit = 3000;
    again->Experiment();
    EXPECT_EQ(study["replications"][1]["draws"].get<uint64_t>(),
              RandomDrawsBetween(ReplicationStartState(1), RandomState()));
}

TEST_F(ReplicationRunsTest, ReplicationsNeverShareRandomValues) {
    const std::string model = Save(*Example("priorities.qsf"), "priorities.qsf");
    const Json doc = Document({"--replications", "40", "--arrivals", "2000", model});
    // Where each replication's values lie on the cycle: from its start, as
    // many as it drew. Sorted by start, none may reach the next one.
    std::vector<std::pair<uint64_t, uint64_t>> used;
    for (const Json& r : doc["replications"]) {
        const uint64_t draws = r["draws"];
        EXPECT_GT(draws, 4000u);
        used.push_back({ReplicationStartPosition(r["number"].get<uint32_t>()), draws});
    }
    std::sort(used.begin(), used.end());
    for (size_t i = 0; i < used.size(); ++i) {
        const uint64_t next =
            i + 1 < used.size() ? used[i + 1].first : used[0].first + kRandomValueCycle;
        EXPECT_LE(used[i].first + used[i].second, next) << i;
    }
    EXPECT_TRUE(err.str().empty()) << err.str();
}

TEST_F(ReplicationRunsTest, AReplicationThatRunsIntoAnothersStretchIsReported) {
    const std::string model = Save(*Example("mm1.qsf"), "mm1.qsf");
    // Replications up to 100001 leave each between about 6000 and 30000
    // draws; 20000 arrivals take 60000.
    ASSERT_EQ(Run({"--seed", "100000", "--replications", "2", "--arrivals", "20000", model}),
              kRunOk);
    const ReplicationStretchEnd end = ReplicationStretchOf(100000, 100002);
    EXPECT_NE(err.str().find("Предупреждение: прогон 100000 взял"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("вмещает " + std::to_string(end.draws) +
                             ": часть его чисел совпадает с числами прогона " +
                             std::to_string(end.next) + "."),
              std::string::npos)
        << err.str();
    // A run alone on a far seed is told too.
    err.str("");
    ASSERT_EQ(Run({"--seed", "2000000000", "--arrivals", "20000", model}), kRunOk);
    EXPECT_NE(err.str().find("прогон 2000000000 взял"), std::string::npos);
    // A short study says nothing.
    err.str("");
    ASSERT_EQ(Run({"--seed", "100000", "--replications", "2", "--arrivals", "200", model}), kRunOk);
    EXPECT_TRUE(err.str().empty()) << err.str();
}

TEST_F(ReplicationRunsTest, ProcessesGiveExactlyWhatOneProcessGives) {
    for (const char* example : {"three_devices.qsf", "factor_devices.qsf"}) {
        const std::string model = Save(*Example(example), example);
        for (const bool json : {false, true}) {
            std::vector<std::string> args{"--replications", "7", "--arrivals", "1500", model};
            if (json)
                args.push_back("--json");
            ASSERT_EQ(Run(args), kRunOk);
            const std::string one = Taken();
            for (const char* jobs : {"2", "3", "7", "16"}) {
                std::vector<std::string> spread = args;
                spread.insert(spread.begin(), {"--jobs", jobs});
                ASSERT_EQ(Run(spread), kRunOk) << err.str();
                EXPECT_EQ(Taken(), one) << example << " with " << jobs << " processes";
            }
        }
    }
}

TEST_F(ReplicationRunsTest, MergedPartsGiveWhatOneRunOfAllGives) {
    for (const char* example : {"priorities.qsf", "factor_devices.qsf"}) {
        const std::string model = Save(*Example(example), example);
        const std::vector<std::string> stop{"--arrivals", "1000", model};
        auto with = [&stop](std::vector<std::string> args) {
            args.insert(args.end(), stop.begin(), stop.end());
            return args;
        };
        const std::string a = Part("a.json", with({"--seed", "0", "--replications", "5"}));
        const std::string b = Part("b.json", with({"--seed", "5", "--replications", "3"}));
        const std::string c = Part("c.json", with({"--seed", "8", "--replications", "4"}));
        ASSERT_EQ(Run(with({"--replications", "12", "--json"})), kRunOk);
        const std::string all = Taken();
        ASSERT_EQ(Run(with({"--replications", "12"})), kRunOk);
        const std::string allReport = Taken();
        EXPECT_NE(allReport.find(" ± "), std::string::npos);

        // In any order, and merges of merges.
        ASSERT_EQ(Run({"--merge", "--json", c, a, b}), kRunOk) << err.str();
        EXPECT_EQ(Taken(), all) << example;
        ASSERT_EQ(Run({"--merge", b, c, a}), kRunOk);
        EXPECT_EQ(Taken(), allReport) << example;
        const std::string ab = Part("ab.json", {"--merge", a, b});
        ASSERT_EQ(Run({"--merge", "--json", ab, c}), kRunOk);
        EXPECT_EQ(Taken(), all) << example;
        EXPECT_TRUE(err.str().empty()) << err.str();
    }
}

TEST_F(ReplicationRunsTest, MergeRefusesWhatDoesNotBelongTogether) {
    const std::string mm1 = Save(*Example("mm1.qsf"), "mm1.qsf");
    const std::string a = Part("a.json", {"--replications", "3", "--arrivals", "500", mm1});
    const std::string longer =
        Part("long.json", {"--seed", "3", "--replications", "3", "--arrivals", "600", mm1});
    const std::string single = Part("single.json", {"--arrivals", "500", mm1});
    const std::string other =
        Part("other.json", {"--seed", "3", "--replications", "2", "--arrivals", "500",
                            Save(*Example("three_devices.qsf"), "t.qsf")});
    auto refused = [&](std::vector<std::string> files, const std::string& says) {
        err.str("");
        files.insert(files.begin(), "--merge");
        EXPECT_EQ(Run(files), kRunMergeRefused) << says;
        EXPECT_NE(err.str().find(says), std::string::npos) << err.str();
        EXPECT_TRUE(Taken().empty());
    };
    refused({a, a}, "это одни и те же случайные числа");
    refused({a, longer}, "с другим условием окончания");
    refused({a, other}, "получен на другой модели");
    refused({a, single}, "не содержит результатов прогонов");
    refused({a, (dir / "missing.json").string()}, "для чтения.");
    refused({Write("garbage.json", "{\"model\": [1, 2")}, "это не документ JSON");

    // A document cut down by hand.
    std::ifstream in(a);
    Json doc = Json::parse(in);
    Json shorter = doc;
    shorter["replications"][1]["values"].erase(0);
    refused({Write("shorter.json", shorter.dump())}, "не то число значений");
    Json fewer = doc;
    fewer["replicationCount"] = 5;
    refused({Write("fewer.json", fewer.dump())}, "число прогонов или показателей не сходится");
    Json badLayout = doc;
    badLayout["layout"]["nodes"][2]["admitted"] = Json::array({7});
    refused({Write("layout.json", badLayout.dump())}, "описание модели повреждено");
    Json farNumber = doc;
    farNumber["replications"][2]["number"] = uint64_t{1} << 31;
    refused({Write("far.json", farNumber.dump())}, "номер прогона");
    Json badValue = doc;
    badValue["replications"][0]["values"][3] = "x";
    refused({Write("value.json", badValue.dump())}, "значение прогона");

    // The same model saved with the results of a run is still the same model.
    const std::string saved = (dir / "saved.qsf").string();
    ASSERT_EQ(Run({"--arrivals", "300", "--save", saved, mm1}), kRunOk);
    Taken();
    const std::string b =
        Part("b.json", {"--seed", "3", "--replications", "2", "--arrivals", "500", saved});
    EXPECT_EQ(Run({"--merge", a, b}), kRunOk) << err.str();
}

TEST_F(ReplicationRunsTest, TheBarCountsReplicationsAndAFailedProcessIsAnError) {
    const std::string model = Save(*Example("mm1.qsf"), "mm1.qsf");
    const RunOptions three =
        ParseRunOptions({"--replications", "3", "--arrivals", "20000", model}).options;
    std::ostringstream bar;
    ASSERT_EQ(RunBatch(three, out, err, {&bar, std::chrono::nanoseconds(0)}), kRunOk);
    EXPECT_NE(bar.str().find("прогон 3 из 3"), std::string::npos);
    EXPECT_EQ(bar.str().back(), '\r') << "the bar is cleared at the end";
    Taken();

    // A worker that cannot draw its bar fails; its parent says so and prints nothing.
    struct Refusing : std::streambuf {
        int_type overflow(int_type) override { return traits_type::eof(); }
    } refusing;
    std::ostream broken(&refusing);
    broken.exceptions(std::ios::badbit);
    const RunOptions spread =
        ParseRunOptions({"--replications", "4", "--jobs", "2", "--arrivals", "20000", model})
            .options;
    EXPECT_EQ(RunBatch(spread, out, err, {&broken, std::chrono::nanoseconds(0)}), kRunWorkerFailed);
    EXPECT_NE(err.str().find("Процесс прогонов 1 из 2 завершился с ошибкой."), std::string::npos)
        << err.str();
    EXPECT_TRUE(Taken().empty());
}

TEST(ReplicationOptionsTest, SeedsCountsAndProcessesAreChecked) {
    auto error = [](std::vector<std::string> args) { return ParseRunOptions(args).error; };
    EXPECT_TRUE(error({"--seed", "0", "m.qsf"}).empty());
    EXPECT_TRUE(error({"--seed", "2147483647", "m.qsf"}).empty());
    EXPECT_NE(error({"--seed", "2147483648", "m.qsf"}).find("от 0 до 2147483647"),
              std::string::npos);
    EXPECT_FALSE(error({"--seed", "-1", "m.qsf"}).empty());
    EXPECT_FALSE(error({"--replications", "0", "m.qsf"}).empty());
    EXPECT_FALSE(error({"--jobs", "0", "--replications", "2", "m.qsf"}).empty());
    EXPECT_FALSE(error({"--jobs", "257", "--replications", "2", "m.qsf"}).empty());
    EXPECT_NE(error({"--jobs", "2", "m.qsf"}).find("требует --replications"), std::string::npos);
    EXPECT_FALSE(error({"--replications", "2", "--save", "o.qsf", "m.qsf"}).empty());
    EXPECT_TRUE(error({"--seed", "2147483640", "--replications", "8", "m.qsf"}).empty());
    EXPECT_FALSE(error({"--seed", "2147483640", "--replications", "9", "m.qsf"}).empty());
    EXPECT_FALSE(error({"--merge", "--time", "5", "a.json"}).empty());
    EXPECT_FALSE(error({"--merge"}).empty());
    const ParsedOptions merge = ParseRunOptions({"a.json", "--merge", "--json", "b.json"});
    EXPECT_TRUE(merge.error.empty());
    EXPECT_EQ(merge.options.mergeFiles, (std::vector<std::string>{"a.json", "b.json"}));
    EXPECT_TRUE(merge.options.model.empty());
}

TEST(ReplicationRecordsTest, RecordsOfWorkersComeBackWholeOrNotAtAll) {
    ReplicationOutcome o;
    o.number = 7;
    o.draws = 5000000000u;
    o.stopReason = StopReason::kProgressGuard;
    o.values = {1.5, std::nan(""), -2.0};
    std::FILE* f = std::tmpfile();
    ASSERT_TRUE(f);
    ASSERT_TRUE(WriteOutcome(f, o));
    const long whole = std::ftell(f);
    std::rewind(f);
    ReplicationOutcome back;
    ASSERT_TRUE(ReadOutcome(f, back));
    EXPECT_EQ(back.number, 7u);
    EXPECT_EQ(back.draws, 5000000000u);
    EXPECT_EQ(back.stopReason, StopReason::kProgressGuard);
    ASSERT_EQ(back.values.size(), 3u);
    EXPECT_TRUE(std::isnan(back.values[1]));
    EXPECT_EQ(back.values[2], -2.0);
    // Cut short by a worker that died while writing.
    std::FILE* cut = std::tmpfile();
    ASSERT_TRUE(cut);
    std::rewind(f);
    std::vector<char> bytes(static_cast<size_t>(whole));
    ASSERT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fwrite(bytes.data(), 1, bytes.size() - 1, cut);
    std::rewind(cut);
    EXPECT_FALSE(ReadOutcome(cut, back));
    std::fclose(cut);
    std::fclose(f);
}

}  // namespace
}  // namespace marvolt
