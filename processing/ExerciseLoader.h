#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "model/PluginState.h"

// One pass over the lines of an .hrm file: header lines to the reader,
// sample rows decoded into the container; an R-R recording stores none.
// Zeroes the summary and empties the
// note first. Returns the number of samples stored; an error in a header
// value propagates and ends the load.
int32_t LoadExercise(TPluginState& plugin, const std::vector<std::string_view>& lines);
