// The two models as a test holds them, in place of the main window.
#pragma once

#include <memory>

#include "results/logic/results_session.h"

namespace marvolt::test {

class OwnedModels final : public ModelPlace {
  public:
    std::unique_ptr<CQueuingSystem> current;
    std::unique_ptr<CQueuingSystem> results;
    CQueuingSystem* Current() override { return current.get(); }
    CQueuingSystem* StoredResults() override { return results.get(); }
    void StoreResults(std::unique_ptr<CQueuingSystem> r) override { results = std::move(r); }
};

}  // namespace marvolt::test
