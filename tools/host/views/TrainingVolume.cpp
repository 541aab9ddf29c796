#include "tools/host/views/TrainingVolume.h"

#include <algorithm>
#include <map>
#include <set>

#include "tools/host/time/CivilTime.h"
#include "tools/host/views/PageElements.h"

namespace {

// More years than this between the first exercise and the last can only be a wrong date.
constexpr int kLongestHistory = 60;

VolumeBin emptyBin(std::string label, size_t sports) {
    VolumeBin bin;
    bin.label = std::move(label);
    bin.seconds.assign(sports, 0);
    bin.metres.assign(sports, 0);
    return bin;
}

void add(VolumeBin& bin, const OverviewExercise& exercise, const std::vector<std::string>& sports) {
    const size_t sport =
        static_cast<size_t>(std::find(sports.begin(), sports.end(), exercise.sport) - sports.begin());
    ++bin.count;
    if (sport < sports.size()) {
        bin.seconds[sport] += exercise.duration.value_or(0);
        bin.metres[sport] += exercise.distance.value_or(0);
    }
    for (size_t zone = 0; zone < exercise.zoneSeconds.size() && zone < kZones; ++zone)
        bin.zoneSeconds[zone] += exercise.zoneSeconds[zone];
}

}  // namespace

std::vector<std::string> sportsByTime(const std::vector<OverviewExercise>& exercises) {
    std::map<std::string, double> time;
    for (const OverviewExercise& exercise : exercises) time[exercise.sport] += exercise.duration.value_or(0);
    std::vector<std::pair<std::string, double>> order(time.begin(), time.end());
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    std::vector<std::string> sports;
    for (const auto& [sport, seconds] : order) sports.push_back(sport);
    return sports;
}

std::vector<VolumeBin> yearBins(const std::vector<OverviewExercise>& exercises,
                                const std::vector<std::string>& sports) {
    std::set<int> years;
    for (const OverviewExercise& exercise : exercises)
        if (exercise.start) years.insert(yearOf(*exercise.start));
    if (years.empty()) return {};
    if (*years.rbegin() - *years.begin() <= kLongestHistory)
        for (int year = *years.begin(); year <= *years.rbegin(); ++year) years.insert(year);
    std::vector<VolumeBin> bins;
    std::map<int, size_t> index;
    for (const int year : years) {
        index[year] = bins.size();
        bins.push_back(emptyBin(std::to_string(year), sports.size()));
    }
    for (const OverviewExercise& exercise : exercises)
        if (exercise.start) add(bins[index[yearOf(*exercise.start)]], exercise, sports);
    return bins;
}

int64_t mondayOf(int64_t day) {
    // 1970-01-01 was a Thursday, three days after a Monday.
    return day - (((day + 3) % 7) + 7) % 7;
}

std::vector<VolumeBin> weekBins(const std::vector<OverviewExercise>& exercises, const std::vector<std::string>& sports,
                                int year) {
    const std::optional<int64_t> january = unixDays(year, 1, 1), december = unixDays(year, 12, 31);
    if (!january || !december) return {};
    const int64_t first = mondayOf(*january), last = mondayOf(*december);
    std::vector<VolumeBin> bins;
    for (int64_t monday = first; monday <= last; monday += 7) bins.push_back(emptyBin(dayText(monday), sports.size()));
    for (const OverviewExercise& exercise : exercises) {
        if (!exercise.start) continue;
        const int64_t day = dayOf(*exercise.start);
        if (day >= first && day < last + 7) add(bins[static_cast<size_t>((day - first) / 7)], exercise, sports);
    }
    return bins;
}
