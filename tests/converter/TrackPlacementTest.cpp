// The converter's own reading of GPX files and the placement of a track on
// an exercise: which clock the track keeps, and what each sample gets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "tools/host/convert/TrackPlacement.h"
#include "tools/host/recording/GpsTrack.h"
#include "tools/host/time/CivilTime.h"

namespace {

namespace fs = std::filesystem;
using Kind = TrackReading::Kind;
using Outcome = TrackPlacement::Outcome;

// 2015-03-18 10:00:00 as seconds since 1970 of the same wall clock.
const int64_t kTen = *unixDays(2015, 3, 18) * 86400 + 36000;
// Metres of 0.0001 degrees of a great circle on the placement's sphere.
const double kStepMetres = 6'371'008.8 * 0.0001 * std::numbers::pi / 180;
const PlacementOptions kAsWritten{TrackReading{Kind::WrittenAsLocal, 0}};

// "2015-03-18T10:00:05" of seconds since 1970.
std::string isoText(int64_t seconds) { return isoDateTime(seconds, ""); }

struct Point {
    double lat, lon;
    std::string time, ele;  // empty: none
};

// `count` points `step` s apart from the digits `first` (followed by
// `zone`), each 0.0001 degrees north of the one before, elevation 100 + i.
std::vector<Point> line(int64_t first, int count, int step, const std::string& zone) {
    std::vector<Point> points;
    for (int i = 0; i < count; ++i)
        points.push_back({47 + 0.0001 * i, 8, isoText(first + int64_t{i} * step) + zone, std::to_string(100 + i)});
    return points;
}

// Each test writes its tracks into a directory of its own and reads them back.
class TrackFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / (std::string("tracks-") + test->test_suite_name() + "-" + test->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string write(const std::string& content) {
        const std::string path = (dir_ / ("track" + std::to_string(files_++) + ".gpx")).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    TrackPlacement place(const std::vector<Point>& points, ExerciseClock exercise, PlacementOptions options = {}) {
        std::string text = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\"><trk><trkseg>\n";
        for (const Point& p : points) {
            char position[80];
            std::snprintf(position, sizeof position, "<trkpt lat=\"%.9f\" lon=\"%.9f\">", p.lat, p.lon);
            text += position + (p.ele.empty() ? "" : "<ele>" + p.ele + "</ele>") +
                    (p.time.empty() ? "" : "<time>" + p.time + "</time>") + "</trkpt>\n";
        }
        return placeTrack(readGpsTrack(write(text + "</trkseg></trk></gpx>\n")), exercise, options);
    }

    fs::path dir_;
    int files_ = 0;
};

using GpsTrack_reading = TrackFiles;
using TrackPlacement_readings = TrackFiles;
using TrackPlacement_samples = TrackFiles;

}  // namespace

TEST(GpsTrack_time, digitsAndZoneApart) {
    const double tenUtc = static_cast<double>(kTen);
    const struct {
        const char* text;
        bool read;
        double wallClock;
        std::optional<int32_t> zone;
    } cases[] = {
        {"2015-03-18T10:00:00Z", true, tenUtc, 0},
        {" 2015-03-18T10:00:00.25+06:00\n", true, tenUtc + 0.25, 21600},
        {"2015-03-18T10:00:00-0330", true, tenUtc, -12600},
        {"2015-03-18T10:00:00+05", true, tenUtc, 18000},
        {"2015-03-18T10:00:00", true, tenUtc, std::nullopt},
        {"2015-03-18 10:00:00z", true, tenUtc, 0},
        {"2015-02-29T10:00:00Z", false, 0, 0},  // no such day
        {"2015-03-18T24:00:00Z", false, 0, 0},
        {"2015-03-18T10:00:00.Z", false, 0, 0},
        {"2015-03-18T10:00:00+6:00", false, 0, 0},
        {"2015-03-18T10:00:00Z x", false, 0, 0},
    };
    for (const auto& c : cases) {
        const std::optional<GpsTime> time = parseGpsTime(c.text);
        ASSERT_EQ(time.has_value(), c.read) << c.text;
        if (!time) continue;
        EXPECT_DOUBLE_EQ(time->wallClock, c.wallClock) << c.text;
        EXPECT_EQ(time->zone, c.zone) << c.text;
    }
}

TEST_F(GpsTrack_reading, pointsKeptAndSkipped) {
    const GpsTrack track = readGpsTrack(write(
        "<g:gpx xmlns:g=\"http://www.topografix.com/GPX/1/0\"><g:trk><g:trkseg>"
        "<g:trkpt lat=\" 47.5\" lon=\"8.25\"><g:ele>412.5</g:ele><g:time>2015-03-18T10:00:00Z</g:time></g:trkpt>"
        "<g:trkpt lat=\"47.5\"/><g:trkpt lat=\"abc\" lon=\"8\"/><g:trkpt lat=\"91\" lon=\"8\"/>"
        "<g:trkpt lat=\"1\" lon=\"-180.5\"/>"
        "<g:trkpt lat=\"-90\" lon=\"180\"><g:ele>n/a</g:ele><g:time>yesterday</g:time></g:trkpt>"
        "</g:trkseg><g:trkseg><g:trkpt lat=\"1e1\" lon=\"-2\"/></g:trkseg></g:trk>"
        "<g:rte><g:rtept lat=\"5\" lon=\"5\"/></g:rte></g:gpx>"));
    EXPECT_EQ(track.error, "");
    ASSERT_EQ(track.fixes.size(), 3u);
    EXPECT_EQ(track.skippedPoints, 4);
    EXPECT_EQ(track.unreadableTimes, 1);
    EXPECT_FALSE(track.fromRoute);
    EXPECT_DOUBLE_EQ(track.fixes[0].latitude, 47.5);
    EXPECT_EQ(track.fixes[0].elevation, 412.5);
    EXPECT_DOUBLE_EQ(track.fixes[0].time->utc(), static_cast<double>(kTen));
    EXPECT_FALSE(track.fixes[1].elevation);
    EXPECT_FALSE(track.fixes[1].time);
    EXPECT_DOUBLE_EQ(track.fixes[2].latitude, 10);

    const GpsTrack route = readGpsTrack(write("<gpx><trk/><rte><rtept lat=\"5\" lon=\"6\"/></rte></gpx>"));
    EXPECT_TRUE(route.fromRoute);
    ASSERT_EQ(route.fixes.size(), 1u);
    EXPECT_DOUBLE_EQ(route.fixes[0].longitude, 6);
}

TEST_F(GpsTrack_reading, unreadableFilesSayWhy) {
    const std::pair<std::string, std::string> cases[] = {
        {(dir_ / "missing.gpx").string(), "cannot be opened"},
        {write("<gpx><trk>"), "not well-formed XML: "},
        {write(""), "not well-formed XML: "},
        {write("<kml><trk/></kml>"), "no GPX document: its root element is <kml>"},
    };
    for (const auto& [path, error] : cases) {
        const GpsTrack track = readGpsTrack(path);
        EXPECT_EQ(track.error.rfind(error, 0), 0u) << track.error;
        EXPECT_TRUE(track.fixes.empty());
    }
}

TEST_F(TrackPlacement_readings, clockOfTheTrack) {
    const struct {
        const char* what;
        int64_t first;  // the digits of the first point
        const char* zone;
        int count, step;
        int32_t exerciseOffset;
        int duration;
        TrackReading reading;
        std::optional<int32_t> watchOffset;
        double firstAt;  // where the first point lands
        PlacementOptions options;
    } cases[] = {
        {"phone at +06:00", kTen - 6 * 3600, "Z", 241, 5, 0, 1200, {Kind::Utc, 21600}, 21600, 0, {}},
        {"Polar's local time marked Z", kTen + 5, "Z", 240, 5, 3600, 1200, {Kind::WrittenAsLocal, 0}, {}, 5, {}},
        {"local time without a zone", kTen, "", 241, 5, -7200, 1200, {Kind::WrittenAsLocal, 0}, {}, 0, {}},
        {"phone at the exercise's offset", kTen - 7200, "Z", 241, 5, 7200, 1200, {Kind::Utc, 7200}, 7200, 0, {}},
        {"zone stated", kTen + 4 * 3600, "+06:00", 241, 5, 7200, 1200, {Kind::Utc, 7200}, 7200, 0, {}},
        // At +06:00 88 % of the points would lie within the exercise, spanning less of it.
        {"quarter-hour zone", kTen - 20700, "Z", 721, 10, 0, 7200, {Kind::Utc, 20700}, 20700, 0, {}},
        // Read as written, 80 % of the points would lie within the ride, spanning four hours of it.
        {"five-hour ride", kTen - 3600, "Z", 301, 60, 3600, 18000, {Kind::Utc, 3600}, 3600, 0, {}},
        // Within a longer exercise at +05:00 and +05:30 alike: the whole hour, not the nearer
        // half hour, and the offset unclear.
        {"ambiguous", kTen - 5 * 3600, "Z", 211, 60, 21600, 14400, {Kind::Utc, 18000}, {}, 0, {}},
        // A short exercise, the phone started and stopped nearly a minute apart from the watch.
        {"within the slack", kTen - 55, "Z", 59, 5, 0, 180, {Kind::WrittenAsLocal, 0}, {}, -55, {}},
        {"forced offset", kTen - 6 * 3600, "Z", 241, 5, 0, 1200, {Kind::Utc, 21600}, 21600, 0,
         {TrackReading{Kind::Utc, 21600}}},
        {"forced local time", kTen - 3600, "Z", 241, 5, 0, 1200, {Kind::WrittenAsLocal, 0}, {}, -3600, kAsWritten},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TrackPlacement placement = place(line(c.first, c.count, c.step, c.zone),
                                         {kTen, static_cast<double>(c.duration), c.exerciseOffset, false}, c.options);
        ASSERT_EQ(placement.outcome(), Outcome::Placed) << placement.message();
        EXPECT_EQ(placement.reading(), c.reading);
        EXPECT_EQ(placement.watchOffset(), c.watchOffset);
        EXPECT_FALSE(placement.at(c.firstAt - 0.5));
        ASSERT_TRUE(placement.at(c.firstAt));
        EXPECT_DOUBLE_EQ(placement.at(c.firstAt)->latitude, 47);
        EXPECT_EQ(placement.message().find("as asked") != std::string::npos, c.options.forced.has_value());
        // The run says a doubtful placement even when it is quiet about the others: an
        // offset among several, or a reading asked for that does not fit.
        const std::string what = c.what;
        EXPECT_EQ(placement.doubtful(), what == "ambiguous" || what == "forced local time") << placement.message();
    }
}

TEST_F(TrackPlacement_readings, noFitNamesBothSpans) {
    const ExerciseClock exercise{kTen, 1200, 0, false};
    const struct {
        const char* what;
        std::vector<Point> points;
        TrackPlacement::Outcome outcome;
        const char* message;
    } cases[] = {
        {"another hour", line(kTen + 3600 + 420, 241, 5, "Z"), Outcome::NoFit,
         "track not placed: its times fit the exercise under no reading (track 11:07-11:27, exercise 10:00-10:20)"},
        {"another day", line(kTen + 86400 - 1800, 100, 60, "Z"), Outcome::NoFit,
         "track not placed: its times fit the exercise under no reading (track 2015-03-19 09:30-11:09, exercise "
         "2015-03-18 10:00-10:20)"},
        // 22 of its 90 minutes at most fall within the exercise at any offset.
        {"a walk around it", line(kTen - 1800, 91, 60, "Z"), Outcome::NoFit, nullptr},
        {"a tenth of it", line(kTen + 300, 25, 5, "Z"), Outcome::NoFit, nullptr},
        {"no times", {{47, 8, "", ""}, {47.1, 8, "", ""}}, Outcome::NoTime,
         "track not placed: none of its points has a time (--track-by-order spreads them over the exercise)"},
        {"no position", {}, Outcome::NoPosition, "track not placed: it holds no point with a position"},
    };
    for (const auto& c : cases) {
        TrackPlacement placement = place(c.points, exercise);
        EXPECT_EQ(placement.outcome(), c.outcome) << c.what;
        EXPECT_EQ(placement.message(), c.message ? c.message : placement.message()) << c.what;
        EXPECT_FALSE(placement.reading()) << c.what;
        EXPECT_FALSE(placement.at(600)) << c.what;
    }
}

TEST_F(TrackPlacement_samples, betweenPointsOffTheGrid) {
    // Every 5 s, 3 s after the samples' grid.
    TrackPlacement placement = place(line(kTen + 3, 241, 5, "Z"), {kTen, 1200, 0, false});
    ASSERT_EQ(placement.reading(), (TrackReading{Kind::WrittenAsLocal, 0}));
    int placed = 0;
    for (int offset = 0; offset <= 1200; offset += 5) {
        const std::optional<PlacedFix> fix = placement.at(offset);
        ASSERT_EQ(fix.has_value(), offset > 0) << offset;  // none before the first point
        if (!fix) continue;
        ++placed;
        const double steps = (offset - 3) / 5.0;
        EXPECT_NEAR(fix->latitude, 47 + 0.0001 * steps, 1e-9) << offset;
        EXPECT_NEAR(fix->distance, kStepMetres * steps, 1e-3) << offset;
        EXPECT_NEAR(*fix->speed, kStepMetres / 5, 1e-3) << offset;
        EXPECT_NEAR(*fix->elevation, 100 + steps, 1e-9) << offset;
    }
    EXPECT_EQ(placed, 240);
    // A smaller offset starts the pass again.
    EXPECT_NEAR(placement.at(8)->latitude, 47.0001, 1e-9);
}

TEST_F(TrackPlacement_samples, gapsEndsAndOrder) {
    // Out of order, a point twice and one without a time, and a gap of 57 s; read as written.
    std::vector<Point> points = line(kTen, 4, 1, "Z");
    const std::vector<Point> after = line(kTen + 60, 3, 1, "Z");
    points.insert(points.begin(), after.begin(), after.end());
    std::swap(points[4], points[5]);
    points.push_back(points[3]);
    points.push_back({10, 10, "", ""});
    const struct {
        double gapLimit, offset;
        std::optional<double> latitude, speed;
    } cases[] = {
        {30, -0.5, std::nullopt, std::nullopt},
        {30, 1.5, 47.00015, kStepMetres},
        {30, 3, 47.0003, kStepMetres},  // not slowed by the gap after it
        {30, 30, std::nullopt, std::nullopt},
        {30, 61.5, 47.00015, kStepMetres},
        {30, 62, 47.0002, kStepMetres},
        {30, 62.5, std::nullopt, std::nullopt},
        {60, 31.5, 47.00015, 3 * kStepMetres / 57},  // back to the second part's start over 57 s
    };
    for (const auto& c : cases) {
        TrackPlacement placement = place(points, {kTen, 62, 0, false}, {std::nullopt, c.gapLimit});
        const std::optional<PlacedFix> fix = placement.at(c.offset);
        ASSERT_EQ(fix.has_value(), c.latitude.has_value()) << c.offset;
        if (!fix) continue;
        EXPECT_NEAR(fix->latitude, *c.latitude, 1e-9) << c.offset;
        EXPECT_NEAR(fix->speed.value_or(0), c.speed.value_or(0), 1e-6) << c.offset;
    }
}

// Only the offsets zones use are tried: +12:45 is one, +00:30 none.
TEST_F(TrackPlacement_readings, onlyOffsetsInUse) {
    const ExerciseClock exercise{kTen, 1200, 0, false};
    TrackPlacement chatham = place(line(kTen - 45900, 241, 5, "Z"), exercise);
    ASSERT_EQ(chatham.outcome(), Outcome::Placed) << chatham.message();
    EXPECT_EQ(chatham.reading(), (TrackReading{Kind::Utc, 45900}));
    EXPECT_EQ(place(line(kTen - 1800, 241, 5, "Z"), exercise).outcome(), Outcome::NoFit);
    EXPECT_EQ(place(line(kTen - 3600 - 900, 241, 5, "Z"), exercise).outcome(), Outcome::NoFit) << "+01:15";
}

// Times that run backwards, or that mostly cannot be read, place no track
// by any reading; a single step back (a fix written late) does not matter.
TEST_F(TrackPlacement_readings, untrustworthyTimes) {
    const ExerciseClock exercise{kTen, 1200, 0, false};
    std::vector<Point> shuffled = line(kTen, 241, 5, "Z");
    for (size_t i = 0; i + 1 < shuffled.size(); i += 8) std::swap(shuffled[i].time, shuffled[i + 1].time);
    TrackPlacement backwards = place(shuffled, exercise);
    EXPECT_EQ(backwards.outcome(), Outcome::TimesUntrustworthy);
    EXPECT_EQ(backwards.message(),
              "track not placed: 30 of the 240 steps between its readable times go back in time, so its times cannot "
              "place it (--track-by-order spreads its points over the exercise in file order)");
    EXPECT_FALSE(backwards.at(600));

    std::vector<Point> unreadable = line(kTen, 241, 5, "Z");
    for (size_t i = 0; i < 121; ++i) unreadable[i].time = "18:00";
    EXPECT_EQ(place(unreadable, exercise).message(),
              "track not placed: 121 of its 241 points' times cannot be read, so its times cannot place it "
              "(--track-by-order spreads its points over the exercise in file order)");
    unreadable[120].time = isoText(kTen + 600) + "Z";
    EXPECT_EQ(place(unreadable, exercise).outcome(), Outcome::Placed) << "half of them readable";

    std::vector<Point> fewBack = line(kTen, 241, 5, "Z");
    for (size_t i = 100; i < 140; i += 4) std::swap(fewBack[i].time, fewBack[i + 1].time);
    EXPECT_EQ(place(fewBack, exercise).outcome(), Outcome::Placed) << "10 of 240 steps back";
    std::vector<Point> shortBack = line(kTen, 41, 30, "Z");
    for (size_t i = 0; i < 16; i += 4) std::swap(shortBack[i].time, shortBack[i + 1].time);
    EXPECT_EQ(place(shortBack, exercise).outcome(), Outcome::TimesUntrustworthy) << "4 of 40 steps back";
    shortBack[12].time.swap(shortBack[13].time);
    EXPECT_EQ(place(shortBack, exercise).outcome(), Outcome::Placed) << "3 of 40 steps back";

    TrackPlacement forced = place(shuffled, exercise, kAsWritten);
    ASSERT_EQ(forced.outcome(), Outcome::Placed);
    EXPECT_NE(forced.message().find("as asked; 30 of the 240 steps"), std::string::npos) << forced.message();
    EXPECT_EQ(place(shuffled, exercise, {TrackReading{Kind::ByOrder, 0}}).outcome(), Outcome::Placed);
}

TEST_F(TrackPlacement_samples, untimedTrackOnlyByOrder) {
    const std::vector<Point> points{
        {47, 8, "", "10"}, {47.001, 8, "", "20"}, {47.002, 8, "", ""}, {47.003, 8, "", "40"}};
    EXPECT_EQ(place(points, {kTen, 150, 0, false}).outcome(), Outcome::NoTime);
    // Points 50 s apart: a gap for a timed track, none for a spread one.
    TrackPlacement placement = place(points, {kTen, 150, 0, false}, {TrackReading{Kind::ByOrder, 0}});
    ASSERT_EQ(placement.outcome(), Outcome::Placed);
    EXPECT_EQ(placement.message(), "track placed by the order of its 4 points, spread evenly over the exercise");
    const std::optional<PlacedFix> between = placement.at(25);
    ASSERT_TRUE(between);
    EXPECT_NEAR(between->latitude, 47.0005, 1e-9);
    EXPECT_NEAR(*between->elevation, 15, 1e-9);
    EXPECT_FALSE(between->speed);
    EXPECT_FALSE(placement.at(75)->elevation);
    EXPECT_NEAR(placement.at(150)->latitude, 47.003, 1e-9);
    EXPECT_FALSE(placement.at(150.5));
}

TEST_F(TrackPlacement_samples, dateLineAndPole) {
    std::vector<Point> points;
    for (const double longitude : {179.9, -179.9, 179.9})
        points.push_back({0, longitude, isoText(kTen + static_cast<int64_t>(points.size())) + "Z", ""});
    points.push_back({89.9, 0, isoText(kTen + 3) + "Z", ""});
    points.push_back({89.9, 180, isoText(kTen + 4) + "Z", ""});
    TrackPlacement placement = place(points, {kTen, 4, 0, false}, kAsWritten);
    const double tenth = 1000 * kStepMetres;
    EXPECT_NEAR(placement.at(0.25)->longitude, 179.95, 1e-9);
    EXPECT_NEAR(std::abs(placement.at(0.5)->longitude), 180, 1e-9);
    EXPECT_NEAR(placement.at(0.75)->longitude, -179.95, 1e-9);
    EXPECT_NEAR(placement.at(1)->distance, 2 * tenth, 1e-3);
    EXPECT_NEAR(placement.at(1.25)->longitude, -179.95, 1e-9);
    EXPECT_NEAR(placement.at(1.75)->longitude, 179.95, 1e-9);
    const std::optional<PlacedFix> nearPole = placement.at(3.5);
    EXPECT_NEAR(nearPole->latitude, 89.9, 1e-9);
    EXPECT_NEAR(std::abs(nearPole->longitude), 90, 1e-9);
    EXPECT_NEAR(placement.at(4)->distance - placement.at(3)->distance, 2 * tenth, 1e-3);
}

TEST_F(TrackPlacement_readings, realPairAsWritten) {
    if (!fs::is_directory(POLAR_REAL_FILES_DIR)) GTEST_SKIP() << "no " POLAR_REAL_FILES_DIR;
    const std::string base = std::string(POLAR_REAL_FILES_DIR) + "/runalyze__15031801";
    std::ifstream hrm(base + ".hrm");
    int year = 0, month = 0, day = 0, start[3] = {}, length[3] = {};
    for (std::string line; std::getline(hrm, line);) {
        std::sscanf(line.c_str(), "Date=%4d%2d%2d", &year, &month, &day);
        std::sscanf(line.c_str(), "StartTime=%d:%d:%d", &start[0], &start[1], &start[2]);
        std::sscanf(line.c_str(), "Length=%d:%d:%d", &length[0], &length[1], &length[2]);
    }
    const auto seconds = [](const int (&hms)[3]) { return hms[0] * 3600 + hms[1] * 60 + hms[2]; };
    const int64_t midnight = *unixDays(year, month, day) * 86400;
    const GpsTrack track = readGpsTrack(base + ".gpx");
    ASSERT_EQ(track.fixes.size(), 452u);
    // The watch in Germany, or the machine's zone UTC: the times are the watch's either way.
    for (const int32_t offset : {3600, 0}) {
        TrackPlacement placement =
            placeTrack(track, {midnight + seconds(start), static_cast<double>(seconds(length)), offset, false}, {});
        ASSERT_EQ(placement.reading(), (TrackReading{Kind::WrittenAsLocal, 0})) << placement.message();
        int placed = 0;
        for (int sample = 0; sample * 5 <= seconds(length); ++sample) placed += placement.at(sample * 5).has_value();
        EXPECT_EQ(placed, 452);  // every sample from the first point's, 5 s after the start
        EXPECT_DOUBLE_EQ(placement.at(5)->latitude, 48.406046667);
        EXPECT_NEAR(placement.at(2260)->distance / 2255 * 3.6, 12, 1);  // km/h, as the watch measured
    }
}
