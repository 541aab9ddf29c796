// The machine's time zone through the system, with the daylight saving rule
// the zone has for that year.
#include <windows.h>

#include "tools/host/time/CivilTime.h"
#include "tools/host/time/TimeZone.h"

namespace {

constexpr int64_t kFileTimeUnitsPerSecond = 10000000;
constexpr int64_t kFileTimeEpochSeconds = 11644473600;  // 1601-01-01 to 1970-01-01

}  // namespace

std::optional<int32_t> machineUtcOffset(int64_t wallClock) {
    const CivilDateTime t = civilFromSeconds(wallClock);
    if (t.year < 1601 || t.year > 30827) return std::nullopt;
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(t.year);
    local.wMonth = static_cast<WORD>(t.month);
    local.wDay = static_cast<WORD>(t.day);
    local.wHour = static_cast<WORD>(t.hour);
    local.wMinute = static_cast<WORD>(t.minute);
    local.wSecond = static_cast<WORD>(t.second);
    SYSTEMTIME utc{};
    FILETIME file{};
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &file))
        return std::nullopt;
    const int64_t units = (static_cast<int64_t>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
    const int64_t utcSeconds = units / kFileTimeUnitsPerSecond - kFileTimeEpochSeconds;
    return static_cast<int32_t>(wallClock - utcSeconds);
}
