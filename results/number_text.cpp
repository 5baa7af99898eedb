#include "results/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace marvolt {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips a run of digits from i; false when there is none.
bool Digits(std::string_view text, size_t& i) {
    const size_t start = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    return i > start;
}

// The grammar is checked here so that std::from_chars, which also takes
// "inf", "nan" and hexadecimal digits, only ever sees plain decimals.
bool IsPlainDecimal(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && text[i] == '-')
        ++i;
    if (!Digits(text, i))
        return false;
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (!Digits(text, i))
            return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (!Digits(text, i))
            return false;
    }
    return i == text.size();
}

}  // namespace

std::optional<double> ParseReal(std::string_view text) {
    if (!IsPlainDecimal(text))
        return std::nullopt;
    double v = 0.0;
    const char* last = text.data() + text.size();
    // from_chars never reads the locale; out of a double's range it fails.
    const auto [end, ec] = std::from_chars(text.data(), last, v, std::chars_format::general);
    if (ec != std::errc() || end != last || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<float> ParseFloat32(std::string_view text) {
    const std::optional<double> v = ParseReal(text);
    if (!v)
        return std::nullopt;
    const float f = static_cast<float>(*v);
    if (!std::isfinite(f))
        return std::nullopt;
    return f;
}

std::optional<int64_t> ParseInteger(std::string_view text) {
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        ++i;
    if (!Digits(text, i) || i != text.size())
        return std::nullopt;
    // Accumulated negatively so that the smallest int64 fits as well.
    int64_t v = 0;
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    for (size_t k = negative ? 1 : 0; k < text.size(); ++k) {
        const int d = text[k] - '0';
        if (v < (kMin + d) / 10)
            return std::nullopt;
        v = v * 10 - d;
    }
    if (!negative) {
        if (v == kMin)
            return std::nullopt;
        v = -v;
    }
    return v;
}

}  // namespace marvolt
