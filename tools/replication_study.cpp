#include "tools/replication_study.h"

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include "kernel/random_stat.h"
#include "persistence/model_file.h"
#include "tools/progress_bar.h"
#include "tools/replications.h"

namespace marvolt {

namespace {

// A record holds no more values than the largest model has indicators, by far.
constexpr uint64_t kMostValues = uint64_t{1} << 26;

template <class T>
bool Put(std::FILE* f, const T& v) {
    return std::fwrite(&v, sizeof v, 1, f) == 1;
}
template <class T>
bool Get(std::FILE* f, T& v) {
    return std::fread(&v, sizeof v, 1, f) == 1;
}

// One replication, as it runs in whatever process.
ReplicationOutcome RunOne(const std::vector<uint8_t>& bytes,
                          const std::function<void(CQueuingSystem&)>& prepare, uint32_t number,
                          const WarmupSpec& warmup, const ProgressCallback& progress) {
    ReplicationOutcome o;
    o.number = number;
    OpenedModels opened = ReadModelBytes(bytes.data(), bytes.size());
    if (opened.result != OpenResult::kOk || !opened.current) {
        o.result = kNoSuchNode;  // cannot happen: the bytes were read once already
        return o;
    }
    CQueuingSystem& m = *opened.current;
    prepare(m);
    SetRandomState(ReplicationStartState(number));
    const WarmupOutcome w = WarmedExperiment(
        m, warmup, [&](CQueuingSystem& run) { return CountedExperiment(run, progress, o.draws); });
    o.result = w.result;
    o.warmup = w.warmup;
    o.warmupReached = w.reached;
    o.stopReason = m.stopReason;
    if (o.result == kOk)
        o.values = ReplicationValues(m);
    return o;
}

// The bar of a whole study: its share of this replication, and which of how
// many replications this is.
class StudyBar {
  public:
    StudyBar(const ProgressDisplay& display, uint32_t count)
        : period_(display.period), count_(count) {
        if (display.to)
            bar_.emplace(*display.to);
    }
    ~StudyBar() {
        if (bar_)
            bar_->Clear();
    }
    ProgressCallback For(uint32_t ordinal) {
        if (!bar_)
            return {};
        return [this, ordinal](const RunProgress& p) {
            // Runs report every few thousand events: the bar keeps its own pace.
            const auto now = std::chrono::steady_clock::now();
            if (now - last_ < period_)
                return true;
            last_ = now;
            return bar_->Show({p.Overall(), static_cast<int>(ordinal), static_cast<int>(count_)});
        };
    }

