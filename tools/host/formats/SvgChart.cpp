// A chart of one exercise for people: heart rate, speed and altitude over
// time in panels on one time axis, laps as dashed lines; the beat intervals
// (a tachogram) in a panel of their own where the file carries them, and for
// an R-R recording only heart rate and intervals. Each panel
// keeps the lowest and highest value per pixel column, so the chart is
// drawn from one pass over the samples and stays small however long the
// exercise is.
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "tools/host/time/CivilTime.h"
#include "tools/host/formats/Formats.h"
#include "tools/host/time/TimeZone.h"
#include "tools/host/formats/XmlOutput.h"

namespace {

constexpr int kWidth = 1000;
constexpr int kLeft = 70, kRight = 20;  // pixels beside the plots
constexpr int kColumns = kWidth - kLeft - kRight;
constexpr int kTop = 112;  // title, subtitle, note and lap numbers above the first panel
constexpr int kPanelHeight = 150, kPanelGap = 34;
constexpr int kBottom = 36;  // time labels below the last panel

struct Column {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    bool any() const { return low <= high; }
};

struct Series {
    const char* title;
    const char* colour;
    const char* missing;  // shown when the exercise has no such values
    std::function<std::optional<double>(const TrackPoint&)> value;
    std::vector<Column> columns = std::vector<Column>(kColumns);

    bool any() const {
        return std::any_of(columns.begin(), columns.end(), [](const Column& c) { return c.any(); });
    }
};

// 1, 2 or 5 times a power of ten, at least `rough`.
double niceStep(double rough) {
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0})
        if (factor * magnitude >= rough) return factor * magnitude;
    return 10 * magnitude;
}

std::string clockText(int64_t seconds) {
    const std::string text = durationText(seconds);
    return text.substr(0, text.size() - 3);  // h:mm
}

pugi::xml_node addText(pugi::xml_node parent, double x, double y, const std::string& text,
                       const char* anchor = "start") {
    pugi::xml_node node = parent.append_child("text");
    node.append_attribute("x").set_value(numberWith(x, 1).c_str());
    node.append_attribute("y").set_value(numberWith(y, 1).c_str());
    if (std::string(anchor) != "start") node.append_attribute("text-anchor").set_value(anchor);
    node.text().set(xmlText(text).c_str());
    return node;
}

void addLine(pugi::xml_node parent, double x1, double y1, double x2, double y2, const char* style) {
    pugi::xml_node line = parent.append_child("line");
    line.append_attribute("x1").set_value(numberWith(x1, 1).c_str());
    line.append_attribute("y1").set_value(numberWith(y1, 1).c_str());
    line.append_attribute("x2").set_value(numberWith(x2, 1).c_str());
    line.append_attribute("y2").set_value(numberWith(y2, 1).c_str());
    line.append_attribute("class").set_value(style);
}

class Chart {
public:
    explicit Chart(const Track& track)
        : track_(track),
          span_(std::max(1.0, track.duration())),
          series_(chartSeries(track)),
          panels_(static_cast<int>(series_.size()) + (track.beats() ? 1 : 0)),
          height_(kTop + panels_ * (kPanelHeight + kPanelGap) + kBottom) {}

