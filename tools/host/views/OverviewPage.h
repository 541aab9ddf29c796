#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/host/track/Track.h"

// index.html of a run's output folder: the training history of every
// exercise converted, in charts and tables, each exercise linking its chart
// and its other files. Plain HTML without script or anything from the
// network, so that it opens from a folder or a USB stick; written to be
// read as XML too.

struct OverviewExercise {
    std::string name;    // the exercise's own, else its file's
    std::string source;  // the raw file, with the archive's exercise or entry
    std::string sport;
    std::optional<int64_t> start;  // seconds since 1970-01-01 UTC; nullopt when not dated
    std::string startText;         // on the file's wall clock
    std::optional<double> duration;  // seconds; nullopt without recording interval
    std::optional<double> distance;  // metres
    std::optional<int> averageHeartRate;  // bpm, of the samples
    std::optional<int> energy;            // kcal
    std::optional<double> ascent;         // metres
    std::optional<int> maximumHeartRate;  // bpm, of the samples
    // Seconds of heart rate in zones 1 to 5, in order; empty without heart rate.
    std::vector<double> zoneSeconds;
    std::string zoneSource;       // how the zones were bounded, for the page
    std::optional<double> load;   // heart-rate training load (TRIMP); nullopt without heart rate
    // Names the raw file and exercise it came from, stable across runs: a
    // later conversion of the same raw file replaces the entry.
    std::string key;
    // The converted files, relative to the page with '/' between folders,
    // as the bytes of their names on disk; the chart (.svg) among them.
    std::vector<std::string> files;
    std::string folder;  // theirs, as text ("2012/alice/"); empty for the page's own
};

// The page: training volume per sport by year and by week of the newest
// year, time in the heart-rate zones, fitness, fatigue and form
// (TrainingLoad.h), each sport's records, and the exercises newest first
// by year, those without a date last in the order given.
void writeOverviewPage(std::vector<OverviewExercise> exercises, std::ostream& out);
