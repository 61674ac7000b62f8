#include "bench/spread.h"

#include <algorithm>
#include <cmath>

namespace tavelio::bench {
namespace {

double Rounded(double value) {
    return std::round(value * 1000) / 1000;
}

} // namespace

Spread SpreadOf(std::vector<double> values) {
    if (values.empty()) {
        return {};
    }
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    const double median =
        values.size() % 2 != 0 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
    return {median, values.front(), values.back()};
}

nlohmann::ordered_json ToJson(const Spread& spread) {
    return {{"median", Rounded(spread.median)},
            {"min", Rounded(spread.min)},
            {"max", Rounded(spread.max)}};
}

} // namespace tavelio::bench
