// The machine's time zone through the C library, which follows TZ and the
// zone database, daylight saving rules of past years included.
#include <ctime>

#include "tools/host/time/CivilTime.h"
#include "tools/host/time/TimeZone.h"

std::optional<int32_t> machineUtcOffset(int64_t wallClock) {
    const CivilDateTime t = civilFromSeconds(wallClock);
    if (t.year == 0) return std::nullopt;
    std::tm local{};
    local.tm_year = t.year - 1900;
    local.tm_mon = t.month - 1;
    local.tm_mday = t.day;
    local.tm_hour = t.hour;
    local.tm_min = t.minute;
    local.tm_sec = t.second;
    local.tm_isdst = -1;  // the zone's rule for that date decides
    const std::time_t utc = std::mktime(&local);
    if (utc == static_cast<std::time_t>(-1)) return std::nullopt;
    // mktime may have moved a time that a clock change skipped; the offset
    // is that of the normalised time.
    const std::optional<int64_t> days = unixDays(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    if (!days) return std::nullopt;
    const int64_t normalised = *days * 86400 + local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    return static_cast<int32_t>(normalised - static_cast<int64_t>(utc));
}
