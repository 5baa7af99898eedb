// Saving and opening again keeps the model; files of the earlier form open.
#include <gtest/gtest.h>

#include "file_test_support.h"
#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/sink.h"
#include "persistence/model_file.h"

namespace marvolt {
namespace {

using test::Bytes;
using test::FindTag;

OpenedModels Read(const std::vector<uint8_t>& bytes) {
    return ReadModelBytes(bytes.data(), bytes.size());
}

TEST(ModelRoundTrip, ConfigurationOnly) {
    const auto m = test::RichModel(false);
    const auto bytes = Bytes(*m);
    test::KeepAsSeed("rich_configuration", bytes);
    const OpenedModels back = Read(bytes);
    ASSERT_EQ(back.result, OpenResult::kOk);
    EXPECT_FALSE(back.results);
    test::ExpectSameModel(*m, *back.current);
    EXPECT_EQ(Bytes(*back.current), bytes);
}

TEST(ModelRoundTrip, CurrentAndResultsModels) {
    const auto m = test::RichModel(true);
    ASSERT_EQ(m->resultsValid, 1);
    const auto results = CQueuingSystem::CopyModel(*m, true);
    const auto bytes = Bytes(*m, results.get());
    test::KeepAsSeed("rich_with_results", bytes);

    const OpenedModels back = Read(bytes);
    ASSERT_EQ(back.result, OpenResult::kOk);
    ASSERT_TRUE(back.current && back.results);
    {
        SCOPED_TRACE("current model");
        test::ExpectSameModel(*m, *back.current);
    }
    {
        SCOPED_TRACE("results model");
        test::ExpectSameModel(*results, *back.results);
    }
    EXPECT_EQ(Bytes(*back.current, back.results.get()), bytes);
    EXPECT_EQ(FindTag(bytes, "CNTS"), Bytes(*m).size() - 4);
}

TEST(ModelRoundTrip, StoredSlotWithoutDistributionComesBackAsAFreshOne) {
    CQueuingSystem m;
    m.AddRequestType("A");
    m.AddRequestType("B");
    CDispose* s = m.AddSink("s");
    ASSERT_FALSE(s->lifetimeDistributions[2]);
    const OpenedModels back = Read(Bytes(m));
    ASSERT_EQ(back.result, OpenResult::kOk);
    const auto* r = static_cast<const CDispose*>(back.current->Node(0));
    ASSERT_TRUE(r->lifetimeDistributions[2]);
    EXPECT_EQ(r->lifetimeDistributions[2]->upperBound, 8.0f);
    EXPECT_FALSE(r->lifetimeDistributions[2]->HasBins());
}

TEST(ModelRoundTrip, OpenedModelRuns) {
    const auto m = test::RichModel(true);
    const OpenedModels back = Read(Bytes(*m, m.get()));
    ASSERT_EQ(back.result, OpenResult::kOk);
    CQueuingSystem& opened = *back.current;
    ASSERT_NE(opened.refusalSink, nullptr);
    EXPECT_EQ(opened.refusalSink->owner, &opened);
    opened.factorRun = 0;
    EXPECT_EQ(opened.Experiment(), kOk);
    EXPECT_GT(opened.arrived, 0u);
    EXPECT_GT(opened.CountIndicator(0, 6, 255), 0u);  // requests reached the sink
    // A factor experiment on the opened model works as well.
    opened.factorRun = 1;
    EXPECT_EQ(opened.Experiment(), kOk);
    EXPECT_EQ(opened.dependencies.Item(0)->values.size(), 4u);
    // So does the results model, though it is never run by the program.
    back.results->factorRun = 0;
    EXPECT_EQ(back.results->Experiment(), kOk);
}

TEST(ModelRoundTrip, EditingAnOpenedModelKeepsItsArraysInStep) {
    const auto m = test::RichModel(true);
    const OpenedModels back = Read(Bytes(*m));
    ASSERT_EQ(back.result, OpenResult::kOk);
    CQueuingSystem& opened = *back.current;
    ASSERT_NE(opened.AddRequestType("D"), nullptr);
    EXPECT_EQ(opened.DeleteRequestType("A"), kOk);
    EXPECT_EQ(opened.DeleteNode("Накопитель2"), kOk);
    opened.factorRun = 0;
    EXPECT_EQ(opened.Experiment(), kOk);
    const OpenedModels again = Read(Bytes(opened));
    ASSERT_EQ(again.result, OpenResult::kOk);
    test::ExpectSameModel(opened, *again.current);
}

// ---- the file layout ----

TEST(ModelFileLayout, ResultsModelIsOptional) {
    const auto m = test::SmallModel();
    const auto bytes = Bytes(*m);
    // "ENDF" right after the model record.
    ASSERT_EQ(FindTag(bytes, "ENDF"), bytes.size() - 4);
    EXPECT_EQ(FindTag(bytes, "CNTS"), std::string::npos);

    // A file that ends after the first model opens without results.
    const std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 4);
    OpenedModels back = Read(cut);
    ASSERT_EQ(back.result, OpenResult::kOk);
    EXPECT_FALSE(back.results);
    test::KeepAsSeed("no_endf", cut);

