#include "tools/host/time/CivilTime.h"

#include <cmath>
#include <cstdio>

#include "framework/Convert.h"

namespace {

constexpr int64_t kSecondsPerDay = 86400;

}  // namespace

std::optional<int64_t> unixDays(int year, int month, int day) {
    try {
        return static_cast<int64_t>(fw::encodeDate(year, month, day)) - kUnixEpochDay;
    } catch (const fw::ConvertError&) {
        return std::nullopt;
    }
}

std::optional<int64_t> unixDays(std::string_view yyyymmdd) {
    if (yyyymmdd.size() < 8) return std::nullopt;
    int number = 0;
    for (const char c : yyyymmdd.substr(0, 8)) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return unixDays(number / 10000, number / 100 % 100, number % 100);
}

int64_t wallClockSeconds(double dayCount) {
    return std::llround((dayCount - static_cast<double>(kUnixEpochDay)) * 86400.0);
}

CivilDateTime civilFromSeconds(int64_t seconds) {
    const int64_t days = (seconds >= 0 ? seconds : seconds - (kSecondsPerDay - 1)) / kSecondsPerDay;
    const auto second = static_cast<int>(seconds - days * kSecondsPerDay);
    const fw::CalendarDate date = fw::decodeDate(static_cast<double>(days + kUnixEpochDay));
    return CivilDateTime{date.year, date.month, date.day, second / 3600, second / 60 % 60, second % 60};
}

std::string isoDateTime(int64_t seconds, const char* suffix) {
    const CivilDateTime t = civilFromSeconds(seconds);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%s", t.year, t.month, t.day, t.hour, t.minute,
                  t.second, suffix);
    return text;
}

std::string dateTimeText(double dayCount) {
    // Far beyond any calendar an exercise can have.
    if (!std::isfinite(dayCount) || std::fabs(dayCount) > 1e9) return "invalid";
    double days = std::trunc(dayCount);
    int64_t seconds = std::llround(std::fabs(dayCount - days) * 86400.0);
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        days += dayCount < 0 ? -1 : 1;
    }
    const fw::CalendarDate date = fw::decodeDate(days);
    if (date.year == 0) return "invalid";
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", date.year, date.month, date.day,
                  static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return text;
}

std::string durationText(int64_t seconds) {
    const char* sign = seconds < 0 ? "-" : "";
    const uint64_t magnitude = seconds < 0 ? 0 - static_cast<uint64_t>(seconds) : static_cast<uint64_t>(seconds);
    char text[40];
    std::snprintf(text, sizeof text, "%s%llu:%02u:%02u", sign, static_cast<unsigned long long>(magnitude / 3600),
                  static_cast<unsigned>(magnitude / 60 % 60), static_cast<unsigned>(magnitude % 60));
    return text;
}
