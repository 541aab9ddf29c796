#include <gtest/gtest.h>

#include "TestFiles.h"
#include "framework/Convert.h"
#include "framework/Locale.h"
#include "processing/DebugFlags.h"
#include "processing/GpxMerge.h"

namespace {

using debug_flags::kGpxParsed;

const fw::DateTime kStart = fw::encodeDate(2009, 5, 1) + fw::encodeTime(10, 0, 0, 0);

std::string gpx(const std::string& tracks) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"test\">\n" + tracks + "</gpx>\n";
}

// One point spread over four lines, as most writers do; its latitude tells which point it is.
std::string point(double lat, const std::string& time, const std::string& name = "trkpt") {
    return "<" + name + " lat=\"" + std::to_string(lat) + "\" lon=\"" + std::to_string(lat + 100) + "\">\n<ele>1</ele>\n" +
           (time.empty() ? std::string() : "<time>" + time + "</time>\n") + "</" + name + ">\n";
}

std::string track(const std::string& points) { return "<trk>\n<trkseg>\n" + points + "</trkseg>\n</trk>\n"; }

std::string at(const std::string& hms) { return "2009-05-01T" + hms + "Z"; }

class GpxFixture : public ::testing::Test {
protected:
    // An exercise of `count` samples every `step` seconds from kStart.
    void samples(int32_t count, int32_t step = 5) {
        state.Summary.StartDateTime = kStart;
        for (int32_t i = 0; i < count; ++i) state.ExerciseDatas.SetTimeOffset(i, i * step);
    }

    void merge(const std::string& content) {
        writeFile(files.file("track.gpx"), content);
        MergeGpxTrack(state, files.file("track.gpx"));
    }

    // The latitude of every sample (0 where none was stored).
    std::vector<double> latitudes() const {
        std::vector<double> out;
        for (int32_t i = 0; i < state.ExerciseDatas.Count(); ++i) out.push_back(state.ExerciseDatas.GetLatitude(i));
        return out;
    }

    TempDir files;
    TPluginState state;
};

using Gpx_align = GpxFixture;
using Gpx_reading = GpxFixture;

}  // namespace

TEST(Gpx_parseTime, fieldsByPositionZoneAndFractionIgnored) {
    struct Case {
        const char* text;
        int hms;  // seconds of day, -1: fails
        int date; // yyyymmdd
    };
    const Case cases[] = {
        {"2009-05-01T10:00:05.250Z", 36005, 20090501},
        {" \t2009-05-01T10:00:05+02:00\n", 36005, 20090501},
        {"2009-05-01", 20 * 3600 + 20 * 60 + 20, 20090501},  // time fields start beyond the end: from position 1
        {"2009-05-01T10:00", 36020, 20090501},
        {"2009-05-01Txx:00:05Z", 0, 20090501},               // a time field no number: time 0
        {"2009-13-01T10:00:05Z", -1, 0},
        {"2009-05-01T24:00:00Z", -1, 0},
        {"yesterday", -1, 0},
    };
    for (const Case& c : cases) {
        if (c.hms < 0) {
            EXPECT_THROW(ParseGpxTime(c.text), fw::ConvertError) << c.text;
            continue;
        }
        const fw::DateTime value = ParseGpxTime(c.text);
        const fw::CalendarDate date = fw::decodeDate(value);
        EXPECT_EQ(date.year * 10000 + date.month * 100 + date.day, c.date) << c.text;
        EXPECT_EQ(fw::secondsOfDay(value), c.hms) << c.text;
    }
    EXPECT_EQ(ParseGpxTime(""), 0);
}

TEST(Gpx_parseTime, secondsOfDayRoundsToTheMillisecondAndDropsDays) {
    const double second = 1.0 / 86400;
    EXPECT_EQ(fw::secondsOfDay(fw::encodeTime(10, 0, 5, 999)), 36005);
    EXPECT_EQ(fw::secondsOfDay(fw::encodeTime(10, 0, 5, 0) - 0.0004 * second), 36005);
    EXPECT_EQ(fw::secondsOfDay(-fw::encodeTime(0, 0, 7, 0)), 7);
    EXPECT_EQ(fw::secondsOfDay(3 + fw::encodeTime(0, 1, 0, 0)), 60);
    EXPECT_EQ(fw::secondsOfDay(1 - 0.0001 * second), 0);
}

