#include "tools/warmup.h"

#include <algorithm>

#include "kernel/random_stat.h"
#include "results/number_text.h"

namespace marvolt {

SimTime WarmupObserver::Cut() const {
    SimTime latest = 0;
    for (const MserSeries& s : series_)
        latest = std::max(latest, s.CutTime());
    return latest;
}

WarmupOutcome WarmedExperiment(CQueuingSystem& m, const WarmupSpec& spec,
                               const std::function<int(CQueuingSystem&)>& experiment) {
    WarmupOutcome o;
    SimTime warmup = spec.time;
    if (spec.automatic) {
        const uint32_t state = RandomState();
        WarmupObserver watch(m);
        m.observer = &watch;
        m.warmupTime = 0;
        o.result = experiment(m);
        m.observer = nullptr;
        if (o.result != kOk)
            return o;
        warmup = watch.Cut();
        SetRandomState(state);
    }
    m.warmupTime = warmup;
    o.result = experiment(m);
    o.reached = !(warmup > 0) || m.statisticsStart == warmup;
    o.warmup = o.reached ? warmup : 0;
    return o;
}

std::string ParseWarmup(const std::string& text, WarmupSpec& spec) {
    spec = {};
    if (text == "auto") {
        spec.automatic = true;
        return {};
    }
    const std::optional<double> v = ParseReal(text);
    if (!v || !(*v >= 0) || *v > 3.4e38) {
        return "--warmup: Введено некорректное значение \"" + text +
               "\".\nПравильным значением является неотрицательное вещественное число или auto.";
    }
    spec.time = *v;
    return {};
}

std::string WarmupPastEndText() {
    return "Прогон закончился раньше, чем разгон: статистики после разгона нет.";
}

}  // namespace marvolt
