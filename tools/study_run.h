// The pieces a study of replications shares with the runner around it.
#pragma once

#include <functional>
#include <iosfwd>
#include <vector>

#include "tools/replication_study.h"
#include "tools/run_options.h"
#include "tools/study_document.h"

namespace marvolt {

void ReportInvalidFactor(std::ostream& err);
// The exit status once what was printed is out; a failed output says so.
int Written(std::ostream& out, std::ostream& err);
// Hands a replication to the writer; a failed one, or one that ended before
// its warm-up did, sets `failed` to the exit status and stops the rest.
void TakeOutcome(const ReplicationOutcome& o, StudyWriter& writer, int& failed, std::ostream& err);
// Ends the document (or prints the report after `preface`) and the CSV.
int FinishStudy(StudyWriter& writer, bool json, std::ostream& out, std::ostream& err,
                const std::function<void(JsonStream&)>& extra = {},
                const std::function<void(std::ostream&)>& preface = {});

// Replications until the targets' half-widths are small enough, or the most
// the options allow were made.
int RunPrecisionStudy(const RunOptions& options, const std::vector<uint8_t>& bytes,
                      const std::function<void(CQueuingSystem&)>& prepare, const StudyPlan& plan,
                      StudyHeader& header, const CQueuingSystem& model, std::ostream& out,
                      std::ostream& err, const ProgressDisplay& progress);

}  // namespace marvolt
