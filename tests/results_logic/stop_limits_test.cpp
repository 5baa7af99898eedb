// The checks of the stop criterion's fields and their messages.
#include "results/logic/stop_limits.h"

#include <gtest/gtest.h>

namespace marvolt {
namespace {

TEST(StopLimitsTest, TimeLimitQuotesOnlyUnreadableTexts) {
    EXPECT_EQ(CheckTimeLimit("250.5").value, 250.5f);
    const FieldValue<float> zero = CheckTimeLimit("0");
    EXPECT_FALSE(zero.value);
    EXPECT_EQ(zero.message,
              "Введено некорректное значение.\nПравильным значением является любое положительное "
              "число.");
    const FieldValue<float> abc = CheckTimeLimit("abc");
    EXPECT_FALSE(abc.value);
    EXPECT_EQ(abc.message,
              "Введено некорректное значение \"abc\".\nПравильным значением является любое "
              "положительное число.");
    EXPECT_EQ(CheckTimeLimit("-5").message, zero.message);
    // Infinite as a float32: no model time would pass it.
    EXPECT_EQ(CheckTimeLimit("1e39").message, PositiveRealMessage("1e39"));
    EXPECT_EQ(CheckTimeLimit("1,5").message, PositiveRealMessage("1,5"));
}

TEST(StopLimitsTest, ArrivalsLimitStaysWithinWhatARunCanReach) {
    EXPECT_EQ(CheckArrivalsLimit("10000").value, 10000u);
    EXPECT_EQ(CheckArrivalsLimit("2147483647").value, 2147483647u);
    for (const char* text : {"4294967295", "2147483648", "0", "-3", "1.5", "1e3", "", " 7"}) {
        const FieldValue<uint32_t> v = CheckArrivalsLimit(text);
        EXPECT_FALSE(v.value) << text;
        EXPECT_EQ(v.message, std::string("Введено некорректное значение \"") + text +
                                 "\".\nПравильным значением является целое положительное число.");
    }
}

TEST(StopLimitsTest, ConfidenceInputsArePositiveReals) {
    EXPECT_EQ(CheckConfidenceInput("1.95").value, 1.95f);
    EXPECT_EQ(CheckConfidenceInput("0.01").value, 0.01f);
    for (const char* text : {"0", "-0.01", "abc", "nan", "1e-50", "1e39"}) {
        const FieldValue<float> v = CheckConfidenceInput(text);
        EXPECT_FALSE(v.value) << text;
        EXPECT_EQ(v.message, PositiveRealMessage(text));
    }
}

}  // namespace
}  // namespace marvolt
