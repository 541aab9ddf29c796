// The SVG chart of a track made here, read back as XML: which panels it
// draws, the lap labels, what its heading says, the route's scale and
// size; and the round numbers of its axes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <pugixml.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/host/views/ChartScale.h"
#include "tools/host/views/RouteSketch.h"
#include "tools/host/views/SvgChart.h"

namespace {

// 2024-05-12 08:00:00 UTC, 10:00 at +02:00.
constexpr int64_t kStart = 1715500800;

// A track whose points a function gives, one a second: a long one holds none of them.
class MadeTrack : public Track {
public:
    MadeTrack(int32_t size, std::function<TrackPoint(int32_t)> point)
        : Track(TrackOrigin{}), size_(size), point_(std::move(point)) {
        origin_.rawFile = "made.hrm";
        start_ = kStart;
        duration_ = size;
        laps_ = {lap(0, size)};
    }
    int32_t size() const override { return size_; }
    TrackPoint point(int32_t index) const override {
        TrackPoint p = point_(index);
        p.offset = timed_ ? index : 0;
        p.time = start_ + p.offset;
        return p;
    }
    // Laps ending at these seconds, the last one at the end.
    void lapsEndingAt(const std::vector<int32_t>& ends, const std::vector<std::string>& names = {}) {
        laps_.clear();
        int32_t begin = 0;
        for (size_t k = 0; k < ends.size(); ++k) {
            laps_.push_back(lap(begin, ends[k]));
            if (k < names.size()) laps_.back().name = names[k];
            begin = ends[k];
        }
        lapsFromFile_ = true;
    }
    using Track::beats_;
    using Track::dated_;
    using Track::energy_;
    using Track::fromBeats_;
    using Track::name_;
    using Track::origin_;
    using Track::sport_;
    using Track::timed_;
    using Track::totalDistance_;

private:
    static TrackLap lap(int32_t begin, int32_t end) {
        TrackLap lap;
        lap.start = kStart + begin;
        lap.duration = end - begin;
        lap.firstSample = begin;
        lap.endSample = end;
        return lap;
    }

    int32_t size_;
    std::function<TrackPoint(int32_t)> point_;
};

pugi::xml_document chart(const Track& track) {
    std::ostringstream out;
    writeSvg(track, out);
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(out.str().c_str())) << "not well-formed";
    return document;
}

std::set<std::string> panels(const pugi::xml_document& svg) {
    std::set<std::string> ids;
    for (const pugi::xpath_node& panel : svg.select_nodes("//g[@class='panel']")) ids.insert(panel.node().attribute("id").value());
    return ids;
}

struct Text {
    double x, y;
    std::string text;
};

std::vector<Text> texts(const pugi::xml_document& svg, const std::string& style) {
    std::vector<Text> found;
    for (const pugi::xpath_node& node : svg.select_nodes(("//text[@class='" + style + "']").c_str()))
        found.push_back({node.node().attribute("x").as_double(), node.node().attribute("y").as_double(),
                         node.node().text().get()});
    return found;
}

std::string allText(const pugi::xml_document& svg) {
    std::string text;
    for (const pugi::xpath_node& node : svg.select_nodes("//text")) text += std::string(node.node().text().get()) + "\n";
    return text;
}

// Every channel, none of them 0 throughout.
TrackPoint everything(int32_t j) {
    TrackPoint p;
    p.heartRate = 120 + j % 30;
    p.speed = 8 + j % 3;
    p.distance = 9.0 * j;
    p.cadence = 85;
    p.altitude = -20.0 + j % 50;
    p.power = 200.0 + j % 40;
    p.balance = 48.0 + j % 5;
    p.temperature = 18.5;
    return p;
}

