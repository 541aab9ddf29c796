#pragma once

#include <cstdint>
#include <string>

#include "framework/Convert.h"
#include "model/PluginState.h"

// Positions of a GPX track recorded alongside, matched to the samples by
// time (or by order when the setting GPSITime ignores the times).

// Reads the file's track points and writes their positions into the
// Latitude and Longitude series. A file that cannot be read or is not
// well-formed XML changes nothing.
void MergeGpxTrack(TPluginState& plugin, const std::string& path);

// "yyyy-mm-ddThh:nn:ss..." as written, zone and fractions ignored; throws
// fw::ConvertError for a date or time out of range; 0 for an empty text.
fw::DateTime ParseGpxTime(const std::string& text);
