// The editing commands without windows: what they change, what they refuse,
// and the texts they hand the editor to show.
#include "editor/logic/model_commands.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "editor/logic/fresh_model.h"
#include "kernel/channel.h"
#include "kernel/generator.h"

namespace marvolt {
namespace {

using edit::LinkStep;

const std::string kTryAgain = "\nПожалуйста, введите другое значение.";
const std::string kEmptyName =
    "Имя объекта не должно быть пустой строкой." + std::string(17, ' ') + kTryAgain;

// Records the questions and answers them as told.
struct Questions {
    bool answer = true;
    std::vector<std::string> asked;
    Confirm confirm() {
        return [this](const std::string& q) {
            asked.push_back(q);
            return answer;
        };
    }
};

class CommandsTest : public ::testing::Test {
  protected:
    std::unique_ptr<CQueuingSystem> owned = BuildFreshModel();
    CQueuingSystem& model = *owned;
    Questions questions;

    uint8_t Add(uint8_t kind, const std::string& name) {
        const CommandResult r = edit::AddNode(model, kind, name);
        EXPECT_TRUE(r.done) << name;
        return r.node;
    }
    static void ExpectWarning(const Refusal& r, const std::string& text) {
        EXPECT_EQ(r.box, RefusalBox::kWarning);
        EXPECT_EQ(r.text, text);
    }
};

TEST_F(CommandsTest, AddsUpToTheLimitsAndThenRefusesWithTheirMessages) {
    const CommandResult channel = edit::AddNode(model, kChannel, "Канал1");
    ASSERT_TRUE(channel.done);
    EXPECT_EQ(model.Node(channel.node)->name, "Канал1");
    EXPECT_EQ(model.Node(channel.node)->kind, kChannel);
    EXPECT_EQ(model.Node(channel.node)->x, 15);
    EXPECT_EQ(model.Node(channel.node)->y, 15);
    // A taken name adds nothing and says nothing: the name dialog has spoken.
    const CommandResult taken = edit::AddNode(model, kQueue, "Канал1");
    EXPECT_FALSE(taken.done);
    EXPECT_FALSE(taken.refusal);
    EXPECT_FALSE(edit::AddNode(model, 7, "Нечто").done);

    EXPECT_FALSE(edit::NodeRoom(model));
    for (int i = model.nodeCount(); i < ObjectLimit; ++i)
        ASSERT_TRUE(edit::AddNode(model, kQueue, "Н" + std::to_string(i)).done);
    const std::string full =
        "Невозможно добавить новый объект.\nМодель содержит максимально возможное количество "
        "объектов (250).";
    ExpectWarning(edit::NodeRoom(model), full);
    ExpectWarning(edit::AddNode(model, kSink, "Лишний").refusal, full);
    ExpectWarning(edit::PlaceNode(model, kSink, 100, 100, 48).refusal, full);
    EXPECT_EQ(model.nodeCount(), ObjectLimit);

    EXPECT_TRUE(edit::AddRequestType(model, "Срочная").done);
    EXPECT_FALSE(edit::AddRequestType(model, "Срочная").done);
    for (int i = model.typeCount(); i < RequestTypeLimit; ++i)
        ASSERT_TRUE(edit::AddRequestType(model, "Т" + std::to_string(i)).done);
    const CommandResult type = edit::AddRequestType(model, "Лишний");
    EXPECT_FALSE(type.done);
    ExpectWarning(type.refusal,
                  "Невозможно добавить новый тип заявки.\nМодель содержит максимально возможное "
                  "количество типов заявок (250).");
    EXPECT_EQ(type.refusal.text, edit::TypeRoom(model).text);
}

TEST_F(CommandsTest, PlacedNodesAreCentredOnThePressButNeverAtTheEdge) {
    const CommandResult g = edit::PlaceNode(model, kGenerator, 10, 200, 48);
    ASSERT_TRUE(g.done);
    EXPECT_EQ(model.Node(g.node)->name, "Генератор2");
    EXPECT_EQ(model.Node(g.node)->x, 1);
    EXPECT_EQ(model.Node(g.node)->y, 176);
    const CommandResult q = edit::PlaceNode(model, kQueue, 100, 100, 48);
    EXPECT_EQ(model.Node(q.node)->x, 76);
    EXPECT_EQ(model.Node(q.node)->y, 76);
    // 24 and 25 both land at 1: the half size plus one is the first press that moves.
    const CommandResult c = edit::PlaceNode(model, kChannel, 24, 25, 48);
    EXPECT_EQ(model.Node(c.node)->x, 1);
    EXPECT_EQ(model.Node(c.node)->y, 1);
    EXPECT_EQ(model.Node(edit::PlaceNode(model, kChannel, 26, 26, 48).node)->x, 2);

    // Default names take the smallest free number.
    ASSERT_EQ(model.Node(c.node)->name, "Канал1");
    questions.answer = true;
    ASSERT_TRUE(edit::DeleteNode(model, c.node, questions.confirm()).done);
    EXPECT_EQ(model.Node(edit::PlaceNode(model, kChannel, 300, 300, 48).node)->name, "Канал1");
}

TEST_F(CommandsTest, TheOnlyGeneratorAndTheRefusalSinkAreRefusedWithoutAQuestion) {
    const CommandResult generator = edit::DeleteNode(model, 0, questions.confirm());
    EXPECT_FALSE(generator.done);
    ExpectWarning(generator.refusal,
                  "Генератор заявок \"Генератор1\" является единственным,\nпоэтому не может быть "
                  "удален.");
    const CommandResult sink = edit::DeleteNode(model, 1, questions.confirm());
    ExpectWarning(sink.refusal,
                  "Сток \"Сток отказов\" является стоком отказов,\nпоэтому не может быть удален.");
    EXPECT_TRUE(questions.asked.empty());
    EXPECT_EQ(model.nodeCount(), 2);
    EXPECT_FALSE(edit::DeleteNode(model, 2, questions.confirm()).done);
    EXPECT_FALSE(edit::DeleteNode(model, kNoIndex, questions.confirm()).done);
    EXPECT_TRUE(questions.asked.empty());
}

TEST_F(CommandsTest, OtherNodesGoOnlyWhenTheUserSaysYes) {
    const uint8_t second = Add(kGenerator, "Генератор2");
    const uint8_t sink = Add(kSink, "Сток1");
    questions.answer = false;
    const CommandResult declined = edit::DeleteNode(model, second, questions.confirm());
    EXPECT_FALSE(declined.done);
    EXPECT_FALSE(declined.refusal);
    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_EQ(questions.asked[0], "Вы действительно хотите удалить объект \"Генератор2\"?");
    EXPECT_EQ(model.nodeCount(), 4);

    questions.answer = true;
    EXPECT_TRUE(edit::DeleteNode(model, second, questions.confirm()).done);
    EXPECT_EQ(model.NodeIndex("Генератор2"), kNoIndex);
    // The last generator is the only one again.
    EXPECT_TRUE(edit::DeleteNode(model, 0, questions.confirm()).refusal);
    // A sink that is not the refusal sink may go; the refusal sink stays what it was.
    EXPECT_TRUE(edit::DeleteNode(model, sink - 1, questions.confirm()).done);
    EXPECT_EQ(model.refusalSink->name, "Сток отказов");

    // Once another sink is the refusal sink, the old one may go.
    Add(kSink, "Выход");
    ASSERT_TRUE(edit::SetRefusalSink(model, "Выход").done);
    EXPECT_FALSE(edit::SetRefusalSink(model, "Генератор1").done);
    EXPECT_EQ(model.refusalSink->name, "Выход");
    EXPECT_TRUE(edit::DeleteNode(model, model.NodeIndex("Сток отказов"), questions.confirm()).done);
}

TEST_F(CommandsTest, TheOnlyRequestTypeStaysAndOthersGoAfterTheQuestion) {
    const CommandResult only = edit::DeleteRequestType(model, "Тип_заявки1", questions.confirm());
    ExpectWarning(only.refusal,
                  "Тип заявок \"Тип_заявки1\" является единственным,\nпоэтому не может быть "
                  "удален.");
    EXPECT_TRUE(questions.asked.empty());

    ASSERT_TRUE(edit::AddRequestType(model, "Срочная").done);
    questions.answer = false;
    EXPECT_FALSE(edit::DeleteRequestType(model, "Срочная", questions.confirm()).done);
    EXPECT_EQ(questions.asked.back(), "Вы действительно хотите удалить тип заявок \"Срочная\"?");
    questions.answer = true;
    EXPECT_TRUE(edit::DeleteRequestType(model, "Срочная", questions.confirm()).done);
    EXPECT_EQ(model.typeCount(), 1);
    // The generator keeps generating the type that is left.
    EXPECT_EQ(static_cast<CGenerator*>(model.Node(0))->generatedTypes, std::vector<uint8_t>({0}));
}

TEST_F(CommandsTest, TheNameDialogRefusesBlankTakenAndUnstorableNames) {
    const auto check = [&](const std::string& name, bool typeMode) {
        return edit::NameDialogRefusal(name, typeMode, &model);
    };
    EXPECT_EQ(check("", false), kEmptyName);
    EXPECT_EQ(check("   ", false), kEmptyName);
    EXPECT_EQ(check(" \t\xC2\xA0", true), kEmptyName);

    EXPECT_EQ(check("Генератор1", false),
              "Объект с именем \"Генератор1\" уже существует." + std::string(20, ' ') + kTryAgain);
    EXPECT_EQ(check("Тип_заявки1", true), "Тип заявки с именем \"Тип_заявки1\" уже существует." +
                                              std::string(19, ' ') + kTryAgain);
    // The two name spaces are separate, and names compare exactly.
    EXPECT_EQ(check("Тип_заявки1", false), "");
    EXPECT_EQ(check("Генератор1", true), "");
    EXPECT_EQ(check(" Генератор1", false), "");
    EXPECT_EQ(check("генератор1", false), "");
    EXPECT_EQ(check(model.DefaultNodeName(kGenerator), false), "");
    EXPECT_EQ(check(model.DefaultTypeName(), true), "");
    EXPECT_EQ(edit::NameDialogRefusal("Генератор1", false, nullptr), "");

    EXPECT_EQ(check("Канал_漢", false),
              "Имя \"Канал_漢\" содержит символы, которые нельзя сохранить в файле модели." +
                  kTryAgain);
    EXPECT_NE(check("Сток 🙂", true), "");
    EXPECT_NE(check("Сток\xFF", true), "");  // not UTF-8 at all
    // Length counts the file's one-byte characters, not the bytes in memory.
    std::string longest;
    for (int i = 0; i < 255; ++i)
        longest += "я";
    EXPECT_EQ(check(longest, false), "");
    EXPECT_EQ(check(longest + "я", false),
              "Имя объекта не должно быть длиннее 255 символов." + kTryAgain);
}

TEST_F(CommandsTest, RenamingRefusesWhatAddingWouldAndKeepsTheRefusalSink) {
    const uint8_t channel = Add(kChannel, "Канал1");
    EXPECT_FALSE(edit::RenameNode(model, channel, "Канал1").done);
    EXPECT_FALSE(edit::RenameNode(model, channel, "Канал1").refusal);
    ExpectWarning(edit::RenameNode(model, channel, "  ").refusal, kEmptyName);
    ExpectWarning(edit::RenameNode(model, channel, "Генератор1").refusal,
                  "Объект с именем \"Генератор1\" уже существует.");
    EXPECT_EQ(edit::RenameNode(model, channel, "Канал_漢").refusal.box, RefusalBox::kWarning);
    EXPECT_EQ(model.Node(channel)->name, "Канал1");
    EXPECT_TRUE(edit::RenameNode(model, channel, "Тип_заявки1").done);
    EXPECT_EQ(model.NodeIndex("Тип_заявки1"), channel);
    EXPECT_FALSE(edit::RenameNode(model, 200, "Куда").done);

    CQSObject* refusals = model.refusalSink;
    ASSERT_TRUE(edit::RenameNode(model, 1, "Яма отказов").done);
    EXPECT_EQ(model.refusalSink, refusals);
    EXPECT_EQ(model.refusalSink->name, "Яма отказов");
    // Still the refusal sink under its new name.
    EXPECT_TRUE(edit::DeleteNode(model, 1, questions.confirm()).refusal);

    ASSERT_TRUE(edit::AddRequestType(model, "Срочная").done);
    ExpectWarning(edit::RenameRequestType(model, 0, "Срочная").refusal,
                  "Тип заявки с именем \"Срочная\" уже существует.");
    ExpectWarning(edit::RenameRequestType(model, 0, "").refusal, kEmptyName);
    EXPECT_FALSE(edit::RenameRequestType(model, 0, "Тип_заявки1").done);
    EXPECT_TRUE(edit::RenameRequestType(model, 0, "Генератор1").done);
    EXPECT_EQ(model.RequestTypeIndex("Генератор1"), 0);
    EXPECT_FALSE(edit::RenameRequestType(model, 9, "Девятый").done);
}

class LinkModeTest : public CommandsTest {
  protected:
    void SetUp() override {
        q1 = Add(kQueue, "Накопитель1");
        q2 = Add(kQueue, "Накопитель2");
        c1 = Add(kChannel, "Канал1");
        c2 = Add(kChannel, "Канал2");
    }
    // Two presses from nothing chosen; what the second one gives.
    LinkStep Pair(uint8_t a, uint8_t b) {
        const LinkStep first = edit::LinkModePress(model, kNoIndex, a);
        EXPECT_EQ(first.linkSource, a);
        EXPECT_FALSE(first.refusal);
        return edit::LinkModePress(model, first.linkSource, b);
    }
    static void ExpectNotice(const LinkStep& s, RefusalBox box, const std::string& text) {
        EXPECT_FALSE(s.linked);
        EXPECT_EQ(s.refusal.box, box);
        EXPECT_EQ(s.refusal.text, text);
    }
    const uint8_t generator = 0, refusals = 1;
    uint8_t q1 = 0, q2 = 0, c1 = 0, c2 = 0;
};

TEST_F(LinkModeTest, RefusalsAreToldAndEndTheChoice) {
    const std::string sinkAsSource = "Сток не может быть выбран в качестве источника заявок.";
    const LinkStep sink = edit::LinkModePress(model, kNoIndex, refusals);
    ExpectNotice(sink, RefusalBox::kNotice, sinkAsSource);
    EXPECT_EQ(sink.linkSource, kNoIndex);

    const LinkStep toGenerator = Pair(c1, generator);
    ExpectNotice(toGenerator, RefusalBox::kNotice,
                 "Генератор не может быть выбран в качестве приемника заявок.");
    EXPECT_EQ(toGenerator.linkSource, kNoIndex);

    const LinkStep queues = Pair(q1, q2);
    ExpectNotice(queues, RefusalBox::kNotice,
                 "Накопитель не может быть выбран \nв качестве источника заявок для другого "
                 "накопителя \n(между двумя накопителями нельзя установить связь).");
    EXPECT_EQ(queues.linkSource, kNoIndex);
    EXPECT_TRUE(model.Node(q1)->receivers.empty());

    // What the mouse alone cannot choose: a sink as the source, a stale index.
    const LinkStep fromSink = edit::LinkModePress(model, refusals, q2);
    ExpectNotice(fromSink, RefusalBox::kNoticeWarning, sinkAsSource);
    EXPECT_EQ(fromSink.linkSource, kNoIndex);
    const LinkStep stale = edit::LinkModePress(model, 200, q2);
    ExpectNotice(stale, RefusalBox::kNoticeWarning, "Объект не найден.");
    EXPECT_EQ(stale.linkSource, 200);
}

TEST_F(LinkModeTest, AcceptedLinksAreMadeAndRepeatsKeepTheSource) {
    for (auto [a, b] : {std::pair<uint8_t, uint8_t>{generator, refusals},
                        {q1, c1},
                        {c1, c2},
                        {c2, q2},
                        {c1, refusals}}) {
        const LinkStep s = Pair(a, b);
        EXPECT_TRUE(s.linked);
        EXPECT_FALSE(s.refusal);
        EXPECT_EQ(s.linkSource, kNoIndex);
    }
    EXPECT_EQ(model.Node(c1)->receivers, std::vector<uint8_t>({c2, refusals}));
    EXPECT_EQ(model.Node(q1)->receivers, std::vector<uint8_t>({c1}));

    // An existing link, the source again, or a press on no node: nothing, source kept.
    const LinkStep again = Pair(q1, c1);
    EXPECT_FALSE(again.linked);
    EXPECT_FALSE(again.refusal);
    EXPECT_EQ(again.linkSource, q1);
    EXPECT_EQ(edit::LinkModePress(model, q1, q1).linkSource, q1);
    EXPECT_EQ(edit::LinkModePress(model, q1, kNoIndex).linkSource, q1);
    EXPECT_EQ(edit::LinkModePress(model, kNoIndex, kNoIndex).linkSource, kNoIndex);
    EXPECT_EQ(model.Node(q1)->receivers, std::vector<uint8_t>({c1}));

    EXPECT_TRUE(edit::Unlink(model, q1, c1).done);
    EXPECT_FALSE(edit::Unlink(model, q1, c1).done);
    EXPECT_FALSE(edit::Unlink(model, q1, kNoIndex).done);
    EXPECT_TRUE(model.Node(q1)->receivers.empty());
}

TEST_F(CommandsTest, MovingANodeWritesItsPosition) {
    EXPECT_TRUE(edit::MoveNode(model, 1, 300, 200).done);
    EXPECT_EQ(model.Node(1)->x, 300);
    EXPECT_EQ(model.Node(1)->y, 200);
    EXPECT_FALSE(edit::MoveNode(model, 2, 1, 1).done);
}

}  // namespace
}  // namespace marvolt
