#include "framework/Locale.h"

#include <cstdio>

namespace fw {

namespace {

char& currentSeparator() {
    static char separator = '.';
    return separator;
}

}  // namespace

char decimalSeparator() { return currentSeparator(); }
void setDecimalSeparator(char separator) { currentSeparator() = separator; }

std::string formatDateTime(DateTime value) {
    const CalendarDate date = decodeDate(value);
    const TimeOfDay time = decodeTime(value);
    char text[40];
    if (time.hour == 0 && time.minute == 0 && time.second == 0 && time.millisecond == 0)
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    else
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", date.year, date.month, date.day, time.hour,
                      time.minute, time.second);
    return text;
}

}  // namespace fw