TEST_F(Gpx_align, timesMatchOffsetsExactlyAndTheSampleAfterTakesThePosition) {
    samples(10);
    merge(gpx(track(point(1, at("10:00:05")) + point(2, at("10:00:07")) + point(3, at("10:00:10")))));
    EXPECT_EQ(latitudes(), (std::vector<double>{0, 0, 1, 3, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(state.ExerciseDatas.GetLongitude(3), 103);
}

TEST_F(Gpx_align, ignoringTimesPutsPointPOnSampleP1) {
    state.Settings.GPSITime = true;
    samples(10);
    merge(gpx(track(point(1, at("10:00:05")) + point(2, at("10:00:07")) + point(3, at("10:00:10")))));
    EXPECT_EQ(latitudes(), (std::vector<double>{0, 1, 2, 3, 0, 0, 0, 0, 0, 0}));
}

TEST_F(Gpx_align, pointAtStartAndPointsOutOfOrderOrBeforeTheStart) {
    samples(6);
    // Matching only moves forward: 10:00:05 after 10:00:10 finds nothing; the
    // point 15 s before the start counts as 15 s after it (time of day of |difference|).
    merge(gpx(track(point(1, at("10:00:00")) + point(2, at("10:00:10")) + point(3, at("10:00:05")) +
                    point(4, "2009-05-01T09:59:45Z"))));
    EXPECT_EQ(latitudes(), (std::vector<double>{0, 1, 0, 2, 4, 0}));
}

TEST_F(Gpx_align, atMostCountMinusOnePointsTakePart) {
    state.Settings.GPSITime = true;
    std::string points;
    for (int p = 0; p < 20; ++p) points += point(p + 1, "");
    samples(10);
    merge(gpx(track(points)));
    EXPECT_EQ(latitudes(), (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));

    // By time too: the third point of three samples would match sample 0, but takes no part.
    state.Settings.GPSITime = false;
    TPluginState three;
    three.Summary.StartDateTime = kStart;
    for (int32_t i = 0; i < 3; ++i) three.ExerciseDatas.SetTimeOffset(i, i * 5);
    writeFile(files.file("three.gpx"), gpx(track(point(1, at("11:00:00")) + point(2, at("11:00:00")) +
                                                  point(3, at("10:00:00")))));
    MergeGpxTrack(three, files.file("three.gpx"));
    EXPECT_EQ(three.ExerciseDatas.GetLatitude(1), 0);

    TPluginState single;
    single.ExerciseDatas.SetTimeOffset(0, 0);
    writeFile(files.file("one.gpx"), gpx(track(points)));
    MergeGpxTrack(single, files.file("one.gpx"));
    EXPECT_EQ(single.ExerciseDatas.GetLatitude(0), 0);
    EXPECT_EQ(single.ExerciseDatas.Count(), 1);
}

TEST_F(Gpx_align, morePointsThanTheLineCountSuggestsAreAllMerged) {
    state.Settings.GPSITime = true;
    samples(60);
    std::string points;
    for (int p = 0; p < 50; ++p) points += "<trkpt lat=\"" + std::to_string(p + 1) + "\" lon=\"1\"/>\n";
    merge("<gpx><trk><trkseg>\n" + points + "</trkseg></trk></gpx>\n");  // 52 lines for 50 points
    const std::vector<double> lat = latitudes();
    for (int p = 0; p < 50; ++p) EXPECT_EQ(lat[static_cast<size_t>(p + 1)], p + 1) << p;
    EXPECT_EQ(lat[51], 0);
}

TEST_F(Gpx_reading, elementNamesCaseAndPrefixRules) {
    state.Settings.GPSITime = true;
    samples(10);
    merge(gpx("<trk><TrkSeg>" + point(1, "", "TRKPT") + point(2, "") + "</TrkSeg></trk>\n" +
              "<Trk><trkseg>" + point(7, "") + "</trkseg></Trk>\n" +
              "<g:trk xmlns:g=\"urn:x\"><trkseg>" + point(8, "") + "</trkseg></g:trk>\n" +
              "<trk><trkseg>" + point(9, "", "g:trkpt") + point(3, "") + "</trkseg><other>" + point(6, "") +
              "</other></trk>\n"));
    EXPECT_EQ(latitudes(), (std::vector<double>{0, 1, 2, 3, 0, 0, 0, 0, 0, 0}));
}

TEST_F(Gpx_reading, attributesTimeChildAndBadValues) {
    samples(10);
    merge(gpx(track("<trkpt lon=\"8.5\" lat=\"50.123\"><TIME>" + at("10:00:05") + "</TIME></trkpt>\n" +
                    "<trkpt lat=\"north\" lon=\"9\"><time>" + at("10:00:10") + "</time></trkpt>\n" +
                    // only the first time child counts, and it is unreadable: time 0
                    "<trkpt lat=\"5\" lon=\"5\"><time>late</time><time>" + at("10:00:15") + "</time></trkpt>\n" +
                    "<trkpt lat=\"6\" lon=\"6\"><time><b>x</b></time></trkpt>\n" +
                    "<trkpt lat=\"7\" lon=\"7\"><time>" + at("10:00:20") + "</time></trkpt>\n")));
    EXPECT_EQ(latitudes(), (std::vector<double>{0, 0, 50.123, 0, 0, 7, 0, 0, 0, 0}));
    EXPECT_EQ(state.ExerciseDatas.GetLongitude(2), 8.5);
    EXPECT_EQ(state.ExerciseDatas.GetLongitude(3), 9);  // a bad latitude still places the point
}

TEST_F(Gpx_reading, pointsWithoutTimeMatchOnlyTheStartsTimeOfDay) {
    samples(3, 18000);  // offsets 0, 18000, 36000: the last equals the start's time of day
    merge(gpx(track(point(1, "") + point(2, ""))));
    EXPECT_EQ(latitudes(), (std::vector<double>{0, 0, 0}));  // the match is the last sample: no sample after it
    samples(4, 18000);
    merge(gpx(track(point(1, ""))));
    EXPECT_EQ(latitudes(), (std::vector<double>{0, 0, 0, 1}));
}

TEST_F(Gpx_reading, decimalSeparatorIsADotDuringReadingAndRestoredAfter) {
    state.Settings.GPSITime = true;
    samples(3);
    fw::DecimalSeparatorScope comma(',');
    merge(gpx(track("<trkpt lat=\"50.123\" lon=\"8,5\"/>\n")));
    EXPECT_EQ(state.ExerciseDatas.GetLatitude(1), 50.123);
    EXPECT_EQ(state.ExerciseDatas.GetLongitude(1), 0);
    EXPECT_EQ(fw::decimalSeparator(), ',');
}

TEST_F(Gpx_reading, unreadableFilesWriteNothingAndSetNoFlag) {
    state.Settings.Debug = true;
    state.Settings.GPSITime = true;
    samples(5);
    for (const char* content : {"", "<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"1\"/></trkseg></trk>", "not xml"}) {
        merge(content);
        EXPECT_EQ(latitudes(), std::vector<double>(5, 0.0)) << content;
        EXPECT_EQ(state.DebugFlags, 0) << content;
    }
    MergeGpxTrack(state, files.file("missing.gpx"));
    EXPECT_EQ(state.DebugFlags, 0);
    merge("<gpx><wpt lat=\"1\" lon=\"1\"/></gpx>");  // no track: nothing, but parsed
    EXPECT_EQ(latitudes(), std::vector<double>(5, 0.0));
    EXPECT_EQ(state.DebugFlags, kGpxParsed);
}
