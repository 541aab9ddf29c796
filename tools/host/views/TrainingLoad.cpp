#include "tools/host/views/TrainingLoad.h"

#include <algorithm>

std::vector<FormDay> trainingLoad(const std::vector<DayLoad>& loads) {
    if (loads.empty()) return {};
    const auto [first, last] = std::minmax_element(loads.begin(), loads.end(),
                                                   [](const DayLoad& a, const DayLoad& b) { return a.day < b.day; });
    std::vector<FormDay> days(static_cast<size_t>(last->day - first->day + 1));
    for (size_t i = 0; i < days.size(); ++i) days[i].day = first->day + static_cast<int64_t>(i);
    for (const DayLoad& load : loads) days[static_cast<size_t>(load.day - first->day)].load += load.load;
    double fitness = 0, fatigue = 0;
    for (FormDay& day : days) {
        day.form = fitness - fatigue;
        fitness += (day.load - fitness) / kFitnessDays;
        fatigue += (day.load - fatigue) / kFatigueDays;
        day.fitness = fitness;
        day.fatigue = fatigue;
    }
    return days;
}

std::vector<DayLoad> busiestSpan(std::vector<DayLoad> loads, int64_t days) {
    std::stable_sort(loads.begin(), loads.end(), [](const DayLoad& a, const DayLoad& b) { return a.day < b.day; });
    size_t best = 0, bestEnd = 0;
    for (size_t first = 0, end = 0; first < loads.size(); ++first) {
        while (end < loads.size() && loads[end].day - loads[first].day < days) ++end;
        if (end - first > bestEnd - best) {
            best = first;
            bestEnd = end;
        }
    }
    return {loads.begin() + static_cast<std::ptrdiff_t>(best), loads.begin() + static_cast<std::ptrdiff_t>(bestEnd)};
}
