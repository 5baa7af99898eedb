#include "results/logic/planning_grid.h"

#include <limits>
#include <type_traits>

#include "kernel/channel.h"
#include "kernel/queue.h"
#include "kernel/sink.h"
#include "results/application_data.h"
#include "results/number_text.h"

namespace marvolt {

namespace {

constexpr const char* kLeft = "Левая граница";
constexpr const char* kRight = "Правая граница";
constexpr const char* kCount = "Число интервалов";

constexpr const char* kIntegerNonNegative =
    "Правильным значением является целое неотрицательное число.";
constexpr const char* kIntegerPositive = "Правильным значением является целое положительное число.";
constexpr const char* kRealNonNegative =
    "Правильным значением является вещественное неотрицательное число.";
constexpr const char* kRealPositive =
    "Правильным значением является вещественное положительное число.";
constexpr const char* kLeftBelowRight = "Левая граница должна быть меньше правой.";
constexpr const char* kRightAboveLeft = "Правая граница должна быть больше левой.";

// The interval count is held in 8 bits.
constexpr int64_t kLargestCount = 255;

// One planned distribution: its collect flag and its object, of one kind.
struct Slice {
    uint8_t* flag = nullptr;
    CFDistribution* real = nullptr;
    CIDistribution* integer = nullptr;
};

template <class T>
void FitSlots(std::vector<T>& v, size_t slots) {
    if (v.size() < slots)
        v.resize(slots);
}

template <class D>
D& Existing(std::vector<std::optional<D>>& v, size_t slot) {
    if (!v[slot])
        v[slot].emplace();
    return *v[slot];
}

// The type slot of a column: 0 for all types, t + 1 for request type t.
size_t SlotOf(const PlanLayout& layout, int col) {
    const uint8_t t = layout.columnTypes[static_cast<size_t>(col)];
    return t == kNoIndex ? 0 : static_cast<size_t>(t) + 1;
}

Slice SliceOf(CQueuingSystem& m, const PlanLayout& layout, int row, int col) {
    const bool second = row >= 5;
    const size_t slot = SlotOf(layout, col);
    switch (layout.kind) {
        case PlanKind::kSystem: {
            if (slot == 0)
                return {&m.countDistFlag, nullptr, &m.countDistribution};
            CRequestType* t = m.RequestType(static_cast<uint8_t>(slot - 1));
            return {&t->countDistFlag, nullptr, &t->countDistribution};
        }
        case PlanKind::kChannel: {
            auto* c = static_cast<CChannel*>(m.Node(layout.object));
            if (second)
                return {&c->serviceDistFlag, &c->serviceDistribution, nullptr};
            return {&c->idleDistFlag, &c->idleDistribution, nullptr};
        }
        case PlanKind::kQueue: {
            auto* q = static_cast<CQueue*>(m.Node(layout.object));
            if (second)
                return {&q->lengthDistFlags[slot], nullptr,
                        &Existing(q->lengthDistributions, slot)};
            return {&q->waitDistFlags[slot], &Existing(q->waitDistributions, slot), nullptr};
        }
        case PlanKind::kSink: {
            auto* s = static_cast<CDispose*>(m.Node(layout.object));
            return {&s->lifetimeDistFlags[slot], &Existing(s->lifetimeDistributions, slot),
                    nullptr};
        }
    }
    return {};
}

// The bins collected with the old grid would no longer fit it.
template <class D>
void DropBins(D& d) {
    d.SetBins({});
    d.sampleCount = 0;
    d.binWidth = 0;
}

PlanCommit Rejected(const char* rule) {
    return {false, std::string("Введено некорректное значение.\n") + rule, std::nullopt};
}

std::optional<int32_t> ReadInt32(const std::string& text) {
    const std::optional<int64_t> v = ParseInteger(text);
    if (!v || *v < std::numeric_limits<int32_t>::min() || *v > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(*v);
}

std::optional<uint8_t> ReadCount(const std::string& text) {
    const std::optional<int64_t> v = ParseInteger(text);
    if (!v || *v < 1 || *v > kLargestCount)
        return std::nullopt;
    return static_cast<uint8_t>(*v);
}

template <class D, class V>
void Store(D& d, V& field, V value) {
    if (field == value)
        return;
    field = value;
    DropBins(d);
}

// Position within a quantity's block: 0 the check mark, 1 left, 2 right, 3 count.
int RowInBlock(int row) {
    return (row - 1) % 4;
}

std::optional<float> ReadBound(const CFDistribution&, const std::string& text) {
    // Compared as stored: bounds equal once rounded to a float32 are equal.
    return ParseFloat32(text);
}

std::optional<int32_t> ReadBound(const CIDistribution&, const std::string& text) {
    return ReadInt32(text);
}

// A bound or the interval count of either kind of distribution; the kinds
// differ in how a bound reads and in the rules a refusal names.
template <class D>
PlanCommit CommitGridCell(D& d, int what, const std::string& text, const char* nonNegative,
                          const char* positive) {
    using Bound = decltype(d.lowerBound);
    constexpr Bound zero{};
    if (what == 1) {
        const std::optional<Bound> v = ReadBound(d, text);
        if (!v || !(*v >= zero))
            return Rejected(nonNegative);
        if (!(*v < d.upperBound))
            return Rejected(kLeftBelowRight);
        Store(d, d.lowerBound, *v == zero ? zero : *v);  // "-0" is 0
        return {};
    }
    if (what == 2) {
        const std::optional<Bound> v = ReadBound(d, text);
        if (!v || !(*v > zero))
            return Rejected(positive);
        if (!(*v > d.lowerBound))
            return Rejected(kRightAboveLeft);
        Store(d, d.upperBound, *v);
        return {};
    }
    const std::optional<uint8_t> n = ReadCount(text);
    if (!n)
        return Rejected(kIntegerPositive);
    PlanCommit commit;
    uint8_t count = *n;
    if constexpr (std::is_same_v<D, CIDistribution>) {
        // No interval narrower than one value.
        const int64_t range = static_cast<int64_t>(d.upperBound) - d.lowerBound + 1;
        if (*n > range) {
            count = static_cast<uint8_t>(range);
            commit.shownText = std::to_string(count);
        }
    }
    Store(d, d.binCount, count);
    return commit;
}

}  // namespace

ChoiceList PlanObjectChoices(const CQueuingSystem& m) {
    ChoiceList list{{"СМО", kNoIndex}};
    for (uint8_t i = 0; i < m.nodeCount(); ++i) {
        if (m.Node(i)->kind != kGenerator)
            list.push_back({m.Node(i)->name, i});
    }
    return list;
}

PlanLayout PlanGridLayout(CQueuingSystem& m, uint8_t object) {
    PlanLayout layout;
    layout.object = object;
    layout.columnHeaders = {"", kAllTypesItem};
    layout.columnTypes = {kNoIndex, kNoIndex};
    auto everyType = [&] {
        for (uint8_t t = 0; t < m.typeCount(); ++t) {
            layout.columnHeaders.push_back(m.RequestType(t)->name);
            layout.columnTypes.push_back(t);
        }
    };
    const size_t slots = static_cast<size_t>(m.typeCount()) + 1;
    const CQSObject* node = object < m.nodeCount() ? m.Node(object) : nullptr;
    if (!node || node->kind == kGenerator) {
        layout.object = kNoIndex;
        layout.kind = PlanKind::kSystem;
        layout.rowLabels = {"", "Число заявок в системе", kLeft, kRight, kCount};
        everyType();
    } else if (node->kind == kChannel) {
        layout.kind = PlanKind::kChannel;
        layout.rowLabels = {"",    "Время простоя", kLeft, kRight, kCount, "Время обслуживания",
                            kLeft, kRight,          kCount};
    } else if (node->kind == kQueue) {
        layout.kind = PlanKind::kQueue;
        layout.rowLabels = {"",    "Время ожидания", kLeft, kRight, kCount, "Длина очереди",
                            kLeft, kRight,           kCount};
        auto* q = static_cast<CQueue*>(m.Node(object));
        FitSlots(q->waitDistFlags, slots);
        FitSlots(q->lengthDistFlags, slots);
        FitSlots(q->waitDistributions, slots);
        FitSlots(q->lengthDistributions, slots);
        for (uint8_t t = 0; t < m.typeCount(); ++t) {
            if (t < q->acceptedTypes.size() && q->acceptedTypes[t]) {
                layout.columnHeaders.push_back(m.RequestType(t)->name);
                layout.columnTypes.push_back(t);
            }
        }
    } else {
        layout.kind = PlanKind::kSink;
        layout.rowLabels = {"", "Время пребывания в СМО", kLeft, kRight, kCount};
        auto* s = static_cast<CDispose*>(m.Node(object));
        FitSlots(s->lifetimeDistFlags, slots);
        FitSlots(s->lifetimeDistributions, slots);
        everyType();
    }
    // Every slice shown has an object to show.
    for (int col = 1; col < layout.columnCount(); ++col) {
        for (int row = 1; row < layout.rowCount(); row += 4)
            SliceOf(m, layout, row, col);
    }
    return layout;
}

bool IsQuantityRow(int row) {
    return row == 1 || row == 5;
}

bool IsDataCell(const PlanLayout& layout, int row, int col) {
    return row >= 1 && col >= 1 && row < layout.rowCount() && col < layout.columnCount();
}

std::string PlanCellText(CQueuingSystem& m, const PlanLayout& layout, int row, int col) {
    if (row == 0)
        return col < layout.columnCount() ? layout.columnHeaders[static_cast<size_t>(col)] : "";
    if (col == 0)
        return row < layout.rowCount() ? layout.rowLabels[static_cast<size_t>(row)] : "";
    if (!IsDataCell(layout, row, col))
        return {};
    const Slice s = SliceOf(m, layout, row, col);
    const int what = RowInBlock(row);
    if (what == 0)
        return *s.flag ? kCheckMark : "";
    if (s.real) {
        if (what == 1)
            return CAppData::FormatValue(s.real->lowerBound);
        if (what == 2)
            return CAppData::FormatValue(s.real->upperBound);
        return std::to_string(s.real->binCount);
    }
    if (what == 1)
        return std::to_string(s.integer->lowerBound);
    if (what == 2)
        return std::to_string(s.integer->upperBound);
    return std::to_string(s.integer->binCount);
}

PlanCommit CommitPlanCell(CQueuingSystem& m, const PlanLayout& layout, int row, int col,
                          const std::string& text) {
    if (!IsDataCell(layout, row, col))
        return {};
    const Slice s = SliceOf(m, layout, row, col);
    const int what = RowInBlock(row);
    if (what == 0) {
        *s.flag = text.empty() ? 0 : 1;
        return {};
    }
    if (s.real)
        return CommitGridCell(*s.real, what, text, kRealNonNegative, kRealPositive);
    return CommitGridCell(*s.integer, what, text, kIntegerNonNegative, kIntegerPositive);
}

}  // namespace marvolt
