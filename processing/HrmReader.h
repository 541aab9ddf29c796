#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "model/PluginState.h"

// Reading of the Polar .hrm text format: everything in a file that is not a
// sample row.

// A file that ends where the format needs more lines.
class HrmFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One lap's raw values from the interval-time section. One record serves
// every lap of a load, so a value a lap does not set keeps the previous one.
struct LapInput {
    double split = 0;  // lap end, seconds since the start, tenths included
    uint16_t hrMaximum = 0;
    uint16_t hrAverage = 0;
    uint16_t speed = 0;  // tenths of km/h
    uint8_t cadence = 0;
    uint16_t altitude = 0;
    int32_t ascent = 0;
    double power = 0;        // files of version 106 and later only
    double temperature = 0;  // tenths of a degree, likewise
};

// Views into the row being split, which outlives them.
using ColumnSlots = std::array<std::string_view, 20>;

// Per-load reading state, written by the header lines and read by the
// sample decoding.
struct ReadingState {
    int32_t version = 0;
    uint8_t altitudeFactor = 1;  // 10 for files before version 103
    uint8_t monitor = 0;
    std::string smodeText;
    uint8_t smodeMask = 0;  // bits: speed, cadence, altitude, power, balance, extended (chars 6 and 9)
    uint8_t fileMaxHR = 0;
    int32_t startDelay = 0;
    int32_t interval = 0;  // "Interval=" as written, before the summary keeps its low 8 bits
    // Files without a start time before their laps count laps from midnight.
    int32_t startSecondOfDay = 0;
    double previousSplit = 0;
    bool sampleMode = false;
    LapInput lapInput;
    ColumnSlots columns;
};

// Everything a pass over one file works on.
struct LoadContext {
    const std::vector<std::string_view>& lines;
    TPluginState& plugin;
    ReadingState reading;
};

// Splits `line` at the first `count` (at most 19) TABs into slots 0 to
// count - 1, the rest into slot `count`. A missing TAB leaves its slot empty
// and the remaining text where it is; every other slot is emptied.
void SplitColumns(int count, std::string_view line, ColumnSlots& columns);

// Interprets line `lineNumber` of the file (keys, note, laps, trip values,
// the start of the samples). Throws fw::ConvertError for a header value that
// is not a number and HrmFormatError for a file that ends in the middle of a
// note or a lap, which ends the load.
void HeaderLine(LoadContext& context, size_t lineNumber);
