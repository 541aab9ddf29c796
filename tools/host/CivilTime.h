#pragma once

#include <cstdint>
#include <string>

// Calendar arithmetic for the host's texts and conversions. The records
// count days since 1899-12-30; converted files count seconds since
// 1970-01-01 (Unix time).

struct CivilDate {
    int64_t year;
    unsigned month, day;
};

// 1970-01-01 counted in the records' days.
constexpr int64_t kUnixEpochDay = 25569;

// Day count since 1970-01-01 of a Gregorian date, and back.
int64_t daysFromCivil(int64_t year, unsigned month, unsigned day);
CivilDate civilFromDays(int64_t days);

struct CivilDateTime {
    CivilDate date;
    int hour, minute, second;
};
// Date and time of day of seconds since 1970-01-01.
CivilDateTime civilFromSeconds(int64_t seconds);

// A records' date-time read as seconds since 1970-01-01 of the same wall
// clock, rounded to the second.
int64_t wallClockSeconds(double dayCount);

// "yyyy-mm-ddThh:mm:ss" of seconds since 1970-01-01, followed by `suffix`
// ("Z" for UTC).
std::string isoDateTime(int64_t seconds, const char* suffix);
