#include "tools/host/views/StackedBars.h"

#include <algorithm>
#include <numeric>

#include "tools/host/views/ChartScale.h"
#include "tools/host/views/PageElements.h"
#include "tools/host/views/SvgDocument.h"

namespace {

constexpr double kWidth = 720, kHeight = 220;
constexpr double kLeft = 64, kRight = 8, kTop = 18, kBottom = 24;
constexpr double kFontSize = 13;  // of the axis labels, as the style sheet sets it

std::string partStyle(const std::string& prefix, size_t part) { return prefix + std::to_string(part); }

void addAxes(pugi::xml_node svg, const StackedBarChart& chart, const AxisScale& scale) {
    const double plotHeight = kHeight - kTop - kBottom;
    pugi::xml_node grid = addGroup(svg, "grid");
    for (int k = 0; k < scale.ticks(); ++k) {
        const double y = kHeight - kBottom - (scale.tick(k) - scale.low) / (scale.high - scale.low) * plotHeight;
        addLine(grid, kLeft, y, kWidth - kRight, y, nullptr);
        addText(svg, kLeft - 6, y + 4, tickText(scale.tick(k), scale.step), nullptr, "end");
    }
    // Labels where they do not run into the one before; every other one of
    // those left out at a phone's width, where the text is drawn larger.
    const double slot = (kWidth - kLeft - kRight) / static_cast<double>(chart.axisLabels.size());
    double free = kLeft;
    int shown = 0;
    for (size_t bar = 0; bar < chart.axisLabels.size(); ++bar) {
        const std::string& label = chart.axisLabels[bar];
        const double x = kLeft + (static_cast<double>(bar) + 0.5) * slot, half = textWidth(label, kFontSize) / 2;
        if (label.empty() || x - half < free) continue;
        addText(svg, x, kHeight - 7, label, shown++ % 2 ? "minor" : nullptr, "middle");
        free = x + half + kFontSize / 2;
    }
}

void addTable(pugi::xml_node parent, const StackedBarChart& chart) {
    pugi::xml_node details = element(parent, "details");
    element(details, "summary", "The numbers (" + chart.unit + ")");
    pugi::xml_node scroll = element(details, "div", "", "scroll");
    pugi::xml_node table = element(scroll, "table", "", "numbers");
    pugi::xml_node header = element(element(table, "thead"), "tr");
    element(header, "th", chart.barHeading);
    for (const std::string& part : chart.parts) element(header, "th", part);
    element(header, "th", "Total");
    pugi::xml_node body = element(table, "tbody");
    for (size_t bar = 0; bar < chart.values.size(); ++bar) {
        pugi::xml_node row = element(body, "tr");
        element(row, "th", chart.labels[bar]);
        for (const double value : chart.values[bar]) element(row, "td", fixedText(value, chart.decimals), "number");
        const double total = std::accumulate(chart.values[bar].begin(), chart.values[bar].end(), 0.0);
        element(row, "td", fixedText(total, chart.decimals), "number");
    }
}

}  // namespace

pugi::xml_node addChartSvg(pugi::xml_node parent, double width, double height, const std::string& title,
                           const char* style) {
    pugi::xml_node svg = parent.append_child("svg");
    svg.append_attribute("xmlns").set_value("http://www.w3.org/2000/svg");
    svg.append_attribute("viewBox").set_value(("0 0 " + fixedText(width, 0) + " " + fixedText(height, 0)).c_str());
    svg.append_attribute("class").set_value(style);
    svg.append_attribute("role").set_value("img");
    element(svg, "title", title);
    return svg;
}

void addLegend(pugi::xml_node parent, const std::vector<std::string>& parts, const std::string& partClass) {
    pugi::xml_node legend = element(parent, "p", "", "legend");
    for (size_t part = 0; part < parts.size(); ++part)
        element(legend, "span", parts[part], ("key " + partStyle(partClass, part)).c_str());
}

void addStackedBars(pugi::xml_node parent, const StackedBarChart& chart) {
    pugi::xml_node figure = element(parent, "div", "", "figure");
    element(figure, "h3", chart.title + " (" + chart.unit + ")");
    double highest = 0;
    for (const std::vector<double>& bar : chart.values)
        highest = std::max(highest, std::accumulate(bar.begin(), bar.end(), 0.0));
    const AxisScale scale = valueScale(0, highest, 1);
    pugi::xml_node svg = addChartSvg(figure, kWidth, kHeight, chart.title);
    addAxes(svg, chart, scale);

    const double plotHeight = kHeight - kTop - kBottom;
    const double slot = (kWidth - kLeft - kRight) / static_cast<double>(std::max<size_t>(chart.values.size(), 1));
    const double barWidth = std::max(slot * 0.75, std::min(slot, 1.0));
    for (size_t bar = 0; bar < chart.values.size(); ++bar) {
        const double x = kLeft + static_cast<double>(bar) * slot + (slot - barWidth) / 2;
        double y = kHeight - kBottom;
        for (size_t part = 0; part < chart.values[bar].size(); ++part) {
            const double value = chart.values[bar][part];
            if (value <= 0) continue;
            const double height = value / (scale.high - scale.low) * plotHeight;
            y -= height;
            pugi::xml_node rect = addRect(svg, x, y, barWidth, height, partStyle(chart.partClass, part).c_str());
            element(rect, "title",
                    chart.labels[bar] + ", " + chart.parts[part] + ": " + fixedText(value, chart.decimals) + " " +
                        chart.unit);
        }
    }
    addLine(svg, kLeft, kHeight - kBottom, kWidth - kRight, kHeight - kBottom, "axis");
    addLegend(figure, chart.parts, chart.partClass);
    addTable(figure, chart);
}
