#include "tools/host/time/TimeZone.h"

#include <cstdio>
#include <cstdlib>

std::optional<int32_t> parseUtcOffset(std::string_view text) {
    if (text.size() != 6 || (text[0] != '+' && text[0] != '-') || text[3] != ':') return std::nullopt;
    const auto digit = [&](size_t i) { return text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1; };
    for (const size_t i : {1, 2, 4, 5})
        if (digit(i) < 0) return std::nullopt;
    const int hours = digit(1) * 10 + digit(2);
    const int minutes = digit(4) * 10 + digit(5);
    if (minutes > 59 || hours * 60 + minutes > 14 * 60) return std::nullopt;
    const int32_t seconds = (hours * 60 + minutes) * 60;
    return text[0] == '-' ? -seconds : seconds;
}

std::string utcOffsetText(int32_t seconds) {
    const int32_t minutes = std::abs(seconds) / 60;
    char text[16];
    std::snprintf(text, sizeof text, "UTC%c%02d:%02d", seconds < 0 ? '-' : '+', static_cast<int>(minutes / 60),
                  static_cast<int>(minutes % 60));
    return text;
}
