// The machine's time zone through the C library, which follows TZ and the
// zone database, daylight saving rules of past years included.
#include <ctime>

#include "tools/host/CivilTime.h"
#include "tools/host/TimeZone.h"

std::optional<int32_t> machineUtcOffset(int64_t wallClock) {
    const CivilDateTime t = civilFromSeconds(wallClock);
    std::tm local{};
    local.tm_year = static_cast<int>(t.date.year - 1900);
    local.tm_mon = static_cast<int>(t.date.month) - 1;
    local.tm_mday = static_cast<int>(t.date.day);
    local.tm_hour = t.hour;
    local.tm_min = t.minute;
    local.tm_sec = t.second;
    local.tm_isdst = -1;  // the zone's rule for that date decides
    const std::time_t utc = std::mktime(&local);
    if (utc == static_cast<std::time_t>(-1)) return std::nullopt;
    // mktime may have moved a time that a clock change skipped; the offset
    // is that of the normalised time.
    const int64_t normalised = daysFromCivil(local.tm_year + 1900LL, static_cast<unsigned>(local.tm_mon + 1),
                                             static_cast<unsigned>(local.tm_mday)) *
                                   86400 +
                               local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    return static_cast<int32_t>(normalised - static_cast<int64_t>(utc));
}
