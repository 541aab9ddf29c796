#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Civil time for the host's texts and conversions, on the framework's
// calendar. The records count days since 1899-12-30; converted files count
// seconds since 1970-01-01 (Unix time).

// 1970-01-01 counted in the records' days.
constexpr int64_t kUnixEpochDay = 25569;

// Days since 1970-01-01 of a date of the years 1 to 9999; nullopt for a date
// that does not exist.
std::optional<int64_t> unixDays(int year, int month, int day);
// The same of a date written "yyyymmdd" (the text's first eight characters,
// all digits), as the exercise files and day diaries write dates.
std::optional<int64_t> unixDays(std::string_view yyyymmdd);

// Date and time of day of seconds since 1970-01-01; the date is 0-0-0
// outside the years 1 to 9999.
struct CivilDateTime {
    int year, month, day;
    int hour, minute, second;
};
CivilDateTime civilFromSeconds(int64_t seconds);

// A records' date-time read as seconds since 1970-01-01 of the same wall
// clock, rounded to the second.
int64_t wallClockSeconds(double dayCount);

// "yyyy-mm-ddThh:mm:ss" of seconds since 1970-01-01, followed by `suffix`
// ("Z" for UTC).
std::string isoDateTime(int64_t seconds, const char* suffix);

// A records' date-time as "yyyy-mm-dd hh:mm:ss", rounded to the second.
// The whole days count the date and the fraction, whatever the sign, is the
// time of day, as the records' date-times are read; "invalid" beyond the
// calendar.
std::string dateTimeText(double dayCount);

// Seconds as "h:mm:ss" (hours not limited to 23).
std::string durationText(int64_t seconds);
