#include "HrmReader.h"

#include <cstdio>
#include <iterator>

#include "framework/Convert.h"
#include "framework/Locale.h"
#include "model/HrmFormat.h"
#include "processing/Laps.h"

namespace {

constexpr size_t kMaxNoteLines = 250;
constexpr int kMaxLaps = 201;
// LapCount is 16 bits; a file that repeats its lap section cannot make more.
constexpr int32_t kMaxLapsPerLoad = 65535;

std::string_view lineAt(const LoadContext& context, size_t number) {
    if (number >= context.lines.size()) throw HrmFormatError("the file ends too early");
    return context.lines[number];
}

void addDebugLine(LoadContext& context, const char* format, std::string_view value) {
    if (!context.plugin.Settings.Debug) return;
    std::string line(format);
    line.replace(line.find("%s"), 2, value);
    context.plugin.DebugLog.push_back(line);
}

void addDebugLine(LoadContext& context, const char* format, int value) {
    addDebugLine(context, format, std::to_string(value));
}

// Position (1-based) of the first ':' in `text`, 0 when there is none.
int colonPosition(std::string_view text) {
    const size_t colon = text.find(':');
    return colon == std::string_view::npos ? 0 : static_cast<int>(colon) + 1;
}

struct Hms {
    int32_t hours, minutes, seconds;
};

// Hours, minutes and seconds of a value that starts at 1-based position
// `start` of `line`, by where its first colon stands; false for any other
// colon position.
bool readHms(std::string_view line, int start, Hms& hms) {
    const int colon = colonPosition(line.substr(std::min<size_t>(line.size(), start - 1)));
    if (colon < 2 || colon > 4) return false;
    const int hourDigits = colon - 1;
    hms.hours = fw::strToInt(fw::midText(line, start, hourDigits));
    hms.minutes = fw::strToInt(fw::midText(line, start + hourDigits + 1, 2));
    hms.seconds = fw::strToInt(fw::midText(line, start + hourDigits + 4, 2));
    return true;
}

void readDate(LoadContext& context, std::string_view line) {
    const int year = fw::strToInt(fw::midText(line, 6, 4));
    const int month = fw::strToInt(fw::midText(line, 10, 2));
    const int day = fw::strToInt(line.size() >= 2 ? line.substr(line.size() - 2) : line);
    context.plugin.Summary.StartDateTime = fw::encodeDate(year, month, day);
}

void readStartTime(LoadContext& context, std::string_view line) {
    ExerciseSummary& summary = context.plugin.Summary;
    Hms hms;
    if (readHms(line, 11, hms)) summary.StartDateTime += fw::encodeTime(hms.hours, hms.minutes, hms.seconds, 0);
    context.reading.startSecondOfDay = fw::secondsOfDay(summary.StartDateTime);
    addDebugLine(context, "Date: %s", fw::formatDateTime(summary.StartDateTime));
}

void readLength(LoadContext& context, std::string_view line) {
    Hms hms;
    if (readHms(line, 8, hms)) context.plugin.Summary.DurationSec = hms.hours * 3600 + hms.minutes * 60 + hms.seconds;
}

void readSMode(LoadContext& context, std::string_view text) {
    if (text.empty()) throw HrmFormatError("SMode without a value");
    ReadingState& reading = context.reading;
    reading.smodeText = text;
    // Characters 1 to 6 and 9 mark the quantities; 7 and 8 are units and unused.
    using namespace hrm::smode;
    static constexpr size_t marks[] = {kSpeed, kCadence, kAltitude, kPower, kPowerBalance, kPedallingIndex, kAirPressure};
    for (size_t bit = 0; bit < std::size(marks); ++bit)
        if (hrm::modeFlag(text, marks[bit])) reading.smodeMask = static_cast<uint8_t>(reading.smodeMask | (1u << bit));
    addDebugLine(context, "SMode: %s", text);
}

void readNote(LoadContext& context, size_t n) {
    std::string& note = context.plugin.ExerciseNote;
    note = lineAt(context, n + 1);
    if (note.empty()) return;
    for (size_t k = n + 2; k <= n + kMaxNoteLines; ++k) {
        const std::string_view line = lineAt(context, k);
        if (line.empty()) break;
        note += "\r\n";
        note += line;
    }
}

// The lap time "h:mm:ss.t" with 1 to 3 hour digits; false for another shape.
bool readSplit(std::string_view time, double& split) {
    const int colon = colonPosition(time);
    if (colon < 2 || colon > 4) return false;
    const int32_t hours = fw::strToInt(time.substr(0, static_cast<size_t>(colon - 1)));
    const int32_t minutes = fw::strToInt(fw::midText(time, colon + 1, 2));
    const int32_t seconds = fw::strToInt(fw::midText(time, colon + 4, 2));
    const int32_t tenths = fw::strToInt(time.empty() ? time : time.substr(time.size() - 1));
    split = hours * 3600.0 + minutes * 60.0 + seconds + tenths / 10.0;
    return true;
}

void readIntTimes(LoadContext& context, size_t n) {
    ReadingState& reading = context.reading;
    LapInput& lap = reading.lapInput;
    ColumnSlots& columns = reading.columns;
    const bool extended = reading.version >= hrm::kSModeVersion;
    size_t k = n + 1;
    for (int laps = 0; laps < kMaxLaps && context.plugin.LapList.Count() < kMaxLapsPerLoad; ++laps) {
        const std::string_view row1 = lineAt(context, k);
        if (row1.empty()) break;
        SplitColumns(4, row1, columns);
        readSplit(columns[0], lap.split);
        lap.hrAverage = static_cast<uint16_t>(fw::strToInt(columns[3]));
        lap.hrMaximum = static_cast<uint16_t>(fw::strToInt(columns[4]));
        SplitColumns(5, lineAt(context, k + 1), columns);
        lap.speed = static_cast<uint16_t>(fw::strToInt(columns[3]));
        lap.cadence = static_cast<uint8_t>(fw::strToInt(columns[4]));
        lap.altitude = static_cast<uint16_t>(fw::strToInt(columns[5]));
        SplitColumns(4, lineAt(context, k + 2), columns);
        lap.ascent = fw::strToInt(columns[3]);
        if (extended) {
            SplitColumns(5, lineAt(context, k + 3), columns);
            lap.power = fw::strToFloat(columns[2], fw::decimalSeparator());
            lap.temperature = fw::strToFloat(columns[3], fw::decimalSeparator());
        }
        BuildLap(context.plugin, lap, reading.startSecondOfDay, reading.previousSplit);
        k += extended ? 5 : 3;
    }
}

// Trip values by line position; the first one missing or unreadable ends
// them, keeping those read before.
void readTrip(LoadContext& context, size_t n) {
    ExerciseSummary& summary = context.plugin.Summary;
    const int32_t factor = context.reading.altitudeFactor;
    try {
        summary.TotalDistance = fw::strToFloat(lineAt(context, n + 1), fw::decimalSeparator());
        summary.TripAscent = static_cast<int32_t>(static_cast<uint32_t>(fw::strToInt(lineAt(context, n + 2))) *
                                                  static_cast<uint32_t>(factor));
        summary.TripMaxAltitude = static_cast<double>(fw::strToInt(lineAt(context, n + 5))) * factor;
        summary.TripAvgSpeed = fw::strToInt(lineAt(context, n + 6));
        summary.TripMaxSpeed = fw::strToInt(lineAt(context, n + 7));
    } catch (const fw::ConvertError&) {
    } catch (const HrmFormatError&) {
    }
}

}  // namespace

