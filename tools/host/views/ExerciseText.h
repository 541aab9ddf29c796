#pragma once

#include <optional>
#include <string>

#include "tools/host/track/Track.h"

// How the charts and the overview page tell an exercise.

// The exercise's own name, else its file's ("ride.hrm", "Connect.hrz, exercise 2").
std::string exerciseTitle(const Track& track);
// The file it came from, as exerciseTitle gives it without a name.
std::string fileTitle(const Track& track);
// "Cycling", "Cross country skiing"; "Other sport" for a generic one.
std::string sportTitle(Sport sport);
// The start on the file's wall clock, "Sun 2012-07-22 10:04"; nullopt for
// a track that is not dated.
std::optional<std::string> startText(const Track& track);
// The time of day of the start alone, "10:04", for a track without a date.
std::string startClockText(const Track& track);
// "12.94 km".
std::string kilometresText(double metres);