  private:
    std::optional<ProgressBar> bar_;
    std::chrono::nanoseconds period_;
    uint32_t count_;
    std::chrono::steady_clock::time_point last_{};
};

[[noreturn]] void Worker(const std::vector<uint8_t>& bytes,
                         const std::function<void(CQueuingSystem&)>& prepare, const StudyPlan& plan,
                         uint32_t job, uint32_t jobs, const ProgressDisplay& progress,
                         std::FILE* out) {
    int status = 0;
    try {
        // The first worker draws the bar for its own share; the others keep quiet.
        const uint32_t own = (plan.count - job + jobs - 1) / jobs;
        StudyBar bar(job == 0 ? progress : ProgressDisplay{}, own);
        uint32_t ordinal = 0;
        for (uint32_t i = job; i < plan.count; i += jobs, ++ordinal) {
            if (!WriteOutcome(
                    out, RunOne(bytes, prepare, plan.first + i, plan.warmup, bar.For(ordinal)))) {
                status = 1;
                break;
            }
        }
        if (std::fflush(out) != 0)
            status = 1;
    } catch (...) {
        status = 1;
    }
    // Leaves the parent's buffered output and exit handlers alone.
    ::_exit(status);
}

}  // namespace

int CountedExperiment(CQueuingSystem& m, const ProgressCallback& progress, uint64_t& draws) {
    // With a period of 0 the callback comes once every few thousand events:
    // far fewer than the 2^32 draws of a whole cycle lie between two calls, so
    // the distances between the states seen add up to the exact count.
    const auto period = m.progressPeriod;
    m.progressPeriod = std::chrono::nanoseconds(0);
    uint32_t last = RandomState();
    draws = 0;
    const int result = m.Experiment([&](const RunProgress& p) {
        const uint32_t now = RandomState();
        draws += RandomDrawsBetween(last, now);
        last = now;
        return progress ? progress(p) : true;
    });
    draws += RandomDrawsBetween(last, RandomState());
    m.progressPeriod = period;
    return result;
}

bool WriteOutcome(std::FILE* f, const ReplicationOutcome& o) {
    const uint64_t count = o.values.size();
    const auto reason = static_cast<uint8_t>(o.stopReason);
    const int32_t result = o.result;
    const uint8_t reached = o.warmupReached ? 1 : 0;
    return Put(f, o.number) && Put(f, o.draws) && Put(f, reason) && Put(f, result) &&
           Put(f, o.warmup) && Put(f, reached) && Put(f, count) &&
           (count == 0 || std::fwrite(o.values.data(), sizeof(double), count, f) == count);
}

bool ReadOutcome(std::FILE* f, ReplicationOutcome& o) {
    uint8_t reason = 0;
    int32_t result = 0;
    uint64_t count = 0;
    uint8_t reached = 1;
    if (!Get(f, o.number) || !Get(f, o.draws) || !Get(f, reason) || !Get(f, result) ||
        !Get(f, o.warmup) || !Get(f, reached) || !Get(f, count) || count > kMostValues)
        return false;
    o.warmupReached = reached != 0;
    o.stopReason = static_cast<StopReason>(reason);
    o.result = result;
    o.values.resize(count);
    return count == 0 || std::fread(o.values.data(), sizeof(double), count, f) == count;
}

bool RunReplications(const std::vector<uint8_t>& bytes,
                     const std::function<void(CQueuingSystem&)>& prepare, const StudyPlan& plan,
                     const ProgressDisplay& progress,
                     const std::function<void(const ReplicationOutcome&)>& take,
                     std::string& error) {
    const uint32_t jobs = std::min(std::max(plan.jobs, 1u), plan.count);
    if (jobs <= 1) {
        StudyBar bar(progress, plan.count);
        for (uint32_t i = 0; i < plan.count; ++i)
            take(RunOne(bytes, prepare, plan.first + i, plan.warmup, bar.For(i)));
        return true;
    }

    // Worker j makes replications j, j + J, j + 2J... and leaves their records
    // in a file of its own, which disappears when it is closed.
    std::vector<RecordFile> files;
    std::vector<pid_t> workers;
    std::fflush(nullptr);
    if (progress.to)
        progress.to->flush();
    for (uint32_t j = 0; j < jobs; ++j) {
        RecordFile f(std::tmpfile());
        if (!f) {
            error = "Не удалось создать временный файл для результатов прогонов.";
            break;
        }
        const pid_t pid = ::fork();
        if (pid == 0)
            Worker(bytes, prepare, plan, j, jobs, progress, f.get());
        if (pid < 0) {
            error = std::string("Не удалось запустить процесс для прогонов: ") +
                    std::strerror(errno) + ".";
            break;
        }
        files.push_back(std::move(f));
        workers.push_back(pid);
    }
    for (size_t j = 0; j < workers.size(); ++j) {
        int status = 0;
        pid_t done = 0;
        do {
            done = ::waitpid(workers[j], &status, 0);
        } while (done < 0 && errno == EINTR);
        if (done < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            if (error.empty()) {
                error = "Процесс прогонов " + std::to_string(j + 1) + " из " +
                        std::to_string(jobs) + " завершился с ошибкой";
                if (done >= 0 && WIFSIGNALED(status))
                    error += " (сигнал " + std::to_string(WTERMSIG(status)) + ")";
                error += ".";
            }
        }
    }
    if (!error.empty())
        return false;

    for (RecordFile& f : files)
        std::rewind(f.get());
    ReplicationOutcome o;
    for (uint32_t i = 0; i < plan.count; ++i) {
        if (!ReadOutcome(files[i % jobs].get(), o) || o.number != plan.first + i) {
            error = "Результаты процесса прогонов повреждены.";
            return false;
        }
        take(o);
    }
    return true;
}

}  // namespace marvolt
