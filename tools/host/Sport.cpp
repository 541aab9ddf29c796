#include "Sport.h"

Sport sportFor(const std::optional<RecordingFacts>& facts, std::optional<Sport> chosen) {
    if (chosen) return *chosen;
    if (!facts) return Sport::Other;
    if (facts->power || facts->cyclingData) return Sport::Cycling;
    // Before version 106 speed comes only with cycling data.
    if (facts->speed && facts->version >= 106) return Sport::Running;
    return Sport::Other;
}

const char* sportName(Sport sport) {
    switch (sport) {
        case Sport::Running: return "running";
        case Sport::Cycling: return "cycling";
        case Sport::Other: break;
    }
    return "other";
}

std::optional<Sport> parseSport(const std::string& name) {
    for (const Sport sport : {Sport::Running, Sport::Cycling, Sport::Other})
        if (name == sportName(sport)) return sport;
    return std::nullopt;
}
