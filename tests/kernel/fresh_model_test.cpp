#include "kernel/fresh_model.h"

#include <gtest/gtest.h>

#include "kernel/generator.h"
#include "kernel/sink.h"

namespace marvolt {
namespace {

TEST(FreshModelTest, HasOneTypeItsGeneratorAndTheRefusalSinkInPlace) {
    const auto m = MakeFreshModel();
    ASSERT_EQ(m->typeCount(), 1);
    EXPECT_EQ(m->RequestType(0)->name, "Тип_заявки1");
    ASSERT_EQ(m->nodeCount(), 2);
    const auto* g = static_cast<const CGenerator*>(m->Node(0));
    ASSERT_EQ(g->kind, kGenerator);
    EXPECT_EQ(g->name, "Генератор1");
    EXPECT_EQ(g->generatedTypes, std::vector<uint8_t>{0});
    EXPECT_EQ(g->typeProbabilities, std::vector<float>{1.0f});
    EXPECT_EQ(g->Validate(), kOk);
    EXPECT_EQ(std::pair(g->x, g->y), std::pair(15, 15));
    ASSERT_EQ(m->refusalSink, m->Node(1));
    EXPECT_EQ(m->refusalSink->kind, kSink);
    EXPECT_EQ(m->refusalSink->name, "Сток отказов");
    EXPECT_EQ(std::pair(m->refusalSink->x, m->refusalSink->y), std::pair(15, 83));
    EXPECT_EQ(m->modelDescription, "Новая модель");

    // It runs as it is: every request ends in the refusal sink.
    m->arrivalsLimit = 50;
    ASSERT_EQ(m->Experiment(), kOk);
    EXPECT_EQ(m->CountIndicator(indArrived, 1, kNoIndex), 51u);
}

TEST(FreshModelTest, ASecondRefusalSinkOfTheSameNameIsRefused) {
    CQueuingSystem m;
    CDispose* first = AddRefusalSink(m);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(AddRefusalSink(m), nullptr);
    EXPECT_EQ(m.refusalSink, first);
    EXPECT_EQ(m.nodeCount(), 1);
}

}  // namespace
}  // namespace marvolt
