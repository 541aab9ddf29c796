#include "tools/host/views/OverviewPage.h"

#include <algorithm>
#include <cmath>

#include "tools/host/views/ExerciseTable.h"
#include "tools/host/views/ExerciseText.h"
#include "tools/host/views/LoadChart.h"
#include "tools/host/views/PageElements.h"
#include "tools/host/views/PageStyle.h"
#include "tools/host/views/RecordsTable.h"
#include "tools/host/views/StackedBars.h"
#include "tools/host/views/TrainingVolume.h"
#include "tools/host/views/ZoneBars.h"

namespace {

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The bins' values of each sport (or zone), scaled: [bin][part].
template <typename Pick>
std::vector<std::vector<double>> valuesOf(const std::vector<VolumeBin>& bins, Pick pick, double scale) {
    std::vector<std::vector<double>> values;
    for (const VolumeBin& bin : bins) {
        std::vector<double> parts = pick(bin);
        for (double& value : parts) value /= scale;
        values.push_back(std::move(parts));
    }
    return values;
}

std::vector<std::string> labelsOf(const std::vector<VolumeBin>& bins) {
    std::vector<std::string> labels;
    for (const VolumeBin& bin : bins) labels.push_back(bin.label);
    return labels;
}

// Under a week's bar the month its Monday begins, at the first week of each month.
std::vector<std::string> monthLabels(const std::vector<VolumeBin>& weeks) {
    std::vector<std::string> labels;
    std::string month;
    for (const VolumeBin& week : weeks) {
        const std::string own = week.label.substr(5, 2);
        labels.push_back(own == month ? "" : kMonths[std::stoi(own) - 1]);
        month = own;
    }
    return labels;
}

StackedBarChart sportChart(const std::vector<VolumeBin>& bins, const std::vector<std::string>& sports, bool time) {
    StackedBarChart chart;
    chart.unit = time ? "h" : "km";
    chart.labels = labelsOf(bins);
    chart.axisLabels = chart.labels;
    chart.parts = sports;
    chart.partClass = "s";
    chart.values = time ? valuesOf(bins, [](const VolumeBin& bin) { return bin.seconds; }, 3600)
                        : valuesOf(bins, [](const VolumeBin& bin) { return bin.metres; }, 1000);
    chart.decimals = time ? 1 : 0;
    return chart;
}

StackedBarChart zoneChart(const std::vector<VolumeBin>& bins) {
    StackedBarChart chart;
    chart.unit = "h";
    chart.labels = labelsOf(bins);
    chart.axisLabels = chart.labels;
    chart.parts = zoneNames();
    chart.partClass = "z";
    chart.values = valuesOf(bins, [](const VolumeBin& bin) { return bin.zoneSeconds; }, 3600);
    return chart;
}

bool anyValue(const StackedBarChart& chart) {
    for (const std::vector<double>& bar : chart.values)
        for (const double value : bar)
            if (value > 0) return true;
    return false;
}

// Time and distance per sport, per year and per week of the newest year; no
// distance charts where no exercise has a distance.
void addVolume(pugi::xml_node body, const std::vector<VolumeBin>& years, const std::vector<VolumeBin>& weeks,
               const std::vector<std::string>& sports, int newest) {
    element(body, "h2", "Training volume");
    for (const bool perYear : {true, false}) {
        pugi::xml_node charts = element(body, "div", "", "charts");
        for (const bool time : {true, false}) {
            StackedBarChart chart = sportChart(perYear ? years : weeks, sports, time);
            const std::string what = time ? "Training time per " : "Distance per ";
            chart.title = what + (perYear ? "year" : "week of " + std::to_string(newest));
            chart.barHeading = perYear ? "Year" : "Week of";
            if (!perYear) chart.axisLabels = monthLabels(weeks);
            if (time || anyValue(chart)) addStackedBars(charts, chart);
        }
    }
}

void addZones(pugi::xml_node body, const std::vector<OverviewExercise>& exercises, const std::vector<VolumeBin>& years,
              const std::vector<VolumeBin>& weeks, int newest) {
    element(body, "h2", "Heart-rate zones");
    addZoneLegend(body, exercises);
    if (!anyValue(zoneChart(years))) return;
    pugi::xml_node charts = element(body, "div", "", "charts");
    StackedBarChart perYear = zoneChart(years);
    perYear.title = "Time in zones per year";
    perYear.barHeading = "Year";
    addStackedBars(charts, perYear);
    StackedBarChart perWeek = zoneChart(weeks);
    perWeek.title = "Time in zones per week of " + std::to_string(newest);
    perWeek.barHeading = "Week of";
    perWeek.axisLabels = monthLabels(weeks);
    addStackedBars(charts, perWeek);
}

}  // namespace

void writeOverviewPage(std::vector<OverviewExercise> exercises, std::ostream& out) {
    std::stable_sort(exercises.begin(), exercises.end(), [](const OverviewExercise& a, const OverviewExercise& b) {
        return a.start.has_value() && (!b.start || *a.start > *b.start);
    });
    Totals all;
    for (const OverviewExercise& exercise : exercises) all.add(exercise);

    pugi::xml_document document;
    document.append_child(pugi::node_doctype).set_value("html");
    pugi::xml_node html = document.append_child("html");
    html.append_attribute("xmlns").set_value("http://www.w3.org/1999/xhtml");
    html.append_attribute("lang").set_value("en");
    pugi::xml_node head = element(html, "head");
    element(head, "meta").append_attribute("charset").set_value("utf-8");
    pugi::xml_node viewport = element(head, "meta");
    viewport.append_attribute("name").set_value("viewport");
    viewport.append_attribute("content").set_value("width=device-width, initial-scale=1");
    element(head, "title", "Training history");
    element(head, "style", pageStyleSheet());
    pugi::xml_node body = element(html, "body");
    element(body, "h1", "Training history");
    std::string summary = all.text();
    const auto dated = [](const OverviewExercise& e) { return e.start.has_value(); };
    const auto newest = std::find_if(exercises.begin(), exercises.end(), dated);
    if (newest != exercises.end()) {
        const auto oldest = std::find_if(exercises.rbegin(), exercises.rend(), dated);
        summary += "; " + oldest->startText + " to " + newest->startText;
    }
    element(body, "p", summary, "summary");

    const std::vector<std::string> sports = sportsByTime(exercises);
    if (newest != exercises.end()) {
        const int year = yearOf(*newest->start);
        const std::vector<VolumeBin> years = yearBins(exercises, sports), weeks = weekBins(exercises, sports, year);
        addVolume(body, years, weeks, sports, year);
        addZones(body, exercises, years, weeks, year);
        element(body, "h2", "Training load and form");
        addLoadChart(body, exercises);
    }
    element(body, "h2", "Records");
    addRecordsTable(body, exercises, sports);
    element(body, "h2", "Exercises");
    addExerciseTables(body, exercises);
    // Without indentation, which would add a third to a long history's page
    // and a text node between every two elements for the browser to build.
    document.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
}
