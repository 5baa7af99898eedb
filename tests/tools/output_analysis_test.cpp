// Warm-up deletion, replications until a precision, CSV and what a result
// document says of itself, as a user of the runner meets them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "../kernel/model_builders.h"
#include "study_fixture.h"
#include "tools/csv_output.h"
#include "tools/mser.h"
#include "tools/sha256.h"

namespace marvolt {
namespace {

using Json = nlohmann::json;
using testing_models::Exponential;
using testing_models::MakeQueueLine;

std::string Hex(const std::string& text) {
    return Sha256Hex(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

TEST(Sha256Test, StandardVectorsAndPiecewiseInput) {
    EXPECT_EQ(Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const std::string two = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(Hex(two), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    const std::string million(1000000, 'a');
    EXPECT_EQ(Hex(million), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // Pieces that straddle the 64-byte blocks give the digest of the whole.
    Sha256 s;
    for (size_t at = 0, step = 1; at < two.size(); at += step, step = step % 13 + 7)
        s.Add(reinterpret_cast<const uint8_t*>(two.data()) + at, std::min(step, two.size() - at));
    const std::array<uint8_t, 32> d = s.Finish();
    EXPECT_EQ(d[0], 0x24);
    EXPECT_EQ(d[31], 0xc1);
}

TEST(MserTest, CutsATransientAndLeavesASteadySeriesWhole) {
    // 40 batches far above the rest, then a level with a small alternating wobble.
    std::vector<double> means;
    for (int i = 0; i < 40; ++i)
        means.push_back(100.0 - i);
    for (int i = 0; i < 160; ++i)
        means.push_back(10.0 + (i % 2 ? 0.5 : -0.5));
    EXPECT_EQ(MserCut(means), 40u);
    // The search stops at half the series: a transient longer than that is cut there.
    std::vector<double> longTransient(100, 0.0);
    for (int i = 0; i < 100; ++i)
        longTransient[i] = i < 80 ? 100.0 - i : 0.0;
    EXPECT_EQ(MserCut(longTransient), 50u);
    EXPECT_EQ(MserCut(std::vector<double>(50, 3.0)), 0u);  // the earliest of equal scores
    EXPECT_EQ(MserCut(std::vector<double>(means.begin(), means.begin() + 9)), 0u);

    // Batches of five observations, each timed by its first; the last
    // incomplete batch is left out.
    MserSeries s;
    for (int i = 0; i < 5 * 200 + 3; ++i)
        s.Add(means[static_cast<size_t>(i / 5)], 2.0 * i);
    EXPECT_EQ(s.BatchCount(), 200u);
    EXPECT_DOUBLE_EQ(s.CutTime(), 2.0 * 5 * 40);
}

TEST(CsvTest, FieldsAreQuotedOnlyWhereNeededAndNumbersReadBack) {
    EXPECT_EQ(CsvField("Канал1"), "Канал1");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(CsvField(" padded"), "\" padded\"");
    EXPECT_EQ(CsvNumber(0.1), "0.1");
    EXPECT_EQ(std::strtod(CsvNumber(1.0 / 3.0).c_str(), nullptr), 1.0 / 3.0);
    EXPECT_EQ(CsvNumber(NAN), "");
    EXPECT_EQ(CsvSummaryPath("out/results.csv"), "out/results_summary.csv");
    EXPECT_EQ(CsvSummaryPath("results"), "results_summary");
}

class OutputAnalysisTest : public test::StudyFixture {
  protected:
    std::string MM1(float arrivalRate, float serviceRate, const std::string& name) {
        auto line = MakeQueueLine(Exponential(arrivalRate), Exponential(serviceRate));
        return Save(*line.model, name);
    }
};

// M/M/1 at load 0.9 from empty, short runs: some replications have a start
// to cut. Each one's statistics are those of a fixed warm-up at the time it
// reports, in one process or two.
TEST_F(OutputAnalysisTest, AnAutomaticWarmupIsTheFixedOneItReportsForEachReplication) {
    const std::string model = MM1(0.01f, 1.0f / 90.0f, "mm1_09.qsf");
    const std::vector<std::string> study = {
        "--warmup", "auto", "--replications", "12", "--seed", "40", "--arrivals", "2000", model};
    const Json doc = Document(study);
    std::vector<std::string> spread = study;
    spread.insert(spread.begin(), {"--jobs", "2"});
    EXPECT_EQ(Document(spread), doc);
    size_t cut = 0;
    for (const Json& r : doc["replications"]) {
        const double warmup = r["warmup"];
        if (warmup == 0)
            continue;
        ++cut;
        const Json fixed =
            Document({"--warmup", CsvNumber(warmup), "--replications", "1", "--seed",
                      std::to_string(r["number"].get<int>()), "--arrivals", "2000", model});
        EXPECT_EQ(fixed["replications"][0]["values"], r["values"]) << r["number"];
    }
    EXPECT_GE(cut, 2u);
    // The report lists them.
    ASSERT_EQ(Run(study), kRunOk);
    const std::string report = Taken();
    EXPECT_NE(report.find("выбран по MSER-5"), std::string::npos);
    EXPECT_NE(report.find("\tПрогон 51:\t" + CsvNumber(doc["replications"][11]["warmup"])),
              std::string::npos);
}

TEST_F(OutputAnalysisTest, PrecisionStopsAtItsTargetOrSaysTheMostWasReached) {
    const std::string model = MM1(0.01f, 0.0125f, "mm1_08.qsf");
    const Json doc = Document({"--precision", "0.05", "--replications", "3..60", "--jobs", "2",
                               "--arrivals", "20000", model});
    const Json& p = doc["precision"];
    EXPECT_TRUE(p["reached"].get<bool>());
    const uint64_t used = p["used"];
    EXPECT_EQ(doc["replications"].size(), used);
    EXPECT_GE(used, 3u);
    EXPECT_LT(used, 60u);
    ASSERT_EQ(p["targets"].size(), 2u);  // the queue's mean wait, the mean number inside
    const Json& wait = p["targets"][0];
    EXPECT_EQ(wait["id"], indMeanWait);
    const double mean = wait["mean"], halfWidth = wait["halfWidth"];
    EXPECT_LE(halfWidth, 0.05 * mean);
    EXPECT_NEAR(mean, 320.0, halfWidth);
    // The document's own summary agrees with what the test followed.
    EXPECT_DOUBLE_EQ(Indicator(doc, indMeanWait, "Накопитель1")["mean"].get<double>(), mean);
    // One process or two: the same replications are used.
    const Json alone =
        Document({"--precision", "0.05", "--replications", "3..60", "--arrivals", "20000", model});
    EXPECT_EQ(alone["precision"]["used"], used);

    ASSERT_EQ(Run({"--precision", "0.001", "--replications", "2..4", "--target", "13:Накопитель1",
                   "--arrivals", "2000", model}),
              kRunOk);
    EXPECT_NE(Taken().find("не достигнута"), std::string::npos);
    EXPECT_NE(err.str().find("наибольшее число прогонов, 4"), std::string::npos);
    EXPECT_EQ(Run({"--precision", "0.1", "--replications", "2..4", "--target", "13:Нет", model}),
              kRunBadArguments);
}

// What Python's csv module reads from the files, as a JSON document.
std::string ReadBackWithPython(const std::string& rows, const std::string& summary) {
    const std::string script =
        "import csv, json, sys\n"
        "def read(p):\n"
        "    with open(p, newline='', encoding='utf-8-sig') as f:\n"
        "        return list(csv.DictReader(f))\n"
        "print(json.dumps({'rows': read(sys.argv[1]), 'summary': read(sys.argv[2])}))\n";
    const std::string command = "python3 -c \"$MARVOLT_SCRIPT\" '" + rows + "' '" + summary + "'";
    ::setenv("MARVOLT_SCRIPT", script.c_str(), 1);
    std::FILE* p = ::popen(command.c_str(), "r");
    std::string text;
    char buffer[4096];
    while (p && std::fgets(buffer, sizeof buffer, p))
        text += buffer;
    if (p)
        ::pclose(p);
    return text;
}

TEST_F(OutputAnalysisTest, CsvReadBackHoldsEveryValueAndTheDocumentsSummary) {
    if (std::system("python3 -c 'import csv' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 is not installed";
    // A node name with a comma and a quote must come back whole.
    auto line = MakeQueueLine(Exponential(0.01f), Exponential(0.0125f));
    line.queue->name = "Очередь, \"главная\"";
    const std::string model = Save(*line.model, "mm1.qsf");
    const std::string csv = (dir / "out.csv").string();
    const Json doc = Document({"--replications", "4", "--seed", "3", "--warmup", "2000",
                               "--arrivals", "3000", "--csv", csv, model});
    const Json back = Json::parse(ReadBackWithPython(csv, (dir / "out_summary.csv").string()));
    const Json& rows = back["rows"];
    const size_t perReplication = doc["indicators"].size();
    ASSERT_EQ(rows.size(), 4 * perReplication);
    // Replication r's k-th row is the k-th value of the document's replication r.
    for (size_t r = 0; r < 4; ++r) {
        const Json& rep = doc["replications"][r];
        for (size_t k = 0; k < perReplication; ++k) {
            const Json& row = rows[r * perReplication + k];
            ASSERT_EQ(row["replication"], std::to_string(r + 1));
            EXPECT_EQ(row["seed"], std::to_string(3 + r));
            EXPECT_EQ(std::stod(row["warmup"].get<std::string>()), 2000.0);
            EXPECT_EQ(row["object"], doc["indicators"][k]["object"]);
            EXPECT_EQ(row["id"], std::to_string(doc["indicators"][k]["id"].get<int>()));
            const Json& v = rep["values"][k];
            if (v.is_null()) {
                EXPECT_EQ(row["value"], "");
            } else {
                EXPECT_EQ(std::stod(row["value"].get<std::string>()), v.get<double>());
            }
        }
    }
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const Json& row) {
        return row["object"] == "Очередь, \"главная\"";
    }));
    const Json& summary = back["summary"];
    ASSERT_EQ(summary.size(), perReplication);
    for (size_t k = 0; k < perReplication; ++k) {
        const Json& want = doc["indicators"][k];
        EXPECT_EQ(summary[k]["name"], want["name"]);
        EXPECT_EQ(summary[k]["count"], "4");
        for (const char* field : {"mean", "halfWidth"}) {
            const std::string got = summary[k][field];
            if (want[field].is_null()) {
                EXPECT_EQ(got, "");
            } else {
                EXPECT_EQ(std::stod(got), want[field].get<double>()) << k << field;
            }
        }
    }
}

TEST_F(OutputAnalysisTest, ARunIsRepeatedExactlyFromWhatItsDocumentSays) {
    const std::string model = MM1(0.01f, 0.0125f, "mm1.qsf");
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(model, bytes));
    const std::string first = [&] {
        EXPECT_EQ(Run({"--json", "--replications", "3", "--seed", "11", "--warmup", "auto",
                       "--arrivals", "4000", model}),
                  kRunOk);
        return Taken();
    }();
    const Json doc = Json::parse(first);
    const Json& about = doc["about"];
    EXPECT_EQ(about["schemaVersion"], 2);
    EXPECT_FALSE(about["programVersion"].get<std::string>().empty());
    EXPECT_EQ(about["modelSha256"], Sha256Hex(bytes.data(), bytes.size()));
    EXPECT_EQ(about["stopCriterion"]["by"], "arrivals");
    EXPECT_EQ(about["warmup"], "auto");
    // Each replication's number is its seed; the first and the count repeat the study.
    const Json& reps = doc["replications"];
    std::vector<std::string> again = {"--json",
                                      "--replications",
                                      std::to_string(reps.size()),
                                      "--seed",
                                      std::to_string(reps[0]["number"].get<int>()),
                                      "--warmup",
                                      about["warmup"],
                                      "--arrivals",
                                      std::to_string(about["stopCriterion"]["limit"].get<int>()),
                                      model};
    ASSERT_EQ(Run(again), kRunOk);
    EXPECT_TRUE(Taken() == first);

    // A single run names its replication too, and the warm-up it started at.
    const Json single = Document({"--seed", "5", "--warmup", "3000", "--time", "100000", model});
    EXPECT_EQ(single["about"]["replication"], 5);
    EXPECT_EQ(single["about"]["stopCriterion"]["by"], "time");
    EXPECT_EQ(single["statisticsStart"], 3000.0);
}

TEST_F(OutputAnalysisTest, PartsWithTheSameWarmupMergeIntoOneStudyAndOthersAreRefused) {
    const std::string model = MM1(0.01f, 0.0125f, "mm1.qsf");
    const auto part = [&](const std::string& name, std::vector<std::string> args) {
        args.insert(args.begin(), {"--arrivals", "3000"});
        args.push_back(model);
        return Part(name, args);
    };
    const std::string a = part("a.json", {"--warmup", "auto", "--replications", "3"});
    const std::string b =
        part("b.json", {"--warmup", "auto", "--replications", "2", "--seed", "3"});
    ASSERT_EQ(
        Run({"--json", "--warmup", "auto", "--replications", "5", "--arrivals", "3000", model}),
        kRunOk);
    const std::string whole = Taken();
    const std::string csv = (dir / "merged.csv").string();
    ASSERT_EQ(Run({"--merge", "--json", "--csv", csv, b, a}), kRunOk) << err.str();
    EXPECT_TRUE(Taken() == whole);
    EXPECT_TRUE(std::filesystem::exists(dir / "merged_summary.csv"));

    const std::string fixed =
        part("c.json", {"--warmup", "500", "--replications", "2", "--seed", "3"});
    EXPECT_EQ(Run({"--merge", a, fixed}), kRunMergeRefused);
    EXPECT_NE(err.str().find("с другим разгоном"), std::string::npos);
}

TEST_F(OutputAnalysisTest, OptionsThatDoNotFitAreRefusedAndAWarmupPastTheEndSaysSo) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--warmup", "-1", "m"},
             {"--warmup", "soon", "m"},
             {"--precision", "0.05", "m"},
             {"--precision", "0.05", "--replications", "5", "m"},
             {"--replications", "3..9", "m"},
             {"--precision", "0.05", "--replications", "9..3", "m"},
             {"--precision", "1.5", "--replications", "3..9", "m"},
             {"--target", "13", "m"},
             {"--warmup", "10", "--save", "x.qsf", "m"},
             {"--warmup", "500", "--time", "400", "m"},
             {"--merge", "--warmup", "5", "a.json"},
         }) {
        EXPECT_FALSE(ParseRunOptions(args).error.empty()) << args[0] << ' ' << args[1];
    }
    const std::string model = MM1(0.01f, 0.0125f, "mm1.qsf");
    EXPECT_EQ(Run({"--warmup", "1e9", "--arrivals", "100", model}), kRunWarmupPastEnd);
    EXPECT_NE(err.str().find("раньше, чем разгон"), std::string::npos);
    EXPECT_EQ(Run({"--warmup", "1e9", "--replications", "2", "--arrivals", "100", model}),
              kRunWarmupPastEnd);
}

}  // namespace
}  // namespace marvolt
