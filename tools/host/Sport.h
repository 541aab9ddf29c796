#pragma once

#include <optional>
#include <string>

#include "tools/host/RecordingFacts.h"

// The sport the converted files and the reports give an exercise.
enum class Sport { Running, Cycling, Other };

// From what the recording tells: power, or the cycling-data flag (SMode
// character 7, "Mode=" character 2), is a ride; from version 106, speed
// without either (a foot pod or GPS) is a run; anything else is not known,
// Other. `chosen` (--sport) overrides it; without facts the sport is Other.
Sport sportFor(const std::optional<RecordingFacts>& facts, std::optional<Sport> chosen = std::nullopt);

// "running", "cycling", "other": the names of --sport and the reports.
const char* sportName(Sport sport);
// The sport of such a name; nullopt for any other text.
std::optional<Sport> parseSport(const std::string& name);
