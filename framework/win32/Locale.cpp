#include "framework/Locale.h"

#include <windows.h>

#include <cmath>
#include <cstdio>

namespace fw {

namespace {

char userSeparator() {
    char buffer[4] = {};
    // A multi-character separator cannot be used in the files; keep its first character.
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) < 2) return '.';
    return buffer[0];
}

// Read from the user's settings on first use, not at load time.
char& currentSeparator() {
    static char separator = userSeparator();
    return separator;
}

SYSTEMTIME systemTimeOf(DateTime value) {
    const CalendarDate date = decodeDate(value);
    const TimeOfDay time = decodeTime(value);
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(date.year);
    st.wMonth = static_cast<WORD>(date.month);
    st.wDay = static_cast<WORD>(date.day);
    // Day 0 (1899-12-30) was a Saturday.
    const long long day = static_cast<long long>(std::floor(value));
    st.wDayOfWeek = static_cast<WORD>(((day % 7) + 7 + 6) % 7);
    st.wHour = static_cast<WORD>(time.hour);
    st.wMinute = static_cast<WORD>(time.minute);
    st.wSecond = static_cast<WORD>(time.second);
    st.wMilliseconds = static_cast<WORD>(time.millisecond);
    return st;
}

}  // namespace

char decimalSeparator() { return currentSeparator(); }
void setDecimalSeparator(char separator) { currentSeparator() = separator; }

std::string formatDateTime(DateTime value) {
    const SYSTEMTIME st = systemTimeOf(value);
    char date[80];
    if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date) == 0)
        std::snprintf(date, sizeof date, "%04u-%02u-%02u", st.wYear, st.wMonth, st.wDay);  // before 1601
    std::string text = date;
    if (st.wHour == 0 && st.wMinute == 0 && st.wSecond == 0 && st.wMilliseconds == 0) return text;
    char time[80];
    if (GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time) == 0)
        std::snprintf(time, sizeof time, "%02u:%02u:%02u", st.wHour, st.wMinute, st.wSecond);
    return text + " " + time;
}

}  // namespace fw
