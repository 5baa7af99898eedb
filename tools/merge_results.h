// Combining the documents of replications made by separate runs, on this
// machine or elsewhere, into what one run of them all would have printed.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace marvolt {

// Reads each document as a stream, so neither the documents nor the result
// are ever held whole; with a CSV path its rows and summary go there too.
// Returns the exit status of the runner.
int MergeStudies(const std::vector<std::string>& files, bool json, const std::string& csvPath,
                 std::ostream& out, std::ostream& err);

}  // namespace marvolt
