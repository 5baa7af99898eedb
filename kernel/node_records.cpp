// The node records of the model file: a common header, then each kind's items.
#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/sink.h"

namespace marvolt {

namespace {

size_t Slots(const CQSObject& n) {
    return static_cast<size_t>(n.owner->typeCount()) + 1;
}
size_t Types(const CQSObject& n) {
    return n.owner->typeCount();
}
bool WithResults(const CQSObject& n) {
    return n.owner->resultsValid != 0;
}

// A list of node or type indices with one float per entry ("RCDT", "RQDT", "SRDT").
void WriteIndexList(RecordWriter& out, const std::vector<uint8_t>& indices,
                    const std::vector<float>& weights) {
    out.Count(indices.size());
    if (indices.empty())
        return;
    out.Array(indices, indices.size(), uint8_t{0});
    out.Array(weights, indices.size(), 0.0f);
}

bool ReadIndexList(RecordReader& in, std::vector<uint8_t>& indices, std::vector<float>& weights) {
    uint8_t n = 0;
    if (!in.U8(n))
        return false;
    return in.Array(indices, n) && in.Array(weights, n);
}

bool OptionalU8(RecordReader& in, const char* tag, uint8_t& v, uint8_t absent) {
    v = absent;
    return !in.Optional(tag) || in.U8(v);
}

bool OptionalLaw(RecordReader& in, const char* tag, LawRecord& law) {
    law = LawRecord{};
    return !in.Optional(tag) || in.Law(law);
}

// An optional array: absent leaves it empty.
template <class T>
bool OptionalArray(RecordReader& in, const char* tag, std::vector<T>& v, size_t n) {
    v.clear();
    return !in.Optional(tag) || in.Array(v, n);
}

// The per-slot arrays a record always stores: a slot without a distribution is
// written as a fresh one, which is what a reader then finds there.
template <class D>
void WriteDistribution(RecordWriter& out, const std::vector<std::optional<D>>& d, size_t slot) {
    if (slot < d.size() && d[slot]) {
        out.Distribution(*d[slot]);
    } else {
        out.Distribution(D{});
    }
}

// Slot 0 and the slot of every type the queue accepts.
bool StoredQueueSlot(const std::vector<uint8_t>& accepted, size_t slot) {
    return slot == 0 || (slot - 1 < accepted.size() && accepted[slot - 1] != 0);
}

void WriteHeader(const CQSObject& n, RecordWriter& out) {
    out.Tag("OBJT");
    out.U8(n.kind);
    out.Tag("NAME");
    out.ShortText(n.name);
    out.Tag("DESC");
    out.LongText(n.description);
    if (WithResults(n)) {
        out.Tag("INCT");
        out.Array(n.arrivals, Slots(n), 0u);
    }
    if (n.kind != kSink) {
        out.Tag("RCDT");
        WriteIndexList(out, n.receivers, n.routingProbabilities);
        out.Tag("RCCH");
        out.U8(n.routingDiscipline);
    }
    out.Tag("XYDT");
    out.I32(n.x);
    out.I32(n.y);
}

// The node was constructed from the kind byte in front of its record; the
// record's own kind byte must agree. A sink has no receiver items.
bool ReadHeader(CQSObject& n, RecordReader& in) {
    uint8_t kind = 0;
    if (!in.Expect("OBJT") || !in.U8(kind) || kind != n.kind)
        return false;
    if (!in.Expect("NAME") || !in.ShortText(n.name))
        return false;
    if (!in.Expect("DESC") || !in.LongText(n.description))
        return false;
    if (!OptionalArray(in, "INCT", n.arrivals, Slots(n)))
        return false;
    n.receivers.clear();
    n.routingProbabilities.clear();
    if (n.kind != kSink) {
        if (in.Optional("RCDT") && !ReadIndexList(in, n.receivers, n.routingProbabilities)) {
            return false;
        }
        if (!OptionalU8(in, "RCCH", n.routingDiscipline, kRouteInOrder))
            return false;
    }
    return in.Expect("XYDT") && in.I32(n.x) && in.I32(n.y);
}

}  // namespace

// ---- generator ----

void CGenerator::Write(RecordWriter& out) const {
    WriteHeader(*this, out);
    out.Tag("RQDT");
    WriteIndexList(out, generatedTypes, typeProbabilities);
    out.Tag("EFDL");
    out.Law(intervalLaw);
    out.Tag("EQDL");
    out.Law(batchLaw);
    out.Tag("FEDL");
    out.F32(static_cast<float>(firstEventTime));
    out.Tag("ECLM");
    out.U32(storedCount);
    out.Tag("CLMF");
    out.U8(storedFlag);
    out.Tag("ENDG");
}

bool CGenerator::Read(RecordReader& in) {
    return ReadHeader(*this, in) && in.Expect("RQDT") &&
           ReadIndexList(in, generatedTypes, typeProbabilities) && in.Expect("EFDL") &&
           in.Law(intervalLaw) && in.Expect("EQDL") && in.Law(batchLaw) && in.Expect("FEDL") &&
           in.Time(firstEventTime) && in.Expect("ECLM") && in.U32(storedCount) &&
           in.Expect("CLMF") && in.U8(storedFlag) && in.Expect("ENDG");
}

// ---- channel ----

void CChannel::Write(RecordWriter& out) const {
    const size_t types = Types(*this);
    WriteHeader(*this, out);
    out.Tag("DVCT");
    out.U8(deviceCount);
    out.Tag("SRDT");
    WriteIndexList(out, sources, sourceProbabilities);
    out.Tag("RTTF");
    out.U8(transformOn);
    if (types > 0) {
        out.Tag("RQAC");
        out.Array(acceptedTypes, types, uint8_t{0});
        if (!serviceLaws.empty()) {
            out.Tag("RQPT");
            out.Array(serviceLaws, types, LawRecord{});
        }
        if (!transformTable.empty()) {
            out.Tag("TRQT");
            // A missing entry keeps its type.
            for (size_t t = 0; t < types; ++t) {
                out.U8(t < transformTable.size() ? transformTable[t] : static_cast<uint8_t>(t));
            }
        }
    }
    out.Tag("FLAL");
    out.U8(failuresOn);
    out.Tag("WKTM");
    out.Law(workLaw);
    out.Tag("RPTM");
    out.Law(repairLaw);
    out.Tag("FLRL");
    out.U8(failureRule);
    out.Tag("RSCH");
    out.U8(reserveChannel);
    out.Tag("SRCH");
    out.U8(sourceDiscipline);
    out.Tag("DWTF");
    out.U8(idleDistFlag);
    out.Tag("PRTF");
    out.U8(serviceDistFlag);
    out.Tag("USEC");
    out.F32(loadFactor);
    out.Tag("ADWT");
    out.F32(meanIdle);
    out.Tag("MDWT");
    out.F32(maxIdle);
    out.Tag("DWTD");
    out.Distribution(idleDistribution);
    out.Tag("APRT");
    out.F32(meanService);
    out.Tag("MIPT");
    out.F32(minService);
    out.Tag("MAPT");
    out.F32(maxService);
    out.Tag("PRTD");
    out.Distribution(serviceDistribution);
    if (!requestCounts.empty()) {
        out.Tag("RQCT");
        out.Array(requestCounts, Slots(*this), 0u);
    }
    out.Tag("ENDC");
}

bool CChannel::Read(RecordReader& in) {
    const size_t types = Types(*this);
    if (!ReadHeader(*this, in))
        return false;
    if (!in.Expect("DVCT") || !in.U8(deviceCount))
        return false;
    if (!in.Expect("SRDT") || !ReadIndexList(in, sources, sourceProbabilities))
        return false;
    if (!OptionalU8(in, "RTTF", transformOn, 0))
        return false;
    // The run indexes both per-type lists by every type, so an absent list
    // becomes one that accepts nothing and serves with the default law.
    if (!OptionalArray(in, "RQAC", acceptedTypes, types))
        return false;
    if (acceptedTypes.empty())
        acceptedTypes.assign(types, 0);
    if (!OptionalArray(in, "RQPT", serviceLaws, types))
        return false;
    if (serviceLaws.empty())
        serviceLaws.assign(types, LawRecord{});
    if (!OptionalArray(in, "TRQT", transformTable, types))
        return false;
    if (!OptionalU8(in, "FLAL", failuresOn, 0))
        return false;
    if (!OptionalLaw(in, "WKTM", workLaw) || !OptionalLaw(in, "RPTM", repairLaw))
        return false;
    if (!OptionalU8(in, "FLRL", failureRule, kFailToRefusal))
        return false;
    if (!OptionalU8(in, "RSCH", reserveChannel, kNoIndex))
        return false;
    return in.Expect("SRCH") && in.U8(sourceDiscipline) && in.Expect("DWTF") &&
           in.U8(idleDistFlag) && in.Expect("PRTF") && in.U8(serviceDistFlag) &&
           in.Expect("USEC") && in.F32(loadFactor) && in.Expect("ADWT") && in.F32(meanIdle) &&
           in.Expect("MDWT") && in.F32(maxIdle) && in.Expect("DWTD") &&
           in.Distribution(idleDistribution) && in.Expect("APRT") && in.F32(meanService) &&
           in.Expect("MIPT") && in.F32(minService) && in.Expect("MAPT") && in.F32(maxService) &&
           in.Expect("PRTD") && in.Distribution(serviceDistribution) &&
           OptionalArray(in, "RQCT", requestCounts, Slots(*this)) && in.Expect("ENDC");
}

// ---- queue ----

void CQueue::Write(RecordWriter& out) const {
    const size_t types = Types(*this);
    const size_t slots = Slots(*this);
    WriteHeader(*this, out);
    out.Tag("RQCH");
    out.U8(discipline);
    out.Tag("APRF");
    out.U8(usePriority);
    out.Tag("CLMF");
    out.U8(lengthLimited);
    out.Tag("WTRL");
    out.U8(waitLimitMode);
    out.Tag("WTLM");
    out.F32(waitLimit);
    out.Tag("RQCL");
    out.U32(lengthLimit);
    if (types > 0) {
        out.Tag("RQAC");
        out.Array(acceptedTypes, types, uint8_t{0});
        if (!waitLimitLaws.empty()) {
            out.Tag("WLDL");
            out.Array(waitLimitLaws, types, LawRecord{});
        }
    }
    out.Tag("QLTF");
    out.Array(lengthDistFlags, slots, uint8_t{0});
    out.Tag("WTFL");
    out.Array(waitDistFlags, slots, uint8_t{0});
    if (WithResults(*this)) {
        const std::pair<const char*, const std::vector<float>*> reals[] = {{"RFCF", &refused},
                                                                           {"AWTM", &totalWait},
                                                                           {"MIWT", &minWait},
                                                                           {"MAWT", &maxWait},
                                                                           {"AQLT", &meanLength}};
        for (const auto& [tag, v] : reals) {
            out.Tag(tag);
            out.Array(*v, slots, 0.0f);
        }
        const std::pair<const char*, const std::vector<uint32_t>*> counts[] = {
            {"MAQL", &maxWaitingCount}, {"RQCT", &waitingCount}, {"NINC", &zeroWaitCount}};
        for (const auto& [tag, v] : counts) {
            out.Tag(tag);
            out.Array(*v, slots, 0u);
        }
    }
    out.Tag("WTMD");
    for (size_t s = 0; s < slots; ++s) {
        if (StoredQueueSlot(acceptedTypes, s))
            WriteDistribution(out, waitDistributions, s);
    }
    out.Tag("QLTD");
    for (size_t s = 0; s < slots; ++s) {
        if (StoredQueueSlot(acceptedTypes, s))
            WriteDistribution(out, lengthDistributions, s);
    }
    out.Tag("ENDQ");
}

bool CQueue::Read(RecordReader& in) {
    const size_t types = Types(*this);
    const size_t slots = Slots(*this);
    if (!ReadHeader(*this, in))
        return false;
    if (!in.Expect("RQCH") || !in.U8(discipline))
        return false;
    if (!OptionalU8(in, "APRF", usePriority, 0))
        return false;
    if (!in.Expect("CLMF") || !in.U8(lengthLimited) || !in.Expect("WTRL") ||
        !in.U8(waitLimitMode) || !in.Expect("WTLM") || !in.F32(waitLimit) || !in.Expect("RQCL") ||
        !in.U32(lengthLimit)) {
        return false;
    }
    // Without the accepted types the stored distributions cannot be placed.
    if (!OptionalArray(in, "RQAC", acceptedTypes, types))
        return false;
    if (acceptedTypes.size() != types)
        return false;
    if (!OptionalArray(in, "WLDL", waitLimitLaws, types))
        return false;
    if (!in.Expect("QLTF") || !in.Array(lengthDistFlags, slots))
        return false;
    if (!in.Expect("WTFL") || !in.Array(waitDistFlags, slots))
        return false;
    if (!OptionalArray(in, "RFCF", refused, slots) ||
        !OptionalArray(in, "AWTM", totalWait, slots) ||
        !OptionalArray(in, "MIWT", minWait, slots) || !OptionalArray(in, "MAWT", maxWait, slots) ||
        !OptionalArray(in, "AQLT", meanLength, slots) ||
        !OptionalArray(in, "MAQL", maxWaitingCount, slots) ||
        !OptionalArray(in, "RQCT", waitingCount, slots) ||
        !OptionalArray(in, "NINC", zeroWaitCount, slots)) {
        return false;
    }
    waitDistributions.assign(slots, std::nullopt);
    lengthDistributions.assign(slots, std::nullopt);
    if (!in.Expect("WTMD"))
        return false;
    for (size_t s = 0; s < slots; ++s) {
        if (!StoredQueueSlot(acceptedTypes, s))
            continue;
        if (!in.Distribution(waitDistributions[s].emplace()))
            return false;
    }
    if (!in.Expect("QLTD"))
        return false;
    for (size_t s = 0; s < slots; ++s) {
        if (!StoredQueueSlot(acceptedTypes, s))
            continue;
        if (!in.Distribution(lengthDistributions[s].emplace()))
            return false;
    }
    return in.Expect("ENDQ");
}

// ---- sink ----

void CDispose::Write(RecordWriter& out) const {
    const size_t slots = Slots(*this);
    WriteHeader(*this, out);
    if (WithResults(*this)) {
        out.Tag("ALFT");
        out.Array(meanLifetime, slots, 0.0f);
        out.Tag("MILT");
        out.Array(minLifetime, slots, kLargestFloat);
        out.Tag("MALT");
        out.Array(maxLifetime, slots, 0.0f);
    }
    out.Tag("LFTF");
    out.Array(lifetimeDistFlags, slots, uint8_t{0});
    out.Tag("LFTD");
    for (size_t s = 0; s < slots; ++s)
        WriteDistribution(out, lifetimeDistributions, s);
    out.Tag("ENDD");
}

bool CDispose::Read(RecordReader& in) {
    const size_t slots = Slots(*this);
    if (!ReadHeader(*this, in))
        return false;
    if (!OptionalArray(in, "ALFT", meanLifetime, slots) ||
        !OptionalArray(in, "MILT", minLifetime, slots) ||
        !OptionalArray(in, "MALT", maxLifetime, slots)) {
        return false;
    }
    if (!in.Expect("LFTF") || !in.Array(lifetimeDistFlags, slots))
        return false;
    if (!in.Expect("LFTD"))
        return false;
    lifetimeDistributions.assign(slots, std::nullopt);
    for (auto& d : lifetimeDistributions) {
        if (!in.Distribution(d.emplace()))
            return false;
    }
    return in.Expect("ENDD");
}

}  // namespace marvolt
