#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/HostRecords.h"

// What an exercise file's header says and the plug-in's records do not
// carry: the unit system and which channels the monitor recorded. The
// plug-in hands values over in the file's units whatever they are, and
// fills channels the file lacks with stand-ins (altitude 10, speed 0).
struct RecordingFacts {
    int32_t version = 0;
    bool usUnits = false;  // miles, feet, mph and degrees Fahrenheit instead of km, m, km/h and degrees Celsius
    bool speed = true;
    bool cadence = true;
    bool altitude = true;
    bool power = true;
    bool balance = false;  // the left/right balance of the power, from version 106
    // What tells one exercise from another: the start's wall clock in
    // seconds since 1970-01-01, the length in seconds (tenths dropped),
    // the interval and the monitor code, each -1 when missing.
    int64_t start = -1;
    int32_t startOfDay = -1;  // StartTime= in seconds, with a date or without
    int32_t length = -1;
    int32_t interval = -1;
    int32_t monitor = -1;
    // A number of the file's own for services that tell files apart by a
    // serial number: the 32-bit FNV-1a hash of the header's lines up to
    // "[HRData]", each line's bytes followed by one LF whatever line ends
    // the file has, never 0. The same on every run.
    uint32_t headerHash = 0;
    // The columns of a sample row by SMode (version 106 on); -1 when not known.
    int32_t rowColumns = -1;
    // The file ends inside its last sample row: no line end after it, and
    // fewer columns than SMode asks (`lastRowColumns`). A file cut off while
    // it was copied ends so; the row's values are not what was recorded.
    bool lastRowCutOff = false;
    int32_t lastRowColumns = 0;
    // The person's maximum heart rate as the monitor was set for the
    // exercise ("MaxHR="); nullopt where it was never set.
    std::optional<int32_t> maximumHeartRate;
    // The names "[LapNames]" gives the laps, in lap order, as the file's
    // bytes, blanks at the end dropped; empty where a lap has none.
    std::vector<std::string> lapNames;
};

// The heart rates a person's setting can hold, in bpm.
inline constexpr int32_t kLowestHeartRate = 30, kHighestHeartRate = 250;

// Reads the keys at the start of the header's lines up to the samples.
// From version 106 the channels and the unit system follow SMode
// (characters 1 to 4: speed, cadence, altitude, power; character 8: US
// units); before it rows hold heart rate, speed and altitude, and the
// three characters of "Mode=" (altitude, cycling data, US units) say
// which of them were recorded.
RecordingFacts readRecordingFacts(std::string_view header);

// The model a "Monitor=" code stands for, as the monitor's software names
// it ("S625X/S725X" where one code serves several); empty for a code not
// known. Codes up to 32 are the S series, above it the RS and CS series.
std::string_view monitorModel(int32_t code);

// Sets lastRowCutOff and lastRowColumns from the last bytes of the file.
void readLastRow(std::string_view tail, RecordingFacts& facts);

// True when the facts are those of the exercise the summary describes.
bool describesExercise(const RecordingFacts& facts, const ExerciseSummary& summary);
