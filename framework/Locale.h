#pragma once

#include <string>

#include "Convert.h"

// The plug-in's own number and date formats, taken from the user's locale on
// Windows. The process locale is never changed.
namespace fw {

// Decimal separator for decimal numbers in exercise files: the user's on
// Windows, '.' on POSIX.
char decimalSeparator();
void setDecimalSeparator(char separator);

// Sets the separator for the lifetime of the scope and restores the previous
// one afterwards, also when an exception leaves the scope.
class DecimalSeparatorScope {
public:
    explicit DecimalSeparatorScope(char separator) : previous_(decimalSeparator()) { setDecimalSeparator(separator); }
    ~DecimalSeparatorScope() { setDecimalSeparator(previous_); }
    DecimalSeparatorScope(const DecimalSeparatorScope&) = delete;
    DecimalSeparatorScope& operator=(const DecimalSeparatorScope&) = delete;

private:
    char previous_;
};

// Date and time in the user's default short date and long time format; the
// time is left out when it is midnight.
std::string formatDateTime(DateTime value);

}  // namespace fw
