#include "tools/host/views/OverviewExercise.h"

#include <algorithm>
#include <cmath>

#include "tools/host/track/LapFigures.h"
#include "tools/host/views/ExerciseText.h"

namespace {

constexpr int kZones = 5;

// The zone, 1 to 5, of a heart rate: 50 % of the maximum and more, each zone
// 10 points wide, the last open above; 0 under 50 %. In whole numbers, so
// that a rate on a bound falls in the zone above it.
int zoneOf(int heartRate, int maximum) {
    const int tenths = 10 * heartRate / maximum;
    if (tenths < 5) return 0;
    return std::min(kZones, tenths - 4);
}

}  // namespace

OverviewExercise overviewExercise(const Track& track, const HeartRateProfile& profile) {
    OverviewExercise exercise;
    exercise.name = exerciseTitle(track);
    exercise.source = fileTitle(track);
    exercise.sport = sportTitle(track.sport());
    if (track.dated()) exercise.start = track.startTime();
    exercise.startText = startText(track).value_or("no date");
    if (track.timed()) exercise.duration = track.duration();
    exercise.distance = track.totalDistance();
    exercise.energy = track.energy();

    const bool zoned = profile.maximum && *profile.maximum > 0 && track.timed();
    std::vector<double> zones(kZones, 0.0);
    double sum = 0;
    int64_t count = 0;
    int highest = 0;
    // The last heart rate read and where it began, its time still to count.
    std::optional<int> pendingRate;
    int32_t pendingOffset = 0;
    const auto countTime = [&](double until) {
        if (!zoned || !pendingRate) return;
        const int zone = zoneOf(*pendingRate, *profile.maximum);
        if (zone > 0) zones[static_cast<size_t>(zone - 1)] += std::max(0.0, until - pendingOffset);
    };
    // The ascent by the converted files' own rule.
    LapFigures figures(track);
    for (int32_t j = 0; j < track.size(); ++j) {
        const TrackPoint point = track.point(j);
        figures.add(j, point);
        countTime(point.offset);
        pendingRate = point.heartRate;
        pendingOffset = point.offset;
        if (point.heartRate) {
            sum += *point.heartRate;
            ++count;
            highest = std::max(highest, *point.heartRate);
        }
    }
    countTime(track.duration());
    exercise.ascent = figures.session().ascent;
    if (count == 0) return exercise;
    exercise.averageHeartRate = static_cast<int>(std::lround(sum / static_cast<double>(count)));
    exercise.maximumHeartRate = highest;
    if (!zoned) {
        exercise.zoneSource = !track.timed() ? "no zones: no time between the samples"
                                             : "no zones: no maximum heart rate (the file's MaxHR= or --max-hr)";
        return exercise;
    }
    double load = 0;
    for (int zone = 1; zone <= kZones; ++zone) load += zone * zones[static_cast<size_t>(zone - 1)] / 60.0;
    exercise.zoneSeconds = std::move(zones);
    exercise.load = load;
    exercise.zoneSource = "zones of 50-60-70-80-90-100 % of the maximum heart rate " +
                          std::to_string(*profile.maximum) + " bpm (" + profile.source + ")";
    return exercise;
}
