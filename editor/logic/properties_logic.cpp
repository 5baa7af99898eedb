#include "editor/logic/properties_logic.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "editor/logic/model_commands.h"
#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "persistence/text_codec.h"
#include "results/application_data.h"
#include "results/number_text.h"

namespace marvolt {

namespace {

const std::string kEnterCorrect = "\nПожалуйста, введите корректное значение.";
const std::string kNegativeWaitLimit =
    "Предельное значение времени ожидания не может быть меньше 0." + kEnterCorrect;

// A code the dialog cannot show becomes code 0.
uint8_t Known(uint8_t code, uint8_t last) {
    return code <= last ? code : 0;
}

LinkCopy CopyLinks(const std::vector<uint8_t>& nodes, const std::vector<float>& probabilities,
                   uint8_t discipline, uint8_t nodeCount) {
    LinkCopy c;
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i] >= nodeCount)
            continue;
        c.nodes.push_back(nodes[i]);
        c.probabilities.push_back(i < probabilities.size() ? probabilities[i] : 0.0f);
    }
    c.discipline = Known(discipline, kRouteFewest);
    return c;
}

// Per-type arrays of a node sized to the model's types.
template <class T>
std::vector<T> PerType(const std::vector<T>& v, uint8_t typeCount, const T& fill) {
    std::vector<T> out(v.begin(), v.begin() + std::min<size_t>(v.size(), typeCount));
    out.resize(typeCount, fill);
    return out;
}

void DraftQueue(const CQueue& q, uint8_t types, NodeDraft& d) {
    d.discipline = Known(q.discipline, kLeastTimeToRefusal);
    d.usePriority = q.usePriority ? 1 : 0;
    d.lengthLimited = q.lengthLimited ? 1 : 0;
    d.lengthLimit = q.lengthLimit;
    d.waitLimit = q.waitLimit;
    d.acceptedTypes = PerType<uint8_t>(q.acceptedTypes, types, 1);
    d.typeLaws = PerType(q.waitLimitLaws, types, LawRecord{});
    SetWaitLimitMode(d, Known(q.waitLimitMode, kWaitFixedLimit));
}

void DraftChannel(const CChannel& c, const CQueuingSystem& m, NodeDraft& d) {
    const uint8_t types = m.typeCount();
    d.deviceCount = std::max<uint8_t>(c.deviceCount, 1);
    d.sources = CopyLinks(c.sources, c.sourceProbabilities, c.sourceDiscipline, m.nodeCount());
    d.acceptedTypes = PerType<uint8_t>(c.acceptedTypes, types, 1);
    d.typeLaws = PerType(c.serviceLaws, types, LawRecord{});
    d.transform.resize(types);
    for (uint8_t t = 0; t < types; ++t) {
        const bool mapped = t < c.transformTable.size() && c.transformTable[t] < types;
        d.transform[t] = mapped ? c.transformTable[t] : t;
    }
    d.transformOn = c.transformOn ? 1 : 0;
    d.failuresOn = c.failuresOn ? 1 : 0;
    d.workLaw = c.workLaw;
    d.repairLaw = c.repairLaw;
    const std::vector<uint8_t> candidates = ReserveCandidates(m, d.index);
    const bool known =
        std::find(candidates.begin(), candidates.end(), c.reserveChannel) != candidates.end();
    d.reserveChannel = known ? c.reserveChannel : kNoIndex;
    d.failureRule = Known(c.failureRule, kFailWaitForRepair);
    if (d.reserveChannel == kNoIndex &&
        (d.failureRule == kFailContinueInReserve || d.failureRule == kFailRestartInReserve))
        d.failureRule = kFailToRefusal;
}

// Sort keys in the order of the bytes the model file stores.
class NameKeys {
  public:
    std::string Key(const std::string& name) {
        std::string stored;
        return codec_.Encode(name, stored) ? stored : name;
    }

  private:
    TextCodec codec_;
};

void SortByName(std::vector<uint8_t>& types, const CQueuingSystem& m) {
    NameKeys keys;
    std::vector<std::pair<std::string, uint8_t>> keyed;
    for (uint8_t t : types)
        keyed.emplace_back(keys.Key(m.RequestType(t)->name), t);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < keyed.size(); ++i)
        types[i] = keyed[i].second;
}

bool Contains(const std::vector<uint8_t>& v, uint8_t x) {
    return std::find(v.begin(), v.end(), x) != v.end();
}

// The sum of a list's probabilities as the kernel adds them, in float32.
float SumOf(const std::vector<float>& probabilities) {
    float sum = 0.0f;
    for (float p : probabilities)
        sum += p;
    return sum;
}

