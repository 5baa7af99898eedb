// The results model of the experiment window: when it is the current model,
// when a copy, and what each run command does to it.
#include "results/logic/results_session.h"

#include "results/logic/dependency_lists.h"

#include <gtest/gtest.h>

#include <chrono>

#include "results/application_data.h"
#include "tests/kernel/model_builders.h"
#include "tests/results_logic/owned_models.h"

namespace marvolt {
namespace {

using namespace testing_models;

using Place = test::OwnedModels;

class ResultsSessionTest : public ::testing::Test {
  protected:
    QueueLine line = MakeQueueLine(Exponential(1.0f), Exponential(2.0f));
    Place place;
    ResultsSession session{place};

    void SetUp() override {
        RestoreRandomStartState();
        place.current = std::move(line.model);
        place.current->arrivalsLimit = 200;
    }
    CQueuingSystem& Current() { return *place.current; }
};

TEST_F(ResultsSessionTest, ASimpleRunIsShownUntilTheSnapshotKeepsItApart) {
    EXPECT_EQ(session.Results(), nullptr);
    place.results = std::make_unique<CQueuingSystem>();  // what a file brought
    EXPECT_EQ(session.SimpleRun().end, RunEnd::kFinished);
    EXPECT_EQ(session.Results(), &Current());
    EXPECT_EQ(place.results, nullptr) << "the previous results are gone";
    EXPECT_TRUE(session.ResultsAreCurrent());
    EXPECT_EQ(Current().resultsValid, 1);

    session.Snapshot();
    ASSERT_NE(session.Results(), nullptr);
    EXPECT_NE(session.Results(), &Current());
    const std::string report = CAppData::ReportText(session.Results());
    EXPECT_EQ(report, CAppData::ReportText(&Current()));
    // Editing the model afterwards leaves the results alone.
    Current().DeleteNode("Канал1");
    EXPECT_EQ(CAppData::ReportText(session.Results()), report);
}

TEST_F(ResultsSessionTest, ClosingKeepsTheResultsApartFromTheModel) {
    session.SimpleRun();
    session.Close();
    EXPECT_FALSE(session.ResultsAreCurrent());
    EXPECT_EQ(Current().resultsValid, 0);
    ASSERT_NE(place.results, nullptr);
    EXPECT_EQ(place.results->resultsValid, 1);
    EXPECT_EQ(place.results->arrived, 201u);
    session.Forget();
    EXPECT_EQ(place.results, nullptr);
    EXPECT_EQ(session.Results(), nullptr);
}

TEST_F(ResultsSessionTest, AFactorExperimentLeavesTheShownResultsAlone) {
    session.SimpleRun();
    const std::string shown = CAppData::ReportText(session.Results());
    FactorSettings f;
    f.factorObject = line.kChannelAt;
    f.factorParameter = kFactorDevices;
    f.startValue = 1;
    f.step = 1;
    f.valueCount = 3;
    ASSERT_EQ(Current().SetFactor(f, 63), kOk);
    Current().AddDependency(line.kChannelAt, kNoIndex, indLoad);
    Current().arrivalsLimit = 500;
    EXPECT_EQ(session.FactorRun().end, RunEnd::kFinished);
    EXPECT_EQ(Current().factorRun, 1);
    EXPECT_EQ(Current().Dependency(0)->values.size(), 3u);
    ASSERT_NE(session.Results(), &Current());
    EXPECT_EQ(CAppData::ReportText(session.Results()), shown);
    EXPECT_NE(CAppData::ReportText(&Current()), shown) << "the runs did change the model's nodes";
    // The next simple run is a simple run again.
    EXPECT_EQ(session.SimpleRun().end, RunEnd::kFinished);
    EXPECT_EQ(Current().factorRun, 0);
}

TEST_F(ResultsSessionTest, AFactorExperimentTheBoundStoppedSaysWhichRunAndDrawsOnlyTheRunsDone) {
    // Intensities 0.5, 1.5 and 2.5 against a service rate of 2: the third run piles up.
    FactorSettings f;
    f.factorObject = line.kGeneratorAt;
    f.factorParameter = kFactorIntervalIntensity;
    f.startValue = 0.5f;
    f.step = 1.0f;
    f.valueCount = 3;
    ASSERT_EQ(Current().SetFactor(f, 63), kOk);
    const DependKey key{line.kQueueAt, kNoIndex, indMeanWait};
    Current().AddDependency(key.object, key.type, key.id);
    Current().arrivalsLimit = 20000;
    Current().SetInSystemLimit(1000);

    const RunOutcome outcome = session.FactorRun();
    EXPECT_EQ(outcome.end, RunEnd::kStopped);
    EXPECT_NE(outcome.notice.find(CAppData::StopReasonText(StopReason::kTooManyRequests)),
              std::string::npos);
    EXPECT_NE(outcome.notice.find("на прогоне 3 из 3"), std::string::npos) << outcome.notice;
    EXPECT_NE(outcome.notice.find("1000"), std::string::npos) << outcome.notice;
    // The stopped run gave no value: it is neither drawn nor kept in the file.
    EXPECT_EQ(DependencyPoints(Current(), *Current().Dependency(0)).size(), 2u);
    EXPECT_EQ(Current().dependencies.valueCount, 2);
}

TEST_F(ResultsSessionTest, AFactorExperimentNeedsAFactorAndDependencies) {
    EXPECT_EQ(session.FactorRun().end, RunEnd::kNoFactor);
    FactorSettings f;
    f.factorObject = line.kQueueAt;
    ASSERT_EQ(Current().SetFactor(f, kFactorMaskObject), kOk);
    EXPECT_EQ(session.FactorRun().end, RunEnd::kNoDependencies);
    Current().AddDependency(kNoIndex, kNoIndex, indThroughput);
    // Parameter 0 is no parameter of a queue.
    EXPECT_EQ(session.FactorRun().end, RunEnd::kInvalidFactor);
    EXPECT_EQ(session.Results(), nullptr);
}

TEST_F(ResultsSessionTest, AFactorValueTheLawDialogWouldRefuseNeverReachesARun) {
    // Intensities 0, 1, 2: the first would make the generator's law useless.
    FactorSettings f;
    f.factorObject = line.kGeneratorAt;
    f.factorParameter = kFactorIntervalIntensity;
    f.startValue = 0;
    f.step = 1;
    f.valueCount = 3;
    ASSERT_EQ(Current().SetFactor(f, 63), kOk);
    Current().AddDependency(kNoIndex, kNoIndex, indThroughput);
    EXPECT_EQ(session.FactorRun().end, RunEnd::kInvalidFactor);
    EXPECT_TRUE(Current().Dependency(0)->values.empty()) << "nothing ran";
    EXPECT_EQ(Current().lastRunWasFactor, 0);
    f.startValue = 0.5f;
    ASSERT_EQ(Current().SetFactor(f, kFactorMaskStart), kOk);
    EXPECT_EQ(session.FactorRun().end, RunEnd::kFinished);
}

TEST_F(ResultsSessionTest, ARunTheGuardStoppedIsShownWithItsWarning) {
    // Batches of no request: the count criterion is never reached.
    line.generator->batchLaw = Deterministic(0.0f);
    Current().progressGuard = 1000;
    const RunOutcome outcome = session.SimpleRun();
    EXPECT_EQ(outcome.end, RunEnd::kStopped);
    EXPECT_EQ(outcome.notice, CAppData::StopReasonText(StopReason::kProgressGuard));
    EXPECT_EQ(session.Results(), &Current());
    const std::vector<RunMessage> boxes = RunMessages(outcome, true);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, MessageKind::kWarning);
    EXPECT_EQ(boxes[0].text, CAppData::StopReasonText(StopReason::kProgressGuard));
}

// A callback that cancels the first time it is asked.
bool CancelAtOnce(const RunProgress&) {
    return false;
}

TEST_F(ResultsSessionTest, ACancelledRunLeavesThePreviousResultsShown) {
    session.SimpleRun();
    const std::string shown = CAppData::ReportText(session.Results());
    Current().arrivalsLimit = 1000000;
    Current().progressPeriod = std::chrono::nanoseconds(0);
    EXPECT_EQ(session.SimpleRun(CancelAtOnce).end, RunEnd::kCancelled);
    ASSERT_NE(session.Results(), nullptr);
    EXPECT_NE(session.Results(), &Current());
    EXPECT_EQ(CAppData::ReportText(session.Results()), shown);
    EXPECT_EQ(Current().resultsValid, 0) << "the cut run's indicators are no results";
    EXPECT_LT(Current().arrived, 1000000u);

    // Without earlier results there is still nothing to show.
    Place empty;
    empty.current = CQueuingSystem::CopyModel(Current(), false);
    empty.current->progressPeriod = std::chrono::nanoseconds(0);
    ResultsSession fresh(empty);
    EXPECT_EQ(fresh.SimpleRun(CancelAtOnce).end, RunEnd::kCancelled);
    EXPECT_EQ(fresh.Results(), nullptr);
}

TEST_F(ResultsSessionTest, ACancelledFactorExperimentKeepsTheLastDependencies) {
    FactorSettings f;
    f.factorObject = line.kChannelAt;
    f.factorParameter = kFactorDevices;
    f.startValue = 1;
    f.step = 1;
    f.valueCount = 2;
    ASSERT_EQ(Current().SetFactor(f, 63), kOk);
    Current().AddDependency(line.kChannelAt, kNoIndex, indLoad);
    ASSERT_EQ(session.FactorRun().end, RunEnd::kFinished);
    const std::vector<float> values = Current().Dependency(0)->values;
    const FactorSettings used = Current().usedFactor;

    f.valueCount = 5;
    f.startValue = 3;
    ASSERT_EQ(Current().SetFactor(f, 63), kOk);
    Current().arrivalsLimit = 1000000;
    Current().progressPeriod = std::chrono::nanoseconds(0);
    line.channel->deviceCount = 7;
    EXPECT_EQ(session.FactorRun(CancelAtOnce).end, RunEnd::kCancelled);
    EXPECT_EQ(Current().Dependency(0)->values, values);
    EXPECT_EQ(Current().usedFactor, used);
    EXPECT_EQ(Current().dependencies.valueCount, 2);
    EXPECT_EQ(line.channel->deviceCount, 7) << "the factor is put back";
}

TEST(RunMessagesTest, TheBoxesOfEachEnd) {
    EXPECT_TRUE(RunMessages({RunEnd::kFinished, {}}, false).empty());
    const auto done = RunMessages({RunEnd::kFinished, {}}, true);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].kind, MessageKind::kExperimentResult);
    EXPECT_EQ(done[0].text, "Эксперимент успешно завершен.");
    EXPECT_EQ(RunMessages({RunEnd::kNoFactor, {}}, false)[0].kind, MessageKind::kNotice);
    EXPECT_EQ(RunMessages({RunEnd::kNoDependencies, {}}, false)[0].text,
              "Перед проведением эксперимента необходимо\nсоставить список зависимостей.");
    EXPECT_EQ(RunMessages({RunEnd::kInvalidFactor, {}}, false)[0].text,
              "Фактор установлен некорректно.\nЭксперимент не может быть проведен.");
    const auto cancelled = RunMessages({RunEnd::kCancelled, {}}, true);
    ASSERT_EQ(cancelled.size(), 1u);
    EXPECT_EQ(cancelled[0].text.find("успешно"), std::string::npos);
}

}  // namespace
}  // namespace marvolt
