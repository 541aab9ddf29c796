// A chart of one exercise for people: a heading that tells the exercise,
// a panel per series the track records on one time axis, the laps marked
// and labelled over them; under them the route where there are positions
// and a table of the laps. Each panel keeps the lowest and highest value
// per pixel column and the route a bounded number of points, so the chart
// is drawn from one pass over the samples and stays small however long
// the exercise is.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tools/host/views/SvgChart.h"

#include "tools/host/formats/XmlOutput.h"
#include "tools/host/time/CivilTime.h"
#include "tools/host/time/TimeZone.h"
#include "tools/host/views/ChartScale.h"
#include "tools/host/views/ChartSeries.h"
#include "tools/host/views/ExerciseText.h"
#include "tools/host/views/LapLabels.h"
#include "tools/host/views/LapTable.h"
#include "tools/host/views/RouteSketch.h"
#include "tools/host/views/SvgDocument.h"

namespace {

constexpr int kWidth = 1000;
constexpr int kLeft = 70, kRight = 30;  // pixels beside the plots
constexpr int kColumns = kWidth - kLeft - kRight;
// A panel's height: taller where there are few. A balance needs less.
constexpr double kPanelHeights[] = {180, 150, 120, 110};
constexpr double kBalanceHeight = 64, kLowPanel = 100;
constexpr double kPanelTitle = 24;  // above each panel: its title and figures
constexpr double kLapRow = 15;
constexpr double kRouteSize = 440, kSmallestRoute = 280;  // the route's side at most, and beside the table at least
constexpr double kSectionGap = 36;
constexpr size_t kLongestTitle = 70, kLongestNote = 140;  // characters
const std::string kDot = "  \xc2\xb7  ";

constexpr char kStyleSheet[] =
    "text{font-family:sans-serif;font-size:12px;fill:#333}"
    ".title{font-size:20px;font-weight:bold;fill:#222}.facts{font-size:13px}.source{font-size:11px;fill:#777}"
    ".note{font-style:italic}.panelTitle{font-size:13px;font-weight:bold}.figures{fill:#555}"
    ".tick{font-size:11px;fill:#555}.axisTitle{font-size:11px;fill:#777}.missing{fill:#999;font-style:italic}"
    ".grid{stroke:#ebebeb}.frame{stroke:#aaa;fill:none}.lap{stroke:#888;stroke-dasharray:4 3}"
    ".lapLabel{font-size:11px;fill:#555}.reference{stroke:#999;stroke-dasharray:2 2}"
    ".series{fill:none;stroke-width:1.3;stroke-linejoin:round;stroke-linecap:round}"
    ".routeLine{fill:none;stroke:#1f4e9c;stroke-width:2;stroke-linejoin:round;stroke-linecap:round}"
    ".startMark{fill:#2ca02c;stroke:#fff}.finishMark{fill:#222;stroke:#fff}.lapMark{fill:#fff;stroke:#333}"
    ".markLabel{font-size:10px;fill:#333}.scaleBar{stroke:#333;stroke-width:2}"
    ".tableHead{font-weight:bold}.tableUnit{fill:#777}.stripe{fill:#f3f3f3}";

class Chart {
public:
    explicit Chart(const Track& track)
        : track_(track),
          timed_(track.timed()),
          span_(std::max(1.0, timed_ ? std::max(track.duration(), lastBeat()) : track.size() - 1.0)),
          time_(spanScale(span_, timed_)),
          lapFigures_(track) {
        // A file in US units holds 0 degrees Fahrenheit where nothing measured the temperature.
        const double unreadTemperature = track.origin().usUnits ? -160.0 / 9 : 0;
        for (const SeriesKind kind : chartSeries(track))
            series_.emplace_back(kind, kColumns, kind == SeriesKind::Temperature ? unreadTemperature : 0);
    }

