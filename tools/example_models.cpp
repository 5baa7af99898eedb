#include "tools/example_models.h"

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/refusal_sink.h"
#include "kernel/sink.h"

namespace marvolt {

namespace {

LawRecord Exp(float rate) {
    return {kLawExponential, rate, 0.0f};
}

// Every model starts as a fresh one of the program: a request type, the
// refusal sink and a generator.
struct Builder {
    std::unique_ptr<CQueuingSystem> m = std::make_unique<CQueuingSystem>();

    Builder(const std::string& name, const std::string& description) {
        m->modelName = name;
        m->modelDescription = description;
        m->AddRequestType(m->DefaultTypeName());
        AddRefusalSink(*m);
    }
    template <class Node>
    Node* Place(Node* node, int x, int y) {
        node->x = x;
        node->y = y;
        return node;
    }
    uint8_t Index(const CQSObject* node) const { return m->NodeIndex(node->name); }
    void Link(const CQSObject* from, const CQSObject* to) { m->Link(Index(from), Index(to)); }
    CGenerator* Generator(float rate, int x, int y) {
        auto* g = Place(m->AddGenerator(m->DefaultNodeName(kGenerator)), x, y);
        g->intervalLaw = Exp(rate);
        for (uint8_t t = 0; t < m->typeCount(); ++t) {
            g->SetGeneratedType(t, true);
            g->typeProbabilities[t] = 1.0f / m->typeCount();
        }
        return g;
    }
    CQueue* Queue(int x, int y) { return Place(m->AddQueue(m->DefaultNodeName(kQueue)), x, y); }
    CChannel* Channel(float rate, uint8_t devices, int x, int y) {
        auto* c = Place(m->AddChannel(m->DefaultNodeName(kChannel)), x, y);
        c->deviceCount = devices;
        for (auto& law : c->serviceLaws)
            law = Exp(rate);
        return c;
    }
    CDispose* Sink(int x, int y) { return Place(m->AddSink(m->DefaultNodeName(kSink)), x, y); }

