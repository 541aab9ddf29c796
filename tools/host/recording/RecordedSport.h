#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "model/HostRecords.h"
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

// The exercise's samples as the plug-in hands them over (speed in the
// file's units), read only where the recording's sport needs them.
struct RecordedSamples {
    int32_t count = 0;
    std::function<SampleRecord(int32_t)> at;
};

// What the recording tells, on evidence that holds on real files. The
// "cycling data" flag of SMode (character 7, "Mode=" character 2) tells
// nothing: monitors set it for runs, walks and ski descents too, whenever
// more than heart rate was recorded. So:
//   - power recorded: a ride (a power meter sits on a bike);
//   - speed recorded by a cycle computer (monitor codes 33 to 35): a ride;
//   - speed recorded, from the samples that move (1 km/h or more, at least
//     a fifth of them and ten samples): a median of 20 km/h or more, or of
//     10 km/h or more with the cadence 0 in at least 5 % of them (coasting,
//     which a foot pod never shows), is a ride; a median of 6.5 to 14.5 km/h
//     with 90 % of them at 17 km/h or less is a run; 2 to 6.5 km/h with 90 %
//     at 8 km/h or less is a walk;
//   - anything else (heart rate only, altitude alone, an R-R recording,
//     speeds between those bands, too little movement): not known, Other.
// Without facts the sport is Other.
Sport recordedSport(const std::optional<RecordingFacts>& facts, const RecordedSamples& samples);

// The sport decided, and whether the recording had to tell it (neither
// --sport nor a diary number the map knows).
struct SportChoice {
    Sport sport = Sport::Other;
    bool fromRecording = true;
};

SportChoice chooseSport(const std::optional<RecordingFacts>& facts, std::optional<int32_t> diarySport,
                        const SportRule& rule, const RecordedSamples& samples);
// The same with the sport of the exercise's diary entry, where it has one,
// and the person file's name for it.
SportChoice chooseSport(const std::optional<RecordingFacts>& facts, const std::optional<DiaryLink>& diary,
                        const SportRule& rule, const RecordedSamples& samples);
