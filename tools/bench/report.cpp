#include "bench/report.h"

#include "bench/spread.h"

#include <cstdio>
#include <functional>
#include <map>

namespace tavelio::bench {
namespace {

using Json = nlohmann::ordered_json;

std::vector<double> Each(const std::vector<RunFigures>& runs,
                         const std::function<double(const RunFigures&)>& figure) {
    std::vector<double> values;
    for (const RunFigures& run : runs) {
        values.push_back(figure(run));
    }
    return values;
}

Json SpreadJson(const std::vector<RunFigures>& runs,
                const std::function<double(const RunFigures&)>& figure) {
    return ToJson(SpreadOf(Each(runs, figure)));
}

Json StartFigures(const std::vector<RunFigures>& runs) {
    const Spread ratio = SpreadOf(Each(
        runs, [](const RunFigures& run) { return run.splashFirstFrameMs / run.bareFirstFrameMs; }));
    return {
        {"splash_first_frame_ms",
         SpreadJson(runs, [](auto& run) { return run.splashFirstFrameMs; })},
        {"start_up_done_ms", SpreadJson(runs, [](auto& run) { return run.startUpDoneMs; })},
        {"bare_first_frame_ms", SpreadJson(runs, [](auto& run) { return run.bareFirstFrameMs; })},
        {"ratio", ToJson(ratio)},
        {"budget_ratio", Budgets::kStartRatio},
        {"met", ratio.median <= Budgets::kStartRatio}};
}

Json PageTurnFigures(const std::vector<RunFigures>& runs) {
    struct Samples {
        std::vector<double> turnMs;
        std::vector<double> bareMs;
        std::vector<double> ratio;
    };
    std::map<int, Samples> byPage;
    for (const RunFigures& run : runs) {
        for (const PageTurn& turn : run.turns) {
            Samples& samples = byPage[turn.pageNo];
            samples.turnMs.push_back(turn.turnMs);
            if (turn.bareDecodeMs > 0) {
                samples.bareMs.push_back(turn.bareDecodeMs);
                samples.ratio.push_back(turn.turnMs / turn.bareDecodeMs);
            }
        }
    }
    Json pages = Json::array();
    double worstMs = 0;
    double worstRatio = 0;
    for (const auto& [pageNo, samples] : byPage) {
        const Spread turn = SpreadOf(samples.turnMs);
        worstMs = std::max(worstMs, turn.median);
        Json page = {{"page", pageNo}, {"turn_ms", ToJson(turn)}};
        if (!samples.ratio.empty()) {
            const Spread ratio = SpreadOf(samples.ratio);
            worstRatio = std::max(worstRatio, ratio.median);
            page["bare_decode_ms"] = ToJson(SpreadOf(samples.bareMs));
            page["ratio"] = ToJson(ratio);
        }
        pages.push_back(page);
    }
    return {{"pages", pages},
            {"worst_page_median_ms", worstMs},
            {"worst_page_median_ratio", worstRatio},
            {"budget_ms", Budgets::kTurnMs},
            {"budget_ratio", Budgets::kTurnRatio},
            {"met", worstMs < Budgets::kTurnMs && worstRatio <= Budgets::kTurnRatio}};
}

Json MemoryFigures(const std::vector<RunFigures>& runs) {
    const Spread ratio = SpreadOf(Each(runs, [](const RunFigures& run) {
        return static_cast<double>(run.readerPeakKiB) / static_cast<double>(run.barePeakKiB);
    }));
    return {{"reader_peak_kib", SpreadJson(runs, [](auto& run) { return run.readerPeakKiB; })},
            {"bare_peak_kib", SpreadJson(runs, [](auto& run) { return run.barePeakKiB; })},
            {"ratio", ToJson(ratio)},
            {"budget_ratio", Budgets::kMemoryRatio},
            {"met", ratio.median <= Budgets::kMemoryRatio}};
}

// The threads that woke up, with their median rate over the runs.
Json WakingThreads(const std::vector<RunFigures>& runs) {
    std::map<std::string, std::vector<double>> byThread;
    for (const RunFigures& run : runs) {
        for (const auto& [thread, rate] : run.idle.wakeupsByThread) {
            byThread[thread].push_back(rate);
        }
    }
    Json threads = Json::object();
    for (auto& [thread, rates] : byThread) {
        rates.resize(runs.size()); // a run in which the thread slept counts as 0
        threads[thread] = ToJson(SpreadOf(rates))["median"];
    }
    return threads;
}

Json IdleFigures(const std::vector<RunFigures>& runs) {
    const Spread wakeups = SpreadOf(Each(runs, [](auto& run) { return run.idle.wakeups; }));
    return {{"wakeups_per_second", ToJson(wakeups)},
            {"by_thread", WakingThreads(runs)},
            {"cpu_percent", SpreadJson(runs, [](auto& run) { return run.idle.cpuPercent; })},
            {"budget_per_second", Budgets::kIdleWakeups},
            {"met", wakeups.median <= Budgets::kIdleWakeups}};
}

Json ClipFigures(const std::vector<RunFigures>& runs) {
    const Spread cpu = SpreadOf(Each(runs, [](auto& run) { return run.clip.cpuPercent; }));
    return {{"cpu_percent", ToJson(cpu)},
            {"wakeups_per_second", SpreadJson(runs, [](auto& run) { return run.clip.wakeups; })},
            {"budget_percent", Budgets::kClipCpuPercent},
            {"met", cpu.median <= Budgets::kClipCpuPercent}};
}

// printf into a string, for the summary's lines.
template <typename... Values> std::string Format(const char* format, Values... values) {
    char line[200];
    std::snprintf(line, sizeof line, format, values...);
    return line;
}

const char* Verdict(const Json& figure) {
    return figure["met"].get<bool>() ? "met" : "MISSED";
}

} // namespace

Json Report(const std::vector<RunFigures>& runs, Json machine) {
    return {{"machine", std::move(machine)},      {"start", StartFigures(runs)},
            {"page_turn", PageTurnFigures(runs)}, {"memory", MemoryFigures(runs)},
            {"idle", IdleFigures(runs)},          {"clip", ClipFigures(runs)}};
}

std::string Summary(const Json& report) {
    const auto median = [](const Json& spread) { return spread["median"].get<double>(); };
    const Json& start = report["start"];
    const Json& turn = report["page_turn"];
    const Json& memory = report["memory"];
    const Json& idle = report["idle"];
    const Json& clip = report["clip"];
    std::string text;
    text +=
        Format("start      splash frame %.1f ms, bare window %.1f ms: %.2fx (budget %.0fx) %s\n",
               median(start["splash_first_frame_ms"]), median(start["bare_first_frame_ms"]),
               median(start["ratio"]), Budgets::kStartRatio, Verdict(start));
    text += Format("           start-up work done at %.1f ms\n", median(start["start_up_done_ms"]));
    for (const Json& page : turn["pages"]) {
        text +=
            Format("page %2d    turn %.2f ms", page["page"].get<int>(), median(page["turn_ms"]));
        if (page.contains("ratio")) {
            text += Format(", bare decode %.2f ms: %.2fx", median(page["bare_decode_ms"]),
                           median(page["ratio"]));
        }
        text += "\n";
    }
    text += Format("page turn  worst %.2f ms, worst %.2fx (budget %.0f ms, %.0fx) %s\n",
                   turn["worst_page_median_ms"].get<double>(),
                   turn["worst_page_median_ratio"].get<double>(), Budgets::kTurnMs,
                   Budgets::kTurnRatio, Verdict(turn));
    text += Format("memory     reader %.0f KiB, bare %.0f KiB: %.2fx (budget %.0fx) %s\n",
                   median(memory["reader_peak_kib"]), median(memory["bare_peak_kib"]),
                   median(memory["ratio"]), Budgets::kMemoryRatio, Verdict(memory));
    text += Format("idle       %.2f wake-ups a second (budget %.0f) %s\n",
                   median(idle["wakeups_per_second"]), Budgets::kIdleWakeups, Verdict(idle));
    for (const auto& [thread, rate] : idle["by_thread"].items()) {
        text += Format("             %-16s %.2f a second\n", thread.c_str(), rate.get<double>());
    }
    text += Format("clip       %.2f %% of one core (budget %.0f %%) %s\n",
                   median(clip["cpu_percent"]), Budgets::kClipCpuPercent, Verdict(clip));
    return text;
}

} // namespace tavelio::bench
