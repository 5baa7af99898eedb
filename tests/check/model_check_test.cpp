// The model check: each finding on a small model that has exactly that problem.
#include "check/model_check.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../kernel/model_builders.h"
#include "persistence/model_file.h"

namespace marvolt {
namespace {

using namespace testing_models;

std::vector<FindingKind> Kinds(const std::vector<Finding>& findings) {
    std::vector<FindingKind> kinds;
    for (const Finding& f : findings)
        kinds.push_back(f.kind);
    return kinds;
}

// Generator -> queue -> channel -> sink, a load of 0.5: nothing to remark.
class ModelCheckTest : public ::testing::Test {
  protected:
    QueueLine line = MakeQueueLine(Exponential(1.0f), Exponential(2.0f));
    CQueuingSystem& m = *line.model;

    // The one finding the model has; fails unless there is exactly one.
    Finding Only() {
        const std::vector<Finding> findings = CheckModel(m);
        if (findings.size() != 1) {
            ADD_FAILURE() << findings.size() << " findings instead of one";
            for (const Finding& f : findings)
                ADD_FAILURE() << f.text;
        }
        return findings.empty() ? Finding{FindingKind::kNoRefusalSink, 0, {}} : findings[0];
    }
};

TEST_F(ModelCheckTest, AnOrdinaryLineHasNothingToRemark) {
    EXPECT_TRUE(CheckModel(m).empty());
    EXPECT_EQ(CheckSummary(0), "Замечаний нет.");
    EXPECT_EQ(CheckSummary(3), "Замечаний: 3.");
}

TEST_F(ModelCheckTest, NoRefusalSink) {
    CQueuingSystem bare;
    bare.AddRequestType("Тип_заявки1");
    CGenerator* g = bare.AddGenerator("Генератор1");
    g->SetGeneratedType(0, true);
    g->typeProbabilities[0] = 1.0f;
    bare.AddSink("Сток1");
    bare.Link(0, 1);
    const std::vector<Finding> findings = CheckModel(bare);
    ASSERT_EQ(Kinds(findings), std::vector<FindingKind>({FindingKind::kNoRefusalSink}));
    EXPECT_EQ(findings[0].node, kNoIndex);
}

TEST_F(ModelCheckTest, GeneratorWithoutTypesBatchesOrTime) {
    m.AddGenerator("Генератор2");
    ASSERT_EQ(m.Link(5, 2), kOk);
    Finding f = Only();
    EXPECT_EQ(f.kind, FindingKind::kNoGeneratedType);
    EXPECT_EQ(f.node, 5);
    EXPECT_EQ(f.text, "Генератор \"Генератор2\" не генерирует ни одного типа заявок.");
    ASSERT_EQ(m.DeleteNode("Генератор2"), kOk);

    line.generator->batchLaw = Deterministic(0.4f);
    EXPECT_EQ(Only().kind, FindingKind::kEmptyBatch);
    line.generator->batchLaw = Uniform(0.0f, 1.0f);  // about half the events make one
    EXPECT_TRUE(CheckModel(m).empty());

    // An interval of 0 keeps the time at 0: a problem only when time ends the run.
    line.generator->intervalLaw = Deterministic(0.0f);
    EXPECT_TRUE(CheckModel(m).empty());
    m.stopByTime = 1;
    f = Only();
    EXPECT_EQ(f.kind, FindingKind::kZeroInterval);
    EXPECT_EQ(f.node, 1);
    line.generator->intervalLaw = Uniform(0.0f, 0.0f);
    EXPECT_EQ(Only().kind, FindingKind::kZeroInterval);
    line.generator->intervalLaw = Uniform(0.0f, 2.0f);
    EXPECT_TRUE(CheckModel(m).empty()) << "a short interval still moves time on";
}

TEST_F(ModelCheckTest, ProbabilitySumsWithinTheModelsPrecision) {
    m.AddRequestType("Срочная");
    line.generator->SetGeneratedType(1, true);
    line.generator->typeProbabilities = {0.5f, 0.4995f};
    EXPECT_TRUE(CheckModel(m).empty());
    line.generator->typeProbabilities = {0.5f, 0.498f};
    Finding f = Only();
    EXPECT_EQ(f.kind, FindingKind::kTypeProbabilities);
    EXPECT_EQ(f.text, "Генератор \"Генератор1\": сумма вероятностей генерации типов заявок "
                      "равна 0.998, а не 1.");
    line.generator->typeProbabilities = {0.5f, 0.5f};

    // Random routing from the channel to two sinks.
    m.AddSink("Сток2");
    ASSERT_EQ(m.Link(3, 5), kOk);
    line.channel->routingDiscipline = kRouteRandom;
    line.channel->routingProbabilities = {0.5f, 0.3f};
    f = Only();
    EXPECT_EQ(f.kind, FindingKind::kRoutingProbabilities);
    EXPECT_EQ(f.node, 3);
    EXPECT_EQ(f.text, "Канал \"Канал1\": сумма вероятностей выбора приемников равна 0.8, а не 1.");
    // In list order the probabilities are not used.
    line.channel->routingDiscipline = kRouteInOrder;
    EXPECT_TRUE(CheckModel(m).empty());
}

TEST_F(ModelCheckTest, SourceProbabilities) {
    CQueue* second = m.AddQueue("Накопитель2");
    ASSERT_EQ(m.Link(1, 5), kOk);
    ASSERT_EQ(m.Link(5, 3), kOk);
    line.channel->sourceDiscipline = kSourceRandom;
    line.channel->sourceProbabilities = {0.6f, 0.6f};
    const Finding f = Only();
    EXPECT_EQ(f.kind, FindingKind::kSourceProbabilities);
    EXPECT_EQ(f.node, 3);
    line.channel->sourceProbabilities = {0.6f, 0.4f};
    EXPECT_TRUE(CheckModel(m).empty());
    (void)second;
}

TEST_F(ModelCheckTest, NodesWithoutReceivers) {
    ASSERT_EQ(m.Unlink(3, 4), kOk);
    ASSERT_EQ(m.DeleteNode("Сток1"), kOk);
    Finding f = Only();
    EXPECT_EQ(f.kind, FindingKind::kNoReceivers);
    EXPECT_EQ(f.text, "Канал \"Канал1\" не имеет приемников: все обслуженные заявки попадут в "
                      "сток отказов.");
    ASSERT_EQ(m.DeleteNode("Канал1"), kOk);
    f = Only();
    EXPECT_EQ(f.kind, FindingKind::kNoReceivers);
    EXPECT_EQ(f.node, 2);
    ASSERT_EQ(m.DeleteNode("Накопитель1"), kOk);
    f = Only();
    EXPECT_EQ(f.kind, FindingKind::kNoReceivers);
    EXPECT_EQ(f.text, "Генератор \"Генератор1\" не имеет приемников: все его заявки получат отказ.");
}

TEST_F(ModelCheckTest, NodesNoRequestCanReach) {
    CChannel* spare = m.AddChannel("Канал2");
    ASSERT_EQ(m.Link(5, 4), kOk);
    Finding f = Only();
    EXPECT_EQ(f.kind, FindingKind::kUnreachable);
    EXPECT_EQ(f.node, 5);
    EXPECT_EQ(f.text, "Канал \"Канал2\" недостижим: в него не может попасть ни одна заявка.");
    ASSERT_EQ(m.DeleteNode("Канал2"), kOk);
    // A sink nothing is sent to, other than the refusal sink.
    m.AddSink("Сток2");
    EXPECT_EQ(Only().kind, FindingKind::kUnreachable);
    (void)spare;
}

TEST_F(ModelCheckTest, ANodeThatAcceptsNoneOfTheTypesReachingIt) {
    m.AddRequestType("Срочная");
    // The generator makes only the second type; the queue also sends to the
    // sink directly, so that nothing after the channel goes unreached.
    line.generator->generatedTypes = {1};
    line.channel->acceptedTypes = {1, 0};
    ASSERT_EQ(m.Link(2, 4), kOk);
    const Finding f = Only();
    EXPECT_EQ(f.kind, FindingKind::kNoAcceptedType);
    EXPECT_EQ(f.node, 3);
    EXPECT_EQ(f.text, "Канал \"Канал1\" не принимает ни одного из типов заявок, которые могут в "
                      "него попасть: \"Срочная\".");
}

TEST_F(ModelCheckTest, AChannelThatCannotKeepUp) {
    line.channel->serviceLaws[0] = Exponential(0.8f);  // a mean of 1.25 for one request a time unit
    Finding f = Only();
    EXPECT_EQ(f.kind, FindingKind::kOverload);
    EXPECT_EQ(f.node, 3);
    EXPECT_EQ(f.text, "Канал \"Канал1\": предлагаемая нагрузка на устройство равна 1.25 (не "
                      "меньше 1), очередь в накопителе \"Накопитель1\" будет расти без "
                      "ограничения.");
    // A length limit refuses the excess instead.
    line.queue->lengthLimited = 1;
    line.queue->lengthLimit = 10;
    EXPECT_NE(Only().text.find("часть заявок получит отказ"), std::string::npos);
    line.queue->lengthLimited = 0;
    line.queue->lengthLimit = 0;

    line.channel->deviceCount = 2;
    EXPECT_TRUE(CheckModel(m).empty());
    // Exactly one per device grows without bound as well.
    line.channel->deviceCount = 1;
    line.generator->intervalLaw = Deterministic(1.0f);
    line.channel->serviceLaws[0] = Deterministic(1.0f);
    EXPECT_EQ(Only().kind, FindingKind::kOverload);
    // Batches of two double the rate.
    line.channel->serviceLaws[0] = Deterministic(0.6f);
    EXPECT_TRUE(CheckModel(m).empty());
    line.generator->batchLaw = Deterministic(2.0f);
    EXPECT_EQ(Only().kind, FindingKind::kOverload);
}

TEST_F(ModelCheckTest, LoadsFollowRandomRoutingButNotUnknownSplits) {
    // One generator, three times the rate, split between two lines.
    line.generator->intervalLaw = Exponential(3.0f);
    CQueue* q2 = m.AddQueue("Накопитель2");
    CChannel* c2 = m.AddChannel("Канал2");
    c2->serviceLaws[0] = Exponential(2.0f);
    ASSERT_EQ(m.Link(1, 5), kOk);
    ASSERT_EQ(m.Link(5, 6), kOk);
    ASSERT_EQ(m.Link(6, 4), kOk);
    line.generator->routingDiscipline = kRouteRandom;
    line.generator->routingProbabilities = {0.5f, 0.5f};
    EXPECT_TRUE(CheckModel(m).empty());
    line.generator->routingProbabilities = {0.25f, 0.75f};
    const Finding f = Only();
    EXPECT_EQ(f.kind, FindingKind::kOverload);
    EXPECT_EQ(f.node, 6);
    // Sent in list order, the share of each line is not known: nothing said.
    line.generator->routingDiscipline = kRouteInOrder;
    EXPECT_TRUE(CheckModel(m).empty());
    (void)q2;
}

TEST_F(ModelCheckTest, TheCheckChangesNothing) {
    line.channel->serviceLaws[0] = Exponential(0.5f);
    m.AddChannel("Канал2");
    std::vector<uint8_t> before;
    std::vector<uint8_t> after;
    ASSERT_TRUE(WriteModelBytes(m, nullptr, before));
    EXPECT_EQ(CheckModel(m).size(), 3u);  // overloaded; the spare channel unreached, sends nowhere
    ASSERT_TRUE(WriteModelBytes(m, nullptr, after));
    EXPECT_EQ(before, after);
}

TEST(ShippedExamplesTest, EveryExampleIsClean) {
    const std::filesystem::path examples = std::filesystem::path(MARVOLT_SOURCE_DIR) / "examples";
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(examples)) {
        if (entry.path().extension() != ".qsf")
            continue;
        const OpenedModels opened = OpenModelFile(entry.path().string());
        ASSERT_EQ(opened.result, OpenResult::kOk) << entry.path();
        for (const Finding& f : CheckModel(*opened.current))
            ADD_FAILURE() << entry.path().filename() << ": " << f.text;
        ++checked;
    }
    EXPECT_GE(checked, 6);
}

}  // namespace
}  // namespace marvolt
