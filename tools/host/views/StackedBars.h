#pragma once

#include <pugixml.hpp>
#include <string>
#include <vector>

// A bar chart of parts stacked per bar (time per sport per year), drawn as
// inline SVG that scales with the page, its legend, and the numbers behind
// it as a table for those who read rather than look.

struct StackedBarChart {
    std::string title;        // "Training time per year"
    std::string unit;         // "h", of every value; in the title
    std::string barHeading;   // the table's first column: "Year"
    std::vector<std::string> labels;      // per bar, in the table and the bar's tooltip
    std::vector<std::string> axisLabels;  // per bar under it, "" for none; shown where they fit
    std::vector<std::string> parts;       // the names of what is stacked, bottom first
    std::string partClass;    // class prefix: part k is drawn in the style class partClass + k
    std::vector<std::vector<double>> values;  // [bar][part]
    int decimals = 1;
};

void addStackedBars(pugi::xml_node parent, const StackedBarChart& chart);

// The inline SVG's root, `width` by `height` user units scaled to the page's
// width; `style` "chart", or "chart wide" for one as wide as the page.
pugi::xml_node addChartSvg(pugi::xml_node parent, double width, double height, const std::string& title,
                           const char* style = "chart");
// The names of `parts` beside swatches of their style classes `partClass` + k.
void addLegend(pugi::xml_node parent, const std::vector<std::string>& parts, const std::string& partClass);
