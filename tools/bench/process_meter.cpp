#include "bench/process_meter.h"

#include "bench/child_process.h"

#include <filesystem>
#include <fstream>
#include <thread>

namespace tavelio::bench {
namespace {

struct ThreadCounters {
    std::string name;
    long long runNs = 0;
    long long sleeps = 0;
};

std::string FirstLineOf(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

long long VoluntarySwitches(const std::filesystem::path& statusFile) {
    std::ifstream in(statusFile);
    const std::string field = "voluntary_ctxt_switches:";
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(field, 0) == 0) {
            return std::stoll(line.substr(field.size()));
        }
    }
    return 0;
}

// The counters of every thread of the process, by thread id.
std::map<std::string, ThreadCounters> ReadThreads(pid_t pid) {
    std::map<std::string, ThreadCounters> threads;
    std::error_code error;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
        ThreadCounters counters;
        counters.name = FirstLineOf(task.path() / "comm");
        // schedstat: time on the processor (ns), time waiting to run, slices run.
        const std::string schedstat = FirstLineOf(task.path() / "schedstat");
        if (schedstat.empty()) {
            continue; // ended while being read
        }
        counters.runNs = std::stoll(schedstat);
        counters.sleeps = VoluntarySwitches(task.path() / "status");
        threads[task.path().filename()] = counters;
    }
    if (error) {
        throw BenchError("cannot watch process " + std::to_string(pid) + ": " + error.message());
    }
    return threads;
}

} // namespace

Activity WatchProcess(pid_t pid, std::chrono::milliseconds window) {
    const auto before = ReadThreads(pid);
    const long long startNs = MonotonicNs();
    std::this_thread::sleep_for(window);
    const auto after = ReadThreads(pid);
    Activity activity;
    activity.seconds = static_cast<double>(MonotonicNs() - startNs) / 1e9;
    long long runNs = 0;
    for (const auto& [thread, counters] : after) {
        const auto earlier = before.find(thread);
        const ThreadCounters start = earlier != before.end() ? earlier->second : ThreadCounters{};
        runNs += counters.runNs - start.runNs;
        const long long sleeps = counters.sleeps - start.sleeps;
        if (sleeps > 0) {
            activity.wakeupsByThread[counters.name] +=
                static_cast<double>(sleeps) / activity.seconds;
            activity.wakeups += static_cast<double>(sleeps) / activity.seconds;
        }
    }
    activity.cpuPercent = static_cast<double>(runNs) / 1e9 / activity.seconds * 100;
    return activity;
}

} // namespace tavelio::bench
