// The strict number reading shared by the runner and the windows.
#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <locale>
#include <string>

#include "results/number_text.h"

namespace marvolt {
namespace {

TEST(NumberTextTest, RealsArePlainDecimalsWithAPoint) {
    EXPECT_EQ(ParseReal("0"), 0.0);
    EXPECT_EQ(ParseReal("-2.5"), -2.5);
    EXPECT_EQ(ParseReal("12.0625"), 12.0625);
    EXPECT_EQ(ParseReal("1e3"), 1000.0);
    EXPECT_EQ(ParseReal("1.5E-2"), 0.015) << "the form FormatValue writes reads back";
    EXPECT_EQ(ParseReal("2e+2"), 200.0);
    EXPECT_EQ(ParseReal("007"), 7.0);
    for (const char* bad : {"",      "-",   ".",     ".5",  "5.",   "1,5", " 1",   "1 ",  "+1",
                            "1e",    "1e+", "1.2.3", "inf", "-inf", "nan", "NAN",  "INF", "0x10",
                            "1e400", "1f",  "１",    "1\n", "--1",  "e5",  "1_000"}) {
        EXPECT_FALSE(ParseReal(bad)) << '"' << bad << '"';
    }
    EXPECT_FALSE(ParseReal(std::string_view("1\0", 2))) << "a zero byte is trailing text";
}

// A decimal comma everywhere the library could look: the C++ global locale
// (streams) and, where such a locale is installed, the C one (strtod).
struct CommaPoint : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(NumberTextTest, TheLocaleIsNeverRead) {
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    const std::string savedC = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "ru_RU.UTF-8");
    const auto point = ParseReal("1.5");
    const auto comma = ParseReal("1,5");
    const auto f = ParseFloat32("0.25");
    std::setlocale(LC_NUMERIC, savedC.c_str());
    std::locale::global(previous);
    EXPECT_EQ(point, 1.5);
    EXPECT_FALSE(comma);
    EXPECT_EQ(f, 0.25f);
}

TEST(NumberTextTest, Float32MustStayFiniteOnceRounded) {
    EXPECT_EQ(ParseFloat32("0.1"), 0.1f);
    EXPECT_EQ(ParseFloat32("3.4028234e38"), std::numeric_limits<float>::max());
    EXPECT_FALSE(ParseFloat32("3.5e38")) << "beyond float32";
    EXPECT_FALSE(ParseFloat32("1e40"));
    EXPECT_EQ(ParseFloat32("1e-46"), 0.0f) << "underflow is a finite zero";
    EXPECT_FALSE(ParseFloat32("1,5"));
    EXPECT_EQ(ParseReal("3.5e38"), 3.5e38) << "still a double";
}

TEST(NumberTextTest, IntegersAreDigitsWithinInt64) {
    EXPECT_EQ(ParseInteger("0"), 0);
    EXPECT_EQ(ParseInteger("-17"), -17);
    EXPECT_EQ(ParseInteger("9223372036854775807"), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(ParseInteger("-9223372036854775808"), std::numeric_limits<int64_t>::min());
    EXPECT_FALSE(ParseInteger("9223372036854775808"));
    EXPECT_FALSE(ParseInteger("-9223372036854775809"));
    EXPECT_FALSE(ParseInteger("99999999999999999999999"));
    for (const char* bad : {"", "-", "+5", "1.0", "1e3", " 5", "5 ", "0x10", "1,5", "inf"})
        EXPECT_FALSE(ParseInteger(bad)) << '"' << bad << '"';
}

}  // namespace
}  // namespace marvolt
