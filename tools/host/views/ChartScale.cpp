#include "tools/host/views/ChartScale.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "tools/host/formats/XmlOutput.h"

namespace {

// The smallest of `steps` that is at least `rough`, else a multiple of the largest.
double stepFrom(std::initializer_list<double> steps, double rough) {
    for (const double step : steps)
        if (step >= rough) return step;
    const double largest = *(steps.end() - 1);
    return std::ceil(rough / largest) * largest;
}

AxisScale around(double low, double high, double step) {
    return {std::floor(low / step + 1e-9) * step, std::ceil(high / step - 1e-9) * step, step};
}

}  // namespace

double roundStep(double rough) {
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (factor * magnitude >= rough * (1 - 1e-9)) return factor * magnitude;
    return 10 * magnitude;
}

int AxisScale::ticks() const { return static_cast<int>(std::floor((high - low) / step + 1e-6)) + 1; }

AxisScale valueScale(double low, double high, double minimumSpan) {
    if (high - low < minimumSpan) {
        const double middle = (low + high) / 2;
        const bool nonNegative = low >= 0;
        low = middle - minimumSpan / 2;
        high = middle + minimumSpan / 2;
        if (nonNegative && low < 0) {
            high -= low;
            low = 0;
        }
    }
    return around(low, high, roundStep((high - low) / 5));
}

AxisScale paceScale(double low, double high) {
    if (high - low < 1) {
        const double middle = (low + high) / 2;
        low = std::max(0.0, middle - 0.5);
        high = low + 1;
    }
    return around(low, high, stepFrom({1.0 / 6, 0.25, 0.5, 1, 2, 5, 10, 15, 30, 60}, (high - low) / 5));
}

AxisScale spanScale(double span, bool seconds) {
    span = std::max(span, 1.0);
    const double rough = span / 8;
    const double step = seconds ? stepFrom({10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600,
                                            43200, 86400},
                                           rough)
                                : roundStep(std::max(rough, 1.0));
    return {0, std::floor(span / step + 1e-9) * step, step};
}

std::string tickText(double value, double step) {
    const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    if (std::fabs(value) < step / 1000) value = 0;
    return numberWith(value, decimals);
}

std::string fixedText(double value, int decimals) {
    if (!std::isfinite(value)) value = 0;
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    const std::string out(text, result.ptr);
    return out.find_first_not_of("-0.") == std::string::npos && out[0] == '-' ? out.substr(1) : out;
}

std::string paceText(double minutes) {
    const long long seconds = std::llround(minutes * 60);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

std::string elapsedText(double seconds, double step) {
    const long long whole = std::llround(seconds);
    char text[32];
    if (step < 60)
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 3600, whole / 60 % 60);
    return text;
}
