// The results model of the experiment window and the rules that keep it
// apart from the model being edited: right after a simple run the results are
// the current model itself; leaving a result tab or closing the window turns
// them into a copy, so later editing leaves the results on display alone.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kernel/queuing_system.h"

namespace marvolt {

// Where the two models live: the main window owns both.
class ModelPlace {
  public:
    virtual ~ModelPlace() = default;
    virtual CQueuingSystem* Current() = 0;
    virtual CQueuingSystem* StoredResults() = 0;
    virtual void StoreResults(std::unique_ptr<CQueuingSystem> results) = 0;
};

enum class RunEnd : uint8_t {
    kFinished,        // the results (or the dependencies) are the new run's
    kStopped,         // the model stopped the run early: results replaced, notice to show
    kCancelled,       // the user cut the run short: the results shown stay as they were
    kNoFactor,        // a factor experiment without a factor: nothing ran
    kNoDependencies,  // a factor experiment without dependencies: nothing ran
    kInvalidFactor,   // the model refused the factor: nothing ran
};

enum class MessageKind : uint8_t { kNotice, kWarning, kExperimentResult };

struct RunMessage {
    MessageKind kind;
    std::string text;
};

struct RunOutcome {
    RunEnd end = RunEnd::kFinished;
    // The model's own word on a run it stopped (kStopped).
    std::string notice;
};

// The boxes the window shows after a run command; none after a finished run
// unless the user asked to be told.
std::vector<RunMessage> RunMessages(const RunOutcome& outcome, bool tellSuccess);

// The warning for a run that ended for any reason other than reaching its
// stop criterion or being cancelled; empty for those two.
std::string StopNotice(const CQueuingSystem& model);

class ResultsSession {
  public:
    explicit ResultsSession(ModelPlace& place) : place_(place) {}

    // The results model, or null before the first experiment.
    CQueuingSystem* Results() const;
    // True between a simple run and the next snapshot.
    bool ResultsAreCurrent() const { return aliased_; }

    // The results become a copy of their own, if they are not one already.
    void Snapshot();
    // Closing the window: snapshot; the current model's indicators stop
    // counting as results (they live in the results model from now on).
    void Close();
    // Program end: the results model goes.
    void Forget();

    // One run of the current model. Finished or stopped by the model, its
    // results become the results model; cancelled, the results stay.
    RunOutcome SimpleRun(const ProgressCallback& progress = {});
    // One run per factor value. The results model is left alone; cancelled,
    // the dependencies keep the values of the last completed experiment.
    RunOutcome FactorRun(const ProgressCallback& progress = {});

  private:
    ModelPlace& place_;
    bool aliased_ = false;
};

}  // namespace marvolt
