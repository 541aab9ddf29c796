#pragma once

#include <cstdint>
#include <vector>

// Fitness, fatigue and form of a training history, after Banister's
// impulse-response model as the "performance management chart" draws it:
// each day's load (TRIMP summed over its exercises, 0 on a day without)
// feeds two exponentially weighted averages,
//   fitness_d = fitness_{d-1} + (load_d - fitness_{d-1}) / 42
//   fatigue_d = fatigue_{d-1} + (load_d - fatigue_{d-1}) / 7
// both 0 before the first day. Form is what a day starts with: fitness
// minus fatigue of the day before, so a hard day shows in the next day's form.

constexpr double kFitnessDays = 42;
constexpr double kFatigueDays = 7;

struct DayLoad {
    int64_t day = 0;  // days since 1970-01-01
    double load = 0;
};

struct FormDay {
    int64_t day = 0;
    double load = 0;  // of the day, all its exercises
    double fitness = 0, fatigue = 0, form = 0;
};

// Every day from the first of `loads` to the last (in any order; loads of
// one day add up); empty for none.
std::vector<FormDay> trainingLoad(const std::vector<DayLoad>& loads);

// The loads of the span of at most `days` days that holds the most of them,
// the earliest such span; in order of their days. One wrong date, decades
// from the rest, would otherwise stretch the history over every day between.
std::vector<DayLoad> busiestSpan(std::vector<DayLoad> loads, int64_t days);
