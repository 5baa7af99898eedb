// The checks of the stop criterion's fields and of the confidence-interval
// method's inputs, with the messages a rejected text gets. The batch runner
// reads its limits through the same checks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marvolt {

// The largest arrivals limit a run can reach: the count of arrived requests
// is compared as unsigned 32 bits and would wrap before a larger one.
inline constexpr uint32_t kLargestArrivalsLimit = 2147483647u;

// A checked field: the value, or the message for the rejected text.
template <class T>
struct FieldValue {
    std::optional<T> value;
    std::string message;
};

// A positive real that stays finite and positive as a float32.
std::optional<float> ReadPositiveReal(std::string_view text);
// A positive integer a run can reach: 1 .. kLargestArrivalsLimit.
std::optional<uint32_t> ReadArrivalsLimit(std::string_view text);

// "Введено некорректное значение "<text>".\n" and the rule of the field.
std::string PositiveRealMessage(std::string_view text);
std::string PositiveIntegerMessage(std::string_view text);

// The time limit: an unreadable text is quoted, a readable one that is not
// positive is not.
FieldValue<float> CheckTimeLimit(std::string_view text);
FieldValue<uint32_t> CheckArrivalsLimit(std::string_view text);
// The quantile t and the half-width e of the confidence-interval method.
FieldValue<float> CheckConfidenceInput(std::string_view text);

}  // namespace marvolt
