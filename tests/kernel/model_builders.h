// Small models built through the container's own operations.
#pragma once

#include <memory>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/queuing_system.h"
#include "kernel/refusal_sink.h"
#include "kernel/sink.h"

namespace marvolt::testing_models {

// Node order: 0 refusal sink, 1 generator, 2 queue, 3 channel, 4 sink.
struct QueueLine {
    static constexpr uint8_t kRefusalsAt = 0, kGeneratorAt = 1, kQueueAt = 2, kChannelAt = 3,
                             kSinkAt = 4;
    std::unique_ptr<CQueuingSystem> model = std::make_unique<CQueuingSystem>();
    CGenerator* generator = nullptr;
    CQueue* queue = nullptr;
    CChannel* channel = nullptr;
    CDispose* sink = nullptr;
    CDispose* refusals = nullptr;
};

// Generator -> queue -> channel -> sink with one request type and the given laws.
inline QueueLine MakeQueueLine(LawRecord interval, LawRecord service, uint8_t devices = 1) {
    QueueLine q;
    CQueuingSystem& m = *q.model;
    m.AddRequestType("Тип_заявки1");
    q.refusals = AddRefusalSink(m);
    q.generator = m.AddGenerator("Генератор1");
    q.generator->SetGeneratedType(0, true);
    q.generator->typeProbabilities[0] = 1.0f;
    q.generator->intervalLaw = interval;
    q.queue = m.AddQueue("Накопитель1");
    q.channel = m.AddChannel("Канал1");
    q.channel->deviceCount = devices;
    q.channel->serviceLaws[0] = service;
    q.sink = m.AddSink("Сток1");
    m.Link(1, 2);
    m.Link(2, 3);
    m.Link(3, 4);
    return q;
}

// Factor settings with every field that SetFactor takes.
inline FactorSettings Factor(uint8_t object, int8_t parameter, float start, float step,
                             uint8_t count, uint8_t type = 255) {
    FactorSettings f;
    f.factorObject = object;
    f.factorType = type;
    f.factorParameter = parameter;
    f.startValue = start;
    f.step = step;
    f.valueCount = count;
    return f;
}
inline constexpr uint8_t kAllFactorFields = 63;

inline LawRecord Exponential(float rate) {
    return {kLawExponential, rate, 0.0f};
}
inline LawRecord Deterministic(float c) {
    return {kLawDeterministic, c, 0.0f};
}
inline LawRecord Uniform(float a, float b) {
    return {kLawUniform, a, b};
}

}  // namespace marvolt::testing_models
