#include "tools/check_run.h"

#include <nlohmann/json.hpp>
#include <ostream>

#include "check/model_check.h"
#include "tools/batch_run.h"

namespace marvolt {

int CheckBatch(const RunOptions& options, std::ostream& out, std::ostream& err) {
    OpenedModels opened;
    if (!OpenBatchModel(options, err, opened))
        return kRunUnreadableModel;
    CQueuingSystem& model = *opened.current;
    // Checked as it would run: with the stop criterion of the command line.
    ApplyStopOptions(options, model);
    const std::vector<Finding> findings = CheckModel(model);
    if (options.json) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const Finding& f : findings) {
            nlohmann::ordered_json node;
            if (f.node < model.nodeCount())
                node = model.Node(f.node)->name;
            list.push_back({{"kind", FindingKey(f.kind)}, {"node", node}, {"text", f.text}});
        }
        out << list.dump(2) << '\n';
    } else {
        for (const Finding& f : findings)
            out << f.text << '\n';
    }
    out.flush();
    if (!out) {
        err << "Не удалось вывести результаты.\n";
        return kRunOutputFailed;
    }
    return findings.empty() ? kRunOk : kRunFindings;
}

}  // namespace marvolt
