// marvolt-run --check: the model check of a saved model, without running it.
#pragma once

#include <iosfwd>

#include "tools/run_options.h"

namespace marvolt {

// Prints the findings one a line (a JSON array with --json). The status is
// kRunOk for none, kRunFindings when there are any.
int CheckBatch(const RunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace marvolt
