// The properties dialog's working copies, list decisions, checks and writing.
#include "editor/logic/properties_logic.h"

#include <gtest/gtest.h>

#include "editor/logic/model_commands.h"
#include "tests/kernel/model_builders.h"

namespace marvolt {
namespace {

const std::string kSumEnding =
    ".\nУстановите значения вероятностей таким образом, чтобы сумма была равна 1.";

// Generator1 -> Накопитель1 -> Канал1 -> Сток1, and the refusal sink.
class PropertiesLogicTest : public ::testing::Test {
  protected:
    uint8_t Index(const CQSObject* n) const { return m.NodeIndex(n->name); }

    testing_models::QueueLine line = testing_models::MakeQueueLine(
        testing_models::Deterministic(1.0f), testing_models::Deterministic(1.0f));
    CQueuingSystem& m = *line.model;
    CGenerator* generator = line.generator;
    CQueue* queue = line.queue;
    CChannel* channel = line.channel;
};

TEST_F(PropertiesLogicTest, GeneratorSumWithinPrecisionPasses) {
    m.AddRequestType("Тип_заявки2");
    NodeDraft d = DraftOf(*generator);
    AdmitAllTypes(d, m);
    d.typeProbabilities = {0.5f, 0.4995f};
    EXPECT_FALSE(CheckDraft(d, m, d.name));

    d.typeProbabilities = {0.5f, 0.498f};
    const auto r = CheckDraft(d, m, d.name);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->field, DraftField::kGeneratorTypes);
    EXPECT_EQ(
        r->message,
        "Сумма вероятностей генерации заявкок имеет некорректное значение: 0.998" + kSumEnding);
}

TEST_F(PropertiesLogicTest, RefusedSumShowsEnoughDigitsToDifferFromOne) {
    m.Link(Index(queue), Index(line.sink));
    NodeDraft d = DraftOf(*queue);
    d.receivers.discipline = kRouteRandom;
    d.receivers.probabilities = {0.5f, 0.502f};
    const auto r = CheckDraft(d, m, d.name);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->field, DraftField::kReceivers);
    EXPECT_EQ(
        r->message,
        "Сумма вероятностей выбора приемников имеет некорректное значение: 1.002" + kSumEnding);
    EXPECT_EQ(ExactNumber(1.0f / 3.0f), "0.33333334");
    EXPECT_EQ(ExactNumber(2.0f), "2");
}

TEST_F(PropertiesLogicTest, ProbabilitiesAreNotCheckedUnderListOrder) {
    m.Link(Index(queue), Index(line.sink));
    NodeDraft d = DraftOf(*queue);
    d.receivers.probabilities = {0.3f, 0.3f};
    d.receivers.discipline = kRouteInOrder;
    EXPECT_FALSE(CheckDraft(d, m, d.name));
    d.receivers.discipline = kRouteFewest;
    EXPECT_FALSE(CheckDraft(d, m, d.name));
    d.receivers.discipline = kRouteRandom;
    EXPECT_TRUE(CheckDraft(d, m, d.name));
    // Random routing with nobody to route to has nothing to sum.
    d.receivers = {{}, {}, kRouteRandom};
    EXPECT_FALSE(CheckDraft(d, m, d.name));
}

TEST_F(PropertiesLogicTest, SourcesSumIsCheckedForARandomChannel) {
    NodeDraft d = DraftOf(*channel);
    d.sources.discipline = kSourceRandom;
    d.sources.probabilities = {0.7f};
    const auto r = CheckDraft(d, m, d.name);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->field, DraftField::kSources);
    EXPECT_EQ(r->message.rfind(
                  "Сумма вероятностей выбора источников имеет некорректное значение: 0.7", 0),
              0u);
}

TEST(ProbabilityCell, TypedTextsAreReadStrictly) {
    const std::string format =
        "\" не соответствует формату десятичной дроби.\nПожалуйста, введите корректное значение.";
    const std::string range =
        "Вероятность не должна быть меньше 0 или больше 1.\nПожалуйста, введите корректное "
        "значение.";
    EXPECT_EQ(ReadProbabilityCell("1.5", "0", 0.0f).message, range);
    EXPECT_EQ(ReadProbabilityCell("-0.1", "0", 0.0f).message, range);
    for (const char* text : {"0,5", "abc", "nan", "inf", ""}) {
        const NumberInput in = ReadProbabilityCell(text, "0", 0.0f);
        EXPECT_FALSE(in.value) << text;
        EXPECT_EQ(in.message, "Величина \"" + std::string(text) + format) << text;
    }
    EXPECT_EQ(ReadProbabilityCell("0.25", "0", 0.0f).value, 0.25f);
    EXPECT_EQ(ReadProbabilityCell("1", "0", 0.0f).value, 1.0f);
    // A text still as shown keeps the stored value, not its rounding.
    EXPECT_EQ(ReadProbabilityCell("0.167", "0.167", 1.0f / 6.0f).value, 1.0f / 6.0f);
}

