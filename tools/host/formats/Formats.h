#pragma once

#include <ostream>

#include "tools/host/track/Track.h"

// The exchange formats other training software imports, each written while the samples are read, so that
// memory stays flat whatever the sample count.

// Training Center Database v2: one Activity, a Lap per lap with its
// Trackpoints; speed and power in the ActivityExtension v2.
void writeTcx(const Track& track, std::ostream& out);

// GPX 1.1: one track of the samples that have a position, heart rate,
// cadence and temperature in Garmin's TrackPointExtension v1.
void writeGpx(const Track& track, std::ostream& out);

// FIT activity file: file_id, timer events, a record per sample, laps,
// session and activity, with header and file CRC.
void writeFit(const Track& track, std::ostream& out);
