// What the law editor decides: labels per law kind, the corrections made
// before a law is shown, and the rules for its parameters.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "kernel/random_stat.h"

namespace marvolt {

// Items of the law-kind list; the item index is the law kind.
inline const std::array<std::string, 4> kLawKindNames{"Детерминированный", "Равномерный",
                                                      "Показательный", "Нормальный"};

struct LawLabels {
    std::string label1;
    std::string symbol1;
    std::string label2;
    std::string symbol2;
    bool secondEnabled = false;
};

// The labels of a law kind; a kind outside the list gets those of kind 0.
LawLabels LawLabelsOf(uint8_t kind);

// The law as the editor shows it: a kind outside the list becomes
// deterministic, and a parameter the kind cannot use is replaced (an empty
// uniform interval gets the right bound a + 1, a zero intensity or deviation 1).
LawRecord CorrectedLaw(LawRecord law);

enum class LawField { kParam1, kParam2 };

// A refused parameter: the message for the user and the field to go back to.
struct LawRefusal {
    std::string message;
    LawField field;
};

// Whether a value may stand in a parameter of a law of this kind; the
// deterministic constant may be 0 only where zero is allowed (instant service).
bool Param1Valid(uint8_t kind, float value, bool allowZeroConstant);
bool Param2Valid(uint8_t kind, float value);

// The message of a refused parameter: "Введено некорректное значение." and the rule.
std::string Param1Refusal(uint8_t kind, bool allowZeroConstant);
std::string Param2Refusal(uint8_t kind);

// Reads the text typed into a parameter field. Without a value the message
// says why: not a number or outside the rule of the law kind.
struct ParamInput {
    std::optional<float> value;
    std::string message;
};
ParamInput ReadParam1(uint8_t kind, std::string_view text, bool allowZeroConstant);
ParamInput ReadParam2(uint8_t kind, std::string_view text);

// The whole law, as it must be to close the editor with OK: every parameter
// within its field's rule and a uniform interval that is not empty.
std::optional<LawRefusal> CheckLaw(const LawRecord& law, bool allowZeroConstant);

}  // namespace marvolt
