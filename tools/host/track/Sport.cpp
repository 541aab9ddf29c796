#include "tools/host/track/Sport.h"

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