    void write(std::ostream& out) {
        collect();
        pugi::xml_document document;
        pugi::xml_node svg = document.append_child("svg");
        svg.append_attribute("xmlns").set_value("http://www.w3.org/2000/svg");
        svg.append_child("desc").text().set(xmlText(track_.provenance()).c_str());
        svg.append_child("style").text().set(kStyleSheet);
        addRect(svg, 0, 0, kWidth, 0, nullptr).append_attribute("fill").set_value("white");

        double y = heading(svg);
        const std::vector<LapSpan> spans = lapSpans();
        const std::vector<LapLabel> labels = lapLabels(spans, kLeft, kLeft + kColumns);
        int rows = 0;
        for (const LapLabel& label : labels) rows = std::max(rows, label.row + 1);
        y += rows * kLapRow;
        for (const LapLabel& label : labels)
            addText(svg, label.middle, y - 4 - label.row * kLapRow, label.text, "lapLabel", "middle");
        y += kPanelTitle;
        const auto panels = std::count_if(series_.begin(), series_.end(), [](const SeriesColumns& s) { return s.recorded(); });
        panelHeight_ = kPanelHeights[std::clamp<size_t>(static_cast<size_t>(panels), 1, std::size(kPanelHeights)) - 1];
        bool any = false;
        for (const SeriesColumns& series : series_) {
            if (!series.recorded()) continue;
            y = panel(svg, series, spans, y) + kPanelTitle;
            any = true;
        }
        if (!any) {
            addText(svg, kLeft, y, "no heart rate nor any other value recorded", "missing");
            y += kPanelTitle;
        } else {
            y = timeAxis(svg, y - kPanelTitle);
        }
        y = bottom(svg, y + kSectionGap);

        const std::string height = numberWith(std::ceil(y + 12), 0);
        svg.append_attribute("width").set_value(kWidth);
        svg.append_attribute("height").set_value(height.c_str());
        svg.append_attribute("viewBox").set_value(("0 0 " + std::to_string(kWidth) + " " + height).c_str());
        svg.child("rect").attribute("height").set_value(height.c_str());
        document.save(out, "  ", pugi::format_indent, pugi::encoding_utf8);
    }

private:
    double lastBeat() const {
        return track_.beats() && !track_.beats()->empty() ? track_.beats()->back().at / 1000.0 : 0;
    }

    int columnOf(double at) const {
        return static_cast<int>(std::clamp(std::floor(at / span_ * kColumns), 0.0, kColumns - 1.0));
    }
    double xOf(double at) const { return kLeft + std::clamp(at, 0.0, span_) / span_ * kColumns; }

    // The one pass over the points, then the beats.
    void collect() {
        const std::vector<TrackLap>& laps = track_.laps();
        size_t lap = 0;
        for (int32_t j = 0; j < track_.size(); ++j) {
            for (; lap + 1 < laps.size() && laps[lap].endSample <= j; ++lap) route_.markLapEnd(static_cast<int>(lap + 1));
            const TrackPoint p = track_.point(j);
            lapFigures_.add(j, p);
            const int column = columnOf(timed_ ? p.offset : j);
            for (SeriesColumns& series : series_) {
                const std::optional<double> value = seriesValue(series.kind(), p);
                value ? series.add(column, *value) : series.miss();
            }
            if (p.hasPosition) route_.add(p.latitude, p.longitude);
        }
        for (; lap + 1 < laps.size(); ++lap) route_.markLapEnd(static_cast<int>(lap + 1));
        if (!track_.beats() || series_.back().kind() != SeriesKind::Interval) return;
        const std::vector<Beat>& beats = *track_.beats();
        for (size_t k = 0; k < beats.size(); ++k) {
            const double at = timed_ ? beats[k].at / 1000.0 : span_ * static_cast<double>(k) / beats.size();
            series_.back().add(columnOf(at), beats[k].interval);
        }
    }

