// The progress bar the batch runner draws on a terminal.
#pragma once

#include <iosfwd>
#include <string>

#include "kernel/queuing_system.h"

namespace marvolt {

// One line, redrawn in place: "[#####.....]  45%", with the run of a factor
// experiment after it.
std::string ProgressBarText(const RunProgress& p);

class ProgressBar {
  public:
    explicit ProgressBar(std::ostream& to) : to_(to) {}
    // Draws the bar when its text changed; always answers "go on".
    bool Show(const RunProgress& p);
    // Removes the bar, so that what follows starts on a clean line.
    void Clear();

  private:
    std::ostream& to_;
    std::string shown_;
};

}  // namespace marvolt
