#include "tools/host/convert/LapTemperatures.h"

#include <algorithm>
#include <cmath>

LapTemperatures::LapTemperatures(const std::vector<Reading>& readings) {
    const bool nearZero = std::any_of(readings.begin(), readings.end(), [](const Reading& r) {
        return r.degrees != 0 && std::fabs(r.degrees) <= kNearZero;
    });
    for (const Reading& reading : readings)
        if (std::isfinite(reading.degrees) && (reading.degrees != 0 || nearZero)) measured_.push_back(reading);
    std::stable_sort(measured_.begin(), measured_.end(), [](const Reading& a, const Reading& b) { return a.at < b.at; });
}

std::optional<double> LapTemperatures::at(double offset) const {
    if (measured_.empty()) return std::nullopt;
    const auto after = std::upper_bound(measured_.begin(), measured_.end(), offset,
                                        [](double t, const Reading& r) { return t < r.at; });
    if (after == measured_.begin()) return measured_.front().degrees;
    if (after == measured_.end()) return measured_.back().degrees;
    const Reading& before = *(after - 1);
    const double share = (offset - before.at) / (after->at - before.at);
    return before.degrees + share * (after->degrees - before.degrees);
}
