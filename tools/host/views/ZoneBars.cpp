#include "tools/host/views/ZoneBars.h"

#include <cmath>
#include <map>
#include <numeric>

#include "tools/host/views/ChartScale.h"
#include "tools/host/views/PageElements.h"
#include "tools/host/views/StackedBars.h"
#include "tools/host/views/TrainingVolume.h"

const std::vector<std::string>& zoneNames() {
    static const std::vector<std::string> names = {"Zone 1 (very light)", "Zone 2 (light)", "Zone 3 (moderate)",
                                                   "Zone 4 (hard)", "Zone 5 (maximum)"};
    return names;
}

std::vector<double> zoneShares(const std::vector<double>& zoneSeconds) {
    const double total = std::accumulate(zoneSeconds.begin(), zoneSeconds.end(), 0.0);
    if (!(total > 0)) return {};
    std::vector<double> shares;
    for (const double seconds : zoneSeconds) shares.push_back(100 * seconds / total);
    return shares;
}

void addZoneBar(pugi::xml_node parent, const std::vector<double>& zoneSeconds) {
    const std::vector<double> shares = zoneShares(zoneSeconds);
    if (shares.empty()) {
        parent.text().set(kNone);
        return;
    }
    // One element a row, however many zones: the style sheet paints the
    // zones' colours up to where each one ends, --z1 to --z4 per cent along.
    std::string ends, tooltip;
    double end = 0;
    for (size_t zone = 0; zone < shares.size() && zone < kZones; ++zone) {
        end += shares[zone];
        if (zone + 1 < kZones) ends += "--z" + std::to_string(zone + 1) + ":" + fixedText(end, 1) + "%;";
        tooltip += (zone ? ", Z" : "Z") + std::to_string(zone + 1) + " " +
                   std::to_string(std::lround(zoneSeconds[zone] / 60)) + " min";
    }
    ends.pop_back();
    // A space, not an empty element, which HTML would leave open.
    pugi::xml_node bar = element(parent, "span", " ", "zones");
    bar.append_attribute("style").set_value(ends.c_str());
    bar.append_attribute("title").set_value(tooltip.c_str());
}

// More ways of bounding the zones than this are folded.
constexpr size_t kSourcesShown = 3;

void addZoneLegend(pugi::xml_node parent, const std::vector<OverviewExercise>& exercises) {
    std::map<std::string, int> sources;
    int without = 0;
    for (const OverviewExercise& exercise : exercises) {
        if (zoneShares(exercise.zoneSeconds).empty())
            ++without;
        else
            ++sources[exercise.zoneSource.empty() ? "bounds not given" : exercise.zoneSource];
    }
    if (!sources.empty()) addLegend(parent, zoneNames(), "z");
    std::vector<std::string> lines;
    for (const auto& [source, count] : sources)
        lines.push_back("Zones of " + std::to_string(count) + (count == 1 ? " exercise: " : " exercises: ") + source);
    if (without > 0)
        lines.push_back(std::to_string(without) + (without == 1 ? " exercise" : " exercises") +
                        " without time in zones, which needs heart rate");
    if (lines.empty()) return;
    // A person's maximum changes over the years: many bounds fold away under one line.
    if (lines.size() > kSourcesShown) {
        parent = element(parent, "details");
        element(parent, "summary", "How the zones were bounded (" + std::to_string(lines.size()) + " ways)");
    }
    pugi::xml_node list = element(parent, "ul", "", "sources");
    for (const std::string& line : lines) element(list, "li", line);
}
