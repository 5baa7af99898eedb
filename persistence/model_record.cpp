#include "persistence/model_record.h"

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/sink.h"

namespace marvolt {

namespace {

constexpr uint8_t kLastIndicator = 28;

bool NodeOrNone(uint8_t i, size_t nodeCount) {
    return i == kNoIndex || i < nodeCount;
}
bool TypeOrAll(uint8_t t, size_t typeCount) {
    return t == kNoIndex || t < typeCount;
}

bool AllBelow(const std::vector<uint8_t>& indices, size_t limit) {
    for (uint8_t i : indices) {
        if (i >= limit)
            return false;
    }
    return true;
}

std::unique_ptr<CQSObject> MakeNode(uint8_t kind, CQueuingSystem* model) {
    switch (kind) {
        case kGenerator:
            return std::make_unique<CGenerator>(std::string(), model);
        case kChannel:
            return std::make_unique<CChannel>(std::string(), model);
        case kQueue:
            return std::make_unique<CQueue>(std::string(), model);
        case kSink:
            return std::make_unique<CDispose>(std::string(), model);
        default:
            return nullptr;
    }
}

// Every index a node holds must name a node or a type of the model.
bool NodeReferencesValid(const CQSObject& node, size_t nodes, size_t types) {
    if (!AllBelow(node.receivers, nodes))
        return false;
    switch (node.kind) {
        case kGenerator:
            return AllBelow(static_cast<const CGenerator&>(node).generatedTypes, types);
        case kChannel: {
            const auto& c = static_cast<const CChannel&>(node);
            return AllBelow(c.sources, nodes) && NodeOrNone(c.reserveChannel, nodes) &&
                   AllBelow(c.transformTable, types);
        }
        default:
            return true;
    }
}

bool FactorValid(const FactorSettings& f, size_t nodes, size_t types) {
    return NodeOrNone(f.factorObject, nodes) && TypeOrAll(f.factorType, types) &&
           f.factorParameter >= kFactorDevices && f.factorParameter <= kFactorServiceUpper;
}

}  // namespace

// ---- request type ----

void WriteRequestType(const CRequestType& type, RecordWriter& out) {
    out.Tag("NAME");
    out.ShortText(type.name);
    out.Tag("DESC");
    out.LongText(type.description);
    out.Tag("PRIO");
    out.U8(type.priority);
    out.Tag("QDFL");
    out.U8(type.countDistFlag);
    out.Tag("INCT");
    out.U32(type.generated);
    out.Tag("RQCT");
    out.U32(type.count);
    out.Tag("AVGC");
    out.F32(type.meanInSystem);
    out.Tag("MAXC");
    out.U32(type.maxInSystem);
    out.Tag("QTYD");
    out.Distribution(type.countDistribution);
    out.Tag("ENDR");
}

bool ReadRequestType(CRequestType& type, RecordReader& in) {
    if (!in.Expect("NAME") || !in.ShortText(type.name))
        return false;
    if (!in.Expect("DESC") || !in.LongText(type.description))
        return false;
    // Files of an earlier form have no priorities.
    type.priority = 0;
    if (in.Optional("PRIO") && !in.U8(type.priority))
        return false;
    return in.Expect("QDFL") && in.U8(type.countDistFlag) && in.Expect("INCT") &&
           in.U32(type.generated) && in.Expect("RQCT") && in.U32(type.count) && in.Expect("AVGC") &&
           in.F32(type.meanInSystem) && in.Expect("MAXC") && in.U32(type.maxInSystem) &&
           in.Expect("QTYD") && in.Distribution(type.countDistribution) && in.Expect("ENDR");
}

// ---- factor settings: 28 bytes ----

void WriteFactor(const FactorSettings& f, RecordWriter& out) {
    out.U8(f.factorObject);
    out.U8(f.factorType);
    out.U8(static_cast<uint8_t>(f.factorParameter));
    out.U8(0);
    out.F32(f.startValue);
    out.F32(f.step);
    out.U8(f.valueCount);
    out.U8(0);
    out.U8(0);
    out.U8(0);
    out.I32(f.savedA);
    out.F32(f.savedB);
    out.F32(f.savedC);
}

bool ReadFactor(FactorSettings& f, RecordReader& in) {
    uint8_t parameter = 0;
    if (!in.U8(f.factorObject) || !in.U8(f.factorType) || !in.U8(parameter) || !in.Skip(1) ||
        !in.F32(f.startValue) || !in.F32(f.step) || !in.U8(f.valueCount) || !in.Skip(3) ||
        !in.I32(f.savedA) || !in.F32(f.savedB) || !in.F32(f.savedC)) {
        return false;
    }
    f.factorParameter = static_cast<int8_t>(parameter);
    return true;
}

// ---- dependency list ----

void WriteDependencies(const CDependsVector& d, RecordWriter& out) {
    const uint8_t v = d.valueCount;
    out.U32(d.itemCount());
    out.U32(d.itemCapacity());
    out.U32(d.growthStep);
    out.U8(v);
    for (uint32_t i = 0; i < d.itemCount(); ++i) {
        const CDependInfo& e = *d.Item(i);
        out.U8(e.dependencyObject);
        out.U8(e.dependencyType);
        out.U8(e.dependencyIndicator);
        // The marker says whether values follow; there are always V of them.
        const bool hasValues = !e.values.empty() && v != 0;
        out.U8(hasValues ? v : 0);
        if (hasValues)
            out.Array(e.values, v, 0.0f);
    }
}

bool ReadDependencies(CDependsVector& d, RecordReader& in, size_t nodeCount, size_t typeCount) {
    uint32_t count = 0;
    uint32_t capacity = 0;
    uint32_t growth = 0;
    uint8_t v = 0;
    // The stored capacity is ignored: the list grows as it is filled, with the
    // file's growth step, so a file we wrote saves back to the same bytes.
    if (!in.U32(count) || !in.U32(capacity) || !in.U32(growth) || !in.U8(v))
        return false;
    (void)capacity;
    if (count > kDependencyLimit || count > in.Remaining() / 4)
        return false;
    d.Clear();
    d.growthStep = growth;
    d.valueCount = v;
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t object = 0;
        uint8_t type = 0;
        uint8_t indicator = 0;
        uint8_t marker = 0;
        if (!in.U8(object) || !in.U8(type) || !in.U8(indicator) || !in.U8(marker))
            return false;
        if (!NodeOrNone(object, nodeCount) || !TypeOrAll(type, typeCount) ||
            indicator > kLastIndicator) {
            return false;
        }
        std::vector<float> values;
        if (marker != 0 && !in.Array(values, v))
            return false;
        // A triple listed twice is never written.
        CDependInfo* e = d.Add(object, type, indicator);
        if (!e)
            return false;
        e->values = std::move(values);
    }
    return true;
}

