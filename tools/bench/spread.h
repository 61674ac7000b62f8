// The figure of one quantity over the benchmark's runs: the median with the smallest and largest.
#pragma once

#include <nlohmann/json.hpp>
#include <vector>

namespace tavelio::bench {

struct Spread {
    double median = 0;
    double min = 0;
    double max = 0;
};

// The spread of the values; of none, all zero.
Spread SpreadOf(std::vector<double> values);

// {"median": m, "min": a, "max": b}, rounded to three decimals.
nlohmann::ordered_json ToJson(const Spread& spread);

} // namespace tavelio::bench
