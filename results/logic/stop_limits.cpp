#include "results/logic/stop_limits.h"

#include "results/number_text.h"

namespace marvolt {

namespace {

std::string Incorrect(std::string_view text) {
    return "Введено некорректное значение \"" + std::string(text) + "\".\n";
}

constexpr const char* kAnyPositive = "Правильным значением является любое положительное число.";
constexpr const char* kIntegerPositive = "Правильным значением является целое положительное число.";

}  // namespace

std::optional<float> ReadPositiveReal(std::string_view text) {
    const std::optional<float> v = ParseFloat32(text);
    if (!v || !(*v > 0.0f))
        return std::nullopt;
    return v;
}

std::optional<uint32_t> ReadArrivalsLimit(std::string_view text) {
    const std::optional<int64_t> v = ParseInteger(text);
    if (!v || *v <= 0 || *v > kLargestArrivalsLimit)
        return std::nullopt;
    return static_cast<uint32_t>(*v);
}

std::string PositiveRealMessage(std::string_view text) {
    return Incorrect(text) + kAnyPositive;
}

std::string PositiveIntegerMessage(std::string_view text) {
    return Incorrect(text) + kIntegerPositive;
}

FieldValue<float> CheckTimeLimit(std::string_view text) {
    // Infinite once stored as a float32 ("1e39") counts as unreadable: no
    // model time could pass it.
    const std::optional<float> v = ParseFloat32(text);
    if (!v)
        return {std::nullopt, PositiveRealMessage(text)};
    if (!(*v > 0.0f))
        return {std::nullopt, std::string("Введено некорректное значение.\n") + kAnyPositive};
    return {v, {}};
}

FieldValue<uint32_t> CheckArrivalsLimit(std::string_view text) {
    const std::optional<uint32_t> v = ReadArrivalsLimit(text);
    if (!v)
        return {std::nullopt, PositiveIntegerMessage(text)};
    return {v, {}};
}

FieldValue<float> CheckConfidenceInput(std::string_view text) {
    const std::optional<float> v = ReadPositiveReal(text);
    if (!v)
        return {std::nullopt, PositiveRealMessage(text)};
    return {v, {}};
}

}  // namespace marvolt
