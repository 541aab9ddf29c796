#include "tools/host/views/LoadChart.h"

#include <algorithm>
#include <string>

#include "tools/host/time/CivilTime.h"
#include "tools/host/views/ChartScale.h"
#include "tools/host/views/PageElements.h"
#include "tools/host/views/StackedBars.h"
#include "tools/host/views/SvgDocument.h"
#include "tools/host/views/TrainingLoad.h"

namespace {

// As wide as the page: at its width the text is drawn at about its size.
constexpr double kWidth = 1100, kHeight = 320;
constexpr double kLeft = 80, kRight = 8, kTop = 18, kBottom = 30;
// At most this many points a line, one a unit of width: a day each for three
// years, else the mean of the days that fall on one point, so that twenty
// years stay light.
constexpr size_t kPoints = 1100;

struct Line {
    const char* style;
    double FormDay::*value;
};
// In the style classes of the legend's swatches.
constexpr Line kLines[] = {{"l0", &FormDay::fitness}, {"l1", &FormDay::fatigue}, {"l2", &FormDay::form}};

void addYearTicks(pugi::xml_node svg, const std::vector<FormDay>& days, double x0, double dayWidth) {
    const int first = civilFromSeconds(days.front().day * 86400).year + 1;
    const int last = civilFromSeconds(days.back().day * 86400).year;
    const int step = std::max(1, (last - first + 1) / 12 + 1);
    int shown = 0;
    for (int year = first; year <= last; year += step) {
        const double x = x0 + static_cast<double>(*unixDays(year, 1, 1) - days.front().day) * dayWidth;
        addLine(svg, x, kTop, x, kHeight - kBottom, "year");
        addText(svg, x, kHeight - 9, std::to_string(year), shown++ % 2 ? "minor" : nullptr, "middle");
    }
}

void addLines(pugi::xml_node svg, const std::vector<FormDay>& days) {
    double low = 0, high = 0;
    for (const FormDay& day : days) {
        low = std::min({low, day.form, day.fitness, day.fatigue});
        high = std::max({high, day.form, day.fitness, day.fatigue});
    }
    const AxisScale scale = valueScale(low, high, 10);
    const double plotWidth = kWidth - kLeft - kRight, plotHeight = kHeight - kTop - kBottom;
    const auto yOf = [&](double value) {
        return kHeight - kBottom - (value - scale.low) / (scale.high - scale.low) * plotHeight;
    };
    pugi::xml_node grid = addGroup(svg, "grid");
    for (int k = 0; k < scale.ticks(); ++k) {
        addLine(grid, kLeft, yOf(scale.tick(k)), kWidth - kRight, yOf(scale.tick(k)), nullptr);
        addText(svg, kLeft - 6, yOf(scale.tick(k)) + 4, tickText(scale.tick(k), scale.step), nullptr, "end");
    }
    addLine(svg, kLeft, yOf(0), kWidth - kRight, yOf(0), "axis");
    const double dayWidth = plotWidth / static_cast<double>(days.size());
    addYearTicks(svg, days, kLeft, dayWidth);

    const size_t points = std::min(days.size(), kPoints);
    for (const Line& line : kLines) {
        PathData path;
        for (size_t point = 0; point < points; ++point) {
            const size_t from = point * days.size() / points, to = (point + 1) * days.size() / points;
            double sum = 0;
            for (size_t day = from; day < to; ++day) sum += days[day].*line.value;
            const double x = kLeft + (static_cast<double>(from + to) / 2) * dayWidth;
            const double y = yOf(sum / static_cast<double>(to - from));
            if (path.empty())
                path.moveTo(x, y);
            else
                path.lineTo(x, y);
        }
        pugi::xml_node drawn = svg.append_child("path");
        drawn.append_attribute("d").set_value(path.text().c_str());
        drawn.append_attribute("class").set_value(line.style);
    }
}

// Each month's load and the fitness, fatigue and form of its last day.
void addMonthTable(pugi::xml_node parent, const std::vector<FormDay>& days) {
    pugi::xml_node details = element(parent, "details");
    element(details, "summary", "The numbers, month by month");
    pugi::xml_node table = element(element(details, "div", "", "scroll"), "table", "", "numbers");
    pugi::xml_node header = element(element(table, "thead"), "tr");
    for (const char* title : {"Month", "Load", "Fitness", "Fatigue", "Form"}) element(header, "th", title);
    pugi::xml_node body = element(table, "tbody");
    double load = 0;
    for (size_t i = 0; i < days.size(); ++i) {
        load += days[i].load;
        const std::string month = dayText(days[i].day).substr(0, 7);
        if (i + 1 < days.size() && dayText(days[i + 1].day).substr(0, 7) == month) continue;
        pugi::xml_node row = element(body, "tr");
        element(row, "th", month);
        for (const double value : {load, days[i].fitness, days[i].fatigue, days[i].form})
            element(row, "td", fixedText(value, 0), "number");
        load = 0;
    }
}

}  // namespace

