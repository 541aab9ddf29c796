#pragma once

#include <optional>
#include <vector>

// The temperatures a monitor read at its lap presses, spread over the
// samples: linear in time between two readings, the first reading held from
// the start and the last to the end. A monitor without a sensor writes 0.0
// for every lap, and one whose sensor lost contact 0.0 for that lap, so a
// reading of exactly 0 counts only where another lap reads near it; a
// recording with no reading that counts has no temperature.
class LapTemperatures {
public:
    struct Reading {
        double at;       // seconds since the start: the lap's end
        double degrees;  // in the file's own unit
    };
    explicit LapTemperatures(const std::vector<Reading>& readings);

    bool any() const { return !measured_.empty(); }
    // In the file's own unit; none where no lap's reading counts.
    std::optional<double> at(double offset) const;

    // A reading of 0 counts when another lap reads a value other than 0 within this many degrees of it.
    static constexpr double kNearZero = 5;

private:
    std::vector<Reading> measured_;  // in order of time
};
