#pragma once

#include <cstdint>

#include "model/PluginState.h"
#include "processing/HrmReader.h"

// Laps from the interval times, and the lap temperatures spread over the samples.

// Builds one lap record from `input`, appends it to the lap list, counts it
// in the summary and makes its split the previous split.
void BuildLap(TPluginState& plugin, const LapInput& input, int32_t startSecondOfDay, double& previousSplit);

// Interpolates the lap temperatures linearly over the samples' Temperature
// series. Throws std::domain_error where a segment step would divide by zero
// (the values written up to there stay).
void ModulateTemperature(TPluginState& plugin);
