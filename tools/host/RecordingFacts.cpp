#include "RecordingFacts.h"

#include <charconv>
#include <cstdlib>

#include "tools/host/CivilTime.h"

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
    return hours * 3600 + minutes * 60 + seconds;
}

// "yyyymmdd" as the day count since 1970-01-01; false when it is no date.
bool dateDays(std::string_view text, int64_t& days) {
    if (text.size() < 8) return false;
    const int32_t year = integer(text.substr(0, 4));
    const int32_t month = integer(text.substr(4, 2));
    const int32_t day = integer(text.substr(6, 2));
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31) return false;
    days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    return true;
}

bool flag(std::string_view text, size_t position) { return text.size() > position && text[position] == '1'; }

}  // namespace

RecordingFacts readRecordingFacts(std::string_view header) {
    RecordingFacts facts;
    std::string_view smode, mode;
    int64_t days = 0;
    bool dated = false;
    int32_t startOfDay = -1;
    while (!header.empty()) {
        const size_t end = header.find_first_of("\r\n");
        std::string_view line = header.substr(0, end);
        header.remove_prefix(end == std::string_view::npos ? header.size() : end + 1);
        if (line.rfind("[HRData]", 0) == 0) break;
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
            dated = dateDays(text, days);
        else if (value("StartTime=", text))
            startOfDay = clockSeconds(text);
        else if (value("Length=", text))
            facts.length = clockSeconds(text);
        else if (value("Interval=", text))
            facts.interval = integer(text);
    }
    if (dated && startOfDay >= 0) facts.start = days * 86400 + startOfDay;
    if (facts.version >= 106) {
        facts.speed = flag(smode, 0);
        facts.cadence = flag(smode, 1);
        facts.altitude = flag(smode, 2);
        facts.power = flag(smode, 3);
        facts.usUnits = flag(smode, 7);
        facts.cyclingData = flag(smode, 6);
        return facts;
    }
    facts.cadence = facts.power = false;
    if (mode.empty()) {
        facts.usUnits = flag(smode, 7);
        facts.cyclingData = flag(smode, 6);
    } else {
        facts.altitude = flag(mode, 0);
        facts.speed = facts.cyclingData = flag(mode, 1);
        facts.usUnits = flag(mode, 2);
    }
    return facts;
}

bool describesExercise(const RecordingFacts& facts, const ExerciseSummary& summary) {
    // The records keep the interval and the monitor in their low 8 bits.
    return std::llabs(facts.start - wallClockSeconds(summary.StartDateTime)) <= 1 &&
           facts.length == summary.DurationSec && (facts.interval & 0xFF) == summary.IntervalSec &&
           (facts.monitor & 0xFF) == summary.MonitorType;
}
