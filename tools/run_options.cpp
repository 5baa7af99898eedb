#include "tools/run_options.h"

#include <algorithm>

#include "kernel/queuing_system.h"
#include "results/logic/stop_limits.h"
#include "results/number_text.h"
#include "tools/replications.h"

namespace marvolt {

namespace {

// A whole number from `least` to `most`, written without sign or spaces.
std::optional<uint32_t> ReadCount(std::string_view text, uint32_t least, uint32_t most) {
    const std::optional<int64_t> v = ParseInteger(text);
    if (!v || *v < least || *v > most || text.front() == '+')
        return std::nullopt;
    return static_cast<uint32_t>(*v);
}

}  // namespace

std::string RunUsage() {
    return std::string(
               "Использование: marvolt-run [параметры] МОДЕЛЬ.qsf\n"
           "               marvolt-run --merge [--json] A.json B.json ...\n"
           "Usage: marvolt-run [options] MODEL.qsf\n"
           "       marvolt-run --merge [--json] A.json B.json ...\n"
           "\n"
           "Runs the experiment the model file describes: a single run, or the factor\n"
           "experiment when the model's factor flag is set, and prints its results.\n"
           "\n"
           "  --time T        stop the run when the model time passes T (a positive real)\n"
           "  --arrivals N    stop the run when more than N requests have arrived (a positive "
           "integer)\n"
           "  --max-in-system N\n"
           "                  stop the run when the model would hold more than N requests at\n"
           "                  once (a positive integer; ") +
           std::to_string(kDefaultInSystemLimit) +
           " unless given)\n"
           "  --json          print one JSON document instead of the report text\n"
           "  --save OUT.qsf  save the model with its results to OUT.qsf\n"
           "  --check         check the model instead of running it: print what would make\n"
           "                  a run meaningless, one a line (a JSON array with --json)\n"
           "  --seed S        start the random source where replication S starts\n"
           "                  (0 to 2147483647; 0 is where the program starts anyway)\n"
           "  --replications R  make R independent replications S, S+1, ... and print\n"
           "                  each indicator's mean and 95 % confidence half-width\n"
           "  --jobs J        spread the replications over J processes\n"
           "  --merge         combine the --json documents of replications made\n"
           "                  elsewhere into one, as if one run had made them all\n"
           "  --warmup T      start every statistic afresh at model time T (a non-negative\n"
           "                  real; 0: no warm-up), or --warmup auto: at the time MSER-5\n"
           "                  chooses for each replication\n"
           "  --precision P   with --replications MIN..MAX: make replications until the\n"
           "                  95 % half-width of every target is at most P times its mean\n"
           "  --target ID[:OBJECT[:TYPE]]\n"
           "                  an indicator --precision watches (repeatable; by default the\n"
           "                  mean waiting time of every queue and the mean number in the\n"
           "                  system)\n"
           "  --csv FILE      write every indicator of every replication to FILE and\n"
           "                  their means and half-widths to FILE_summary beside it\n"
           "  --help          show this text\n"
           "\n"
           "Exit status: 0 success, 2 bad command line, 3 unreadable model file,\n"
           "4 invalid factor, 5 the results could not be saved, 6 the results could\n"
           "not be written, 7 the check found something, 8 the documents to merge are\n"
           "unreadable or do not belong together, 9 a process of the replications failed,\n"
           "10 a run ended before its warm-up did, 11 the CSV could not be written.\n";
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
    // With --merge every file named, wherever it stands, is a document to combine.
    o.merge = std::find(args.begin(), args.end(), "--merge") != args.end();
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
        } else if (a == "--arrivals" || a == "--max-in-system") {
            const auto text = value(i, a);
            if (!text)
                return parsed;
            std::optional<uint32_t>& target = a == "--arrivals" ? o.arrivals : o.maxInSystem;
            target = ReadArrivalsLimit(*text);
            if (!target) {
                parsed.error = a + ": " + PositiveIntegerMessage(*text);
                return parsed;
            }
        } else if (a == "--save") {
            const auto text = value(i, a);
            if (!text)
                return parsed;
            o.save = *text;
        } else if (a == "--warmup") {
            const auto text = value(i, a);
            if (!text)
                return parsed;
            parsed.error = ParseWarmup(*text, o.warmup);
            if (!parsed.error.empty())
                return parsed;
        } else if (a == "--precision") {
            const auto text = value(i, a);
            if (!text)
                return parsed;
            const std::optional<double> p = ParseReal(*text);
            if (!p || !(*p > 0.0) || *p >= 1.0) {
                parsed.error = "--precision: Введено некорректное значение \"" + *text +
                               "\".\nПравильным значением является вещественное число больше 0 "
                               "и меньше 1.";
                return parsed;
            }
            o.precision = p;
        } else if (a == "--target" || a == "--csv") {
            const auto text = value(i, a);
            if (!text)
                return parsed;
            if (a == "--csv") {
                o.csv = *text;
            } else {
                o.targets.push_back(*text);
            }
        } else if (a == "--replications" && i + 1 < args.size() &&
                   args[i + 1].find("..") != std::string::npos) {
            const std::string text = args[++i];
            const size_t dots = text.find("..");
            const std::optional<uint32_t> least =
                ReadCount(std::string_view(text).substr(0, dots), 2, kReplicationLimit);
            const std::optional<uint32_t> most =
                ReadCount(std::string_view(text).substr(dots + 2), 2, kReplicationLimit);
            if (dots == 0 || dots + 2 >= text.size() || !least || !most || *least > *most) {
                parsed.error = "--replications: Введено некорректное значение \"" + text +
                               "\".\nПравильным значением является одно целое число или два, "
                               "MIN..MAX, где 2 <= MIN <= MAX.";
                return parsed;
            }
            o.replications = least;
            o.replicationsMost = most;
        } else if (a == "--seed" || a == "--replications" || a == "--jobs") {
            const auto text = value(i, a);
            if (!text)
                return parsed;
            const bool seed = a == "--seed";
            const uint32_t least = seed ? 0 : 1;
            const uint32_t most = a == "--jobs" ? kJobLimit : kReplicationLimit - (seed ? 1 : 0);
            const std::optional<uint32_t> n = ReadCount(*text, least, most);
            if (!n) {
                parsed.error = a + ": Введено некорректное значение \"" + *text +
                               "\".\nПравильным значением является целое число от " +
                               std::to_string(least) + " до " + std::to_string(most) + ".";
                return parsed;
            }
            (seed ? o.seed : a == "--jobs" ? o.jobs : o.replications) = n;
        } else if (a == "--merge") {
            continue;
        } else if (a.size() > 1 && a[0] == '-') {
            parsed.error = "Неизвестный параметр \"" + a + "\".";
            return parsed;
        } else if (o.merge) {
            o.mergeFiles.push_back(a);
        } else if (o.model.empty()) {
            o.model = a;
        } else {
            parsed.error = "Можно указать только один файл модели.";
            return parsed;
        }
    }
    if (o.merge) {
        const char* alone = o.time            ? "--time"
                            : o.arrivals      ? "--arrivals"
                            : o.seed          ? "--seed"
                            : o.replications  ? "--replications"
                            : o.jobs          ? "--jobs"
                            : o.check         ? "--check"
                            : !o.save.empty() ? "--save"
                            : o.warmup.Any()  ? "--warmup"
                            : o.precision     ? "--precision"
                            : !o.targets.empty() ? "--target"
                                              : nullptr;
        if (alone) {
            parsed.error = std::string("Параметры --merge и ") + alone +
                           " нельзя указывать вместе: объединяются готовые результаты.";
        } else if (o.mergeFiles.empty()) {
            parsed.error = "Не указаны файлы результатов для объединения.";
        }
        return parsed;
    }
    if (o.time && o.arrivals) {
        parsed.error = "Параметры --time и --arrivals нельзя указывать вместе.";
    } else if (o.check && !o.save.empty()) {
        parsed.error = "Параметры --check и --save нельзя указывать вместе.";
    } else if (o.check && (o.seed || o.replications)) {
        parsed.error = "Параметр --check только проверяет модель: прогонов не будет.";
    } else if (o.jobs && !o.replications) {
        parsed.error = "Параметр --jobs распределяет прогоны и требует --replications.";
    } else if (o.replications && !o.save.empty()) {
        parsed.error =
            "Параметры --save и --replications нельзя указывать вместе: "
            "файл модели хранит результаты одного прогона.";
    } else if (o.check && (o.warmup.Any() || o.precision || !o.csv.empty())) {
        parsed.error = "Параметр --check только проверяет модель: прогонов не будет.";
    } else if (o.warmup.Any() && !o.save.empty()) {
        parsed.error =
            "Параметры --save и --warmup нельзя указывать вместе: "
            "файл модели не хранит момент, с которого собрана статистика.";
    } else if (o.replicationsMost && !o.precision) {
        parsed.error = "Число прогонов MIN..MAX задается только вместе с --precision.";
    } else if (o.precision && !o.replicationsMost) {
        parsed.error = "Параметр --precision требует --replications MIN..MAX.";
    } else if (!o.targets.empty() && !o.precision) {
        parsed.error = "Параметр --target задает показатели для --precision и требует его.";
    } else if (o.time && o.warmup.time > 0 && o.warmup.time >= *o.time) {
        parsed.error = "Разгон --warmup должен закончиться раньше, чем прогон по --time.";
    } else if (o.replications &&
               o.replicationsMost.value_or(*o.replications) >
                   kReplicationLimit - o.seed.value_or(0)) {
        parsed.error =
            "Номера прогонов от --seed до --seed + --replications - 1 "
            "не должны превышать " +
            std::to_string(kReplicationLimit - 1) + ".";
    } else if (!o.help && o.model.empty()) {
        parsed.error = "Не указан файл модели.";
    }
    return parsed;
}

}  // namespace marvolt
