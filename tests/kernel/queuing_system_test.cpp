#include "kernel/queuing_system.h"

#include <gtest/gtest.h>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/refusal_sink.h"
#include "kernel/sink.h"

namespace marvolt {
namespace {

TEST(ContainerTest, NamesAreUniquePerListAndLimited) {
    CQueuingSystem m;
    ASSERT_TRUE(m.AddRequestType("A"));
    EXPECT_TRUE(m.AddGenerator("A")) << "a node may share a request type's name";
    EXPECT_FALSE(m.AddSink("A"));
    EXPECT_FALSE(m.AddRequestType("A"));
    EXPECT_EQ(m.NodeIndex("A"), 0);
    EXPECT_EQ(m.NodeIndex("missing"), kNoIndex);
    EXPECT_EQ(m.RequestTypeIndex("missing"), kNoIndex);

    CQueuingSystem full;
    for (int i = 0; i < ObjectLimit; ++i)
        ASSERT_TRUE(full.AddGenerator(full.DefaultNodeName(kGenerator)));
    EXPECT_EQ(full.nodeCount(), 250);
    EXPECT_EQ(full.DefaultNodeName(kGenerator), "");
    EXPECT_FALSE(full.AddSink("another"));
    for (int i = 0; i < RequestTypeLimit; ++i)
        ASSERT_TRUE(full.AddRequestType(full.DefaultTypeName()));
    EXPECT_EQ(full.DefaultTypeName(), "");
    EXPECT_FALSE(full.AddRequestType("one more"));
}

TEST(ContainerTest, DefaultNamesTakeTheSmallestFreeNumber) {
    CQueuingSystem m;
    EXPECT_EQ(m.DefaultNodeName(kChannel), "Канал1");
    m.AddGenerator("Генератор1");
    m.AddGenerator("Генератор3");
    EXPECT_EQ(m.DefaultNodeName(kGenerator), "Генератор2");
    EXPECT_EQ(m.DefaultNodeName(kQueue), "Накопитель1");
    EXPECT_EQ(m.DefaultNodeName(kSink), "Сток1");
    EXPECT_EQ(m.DefaultTypeName(), "Тип_заявки1");
    EXPECT_EQ(m.DefaultNodeName(9), "");
}

TEST(ContainerTest, LinkResultCodesInTheirOrder) {
    CQueuingSystem m;
    m.AddGenerator("g");  // 0
    m.AddSink("s");       // 1
    m.AddQueue("q1");     // 2
    m.AddQueue("q2");     // 3
    m.AddChannel("c");    // 4
    EXPECT_EQ(m.Link(0, 9), kNoSuchNode);
    EXPECT_EQ(m.Link(1, 0), kLinkFromSink) << "the sink is checked before the generator";
    EXPECT_EQ(m.Link(4, 0), kLinkToGenerator);
    EXPECT_EQ(m.Link(2, 3), kLinkQueueToQueue);
    EXPECT_EQ(m.Link(0, 4), kOk);
    EXPECT_EQ(m.Link(0, 4), kLinkExists);
    EXPECT_EQ(m.Node(0)->receivers.size(), 1u);
    auto* c = static_cast<CChannel*>(m.Node(4));
    EXPECT_EQ(c->sources, (std::vector<uint8_t>{0}));
    EXPECT_EQ(m.Unlink(0, 2), kNoSuchLink);
    EXPECT_EQ(m.Unlink(0, 99), kNoSuchNode);
    EXPECT_EQ(m.Unlink(0, 4), kOk);
    EXPECT_TRUE(c->sources.empty());
    EXPECT_TRUE(m.Node(0)->receivers.empty());
}

TEST(ContainerTest, RefusalSinkMustBeASink) {
    CQueuingSystem m;
    m.AddGenerator("g");
    m.AddSink("Сток отказов");
    EXPECT_EQ(m.SetRefusalSink("nobody"), kNoSuchNode);
    EXPECT_EQ(m.SetRefusalSink("g"), kNoSuchNode);
    EXPECT_EQ(m.refusalSink, nullptr);
    EXPECT_EQ(m.SetRefusalSink("Сток отказов"), kOk);
    EXPECT_EQ(m.refusalSink, m.Node(1));
}

TEST(ContainerTest, TheRefusalSinkIsAddedOnceWhereANewModelShowsIt) {
    CQueuingSystem m;
    CDispose* sink = AddRefusalSink(m);
    ASSERT_NE(sink, nullptr);
    EXPECT_EQ(sink->name, "Сток отказов");
    EXPECT_EQ(m.refusalSink, sink);
    EXPECT_EQ(std::pair(sink->x, sink->y), std::pair(15, 83));
    EXPECT_EQ(AddRefusalSink(m), nullptr) << "the name is taken";
    EXPECT_EQ(m.refusalSink, sink);
    EXPECT_EQ(m.nodeCount(), 1);
}

TEST(ContainerTest, DeleteNodeRenumbersEverythingThatPointsAtNodes) {
    CQueuingSystem m;
    m.AddRequestType("t");
    auto* g = m.AddGenerator("g0");  // 0
    m.AddChannel("c1");              // 1
    m.AddChannel("c2");              // 2
    m.AddSink("s3");                 // 3
    m.AddChannel("c4");              // 4
    m.AddSink("s5");                 // 5
    g->receivers = {4, 2, 1};
    g->routingProbabilities = {0.2f, 0.5f, 0.3f};
    auto* c1 = static_cast<CChannel*>(m.Node(1));
    auto* c4 = static_cast<CChannel*>(m.Node(4));
    c1->reserveChannel = 2;
    c4->reserveChannel = 4;
    ASSERT_EQ(m.Link(2, 4), kOk);
    ASSERT_EQ(m.Link(1, 4), kOk);
    m.plannedFactor.factorObject = 4;
    m.usedFactor.factorObject = 2;
    m.AddDependency(2, 255, 9);
    m.AddDependency(5, 255, 19);
    m.AddDependency(255, 255, 23);

    EXPECT_EQ(m.DeleteNode("nobody"), kNoSuchNode);
    ASSERT_EQ(m.DeleteNode("c2"), kOk);
    EXPECT_EQ(m.nodeCount(), 5);
    EXPECT_EQ(g->receivers, (std::vector<uint8_t>{3, 1}));
    EXPECT_EQ(g->routingProbabilities, (std::vector<float>{0.2f, 0.3f}));
    EXPECT_EQ(c1->reserveChannel, kNoIndex);
    EXPECT_EQ(c4->reserveChannel, 3);
    EXPECT_EQ(c4->sources, (std::vector<uint8_t>{1}));
    EXPECT_EQ(c4->sourceProbabilities.size(), 1u);
    EXPECT_EQ(m.plannedFactor.factorObject, 3);
    EXPECT_EQ(m.usedFactor.factorObject, kNoIndex);
    ASSERT_EQ(m.DependencyCount(), 2u);
    EXPECT_EQ(m.Dependency(0)->dependencyObject, 4);
    EXPECT_EQ(m.Dependency(1)->dependencyObject, 255);
}

TEST(ContainerTest, DeleteRequestTypeRenumbersTypes) {
    CQueuingSystem m;
    m.AddRequestType("t0");
    m.AddRequestType("t1");
    m.AddRequestType("t2");
    auto* a = m.AddGenerator("a");
    auto* b = m.AddGenerator("b");
    for (uint8_t t : {2, 1, 0})
        a->SetGeneratedType(t, true);
    a->typeProbabilities = {0.5f, 0.3f, 0.2f};
    for (uint8_t t : {2, 0})
        b->SetGeneratedType(t, true);
    auto* sink = m.AddSink("s");
    sink->lifetimeDistFlags = {1, 0, 1, 0};
    m.plannedFactor.factorType = 2;
    m.usedFactor.factorType = 1;
    m.AddDependency(255, 1, 26);
    m.AddDependency(255, 2, 26);

    EXPECT_EQ(m.DeleteRequestType("nothing"), kNoSuchType);
    ASSERT_EQ(m.DeleteRequestType("t1"), kOk);
    EXPECT_EQ(a->generatedTypes, (std::vector<uint8_t>{1, 0}));
    EXPECT_EQ(a->typeProbabilities, (std::vector<float>{0.5f, 0.2f}))
        << "probabilities are not rescaled";
    EXPECT_EQ(b->generatedTypes, (std::vector<uint8_t>{1, 0}));
    EXPECT_EQ(sink->lifetimeDistFlags, (std::vector<uint8_t>{1, 0, 0}));
    EXPECT_EQ(m.plannedFactor.factorType, 1);
    EXPECT_EQ(m.usedFactor.factorType, kNoIndex);
    ASSERT_EQ(m.DependencyCount(), 1u);
    EXPECT_EQ(m.Dependency(0)->dependencyType, 1);
}

TEST(ContainerTest, SetGeneratedTypeCodes) {
    CQueuingSystem m;
    m.AddRequestType("t");
    auto* g = m.AddGenerator("g");
    EXPECT_EQ(g->SetGeneratedType(1, true), kNoSuchType);
    EXPECT_EQ(g->SetGeneratedType(0, false), kNotGenerated);
    EXPECT_EQ(g->SetGeneratedType(0, true), kOk);
    EXPECT_EQ(g->SetGeneratedType(0, true), kOk);
    EXPECT_EQ(g->generatedTypes.size(), 1u);
    EXPECT_EQ(g->typeProbabilities, (std::vector<float>{0.0f}));
    EXPECT_EQ(g->Validate(), kTypeProbabilities);
    g->typeProbabilities[0] = 1.0f;
    g->routingDiscipline = kRouteRandom;
    EXPECT_EQ(g->Validate(), kRoutingProbabilities) << "no receivers sum to 0";
    EXPECT_EQ(g->SetGeneratedType(0, false), kOk);
    EXPECT_TRUE(g->typeProbabilities.empty());
}

TEST(DependsVectorTest, DuplicatesKeptOnceAndStorageGrowsInSteps) {
    CDependsVector v;
    EXPECT_NE(v.Add(1, 255, 5), nullptr);
    EXPECT_EQ(v.Add(1, 255, 5), nullptr);
    EXPECT_EQ(v.itemCount(), 1u);
    EXPECT_EQ(v.itemCapacity(), 15u);
    for (int i = 0; i < 15; ++i)
        v.Add(2, 255, static_cast<uint8_t>(i));
    EXPECT_EQ(v.itemCapacity(), 30u);
    for (int i = 0; i < 15; ++i)
        EXPECT_TRUE(v.Remove(2, 255, static_cast<uint8_t>(i)));
    EXPECT_FALSE(v.Remove(2, 255, 0));
    EXPECT_EQ(v.itemCount(), 1u);
    EXPECT_EQ(v.itemCapacity(), 15u) << "shrunk once a whole step was spare";

    // A growth step of 0 (a file may say so) still leaves room for every entry.
    CDependsVector z;
    z.growthStep = 0;
    z.Add(1, 255, 1);
    z.Add(1, 255, 2);
    EXPECT_GE(z.itemCapacity(), z.itemCount());
    EXPECT_TRUE(z.Remove(1, 255, 1));
    EXPECT_GE(z.itemCapacity(), z.itemCount());
}

}  // namespace
}  // namespace marvolt
