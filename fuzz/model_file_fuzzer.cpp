// Any bytes: the reader refuses them or gives a model that the program can
// use, save and open again to the very same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "persistence/model_file.h"

namespace {

using namespace marvolt;

// What the windows do with a model right after opening it.
void Use(CQueuingSystem& m) {
    for (uint8_t id = 0; id <= 29; ++id) {
        for (uint8_t object = 0; object < m.nodeCount(); ++object) {
            m.IndicatorApplies(id, object);
            m.CountIndicator(id, object, 255);
            m.RealIndicator(id, object, 0);
            m.DistributionIndicator(id, object, 255);
        }
        m.RealIndicator(id, 255, 255);
    }
    m.ValidateFactor();
    for (const auto& node : m.nodes)
        node->Validate();
    auto copy = CQueuingSystem::CopyModel(m, true);
    if (copy->nodeCount() > 0)
        copy->DeleteNode(copy->Node(0)->name);
    if (copy->typeCount() > 0)
        copy->DeleteRequestType(copy->RequestType(0)->name);
    copy->AddRequestType("\x01");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OpenedModels first = ReadModelBytes(data, size);
    if (first.result != OpenResult::kOk)
        return 0;
    std::vector<uint8_t> once;
    // A letter the file's code page lacks came in as a replacement character.
    if (!WriteModelBytes(*first.current, first.results.get(), once))
        return 0;
    OpenedModels second = ReadModelBytes(once.data(), once.size());
    if (second.result != OpenResult::kOk || !second.results != !first.results)
        std::abort();
    std::vector<uint8_t> twice;
    if (!WriteModelBytes(*second.current, second.results.get(), twice) || twice != once) {
        std::abort();
    }
    Use(*first.current);
    if (first.results)
        Use(*first.results);
    return 0;
}
