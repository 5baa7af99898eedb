#include "editor/logic/fresh_model.h"

#include "kernel/generator.h"
#include "kernel/sink.h"

namespace marvolt {

namespace {

// A node picture is 48 pixels high: the sink sits 20 pixels below the generator.
constexpr int32_t kFirstColumn = 15;
constexpr int32_t kGeneratorTop = 15;
constexpr int32_t kRefusalSinkTop = 48 + 35;

}  // namespace

std::unique_ptr<CQueuingSystem> BuildFreshModel() {
    auto model = std::make_unique<CQueuingSystem>();
    model->AddRequestType(model->DefaultTypeName());
    CGenerator* generator = model->AddGenerator(model->DefaultNodeName(kGenerator));
    generator->SetGeneratedType(0, true);
    generator->typeProbabilities[0] = 1.0f;
    generator->x = kFirstColumn;
    generator->y = kGeneratorTop;
    CDispose* refusals = model->AddSink(kRefusalSinkName);
    model->SetRefusalSink(refusals->name);
    refusals->x = kFirstColumn;
    refusals->y = kRefusalSinkTop;
    model->modelDescription = kFreshModelDescription;
    return model;
}

}  // namespace marvolt
