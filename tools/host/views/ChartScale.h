#pragma once

#include <string>

// The axes of the charts: round ticks in the steps people count in.

// An axis from `low` to `high` in steps of `step`; both ends lie on a tick.
struct AxisScale {
    double low = 0, high = 1, step = 1;
    int ticks() const;  // both ends included
    double tick(int k) const { return low + k * step; }
};

// The smallest of 1, 2 or 5 times a power of ten that is at least `rough` (> 0).
double roundStep(double rough);

// Values from `low` to `high`, widened about their middle to `minimumSpan`
// (never below 0 when no value is), in two to seven steps of 1, 2 or 5 times
// a power of ten.
AxisScale valueScale(double low, double high, double minimumSpan);
// Paces in minutes per km: steps of 10, 15 or 30 seconds, or of whole minutes.
AxisScale paceScale(double low, double high);
// From 0 up to `span`, in at most eight steps: seconds in steps from 10 s
// to whole days where `seconds`, else whole numbers (samples) in 1, 2 or 5
// times a power of ten. The last tick may lie before `span`.
AxisScale spanScale(double span, bool seconds);

// A tick's value with as many decimals as its step needs: "12.5", "-60".
std::string tickText(double value, double step);
// `value` with exactly `decimals` digits after the point: "12.90".
std::string fixedText(double value, int decimals);
// Minutes as "m:ss": a pace.
std::string paceText(double minutes);
// Seconds since the start as "h:mm", or as "m:ss" where the step is under a minute.
std::string elapsedText(double seconds, double step);