TEST_F(PropertiesLogicTest, TypesAddedToAGeneratorAreSortedWithProbabilityZero) {
    m.AddRequestType("Б");
    m.AddRequestType("А");
    NodeDraft d = DraftOf(*generator);
    AdmitTypes(d, m, OtherTypes(d, m));
    ASSERT_EQ(d.generatedTypes.size(), 3u);
    EXPECT_EQ(m.RequestType(d.generatedTypes[0])->name, "А");
    EXPECT_EQ(m.RequestType(d.generatedTypes[1])->name, "Б");
    EXPECT_EQ(m.RequestType(d.generatedTypes[2])->name, "Тип_заявки1");
    EXPECT_EQ(d.typeProbabilities, (std::vector<float>{0.0f, 0.0f, 1.0f}));
    SetEqualProbabilities(d.typeProbabilities);
    EXPECT_EQ(d.typeProbabilities, (std::vector<float>(3, 1.0f / 3.0f)));
    EXPECT_FALSE(CheckDraft(d, m, d.name));
    WriteDraft(d, *generator);
    EXPECT_EQ(generator->generatedTypes, d.generatedTypes);
    EXPECT_EQ(generator->Validate(), kOk);
}

TEST_F(PropertiesLogicTest, NamesSortInTheFileCodePage) {
    // In Windows-1251 "ё" (B8) comes before "Т" (D2), "а" (E0) and "я" (FF);
    // in UTF-8 it comes after all of them.
    EXPECT_TRUE(NameBytesLess("ёж", "а"));
    EXPECT_TRUE(NameBytesLess("а", "я"));
    EXPECT_TRUE(NameBytesLess("ёж", "я"));
    EXPECT_TRUE(NameBytesLess("Zeta", "Альфа"));
    EXPECT_TRUE(NameBytesLess("Тип", "Тип1"));  // a prefix sorts first
    EXPECT_FALSE(NameBytesLess("Тип1", "Тип"));
    m.AddRequestType("я");
    m.AddRequestType("ёж");
    m.AddRequestType("а");
    NodeDraft d = DraftOf(*generator);
    DismissAllTypes(d);
    std::vector<std::string> names;
    for (uint8_t t : OtherTypes(d, m))
        names.push_back(m.RequestType(t)->name);
    EXPECT_EQ(names, (std::vector<std::string>{"ёж", "Тип_заявки1", "а", "я"}));
}

TEST_F(PropertiesLogicTest, MovesOfAQueueSetAndClearAcceptFlags) {
    m.AddRequestType("Тип_заявки2");
    m.AddRequestType("Тип_заявки3");
    NodeDraft d = DraftOf(*queue);
    EXPECT_EQ(AdmittedTypes(d), (std::vector<uint8_t>{0, 1, 2}));
    DismissTypes(d, {2, 0});
    EXPECT_EQ(AdmittedTypes(d), (std::vector<uint8_t>{1}));
    EXPECT_EQ(OtherTypes(d, m), (std::vector<uint8_t>{0, 2}));
    AdmitTypes(d, m, {2});
    EXPECT_EQ(AdmittedTypes(d), (std::vector<uint8_t>{1, 2}));
    DismissAllTypes(d);
    EXPECT_TRUE(AdmittedTypes(d).empty());
    AdmitAllTypes(d, m);
    EXPECT_EQ(AdmittedTypes(d), (std::vector<uint8_t>{0, 1, 2}));
    DismissTypes(d, {1});
    WriteDraft(d, *queue);
    EXPECT_EQ(queue->acceptedTypes, (std::vector<uint8_t>{1, 0, 1}));
}

