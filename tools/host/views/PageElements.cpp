#include "tools/host/views/PageElements.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "tools/host/formats/XmlOutput.h"
#include "tools/host/time/CivilTime.h"

pugi::xml_node element(pugi::xml_node parent, const char* name, const std::string& text, const char* style) {
    pugi::xml_node node = parent.append_child(name);
    if (style) node.append_attribute("class").set_value(style);
    if (!text.empty()) node.text().set(xmlText(text).c_str());
    return node;
}

std::string href(const std::string& path) {
    std::string link;
    for (const char c : path) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            std::string_view("/-._~").find(c) != std::string_view::npos) {
            link += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            link += escaped;
        }
    }
    return link;
}

void link(pugi::xml_node parent, const std::string& path, const std::string& text) {
    pugi::xml_node a = element(parent, "a", text);
    a.append_attribute("href").set_value(href(path).c_str());
}

bool isChart(const std::string& path) { return path.size() > 4 && path.compare(path.size() - 4, 4, ".svg") == 0; }

std::string chartOf(const OverviewExercise& exercise) {
    const auto chart = std::find_if(exercise.files.begin(), exercise.files.end(), isChart);
    return chart == exercise.files.end() ? "" : *chart;
}

void exerciseLink(pugi::xml_node parent, const OverviewExercise& exercise) {
    const std::string chart = chartOf(exercise);
    if (chart.empty())
        parent.append_child(pugi::node_pcdata).set_value(xmlText(exercise.name).c_str());
    else
        link(parent, chart, exercise.name);
}

int64_t dayOf(int64_t start) { return start >= 0 ? start / 86400 : -((-start + 86399) / 86400); }

int yearOf(int64_t start) { return civilFromSeconds(start).year; }

std::string dayText(int64_t day) {
    const CivilDateTime date = civilFromSeconds(day * 86400);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}