    void write(std::ostream& out) {
        std::vector<Series>& series = series_;
        fillColumns(series);
        if (track_.beats()) series.push_back(tachogram());
        pugi::xml_document document;
        pugi::xml_node svg = document.append_child("svg");
        svg.append_attribute("xmlns").set_value("http://www.w3.org/2000/svg");
        svg.append_attribute("width").set_value(kWidth);
        svg.append_attribute("height").set_value(height_);
        svg.append_attribute("viewBox").set_value(
            ("0 0 " + std::to_string(kWidth) + " " + std::to_string(height_)).c_str());
        svg.append_child("desc").text().set(xmlText(track_.provenance()).c_str());
        svg.append_child("style").text().set(
            "text{font-family:sans-serif;font-size:12px;fill:#333}.title{font-size:18px;font-weight:bold}"
            ".grid{stroke:#e4e4e4}.frame{stroke:#999;fill:none}.lap{stroke:#777;stroke-dasharray:4 3}"
            ".series{fill:none;stroke-width:1.2}.missing{fill:#999;font-style:italic}.lapNumber{fill:#777}");
        svg.append_child("rect").append_attribute("width").set_value("100%");
        svg.last_child().append_attribute("height").set_value("100%");
        svg.last_child().append_attribute("fill").set_value("white");
        addHeading(svg);
        for (size_t i = 0; i < series.size(); ++i)
            addPanel(svg, series[i], kTop + static_cast<int>(i) * (kPanelHeight + kPanelGap));
        addTimeAxis(svg);
        addLaps(svg);
        document.save(out, "  ", pugi::format_indent, pugi::encoding_utf8);
    }

private:
    static std::vector<Series> chartSeries(const Track& track) {
        std::vector<Series> series = {
            {"Heart rate, bpm", "#d62728", "no heart rate recorded",
             [](const TrackPoint& p) { return p.heartRate ? std::optional<double>(*p.heartRate) : std::nullopt; }},
        };
        if (track.fromBeats()) return series;
        series.push_back({"Speed, km/h", "#1f77b4", "no speed recorded", [](const TrackPoint& p) {
                              return p.speed ? std::optional<double>(*p.speed * 3.6) : std::nullopt;
                          }});
        series.push_back(
            {"Altitude, m", "#8c564b", "no altitude recorded", [](const TrackPoint& p) { return p.altitude; }});
        return series;
    }

    // Each beat's interval at the time of the beat.
    Series tachogram() const {
        Series series{"R-R interval, ms", "#2ca02c", "no beat recorded", {}};
        for (const Beat& beat : *track_.beats()) {
            Column& column = series.columns[static_cast<size_t>(columnOf(beat.at / 1000.0))];
            const double interval = beat.interval;
            column.low = std::min(column.low, interval);
            column.high = std::max(column.high, interval);
        }
        return series;
    }

    // One pass over the samples: each column keeps its lowest and highest value.
    void fillColumns(std::vector<Series>& series) const {
        for (int32_t j = 0; j < track_.size(); ++j) {
            const TrackPoint p = track_.point(j);
            for (Series& s : series) {
                const std::optional<double> value = s.value(p);
                if (!value || !std::isfinite(*value)) continue;
                Column& column = s.columns[static_cast<size_t>(columnOf(p.offset))];
                column.low = std::min(column.low, *value);
                column.high = std::max(column.high, *value);
            }
        }
    }

    int columnOf(double offset) const {
        return std::clamp(static_cast<int>(offset / span_ * kColumns), 0, kColumns - 1);
    }
    double xOf(double offset) const { return kLeft + offset / span_ * kColumns; }

    void addHeading(pugi::xml_node svg) const {
        const TrackOrigin& origin = track_.origin();
        const std::string title = origin.rawFile + exerciseLabel(origin);
        addText(svg, kLeft, 28, title).append_attribute("class").set_value("title");
        std::string start = isoDateTime(track_.startTime() + origin.utcOffset, "");
        start[10] = ' ';
        std::string subtitle = start.substr(0, 16) + " " + utcOffsetText(origin.utcOffset) + " (" +
                               offsetSourceText(origin.offsetSource) + ")" + "  \xc2\xb7  " +
                               durationText(std::llround(track_.duration()));
        if (const std::optional<double> distance = track_.totalDistance())
            subtitle += "  \xc2\xb7  " + numberWith(*distance / 1000, 2) + " km";
        if (track_.fromBeats())
            subtitle += "  \xc2\xb7  " + std::to_string(track_.beats()->size()) + " beats";
        else
            subtitle += "  \xc2\xb7  " + std::to_string(track_.size()) + " samples";
        if (track_.origin().usUnits) subtitle += "  \xc2\xb7  recorded in US units";
        addText(svg, kLeft, 50, subtitle);
        const std::string& note = track_.note();
        if (!note.empty()) {
            std::string line = note.substr(0, note.find_first_of("\r\n"));
            if (line.size() > 140) line = line.substr(0, 137) + "...";
            addText(svg, kLeft, 68, line).append_attribute("font-style").set_value("italic");
        }
    }

