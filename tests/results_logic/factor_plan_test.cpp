// The factor controls: parameters by node and law kind, the field checks,
// integer parameters kept within range, and every planned value checked.
#include "results/logic/factor_plan.h"

#include <gtest/gtest.h>

#include "tests/kernel/model_builders.h"
#include "tests/results_logic/choice_ids.h"

namespace marvolt {
namespace {

using namespace testing_models;

using test::Ids;

FactorSettings Devices(float start, float step, uint8_t count) {
    return Factor(QueueLine::kChannelAt, kFactorDevices, start, step, count);
}

class FactorPlan : public ::testing::Test {
  protected:
    QueueLine line = MakeQueueLine(Exponential(1.0f), Uniform(0.5f, 1.5f));
    CQueuingSystem& m = *line.model;
};

TEST_F(FactorPlan, ObjectsAreEveryNodeButTheSinks) {
    const ChoiceList objects = FactorObjects(m);
    EXPECT_EQ(Ids(objects), (std::vector<uint8_t>{QueueLine::kGeneratorAt, QueueLine::kQueueAt,
                                                  QueueLine::kChannelAt}));
    EXPECT_EQ(objects[0].text, "Генератор1");
}

TEST_F(FactorPlan, GeneratorParametersFollowItsIntervalLaw) {
    FactorSettings f;
    f.factorParameter = kFactorIntervalUpper;
    auto ids = [&](LawRecord law) {
        line.generator->intervalLaw = law;
        return ChooseFactorObject(m, f, QueueLine::kGeneratorAt);
    };
    EXPECT_EQ(Ids(ids(Deterministic(1)).parameters), (std::vector<uint8_t>{3}));
    EXPECT_EQ(ids(Deterministic(1)).factor.factorParameter, kFactorIntervalMean);
    const FactorChoices uniform = ids(Uniform(1, 2));
    EXPECT_EQ(Ids(uniform.parameters), (std::vector<uint8_t>{3, 4, 6, 7}));
    EXPECT_EQ(uniform.parameterSelected, 3) << "the upper bound is listed and stays";
    EXPECT_EQ(uniform.factor.factorParameter, kFactorIntervalUpper);
    EXPECT_EQ(uniform.parameters[3].text, "Верхняя граница интервала");
    EXPECT_FALSE(uniform.typesEnabled);
    EXPECT_TRUE(uniform.types.empty());
    EXPECT_EQ(Ids(ids(Exponential(1)).parameters), (std::vector<uint8_t>{5}));
    const FactorChoices normal = ids({kLawNormal, 3, 1});
    EXPECT_EQ(Ids(normal.parameters), (std::vector<uint8_t>{3, 4}));
    EXPECT_EQ(normal.factor.factorParameter, kFactorIntervalMean);
    EXPECT_EQ(normal.factor.factorObject, QueueLine::kGeneratorAt);
}

TEST_F(FactorPlan, ChannelParametersFollowTheServiceLawOfTheChosenType) {
    m.AddRequestType("Вторая");
    line.channel->serviceLaws[1] = {kLawNormal, 1.0f, 0.2f};
    line.channel->acceptedTypes = {1, 0};
    FactorSettings f;
    f.factorParameter = kFactorServiceUpper;
    f.factorType = 1;
    FactorChoices c = ChooseFactorObject(m, f, QueueLine::kChannelAt);
    ASSERT_TRUE(c.typesEnabled);
    EXPECT_EQ(Ids(c.types), (std::vector<uint8_t>{0})) << "only the types the channel serves";
    EXPECT_EQ(c.factor.factorType, 0);
    EXPECT_EQ(Ids(c.parameters), (std::vector<uint8_t>{0, 8, 9, 11, 12}));
    EXPECT_EQ(c.factor.factorParameter, kFactorServiceUpper);

    // The second channel serves the second type only, with a normal law.
    line.channel->acceptedTypes = {0, 1};
    c = ChooseFactorObject(m, c.factor, QueueLine::kChannelAt);
    EXPECT_EQ(c.factor.factorType, 1);
    EXPECT_EQ(Ids(c.parameters), (std::vector<uint8_t>{0, 8, 9}));
    EXPECT_EQ(c.factor.factorParameter, kFactorDevices) << "the upper bound is reset";
    EXPECT_EQ(c.parameters[c.parameterSelected].text, "Число устройств");

    line.channel->acceptedTypes = {1, 1};
    line.channel->serviceLaws[0] = Exponential(2.0f);
    f.factorObject = QueueLine::kChannelAt;
    f.factorParameter = kFactorServiceIntensity;
    f.factorType = 1;
    c = ChooseFactorType(m, f, 0);
    EXPECT_EQ(Ids(c.parameters), (std::vector<uint8_t>{0, 10}));
    EXPECT_EQ(c.factor.factorParameter, kFactorServiceIntensity);
    c = ChooseFactorType(m, c.factor, 1);
    EXPECT_EQ(c.factor.factorParameter, kFactorDevices) << "no intensity in a normal law";

    line.channel->acceptedTypes = {0, 0};
    c = ChooseFactorObject(m, c.factor, QueueLine::kChannelAt);
    EXPECT_TRUE(c.types.empty());
    EXPECT_EQ(c.factor.factorType, kNoIndex);
    EXPECT_EQ(Ids(c.parameters), (std::vector<uint8_t>{0}));
}

TEST_F(FactorPlan, QueueParametersAndObjectsThatAreNoFactor) {
    FactorSettings f;
    f.factorParameter = kFactorWaitLimit;
    FactorChoices q = ChooseFactorObject(m, f, QueueLine::kQueueAt);
    EXPECT_EQ(Ids(q.parameters), (std::vector<uint8_t>{1, 2}));
    EXPECT_EQ(q.parameterSelected, 1);
    f.factorParameter = kFactorIntervalMean;
    EXPECT_EQ(ChooseFactorObject(m, f, QueueLine::kQueueAt).factor.factorParameter,
              kFactorLengthLimit);
    const FactorChoices sink = ChooseFactorObject(m, f, QueueLine::kSinkAt);
    EXPECT_TRUE(sink.parameters.empty());
    EXPECT_EQ(sink.factor, f);
    EXPECT_TRUE(ChooseFactorObject(m, f, 200).parameters.empty());
}

TEST(FactorNormalisation, DevicesStayWithinWhatAChannelHolds) {
    FactorSettings f = NormaliseFactor(Devices(250, 1, 10));
    EXPECT_EQ(f.startValue, 250.0f);
    EXPECT_EQ(f.step, 0.0f) << "ten runs with 250 devices, never 259";
    f = NormaliseFactor(Devices(200, 10, 10));
    EXPECT_EQ(f.step, 6.0f);
    EXPECT_LE(FactorValue(f, 9), 255.0f);
    f = NormaliseFactor(Devices(2.4f, -3, 5));
    EXPECT_EQ(f.startValue, 2.0f);
    EXPECT_EQ(f.step, 1.0f);
    f = NormaliseFactor(Devices(0.5f, 1.6f, 5));
    EXPECT_EQ(f.startValue, 1.0f) << "outside 1 to 250 the start is 1";
    EXPECT_EQ(f.step, 2.0f);
    f = NormaliseFactor(Devices(251, 1, 1));
    EXPECT_EQ(f.startValue, 1.0f);
    f = NormaliseFactor(Devices(250, 7, 1));
    EXPECT_EQ(f.step, 7.0f) << "one value never passes the range";

    FactorSettings length = Factor(QueueLine::kQueueAt, kFactorLengthLimit, 2147483000.0f, 1000, 5);
    length = NormaliseFactor(length);
    EXPECT_LE(length.startValue + 4.0 * length.step, 2147483647.0);
    FactorSettings real = Factor(QueueLine::kQueueAt, kFactorWaitLimit, 0.25f, -1.5f, 5);
    EXPECT_EQ(NormaliseFactor(real), real) << "real parameters are left as they are";
}

TEST(FactorFields, StartValueRules) {
    FactorSettings f = Devices(1, 1, 10);
    FactorInput in = ReadFactorStart(f, "251");
    EXPECT_FALSE(in.value);
    EXPECT_EQ(in.message,
              "Введено некорректное значение.\nПравильным значением является любое целое "
              "\nположительное число, не превышающее 250.");
    EXPECT_FALSE(ReadFactorStart(f, "2.5").value);
    EXPECT_FALSE(ReadFactorStart(f, "0").value);
    in = ReadFactorStart(f, "250");
    EXPECT_EQ(in.value, 250.0f);
    EXPECT_EQ(in.newStep, 0.0f);
    in = ReadFactorStart(f, "246");
    EXPECT_EQ(in.newStep, std::nullopt) << "246 + 9 is still 255";

    FactorSettings length = Factor(QueueLine::kQueueAt, kFactorLengthLimit, 1, 1, 5);
    EXPECT_EQ(ReadFactorStart(length, "0").message,
              "Введено некорректное значение.\nПравильным значением является любое целое "
              "положительное число.");
    EXPECT_EQ(ReadFactorStart(length, "100000").value, 100000.0f);

    FactorSettings mean = Factor(QueueLine::kGeneratorAt, kFactorIntervalMean, 1, 1, 5);
    EXPECT_EQ(ReadFactorStart(mean, "0.5").value, 0.5f);
    EXPECT_EQ(ReadFactorStart(mean, "-1").message,
              "Введено некорректное значение.\nПравильным значением является любое "
              "неотрицательное число.");
    EXPECT_FALSE(ReadFactorStart(mean, "1,5").value);
}

TEST(FactorFields, StepAndNumberOfValuesRules) {
    FactorSettings f = Devices(1, 1, 5);
    FactorInput in = ReadFactorStep(f, "-3");
    EXPECT_EQ(in.value, 1.0f);
    EXPECT_TRUE(in.changed);
    EXPECT_TRUE(in.message.empty()) << "silently";
    in = ReadFactorStep(f, "2");
    EXPECT_EQ(in.value, 2.0f);
    EXPECT_FALSE(in.changed);
    EXPECT_EQ(ReadFactorStep(Devices(250, 1, 10), "3").value, 0.0f);
    EXPECT_EQ(ReadFactorStep(f, "x").message,
              "Введено некорректное значение.\nПравильным значением является любое целое "
              "положительное число.");
    EXPECT_FALSE(ReadFactorStep(f, "1.5").value);
    FactorSettings mean = Factor(QueueLine::kGeneratorAt, kFactorIntervalMean, 1, 1, 5);
    EXPECT_EQ(ReadFactorStep(mean, "0.25").value, 0.25f);
    EXPECT_FALSE(ReadFactorStep(mean, "-0.25").value);

    EXPECT_EQ(ReadFactorCount(f, 0).message, "Ошибка. Повторите ввод.");
    EXPECT_FALSE(ReadFactorCount(f, -2).value);
    in = ReadFactorCount(Devices(250, 1, 5), 10);
    EXPECT_EQ(in.value, 10.0f);
    EXPECT_EQ(in.newStep, 0.0f);
    EXPECT_EQ(ReadFactorCount(mean, 100).newStep, std::nullopt);

    EXPECT_EQ(FactorFieldText(kFactorDevices, 250.0f), "250");
    EXPECT_EQ(FactorFieldText(kFactorLengthLimit, 2147483648.0f), "2147483648");
    EXPECT_EQ(FactorFieldText(kFactorIntervalMean, 0.125f), "0.125");
}

TEST_F(FactorPlan, EveryPlannedValueIsCheckedAsTheLawDialogWould) {
    CGenerator& g = *line.generator;
    auto valid = [&](FactorSettings f) { return FactorValuesValid(m, f); };
    EXPECT_FALSE(valid(Factor(QueueLine::kGeneratorAt, kFactorIntervalIntensity, 0, 0.5f, 4)))
        << "an intensity of 0";
    EXPECT_TRUE(valid(Factor(QueueLine::kGeneratorAt, kFactorIntervalIntensity, 0.5f, 0.5f, 4)));
    g.intervalLaw = Deterministic(1);
    EXPECT_FALSE(valid(Factor(QueueLine::kGeneratorAt, kFactorIntervalMean, 0, 1, 3)))
        << "a zero interval";
    // A zero service time is instant service.
    line.channel->serviceLaws[0] = Deterministic(1);
    EXPECT_TRUE(valid(Factor(QueueLine::kChannelAt, kFactorServiceMean, 0, 1, 3, 0)));

    g.intervalLaw = Uniform(1, 3);
    EXPECT_FALSE(valid(Factor(QueueLine::kGeneratorAt, kFactorIntervalUpper, 0.5f, 0.5f, 4)))
        << "bounds that cross";
    EXPECT_TRUE(valid(Factor(QueueLine::kGeneratorAt, kFactorIntervalUpper, 1.5f, 0.5f, 4)));
    EXPECT_FALSE(valid(Factor(QueueLine::kGeneratorAt, kFactorIntervalMean, 0.5f, 1, 4)))
        << "the centred interval reaches below 0";
    EXPECT_TRUE(valid(Factor(QueueLine::kGeneratorAt, kFactorIntervalMean, 1, 1, 4)));
    EXPECT_FALSE(valid(Factor(QueueLine::kGeneratorAt, kFactorIntervalDeviation, 0, 0.1f, 4)))
        << "a deviation of 0 empties the interval";
    EXPECT_FALSE(valid(Factor(QueueLine::kGeneratorAt, kFactorIntervalDeviation, 0.1f, 0.5f, 4)))
        << "the last value reaches below 0";

    line.channel->serviceLaws[0] = {kLawNormal, 1, 0.5f};
    EXPECT_FALSE(valid(Factor(QueueLine::kChannelAt, kFactorServiceDeviation, 0, 0.5f, 3, 0)));
    EXPECT_TRUE(valid(Factor(QueueLine::kChannelAt, kFactorServiceDeviation, 0.5f, 0.5f, 3, 0)));

    EXPECT_TRUE(valid(Devices(250, 0, 10)));
    EXPECT_FALSE(valid(Devices(250, 1, 10))) << "259 devices";
    EXPECT_FALSE(valid(Devices(0, 1, 2))) << "no device";
    EXPECT_TRUE(valid(Factor(QueueLine::kQueueAt, kFactorWaitLimit, 0, 1, 3)));
    EXPECT_FALSE(valid(Factor(QueueLine::kQueueAt, kFactorLengthLimit, 0, 1, 3)));
    EXPECT_FALSE(valid(Factor(QueueLine::kSinkAt, kFactorDevices, 1, 1, 3)))
        << "the model's own refusal";

    // Nothing of the model changes by the check.
    EXPECT_EQ(g.intervalLaw, Uniform(1, 3));
    EXPECT_EQ(line.channel->serviceLaws[0], (LawRecord{kLawNormal, 1, 0.5f}));
}

}  // namespace
}  // namespace marvolt