    // The trailing "ENDF" after a results model is never needed.
    const auto both = Bytes(*m, m.get());
    back = Read(std::vector<uint8_t>(both.begin(), both.end() - 4));
    ASSERT_EQ(back.result, OpenResult::kOk);
    EXPECT_TRUE(back.results);
}

TEST(ModelFileLayout, DamagedResultsModelIsDroppedSilently) {
    const auto m = test::SmallModel();
    auto bytes = Bytes(*m, m.get());
    const size_t second = FindTag(bytes, "CNTS") + 4;
    bytes[FindTag(bytes, "OBDS", second) + 4] = 9;  // more nodes than follow
    const OpenedModels back = Read(bytes);
    ASSERT_EQ(back.result, OpenResult::kOk);
    EXPECT_FALSE(back.results);
    test::ExpectSameModel(*m, *back.current);
}

TEST(ModelFileLayout, DamagedFirstModelIsUnreadable) {
    const auto m = test::SmallModel();
    auto bytes = Bytes(*m, m.get());
    bytes[FindTag(bytes, "DSPN") + 1] = 'X';
    EXPECT_EQ(Read(bytes).result, OpenResult::kFirstModelUnreadable);
    EXPECT_EQ(ReadModelBytes(nullptr, 0).result, OpenResult::kFirstModelUnreadable);
}

// ---- files of an earlier form ----

TEST(EarlierForm, RequestTypeWithoutPriority) {
    const auto m = test::SmallModel();
    auto bytes = Bytes(*m);
    test::RemoveItem(bytes, "PRIO", 1);  // type A, priority 3
    const OpenedModels back = Read(bytes);
    ASSERT_EQ(back.result, OpenResult::kOk);
    EXPECT_EQ(back.current->RequestType(0)->priority, 0);
    EXPECT_EQ(back.current->RequestType(0)->countDistFlag, 0);
    EXPECT_EQ(back.current->RequestType(1)->countDistFlag, 1);
}

TEST(EarlierForm, ChannelWithoutTransformationAndFailureItems) {
    const auto m = test::RichModel(false);
    auto bytes = Bytes(*m);
    const size_t channel = FindTag(bytes, "DVCT");  // Канал1: failures, reserve, transformation
    test::RemoveItem(bytes, "RTTF", 1, channel);
    test::RemoveItem(bytes, "FLAL", 1, channel);
    test::RemoveItem(bytes, "WKTM", 12, channel);
    test::RemoveItem(bytes, "RPTM", 12, channel);
    test::RemoveItem(bytes, "FLRL", 1, channel);
    test::RemoveItem(bytes, "RSCH", 1, channel);
    test::KeepAsSeed("earlier_channel", bytes);
    const OpenedModels back = Read(bytes);
    ASSERT_EQ(back.result, OpenResult::kOk);
    const auto* c = static_cast<const CChannel*>(back.current->Node(4));
    ASSERT_EQ(c->kind, kChannel);
    EXPECT_EQ(c->transformOn, 0);
    EXPECT_EQ(c->failuresOn, 0);
    EXPECT_EQ(c->workLaw, LawRecord{});
    EXPECT_EQ(c->repairLaw, LawRecord{});
    EXPECT_EQ(c->failureRule, kFailToRefusal);
    EXPECT_EQ(c->reserveChannel, kNoIndex);
    // The items that were there are read as before.
    EXPECT_EQ(c->transformTable, (std::vector<uint8_t>{0, 2, 2}));
    EXPECT_EQ(c->deviceCount, 2);
    EXPECT_EQ(c->serviceDistribution.binCount, 20);
}

TEST(EarlierForm, OptionalItemsOfQueuesAndHeaders) {
    const auto m = test::RichModel(false);
    auto bytes = Bytes(*m);
    test::RemoveItem(bytes, "APRF", 1, FindTag(bytes, "RQCH"));
    test::RemoveItem(bytes, "RCCH", 1, FindTag(bytes, "OBDS"));  // Генератор1, random routing
    const OpenedModels back = Read(bytes);
    ASSERT_EQ(back.result, OpenResult::kOk);
    EXPECT_EQ(back.current->Node(0)->routingDiscipline, kRouteInOrder);
    EXPECT_EQ(static_cast<const CQueue*>(back.current->Node(2))->usePriority, 0);
}

TEST(EarlierForm, ChannelWithoutPerTypeListsStillRuns) {
    CQueuingSystem m;
    m.AddRequestType("A");
    CGenerator* g = m.AddGenerator("g");
    g->SetGeneratedType(0, true);
    g->typeProbabilities[0] = 1.0f;
    m.AddChannel("c");
    m.AddSink("s");
    m.SetRefusalSink("s");
    m.Link(0, 1);
    m.Link(1, 2);
    m.timeLimit = 50.0f;
    m.stopByTime = 1;
    auto bytes = Bytes(m);
    test::RemoveItem(bytes, "RQAC", 1);
    test::RemoveItem(bytes, "RQPT", 12);
    const OpenedModels back = Read(bytes);
    ASSERT_EQ(back.result, OpenResult::kOk);
    const auto* c = static_cast<const CChannel*>(back.current->Node(1));
    EXPECT_EQ(c->acceptedTypes, std::vector<uint8_t>{0});
    EXPECT_EQ(c->serviceLaws, std::vector<LawRecord>{LawRecord{}});
    EXPECT_EQ(back.current->Experiment(), kOk);
    // The channel accepts nothing: everything is refused.
    EXPECT_EQ(back.current->CountIndicator(0, 2, 255), back.current->arrived);
}

TEST(EarlierForm, NoRefusalSink) {
    auto m = test::SmallModel();
    m->refusalSink = nullptr;
    const auto bytes = Bytes(*m);
    EXPECT_EQ(bytes[FindTag(bytes, "DSPN") + 4], 255);
    const OpenedModels back = Read(bytes);
    ASSERT_EQ(back.result, OpenResult::kOk);
    EXPECT_EQ(back.current->refusalSink, nullptr);
}

}  // namespace
}  // namespace marvolt