TEST(Chart_panels, exactlyTheSeriesTheTrackRecords) {
    const std::vector<Beat> beats = {{800, 800}, {1600, 800}, {2350, 750}};
    const std::set<std::string> all = {"heart-rate", "speed",   "cadence",    "altitude",
                                       "power",      "balance", "temperature"};
    const struct {
        const char* what;
        std::function<TrackPoint(int32_t)> point;
        std::function<void(MadeTrack&)> shape;
        std::set<std::string> expected;
    } cases[] = {
        {"every channel", everything, [](MadeTrack&) {}, all},
        {"heart rate alone",
         [](int32_t j) {
             TrackPoint p;
             if (j % 7) p.heartRate = 130;
             return p;
         },
         [](MadeTrack&) {}, {"heart-rate"}},
        {"a run shows pace", everything, [](MadeTrack& t) { t.sport_ = Sport::Running; },
         {"heart-rate", "pace", "cadence", "altitude", "power", "balance", "temperature"}},
        {"channels of zeros had no sensor",
         [](int32_t j) {
             TrackPoint p = everything(j);
             p.speed = 0.0;
             p.power = 0.0;
             p.cadence = 0;
             return p;
         },
         [](MadeTrack&) {}, {"heart-rate", "altitude", "balance", "temperature"}},
        {"0 degrees Fahrenheit is no temperature",
         [](int32_t j) {
             TrackPoint p = everything(j);
             p.temperature = -160.0 / 9;
             return p;
         },
         [](MadeTrack& t) { t.origin_.usUnits = true; }, {"heart-rate", "speed", "cadence", "altitude", "power", "balance"}},
        {"beats carried beside the samples", everything, [&](MadeTrack& t) { t.beats_ = &beats; },
         {"heart-rate", "speed", "cadence", "altitude", "power", "balance", "temperature", "intervals"}},
        {"a recording of beats alone",
         [](int32_t) {
             TrackPoint p;
             p.heartRate = 75;
             return p;
         },
         [&](MadeTrack& t) {
             t.beats_ = &beats;
             t.fromBeats_ = true;
         },
         {"heart-rate", "intervals"}},
        {"nothing recorded", [](int32_t) { return TrackPoint{}; }, [](MadeTrack&) {}, {}},
    };
    for (const auto& c : cases) {
        MadeTrack track(600, c.point);
        c.shape(track);
        const pugi::xml_document svg = chart(track);
        EXPECT_EQ(panels(svg), c.expected) << c.what;
        EXPECT_TRUE(svg.select_nodes("//g[@class='route']").empty()) << c.what;
    }
}

// Labels with the same baseline overlap where their text does, each
// character taken as wide as a digit (0.64 em at 11 px).
TEST(Chart_laps, everyLapLabelledNoLabelsOverlap) {
    MadeTrack track(3600, everything);
    const std::vector<int32_t> ends = {1, 2, 3, 60, 61, 62, 1200, 1205, 1206, 2400, 3590, 3595, 3600};
    track.lapsEndingAt(ends, {"", "Waiting", "", "", "", "", "Race"});
    const pugi::xml_document svg = chart(track);
    const std::vector<Text> labels = texts(svg, "lapLabel");
    ASSERT_EQ(labels.size(), ends.size());
    // Each over its lap: the plot from x 70 to 970 is the hour.
    const double half = 0.64 * 11 / 2;
    std::set<int> numbers;
    for (const Text& label : labels) {
        const size_t digits = label.text.find_first_of("0123456789");
        ASSERT_NE(digits, std::string::npos) << label.text;
        const int lap = std::stoi(label.text.substr(digits));
        EXPECT_TRUE(numbers.insert(lap).second) << label.text;
        ASSERT_TRUE(lap >= 1 && lap <= static_cast<int>(ends.size())) << label.text;
        const double begin = 70 + (lap == 1 ? 0 : ends[lap - 2]) / 4.0, end = 70 + ends[lap - 1] / 4.0;
        const double reach = half * static_cast<double>(label.text.size());
        EXPECT_TRUE(label.x + reach > begin && label.x - reach < end) << label.text << " at " << label.x;
    }
    EXPECT_EQ(numbers.size(), ends.size());
    EXPECT_EQ(*numbers.rbegin(), static_cast<int>(ends.size()));
    for (size_t a = 0; a < labels.size(); ++a)
        for (size_t b = a + 1; b < labels.size(); ++b) {
            if (labels[a].y != labels[b].y) continue;
            const double gap = std::fabs(labels[a].x - labels[b].x);
            EXPECT_GE(gap, half * static_cast<double>(labels[a].text.size() + labels[b].text.size()))
                << labels[a].text << " and " << labels[b].text;
        }
    // The name where there is room for it; each lap end before the last in every panel.
    EXPECT_NE(allText(svg).find("lap 7: Race"), std::string::npos);
    EXPECT_EQ(svg.select_nodes("//line[@class='lap']").size(), (ends.size() - 1) * panels(svg).size());
}

