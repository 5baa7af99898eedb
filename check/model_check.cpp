#include "check/model_check.h"

#include <algorithm>

#include "check/network_flow.h"
#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "results/application_data.h"

namespace marvolt {

namespace {

// More names than this in one line say how many more there are instead.
constexpr size_t kNamesShown = 5;

std::string Quoted(const std::string& text) {
    return '"' + text + '"';
}

std::string NodeTitle(const CQSObject& node) {
    static const char* const kKinds[] = {"Генератор", "Канал", "Накопитель", "Сток"};
    const char* kind = node.kind <= kSink ? kKinds[node.kind] : "Объект";
    return std::string(kind) + ' ' + Quoted(node.name);
}

std::string Number(double x) {
    return CAppData::FormatValue(static_cast<float>(x));
}

// A list of probabilities counts as summing to 1 as the properties dialog
// accepts it.
bool SumsToOne(const std::vector<float>& probabilities, float precision, float& sum) {
    sum = 0.0f;
    for (float p : probabilities)
        sum += p;
    return !(sum < 1.0f - precision || sum > 1.0f + precision);
}

// An event creates as many requests as its batch draw rounds to: a draw under
// 0.50001 creates none.
bool BatchAlwaysEmpty(const LawRecord& law) {
    return LawLargestDraw(law) < 0.50001;
}

bool IntervalNeverPositive(const LawRecord& law) {
    return LawLargestDraw(law) <= 0.0;
}

class Checker {
  public:
    explicit Checker(const CQueuingSystem& model) : m_(model), flow_(AnalyseFlow(model)) {}

    std::vector<Finding> Run() {
        if (!m_.refusalSink) {
            Add(FindingKind::kNoRefusalSink, kNoIndex,
                "В модели нет стока отказов: заявки, получившие отказ, покидают систему "
                "неучтенными.");
        }
        for (uint8_t n = 0; n < m_.nodeCount(); ++n) {
            const CQSObject& node = *m_.Node(n);
            if (node.kind == kGenerator)
                CheckGenerator(n, static_cast<const CGenerator&>(node));
            CheckRouting(n, node);
            if (node.kind == kChannel)
                CheckSources(n, static_cast<const CChannel&>(node));
            CheckReach(n, node);
            CheckReceivers(n, node);
            if (node.kind == kChannel)
                CheckLoad(n, static_cast<const CChannel&>(node));
        }
        return std::move(findings_);
    }

  private:
    void Add(FindingKind kind, uint8_t node, std::string text) {
        findings_.push_back({kind, node, std::move(text)});
    }

    void CheckGenerator(uint8_t n, const CGenerator& g) {
        const std::string title = NodeTitle(g);
        if (g.generatedTypes.empty()) {
            Add(FindingKind::kNoGeneratedType, n,
                title + " не генерирует ни одного типа заявок.");
            // A generator without types is never scheduled: its laws do not matter.
            return;
        }
        if (BatchAlwaysEmpty(g.batchLaw)) {
            Add(FindingKind::kEmptyBatch, n,
                title + ": число заявок при одном событии (" + CAppData::LawText(g.batchLaw) +
                    ") всегда меньше 1, заявки не создаются.");
        }
        if (m_.stopByTime && IntervalNeverPositive(g.intervalLaw)) {
            Add(FindingKind::kZeroInterval, n,
                title + ": интервал между событиями (" + CAppData::LawText(g.intervalLaw) +
                    ") всегда равен 0, а прогон ограничен временем моделирования: модельное "
                    "время не продвигается.");
        }
        float sum = 0.0f;
        if (!SumsToOne(g.typeProbabilities, m_.precision, sum)) {
            Add(FindingKind::kTypeProbabilities, n,
                title + ": сумма вероятностей генерации типов заявок равна " + Number(sum) +
                    ", а не 1.");
        }
    }

    void CheckRouting(uint8_t n, const CQSObject& node) {
        float sum = 0.0f;
        if (node.kind == kSink || node.routingDiscipline != kRouteRandom ||
            node.receivers.empty() || SumsToOne(node.routingProbabilities, m_.precision, sum))
            return;
        Add(FindingKind::kRoutingProbabilities, n,
            NodeTitle(node) + ": сумма вероятностей выбора приемников равна " + Number(sum) +
                ", а не 1.");
    }

    void CheckSources(uint8_t n, const CChannel& c) {
        float sum = 0.0f;
        if (c.sourceDiscipline != kSourceRandom || c.sources.empty() ||
            SumsToOne(c.sourceProbabilities, m_.precision, sum))
            return;
        Add(FindingKind::kSourceProbabilities, n,
            NodeTitle(c) + ": сумма вероятностей выбора источников равна " + Number(sum) +
                ", а не 1.");
    }

