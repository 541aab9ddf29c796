#pragma once

#include <string>
#include <vector>

// The labels over the laps of a chart's time axis: every lap gets one, and
// no two overlap. A lap shows "lap 2: Race" where the name fits over it,
// else "lap 2", else its number alone. A label stands over the middle of
// its lap, or as near it as the label before allows while it stays over
// the lap; one wider than its lap goes into the first row above where
// nothing is in its way.

constexpr double kLapLabelFont = 11;  // pixels

struct LapSpan {
    double begin, end;  // pixels
    std::string name;   // as the file names the lap; empty for none
};

struct LapLabel {
    std::string text;
    double middle;  // pixels
    int row;        // 0 nearest the panels
};

// The labels of `laps` (in order), kept between `left` and `right`.
std::vector<LapLabel> lapLabels(const std::vector<LapSpan>& laps, double left, double right);