    // The file's laps on the time axis; none where the samples have no times.
    std::vector<LapSpan> lapSpans() const {
        std::vector<LapSpan> spans;
        if (!track_.lapsFromFile() || !timed_) return spans;
        for (const TrackLap& lap : track_.laps()) {
            const double begin = static_cast<double>(lap.start - track_.startTime());
            spans.push_back({xOf(begin), xOf(begin + std::max(lap.duration, 0.0)), lap.name});
        }
        return spans;
    }

    // Title, facts, where they came from and the note; the y below them.
    double heading(pugi::xml_node svg) const {
        addText(svg, kLeft, 30, shortened(exerciseTitle(track_), kLongestTitle), "title");
        std::string facts = sportTitle(track_.sport());
        if (const std::optional<std::string> start = startText(track_))
            facts += kDot + *start + " " + utcOffsetText(track_.origin().utcOffset);
        else
            facts += kDot + "no date in the file, started " + startClockText(track_);
        if (timed_)
            facts += kDot + durationText(std::llround(track_.duration()));
        else
            facts += kDot + "no recording interval: the samples in order, without times";
        // Without times the monitor measured no distance.
        if (const std::optional<double> distance = track_.totalDistance(); distance && timed_)
            facts += kDot + kilometresText(*distance);
        if (const std::optional<int> energy = track_.energy()) facts += kDot + std::to_string(*energy) + " kcal";
        if (track_.fromBeats())
            facts += kDot + std::to_string(track_.beats()->size()) + " beats";
        else
            facts += kDot + std::to_string(track_.size()) + " samples";
        addText(svg, kLeft, 54, facts, "facts");

        std::string source = fileTitle(track_);
        if (track_.beats() && !track_.fromBeats()) source += " with the R-R intervals recorded beside it";
        if (track_.dated())
            source += kDot + "times read at " + utcOffsetText(track_.origin().utcOffset) + ", " +
                      offsetSourceText(track_.origin().offsetSource);
        if (track_.origin().usUnits) source += kDot + "recorded in US units, shown in metric";
        addText(svg, kLeft, 73, source, "source");
        const std::string& note = track_.note();
        if (note.empty()) return 86;
        addText(svg, kLeft, 92, shortened(note.substr(0, note.find_first_of("\r\n")), kLongestNote), "note");
        return 104;
    }

    // A series' panel under its title at `top`; the y of its bottom.
    double panel(pugi::xml_node svg, const SeriesColumns& series, const std::vector<LapSpan>& laps, double top) const {
        const SeriesStyle& style = seriesStyle(series.kind());
        const bool pace = series.kind() == SeriesKind::Pace;
        const double height = series.kind() == SeriesKind::Balance ? kBalanceHeight : panelHeight_;
        const double bottom = top + height;
        pugi::xml_node group = addGroup(svg, "panel");
        group.append_attribute("id").set_value(style.id);
        addText(group, kLeft, top - 8, std::string(style.title) + ", " + style.unit, "panelTitle")
            .append_attribute("fill")
            .set_value(style.colour);
        addText(group, kLeft + kColumns, top - 8, figures(series), "figures", "end");

        const AxisScale scale = pace ? paceScale(series.low(), series.high())
                                     : valueScale(series.low(), series.high(), style.minimumSpan);
        // Faster is higher: a pace's axis runs downwards.
        const auto yOf = [&](double value) {
            const double share = (value - scale.low) / (scale.high - scale.low);
            return pace ? top + share * height : bottom - share * height;
        };
        const int ticks = scale.ticks();
        const int every = ticks > 5 && height < kLowPanel ? 2 : 1;
        for (int k = 0; k < ticks; k += every) {
            const double value = scale.tick(k), y = yOf(value);
            addLine(group, kLeft, y, kLeft + kColumns, y, "grid");
            addText(group, kLeft - 6, y + 4, pace ? paceText(value) : tickText(value, scale.step * every), "tick",
                    "end");
        }
        for (int k = 1; k < time_.ticks(); ++k)
            addLine(group, xOf(time_.tick(k)), top, xOf(time_.tick(k)), bottom, "grid");
        if (series.kind() == SeriesKind::Balance) addLine(group, kLeft, yOf(50), kLeft + kColumns, yOf(50), "reference");
        for (const LapSpan& lap : laps)
            if (lap.end < kLeft + kColumns - 0.5) addLine(group, lap.end, top, lap.end, bottom, "lap");
        addRect(group, kLeft, top, kColumns, height, "frame");

        PathData path;
        for (int c = 0; c < kColumns; ++c) {
            const Column& column = series.columns()[static_cast<size_t>(c)];
            if (!column.any()) continue;
            const double x = kLeft + c + 0.5;
            if (path.empty() || column.afterGap) {
                path.moveTo(x, yOf(column.high));
                if (column.low == column.high) path.lineTo(x, yOf(column.high));  // a dot where it stands alone
            } else {
                path.lineTo(x, yOf(column.high));
            }
            if (column.low < column.high) path.lineTo(x, yOf(column.low));
        }
        pugi::xml_node line = group.append_child("path");
        line.append_attribute("d").set_value(path.text().c_str());
        line.append_attribute("class").set_value("series");
        line.append_attribute("stroke").set_value(style.colour);
        return bottom;
    }

