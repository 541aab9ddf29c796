#include "CivilTime.h"

#include <cmath>
#include <cstdio>

// Both directions after H. Hinnant's algorithms, valid for every year.
int64_t daysFromCivil(int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yoe = static_cast<unsigned>(year - era * 400);
    const unsigned doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

CivilDate civilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned day = doy - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    return CivilDate{static_cast<int64_t>(yoe) + era * 400 + (month <= 2), month, day};
}

int64_t wallClockSeconds(double dayCount) {
    return std::llround((dayCount - static_cast<double>(kUnixEpochDay)) * 86400.0);
}

CivilDateTime civilFromSeconds(int64_t seconds) {
    const int64_t days = (seconds >= 0 ? seconds : seconds - 86399) / 86400;
    const auto second = static_cast<int>(seconds - days * 86400);
    return CivilDateTime{civilFromDays(days), second / 3600, second / 60 % 60, second % 60};
}

std::string isoDateTime(int64_t seconds, const char* suffix) {
    const CivilDateTime t = civilFromSeconds(seconds);
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02d:%02d:%02d%s", static_cast<long long>(t.date.year),
                  t.date.month, t.date.day, t.hour, t.minute, t.second, suffix);
    return text;
}