// ---- model record ----

void WriteModelRecord(const CQueuingSystem& model, RecordWriter& out) {
    out.Tag("NAME");
    out.ShortText(model.modelName);
    out.Tag("DESC");
    out.LongText(model.modelDescription);
    out.Tag("FCCF");
    out.U8(model.factorRun);
    out.Tag("STCR");
    out.U8(model.resultsValid);
    out.Tag("RQDS");
    out.Count(model.requestTypes.size());
    for (const auto& type : model.requestTypes)
        WriteRequestType(*type, out);
    out.Tag("OBDS");
    out.Count(model.nodes.size());
    uint8_t sink = kNoIndex;
    for (size_t i = 0; i < model.nodes.size(); ++i) {
        const CQSObject& node = *model.nodes[i];
        out.Tag("OBJT");
        out.U8(node.kind);
        node.Write(out);
        if (&node == model.refusalSink)
            sink = static_cast<uint8_t>(i);
    }
    out.Tag("DSPN");
    out.U8(sink);
    out.Tag("TLMF");
    out.U8(model.stopByTime);
    out.Tag("TMLM");
    out.F32(model.timeLimit);
    out.Tag("ICLM");
    out.U32(model.arrivalsLimit);
    out.Tag("RQQF");
    out.U8(model.countDistFlag);
    out.Tag("CRTM");
    out.F32(static_cast<float>(model.modelTime));
    out.Tag("INCT");
    out.U32(model.arrived);
    out.Tag("ARQC");
    out.F32(model.inSystem);
    out.Tag("MARC");
    out.U32(model.maxInSystem);
    out.Tag("RQCD");
    out.Distribution(model.countDistribution);
    out.Tag("PLFC");
    WriteFactor(model.plannedFactor, out);
    out.Tag("USFC");
    WriteFactor(model.usedFactor, out);
    out.Tag("DPVC");
    WriteDependencies(model.dependencies, out);
}

