// The lap figures' subtle rules: a distance across a stretch without one,
// zeros of cadence and power counted, heart rates of none not, the climb's
// hysteresis, laps without a sample; and which lap temperatures were measured.
#include <gtest/gtest.h>

#include <vector>

#include "tools/host/convert/LapTemperatures.h"
#include "tools/host/track/LapFigures.h"

namespace {

// Points 10 s apart and laps given by their first samples.
class PointTrack : public Track {
public:
    PointTrack(std::vector<TrackPoint> points, const std::vector<int32_t>& firsts) : Track(TrackOrigin{}) {
        points_ = std::move(points);
        for (size_t j = 0; j < points_.size(); ++j) points_[j].offset = static_cast<int32_t>(10 * j);
        duration_ = 10.0 * static_cast<double>(points_.size());
        for (size_t k = 0; k < firsts.size(); ++k) {
            TrackLap lap;
            lap.firstSample = firsts[k];
            lap.endSample = k + 1 < firsts.size() ? firsts[k + 1] : size();
            lap.duration = 10.0 * (lap.endSample - lap.firstSample);
            laps_.push_back(lap);
        }
    }
    int32_t size() const override { return static_cast<int32_t>(points_.size()); }
    TrackPoint point(int32_t index) const override { return points_.at(static_cast<size_t>(index)); }

private:
    std::vector<TrackPoint> points_;
};

TrackPoint at(std::optional<double> distance, std::optional<double> altitude = std::nullopt,
              std::optional<int> heartRate = std::nullopt, std::optional<int> cadence = std::nullopt) {
    TrackPoint p;
    p.distance = distance;
    p.altitude = altitude;
    p.heartRate = heartRate;
    p.cadence = cadence;
    return p;
}

}  // namespace

TEST(LapFigures_spans, distanceAcrossAGapAddsUpToTheSession) {
    // The second lap opens inside a gap, at 30 s: the distance there is interpolated across the gap
    // from 100 m at 10 s to 400 m at 40 s; the third opens at a distance of its own.
    const PointTrack track({at(0.0), at(100.0), at(std::nullopt), at(std::nullopt), at(400.0), at(500.0)}, {0, 3, 4});
    const LapFigures figures = LapFigures::of(track);
    EXPECT_EQ(figures.lap(0).distance, 300.0);
    EXPECT_EQ(figures.lap(1).distance, 100.0);
    EXPECT_EQ(figures.lap(2).distance, 100.0);
    EXPECT_EQ(figures.session().distance, 500.0);
    EXPECT_DOUBLE_EQ(*figures.lap(0).averageSpeed, 300.0 / 30);

    // No distance anywhere: none, not 0.
    const PointTrack undistanced({at(std::nullopt), at(std::nullopt)}, {0, 1});
    const LapFigures none = LapFigures::of(undistanced);
    EXPECT_FALSE(none.lap(0).distance);
    EXPECT_FALSE(none.session().averageSpeed);
}

TEST(LapFigures_spans, zerosOfCadenceCountedAndLapsWithoutSamplesHaveNoMeans) {
    const PointTrack track({at(0.0, std::nullopt, 120, 0), at(0.0, std::nullopt, std::nullopt, 90),
                            at(0.0, std::nullopt, 140, 90)},
                           {0, 3, 3});
    const LapFigures figures = LapFigures::of(track);
    EXPECT_EQ(figures.lap(0).averageCadence, 60);
    EXPECT_EQ(figures.lap(0).maximumCadence, 90);
    EXPECT_EQ(figures.lap(0).averageHeartRate, 130);
    EXPECT_EQ(figures.lap(0).maximumHeartRate, 140);
    EXPECT_FALSE(figures.lap(1).averageHeartRate);
    EXPECT_FALSE(figures.lap(1).averageCadence);
    EXPECT_EQ(figures.lap(1).distance, 0.0);
}

TEST(LapFigures_climbs, noiseBelowTheHysteresisIsNoClimb) {
    // Steps of 2 m up and down, then a climb of 12 m completing in the second lap, then a drop of 10 m.
    std::vector<TrackPoint> points;
    for (const double altitude : {100, 102, 100, 102, 100, 104, 108, 112, 107, 102})
        points.push_back(at(std::nullopt, altitude));
    const PointTrack climb(points, {0, 6});
    const LapFigures figures = LapFigures::of(climb);
    EXPECT_EQ(figures.lap(0).ascent, 4.0);
    EXPECT_EQ(figures.lap(1).ascent, 8.0);
    EXPECT_EQ(figures.lap(1).descent, 10.0);
    EXPECT_EQ(figures.session().ascent, 12.0);
    const PointTrack flat({at(1.0)}, {0});
    EXPECT_FALSE(LapFigures::of(flat).session().ascent);
}

TEST(LapFigures_temperature, zeroMeasuredOnlyNearOtherReadings) {
    EXPECT_FALSE(LapTemperatures({{100, 0}, {200, 0}}).any());
    // A 0 among 20s is skipped: the spread runs from 20 to 22 across it.
    const LapTemperatures warm({{100, 20}, {200, 0}, {300, 22}});
    EXPECT_EQ(warm.at(0), 20.0);
    EXPECT_EQ(warm.at(200), 21.0);
    EXPECT_EQ(warm.at(400), 22.0);
    // A winter ride: every reading counts.
    const LapTemperatures cold({{100, 0}, {200, 0.5}, {300, -1}});
    EXPECT_EQ(cold.at(50), 0.0);
    EXPECT_EQ(cold.at(150), 0.25);
    EXPECT_EQ(cold.at(300), -1.0);
}
