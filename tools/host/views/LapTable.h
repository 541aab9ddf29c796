#pragma once

#include <pugixml.hpp>
#include <string>
#include <vector>

#include "tools/host/track/Track.h"

// The heart rates and powers of a lap's samples, summed as they stream by.
struct LapSums {
    double heartRate = 0, power = 0;
    int64_t heartRates = 0, powers = 0;
    void add(const TrackPoint& point);
};

// The table of laps under a chart: each lap's number and name, when it
// ended, its time, distance, average heart rate, speed (pace for a run),
// power and energy; a column only where a lap has such a value. Means are
// those of the lap's samples, as the panels above show them, and the
// speed is the distance over the time; the monitor's figures for the lap
// stand in where the samples give none.
class LapTable {
public:
    // `sums`: one per lap. Empty for a track whose file has no laps.
    LapTable(const Track& track, const std::vector<LapSums>& sums);

    bool empty() const { return columns_.empty(); }
    double width() const;
    double height() const;
    // The table with its title above, its top left corner at `x`, `y`.
    void draw(pugi::xml_node parent, double x, double y) const;

private:
    struct Column {
        std::string header, unit;
        std::vector<std::string> cells;
        bool number = true;  // aligned to the right
        double width() const;
    };
    void addColumn(std::string header, std::string unit, std::vector<std::string> cells, bool number = true);

    std::vector<Column> columns_;
    size_t rows_ = 0;
};