std::unique_ptr<CQueuingSystem> ReadModelRecord(RecordReader& in) {
    auto m = std::make_unique<CQueuingSystem>();
    uint8_t types = 0;
    if (!in.Expect("NAME") || !in.ShortText(m->modelName) || !in.Expect("DESC") ||
        !in.LongText(m->modelDescription) || !in.Expect("FCCF") || !in.U8(m->factorRun) ||
        !in.Expect("STCR") || !in.U8(m->resultsValid) || !in.Expect("RQDS") || !in.U8(types) ||
        types > RequestTypeLimit) {
        return nullptr;
    }
    for (uint8_t t = 0; t < types; ++t) {
        auto type = std::make_unique<CRequestType>(std::string(), m.get());
        if (!ReadRequestType(*type, in))
            return nullptr;
        type->index = t;
        m->requestTypes.push_back(std::move(type));
    }

    uint8_t nodes = 0;
    if (!in.Expect("OBDS") || !in.U8(nodes) || nodes > ObjectLimit)
        return nullptr;
    for (uint8_t i = 0; i < nodes; ++i) {
        uint8_t kind = 0;
        if (!in.Expect("OBJT") || !in.U8(kind))
            return nullptr;
        // Nodes come to know the type count through their owner.
        std::unique_ptr<CQSObject> node = MakeNode(kind, m.get());
        if (!node || !node->Read(in))
            return nullptr;
        node->index = i;
        m->nodes.push_back(std::move(node));
    }
    for (const auto& node : m->nodes) {
        if (!NodeReferencesValid(*node, nodes, types))
            return nullptr;
    }

    uint8_t sink = kNoIndex;
    if (!in.Expect("DSPN") || !in.U8(sink))
        return nullptr;
    if (sink != kNoIndex) {
        // Only a sink can absorb the refused requests.
        if (sink >= nodes || m->nodes[sink]->kind != kSink)
            return nullptr;
        m->refusalSink = m->nodes[sink].get();
    }

    if (!in.Expect("TLMF") || !in.U8(m->stopByTime) || !in.Expect("TMLM") ||
        !in.F32(m->timeLimit) || !in.Expect("ICLM") || !in.U32(m->arrivalsLimit) ||
        !in.Expect("RQQF") || !in.U8(m->countDistFlag) || !in.Expect("CRTM") ||
        !in.Time(m->modelTime) || !in.Expect("INCT") || !in.U32(m->arrived) || !in.Expect("ARQC") ||
        !in.F32(m->inSystem) || !in.Expect("MARC") || !in.U32(m->maxInSystem) ||
        !in.Expect("RQCD") || !in.Distribution(m->countDistribution) || !in.Expect("PLFC") ||
        !ReadFactor(m->plannedFactor, in) || !in.Expect("USFC") || !ReadFactor(m->usedFactor, in) ||
        !in.Expect("DPVC") || !ReadDependencies(m->dependencies, in, nodes, types)) {
        return nullptr;
    }
    if (!FactorValid(m->plannedFactor, nodes, types) || !FactorValid(m->usedFactor, nodes, types)) {
        return nullptr;
    }
    return m;
}

}  // namespace marvolt