    // "min 85  ·  avg 132  ·  max 164"; a pace's best and mean.
    static std::string figures(const SeriesColumns& series) {
        const SeriesStyle& style = seriesStyle(series.kind());
        if (series.kind() == SeriesKind::Pace)
            return "fastest " + paceText(series.low()) + kDot + "mean " + paceText(series.mean());
        std::string text = "min " + numberWith(series.low(), style.decimals);
        if (style.meaningful) text += kDot + "mean " + numberWith(series.mean(), style.decimals);
        return text + kDot + "max " + numberWith(series.high(), style.decimals);
    }

    // The labels of the time (or sample) axis under the last panel, `y`; the y below them.
    double timeAxis(pugi::xml_node svg, double y) const {
        for (int k = 0; k < time_.ticks(); ++k) {
            const double at = time_.tick(k);
            addText(svg, xOf(at), y + 16, timed_ ? elapsedText(at, time_.step) : tickText(at, time_.step), "tick",
                    "middle");
        }
        const char* title = !timed_ ? "sample number"
                            : time_.step < 60 ? "time since the start, m:ss"
                                              : "time since the start, h:mm";
        addText(svg, kLeft + kColumns, y + 32, title, "axisTitle", "end");
        return y + 32;
    }

    // The route and the lap table, side by side where both fit; the y below them.
    double bottom(pugi::xml_node svg, double y) const {
        const LapTable table(track_, lapFigures_);
        if (route_.empty() && table.empty()) return y - kSectionGap;
        double tableX = kLeft, tableY = y, below = y;
        if (!route_.empty()) {
            const double beside = kColumns - kSectionGap - table.width();
            const double side = beside >= kSmallestRoute ? std::min(beside, kRouteSize) : kRouteSize;
            const RouteSketch::Size size = route_.fit(side, kRouteSize);
            route_.draw(svg, kLeft, y, size);
            below = y + size.height + RouteSketch::kBelow;
            if (size.width + kSectionGap + table.width() <= kColumns)
                tableX = kLeft + size.width + kSectionGap;
            else
                tableY = below + kSectionGap;
        }
        if (table.empty()) return below;
        table.draw(svg, tableX, tableY);
        return std::max(below, tableY + table.height());
    }

    const Track& track_;
    bool timed_;
    double span_;  // seconds the time axis covers, or samples where they have no times
    AxisScale time_;
    std::vector<SeriesColumns> series_;
    RouteSketch route_;
    LapFigures lapFigures_;
    double panelHeight_ = kPanelHeights[0];
};

}  // namespace

void writeSvg(const Track& track, std::ostream& out) { Chart(track).write(out); }
