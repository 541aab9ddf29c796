#include "tools/host/views/ChartSeries.h"

#include <cmath>

namespace {

constexpr double kSlowestPaceSpeed = 0.8;  // m/s, 20:50 min/km
// Larger values are no reading of any sensor and would break the axes.
constexpr double kLargestValue = 1e7;

constexpr SeriesStyle kStyles[] = {
    {"heart-rate", "Heart rate", "bpm", "#d62728", 0, 20, true},
    {"speed", "Speed", "km/h", "#1f77b4", 1, 5, true},
    {"pace", "Pace", "min/km", "#1f77b4", 2, 1, true},
    {"cadence", "Cadence", "rpm", "#9467bd", 0, 20, true},
    {"altitude", "Altitude", "m", "#8c564b", 0, 20, false},
    {"power", "Power", "W", "#ff7f0e", 0, 50, true},
    {"balance", "Left/right balance", "% left", "#e377c2", 0, 20, true},
    {"temperature", "Temperature", "\xc2\xb0" "C", "#17becf", 1, 4, true},
    {"intervals", "R-R interval", "ms", "#2ca02c", 0, 100, true},
};

std::optional<double> real(const std::optional<int>& value) {
    return value ? std::optional<double>(*value) : std::nullopt;
}

}  // namespace

const SeriesStyle& seriesStyle(SeriesKind kind) { return kStyles[static_cast<size_t>(kind)]; }

std::optional<double> paceAt(double speed) {
    if (!(speed >= kSlowestPaceSpeed)) return std::nullopt;
    return 1000 / 60.0 / speed;
}

std::vector<SeriesKind> chartSeries(const Track& track) {
    if (track.fromBeats()) return {SeriesKind::HeartRate, SeriesKind::Interval};
    std::vector<SeriesKind> kinds = {SeriesKind::HeartRate,
                                     track.sport() == Sport::Running ? SeriesKind::Pace : SeriesKind::Speed,
                                     SeriesKind::Cadence,
                                     SeriesKind::Altitude,
                                     SeriesKind::Power,
                                     SeriesKind::Balance,
                                     SeriesKind::Temperature};
    if (track.beats()) kinds.push_back(SeriesKind::Interval);
    return kinds;
}

std::optional<double> seriesValue(SeriesKind kind, const TrackPoint& point) {
    switch (kind) {
        case SeriesKind::HeartRate: return real(point.heartRate);
        case SeriesKind::Speed: return point.speed ? std::optional<double>(*point.speed * 3.6) : std::nullopt;
        case SeriesKind::Pace: return point.speed ? paceAt(*point.speed) : std::nullopt;
        case SeriesKind::Cadence: return real(point.cadence);
        case SeriesKind::Altitude: return point.altitude;
        case SeriesKind::Power: return point.power;
        case SeriesKind::Balance: return point.balance;
        case SeriesKind::Temperature: return point.temperature;
        case SeriesKind::Interval: break;
    }
    return std::nullopt;
}

void SeriesColumns::add(int column, double value) {
    if (!std::isfinite(value) || std::fabs(value) > kLargestValue) return;
    Column& c = columns_[static_cast<size_t>(column)];
    if (!c.any()) c.afterGap = missed_ && lastColumn_ >= 0 && lastColumn_ < column - 1;
    c.low = std::min(c.low, value);
    c.high = std::max(c.high, value);
    low_ = std::min(low_, value);
    high_ = std::max(high_, value);
    sum_ += kind_ == SeriesKind::Pace ? 1 / value : value;
    ++count_;
    read_ |= std::fabs(value - unread_) > 1e-9;
    missed_ = false;
    lastColumn_ = column;
}

double SeriesColumns::mean() const {
    if (count_ == 0) return 0;
    return kind_ == SeriesKind::Pace ? count_ / sum_ : sum_ / count_;
}
