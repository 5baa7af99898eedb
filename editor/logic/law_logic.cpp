#include "editor/logic/law_logic.h"

#include <cmath>

#include "results/number_text.h"

namespace marvolt {

namespace {

// Below this a bound difference, an intensity or a deviation counts as none.
constexpr float kSmallest = 0.00001f;

const std::string kIncorrect = "Введено некорректное значение.\n";
const std::string kAnyPositive = "Правильным значением является любое положительное число.";
const std::string kAnyNonNegative = "Правильным значением является любое неотрицательное число.";

std::string Param1Rule(uint8_t kind, bool allowZeroConstant) {
    switch (kind) {
        case kLawUniform:
            return "Правильным значением является любое неотрицательное число a < b.";
        case kLawExponential:
            return kAnyPositive;
        case kLawNormal:
            return kAnyNonNegative;
        default:
            return allowZeroConstant ? kAnyNonNegative : kAnyPositive;
    }
}

std::string Param2Rule(uint8_t kind) {
    if (kind == kLawUniform)
        return "Правильным значением является любое положительное число b > a.";
    return kAnyPositive;
}

std::string WrongParameters(const std::string& why,
                            const std::string& ending = "введите корректное значение.") {
    return "Параметры закона распределения установлены неправильно.\n" + why + "\nПожалуйста, " +
           ending;
}

}  // namespace

LawLabels LawLabelsOf(uint8_t kind) {
    switch (kind) {
        case kLawUniform:
            return {"Левая граница", "a =", "Правая граница", "b =", true};
        case kLawExponential:
            return {"Интенсивность", "λ =", "Второй параметр", "", false};
        case kLawNormal:
            return {"Матем. ожидание,", "a =", "Среднекв. отклонение", "σ =", true};
        default:
            return {"Значение константы,", "c =", "Второй параметр", "", false};
    }
}

LawRecord CorrectedLaw(LawRecord law) {
    switch (law.lawKind) {
        case kLawUniform:
            if (!(law.param2 - law.param1 >= kSmallest))
                law.param2 = law.param1 + 1.0f;
            break;
        case kLawExponential:
            if (!(law.param1 >= kSmallest))
                law.param1 = 1.0f;
            break;
        case kLawNormal:
            if (!(law.param2 >= kSmallest))
                law.param2 = 1.0f;
            break;
        case kLawDeterministic:
            break;
        default:
            law.lawKind = kLawDeterministic;
            break;
    }
    return law;
}

bool Param1Valid(uint8_t kind, float value, bool allowZeroConstant) {
    if (!std::isfinite(value))
        return false;
    switch (kind) {
        case kLawUniform:
        case kLawNormal:
            return value >= 0.0f;
        case kLawExponential:
            return value > 0.0f;
        default:
            return allowZeroConstant ? value >= 0.0f : value > 0.0f;
    }
}

bool Param2Valid(uint8_t, float value) {
    return std::isfinite(value) && value > 0.0f;
}

std::string Param1Refusal(uint8_t kind, bool allowZeroConstant) {
    return kIncorrect + Param1Rule(kind, allowZeroConstant);
}

std::string Param2Refusal(uint8_t kind) {
    return kIncorrect + Param2Rule(kind);
}

ParamInput ReadParam1(uint8_t kind, std::string_view text, bool allowZeroConstant) {
    const std::optional<float> v = ParseFloat32(text);
    if (!v || !Param1Valid(kind, *v, allowZeroConstant))
        return {std::nullopt, Param1Refusal(kind, allowZeroConstant)};
    return {v, {}};
}

ParamInput ReadParam2(uint8_t kind, std::string_view text) {
    const std::optional<float> v = ParseFloat32(text);
    if (!v || !Param2Valid(kind, *v))
        return {std::nullopt, Param2Refusal(kind)};
    return {v, {}};
}

std::optional<LawRefusal> CheckLaw(const LawRecord& law, bool allowZeroConstant) {
    const uint8_t kind = law.lawKind;
    // The law-specific wording comes first, as the user knows it; every other
    // parameter outside its field's rule is refused with that field's rule, so
    // nothing reaches the model that the field itself would refuse.
    if (kind == kLawUniform && !(law.param2 - law.param1 >= kSmallest))
        return LawRefusal{WrongParameters("В равномерном распределении правая граница должна "
                                          "быть больше левой.",
                                          "введите корректные значения."),
                          LawField::kParam2};
    if (kind == kLawExponential && !(law.param1 > 0.0f))
        return LawRefusal{
            WrongParameters("В показательном распределении интенсивность должна быть больше 0."),
            LawField::kParam1};
    if (kind == kLawNormal && !(law.param2 > 0.0f))
        return LawRefusal{WrongParameters("В нормальном распределении среднеквадратичное "
                                          "отклонение должно быть больше 0."),
                          LawField::kParam2};
    if (!Param1Valid(kind, law.param1, allowZeroConstant))
        return LawRefusal{Param1Refusal(kind, allowZeroConstant), LawField::kParam1};
    if (LawLabelsOf(kind).secondEnabled && !Param2Valid(kind, law.param2))
        return LawRefusal{Param2Refusal(kind), LawField::kParam2};
    return std::nullopt;
}

}  // namespace marvolt
