// The results of independent replications: each replication's values and,
// per value, the mean with its 95 % confidence half-width, as a JSON document
// and as a report. A run of replications and a merge of documents write them
// alike, so a merge of parts gives what one run of all would have given.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "kernel/queuing_system.h"
#include "results/application_data.h"
#include "tools/json_stream.h"
#include "tools/replications.h"

namespace marvolt {

// One replication's results, as a process hands them on.
struct ReplicationOutcome {
    uint32_t number = 0;
    uint64_t draws = 0;  // random values it drew
    StopReason stopReason = StopReason::kFinished;
    int result = kOk;            // of the experiment
    SimTime warmup = 0;          // where its statistics started; 0: at the start
    bool warmupReached = true;   // false: the run ended before its warm-up did
    std::vector<double> values;  // in the order of the study's values; NaN: none
};

// What names the values of a study. Indicator studies list every numeric
// indicator of the layout; factor studies every value of every dependency.
struct StudyHeader {
    nlohmann::ordered_json about;  // what the document says of itself; null: nothing
    std::string model;             // the model's name
    std::string digest;            // of the model and its run settings: parts of one study share it
    uint64_t replicationCount = 0;
    bool factor = false;
    ReportLayout layout;                               // indicator studies
    nlohmann::ordered_json factorTree;                 // factor studies: caption, values...
    std::vector<nlohmann::ordered_json> dependencies;  // factor studies: caption, object...

    size_t FactorValueCount() const;
    size_t ValueCount() const;
    // Whether the replications started their statistics after a warm-up.
    bool HasWarmup() const;
};

// The header of a study of this model, set up as its replications will run.
StudyHeader StudyHeaderOf(const CQueuingSystem& m, uint64_t replicationCount);
// The values one replication contributes, in the header's order.
std::vector<double> ReplicationValues(const CQueuingSystem& m);

// Warns when replication `number` drew into the stretch of another of the
// replications 0 .. numbersInUse-1, or round the whole cycle.
void WarnIfBeyondStretch(std::ostream& err, uint32_t number, uint64_t draws, uint64_t numbersInUse);

// Takes the replications in number order; warns on `err` of a replication
// that drew into the stretch of another of the replications 0 .. numbersInUse-1
// or did not end by its stop criterion.
class CsvStudy;

class StudyWriter {
  public:
    // json: where the document goes as the replications come; null: nowhere.
    StudyWriter(const StudyHeader& header, uint64_t numbersInUse, std::ostream* json,
                std::ostream& err);
    // Rows of every replication go there too; set before the first Add.
    void AttachCsv(CsvStudy* csv) { csv_ = csv; }
    // False, and nothing taken, when the values do not fit the header.
    bool Add(const ReplicationOutcome& o);
    // Ends the document with the means and half-widths, after what `extra`
    // adds to it, and the CSV with its summary. False when the CSV could not
    // be written: `error` says why.
    bool Finish(const std::function<void(JsonStream&)>& extra = {}, std::string* error = nullptr);
    // The report of the means, laid out as a single run's.
    void WriteReport(std::ostream& out) const;
    const std::vector<Summary>& Summaries() const { return summaries_; }

  private:
    const StudyHeader& header_;
    uint64_t numbersInUse_;
    std::ostream& err_;
    std::vector<Summary> summaries_;
    std::vector<uint32_t> keys_;  // indicator studies: packed, increasing
    std::ostream* out_;
    std::optional<JsonStream> json_;  // none: no document is written
    CsvStudy* csv_ = nullptr;
    uint64_t added_ = 0;
    std::vector<std::pair<uint32_t, SimTime>> warmups_;  // number, warm-up of each

    std::string ValueText(size_t k) const;
    void WriteMeans(std::ostream& out) const;
};

}  // namespace marvolt
