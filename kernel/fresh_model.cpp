#include "kernel/fresh_model.h"

#include "kernel/generator.h"
#include "kernel/sink.h"

namespace marvolt {

CDispose* AddRefusalSink(CQueuingSystem& model) {
    CDispose* sink = model.AddSink(kRefusalSinkName);
    if (!sink)
        return nullptr;
    // One node picture (48 pixels) and a gap below the generator of a new model.
    sink->x = 15;
    sink->y = 83;
    model.SetRefusalSink(sink->name);
    return sink;
}

std::unique_ptr<CQueuingSystem> MakeFreshModel() {
    auto model = std::make_unique<CQueuingSystem>();
    model->AddRequestType(model->DefaultTypeName());
    CGenerator* generator = model->AddGenerator(model->DefaultNodeName(kGenerator));
    generator->SetGeneratedType(0, true);
    generator->typeProbabilities[0] = 1.0f;
    generator->x = 15;
    generator->y = 15;
    AddRefusalSink(*model);
    model->modelDescription = "Новая модель";
    return model;
}

}  // namespace marvolt
