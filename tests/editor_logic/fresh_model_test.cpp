// The model a session starts from.
#include "editor/logic/fresh_model.h"

#include <gtest/gtest.h>

#include "kernel/generator.h"
#include "kernel/sink.h"
#include "persistence/model_file.h"

namespace marvolt {
namespace {

TEST(FreshModelTest, HoldsOneTypeOneGeneratorOfItAndTheRefusalSink) {
    const auto model = BuildFreshModel();
    ASSERT_EQ(model->typeCount(), 1);
    EXPECT_EQ(model->RequestType(0)->name, "Тип_заявки1");
    ASSERT_EQ(model->nodeCount(), 2);
    ASSERT_EQ(model->Node(0)->kind, kGenerator);
    const auto* generator = static_cast<const CGenerator*>(model->Node(0));
    EXPECT_EQ(generator->name, "Генератор1");
    EXPECT_EQ(generator->generatedTypes, std::vector<uint8_t>({0}));
    EXPECT_EQ(generator->typeProbabilities, std::vector<float>({1.0f}));
    EXPECT_EQ(generator->x, 15);
    EXPECT_EQ(generator->y, 15);
    EXPECT_EQ(model->Node(1)->kind, kSink);
    EXPECT_EQ(model->Node(1)->name, "Сток отказов");
    EXPECT_EQ(model->Node(1)->x, 15);
    EXPECT_EQ(model->Node(1)->y, 83);
    EXPECT_EQ(model->refusalSink, model->Node(1));
    EXPECT_EQ(model->modelDescription, "Новая модель");
    // The next names the editor proposes follow on from these.
    EXPECT_EQ(model->DefaultNodeName(kGenerator), "Генератор2");
    EXPECT_EQ(model->DefaultTypeName(), "Тип_заявки2");
}

TEST(FreshModelTest, RunsAndSendsEveryRequestToTheRefusalSink) {
    RestoreRandomStartState();
    auto model = BuildFreshModel();
    model->arrivalsLimit = 500;
    model->stopByTime = 0;
    ASSERT_EQ(model->Experiment(), kOk);
    EXPECT_GE(model->arrived, 500u);
    ASSERT_FALSE(model->refusalSink->arrivals.empty());
    EXPECT_EQ(model->refusalSink->arrivals[0], model->arrived);
}

TEST(FreshModelTest, SavesAndOpensAgainUnchanged) {
    const auto model = BuildFreshModel();
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(WriteModelBytes(*model, nullptr, bytes));
    const OpenedModels opened = ReadModelBytes(bytes.data(), bytes.size());
    ASSERT_EQ(opened.result, OpenResult::kOk);
    std::vector<uint8_t> again;
    ASSERT_TRUE(WriteModelBytes(*opened.current, nullptr, again));
    EXPECT_EQ(again, bytes);
    EXPECT_EQ(opened.current->refusalSink->name, "Сток отказов");
}

}  // namespace
}  // namespace marvolt
