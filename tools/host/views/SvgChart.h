#pragma once

#include <ostream>

#include "tools/host/track/Track.h"

// SVG chart for people, written while the samples are read: a panel per
// series the track records over time, laps marked and labelled, the route
// where there are positions and a table of the laps.
void writeSvg(const Track& track, std::ostream& out);
