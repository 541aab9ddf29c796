#include "tools/host/views/ExerciseText.h"

#include <cctype>
#include <cstdio>

#include "tools/host/time/CivilTime.h"
#include "tools/host/views/ChartScale.h"

namespace {

constexpr const char* kWeekdays[] = {"Thu", "Fri", "Sat", "Sun", "Mon", "Tue", "Wed"};  // from 1970-01-01

int64_t wallClock(const Track& track) { return track.startTime() + track.origin().utcOffset; }

}  // namespace

std::string fileTitle(const Track& track) { return track.origin().rawFile + exerciseLabel(track.origin()); }

std::string exerciseTitle(const Track& track) { return track.name().empty() ? fileTitle(track) : track.name(); }

std::string sportTitle(Sport sport) {
    if (sport == Sport::Other) return "Other sport";
    std::string name = sportName(sport);
    for (char& c : name)
        if (c == '_') c = ' ';
    name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name;
}

std::optional<std::string> startText(const Track& track) {
    if (!track.dated()) return std::nullopt;
    const int64_t seconds = wallClock(track);
    const CivilDateTime t = civilFromSeconds(seconds);
    const int64_t days = (seconds >= 0 ? seconds : seconds - 86399) / 86400;
    char text[64];
    std::snprintf(text, sizeof text, "%s %04d-%02d-%02d %02d:%02d", kWeekdays[(days % 7 + 7) % 7], t.year, t.month,
                  t.day, t.hour, t.minute);
    return text;
}

std::string startClockText(const Track& track) {
    const CivilDateTime t = civilFromSeconds(wallClock(track));
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", t.hour, t.minute);
    return text;
}

std::string kilometresText(double metres) { return fixedText(metres / 1000, 2) + " km"; }
