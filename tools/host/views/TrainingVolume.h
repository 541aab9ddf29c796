#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/host/views/OverviewPage.h"

// The training of a period, per sport and per heart-rate zone: what the
// overview page's bar charts stack and its tables list.

constexpr int kZones = 5;

struct VolumeBin {
    std::string label;            // "2003", or the Monday of a week "2024-05-06"
    std::vector<double> seconds;  // per sport, in the order of the sports given
    std::vector<double> metres;   // per sport
    std::vector<double> zoneSeconds = std::vector<double>(kZones);
    int count = 0;  // exercises
};

// The sports of the exercises, most training time first (then by name), so
// that the largest part of every stack sits at its bottom.
std::vector<std::string> sportsByTime(const std::vector<OverviewExercise>& exercises);

// One bin per year from the first dated exercise's year to the last one's,
// empty years included so that a gap shows; where the years span more than
// a lifetime (a wrong date), the years with exercises alone.
std::vector<VolumeBin> yearBins(const std::vector<OverviewExercise>& exercises, const std::vector<std::string>& sports);

// One bin per week (Monday to Sunday) of `year`, from the week of its 1 January
// to that of its 31 December.
std::vector<VolumeBin> weekBins(const std::vector<OverviewExercise>& exercises, const std::vector<std::string>& sports,
                                int year);

// The Monday of the week of a day since 1970-01-01.
int64_t mondayOf(int64_t day);
