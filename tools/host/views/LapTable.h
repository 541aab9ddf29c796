#pragma once

#include <pugixml.hpp>
#include <string>
#include <vector>

#include "tools/host/track/LapFigures.h"
#include "tools/host/track/Track.h"

// The table of laps under a chart: each lap's number and name, when it
// ended, its time, distance, average heart rate, speed (pace for a run),
// power and energy; a column only where a lap has such a value. The figures
// are those the converted files give the lap, from its samples.
class LapTable {
public:
    // Empty for a track whose file has no laps.
    LapTable(const Track& track, const LapFigures& figures);

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
