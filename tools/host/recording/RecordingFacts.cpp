#include "tools/host/recording/RecordingFacts.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>

#include "model/HrmFormat.h"
#include "tools/host/time/CivilTime.h"

namespace {

int32_t integer(std::string_view text, int32_t fallback = -1) {
    int32_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc{} ? value : fallback;
}

// "h:mm:ss.t" (any number of hour digits) as whole seconds; -1 when it is not one.
int32_t clockSeconds(std::string_view text) {
    const size_t first = text.find(':');
    const size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
    if (second == std::string_view::npos) return -1;
    const int32_t hours = integer(text.substr(0, first));
    const int32_t minutes = integer(text.substr(first + 1, second - first - 1));
    const int32_t seconds = integer(text.substr(second + 1, 2));
    if (hours < 0 || minutes < 0 || seconds < 0) return -1;
    // A damaged file's hour count can pass what seconds in 32 bits hold: no time then.
    const int64_t total = int64_t{hours} * 3600 + int64_t{minutes} * 60 + seconds;
    return total <= INT32_MAX ? static_cast<int32_t>(total) : -1;
}

// More laps than a monitor records; a number beyond is no lap's.
constexpr int32_t kMaxLapNames = 1000;

// "3<TAB>0<TAB>Race      " names lap 3.
void readLapName(std::string_view row, std::vector<std::string>& names) {
    const size_t first = row.find('\t');
    const size_t second = first == std::string_view::npos ? first : row.find('\t', first + 1);
    const int32_t lap = integer(row.substr(0, first));
    if (second == std::string_view::npos || lap < 1 || lap > kMaxLapNames) return;
    std::string_view name = row.substr(second + 1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    if (names.size() < static_cast<size_t>(lap)) names.resize(static_cast<size_t>(lap));
    names[static_cast<size_t>(lap) - 1] = std::string(name);
}

// The 32-bit FNV-1a hash.
constexpr uint32_t kFnvBasis = 2166136261u, kFnvPrime = 16777619u;

void hashInto(uint32_t& hash, std::string_view bytes) {
    for (const char c : bytes) hash = (hash ^ static_cast<uint8_t>(c)) * kFnvPrime;
}

struct MonitorModel {
    int32_t code;
    std::string_view model;
};

constexpr MonitorModel kMonitorModels[] = {
    {1, "Sport Tester/Vantage XL"}, {2, "Vantage NV"}, {3, "Accurex Plus"}, {4, "XTrainer Plus"},
    {6, "S520"}, {7, "Coach"}, {8, "S210"}, {9, "S410"}, {10, "S510"}, {11, "S610/S610i"},
    {12, "S710/S710i/S720i"}, {13, "S810/S810i"}, {15, "E600"}, {20, "AXN500"}, {21, "AXN700"},
    {22, "S625X/S725X"}, {23, "S725"}, {33, "CS400"}, {34, "CS600X"}, {35, "CS600"}, {36, "RS400"},
    {37, "RS800"}, {38, "RS800X"},
};

// A person's heart rate as a header gives it; 0 and other values no heart
// beats at are what a monitor writes when it was never set.
std::optional<int32_t> heartRate(int32_t bpm) {
    if (bpm < kLowestHeartRate || bpm > kHighestHeartRate) return std::nullopt;
    return bpm;
}

}  // namespace

std::string_view monitorModel(int32_t code) {
    for (const MonitorModel& known : kMonitorModels)
        if (known.code == code) return known.model;
    return {};
}

RecordingFacts readRecordingFacts(std::string_view header) {
    RecordingFacts facts;
    std::string_view smode, mode;
    std::optional<int64_t> days;
    bool lapNames = false;
    uint32_t hash = kFnvBasis;
    while (!header.empty()) {
        const size_t end = header.find_first_of("\r\n");
        std::string_view line = header.substr(0, end);
        // A CR LF pair ends one line, not two.
        const bool pair = end != std::string_view::npos && header[end] == '\r' && end + 1 < header.size() &&
                          header[end + 1] == '\n';
        header.remove_prefix(end == std::string_view::npos ? header.size() : end + 1 + pair);
        if (line.rfind(hrm::kHRDataSection, 0) == 0) break;
        hashInto(hash, line);
        hashInto(hash, "\n");
        if (line.rfind('[', 0) == 0) {
            lapNames = line.rfind(hrm::kLapNamesSection, 0) == 0;
            continue;
        }
        if (lapNames) {
            readLapName(line, facts.lapNames);
            continue;
        }
        const auto value = [&](std::string_view key, std::string_view& out) {
            if (line.rfind(key, 0) != 0) return false;
            out = line.substr(key.size());
            return true;
        };
        std::string_view text;
        if (value("Version=", text))
            facts.version = integer(text, 0);
        else if (value("Monitor=", text))
            facts.monitor = integer(text);
        else if (value("SMode=", text))
            smode = text;
        else if (value("Mode=", text))
            mode = text;
        else if (value("Date=", text))
            days = unixDays(text);
        else if (value("StartTime=", text))
            facts.startOfDay = clockSeconds(text);
        else if (value("Length=", text))
            facts.length = clockSeconds(text);
        else if (value("Interval=", text))
            facts.interval = integer(text);
        else if (value("MaxHR=", text))
            facts.maximumHeartRate = heartRate(integer(text, 0));
    }
    facts.headerHash = hash == 0 ? 1 : hash;
    if (days && facts.startOfDay >= 0) facts.start = *days * 86400 + facts.startOfDay;
    using hrm::modeFlag;
    if (facts.version >= hrm::kSModeVersion) {
        facts.speed = modeFlag(smode, hrm::smode::kSpeed);
        facts.cadence = modeFlag(smode, hrm::smode::kCadence);
        facts.altitude = modeFlag(smode, hrm::smode::kAltitude);
        facts.power = modeFlag(smode, hrm::smode::kPower);
        facts.balance = facts.power && modeFlag(smode, hrm::smode::kPowerBalance);
        facts.usUnits = modeFlag(smode, hrm::smode::kUsUnits);
        // Heart rate, then a column per quantity; balance and pedalling index share one.
        facts.rowColumns = 1 + facts.speed + facts.cadence + facts.altitude + facts.power +
                           (modeFlag(smode, hrm::smode::kPowerBalance) || modeFlag(smode, hrm::smode::kPedallingIndex)) +
                           modeFlag(smode, hrm::smode::kAirPressure);
        return facts;
    }
    facts.cadence = facts.power = false;
    if (mode.empty()) {
        facts.usUnits = modeFlag(smode, hrm::smode::kUsUnits);
    } else {
        facts.altitude = modeFlag(mode, hrm::mode::kAltitude);
        facts.speed = modeFlag(mode, hrm::mode::kCyclingData);
        facts.usUnits = modeFlag(mode, hrm::mode::kUsUnits);
    }
    return facts;
}

void readLastRow(std::string_view tail, RecordingFacts& facts) {
    if (tail.empty() || facts.rowColumns < 0 || tail.back() == '\n' || tail.back() == '\r') return;
    const size_t lineStart = tail.find_last_of("\r\n");
    const std::string_view row = lineStart == std::string_view::npos ? tail : tail.substr(lineStart + 1);
    facts.lastRowColumns = 1 + static_cast<int32_t>(std::count(row.begin(), row.end(), '\t'));
    facts.lastRowCutOff = facts.lastRowColumns < facts.rowColumns;
}

bool describesExercise(const RecordingFacts& facts, const ExerciseSummary& summary) {
    // The records keep the interval and the monitor in their low 8 bits.
    // Without a date the plug-in counts the start time from 1899-12-30.
    const int64_t start =
        facts.start >= 0 ? facts.start : facts.startOfDay >= 0 ? facts.startOfDay - kUnixEpochDay * 86400 : -1;
    return std::llabs(start - wallClockSeconds(summary.StartDateTime)) <= 1 &&
           facts.length == summary.DurationSec && (facts.interval & 0xFF) == summary.IntervalSec &&
           (facts.monitor & 0xFF) == summary.MonitorType;
}
