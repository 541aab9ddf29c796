#include "BeatSeries.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr std::string_view kSamplesSection = "[HRData]";

std::string_view nextLine(std::string_view& text) {
    const size_t end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos) {
        text = {};
    } else {
        // CR LF is one line end.
        text.remove_prefix(end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1));
    }
    return line;
}

}  // namespace

BeatSeries BeatSeries::fromFileText(std::string_view text) {
    BeatSeries series;
    bool samples = false;
    while (!text.empty()) {
        const std::string_view line = nextLine(text);
        if (!samples) {
            samples = line.rfind(kSamplesSection, 0) == 0;
            continue;
        }
        if (line.empty()) break;
        const std::string_view column = line.substr(0, line.find('\t'));
        int32_t value = 0;
        const auto [end, failed] = std::from_chars(column.data(), column.data() + column.size(), value);
        if (failed != std::errc{} || end != column.data() + column.size() || value <= 0) continue;
        series.elapsed_ += value;
        if (value < kNoBeatFrom) series.beats_.push_back({series.elapsed_, value});
    }
    return series;
}

std::optional<int> BeatSeries::heartRateAt(int64_t ms) const {
    const auto after = std::upper_bound(beats_.begin(), beats_.end(), ms,
                                        [](int64_t time, const Beat& beat) { return time < beat.at; });
    if (after == beats_.begin()) return std::nullopt;
    return heartRateOf(std::prev(after)->interval);
}

int heartRateOf(int32_t interval) { return static_cast<int>(std::lround(60000.0 / interval)); }