TEST_F(PropertiesLogicTest, GeneratorRemovalMovesLaterEntriesUp) {
    m.AddRequestType("Тип_заявки2");
    m.AddRequestType("Тип_заявки3");
    NodeDraft d = DraftOf(*generator);
    AdmitAllTypes(d, m);
    d.typeProbabilities = {0.2f, 0.3f, 0.5f};
    DismissTypes(d, {1});
    EXPECT_EQ(d.generatedTypes, (std::vector<uint8_t>{0, 2}));
    EXPECT_EQ(d.typeProbabilities, (std::vector<float>{0.2f, 0.5f}));
    DismissAllTypes(d);
    EXPECT_TRUE(d.generatedTypes.empty());
    // An empty list is not summed, and the generator then creates nothing.
    EXPECT_FALSE(CheckDraft(d, m, d.name));
}

TEST_F(PropertiesLogicTest, SixEqualReceiversAreAccepted) {
    for (int i = 1; i <= 5; ++i)
        m.Link(Index(generator), Index(m.AddSink("Приемник" + std::to_string(i))));
    NodeDraft d = DraftOf(*generator);
    d.receivers.discipline = kRouteRandom;
    SetEqualProbabilities(d.receivers.probabilities);
    const std::vector<LinkRow> rows = LinkRows(d.receivers, m);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].probability, "0.167");
    // Clicking through every cell reads nothing back that was not typed.
    for (size_t i = 0; i < rows.size(); ++i)
        d.receivers.probabilities[i] =
            *ReadProbabilityCell(rows[i].probability, rows[i].probability,
                                 d.receivers.probabilities[i])
                 .value;
    EXPECT_FALSE(CheckDraft(d, m, d.name));
}

TEST(EqualProbabilities, EmptyListStaysEmpty) {
    std::vector<float> none;
    SetEqualProbabilities(none);
    EXPECT_TRUE(none.empty());
}

TEST(LinkMoves, EntriesSwapWithTheirProbabilities) {
    LinkCopy links{{4, 5, 6}, {0.1f, 0.2f, 0.7f}, kRouteRandom};
    EXPECT_FALSE(MoveLink(links, 0, true));
    EXPECT_FALSE(MoveLink(links, 2, false));
    EXPECT_FALSE(MoveLink(links, 3, true));
    EXPECT_EQ(MoveLink(links, 2, true), 1u);
    EXPECT_EQ(links.nodes, (std::vector<uint8_t>{4, 6, 5}));
    EXPECT_EQ(links.probabilities, (std::vector<float>{0.1f, 0.7f, 0.2f}));
    EXPECT_EQ(MoveLink(links, 0, false), 1u);
    EXPECT_EQ(links.nodes, (std::vector<uint8_t>{6, 4, 5}));
    LinkCopy empty;
    EXPECT_FALSE(MoveLink(empty, 0, false));
}

TEST_F(PropertiesLogicTest, ChannelWithoutOtherChannelsGetsNoReserve) {
    channel->failureRule = kFailContinueInReserve;
    NodeDraft d = DraftOf(*channel);
    EXPECT_TRUE(ReserveCandidates(m, d.index).empty());
    EXPECT_EQ(d.reserveChannel, kNoIndex);
    EXPECT_EQ(d.failureRule, kFailToRefusal);
    // A reserve rule chosen while no reserve is chosen is not written as such.
    d.failuresOn = 1;
    d.failureRule = kFailRestartInReserve;
    WriteDraft(d, *channel);
    EXPECT_EQ(channel->reserveChannel, kNoIndex);
    EXPECT_EQ(channel->failureRule, kFailToRefusal);
}

TEST_F(PropertiesLogicTest, ReserveChoicesAreTheOtherChannelsByName) {
    auto* b = m.AddChannel("Б");
    auto* a = m.AddChannel("А");
    channel->reserveChannel = Index(a);
    channel->failureRule = kFailRestartInReserve;
    NodeDraft d = DraftOf(*channel);
    EXPECT_EQ(ReserveCandidates(m, d.index), (std::vector<uint8_t>{Index(a), Index(b)}));
    EXPECT_EQ(d.reserveChannel, Index(a));
    EXPECT_EQ(d.failureRule, kFailRestartInReserve);
    d.reserveChannel = Index(b);
    WriteDraft(d, *channel);
    EXPECT_EQ(channel->reserveChannel, Index(b));
    EXPECT_EQ(channel->failureRule, kFailRestartInReserve);
    // A reserve that is not another channel is none.
    channel->reserveChannel = Index(queue);
    EXPECT_EQ(DraftOf(*channel).reserveChannel, kNoIndex);
}