    // Generator, queue, channel and sink in a row.
    struct Line {
        CGenerator* generator;
        CQueue* queue;
        CChannel* channel;
        CDispose* sink;
    };
    Line SimpleLine(float arrivalRate, float serviceRate, uint8_t devices) {
        Line l{Generator(arrivalRate, 15, 15), Queue(120, 15),
               Channel(serviceRate, devices, 225, 15), Sink(330, 15)};
        Link(l.generator, l.queue);
        Link(l.queue, l.channel);
        Link(l.channel, l.sink);
        return l;
    }
};

std::unique_ptr<CQueuingSystem> SingleServer() {
    Builder b("Одноканальная СМО M/M/1",
              "Пуассоновский поток (интенсивность 1), очередь FIFO, один канал с "
              "показательным временем обслуживания (интенсивность 1,25): загрузка 0,8.");
    auto* q = b.SimpleLine(1.0f, 1.25f, 1).queue;
    b.m->arrivalsLimit = 100000;
    q->waitDistFlags[0] = 1;
    q->waitDistributions[0]->upperBound = 16.0f;
    q->waitDistributions[0]->binCount = 16;
    return std::move(b.m);
}

std::unique_ptr<CQueuingSystem> ThreeDevices() {
    Builder b("Трехканальная СМО M/M/3",
              "Очередь перед каналом с тремя устройствами; сравните долю ожидавших "
              "заявок с формулой Эрланга C.");
    b.SimpleLine(1.0f, 0.4f, 3);
    b.m->stopByTime = 1;
    b.m->timeLimit = 100000.0f;
    return std::move(b.m);
}

std::unique_ptr<CQueuingSystem> TwoStageLine() {
    Builder b("Двухфазная линия",
              "Две последовательные фазы обслуживания, каждая со своей очередью; "
              "очередь второй фазы ограничена пятью заявками.");
    auto* g = b.Generator(0.8f, 15, 15);
    auto* q1 = b.Queue(120, 15);
    auto* c1 = b.Channel(1.0f, 1, 225, 15);
    auto* q2 = b.Queue(330, 15);
    auto* c2 = b.Channel(1.2f, 1, 435, 15);
    auto* s = b.Sink(540, 15);
    q2->lengthLimited = 1;
    q2->lengthLimit = 5;
    b.Link(g, q1);
    b.Link(q1, c1);
    b.Link(c1, q2);
    b.Link(q2, c2);
    b.Link(c2, s);
    b.m->arrivalsLimit = 50000;
    return std::move(b.m);
}

std::unique_ptr<CQueuingSystem> Priorities() {
    Builder b("Два типа заявок с приоритетами",
              "Срочные заявки (приоритет 0) обслуживаются раньше обычных (приоритет 1) "
              "в одной очереди перед одним каналом.");
    b.m->RequestType(0)->name = "Срочная";
    b.m->AddRequestType("Обычная")->priority = 1;
    b.SimpleLine(0.8f, 1.0f, 1).queue->usePriority = 1;
    b.m->arrivalsLimit = 100000;
    return std::move(b.m);
}

std::unique_ptr<CQueuingSystem> FailuresAndReserve() {
    Builder b("Канал с отказами и резервом",
              "Основной канал отказывает (наработка до отказа показательная, в среднем 50) "
              "и восстанавливается в среднем за 5; на время ремонта заявки продолжают "
              "обслуживание в резервном канале.");
    auto* g = b.Generator(0.5f, 15, 15);
    auto* q = b.Queue(120, 15);
    auto* main = b.Channel(1.0f, 1, 225, 15);
    auto* reserve = b.Channel(0.8f, 1, 225, 120);
    auto* s = b.Sink(330, 15);
    main->failuresOn = 1;
    main->workLaw = Exp(0.02f);
    main->repairLaw = Exp(0.2f);
    main->failureRule = kFailContinueInReserve;
    b.Link(g, q);
    b.Link(q, main);
    b.Link(main, s);
    b.Link(reserve, s);
    main->reserveChannel = b.Index(reserve);
    b.m->stopByTime = 1;
    b.m->timeLimit = 100000.0f;
    return std::move(b.m);
}

std::unique_ptr<CQueuingSystem> DeviceFactor() {
    Builder b("Факторный эксперимент: число устройств",
              "Число устройств канала меняется от 1 до 5; записываются среднее время "
              "ожидания, загрузка и пропускная способность.");
    const auto line = b.SimpleLine(1.0f, 0.6f, 2);
    auto* q = line.queue;
    auto* c = line.channel;
    b.m->arrivalsLimit = 20000;
    FactorSettings f;
    f.factorObject = b.Index(c);
    f.factorParameter = kFactorDevices;
    f.startValue = 1.0f;
    f.step = 1.0f;
    f.valueCount = 5;
    b.m->SetFactor(f, kFactorMaskObject | kFactorMaskParameter | kFactorMaskStart |
                          kFactorMaskStep | kFactorMaskCount);
    b.m->factorRun = 1;
    b.m->AddDependency(b.Index(q), kNoIndex, indMeanWait);
    b.m->AddDependency(b.Index(c), kNoIndex, indLoad);
    b.m->AddDependency(kNoIndex, kNoIndex, indThroughput);
    return std::move(b.m);
}

}  // namespace

std::unique_ptr<CQueuingSystem> BuildSingleServerModel(float meanInterval, float meanService) {
    Builder b("Одноканальная СМО M/M/1", "Пуассоновский поток, очередь FIFO, один канал.");
    b.SimpleLine(1.0f / meanInterval, 1.0f / meanService, 1);
    return std::move(b.m);
}

std::unique_ptr<CQueuingSystem> BuildWideModel(uint8_t types) {
    Builder b("Широкая модель",
              "Две линии генераторов перед длинной линией из пар "
              "накопитель-канал: модель наибольшего размера.");
    while (b.m->typeCount() < types)
        b.m->AddRequestType(b.m->DefaultTypeName());
    auto* g1 = b.Generator(1.0f, 15, 15);
    // Below the refusal sink and its caption.
    auto* g2 = b.Generator(1.0f, 15, 160);
    const CQSObject* previous = nullptr;
    // Refusal sink, two generators and the last sink leave room for the stages.
    const int stages = (ObjectLimit - 4) / 2;
    for (int i = 0; i < stages; ++i) {
        auto* q = b.Queue(120 + 210 * i, 15);
        auto* c = b.Channel(1.5f, 1, 225 + 210 * i, 15);
        if (previous) {
            b.Link(previous, q);
        } else {
            b.Link(g1, q);
            b.Link(g2, q);
        }
        b.Link(q, c);
        previous = c;
    }
    b.Link(previous, b.Sink(120 + 210 * stages, 15));
    b.m->arrivalsLimit = 10000;
    return std::move(b.m);
}

std::vector<ExampleModel> BuildExampleModels() {
    std::vector<ExampleModel> all;
    all.push_back({"mm1.qsf", SingleServer()});
    all.push_back({"three_devices.qsf", ThreeDevices()});
    all.push_back({"two_stage_line.qsf", TwoStageLine()});
    all.push_back({"priorities.qsf", Priorities()});
    all.push_back({"failures_and_reserve.qsf", FailuresAndReserve()});
    all.push_back({"factor_devices.qsf", DeviceFactor()});
    return all;
}

}  // namespace marvolt
