#include "editor/logic/model_snapshot.h"

#include "kernel/record_fingerprint.h"
#include "persistence/model_record.h"

namespace marvolt {

namespace {

void CopyDependencies(const CDependsVector& from, CDependsVector& to) {
    to.Clear();
    to.growthStep = from.growthStep;
    to.valueCount = from.valueCount;
    for (uint32_t i = 0; i < from.itemCount(); ++i) {
        const CDependInfo& d = *from.Item(i);
        if (CDependInfo* e = to.Add(d.dependencyObject, d.dependencyType, d.dependencyIndicator))
            e->values = d.values;
    }
}

// The same node or type in another model, by name; 255 for none (and for 255).
uint8_t SameNode(uint8_t node, const CQueuingSystem& from, const CQueuingSystem& to) {
    return node < from.nodeCount() ? to.NodeIndex(from.Node(node)->name) : kNoIndex;
}
uint8_t SameType(uint8_t type, const CQueuingSystem& from, const CQueuingSystem& to) {
    return type < from.typeCount() ? to.RequestTypeIndex(from.RequestType(type)->name) : kNoIndex;
}

// The configuration alone: what runs produced is cleared, so that it is
// neither written nor compared.
std::unique_ptr<CQueuingSystem> Stripped(const CQueuingSystem& model) {
    auto m = ConfigurationCopy(model);
    m->modelTime = 0;
    m->arrived = 0;
    m->inSystem = 0.0f;
    m->maxInSystem = 0;
    m->usedFactor = FactorSettings{};
    // Where a factor experiment keeps the value it changes, to put it back.
    m->plannedFactor.savedA = 0;
    m->plannedFactor.savedB = 0.0f;
    m->plannedFactor.savedC = 0.0f;
    m->lastRunWasFactor = 0;
    for (uint32_t i = 0; i < m->dependencies.itemCount(); ++i)
        m->dependencies.Item(i)->values.clear();
    m->dependencies.valueCount = 0;
    for (auto& type : m->requestTypes)
        type->ResetType();
    return m;
}

template <class Write>
std::vector<uint8_t> Fingerprint(Write write) {
    std::vector<uint8_t> bytes;
    FingerprintWriter out(bytes);
    write(out);
    return bytes;
}

std::vector<uint8_t> ModelBytes(const CQueuingSystem& stripped) {
    return Fingerprint([&](RecordWriter& out) { WriteModelRecord(stripped, out); });
}

std::vector<uint8_t> NodeBytes(const CQSObject& node) {
    return Fingerprint([&](RecordWriter& out) { node.Write(out); });
}

std::vector<uint8_t> TypeBytes(const CRequestType& type) {
    return Fingerprint([&](RecordWriter& out) { WriteRequestType(type, out); });
}

}  // namespace

std::unique_ptr<CQueuingSystem> ConfigurationCopy(const CQueuingSystem& model) {
    auto copy = CQueuingSystem::CopyModel(model, false);
    // What a copy for the results leaves out belongs to the configuration.
    copy->modelDescription = model.modelDescription;
    copy->defaultNames = model.defaultNames;
    copy->precision = model.precision;
    copy->plannedFactor = model.plannedFactor;
    copy->usedFactor = model.usedFactor;
    copy->lastRunWasFactor = model.lastRunWasFactor;
    CopyDependencies(model.dependencies, copy->dependencies);
    copy->progressGuard = model.progressGuard;
    copy->progressPeriod = model.progressPeriod;
    copy->resultsValid = 0;
    return copy;
}

std::unique_ptr<CQueuingSystem> RestoredModel(const CQueuingSystem& state,
                                              const CQueuingSystem& replaced) {
    auto m = ConfigurationCopy(state);
    m->modelTime = replaced.modelTime;
    m->arrived = replaced.arrived;
    m->inSystem = replaced.inSystem;
    m->maxInSystem = replaced.maxInSystem;
    m->lastRunWasFactor = replaced.lastRunWasFactor;
    m->usedFactor = replaced.usedFactor;
    m->usedFactor.factorObject = SameNode(replaced.usedFactor.factorObject, replaced, *m);
    m->usedFactor.factorType = SameType(replaced.usedFactor.factorType, replaced, *m);
    m->dependencies.valueCount = replaced.dependencies.valueCount;
    for (uint32_t i = 0; i < m->dependencies.itemCount(); ++i) {
        CDependInfo& d = *m->dependencies.Item(i);
        d.values.clear();
        for (uint32_t j = 0; j < replaced.dependencies.itemCount(); ++j) {
            const CDependInfo& r = *replaced.dependencies.Item(j);
            if (r.dependencyIndicator == d.dependencyIndicator &&
                SameNode(r.dependencyObject, replaced, *m) == d.dependencyObject &&
                SameType(r.dependencyType, replaced, *m) == d.dependencyType) {
                d.values = r.values;
                break;
            }
        }
    }
    return m;
}

std::vector<std::string> ConfigurationDifferences(const CQueuingSystem& a,
                                                  const CQueuingSystem& b) {
    const auto sa = Stripped(a);
    const auto sb = Stripped(b);
    std::vector<std::string> parts;
    if (sa->nodeCount() != sb->nodeCount())
        parts.push_back("node count");
    if (sa->typeCount() != sb->typeCount())
        parts.push_back("type count");
    for (uint8_t i = 0; i < sa->nodeCount() && i < sb->nodeCount(); ++i) {
        if (NodeBytes(*sa->Node(i)) != NodeBytes(*sb->Node(i)))
            parts.push_back("node " + std::to_string(i) + " (" + sa->Node(i)->name + ")");
    }
    for (uint8_t t = 0; t < sa->typeCount() && t < sb->typeCount(); ++t) {
        if (TypeBytes(*sa->RequestType(t)) != TypeBytes(*sb->RequestType(t)))
            parts.push_back("request type " + std::to_string(t) + " (" +
                            sa->RequestType(t)->name + ")");
    }
    // What is left is the model's own settings: name, description, refusal
    // sink, stop criterion, factor, dependencies.
    if (parts.empty() && ModelBytes(*sa) != ModelBytes(*sb))
        parts.push_back("model");
    return parts;
}

bool SameConfiguration(const CQueuingSystem& a, const CQueuingSystem& b) {
    return ModelBytes(*Stripped(a)) == ModelBytes(*Stripped(b));
}

bool SameOutcomes(const CQueuingSystem& a, const CQueuingSystem& b) {
    if (a.modelTime != b.modelTime || a.arrived != b.arrived || a.inSystem != b.inSystem ||
        a.maxInSystem != b.maxInSystem || a.lastRunWasFactor != b.lastRunWasFactor ||
        a.factorRunsDone != b.factorRunsDone || !(a.usedFactor == b.usedFactor) ||
        a.dependencies.itemCount() != b.dependencies.itemCount())
        return false;
    for (uint32_t i = 0; i < a.dependencies.itemCount(); ++i) {
        if (a.dependencies.Item(i)->values != b.dependencies.Item(i)->values)
            return false;
    }
    return true;
}

}  // namespace marvolt
