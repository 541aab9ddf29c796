#include "tools/host/recording/BeatSeries.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "framework/TextLines.h"
#include "model/HrmFormat.h"

BeatSeries BeatSeries::fromFileText(std::string_view text) {
    BeatSeries series;
    const fw::TextLines file{std::string(text)};
    bool samples = false;
    for (const std::string_view line : file.lines()) {
        if (!samples) {
            samples = line.rfind(hrm::kHRDataSection, 0) == 0;
            continue;
        }
        if (line.empty()) break;
        const std::string_view column = line.substr(0, line.find('\t'));
        int32_t value = 0;
        const auto [end, failed] = std::from_chars(column.data(), column.data() + column.size(), value);
        if (failed != std::errc{} || end != column.data() + column.size() || value <= 0) continue;
        series.elapsed_ += value;
        series.intervals_.push_back(value);
        if (value < kNoBeatFrom) series.beats_.push_back({series.elapsed_, value});
    }
    return series;
}

std::optional<int> BeatSeries::heartRateAt(int64_t ms) const {
    const auto after = std::upper_bound(beats_.begin(), beats_.end(), ms,
                                        [](int64_t time, const Beat& beat) { return time < beat.at; });
    if (after == beats_.begin()) return std::nullopt;
    const Beat& last = *std::prev(after);
    if (ms - last.at >= kNoBeatFrom) return std::nullopt;
    return heartRateOf(last.interval);
}

int heartRateOf(int32_t interval) { return static_cast<int>(std::lround(60000.0 / interval)); }
