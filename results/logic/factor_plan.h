// What the factor controls of the dependencies tab decide: which nodes can
// be the factor and which of their parameters, by node kind and law kind;
// the checks of the start value, step and number of values; keeping integer
// parameters within what the model can hold; and the check of every planned
// value before the experiment runs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "kernel/queuing_system.h"
#include "results/logic/indicator_panel.h"

namespace marvolt {

// The k-th value of a factor, as the experiment sets it.
float FactorValue(const FactorSettings& f, int k);

// Every node that is not a sink, in node order.
ChoiceList FactorObjects(const CQueuingSystem& m);

// The factor controls for one object: the request types (a channel's served
// types only), the parameters that fit its law, and the factor with the
// object, type and parameter they decide.
struct FactorChoices {
    ChoiceList types;
    bool typesEnabled = false;
    int typeSelected = -1;
    ChoiceList parameters;  // index: the parameter id
    int parameterSelected = -1;
    FactorSettings factor;
};

// For an object index that is no node, or a sink, both lists are empty and
// the factor is left as it was.
FactorChoices ChooseFactorObject(const CQueuingSystem& m, FactorSettings f, uint8_t object);
// Another request type of a channel: the parameters of that type's law; the
// chosen parameter stays if it fits.
FactorChoices ChooseFactorType(const CQueuingSystem& m, FactorSettings f, uint8_t type);

// Number of devices and queue length limit take whole values.
bool IsIntegerParameter(int8_t parameter);

// After a change of object or parameter: an integer parameter's start and
// step become whole numbers, the start within its range and the step such
// that the last value stays within it too (0 when nothing else fits).
FactorSettings NormaliseFactor(FactorSettings f);

// How a start value or step is shown: integer parameters in decimal, the
// others as every number of the window.
std::string FactorFieldText(int8_t parameter, float value);

// A typed start, step or number of values. Without a value the message says
// why; with one, a step that had to shrink so the last value stays in range
// comes along in newStep (a typed step may itself change: shown says so).
struct FactorInput {
    std::optional<float> value;
    std::string message;
    std::optional<float> newStep;
    bool changed = false;  // the stored value differs from the typed one
};
FactorInput ReadFactorStart(const FactorSettings& f, std::string_view text);
FactorInput ReadFactorStep(const FactorSettings& f, std::string_view text);
FactorInput ReadFactorCount(const FactorSettings& f, int count);

// Whether every planned value may stand in the model: a count within what
// the node holds, a law the law dialog would accept. The kernel's own
// refusals of the factor count as invalid too.
bool FactorValuesValid(const CQueuingSystem& m, const FactorSettings& f);

}  // namespace marvolt