std::optional<DraftRefusal> SumRefusal(const std::vector<float>& probabilities, float precision,
                                       DraftField field, const std::string& what) {
    const float sum = SumOf(probabilities);
    if (sum >= 1.0f - precision && sum <= 1.0f + precision)
        return std::nullopt;
    // Enough digits to tell the sum from 1: three significant digits would
    // show 1.002 as "1" and leave the user guessing.
    return DraftRefusal{field, "Сумма вероятностей " + what +
                                   " имеет некорректное значение: " + ExactNumber(sum) +
                                   ".\nУстановите значения вероятностей таким образом, чтобы "
                                   "сумма была равна 1."};
}

}  // namespace

NodeDraft DraftOf(const CQSObject& node) {
    const CQueuingSystem& m = *node.owner;
    NodeDraft d;
    d.kind = node.kind;
    d.index = m.NodeIndex(node.name);
    d.name = node.name;
    if (node.kind != kSink)
        d.receivers = CopyLinks(node.receivers, node.routingProbabilities, node.routingDiscipline,
                                m.nodeCount());
    switch (node.kind) {
        case kGenerator: {
            const auto& g = static_cast<const CGenerator&>(node);
            for (size_t i = 0; i < g.generatedTypes.size(); ++i) {
                if (g.generatedTypes[i] >= m.typeCount() ||
                    Contains(d.generatedTypes, g.generatedTypes[i]))
                    continue;
                d.generatedTypes.push_back(g.generatedTypes[i]);
                d.typeProbabilities.push_back(
                    i < g.typeProbabilities.size() ? g.typeProbabilities[i] : 0.0f);
            }
            d.intervalLaw = g.intervalLaw;
            d.batchLaw = g.batchLaw;
            break;
        }
        case kQueue:
            DraftQueue(static_cast<const CQueue&>(node), m.typeCount(), d);
            break;
        case kChannel:
            DraftChannel(static_cast<const CChannel&>(node), m, d);
            break;
        default:
            break;
    }
    return d;
}

TypeDraft DraftOf(const CRequestType& type) {
    return {type.name, std::min<uint8_t>(type.priority, RequestTypeLimit)};
}

// ---- request-type lists ----

std::vector<uint8_t> AdmittedTypes(const NodeDraft& d) {
    if (d.kind == kGenerator)
        return d.generatedTypes;
    std::vector<uint8_t> out;
    for (size_t t = 0; t < d.acceptedTypes.size(); ++t) {
        if (d.acceptedTypes[t])
            out.push_back(static_cast<uint8_t>(t));
    }
    return out;
}

std::vector<uint8_t> OtherTypes(const NodeDraft& d, const CQueuingSystem& m) {
    const std::vector<uint8_t> admitted = AdmittedTypes(d);
    std::vector<uint8_t> out;
    for (uint8_t t = 0; t < m.typeCount(); ++t) {
        if (!Contains(admitted, t))
            out.push_back(t);
    }
    SortByName(out, m);
    return out;
}

void AdmitTypes(NodeDraft& d, const CQueuingSystem& m, const std::vector<uint8_t>& types) {
    if (types.empty())
        return;
    for (uint8_t t : types) {
        if (t >= m.typeCount())
            continue;
        if (d.kind != kGenerator) {
            if (t < d.acceptedTypes.size())
                d.acceptedTypes[t] = 1;
        } else if (!Contains(d.generatedTypes, t)) {
            d.generatedTypes.push_back(t);
            d.typeProbabilities.push_back(0.0f);
        }
    }
    if (d.kind == kGenerator)
        SortGeneratorTypes(d, m);
}

void AdmitAllTypes(NodeDraft& d, const CQueuingSystem& m) {
    AdmitTypes(d, m, OtherTypes(d, m));
}

void DismissTypes(NodeDraft& d, const std::vector<uint8_t>& types) {
    for (uint8_t t : types) {
        if (d.kind != kGenerator) {
            if (t < d.acceptedTypes.size())
                d.acceptedTypes[t] = 0;
            continue;
        }
        const auto at = std::find(d.generatedTypes.begin(), d.generatedTypes.end(), t);
        if (at == d.generatedTypes.end())
            continue;
        d.typeProbabilities.erase(d.typeProbabilities.begin() + (at - d.generatedTypes.begin()));
        d.generatedTypes.erase(at);
    }
}

void DismissAllTypes(NodeDraft& d) {
    DismissTypes(d, AdmittedTypes(d));
}

