#pragma once

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Facts of the Polar .hrm text format that every reader of it shares: the
// plug-in's analysis and the converter's own readers.
namespace hrm {

// Section lines.
inline constexpr std::string_view kNoteSection = "[Note]";
inline constexpr std::string_view kIntTimesSection = "[IntTimes]";
inline constexpr std::string_view kTripSection = "[Trip]";
// Rows "lap<TAB>kind<TAB>name", a lap's number counted from 1.
inline constexpr std::string_view kLapNamesSection = "[LapNames]";
inline constexpr std::string_view kHRDataSection = "[HRData]";  // the sample rows follow it

// The "Interval=" value that marks an R-R recording: its rows are the
// milliseconds between heart beats, not samples at a recording interval.
inline constexpr int32_t kRRRecordingInterval = 238;

// From this version on, "SMode=" says which columns the sample rows hold and
// laps carry power and temperature; before it rows hold heart rate, speed and
// altitude, and "Mode=" says which of them were recorded.
inline constexpr int32_t kSModeVersion = 106;

// 1-based character positions of "SMode=": '1' marks a recorded quantity or
// a setting.
namespace smode {
inline constexpr size_t kSpeed = 1;
inline constexpr size_t kCadence = 2;
inline constexpr size_t kAltitude = 3;
inline constexpr size_t kPower = 4;
inline constexpr size_t kPowerBalance = 5;
inline constexpr size_t kPedallingIndex = 6;
inline constexpr size_t kCyclingData = 7;  // "HR + cycling data": set whenever more than heart rate was recorded, runs too
inline constexpr size_t kUsUnits = 8;      // miles, feet, mph and degrees Fahrenheit
inline constexpr size_t kAirPressure = 9;
}  // namespace smode

// 1-based character positions of "Mode=" before version 106.
namespace mode {
inline constexpr size_t kAltitude = 1;
inline constexpr size_t kCyclingData = 2;
inline constexpr size_t kUsUnits = 3;
}  // namespace mode

// True when character `position` (1-based) of a mode text is '1'.
inline bool modeFlag(std::string_view mode, size_t position) {
    return mode.size() >= position && mode[position - 1] == '1';
}

}  // namespace hrm

// The part of the name from its last '.' after the last path separator
// ('\', '/' or ':'); empty when there is none.
inline std::string FileExtension(const std::string& fileName) {
    const size_t dot = fileName.find_last_of('.');
    const size_t separator = fileName.find_last_of("\\/:");
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return {};
    return fileName.substr(dot);
}

// The one rule that tells the raw file kinds apart: a name whose extension,
// lowercased, is ".hrm" is a single exercise; any other name an archive.
inline bool IsHrmFile(const std::string& fileName) {
    std::string extension = FileExtension(fileName);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".hrm";
}
