#include "results/logic/factor_plan.h"

#include <cmath>
#include <vector>

#include "editor/logic/law_logic.h"
#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "results/application_data.h"
#include "results/number_text.h"

namespace marvolt {

namespace {

const std::string kIncorrect = "Введено некорректное значение.\n";
const std::string kWholePositive = "Правильным значением является любое целое положительное число.";
const std::string kDevicesStart =
    "Правильным значением является любое целое \nположительное число, не превышающее 250.";
const std::string kNonNegative = "Правильным значением является любое неотрицательное число.";

// A channel has at most 255 devices; a start above 250 leaves no room to step.
constexpr double kDevicesMax = 255.0;
constexpr double kDevicesStartMax = 250.0;
// What the kernel can hold as a length limit.
constexpr double kLengthMax = 2147483647.0;

double ValueMax(int8_t parameter) {
    return parameter == kFactorDevices ? kDevicesMax : kLengthMax;
}

double StartMax(int8_t parameter) {
    return parameter == kFactorDevices ? kDevicesStartMax : kLengthMax;
}

// Rounding half up, as the start and step of integer parameters are rounded.
double Rounded(double v) {
    return std::trunc(v + 0.5);
}

// The step, reduced so that the last of n values from s stays at most max;
// 0 when even one step would pass it.
double LimitedStep(double s, double h, int n, double max) {
    if (n > 1 && s + (n - 1) * h > max)
        return std::floor((max - s) / (n - 1));
    return h;
}

std::vector<int8_t> LawParameters(uint8_t lawKind, bool service) {
    const int shift = service ? kFactorServiceMean - kFactorIntervalMean : 0;
    std::vector<int8_t> roles;
    switch (lawKind) {
        case kLawDeterministic:
            roles = {kFactorIntervalMean};
            break;
        case kLawUniform:
            roles = {kFactorIntervalMean, kFactorIntervalDeviation, kFactorIntervalLower,
                     kFactorIntervalUpper};
            break;
        case kLawExponential:
            roles = {kFactorIntervalIntensity};
            break;
        case kLawNormal:
            roles = {kFactorIntervalMean, kFactorIntervalDeviation};
            break;
        default:
            break;
    }
    std::vector<int8_t> ids;
    if (service)
        ids.push_back(kFactorDevices);
    for (int8_t r : roles)
        ids.push_back(static_cast<int8_t>(r + shift));
    return ids;
}

bool Served(const CChannel& c, uint8_t type) {
    return type < c.acceptedTypes.size() && c.acceptedTypes[type] != 0;
}

// The parameter list of the factor's object and type; the chosen parameter
// stays when listed, else the first one is chosen.
void ChooseParameter(const CQueuingSystem& m, FactorChoices& out) {
    FactorSettings& f = out.factor;
    const CQSObject* node = m.Node(f.factorObject);
    std::vector<int8_t> ids;
    switch (node->kind) {
        case kGenerator:
            ids = LawParameters(static_cast<const CGenerator*>(node)->intervalLaw.lawKind, false);
            break;
        case kChannel: {
            const auto* c = static_cast<const CChannel*>(node);
            if (f.factorType < c->serviceLaws.size() && Served(*c, f.factorType))
                ids = LawParameters(c->serviceLaws[f.factorType].lawKind, true);
            else
                ids = {kFactorDevices};
            break;
        }
        case kQueue:
            ids = {kFactorLengthLimit, kFactorWaitLimit};
            break;
        default:
            return;
    }
    out.parameterSelected = 0;
    for (size_t i = 0; i < ids.size(); ++i) {
        out.parameters.push_back({CAppData::ParameterName(ids[i]), static_cast<uint8_t>(ids[i])});
        if (ids[i] == f.factorParameter)
            out.parameterSelected = static_cast<int>(i);
    }
    f.factorParameter = ids[static_cast<size_t>(out.parameterSelected)];
}

void ServedTypes(const CQueuingSystem& m, const CChannel& c, FactorChoices& out) {
    out.typesEnabled = true;
    out.typeSelected = -1;
    for (uint8_t t = 0; t < m.typeCount(); ++t) {
        if (!Served(c, t))
            continue;
        if (t == out.factor.factorType || out.typeSelected < 0)
            out.typeSelected = static_cast<int>(out.types.size());
        out.types.push_back({m.RequestType(t)->name, t});
    }
    out.factor.factorType =
        out.typeSelected < 0 ? kNoIndex : out.types[static_cast<size_t>(out.typeSelected)].index;
}

// Start and step of a real parameter: any number from 0.
FactorInput ReadNonNegative(std::string_view text) {
    FactorInput in;
    const std::optional<float> v = ParseFloat32(text);
    if (!v || *v < 0.0f)
        in.message = kIncorrect + kNonNegative;
    else
        in.value = *v;
    return in;
}

bool CountFits(float v, double max) {
    const int n = NearestInteger(v);
    return std::isfinite(v) && n >= 1 && n <= max;
}

}  // namespace

float FactorValue(const FactorSettings& f, int k) {
    return static_cast<float>(f.startValue + static_cast<double>(k) * f.step);
}

ChoiceList FactorObjects(const CQueuingSystem& m) {
    ChoiceList list;
    for (uint8_t i = 0; i < m.nodeCount(); ++i) {
        if (m.Node(i)->kind != kSink)
            list.push_back({m.Node(i)->name, i});
    }
    return list;
}

FactorChoices ChooseFactorObject(const CQueuingSystem& m, FactorSettings f, uint8_t object) {
    FactorChoices out;
    out.factor = f;
    if (object >= m.nodeCount() || m.Node(object)->kind == kSink)
        return out;
    out.factor.factorObject = object;
    if (m.Node(object)->kind == kChannel)
        ServedTypes(m, *static_cast<const CChannel*>(m.Node(object)), out);
    ChooseParameter(m, out);
    return out;
}

FactorChoices ChooseFactorType(const CQueuingSystem& m, FactorSettings f, uint8_t type) {
    f.factorType = type;
    return ChooseFactorObject(m, f, f.factorObject);
}

bool IsIntegerParameter(int8_t parameter) {
    return parameter == kFactorDevices || parameter == kFactorLengthLimit;
}

FactorSettings NormaliseFactor(FactorSettings f) {
    if (!IsIntegerParameter(f.factorParameter))
        return f;
    double s = f.startValue;
    s = s >= 1.0 && s <= StartMax(f.factorParameter) ? Rounded(s) : 1.0;
    double h = Rounded(f.step);
    if (h < 1.0)
        h = 1.0;
    h = LimitedStep(s, h, f.valueCount, ValueMax(f.factorParameter));
    f.startValue = static_cast<float>(s);
    f.step = static_cast<float>(h);
    return f;
}

std::string FactorFieldText(int8_t parameter, float value) {
    if (IsIntegerParameter(parameter) && std::isfinite(value))
        return std::to_string(static_cast<int64_t>(value));
    return CAppData::FormatValue(value);
}

FactorInput ReadFactorStart(const FactorSettings& f, std::string_view text) {
    FactorInput in;
    const int8_t p = f.factorParameter;
    if (!IsIntegerParameter(p))
        return ReadNonNegative(text);
    const std::optional<int64_t> v = ParseInteger(text);
    if (!v || *v < 1 || static_cast<double>(*v) > StartMax(p)) {
        in.message = kIncorrect + (p == kFactorDevices ? kDevicesStart : kWholePositive);
        return in;
    }
    in.value = static_cast<float>(*v);
    const double h = LimitedStep(*in.value, f.step, f.valueCount, ValueMax(p));
    if (h != f.step)
        in.newStep = static_cast<float>(h);
    return in;
}

FactorInput ReadFactorStep(const FactorSettings& f, std::string_view text) {
    FactorInput in;
    const int8_t p = f.factorParameter;
    if (!IsIntegerParameter(p))
        return ReadNonNegative(text);
    const std::optional<int64_t> v = ParseInteger(text);
    if (!v) {
        in.message = kIncorrect + kWholePositive;
        return in;
    }
    // A step that does not move forward means a step of one.
    double h = *v <= 0 ? 1.0 : static_cast<double>(*v);
    h = LimitedStep(std::trunc(f.startValue), h, f.valueCount, ValueMax(p));
    in.value = static_cast<float>(h);
    in.changed = h != static_cast<double>(*v);
    return in;
}

FactorInput ReadFactorCount(const FactorSettings& f, int count) {
    FactorInput in;
    if (count <= 0 || count > 255) {
        in.message = "Ошибка. Повторите ввод.";
        return in;
    }
    in.value = static_cast<float>(count);
    const int8_t p = f.factorParameter;
    if (IsIntegerParameter(p)) {
        const double h = LimitedStep(std::trunc(f.startValue), f.step, count, ValueMax(p));
        if (h != f.step)
            in.newStep = static_cast<float>(h);
    }
    return in;
}

bool FactorValuesValid(const CQueuingSystem& m, const FactorSettings& f) {
    // The model's own steps set each value on a copy, so what is checked is
    // exactly what the runs would get.
    const std::unique_ptr<CQueuingSystem> copy = CQueuingSystem::CopyModel(m, false);
    copy->plannedFactor = f;
    if (copy->ValidateFactor() != kOk || copy->PrepareFactor() != kOk)
        return false;
    CQSObject* node = copy->Node(f.factorObject);
    for (int k = 0; k < f.valueCount; ++k) {
        const float v = FactorValue(f, k);
        if (!std::isfinite(v))
            return false;
        switch (f.factorParameter) {
            case kFactorDevices:
                if (!CountFits(v, kDevicesMax))
                    return false;
                continue;
            case kFactorLengthLimit:
                if (!CountFits(v, kLengthMax))
                    return false;
                continue;
            case kFactorWaitLimit:
                if (!(v >= 0.0f))
                    return false;
                continue;
            default:
                break;
        }
        copy->ApplyFactorValue(k);
        if (node->kind == kGenerator) {
            if (CheckLaw(static_cast<CGenerator*>(node)->intervalLaw, false))
                return false;
        } else {
            // A zero service time is instant service, as the law dialog allows it.
            if (CheckLaw(static_cast<CChannel*>(node)->serviceLaws[f.factorType], true))
                return false;
        }
    }
    return true;
}

}  // namespace marvolt
