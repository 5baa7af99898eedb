#include "results/application_data.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <span>
#include <system_error>
#include <vector>

#include "kernel/queue.h"

namespace marvolt {

CAppData AppData;

namespace {

constexpr const char* kIndicatorNames[] = {
    "Число поступивших заявок",
    "Среднее время простоя",
    "Максимальное время простоя",
    "Минимальное время простоя",
    "Распределение времени простоя",
    "Среднее время обслуживания",
    "Минимальное время обслуживания",
    "Максимальное время обслуживания",
    "Распределение времени обслуживания",
    "Коэффициент загрузки",
    "Средняя длина очереди",
    "Максимальная длина очереди",
    "Распределение длины очереди",
    "Среднее время ожидания",
    "Максимальное время ожидания",
    "",
    "Распределение времени ожидания",
    "Число нулевых заявок",
    "Доля заявок, получивших отказ",
    "Среднее время жизни заявки",
    "Минимальное время жизни заявки",
    "Максимальное время жизни заявки",
    "Распределение времеми жизни заявки",
    "Пропускная способность",
    "Число заявок, покинувших систему",
    "Время моделирования",
    "Среднее число заявок в системе",
    "Максимальное число заявок в системе",
    "Распределение числа заявок в системе",
};

static_assert(std::size(kIndicatorNames) == kIndicatorCount);

constexpr const char* kParameterNames[] = {
    "Число устройств",
    "Предельная длина очереди",
    "Предельное время ожидания",
    "Мат. ожидание интервала между событиями",
    "Среднекв. отклонение интервала",
    "Интенсивность потока",
    "Нижняя граница интервала",
    "Верхняя граница интервала",
    "Мат. ожидание времени обслуживания",
    "Среднекв. отклонение времени обслуж.",
    "Интенсивность обслуживания",
    "Нижняя граница времени обслуж.",
    "Верхняя граница времени обслуж.",
};

constexpr const char* kSystemText = "СМО";
constexpr const char* kAllTypesText = "Все типы заявок";

template <size_t N>
std::string Lookup(const char* const (&table)[N], int id) {
    return id >= 0 && static_cast<size_t>(id) < N ? table[id] : "";
}

// |x| rounded to p significant digits: |x| = 0.d1...dk * 10^exponent, with
// trailing zeros dropped. The float's exact decimal value is rounded, so every
// integer below 10^8 keeps all its digits.
struct Rounded {
    std::string digits;
    int exponent = 0;
};

Rounded RoundSignificant(float ax, uint32_t p) {
    // A float's exact expansion has at most about 112 significant digits.
    char buf[160];
    const auto res = std::to_chars(buf, buf + sizeof buf, static_cast<double>(ax),
                                   std::chars_format::scientific, 120);
    // d[.ddd]e(+|-)XX
    Rounded r;
    const char* c = buf;
    for (; c < res.ptr && *c != 'e'; ++c) {
        if (*c != '.')
            r.digits += *c;
    }
    int e10 = 0;
    std::from_chars(c + 1 + (c[1] == '+' ? 1 : 0), res.ptr, e10);
    r.exponent = e10 + 1;
    if (r.digits.size() > p) {
        const bool up = r.digits[p] >= '5';  // halves away from zero
        r.digits.resize(p);
        if (up) {
            size_t i = p;
            while (i > 0 && r.digits[i - 1] == '9')
                r.digits[--i] = '0';
            if (i == 0) {
                r.digits.insert(r.digits.begin(), '1');
                r.digits.pop_back();
                ++r.exponent;
            } else {
                ++r.digits[i - 1];
            }
        }
    }
    while (r.digits.size() > 1 && r.digits.back() == '0')
        r.digits.pop_back();
    return r;
}

// The general format with p significant digits: fixed notation while the
// decimal exponent lies in -3..p, scientific ("1.5E3", "5E-5") outside it.
std::string General(float x, uint32_t p, char separator) {
    if (std::isnan(x))
        return "NAN";
    if (std::isinf(x))
        return x < 0 ? "-INF" : "INF";
    if (x == 0.0f)
        return "0";
    const Rounded r = RoundSignificant(std::fabs(x), p);
    const int k = static_cast<int>(r.digits.size());
    const int e = r.exponent;
    std::string out = x < 0 ? "-" : "";
    if (e > static_cast<int>(p) || e < -3) {
        out += r.digits[0];
        if (k > 1) {
            out += separator;
            out.append(r.digits, 1);
        }
        out += 'E';
        if (e - 1 < 0)
            out += '-';
        out += std::to_string(std::abs(e - 1));
    } else if (e <= 0) {
        out += '0';
        out += separator;
        out.append(static_cast<size_t>(-e), '0');
        out += r.digits;
    } else if (k <= e) {
        out += r.digits;
        out.append(static_cast<size_t>(e - k), '0');
    } else {
        out.append(r.digits, 0, static_cast<size_t>(e));
        out += separator;
        out.append(r.digits, static_cast<size_t>(e));
    }
    return out;
}

// Indices at or past the end of the lists address the system and all types.
std::string ObjectText(const CQueuingSystem& m, uint8_t object, const char* system) {
    return object < m.nodeCount() ? m.Node(object)->name : system;
}

std::string TypeText(const CQueuingSystem& m, uint8_t type, const char* all) {
    return type < m.typeCount() ? m.RequestType(type)->name : all;
}

}  // namespace

std::string CAppData::FormatValue(float x, char separator) {
    // More digits for larger values, so that integers below 10^7 print in full.
    uint32_t p = SmallDigits;
    if (x >= 10000000.0f) {
        p = 8;
    } else if (x >= 1000000.0f) {
        p = 7;
    } else if (x >= 100000.0f) {
        p = 6;
    } else if (x >= 10000.0f) {
        p = 5;
    } else if (x >= 1000.0f) {
        p = 4;
    }
    return General(x, p, separator);
}

std::string CAppData::LawText(const LawRecord& law, char separator) {
    auto g = [separator](float v) { return General(v, 4, separator); };
    switch (law.lawKind) {
        case kLawDeterministic:
            return "Детерм. c=" + g(law.param1);
        case kLawUniform:
            return "Pавн. a=" + g(law.param1) + " b=" + g(law.param2);
        case kLawExponential:
            return "Показ. ly=" + g(law.param1);
        case kLawNormal:
            return "Норм. a=" + g(law.param1) + " s=" + g(law.param2);
        default:
            return "K c=0";
    }
}

std::string CAppData::IndicatorName(int id) {
    return Lookup(kIndicatorNames, id);
}

std::string CAppData::QuantityName(int id) {
    switch (id) {
        case indIdleDistr:
            return "Время простоя";
        case indServiceDistr:
            return "Время обслуживания";
        case indQueueLengthDistr:
            return "Длина очереди";
        case indWaitDistr:
            return "Время ожидания";
        case indLifetimeDistr:
            return "Время жизни заявки";
        case indInSystemDistr:
            return "Число заявок в системе";
        default:
            return "";
    }
}

std::string CAppData::ParameterName(int id) {
    return Lookup(kParameterNames, id);
}

std::string CAppData::DistributionTitle(const CQueuingSystem& results, uint8_t id, uint8_t object,
                                        uint8_t type) {
    std::string title = QuantityName(id) + " (" + ObjectText(results, object, kSystemText);
    if (id != indIdleDistr && results.typeCount() != 1) {
        title += ", " + TypeText(results, type, kAllTypesText);
    }
    return title + ")";
}

std::string CAppData::DependencyCaption(const CQueuingSystem& model, const CDependInfo& d) {
    std::string caption = IndicatorName(d.dependencyIndicator);
    const bool severalTypes = model.typeCount() > 1;
    const std::string type = TypeText(model, d.dependencyType, kAllTypesText);
    // Sink and system indicators name no object.
    if (d.dependencyIndicator >= indMeanLifetime && d.dependencyIndicator <= indInSystemDistr) {
        if (severalTypes)
            caption += " (" + type + ")";
        return caption;
    }
    caption += " (" + ObjectText(model, d.dependencyObject, kSystemText);
    if (severalTypes)
        caption += ", " + type;
    return caption + ")";
}

std::string CAppData::FactorCaption(const CQueuingSystem& model, const FactorSettings& f) {
    std::string caption = ParameterName(f.factorParameter);
    const std::string object = ObjectText(model, f.factorObject, "");
    if (f.factorParameter < kFactorServiceMean) {
        caption += " (" + object + ")";
    } else if (f.factorParameter <= kFactorServiceUpper) {
        caption += " (" + object;
        if (model.typeCount() > 1)
            caption += ", " + TypeText(model, f.factorType, "");
        caption += ")";
    }
    return caption;
}

float CAppData::ShownValue(const CQueuingSystem& m, uint8_t id, uint8_t object, uint8_t type) {
    const float v = m.RealIndicator(id, object, type);
    if ((id == indMinLifetime || id == indMinService) && v >= kLargestFloat)
        return 0.0f;
    return v;
}

std::string CAppData::StopReasonText(StopReason reason) {
    switch (reason) {
        case StopReason::kProgressGuard:
            return "Прогон остановлен: модель перестала продвигаться к условию окончания.";
        case StopReason::kTooManyRequests:
            return "Прогон остановлен: модель накопила слишком много заявок.";
        default:
            return {};
    }
}

std::string CAppData::StopNotice(const CQueuingSystem& m) {
    std::string text = StopReasonText(m.stopReason);
    if (m.stopReason != StopReason::kTooManyRequests)
        return text;
    const std::string limit =
        "предел числа заявок в модели: " + std::to_string(m.InSystemLimit()) + ".";
    if (m.limitStopRun == kNoIndex)
        return text + "\nДостигнут " + limit;
    return text + "\nФакторный эксперимент остановлен на прогоне " +
           std::to_string(m.limitStopRun + 1) + " из " + std::to_string(m.usedFactor.valueCount) +
           "; " + limit;
}

ReportLayout ReportLayout::Of(const CQueuingSystem& m) {
    ReportLayout layout;
    for (uint8_t t = 0; t < m.typeCount(); ++t)
        layout.typeNames.push_back(m.RequestType(t)->name);
    for (uint8_t i = 0; i < m.nodeCount(); ++i) {
        const CQSObject* node = m.Node(i);
        Node n{node->name, node->kind, {}};
        if (node->kind == kQueue)
            n.admitted = static_cast<const CQueue*>(node)->acceptedTypes;
        layout.nodes.push_back(std::move(n));
    }
    return layout;
}

std::string CAppData::ReportText(const CQueuingSystem* results) {
    if (!results)
        return {};
    const CQueuingSystem& m = *results;
    return ReportText(ReportLayout::Of(m), [&m](uint8_t id, uint8_t object, uint8_t type) {
        return FormatValue(ShownValue(m, id, object, type));
    });
}

std::string CAppData::ReportText(const ReportLayout& layout, const ReportValueText& value) {
    const size_t typeCount = layout.typeNames.size();
    auto simpleForm = [&](std::string& out, std::span<const uint8_t> ids, uint8_t object) {
        for (uint8_t id : ids) {
            out += "\t" + IndicatorName(id) + ":\t" + value(id, object, kNoIndex) + "\n";
        }
        out += "\n";
    };
    auto perTypeForm = [&](std::string& out, std::span<const uint8_t> ids, uint8_t object,
                           const std::vector<uint8_t>* admitted) {
        for (uint8_t id : ids) {
            out += "\t" + IndicatorName(id) + ", по типам заявок:\n";
            out += "\t\tвсе типы заявок:\t" + value(id, object, kNoIndex) + "\n";
            for (size_t t = 0; t < typeCount; ++t) {
                if (admitted && !(t < admitted->size() && (*admitted)[t]))
                    continue;
                out += "\t\t" + layout.typeNames[t] + ":\t" +
                       value(id, object, static_cast<uint8_t>(t)) + "\n";
            }
            out += "\n";
        }
    };

    std::string out = "Общесистемные показатели.\n\n";
    if (typeCount > 1) {
        perTypeForm(out, ReportSystemSet, kNoIndex, nullptr);
    } else {
        simpleForm(out, ReportSystemSet, kNoIndex);
    }
    for (size_t i = 0; i < layout.nodes.size(); ++i) {
        const ReportLayout::Node& node = layout.nodes[i];
        const auto index = static_cast<uint8_t>(i);
        switch (node.kind) {
            case kChannel:
                out += node.name + " (канал)\n\n";
                simpleForm(out, ReportChannelSet, index);
                break;
            case kQueue: {
                out += node.name + " (накопитель)\n\n";
                int admitted = 0;
                for (size_t t = 0; t < typeCount && t < node.admitted.size(); ++t) {
                    if (node.admitted[t])
                        ++admitted;
                }
                if (admitted > 1) {
                    perTypeForm(out, ReportQueueSet, index, &node.admitted);
                } else {
                    simpleForm(out, ReportQueueSet, index);
                }
                break;
            }
            case kSink:
                out += node.name + " (сток)\n\n";
                if (typeCount > 1) {
                    perTypeForm(out, ReportSinkSet, index, nullptr);
                } else {
                    simpleForm(out, ReportSinkSet, index);
                }
                break;
            default:
                break;  // generators have no block
        }
    }
    return out;
}

}  // namespace marvolt
