// marvolt-run: runs a saved model without the desktop.
#include <unistd.h>

#include <iostream>

#include "kernel/random_stat.h"
#include "tools/batch_run.h"

int main(int argc, char** argv) {
    marvolt::SeedRandomAtStartup();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const marvolt::ParsedOptions parsed = marvolt::ParseRunOptions(args);
    if (parsed.options.help) {
        std::cout << marvolt::RunUsage();
        return marvolt::kRunOk;
    }
    if (!parsed.error.empty()) {
        std::cerr << parsed.error << "\n\n" << marvolt::RunUsage();
        return marvolt::kRunBadArguments;
    }
    // The bar is for a person watching; a file or a pipe gets none.
    marvolt::ProgressDisplay progress;
    if (::isatty(STDERR_FILENO))
        progress.to = &std::cerr;
    return marvolt::RunBatch(parsed.options, std::cout, std::cerr, progress);
}
