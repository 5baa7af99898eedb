#include "results/logic/indicator_panel.h"

#include "kernel/queue.h"
#include "results/application_data.h"

namespace marvolt {

namespace {

constexpr auto kSystemGroup = IndicatorGroup::kSystem;
constexpr auto kChannelGroup = IndicatorGroup::kChannel;
constexpr auto kQueueGroup = IndicatorGroup::kQueue;
constexpr auto kSinkGroup = IndicatorGroup::kSink;
using enum FieldKind;

constexpr IndicatorField kFields[] = {
    {kSystemGroup, "Edit30", "Число поступивших заявок",
     "Число заявок, поступивших на вход \nсистемы (число сгенерированных заявок).", "Edit3", kCount,
     indArrived},
    {kSystemGroup, "Edit33", "Пропускная способность",
     "Среднее число заявок, обслуживаемых\nсистемой в единицу времени.", "Edit32", kReal,
     indThroughput},
    {kSystemGroup, "Edit31", "Максимальное число заявок в системе",
     "Максимальное число заявок в системе, \nнаблюдаемое во время эксперимента.", "Edit2", kCount,
     indMaxInSystem},
    {kSystemGroup, "Edit24", "Среднее число заявок в системе",
     "Наиболее вероятное число заявок в системе в каждый момент времени.", "Edit1", kReal,
     indMeanInSystem},

    {kChannelGroup, "Edit36", "Число поступивших заявок",
     "Число заявок, поступивших на вход канала.", "Edit7", kCount, indArrived},
    {kChannelGroup, "Edit38", "в % от общего числа",
     "Доля заявок, поступивших на вход канала,\nот общего числа заявок,\nпоступивших на вход "
     "системы.",
     "Edit37", kShare, indArrived},
    {kChannelGroup, "Edit34", "Среднее время простоя",
     "Среднее время бездействия устройств канала\nв промежутках между обслуживанием заявок.",
     "Edit4", kReal, indMeanIdle},
    {kChannelGroup, "Edit35", "Среднее время обслуживания",
     "Среднее время обслуживания заявки в одном устройстве.", "Edit8", kReal, indMeanService},
    {kChannelGroup, "Edit39", "Максимальное время простоя",
     "Максимальное время простоя среди всех устройств канала, \nнаблюдаемое во время "
     "эксперимента.",
     "Edit5", kReal, indMaxIdle},
    {kChannelGroup, "Edit40", "Коэффициент загрузки",
     "Отношение среднего суммарного времени обслуживания\nв устройствах к общему времени "
     "моделирования.",
     "Edit6", kReal, indLoad},

    {kQueueGroup, "Edit41", "Число поступивших заявок",
     "Число заявок, поступивших на вход накопителя.", "Edit11", kCount, indArrived},
    {kQueueGroup, "Edit42", "в % от общего числа",
     "Доля заявок, поступивших на вход накопителя,\nот общего числа заявок,\nпоступивших на вход "
     "системы.",
     "Edit21", kShare, indArrived},
    {kQueueGroup, "Edit43", "Число \"нулевых\" заявок",
     "Число заявок, поступивших на вход накопителя,\nвремя ожидания которых равно 0.", "Edit23",
     kCount, indZeroWaitCount},
    {kQueueGroup, "Edit44", "Средняя длина очереди",
     "Наиболее вероятное число заявок\nв накопителе в каждый момент времени.", "Edit9", kReal,
     indMeanQueueLength},
    {kQueueGroup, "Edit45", "Среднее время ожидания",
     "Среднее время нахождения заявки в накопителе.", "Edit12", kReal, indMeanWait},
    {kQueueGroup, "Edit46", "без учета \"нулевых\" заявок",
     "Среднее время нахождения в накопителе заявок,\nвремя ожидания которых не равно 0.", "Edit20",
     kReal, indMeanWaitNonZero},
    {kQueueGroup, "Edit47", "Максимальная длина очереди",
     "Максимальное число заявок в накопителе, \nнаблюдаемое в течение эксперимента.", "Edit10",
     kCount, indMaxQueueLength},
    {kQueueGroup, "Edit48", "Максимальное время ожидания",
     "Максимальное время нахождения заявки в накопителе, \nнаблюдаемое в течение эксперимента.",
     "Edit13", kReal, indMaxWait},
    {kQueueGroup, "Edit49", "Доля заявок, получивших отказ",
     "Отношение числа заявок, получивших отказ,\nк числу заявок, поступивших на вход "
     "накопителя.",
     "Edit14", kReal, indRefusalShare},

    {kSinkGroup, "Edit50", "Число поступивших заявок", "Число заявок, поступивших на вход стока.",
     "Edit18", kCount, indArrived},
    {kSinkGroup, "Edit51", "в % от общего числа",
     "Доля заявок, поступивших на вход стока,\nот общего числа заявок,\nпоступивших на вход "
     "системы.",
     "Edit19", kShare, indArrived},
    {kSinkGroup, "Edit53", "Среднее время жизни заявки",
     "Среднее время пребывания в системе\nзаявок, поступивших на вход стока.", "Edit15", kReal,
     indMeanLifetime},
    {kSinkGroup, "Edit55", "Максим. время жизни заявки",
     "Максимальное время пребывания в системе поступивших в сток заявок,\nнаблюдаемое в течение "
     "эксперимента.",
     "Edit17", kReal, indMaxLifetime},
    {kSinkGroup, "Edit56", "Миним. время жизни заявки",
     "Минимальное время пребывания в системе поступивших в сток заявок,\nнаблюдаемое в течение "
     "эксперимента.",
     "Edit16", kReal, indMinLifetime},
};

bool IsAll(const ChoiceItem& item) {
    return item.index == kNoIndex;
}

}  // namespace

ChoiceList TypeChoices(const CQueuingSystem& m) {
    ChoiceList list{{kAllTypesItem, kNoIndex}};
    for (uint8_t t = 0; t < m.typeCount(); ++t)
        list.push_back({m.RequestType(t)->name, t});
    return list;
}

ChoiceList QueueTypeChoices(const CQueuingSystem& m, uint8_t queue) {
    ChoiceList list{{kAllTypesItem, kNoIndex}};
    if (queue >= m.nodeCount() || m.Node(queue)->kind != kQueue)
        return list;
    const auto& accepted = static_cast<const CQueue*>(m.Node(queue))->acceptedTypes;
    for (uint8_t t = 0; t < m.typeCount() && t < accepted.size(); ++t) {
        if (accepted[t])
            list.push_back({m.RequestType(t)->name, t});
    }
    return list;
}

ChoiceList NodeChoices(const CQueuingSystem& m, uint8_t kind) {
    ChoiceList list;
    for (uint8_t i = 0; i < m.nodeCount(); ++i) {
        if (m.Node(i)->kind == kind)
            list.push_back({m.Node(i)->name, i});
    }
    return list;
}

int Reselect(const ChoiceList& list, const std::optional<ChoiceItem>& remembered) {
    if (list.empty())
        return -1;
    if (remembered) {
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i].text == remembered->text && IsAll(list[i]) == IsAll(*remembered))
                return static_cast<int>(i);
        }
    }
    return 0;
}

std::span<const IndicatorField> IndicatorFields() {
    return kFields;
}

std::string ShareText(uint32_t part, uint32_t total) {
    if (total == 0)
        return "0%";
    const double share = static_cast<double>(part) / total * 100.0;
    return CAppData::FormatValue(static_cast<float>(share)) + "%";
}

std::string FieldText(const CQueuingSystem& m, const IndicatorField& field, uint8_t node,
                      uint8_t type) {
    switch (field.kind) {
        case kCount:
            return std::to_string(m.CountIndicator(field.id, node, type));
        case kReal:
            return CAppData::FormatValue(CAppData::ShownValue(m, field.id, node, type));
        case kShare:
            return ShareText(m.CountIndicator(field.id, node, type),
                             m.CountIndicator(field.id, kNoIndex, type));
    }
    return {};
}

}  // namespace marvolt
