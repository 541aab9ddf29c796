#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Convert.h"
#include "model/PluginState.h"

// The analysis behind AnalyseExercise: a single .hrm file, or one exercise
// of an archive extracted once into the work directory.

// Analyses exercise `exerciseIndex` of the raw file (the index is ignored
// for an .hrm file) and returns the number of samples the container then
// holds. Shows the debug log when the Debug setting collected one. An index
// outside the archive's exercises returns 0 and keeps the last exercise.
int32_t AnalyseRawFile(TPluginState& plugin, const std::string& fileName, int32_t exerciseIndex);

// Reads, loads, modulates, dates and merges one .hrm file; returns the
// number of samples the load stored (0 when it failed). Throws only when the
// file cannot be read.
int32_t RunAnalysis(TPluginState& plugin, const std::string& path);

// Appends the bare names of the entries of `directory` matching `mask`,
// without "." and ".." and plain directories; returns the list's count.
int32_t FindFiles(const std::string& directory, const std::string& mask, std::vector<std::string>& list);

struct SplitTime {
    int32_t hours, minutes, seconds;
};
SplitTime SplitSeconds(int32_t seconds);

// Hours beyond 23 are carried into whole days instead of being refused.
fw::DateTime HmsToDateTime(int32_t hours, int32_t minutes, int32_t seconds, int32_t milliseconds);