    void CheckReceivers(uint8_t n, const CQSObject& node) {
        if (node.kind == kSink || !node.receivers.empty())
            return;
        const char* consequence = node.kind == kGenerator ? "все его заявки получат отказ."
                                  : node.kind == kQueue
                                      ? "заявки в нем никогда не будут обслужены."
                                      : "все обслуженные заявки попадут в сток отказов.";
        Add(FindingKind::kNoReceivers, n, NodeTitle(node) + " не имеет приемников: " + consequence);
    }

    void CheckReach(uint8_t n, const CQSObject& node) {
        if (node.kind == kGenerator || &node == m_.refusalSink)
            return;
        const std::vector<bool>& offered = flow_.nodes[n].offered;
        std::vector<std::string> refused;
        bool reached = false;
        bool taken = node.kind == kSink;
        for (uint8_t t = 0; t < offered.size(); ++t) {
            if (!offered[t])
                continue;
            reached = true;
            if (Accepted(node, t))
                taken = true;
            else
                refused.push_back(Quoted(m_.RequestType(t)->name));
        }
        if (!reached) {
            Add(FindingKind::kUnreachable, n,
                NodeTitle(node) + " недостижим: в него не может попасть ни одна заявка.");
        } else if (!taken) {
            Add(FindingKind::kNoAcceptedType, n,
                NodeTitle(node) + " не принимает ни одного из типов заявок, которые могут в него "
                                  "попасть: " +
                    NameList(refused) + '.');
        }
    }

    void CheckLoad(uint8_t n, const CChannel& c) {
        const std::optional<double> load = ChannelLoad(m_, n, flow_.nodes[n]);
        // A load of exactly 1 lets the queue grow without bound as well.
        if (!load || *load < 1.0 - 1e-9)
            return;
        std::string consequence = "часть заявок получит отказ.";
        for (uint8_t s : c.sources) {
            if (s >= m_.nodeCount() || m_.Node(s)->kind != kQueue)
                continue;
            const auto& q = static_cast<const CQueue&>(*m_.Node(s));
            if (q.lengthLimit == 0 && q.waitLimitMode == kWaitUnlimited) {
                consequence =
                    "очередь в накопителе " + Quoted(q.name) + " будет расти без ограничения.";
                break;
            }
        }
        Add(FindingKind::kOverload, n,
            NodeTitle(c) + ": предлагаемая нагрузка на устройство равна " + Number(*load) +
                " (не меньше 1), " + consequence);
    }

    static bool Accepted(const CQSObject& node, uint8_t t) {
        const std::vector<uint8_t>* accepted = nullptr;
        if (node.kind == kQueue)
            accepted = &static_cast<const CQueue&>(node).acceptedTypes;
        else if (node.kind == kChannel)
            accepted = &static_cast<const CChannel&>(node).acceptedTypes;
        else
            return true;
        return t < accepted->size() && (*accepted)[t] != 0;
    }

    static std::string NameList(const std::vector<std::string>& names) {
        std::string text;
        for (size_t i = 0; i < names.size() && i < kNamesShown; ++i)
            text += (i ? ", " : "") + names[i];
        if (names.size() > kNamesShown)
            text += " и еще " + std::to_string(names.size() - kNamesShown);
        return text;
    }

    const CQueuingSystem& m_;
    NetworkFlow flow_;
    std::vector<Finding> findings_;
};

}  // namespace

std::vector<Finding> CheckModel(const CQueuingSystem& model) {
    return Checker(model).Run();
}

std::string CheckSummary(size_t findings) {
    if (findings == 0)
        return "Замечаний нет.";
    return "Замечаний: " + std::to_string(findings) + ".";
}

const char* FindingKey(FindingKind kind) {
    switch (kind) {
        case FindingKind::kNoRefusalSink:
            return "no_refusal_sink";
        case FindingKind::kNoGeneratedType:
            return "no_generated_type";
        case FindingKind::kEmptyBatch:
            return "empty_batch";
        case FindingKind::kZeroInterval:
            return "zero_interval";
        case FindingKind::kTypeProbabilities:
            return "type_probabilities";
        case FindingKind::kRoutingProbabilities:
            return "routing_probabilities";
        case FindingKind::kSourceProbabilities:
            return "source_probabilities";
        case FindingKind::kNoReceivers:
            return "no_receivers";
        case FindingKind::kUnreachable:
            return "unreachable";
        case FindingKind::kNoAcceptedType:
            return "no_accepted_type";
        case FindingKind::kOverload:
            return "overload";
    }
    return "unknown";
}

}  // namespace marvolt