TEST(Chart_heading, tellsTheExerciseAndNeverInventsATime) {
    MadeTrack ride(3600, everything);
    ride.name_ = "Evening ride";
    ride.sport_ = Sport::Cycling;
    ride.energy_ = 640;
    ride.totalDistance_ = 12345;
    ride.origin_.utcOffset = 7200;
    std::string text = allText(chart(ride));
    for (const char* expected :
         {"Evening ride", "Cycling", "Sun 2024-05-12 10:00 UTC+02:00", "1:00:00", "12.35 km", "640 kcal", "made.hrm",
          "time since the start, h:mm"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;

    MadeTrack undated(600, everything);
    undated.dated_ = false;
    text = allText(chart(undated));
    EXPECT_NE(text.find("no date in the file"), std::string::npos) << text;
    for (const char* invented : {"1899", "1970", "2024", "UTC+"})
        EXPECT_EQ(text.find(invented), std::string::npos) << invented << " in\n" << text;

    MadeTrack untimed(600, everything);
    untimed.timed_ = false;
    untimed.lapsEndingAt({0, 0, 600});
    untimed.totalDistance_ = 0.0;
    const pugi::xml_document svg = chart(untimed);
    text = allText(svg);
    EXPECT_NE(text.find("sample number"), std::string::npos) << text;
    EXPECT_EQ(text.find("time since the start"), std::string::npos) << text;
    EXPECT_EQ(text.find("0.00 km"), std::string::npos) << text;
    EXPECT_TRUE(svg.select_nodes("//line[@class='lap']").empty());
}

// `size` points going round a square of 1 km at 60 degrees north, 4 km a
// round, where a degree of longitude is half as long as one of latitude.
MadeTrack squareRounds(int32_t size) {
    constexpr double kMetresPerDegree = 6371000 * std::numbers::pi / 180;
    MadeTrack track(size, [&](int32_t j) {
        const double along = (j % 5000) * 0.8, side = std::fmod(along, 1000);
        const double east[] = {side, 1000, 1000 - side, 0}, north[] = {0, side, 1000, 1000 - side};
        const auto leg = static_cast<size_t>(along / 1000);
        TrackPoint p = everything(j);
        p.hasPosition = true;
        p.latitude = 60 + north[leg] / kMetresPerDegree;
        p.longitude = 10 + east[leg] / (kMetresPerDegree * 0.5);
        return p;
    });
    track.lapsEndingAt({size / 4, size / 2, size});
    return track;
}

TEST(Chart_route, drawnToScaleFromBoundedPoints) {
    std::ostringstream shorter, longer;
    writeSvg(squareRounds(20000), shorter);
    writeSvg(squareRounds(200000), longer);
    EXPECT_LT(longer.str().size(), shorter.str().size() * 11 / 10) << "ten times the points, hardly a larger chart";
    pugi::xml_document svg;
    ASSERT_TRUE(svg.load_string(longer.str().c_str()));
    const pugi::xpath_node route = svg.select_node("//g[@class='route']/path");
    ASSERT_TRUE(route);
    std::istringstream data(route.node().attribute("d").value());
    double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
    size_t points = 0;
    for (std::string step; data >> step; ++points) {
        double x = 0, y = 0;
        ASSERT_EQ(std::sscanf(step.c_str() + 1, "%lf,%lf", &x, &y), 2) << step;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    EXPECT_LE(points, RouteSketch::kMostKept + 1);
    EXPECT_GT(right - left, 100);
    EXPECT_NEAR((right - left) / (bottom - top), 1.0, 0.03) << "a square stays square";
    EXPECT_EQ(svg.select_nodes("//g[@class='route']/circle[@class='lapMark']").size(), 2u);
    EXPECT_TRUE(svg.select_node("//g[@class='route']/circle[@class='startMark']"));
    EXPECT_TRUE(svg.select_node("//g[@class='route']/rect[@class='finishMark']"));
}

TEST(Chart_scale, roundTicksAroundTheValues) {
    const struct {
        double low, high, minimumSpan;
        AxisScale expected;
    } values[] = {
        {85, 164, 20, {80, 180, 20}},
        {100, 100, 20, {90, 110, 5}},       // a steady value in the middle
        {0.2, 0.4, 5, {0, 5, 1}},           // never below 0 for values that are not
        {-68, -61, 20, {-75, -50, 5}},
        {0.31, 0.36, 0.01, {0.31, 0.36, 0.01}},
    };
    for (const auto& v : values) {
        const AxisScale scale = valueScale(v.low, v.high, v.minimumSpan);
        EXPECT_NEAR(scale.low, v.expected.low, 1e-9) << v.low << " " << v.high;
        EXPECT_NEAR(scale.high, v.expected.high, 1e-9) << v.low << " " << v.high;
        EXPECT_NEAR(scale.step, v.expected.step, 1e-9) << v.low << " " << v.high;
    }
    const AxisScale pace = paceScale(4.05, 8.2);
    EXPECT_EQ(pace.low, 4);
    EXPECT_EQ(pace.high, 9);
    EXPECT_EQ(pace.step, 1);
    EXPECT_EQ(paceText(pace.tick(1) + 0.75), "5:45");

    EXPECT_EQ(spanScale(2300, true).step, 300);
    EXPECT_EQ(spanScale(2300, true).high, 2100) << "the axis ends with the exercise";
    EXPECT_EQ(spanScale(133, true).step, 30);
    EXPECT_EQ(spanScale(99, false).step, 20);
    EXPECT_EQ(elapsedText(3900, 600), "1:05");
    EXPECT_EQ(elapsedText(90, 30), "1:30");
    EXPECT_EQ(tickText(2.5, 0.5), "2.5");
    EXPECT_EQ(tickText(-1e-12, 0.25), "0");
    EXPECT_EQ(tickText(0.3, 0.01), "0.3");
}

}  // namespace
