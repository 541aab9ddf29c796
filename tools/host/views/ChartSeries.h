#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "tools/host/track/Track.h"

// The series a chart shows in panels of their own, and each binned into the
// chart's pixel columns as the points stream by.

enum class SeriesKind { HeartRate, Speed, Pace, Cadence, Altitude, Power, Balance, Temperature, Interval };

struct SeriesStyle {
    const char* id;     // the panel's id in the chart
    const char* title;  // "Heart rate"
    const char* unit;   // "bpm"
    const char* colour;
    int decimals;        // of the values the panel's figures give
    double minimumSpan;  // of the panel's axis, so that a steady value is drawn as one
    bool meaningful;     // the mean is a figure worth giving (not so for altitude)
};
const SeriesStyle& seriesStyle(SeriesKind kind);

// The series a track may show, in the order of the panels: heart rate, speed
// (pace for a run), cadence, altitude, power, its balance, temperature and the
// beat intervals where the track carries them; a recording of beats alone
// shows heart rate and intervals.
std::vector<SeriesKind> chartSeries(const Track& track);

// Minutes per km at `speed` m/s; nullopt below a walk's start, where a
// runner stands.
std::optional<double> paceAt(double speed);

// A point's value in the unit the chart shows (km/h, min/km); nullopt where
// it has none.
std::optional<double> seriesValue(SeriesKind kind, const TrackPoint& point);

struct Column {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    bool afterGap = false;  // the series had no value for a column or more before this one
    bool any() const { return low <= high; }
};

// One series in pixel columns: each keeps its lowest and highest value.
class SeriesColumns {
public:
    // `unread`: what the channel holds where no sensor fed it, 0 in the file's unit.
    SeriesColumns(SeriesKind kind, int columns, double unread = 0)
        : kind_(kind), columns_(static_cast<size_t>(columns)), unread_(unread) {}

    SeriesKind kind() const { return kind_; }
    // `value` of a point in `column`; non-finite values are left out.
    void add(int column, double value);
    // A point without a value for this series.
    void miss() { missed_ = true; }

    // Any value other than the unread one: a channel of zeros had no sensor behind it.
    bool recorded() const { return read_; }
    const std::vector<Column>& columns() const { return columns_; }
    double low() const { return low_; }
    double high() const { return high_; }
    // The mean; for a pace that of the mean speed, as a runner counts it.
    double mean() const;

private:
    SeriesKind kind_;
    std::vector<Column> columns_;
    double low_ = std::numeric_limits<double>::infinity(), high_ = -low_;
    double unread_;
    double sum_ = 0;
    int64_t count_ = 0;
    bool read_ = false, missed_ = false;
    int lastColumn_ = -1;
};