TEST_F(PropertiesLogicTest, TransformTableIsDroppedOnlyWhenItChangesNothing) {
    m.AddRequestType("Тип_заявки2");
    NodeDraft d = DraftOf(*channel);
    EXPECT_EQ(d.transform, (std::vector<uint8_t>{0, 1}));
    d.transformOn = 0;
    WriteDraft(d, *channel);
    EXPECT_TRUE(channel->transformTable.empty());

    d.transform[1] = 0;
    WriteDraft(d, *channel);
    EXPECT_EQ(channel->transformTable, (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(channel->transformOn, 0);

    d.transform = {0, 1};
    d.transformOn = 1;
    WriteDraft(d, *channel);
    EXPECT_EQ(channel->transformTable, (std::vector<uint8_t>{0, 1}));
}

TEST_F(PropertiesLogicTest, UnlimitedWaitingGivesUpTheLeastTimeDiscipline) {
    queue->waitLimitMode = kWaitRandomLimit;
    queue->discipline = kLeastTimeToRefusal;
    NodeDraft d = DraftOf(*queue);
    EXPECT_EQ(d.discipline, kLeastTimeToRefusal);
    SetWaitLimitMode(d, kWaitFixedLimit);
    EXPECT_EQ(d.discipline, kFifo);
    d.discipline = kLeastTimeToRefusal;
    SetWaitLimitMode(d, kWaitUnlimited);
    EXPECT_EQ(d.discipline, kFifo);
    d.discipline = kLifo;
    SetWaitLimitMode(d, kWaitRandomLimit);
    EXPECT_EQ(d.discipline, kLifo);
    // A file that pairs the discipline with another mode shows it as FIFO.
    queue->waitLimitMode = kWaitUnlimited;
    EXPECT_EQ(DraftOf(*queue).discipline, kFifo);
}

TEST_F(PropertiesLogicTest, UnknownCodesFromAFileShowAsCodeZero) {
    queue->discipline = 7;
    queue->waitLimitMode = 9;
    queue->routingDiscipline = 5;
    channel->failureRule = 4;
    channel->sourceDiscipline = 3;
    const NodeDraft q = DraftOf(*queue);
    EXPECT_EQ(q.discipline, 0);
    EXPECT_EQ(q.waitLimitMode, 0);
    EXPECT_EQ(q.receivers.discipline, 0);
    const NodeDraft c = DraftOf(*channel);
    EXPECT_EQ(c.failureRule, 0);
    EXPECT_EQ(c.sources.discipline, 0);
}

TEST_F(PropertiesLogicTest, FixedWaitingLimitZeroIsOneRuleInBothPlaces) {
    EXPECT_EQ(ReadWaitLimit("0", "5", 5.0f).value, 0.0f);
    EXPECT_EQ(ReadWaitLimit("-1", "5", 5.0f).message,
              "Предельное значение времени ожидания не может быть меньше 0.\nПожалуйста, "
              "введите корректное значение.");
    EXPECT_EQ(ReadWaitLimit("1,5", "5", 5.0f).message,
              "Значение \"1,5\" не является вещественным числом.\nПожалуйста, введите "
              "корректное значение.");
    // What is still shown as it was keeps the stored value: 1234.5 shows as 1235.
    EXPECT_EQ(ReadWaitLimit("1235", "1235", 1234.5f).value, 1234.5f);
    NodeDraft d = DraftOf(*queue);
    SetWaitLimitMode(d, kWaitFixedLimit);
    d.waitLimit = 0.0f;
    EXPECT_FALSE(CheckDraft(d, m, d.name));
    d.waitLimit = -1.0f;
    const auto r = CheckDraft(d, m, d.name);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->field, DraftField::kWaitLimit);
    EXPECT_FALSE(r->message.empty());
}

TEST_F(PropertiesLogicTest, QueueWritesItsLimitsAndLawTable) {
    m.AddRequestType("Тип_заявки2");
    queue->waitLimit = 7.0f;
    queue->waitLimitLaws.clear();  // as a queue that never had random limits
    NodeDraft d = DraftOf(*queue);
    EXPECT_EQ(d.typeLaws.size(), 2u);
    d.lengthLimited = 0;
    d.lengthLimit = 25;
    SetWaitLimitMode(d, kWaitRandomLimit);
    d.waitLimit = 3.0f;
    d.typeLaws[1] = {kLawExponential, 0.5f, 0.0f};
    d.usePriority = 1;
    WriteDraft(d, *queue);
    EXPECT_EQ(queue->lengthLimit, 0u) << "no limit while the box is unticked";
    EXPECT_EQ(queue->waitLimit, 7.0f) << "the fixed limit is written in its own mode only";
    EXPECT_EQ(queue->waitLimitMode, kWaitRandomLimit);
    ASSERT_EQ(queue->waitLimitLaws.size(), 2u);
    EXPECT_EQ(queue->waitLimitLaws[1], (LawRecord{kLawExponential, 0.5f, 0.0f}));
    EXPECT_EQ(queue->usePriority, 1);
    d.lengthLimited = 1;
    SetWaitLimitMode(d, kWaitFixedLimit);
    WriteDraft(d, *queue);
    EXPECT_EQ(queue->lengthLimit, 25u);
    EXPECT_EQ(queue->waitLimit, 3.0f);
}

TEST_F(PropertiesLogicTest, NameChecks) {
    const std::string other = "Объект с именем \"Канал1\" уже существует.";
    EXPECT_EQ(edit::RenameRefusal(m, "Накопитель1", "Канал1", false), other);
    EXPECT_EQ(edit::RenameRefusal(m, "Накопитель1", "Накопитель1", false), "");
    EXPECT_EQ(edit::RenameRefusal(m, "Накопитель1", "Накопитель2", false), "");
    EXPECT_EQ(edit::RenameRefusal(m, "Накопитель1", "  ", false),
              "Имя объекта не должно быть пустой строкой.                 \nПожалуйста, введите "
              "другое значение.");
    EXPECT_EQ(edit::RenameRefusal(m, "Канал1", "Тип_заявки1", false), "");
    EXPECT_EQ(edit::RenameRefusal(m, "Т", "Тип_заявки1", true),
              "Тип заявки с именем \"Тип_заявки1\" уже существует.");
    EXPECT_EQ(edit::RenameRefusal(m, "Т", "Канал1", true), "");
    // What the model file cannot hold.
    EXPECT_NE(edit::RenameRefusal(m, "Канал1", "Канал_漢", false).find("нельзя сохранить"),
              std::string::npos);
    std::string longest;
    for (int i = 0; i < 255; ++i)
        longest += "я";
    EXPECT_EQ(edit::RenameRefusal(m, "Канал1", longest, false), "");
    EXPECT_EQ(edit::RenameRefusal(m, "Канал1", longest + "я", false),
              "Имя объекта не должно быть длиннее 255 символов.\nПожалуйста, введите другое "
              "значение.");
    // The name on OK is checked with the same rules.
    NodeDraft d = DraftOf(*queue);
    d.name = "Канал1";
    const auto r = CheckDraft(d, m, "Накопитель1");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->field, DraftField::kName);
    EXPECT_EQ(r->message, other);
}

