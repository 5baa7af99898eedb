// The indicator catalogue: display names, number and law texts, captions and
// the plain-text report. Plain C++, so the batch runner can use it as well as
// the windows. Texts are UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "kernel/depends_vector.h"
#include "kernel/indicator_ids.h"
#include "kernel/queuing_system.h"
#include "kernel/random_stat.h"

namespace marvolt {

// What the report's blocks depend on: the request types and, in node order,
// each node's name, kind and, for a queue, the types it admits. Results read
// elsewhere (several runs, files of other processes) are laid out from it.
struct ReportLayout {
    struct Node {
        std::string name;
        uint8_t kind = 0;
        std::vector<uint8_t> admitted;  // per type; queues only
    };
    std::vector<std::string> typeNames;
    std::vector<Node> nodes;

    static ReportLayout Of(const CQueuingSystem& model);
};

// The text of one value of the report: indicator id, object index (255 the
// system), request type index (255 all types).
using ReportValueText = std::function<std::string(uint8_t id, uint8_t object, uint8_t type)>;

class CAppData {
  public:
    // Significant digits of FormatValue below 1000.
    static constexpr uint32_t SmallDigits = 3;

    // The ordered groupings of the result displays.
    static constexpr std::array<uint8_t, 4> ReportSystemSet{indArrived, indThroughput,
                                                            indMeanInSystem, indMaxInSystem};
    static constexpr std::array<uint8_t, 5> ReportChannelSet{indArrived, indMeanIdle, indMaxIdle,
                                                             indMeanService, indLoad};
    static constexpr std::array<uint8_t, 7> ReportQueueSet{
        indArrived,        indZeroWaitCount, indMeanQueueLength, indMeanWait,
        indMaxQueueLength, indMaxWait,       indRefusalShare};
    static constexpr std::array<uint8_t, 4> ReportSinkSet{indArrived, indMeanLifetime,
                                                          indMinLifetime, indMaxLifetime};
    static constexpr std::array<uint8_t, 6> DistributionSet{indIdleDistr,        indServiceDistr,
                                                            indQueueLengthDistr, indWaitDistr,
                                                            indLifetimeDistr,    indInSystemDistr};
    static constexpr std::array<uint8_t, 2> DependSystemSet{indMeanInSystem, indThroughput};
    static constexpr std::array<uint8_t, 3> DependChannelSet{indLoad, indMeanIdle, indMeanService};
    static constexpr std::array<uint8_t, 3> DependQueueSet{indMeanWait, indMeanQueueLength,
                                                           indRefusalShare};
    static constexpr std::array<uint8_t, 2> DependSinkSet{indMeanLifetime, indArrived};

    // The number text of every result display and dialog. Tables for a word
    // processor ask for "," instead of the usual ".".
    static std::string FormatValue(float x, char separator = '.');
    // One-line description of a law, e.g. "Норм. a=10 s=2.5".
    static std::string LawText(const LawRecord& law, char separator = '.');

    // Empty text for an id without a name.
    static std::string IndicatorName(int id);
    static std::string QuantityName(int id);
    static std::string ParameterName(int id);

    // Title of a sample distribution of the results model.
    static std::string DistributionTitle(const CQueuingSystem& results, uint8_t id, uint8_t object,
                                         uint8_t type);
    // Captions of a dependency and of the factor, named after the given model's nodes and types.
    static std::string DependencyCaption(const CQueuingSystem& model, const CDependInfo& d);
    static std::string FactorCaption(const CQueuingSystem& model, const FactorSettings& f);

    // The report of every indicator of the results model; empty without one.
    static std::string ReportText(const CQueuingSystem* results);
    // The same blocks with values given from outside.
    static std::string ReportText(const ReportLayout& layout, const ReportValueText& value);
    // The warning for a run that ended for a reason other than reaching its
    // stop criterion or being cancelled; empty for those two.
    static std::string StopReasonText(StopReason reason);
    // That warning for the model's last run or factor experiment, with what the
    // user needs to act on it: for the bound on the requests held, the bound
    // and the run it stopped.
    static std::string StopNotice(const CQueuingSystem& m);

    // An indicator's value as the result displays show it: a minimum that no
    // value has set yet (the kernel's largest float) is 0, like the mean and
    // the maximum beside it.
    static float ShownValue(const CQueuingSystem& model, uint8_t id, uint8_t object, uint8_t type);
};

// The program's one catalogue.
extern CAppData AppData;

}  // namespace marvolt
