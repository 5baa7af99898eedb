#include "tools/result_about.h"

namespace marvolt {

std::string ProgramVersion() {
    return MARVOLT_VERSION;
}

nlohmann::ordered_json WarmupTree(const WarmupSpec& warmup) {
    if (warmup.automatic)
        return "auto";
    if (warmup.time > 0)
        return warmup.time;
    return nullptr;
}

nlohmann::ordered_json AboutTree(const CQueuingSystem& m, const std::string& modelSha256,
                                 const WarmupSpec& warmup) {
    nlohmann::ordered_json stop;
    if (m.stopByTime) {
        stop = {{"by", "time"}, {"limit", m.timeLimit}};
    } else {
        stop = {{"by", "arrivals"}, {"limit", m.arrivalsLimit}};
    }
    stop["inSystemLimit"] = m.InSystemLimit();
    return {{"schemaVersion", kResultSchemaVersion}, {"program", "marvolt-run"},
            {"programVersion", ProgramVersion()},    {"modelSha256", modelSha256},
            {"stopCriterion", std::move(stop)},      {"warmup", WarmupTree(warmup)}};
}

}  // namespace marvolt