void addLoadChart(pugi::xml_node parent, const std::vector<OverviewExercise>& exercises) {
    std::vector<DayLoad> loads;
    int without = 0;
    for (const OverviewExercise& exercise : exercises) {
        if (!exercise.start) continue;
        if (exercise.load)
            loads.push_back({dayOf(*exercise.start), *exercise.load});
        else
            ++without;
    }
    // Sixty years: a lifetime of training; a date beyond is a wrong one.
    const size_t given = loads.size();
    loads = busiestSpan(std::move(loads), 60 * 366);
    const size_t outside = given - loads.size();
    if (loads.empty()) {
        element(parent, "p", "No exercise has a training load, which is reckoned from heart rate.", "note");
        return;
    }
    const std::vector<FormDay> days = trainingLoad(loads);
    pugi::xml_node figure = element(parent, "div", "", "figure");
    const FormDay& last = days.back();
    element(figure, "h3",
            "Fitness " + fixedText(last.fitness, 0) + ", fatigue " + fixedText(last.fatigue, 0) + ", form " +
                fixedText(last.form, 0) + " on " + dayText(last.day));
    // Scrolled to its newest days where the page is narrower than the chart.
    const std::string title = "Fitness, fatigue and form from " + dayText(days.front().day) + " to " + dayText(last.day);
    addLines(addChartSvg(element(figure, "div", "", "scroll recent"), kWidth, kHeight, title, "chart wide"), days);
    addLegend(figure, {"Fitness (42-day load)", "Fatigue (7-day load)", "Form (fitness \xe2\x88\x92 fatigue)"}, "l");
    element(figure, "p",
            "Banister's impulse-response model as the performance management chart draws it. Each exercise's "
            "load is its heart-rate training impulse by Edwards' method (Edwards, S. (1993) The Heart Rate "
            "Monitor Book): the minutes in each heart-rate zone times the zone's number, 1 to 5, the zones at "
            "50-60, 60-70, 70-80, 80-90 and 90-100 % of the maximum heart rate; a day's load is that of its "
            "exercises, 0 on a day "
            "without. Fitness is the exponentially weighted average of the daily loads over 42 days "
            "(fitness = yesterday's + (load \xe2\x88\x92 yesterday's) / 42), fatigue the same over 7 days; form is "
            "fitness minus fatigue of the day before, what a day starts with. Days are counted in UTC.",
            "note");
    if (without > 0)
        element(figure, "p",
                std::to_string(without) + (without == 1 ? " exercise has" : " exercises have") +
                    " no heart rate and counts as no load.",
                "note");
    if (outside > 0)
        element(figure, "p",
                std::to_string(outside) + (outside == 1 ? " exercise is" : " exercises are") +
                    " left out, dated more than 60 years from most of the others.",
                "note");
    addMonthTable(figure, days);
}