    void addPanel(pugi::xml_node svg, const Series& series, int top) const {
        const int bottom = top + kPanelHeight;
        addText(svg, kLeft, top - 6, series.title).append_attribute("fill").set_value(series.colour);
        pugi::xml_node frame = svg.append_child("rect");
        frame.append_attribute("x").set_value(kLeft);
        frame.append_attribute("y").set_value(top);
        frame.append_attribute("width").set_value(kColumns);
        frame.append_attribute("height").set_value(kPanelHeight);
        frame.append_attribute("class").set_value("frame");
        if (!series.any()) {
            addText(svg, kLeft + kColumns / 2.0, top + kPanelHeight / 2.0, series.missing, "middle")
                .append_attribute("class")
                .set_value("missing");
            return;
        }
        double low = std::numeric_limits<double>::infinity(), high = -low;
        for (const Column& c : series.columns) {
            if (!c.any()) continue;
            low = std::min(low, c.low);
            high = std::max(high, c.high);
        }
        const double step = niceStep(std::max(high - low, 1.0) / 4);
        low = std::floor(low / step) * step;
        high = std::max(std::ceil(high / step) * step, low + step);
        const auto yOf = [&](double value) { return bottom - (value - low) / (high - low) * kPanelHeight; };
        for (double tick = low; tick <= high + step / 2; tick += step) {
            addLine(svg, kLeft, yOf(tick), kLeft + kColumns, yOf(tick), "grid");
            addText(svg, kLeft - 6, yOf(tick) + 4, numberWith(tick, 1), "end");
        }
        std::string path;
        for (int c = 0; c < kColumns; ++c) {
            const Column& column = series.columns[static_cast<size_t>(c)];
            if (!column.any()) continue;
            path += path.empty() ? "M" : " L";
            const std::string x = numberWith(kLeft + c + 0.5, 1);
            path += x + "," + numberWith(yOf(column.high), 1);
            if (column.low < column.high) path += " L" + x + "," + numberWith(yOf(column.low), 1);
        }
        pugi::xml_node line = svg.append_child("path");
        line.append_attribute("d").set_value(path.c_str());
        line.append_attribute("class").set_value("series");
        line.append_attribute("stroke").set_value(series.colour);
    }

    void addTimeAxis(pugi::xml_node svg) const {
        static constexpr int64_t kSteps[] = {60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400};
        int64_t step = kSteps[std::size(kSteps) - 1];
        for (const int64_t candidate : kSteps)
            if (span_ / static_cast<double>(candidate) <= 10) {
                step = candidate;
                break;
            }
        const int axis = height_ - kBottom;
        for (int64_t t = 0; t <= span_; t += step) {
            for (int panel = 0; panel < panels_; ++panel) {
                const int top = kTop + panel * (kPanelHeight + kPanelGap);
                addLine(svg, xOf(t), top, xOf(t), top + kPanelHeight, "grid");
            }
            addText(svg, xOf(t), axis - kPanelGap + 18, clockText(t), "middle");
        }
        addText(svg, kLeft + kColumns, axis - kPanelGap + 32, "time since the start, h:mm", "end");
    }

    // A dashed line where a lap ends, its number over its middle where there is room.
    void addLaps(pugi::xml_node svg) const {
        if (!track_.lapsFromFile()) return;
        const int lastPanelBottom = kTop + (panels_ - 1) * (kPanelHeight + kPanelGap) + kPanelHeight;
        const std::vector<TrackLap>& laps = track_.laps();
        for (size_t k = 0; k < laps.size(); ++k) {
            const double begin = std::clamp(static_cast<double>(laps[k].start - track_.startTime()), 0.0, span_);
            const double end = std::clamp(begin + laps[k].duration, begin, span_);
            if (end < span_) addLine(svg, xOf(end), kTop, xOf(end), lastPanelBottom, "lap");
            if (xOf(end) - xOf(begin) >= 40)
                addText(svg, (xOf(begin) + xOf(end)) / 2, kTop - 24, "lap " + std::to_string(k + 1), "middle")
                    .append_attribute("class")
                    .set_value("lapNumber");
        }
    }

    const Track& track_;
    double span_;  // seconds the time axis covers
    std::vector<Series> series_;
    int panels_;
    int height_;
};

}  // namespace

void writeSvg(const Track& track, std::ostream& out) { Chart(track).write(out); }
