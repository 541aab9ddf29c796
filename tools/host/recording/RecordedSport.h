#pragma once

#include <optional>

#include "tools/host/recording/RecordingFacts.h"
#include "tools/host/track/Sport.h"

// From what the recording tells: power, or the cycling-data flag (SMode
// character 7, "Mode=" character 2), is a ride; from version 106, speed
// without either (a foot pod or GPS) is a run; anything else is not known,
// Other. `chosen` (--sport) overrides it; without facts the sport is Other.
Sport sportFor(const std::optional<RecordingFacts>& facts, std::optional<Sport> chosen = std::nullopt);
