#include "kernel/refusal_sink.h"

#include "kernel/sink.h"

namespace marvolt {

CDispose* AddRefusalSink(CQueuingSystem& model) {
    CDispose* sink = model.AddSink(kRefusalSinkName);
    if (!sink)
        return nullptr;
    // One node picture (48 pixels) and a gap below a generator at (15, 15).
    sink->x = 15;
    sink->y = 83;
    model.SetRefusalSink(sink->name);
    return sink;
}

}  // namespace marvolt
