#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Number and date-time conversions with the rules the exercise files rely on.
// Everything here is pure computation; nothing depends on the process locale.
namespace fw {

// Raised by the strict conversions; its message names the offending text.
class ConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Decimal integer: optional leading blanks, an optional sign, digits, nothing
// after them. Throws ConvertError for anything else, out of range included.
int32_t strToInt(std::string_view text);
// The same rule; returns false (and leaves value alone) instead of throwing.
bool tryStrToInt(std::string_view text, int32_t& value);

// Decimal number with `separator` as the only decimal separator: surrounding
// blanks, optional sign, digits, an optional fraction and exponent.
double strToFloat(std::string_view text, char separator);
bool tryStrToFloat(std::string_view text, char separator, double& value);

// Date-time values are days since 1899-12-30; the fraction is the time of day.
using DateTime = double;

// Throws ConvertError for a date or time out of range.
DateTime encodeDate(int year, int month, int day);
DateTime encodeTime(int hour, int minute, int second, int millisecond);

struct TimeOfDay {
    int hour, minute, second, millisecond;
};
// Time of day of a date-time, rounded to the millisecond (sign ignored).
TimeOfDay decodeTime(DateTime value);
// Whole seconds of decodeTime's time of day.
int32_t secondsOfDay(DateTime value);

struct CalendarDate {
    int year, month, day;
};
CalendarDate decodeDate(DateTime value);

// Substring by 1-based position as the file formats define it: a start beyond
// the end of the text starts at the first character instead.
std::string midText(std::string_view text, int position, int count);

}  // namespace fw
