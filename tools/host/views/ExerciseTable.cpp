#include "tools/host/views/ExerciseTable.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "tools/host/time/CivilTime.h"
#include "tools/host/views/ChartScale.h"
#include "tools/host/views/ExerciseText.h"
#include "tools/host/views/PageElements.h"
#include "tools/host/views/ZoneBars.h"

namespace {

constexpr const char* kColumns[] = {"Date",   "Exercise", "Sport", "Duration", "Distance", "Ascent",
                                    "Avg HR", "Max HR",   "Zones", "Load",     "Energy",   "Files"};

// "chart", or the extension in capitals: "FIT".
std::string fileLabel(const std::string& path) {
    if (isChart(path)) return "chart";
    std::string extension = path.substr(path.find_last_of('.') + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return extension;
}

template <typename T>
std::string orNone(const std::optional<T>& value, const std::string& unit, int decimals = 0) {
    return value ? fixedText(static_cast<double>(*value), decimals) + unit : kNone;
}

void addRow(pugi::xml_node body, const OverviewExercise& exercise) {
    pugi::xml_node row = element(body, "tr", "", "exercise");
    element(row, "td", exercise.startText);
    pugi::xml_node name = element(row, "td", "", "name");
    exerciseLink(name, exercise);
    // Where it came from, where the name or the folder does not tell.
    if (exercise.source != exercise.name || !exercise.folder.empty())
        element(name, "span", exercise.folder + exercise.source, "source");
    element(row, "td", exercise.sport);
    element(row, "td", exercise.duration ? durationText(std::llround(*exercise.duration)) : kNone, "number");
    element(row, "td", exercise.distance ? kilometresText(*exercise.distance) : kNone, "number");
    element(row, "td", orNone(exercise.ascent, " m"), "number");
    element(row, "td", orNone(exercise.averageHeartRate, " bpm"), "number");
    element(row, "td", orNone(exercise.maximumHeartRate, " bpm"), "number");
    addZoneBar(element(row, "td"), exercise.zoneSeconds);
    element(row, "td", orNone(exercise.load, ""), "number");
    element(row, "td", orNone(exercise.energy, " kcal"), "number");
    pugi::xml_node files = element(row, "td", "", "files");
    for (const std::string& file : exercise.files) link(files, file, fileLabel(file));
    if (exercise.files.empty()) files.text().set(kNone);
    body.append_child(pugi::node_pcdata).set_value("\n");  // a row a line in the page's text
}

}  // namespace

void Totals::add(const OverviewExercise& exercise) {
    ++count;
    seconds += exercise.duration.value_or(0);
    metres += exercise.distance.value_or(0);
    kcal += exercise.energy.value_or(0);
}

std::string Totals::text() const {
    std::string out = std::to_string(count) + (count == 1 ? " exercise" : " exercises");
    out += ", " + durationText(std::llround(seconds));
    if (metres > 0) out += ", " + kilometresText(metres);
    if (kcal > 0) out += ", " + std::to_string(kcal) + " kcal";
    return out;
}

void addExerciseTables(pugi::xml_node parent, const std::vector<OverviewExercise>& exercises) {
    std::map<int, Totals> years;
    for (const OverviewExercise& exercise : exercises)
        years[exercise.start ? yearOf(*exercise.start) : 0].add(exercise);
    pugi::xml_node rows;
    std::optional<int> year;  // of the row before; 0 for no date
    for (const OverviewExercise& exercise : exercises) {
        const int own = exercise.start ? yearOf(*exercise.start) : 0;
        if (own != year) {
            pugi::xml_node details = element(parent, "details", "", "year");
            if (!year) details.append_attribute("open").set_value("open");
            pugi::xml_node summary = element(details, "summary");
            element(summary, "strong", own ? std::to_string(own) : "No date");
            element(summary, "span", years[own].text());
            pugi::xml_node table = element(element(details, "div", "", "scroll"), "table", "", "exercises");
            pugi::xml_node header = element(element(table, "thead"), "tr");
            for (const char* title : kColumns) element(header, "th", title);
            rows = element(table, "tbody");
            year = own;
        }
        addRow(rows, exercise);
    }
}