TEST_F(PropertiesLogicTest, RequestTypeDraftWritesNameAndPriority) {
    CRequestType* t = m.RequestType(0);
    t->priority = 4;
    TypeDraft d = DraftOf(*t);
    EXPECT_EQ(d.priority, 4);
    d.name = "Срочные";
    d.priority = 250;
    EXPECT_FALSE(CheckDraft(d, m, t->name));
    WriteDraft(d, *t);
    EXPECT_EQ(t->name, "Срочные");
    EXPECT_EQ(t->priority, 250);
    m.AddRequestType("Обычные");
    d.name = "Обычные";
    EXPECT_TRUE(CheckDraft(d, m, "Срочные"));
}

TEST_F(PropertiesLogicTest, GridTextsOfAChannel) {
    m.AddRequestType("Тип_заявки2");
    channel->serviceLaws[1] = {kLawUniform, 1.0f, 3.0f};
    channel->acceptedTypes[0] = 0;
    NodeDraft d = DraftOf(*channel);
    d.transform[1] = 0;
    const std::vector<TypeRow> rows = TypeRows(d, m);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "Тип_заявки2");
    EXPECT_EQ(rows[0].second, "Pавн. a=1 b=3");
    EXPECT_EQ(rows[0].third, "Тип_заявки1");
}

}  // namespace
}  // namespace marvolt