void SplitColumns(int count, std::string_view line, ColumnSlots& columns) {
    columns.fill({});
    // Columns are a few characters long: a plain scan beats a search call per column.
    const size_t last = static_cast<size_t>(count);
    size_t slot = 0, start = 0;
    for (size_t k = 0; k < line.size() && slot < last; ++k) {
        if (line[k] != '\t') continue;
        columns[slot++] = line.substr(start, k - start);
        start = k + 1;
    }
    columns[last] = line.substr(start);
}

void HeaderLine(LoadContext& context, size_t lineNumber) {
    const std::string_view line = lineAt(context, lineNumber);
    ReadingState& reading = context.reading;
    ExerciseSummary& summary = context.plugin.Summary;
    // The key literals in the order they are tested; the first one the line
    // contains anywhere wins, and its value starts after as many characters.
    enum Key { Version, Monitor, SMode, Mode, Date, StartTime, Length, Interval, MaxHR, VO2max, StartDelay,
               Note, IntTimes, Trip, HRData, None };
    static constexpr std::string_view keys[] = {"Version=", "Monitor=", "SMode=",  "Mode=",      "Date=",
                                                "StartTime=", "Length=", "Interval=", "MaxHR=", "VO2max=",
                                                "StartDelay=", hrm::kNoteSection, hrm::kIntTimesSection, hrm::kTripSection,
                                                hrm::kHRDataSection};
    int key = None;
    for (int k = 0; k < None; ++k)
        if (line.find(keys[k]) != std::string::npos) {
            key = k;
            break;
        }
    if (key == None) return;
    const std::string_view value = line.size() > keys[key].size() ? line.substr(keys[key].size()) : std::string_view();
    switch (key) {
        case Version:
            reading.version = fw::strToInt(value);
            if (reading.version < 103) reading.altitudeFactor = 10;
            addDebugLine(context, "Version: %s", value);
            break;
        case Monitor:
            reading.monitor = static_cast<uint8_t>(fw::strToInt(value));
            summary.MonitorType = reading.monitor;
            addDebugLine(context, "Monitor: %s", reading.monitor);
            break;
        case SMode: readSMode(context, value); break;
        case Mode: reading.smodeText = value; break;
        case Date: readDate(context, line); break;
        case StartTime: readStartTime(context, line); break;
        case Length: readLength(context, line); break;
        case Interval:
            reading.interval = fw::strToInt(value);
            summary.IntervalSec = static_cast<uint8_t>(reading.interval);
            break;
        case MaxHR:
            reading.fileMaxHR = static_cast<uint8_t>(fw::strToInt(value));
            if (context.plugin.Settings.HRMaxDev) summary.MaxHR = reading.fileMaxHR;
            addDebugLine(context, "MaxHR: %s", reading.fileMaxHR);
            break;
        case VO2max: {
            int32_t vo2max = 0;
            summary.VO2max = fw::tryStrToInt(value, vo2max) ? static_cast<uint8_t>(vo2max) : 0;
            addDebugLine(context, "VO2max: %s", summary.VO2max);
            break;
        }
        case StartDelay: reading.startDelay = fw::strToInt(value); break;
        case Note: readNote(context, lineNumber); break;
        case IntTimes: readIntTimes(context, lineNumber); break;
        case Trip: readTrip(context, lineNumber); break;
        case HRData: reading.sampleMode = true; break;
    }
}
