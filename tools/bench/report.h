// The benchmark's figures over all runs, held against the reader's budgets: one JSON object and
// a short summary for people.
#pragma once

#include "bench/bench_run.h"

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tavelio::bench {

// The budgets, each a multiple of the bare yardstick or an absolute limit.
struct Budgets {
    static constexpr double kStartRatio = 2;     // splash's first frame over the bare window's
    static constexpr double kTurnRatio = 3;      // page turn over the bare decode of its picture
    static constexpr double kTurnMs = 16;        // page turn, one frame at 60 Hz
    static constexpr double kMemoryRatio = 2;    // reader's peak memory over the bare player's
    static constexpr double kIdleWakeups = 0;    // per second, idle after the narration
    static constexpr double kClipCpuPercent = 5; // of one core, while a clip plays
};

// The figures of the runs; `machine` describes where they were taken (load, platform).
nlohmann::ordered_json Report(const std::vector<RunFigures>& runs, nlohmann::ordered_json machine);

// A few lines for people, from the report.
std::string Summary(const nlohmann::ordered_json& report);

} // namespace tavelio::bench
