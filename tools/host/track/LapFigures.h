#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "tools/host/track/Track.h"

// What the converted files say of a lap or of the whole exercise, each figure
// from the samples inside its span. A figure no sample measured is absent.
struct Figures {
    double time = 0;                  // seconds
    std::optional<double> distance;   // metres
    std::optional<double> averageSpeed, maximumSpeed;      // m/s; the average is distance over time
    std::optional<int> averageHeartRate, maximumHeartRate;  // bpm
    std::optional<int> averageCadence, maximumCadence;      // rpm, zeros counted
    std::optional<double> averagePower, maximumPower;       // watts, zeros counted
    std::optional<double> ascent, descent;                  // metres
};

// Climbs and drops smaller than this, in metres, are taken for the altimeter's
// noise: the altitude counts once it has moved this far from the last
// altitude counted, up or down.
inline constexpr double kClimbHysteresis = 3;

// The figures of every lap and of the session, accumulated while the points
// stream by, so that memory stays flat however long the exercise. A lap's
// distance runs from the distance where it starts to the distance where the
// next lap starts: that of the sample opening the next lap, or, where that
// sample has none (a gap in a GPS track), the distance interpolated in time
// across the stretch without one. So the stretch still counts, and the laps'
// distances add up to the session's.
class LapFigures {
public:
    // The figures keep `track`, which must outlive them.
    explicit LapFigures(const Track& track);
    explicit LapFigures(const Track&& track) = delete;

    // Every point of the track once, in order of `index`.
    void add(int32_t index, const TrackPoint& point);

    Figures lap(size_t k) const;
    Figures session() const;

    // The figures of `track` in a pass of their own, for a writer that needs
    // them before the samples.
    static LapFigures of(const Track& track);
    static LapFigures of(const Track&& track) = delete;

private:
    struct Sums {
        int64_t heartRateSum = 0, heartRates = 0, cadenceSum = 0, cadences = 0, powers = 0;
        double powerSum = 0;
        std::optional<int> maximumHeartRate, maximumCadence;
        std::optional<double> maximumSpeed, maximumPower;
        double ascent = 0, descent = 0;
        double endDistance = 0;  // the distance where the next lap starts
        int32_t endOffset = 0;   // the offset of the sample that opens the next lap

        void add(const TrackPoint& point);
        void add(const Sums& other);
    };
    Figures figures(const Sums& sums, double time, std::optional<double> distance) const;
    double endDistance(size_t k) const;

    const Track& track_;
    std::vector<Sums> laps_;  // one per lap of the track
    size_t lap_ = 0;          // the lap the points now fall into
    struct Known {
        int32_t offset;
        double distance;
    };
    std::optional<Known> known_;  // the last distance known
    std::vector<size_t> pending_;  // laps ending in a stretch without a distance
    std::optional<double> counted_;  // the altitude last counted
    bool anyAltitude_ = false;
};
