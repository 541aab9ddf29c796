#include "Convert.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace fw {

namespace {

constexpr int64_t kMsPerDay = 86'400'000;
// Days from 0001-01-01 (day 1) to 1899-12-30, the epoch of date-time values.
constexpr int64_t kDateDelta = 693'594;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int daysInMonth(int year, int month) {
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

std::string quoted(std::string_view text) {
    std::string result(1, '\'');
    result.append(text);
    result += '\'';
    return result;
}

}  // namespace

bool tryStrToInt(std::string_view text, int32_t& value) {
    size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos == text.size()) return false;
    int64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        if (!isDigit(text[pos])) return false;
        magnitude = magnitude * 10 + (text[pos] - '0');
        if (magnitude > int64_t{std::numeric_limits<int32_t>::max()} + 1) return false;
    }
    const int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int32_t>::max()) return false;
    value = static_cast<int32_t>(result);
    return true;
}

int32_t strToInt(std::string_view text) {
    int32_t value = 0;
    if (!tryStrToInt(text, value)) throw ConvertError(quoted(text) + " is not a valid integer value");
    return value;
}

bool tryStrToFloat(std::string_view text, char separator, double& value) {
    size_t begin = 0, end = text.size();
    while (begin < end && text[begin] == ' ') ++begin;
    while (end > begin && text[end - 1] == ' ') --end;
    std::string normal;
    normal.reserve(end - begin);
    size_t pos = begin;
    const bool negative = pos < end && text[pos] == '-';
    if (pos < end && (text[pos] == '+' || text[pos] == '-')) {
        if (negative) normal += '-';
        ++pos;
    }
    int mantissaDigits = 0;
    int64_t whole = 0;  // the value of the integer digits, while there are at most 15
    for (; pos < end && isDigit(text[pos]); ++pos, ++mantissaDigits) {
        normal += text[pos];
        if (mantissaDigits < 15) whole = whole * 10 + (text[pos] - '0');
    }
    // A whole number of up to 15 digits is exact as a double: nothing to parse.
    if (pos == end && mantissaDigits > 0 && mantissaDigits <= 15) {
        value = negative ? -static_cast<double>(whole) : static_cast<double>(whole);
        return true;
    }
    if (pos < end && text[pos] == separator) {
        normal += '.';
        for (++pos; pos < end && isDigit(text[pos]); ++pos, ++mantissaDigits) normal += text[pos];
    }
    if (mantissaDigits == 0) return false;
    if (pos < end && (text[pos] == 'e' || text[pos] == 'E')) {
        normal += 'e';
        ++pos;
        if (pos < end && (text[pos] == '+' || text[pos] == '-')) normal += text[pos++];
        int exponentDigits = 0;
        for (; pos < end && isDigit(text[pos]); ++pos, ++exponentDigits) normal += text[pos];
        if (exponentDigits == 0) return false;
    }
    if (pos != end) return false;
    double parsed = 0;
    const auto [ptr, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), parsed);
    if (ec != std::errc() || ptr != normal.data() + normal.size() || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

double strToFloat(std::string_view text, char separator) {
    double value = 0;
    if (!tryStrToFloat(text, separator, value))
        throw ConvertError(quoted(text) + " is not a valid floating point value");
    return value;
}

DateTime encodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        throw ConvertError("Invalid argument to date encode");
    int64_t days = day;
    for (int m = 1; m < month; ++m) days += daysInMonth(year, m);
    const int64_t y = year - 1;
    days += y * 365 + y / 4 - y / 100 + y / 400;
    return static_cast<double>(days - kDateDelta);
}

DateTime encodeTime(int hour, int minute, int second, int millisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        throw ConvertError("Invalid argument to time encode");
    const int64_t ms = ((int64_t{hour} * 60 + minute) * 60 + second) * 1000 + millisecond;
    return static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

TimeOfDay decodeTime(DateTime value) {
    const double total = std::nearbyint(std::fabs(value) * static_cast<double>(kMsPerDay));
    const double dayMs = std::fmod(total, static_cast<double>(kMsPerDay));
    const int64_t ms = std::isfinite(dayMs) ? static_cast<int64_t>(dayMs) : 0;
    return TimeOfDay{static_cast<int>(ms / 3'600'000), static_cast<int>(ms / 60'000 % 60),
                     static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000)};
}

int32_t secondsOfDay(DateTime value) {
    const TimeOfDay time = decodeTime(value);
    return time.hour * 3600 + time.minute * 60 + time.second;
}

CalendarDate decodeDate(DateTime value) {
    // Days since 0001-01-01, then walk 400-, 100-, 4- and 1-year cycles.
    int64_t days = static_cast<int64_t>(std::floor(value)) + kDateDelta - 1;
    if (days < 0 || days > 3'652'058) return CalendarDate{0, 0, 0};
    int64_t year = 1 + 400 * (days / 146'097);
    days %= 146'097;
    int64_t centuries = days / 36'524;
    if (centuries == 4) centuries = 3;
    year += 100 * centuries;
    days -= centuries * 36'524;
    year += 4 * (days / 1461);
    days %= 1461;
    int64_t years = days / 365;
    if (years == 4) years = 3;
    year += years;
    days -= years * 365;
    int month = 1;
    while (days >= daysInMonth(static_cast<int>(year), month)) days -= daysInMonth(static_cast<int>(year), month++);
    return CalendarDate{static_cast<int>(year), month, static_cast<int>(days) + 1};
}

std::string midText(std::string_view text, int position, int count) {
    if (position < 1 || static_cast<size_t>(position) > text.size()) position = 1;
    if (count <= 0) return {};
    return std::string(text.substr(static_cast<size_t>(position - 1), static_cast<size_t>(count)));
}

}  // namespace fw
