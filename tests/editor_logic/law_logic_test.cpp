// The law editor's corrections and parameter rules.
#include "editor/logic/law_logic.h"

#include <gtest/gtest.h>

#include <limits>

namespace marvolt {
namespace {

LawRecord Law(uint8_t kind, float p1, float p2) {
    return {kind, p1, p2};
}

const std::string kPositive =
    "Введено некорректное значение.\nПравильным значением является любое положительное число.";
const std::string kNonNegative =
    "Введено некорректное значение.\nПравильным значением является любое неотрицательное "
    "число.";

TEST(LawCorrection, SwitchingKindsKeepsUsableParameters) {
    // Uniform [1, 3] switched to normal needs no correction: mean 1, deviation 3.
    EXPECT_EQ(CorrectedLaw(Law(kLawNormal, 1, 3)), Law(kLawNormal, 1, 3));
    // Normal (2, 0.5) switched to uniform: the right bound becomes left + 1.
    EXPECT_EQ(CorrectedLaw(Law(kLawUniform, 2, 0.5f)), Law(kLawUniform, 2, 3));
    EXPECT_EQ(CorrectedLaw(Law(kLawUniform, 2, 2.000001f)), Law(kLawUniform, 2, 3));
    EXPECT_EQ(CorrectedLaw(Law(kLawUniform, 2, 2.5f)), Law(kLawUniform, 2, 2.5f));
    EXPECT_EQ(CorrectedLaw(Law(kLawExponential, 0, 7)), Law(kLawExponential, 1, 7));
    EXPECT_EQ(CorrectedLaw(Law(kLawNormal, 4, 0)), Law(kLawNormal, 4, 1));
    // A deterministic 0 is not corrected: whether it may stand depends on the caller.
    EXPECT_EQ(CorrectedLaw(Law(kLawDeterministic, 0, 3)), Law(kLawDeterministic, 0, 3));
    // A kind the list cannot show is shown as deterministic.
    EXPECT_EQ(CorrectedLaw(Law(9, 2, 1)), Law(kLawDeterministic, 2, 1));
}

TEST(LawCorrection, LabelsNameTheParametersOfEachKind) {
    EXPECT_EQ(LawLabelsOf(kLawDeterministic).symbol1, "c =");
    EXPECT_FALSE(LawLabelsOf(kLawDeterministic).secondEnabled);
    EXPECT_EQ(LawLabelsOf(kLawUniform).label2, "Правая граница");
    EXPECT_TRUE(LawLabelsOf(kLawUniform).secondEnabled);
    EXPECT_EQ(LawLabelsOf(kLawExponential).symbol1, "λ =");
    EXPECT_FALSE(LawLabelsOf(kLawExponential).secondEnabled);
    EXPECT_EQ(LawLabelsOf(kLawNormal).symbol2, "σ =");
    EXPECT_TRUE(LawLabelsOf(kLawNormal).secondEnabled);
}

TEST(LawFields, ConstantZeroOnlyForServiceTimes) {
    EXPECT_EQ(ReadParam1(kLawDeterministic, "0", false).message, kPositive);
    EXPECT_FALSE(ReadParam1(kLawDeterministic, "0", false).value);
    EXPECT_EQ(ReadParam1(kLawDeterministic, "0", true).value, 0.0f);
    EXPECT_EQ(ReadParam1(kLawDeterministic, "-1", true).message, kNonNegative);
    EXPECT_EQ(ReadParam1(kLawDeterministic, "2.5", false).value, 2.5f);
}

TEST(LawFields, EachKindHasItsRule) {
    EXPECT_EQ(ReadParam1(kLawNormal, "-3", false).message, kNonNegative);
    EXPECT_EQ(ReadParam1(kLawNormal, "0", false).value, 0.0f);
    EXPECT_EQ(ReadParam1(kLawExponential, "0", true).message, kPositive);
    EXPECT_EQ(ReadParam1(kLawUniform, "-0.5", false).message,
              "Введено некорректное значение.\nПравильным значением является любое "
              "неотрицательное число a < b.");
    EXPECT_EQ(ReadParam2(kLawUniform, "0").message,
              "Введено некорректное значение.\nПравильным значением является любое "
              "положительное число b > a.");
    EXPECT_EQ(ReadParam2(kLawNormal, "0").message, kPositive);
    EXPECT_EQ(ReadParam2(kLawNormal, "0.25").value, 0.25f);
}

TEST(LawFields, OnlyPlainDecimalsAreNumbers) {
    // Letters, a comma, and the words for the special values all get the rule text.
    for (const char* text : {"abc", "1,5", "nan", "inf", "", " 2", "2x", "1e39"}) {
        const ParamInput in = ReadParam1(kLawExponential, text, false);
        EXPECT_FALSE(in.value) << text;
        EXPECT_EQ(in.message, kPositive) << text;
    }
    EXPECT_EQ(ReadParam1(kLawExponential, "1.5E3", false).value, 1500.0f);
}

TEST(CheckLawOnClose, EmptyUniformIntervalIsRefused) {
    const auto r = CheckLaw(Law(kLawUniform, 5, 5), false);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->field, LawField::kParam2);
    EXPECT_NE(r->message.find("правая граница должна быть больше левой"), std::string::npos);
    EXPECT_FALSE(CheckLaw(Law(kLawUniform, 5, 5.1f), false));
}

TEST(CheckLawOnClose, ExponentialAndNormalMessages) {
    const auto e = CheckLaw(Law(kLawExponential, 0, 0), false);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->message,
              "Параметры закона распределения установлены неправильно.\nВ показательном "
              "распределении интенсивность должна быть больше 0.\nПожалуйста, введите "
              "корректное значение.");
    EXPECT_EQ(e->field, LawField::kParam1);
    const auto n = CheckLaw(Law(kLawNormal, 1, 0), false);
    ASSERT_TRUE(n);
    EXPECT_EQ(n->field, LawField::kParam2);
    EXPECT_NE(n->message.find("среднеквадратичное отклонение"), std::string::npos);
}

TEST(CheckLawOnClose, AppliesTheFieldRulesToo) {
    // Uniform [0, 3] switched to deterministic gives c = 0: an interval of 0
    // would stall model time, so it needs the service-time permission.
    const auto r = CheckLaw(Law(kLawDeterministic, 0, 3), false);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->message, kPositive);
    EXPECT_EQ(r->field, LawField::kParam1);
    EXPECT_FALSE(CheckLaw(Law(kLawDeterministic, 0, 3), true));
    // Values no field would take, as a damaged file may hold them.
    EXPECT_TRUE(CheckLaw(Law(kLawNormal, -1, 1), false));
    EXPECT_TRUE(CheckLaw(Law(kLawUniform, -2, 1), false));
    EXPECT_TRUE(CheckLaw(Law(kLawExponential, std::numeric_limits<float>::infinity(), 0), false));
    EXPECT_TRUE(CheckLaw(Law(kLawNormal, 1, std::numeric_limits<float>::quiet_NaN()), false));
    // The second parameter of a one-parameter law means nothing and is not judged.
    EXPECT_FALSE(CheckLaw(Law(kLawExponential, 2, -5), false));
}

}  // namespace
}  // namespace marvolt
