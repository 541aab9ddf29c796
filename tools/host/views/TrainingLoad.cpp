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
