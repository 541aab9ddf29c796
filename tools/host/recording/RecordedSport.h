#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "tools/host/recording/Companions.h"
#include "tools/host/recording/RecordingFacts.h"
#include "tools/host/track/Sport.h"

// The sports a day diary's sport numbers stand for. The numbers index the
// person's own list of sports in the monitor's software; the list most
// people keep starts 1 running, 2 cycling, 3 swimming.
class SportMap {
public:
    SportMap();  // the common list
    // "1=running,2=cycling,7=rowing": the given numbers replace the common
    // list's; false with `error` set for text of another shape.
    bool parse(std::string_view text, std::string& error);
    std::optional<Sport> find(int32_t number) const;
    // True for a number parse() was given.
    bool given(int32_t number) const { return given_.count(number) != 0; }

private:
    std::map<int32_t, Sport> sports_;
    std::set<int32_t> given_;
};

// How a run decides the sport: `chosen` (--sport) for every exercise; else
// the diary's sport: by the map where --sport-map named the number, else by
// the person file's name for it (FIT's sport the name clearly is, else
// generic), else by the map; else what the recording tells.
struct SportRule {
    SportMap map;
    std::optional<Sport> chosen;
};

// What the recording tells: power, or the cycling-data flag (SMode
// character 7, "Mode=" character 2), is a ride; from version 106, speed
// without either (a foot pod or GPS) is a run; anything else is not known,
// Other. Without facts the sport is Other.
Sport recordedSport(const std::optional<RecordingFacts>& facts);

Sport sportFor(const std::optional<RecordingFacts>& facts, std::optional<int32_t> diarySport, const SportRule& rule);
// The same with the sport of the exercise's diary entry, where it has one,
// and the person file's name for it.
Sport sportFor(const std::optional<RecordingFacts>& facts, const std::optional<DiaryLink>& diary,
               const SportRule& rule);
