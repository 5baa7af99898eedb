#include "tools/run_options.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace marvolt {

std::optional<float> ParsePositiveReal(const std::string& text) {
    // Plain decimal notation with "." whatever the locale: no blanks, no sign, no hexadecimal.
    double v = 0.0;
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(text.data(), last, v, std::chars_format::general);
    if (text.empty() || ec != std::errc() || end != last)
        return std::nullopt;
    // The model keeps the limit as a float32: it must stay positive and finite there.
    const float f = static_cast<float>(v);
    if (!(f > 0.0f) || !std::isfinite(f))
        return std::nullopt;
    return f;
}

std::optional<uint32_t> ParsePositiveInteger(const std::string& text) {
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    if (v == 0 || v > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    return static_cast<uint32_t>(v);
}

std::string RunUsage() {
    return "Использование: marvolt-run [параметры] МОДЕЛЬ.qsf\n"
           "Usage: marvolt-run [options] MODEL.qsf\n"
           "\n"
           "Runs the experiment the model file describes: a single run, or the factor\n"
           "experiment when the model's factor flag is set, and prints its results.\n"
           "\n"
           "  --time T        stop the run when the model time passes T (a positive real)\n"
           "  --arrivals N    stop the run when more than N requests have arrived (a positive "
           "integer)\n"
           "  --json          print one JSON document instead of the report text\n"
           "  --save OUT.qsf  save the model with its results to OUT.qsf\n"
           "  --help          show this text\n"
           "\n"
           "Exit status: 0 success, 2 bad command line, 3 unreadable model file,\n"
           "4 invalid factor, 5 the results could not be saved.\n";
}

ParsedOptions ParseRunOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    RunOptions& o = parsed.options;
    auto value = [&](size_t& i, const std::string& name) -> std::optional<std::string> {
        if (i + 1 >= args.size()) {
            parsed.error = "Параметр " + name + " требует значения.";
            return std::nullopt;
        }
        return args[++i];
    };
    // Asking for help wins over every other word.
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            o.help = true;
            return parsed;
        }
    }
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--json") {
            o.json = true;
        } else if (a == "--time") {
            const auto text = value(i, a);
            if (!text)
                return parsed;
            o.time = ParsePositiveReal(*text);
            if (!o.time) {
                parsed.error = "--time: Введено некорректное значение \"" + *text +
                               "\".\nПравильным значением является любое положительное число.";
                return parsed;
            }
        } else if (a == "--arrivals") {
            const auto text = value(i, a);
            if (!text)
                return parsed;
            o.arrivals = ParsePositiveInteger(*text);
            if (!o.arrivals) {
                parsed.error = "--arrivals: Введено некорректное значение \"" + *text +
                               "\".\nПравильным значением является целое положительное число.";
                return parsed;
            }
        } else if (a == "--save") {
            const auto text = value(i, a);
            if (!text)
                return parsed;
            o.save = *text;
        } else if (a.size() > 1 && a[0] == '-') {
            parsed.error = "Неизвестный параметр \"" + a + "\".";
            return parsed;
        } else if (o.model.empty()) {
            o.model = a;
        } else {
            parsed.error = "Можно указать только один файл модели.";
            return parsed;
        }
    }
    if (o.time && o.arrivals) {
        parsed.error = "Параметры --time и --arrivals нельзя указывать вместе.";
    } else if (!o.help && o.model.empty()) {
        parsed.error = "Не указан файл модели.";
    }
    return parsed;
}

}  // namespace marvolt
