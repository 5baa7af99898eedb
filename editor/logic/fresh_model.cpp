#include "editor/logic/fresh_model.h"

#include "kernel/generator.h"

namespace marvolt {

namespace {

constexpr int32_t kFirstColumn = 15;
constexpr int32_t kGeneratorTop = 15;

}  // namespace

std::unique_ptr<CQueuingSystem> BuildFreshModel() {
    auto model = std::make_unique<CQueuingSystem>();
    model->AddRequestType(model->DefaultTypeName());
    CGenerator* generator = model->AddGenerator(model->DefaultNodeName(kGenerator));
    generator->SetGeneratedType(0, true);
    generator->typeProbabilities[0] = 1.0f;
    generator->x = kFirstColumn;
    generator->y = kGeneratorTop;
    AddRefusalSink(*model);
    model->modelDescription = kFreshModelDescription;
    return model;
}

}  // namespace marvolt
