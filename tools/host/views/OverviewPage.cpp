#include "tools/host/views/OverviewPage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string_view>
#include <pugixml.hpp>

#include "tools/host/formats/XmlOutput.h"
#include "tools/host/time/CivilTime.h"
#include "tools/host/views/ExerciseText.h"

namespace {

constexpr char kNone[] = "\xe2\x80\x93";  // en dash

constexpr char kStyleSheet[] =
    "body{font-family:sans-serif;color:#222;margin:24px}"
    "h1{font-size:22px;margin:0 0 4px}p.summary{color:#555;margin:0 0 16px}"
    "table{border-collapse:collapse;font-size:14px}"
    "th,td{padding:4px 10px;text-align:left;vertical-align:top;white-space:nowrap}td.name{white-space:normal}"
    "thead th{border-bottom:2px solid #999}"
    "tr.year th{font-size:16px;padding-top:18px;border-bottom:1px solid #bbb}"
    "tr.year span{font-weight:normal;color:#555;font-size:13px;margin-left:12px}"
    "tbody tr.exercise:nth-child(even){background:#f4f4f4}"
    "td.number{text-align:right}"
    "span.source{display:block;color:#777;font-size:12px}"
    "td.files a{margin-right:8px}";

// A relative path as a link: every byte but letters, digits, '/' and "-._~" percent-encoded.
std::string href(const std::string& path) {
    std::string link;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            std::string_view("/-._~").find(c) != std::string_view::npos) {
            link += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            link += escaped;
        }
    }
    return link;
}

bool isChart(const std::string& path) { return path.size() > 4 && path.compare(path.size() - 4, 4, ".svg") == 0; }

// "chart", or the extension in capitals: "FIT".
std::string fileLabel(const std::string& path) {
    if (isChart(path)) return "chart";
    std::string extension = path.substr(path.find_last_of('.') + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return extension;
}

pugi::xml_node element(pugi::xml_node parent, const char* name, const std::string& text = "",
                       const char* style = nullptr) {
    pugi::xml_node node = parent.append_child(name);
    if (style) node.append_attribute("class").set_value(style);
    if (!text.empty()) node.text().set(xmlText(text).c_str());
    return node;
}

void link(pugi::xml_node parent, const std::string& path, const std::string& text) {
    pugi::xml_node a = element(parent, "a", text);
    a.append_attribute("href").set_value(href(path).c_str());
}

int yearOf(int64_t start) { return civilFromSeconds(start).year; }

struct Totals {
    int count = 0;
    double seconds = 0, metres = 0;
    int kcal = 0;
    void add(const OverviewExercise& exercise) {
        ++count;
        seconds += exercise.duration.value_or(0);
        metres += exercise.distance.value_or(0);
        kcal += exercise.energy.value_or(0);
    }
    std::string text() const {
        std::string out = std::to_string(count) + (count == 1 ? " exercise" : " exercises");
        out += ", " + durationText(std::llround(seconds));
        if (metres > 0) out += ", " + kilometresText(metres);
        if (kcal > 0) out += ", " + std::to_string(kcal) + " kcal";
        return out;
    }
};

void addRow(pugi::xml_node body, const OverviewExercise& exercise) {
    pugi::xml_node row = element(body, "tr", "", "exercise");
    element(row, "td", exercise.startText);
    pugi::xml_node name = element(row, "td", "", "name");
    const auto chart = std::find_if(exercise.files.begin(), exercise.files.end(), isChart);
    if (chart != exercise.files.end())
        link(name, *chart, exercise.name);
    else
        name.text().set(xmlText(exercise.name).c_str());
    // Where it came from, where the name or the folder does not tell.
    if (exercise.source != exercise.name || !exercise.folder.empty())
        element(name, "span", exercise.folder + exercise.source, "source");
    element(row, "td", exercise.sport);
    element(row, "td", exercise.duration ? durationText(std::llround(*exercise.duration)) : kNone, "number");
    element(row, "td", exercise.distance ? kilometresText(*exercise.distance) : kNone, "number");
    element(row, "td", exercise.averageHeartRate ? std::to_string(*exercise.averageHeartRate) + " bpm" : kNone,
            "number");
    element(row, "td", exercise.energy ? std::to_string(*exercise.energy) + " kcal" : kNone, "number");
    pugi::xml_node files = element(row, "td", "", "files");
    for (const std::string& file : exercise.files) link(files, file, fileLabel(file));
    if (exercise.files.empty()) files.text().set(kNone);
}

}  // namespace

void writeOverviewPage(std::vector<OverviewExercise> exercises, std::ostream& out) {
    std::stable_sort(exercises.begin(), exercises.end(), [](const OverviewExercise& a, const OverviewExercise& b) {
        return a.start.has_value() && (!b.start || *a.start > *b.start);
    });
    Totals all;
    std::map<int, Totals> years;
    for (const OverviewExercise& exercise : exercises) {
        all.add(exercise);
        if (exercise.start) years[yearOf(*exercise.start)].add(exercise);
    }

    pugi::xml_document document;
    document.append_child(pugi::node_doctype).set_value("html");
    pugi::xml_node html = document.append_child("html");
    html.append_attribute("xmlns").set_value("http://www.w3.org/1999/xhtml");
    html.append_attribute("lang").set_value("en");
    pugi::xml_node head = element(html, "head");
    element(head, "meta").append_attribute("charset").set_value("utf-8");
    element(head, "title", "Exercises");
    element(head, "style", kStyleSheet);
    pugi::xml_node body = element(html, "body");
    element(body, "h1", "Exercises");
    std::string summary = all.text();
    if (!years.empty()) {
        const auto dated = [](const OverviewExercise& e) { return e.start.has_value(); };
        const auto newest = std::find_if(exercises.begin(), exercises.end(), dated);
        const auto oldest = std::find_if(exercises.rbegin(), exercises.rend(), dated);
        summary += "; " + oldest->startText + " to " + newest->startText;
    }
    element(body, "p", summary, "summary");

    pugi::xml_node table = element(body, "table");
    pugi::xml_node header = element(element(table, "thead"), "tr");
    for (const char* title : {"Date", "Exercise", "Sport", "Duration", "Distance", "Avg HR", "Energy", "Files"})
        element(header, "th", title);
    pugi::xml_node rows = element(table, "tbody");
    int year = -1;  // of the row before; -1 for none or no date
    for (const OverviewExercise& exercise : exercises) {
        const int own = exercise.start ? yearOf(*exercise.start) : -1;
        if (years.size() > 1 && own != year && own != -1) {
            pugi::xml_node heading = element(element(rows, "tr", "", "year"), "th", std::to_string(own));
            heading.append_attribute("colspan").set_value(8);
            element(heading, "span", years[own].text());
        }
        year = own;
        addRow(rows, exercise);
    }
    document.save(out, "  ", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
}
