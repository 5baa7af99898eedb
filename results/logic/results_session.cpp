#include "results/logic/results_session.h"

#include "results/application_data.h"
#include "results/logic/factor_plan.h"

namespace marvolt {

namespace {

// What a factor experiment overwrites even when it is cut short.
struct FactorResults {
    FactorSettings usedFactor;
    uint8_t valueCount = 0;
    uint8_t lastRunWasFactor = 0;
    std::vector<std::vector<float>> values;

    explicit FactorResults(CQueuingSystem& m)
        : usedFactor(m.usedFactor),
          valueCount(m.dependencies.valueCount),
          lastRunWasFactor(m.lastRunWasFactor) {
        for (uint32_t i = 0; i < m.DependencyCount(); ++i)
            values.push_back(m.Dependency(i)->values);
    }
    void PutBack(CQueuingSystem& m) {
        m.usedFactor = usedFactor;
        m.dependencies.valueCount = valueCount;
        m.lastRunWasFactor = lastRunWasFactor;
        for (uint32_t i = 0; i < m.DependencyCount() && i < values.size(); ++i)
            m.Dependency(i)->values = std::move(values[i]);
    }
};

}  // namespace

std::string StopNotice(const CQueuingSystem& model) {
    return CAppData::StopNotice(model);
}

std::vector<RunMessage> RunMessages(const RunOutcome& outcome, bool tellSuccess) {
    switch (outcome.end) {
        case RunEnd::kFinished:
            if (tellSuccess)
                return {{MessageKind::kExperimentResult, "Эксперимент успешно завершен."}};
            return {};
        case RunEnd::kStopped:
            return {{MessageKind::kWarning, outcome.notice}};
        case RunEnd::kCancelled:
            return {{MessageKind::kNotice,
                     "Эксперимент прерван.\nПоказаны результаты предыдущего эксперимента."}};
        case RunEnd::kNoFactor:
            return {{MessageKind::kNotice,
                     "Перед проведением эксперимента нужно выбрать фактор.\nФактором является "
                     "параметр системы, значение которого\nизменяется в ходе эксперимента."}};
        case RunEnd::kNoDependencies:
            return {{MessageKind::kNotice,
                     "Перед проведением эксперимента необходимо\nсоставить список зависимостей."}};
        case RunEnd::kInvalidFactor:
            return {{MessageKind::kWarning,
                     "Фактор установлен некорректно.\nЭксперимент не может быть проведен."}};
    }
    return {};
}

CQueuingSystem* ResultsSession::Results() const {
    return aliased_ ? place_.Current() : place_.StoredResults();
}

void ResultsSession::Snapshot() {
    if (!aliased_)
        return;
    place_.StoreResults(CQueuingSystem::CopyModel(*place_.Current(), true));
    aliased_ = false;
}

void ResultsSession::Close() {
    Snapshot();
    if (CQueuingSystem* m = place_.Current())
        m->resultsValid = 0;
}

void ResultsSession::Forget() {
    aliased_ = false;
    place_.StoreResults(nullptr);
}

RunOutcome ResultsSession::SimpleRun(const ProgressCallback& progress) {
    CQueuingSystem& m = *place_.Current();
    // The run overwrites the current model's indicators: results that are
    // still the current model are kept apart first, in case the run is cut short.
    Snapshot();
    m.factorRun = 0;
    m.Experiment(progress);
    if (m.stopReason == StopReason::kCancelled) {
        // What the cut run left in the nodes is no result.
        m.resultsValid = 0;
        return {RunEnd::kCancelled, {}};
    }
    RunOutcome outcome;
    outcome.notice = StopNotice(m);
    outcome.end = outcome.notice.empty() ? RunEnd::kFinished : RunEnd::kStopped;
    place_.StoreResults(nullptr);
    aliased_ = true;
    return outcome;
}

RunOutcome ResultsSession::FactorRun(const ProgressCallback& progress) {
    CQueuingSystem& m = *place_.Current();
    if (m.plannedFactor.factorObject == kNoIndex)
        return {RunEnd::kNoFactor, {}};
    if (m.DependencyCount() == 0)
        return {RunEnd::kNoDependencies, {}};
    // A value the law dialog or the node would refuse never reaches a run.
    if (!FactorValuesValid(m, m.plannedFactor))
        return {RunEnd::kInvalidFactor, {}};
    // The runs overwrite the nodes' indicators, which the results on display
    // may still be.
    Snapshot();
    FactorResults previous(m);
    m.factorRun = 1;
    const int code = m.Experiment(progress);
    if (code != kOk)
        return {RunEnd::kInvalidFactor, {}};
    if (m.stopReason == StopReason::kCancelled) {
        // The factor itself the model has put back; the dependencies get the
        // values of the last experiment that went to its end.
        previous.PutBack(m);
        return {RunEnd::kCancelled, {}};
    }
    RunOutcome outcome;
    outcome.notice = StopNotice(m);
    outcome.end = outcome.notice.empty() ? RunEnd::kFinished : RunEnd::kStopped;
    return outcome;
}

}  // namespace marvolt
