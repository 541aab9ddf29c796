#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// An .hrm file holds local wall-clock time without a zone. The host places
// it with an offset from UTC: the machine's time zone on that date, or one
// the user names.

// Seconds east of UTC that the machine's time zone keeps at a wall-clock
// time (seconds since 1970-01-01 read as local time), with its daylight
// saving rule for that date; nullopt when the system cannot tell.
std::optional<int32_t> machineUtcOffset(int64_t wallClock);

// "+HH:MM" or "-HH:MM", from -14:00 to +14:00; nullopt for anything else.
std::optional<int32_t> parseUtcOffset(std::string_view text);

// "UTC+02:00", "UTC-03:30", "UTC+00:00".
std::string utcOffsetText(int32_t seconds);
