#pragma once

#include <optional>
#include <string>

#include "tools/host/track/Track.h"
#include "tools/host/views/OverviewPage.h"

// The person's maximum heart rate an exercise's zones and load are reckoned
// from, and where it came from ("the file's MaxHR", "--max-hr").
struct HeartRateProfile {
    std::optional<int> maximum;  // bpm
    std::string source;
};

// The exercise as the page lists it, its key and files still to add, from
// one pass over the points: mean and highest heart rate, and the time in
// the five zones of 50-60, 60-70, 70-80, 80-90 and 90-100 % (and above) of
// the maximum heart rate, with Edwards' training load: the minutes in each
// zone times its number, 1 to 5, added up (Edwards, S. (1993) The Heart Rate
// Monitor Book). A point counts for the time to the next one, the last for
// the time to the end; heart rates under 50 % count in no zone. Without a
// maximum, or without time between the points, there are no zones and no
// load, and `zoneSource` says why.
OverviewExercise overviewExercise(const Track& track, const HeartRateProfile& profile);