void SortGeneratorTypes(NodeDraft& d, const CQueuingSystem& m) {
    std::vector<size_t> order(d.generatedTypes.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    NameKeys keys;
    std::vector<std::string> key;
    for (uint8_t t : d.generatedTypes)
        key.push_back(keys.Key(m.RequestType(t)->name));
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return key[a] < key[b]; });
    std::vector<uint8_t> types;
    std::vector<float> probabilities;
    for (size_t i : order) {
        types.push_back(d.generatedTypes[i]);
        probabilities.push_back(d.typeProbabilities[i]);
    }
    d.generatedTypes = std::move(types);
    d.typeProbabilities = std::move(probabilities);
}

bool NameBytesLess(const std::string& a, const std::string& b) {
    NameKeys keys;
    return keys.Key(a) < keys.Key(b);
}

// ---- grid texts ----

std::vector<TypeRow> TypeRows(const NodeDraft& d, const CQueuingSystem& m) {
    std::vector<TypeRow> rows;
    const std::vector<uint8_t> admitted = AdmittedTypes(d);
    for (size_t i = 0; i < admitted.size(); ++i) {
        const uint8_t t = admitted[i];
        TypeRow row{t, m.RequestType(t)->name, {}, {}};
        if (d.kind == kGenerator) {
            row.second = ShownNumber(d.typeProbabilities[i]);
        } else {
            row.second = AppData.LawText(d.typeLaws[t]);
            if (d.kind == kChannel)
                row.third = m.RequestType(d.transform[t])->name;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<LinkRow> LinkRows(const LinkCopy& links, const CQueuingSystem& m) {
    std::vector<LinkRow> rows;
    for (size_t i = 0; i < links.nodes.size(); ++i)
        rows.push_back({m.Node(links.nodes[i])->name, ShownNumber(links.probabilities[i])});
    return rows;
}

std::string ShownNumber(float x) {
    return AppData.FormatValue(x);
}

std::string ExactNumber(float x) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, x);
    return std::string(text, result.ptr);
}

// ---- probabilities ----

NumberInput ReadProbabilityCell(std::string_view text, std::string_view shown, float stored) {
    if (text == shown)
        return {stored, {}};
    const std::optional<float> v = ParseFloat32(text);
    if (!v)
        return {std::nullopt, "Величина \"" + std::string(text) +
                                  "\" не соответствует формату десятичной дроби." + kEnterCorrect};
    if (*v < 0.0f || *v > 1.0f)
        return {std::nullopt, "Вероятность не должна быть меньше 0 или больше 1." + kEnterCorrect};
    return {v, {}};
}

void SetEqualProbabilities(std::vector<float>& probabilities) {
    if (probabilities.empty())
        return;
    const float share = 1.0f / static_cast<float>(probabilities.size());
    std::fill(probabilities.begin(), probabilities.end(), share);
}

std::optional<size_t> MoveLink(LinkCopy& links, size_t entry, bool up) {
    const size_t n = links.nodes.size();
    if (entry >= n || (up && entry == 0) || (!up && entry + 1 >= n))
        return std::nullopt;
    const size_t other = up ? entry - 1 : entry + 1;
    std::swap(links.nodes[entry], links.nodes[other]);
    std::swap(links.probabilities[entry], links.probabilities[other]);
    return other;
}

// ---- queue ----

void SetWaitLimitMode(NodeDraft& d, uint8_t mode) {
    d.waitLimitMode = mode;
    if (mode != kWaitRandomLimit && d.discipline == kLeastTimeToRefusal)
        d.discipline = kFifo;
}

NumberInput ReadWaitLimit(std::string_view text, std::string_view shown, float stored) {
    if (text == shown)
        return {stored, {}};
    const std::optional<float> v = ParseFloat32(text);
    if (!v)
        return {std::nullopt, "Значение \"" + std::string(text) +
                                  "\" не является вещественным числом." + kEnterCorrect};
    if (*v < 0.0f)
        return {std::nullopt, kNegativeWaitLimit};
    return {v, {}};
}

// ---- channel ----

std::vector<uint8_t> ReserveCandidates(const CQueuingSystem& m, uint8_t self) {
    NameKeys keys;
    std::vector<std::pair<std::string, uint8_t>> keyed;
    for (uint8_t i = 0; i < m.nodeCount(); ++i) {
        if (i != self && m.Node(i)->kind == kChannel)
            keyed.emplace_back(keys.Key(m.Node(i)->name), i);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<uint8_t> out;
    for (const auto& k : keyed)
        out.push_back(k.second);
    return out;
}

bool TransformTableNeeded(const NodeDraft& d) {
    if (d.transformOn)
        return true;
    for (size_t t = 0; t < d.transform.size(); ++t) {
        if (d.transform[t] != t)
            return true;
    }
    return false;
}

// ---- OK ----

std::optional<DraftRefusal> CheckDraft(const NodeDraft& d, const CQueuingSystem& m,
                                       const std::string& nameAtOpening) {
    if (std::string why = edit::RenameRefusal(m, nameAtOpening, d.name, false); !why.empty())
        return DraftRefusal{DraftField::kName, why};
    if (d.kind != kSink && d.receivers.discipline == kRouteRandom && !d.receivers.nodes.empty()) {
        if (auto r = SumRefusal(d.receivers.probabilities, m.precision, DraftField::kReceivers,
                                "выбора приемников"))
            return r;
    }
    if (d.kind == kQueue && d.waitLimitMode == kWaitFixedLimit &&
        !(std::isfinite(d.waitLimit) && d.waitLimit >= 0.0f))
        return DraftRefusal{DraftField::kWaitLimit, kNegativeWaitLimit};
    if (d.kind == kChannel && d.sources.discipline == kSourceRandom && !d.sources.nodes.empty()) {
        if (auto r = SumRefusal(d.sources.probabilities, m.precision, DraftField::kSources,
                                "выбора источников"))
            return r;
    }
    if (d.kind == kGenerator && !d.generatedTypes.empty()) {
        if (auto r = SumRefusal(d.typeProbabilities, m.precision, DraftField::kGeneratorTypes,
                                "генерации заявкок"))
            return r;
    }
    return std::nullopt;
}

std::optional<DraftRefusal> CheckDraft(const TypeDraft& d, const CQueuingSystem& m,
                                       const std::string& nameAtOpening) {
    if (std::string why = edit::RenameRefusal(m, nameAtOpening, d.name, true); !why.empty())
        return DraftRefusal{DraftField::kName, why};
    return std::nullopt;
}

void WriteDraft(const NodeDraft& d, CQSObject& node) {
    node.name = d.name;
    if (node.kind != kSink) {
        node.receivers = d.receivers.nodes;
        node.routingProbabilities = d.receivers.probabilities;
        node.routingDiscipline = d.receivers.discipline;
    }
    switch (node.kind) {
        case kGenerator: {
            auto& g = static_cast<CGenerator&>(node);
            g.generatedTypes = d.generatedTypes;
            g.typeProbabilities = d.typeProbabilities;
            g.intervalLaw = d.intervalLaw;
            g.batchLaw = d.batchLaw;
            break;
        }
        case kQueue: {
            auto& q = static_cast<CQueue&>(node);
            q.lengthLimited = d.lengthLimited;
            q.lengthLimit = d.lengthLimited ? d.lengthLimit : 0;
            if (d.waitLimitMode == kWaitFixedLimit)
                q.waitLimit = d.waitLimit;
            q.discipline = d.discipline;
            q.usePriority = d.usePriority;
            q.waitLimitMode = d.waitLimitMode;
            q.acceptedTypes = d.acceptedTypes;
            q.waitLimitLaws = d.typeLaws;
            break;
        }
        case kChannel: {
            auto& c = static_cast<CChannel&>(node);
            c.deviceCount = d.deviceCount;
            c.sources = d.sources.nodes;
            c.sourceProbabilities = d.sources.probabilities;
            c.sourceDiscipline = d.sources.discipline;
            c.acceptedTypes = d.acceptedTypes;
            c.serviceLaws = d.typeLaws;
            c.transformOn = d.transformOn;
            if (TransformTableNeeded(d))
                c.transformTable = d.transform;
            else
                c.transformTable.clear();
            c.failuresOn = d.failuresOn;
            c.workLaw = d.workLaw;
            c.repairLaw = d.repairLaw;
            c.reserveChannel = d.reserveChannel;
            // Without a reserve there is nowhere to continue or restart.
            const bool reserveRule =
                d.failureRule == kFailContinueInReserve || d.failureRule == kFailRestartInReserve;
            c.failureRule = reserveRule && d.reserveChannel == kNoIndex
                                ? static_cast<uint8_t>(kFailToRefusal)
                                : d.failureRule;
            break;
        }
        default:
            break;
    }
}

void WriteDraft(const TypeDraft& d, CRequestType& type) {
    type.name = d.name;
    type.priority = d.priority;
}

}  // namespace marvolt
