#include "tools/run_options.h"

#include "results/logic/stop_limits.h"

namespace marvolt {

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
           "  --check         check the model instead of running it: print what would make\n"
           "                  a run meaningless, one a line (a JSON array with --json)\n"
           "  --help          show this text\n"
           "\n"
           "Exit status: 0 success, 2 bad command line, 3 unreadable model file,\n"
           "4 invalid factor, 5 the results could not be saved, 7 the check found something.\n";
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
        } else if (a == "--check") {
            o.check = true;
        } else if (a == "--time") {
            const auto text = value(i, a);
            if (!text)
                return parsed;
            o.time = ReadPositiveReal(*text);
            if (!o.time) {
                parsed.error = "--time: " + PositiveRealMessage(*text);
                return parsed;
            }
        } else if (a == "--arrivals") {
            const auto text = value(i, a);
            if (!text)
                return parsed;
            o.arrivals = ReadArrivalsLimit(*text);
            if (!o.arrivals) {
                parsed.error = "--arrivals: " + PositiveIntegerMessage(*text);
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
    } else if (o.check && !o.save.empty()) {
        parsed.error = "Параметры --check и --save нельзя указывать вместе.";
    } else if (!o.help && o.model.empty()) {
        parsed.error = "Не указан файл модели.";
    }
    return parsed;
}

}  // namespace marvolt
