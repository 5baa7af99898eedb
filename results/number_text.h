// Strict reading of the numbers a user types: plain decimal notation with "."
// whatever the locale, the whole text and nothing else. Every window and the
// batch runner read numbers through these, so "1,5", " 1", "inf" or "0x10"
// are refused everywhere alike.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace marvolt {

// [-]digits[.digits][(e|E)[+|-]digits], finite as a double. The exponent
// letter may be "E" because FormatValue writes it so.
std::optional<double> ParseReal(std::string_view text);
// ParseReal, and still finite once rounded to float32 (the model's storage).
std::optional<float> ParseFloat32(std::string_view text);
// [-]digits, within int64.
std::optional<int64_t> ParseInteger(std::string_view text);

}  // namespace marvolt
