// GPS tracks the converter places itself, read back by the FIT SDK,
// gpsbabel and the schemas: tracks in true UTC, off the samples' grid,
// without times, of another hour; and what a track gives a recording of
// heart rate alone. The rules in detail are the placement's unit tests.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/host/ConvertFixture.h"

namespace {

using GpsTrack_clock = ConvertFixture;
using GpsTrack_points = ConvertFixture;

// A point every 5 s from `first` to `last` seconds after 10:00:00 of the
// exercise's day, written with the time shifted by `shift` seconds and
// marked `zone` ("Z", "+06:00", or "" for none and no time at all).
std::string trackText(int first, int last, int shift, const std::string& zone) {
    std::string text =
        "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\"><trk><trkseg>\n";
    for (int offset = first, k = 0; offset <= last; offset += 5, ++k) {
        const int at = 36000 + offset + shift;
        char point[160];
        std::snprintf(point, sizeof point, "<trkpt lat=\"%.6f\" lon=\"%.6f\"><ele>%d</ele>", 46.5 + k * 0.0001, 7.5,
                      500 + k);
        text += point;
        if (!zone.empty()) {
            std::snprintf(point, sizeof point, "<time>2024-05-12T%02d:%02d:%02d%s</time>", at / 3600, at / 60 % 60,
                          at % 60, zone.c_str());
            text += point;
        }
        text += "</trkpt>\n";
    }
    return text + "</trkseg></trk></gpx>\n";
}

HrmShape heartRateOnly() {
    HrmShape shape;
    shape.smode = "000000000";
    return shape;
}

// A phone's track in true UTC of a watch at UTC+06:00, whatever the
// machine's zone: every sample it spans gets its position, the files their
// times at +06:00, and a recording of heart rate alone the track's distance,
// speed and elevation.
TEST_F(GpsTrack_clock, trueUtcPlacedAtItsOffsetAndHeartRateOnlyGains) {
    const std::string file = write("ride.hrm", hrmText(heartRateOnly()));
    write("ride.gpx", trackText(0, 495, -6 * 3600, "Z"));
    const HostRun result = convert("fit,tcx,gpx", {"--verbose", file}, 0, "TZ=Europe/Zurich");
    EXPECT_NE(result.err.find("ride.gpx: track placed by its times as UTC, the watch at UTC+06:00"),
              std::string::npos)
        << result.err;
    const Json messages = fit(path("out/ride.fit"));
    const Json& records = messages["recordMesgs"];
    ASSERT_EQ(records.size(), 100u);
    EXPECT_EQ(records[0]["timestamp"].text, "2024-05-12T04:00:00.000Z");
    for (size_t j = 0; j < records.size(); ++j) {
        ASSERT_EQ(records[j].members.count("positionLat"), 1u) << j;
        ASSERT_EQ(records[j].members.count("altitude"), 1u) << j;
    }
    EXPECT_EQ(records[0]["distance"].number, 0);
    EXPECT_NEAR(records[99]["distance"].number, 99 * 11.12, 1.0);  // 0.0001 degrees of latitude a point
    EXPECT_NEAR(records[50]["speed"].number, 11.12 / 5, 0.05);
    EXPECT_EQ(records[10]["altitude"].number, 510);
    EXPECT_NEAR(messages["sessionMesgs"][0]["totalDistance"].number, 99 * 11.12, 1.0);
    EXPECT_EQ(gpsbabel("gpx", path("out/ride.gpx")).size(), 100u);
    const std::string tcx = readFile(path("out/ride.tcx"));
    EXPECT_NE(tcx.find("UTC+06:00, the offset at which the GPS track's UTC times line up"), std::string::npos);
    EXPECT_NE(tcx.find("Distance and speed along the GPS track. Elevation from the GPS track."), std::string::npos);

    // --utc-offset keeps the files' times where the user puts them.
    convert("fit", {"--utc-offset", "+02:00", file});
    EXPECT_EQ(fit(path("out/ride.fit"))["recordMesgs"][0]["timestamp"].text, "2024-05-12T08:00:00.000Z");
}

// A track of another time fits the exercise under no reading: nothing is
// placed and both spans are named; forced, it is placed as asked.
TEST_F(GpsTrack_clock, anotherTimeFitsNowhereUnlessForced) {
    const std::string file = write("ride.hrm", hrmText(heartRateOnly()));
    write("ride.gpx", trackText(0, 495, 37 * 60, "Z"));
    HostRun result = convert("fit", {file});
    EXPECT_NE(result.err.find("track not placed: its times fit the exercise under no reading (track 10:37-10:45, "
                              "exercise 10:00-10:08)"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(fit(path("out/ride.fit"))["recordMesgs"][0].members.count("positionLat"), 0u);
    EXPECT_NE(result.err.find("GPS tracks: 0 placed, 1 not"), std::string::npos) << result.err;

    result = convert("fit", {"--track-offset", "-00:37", file});
    EXPECT_EQ(fit(path("out/ride.fit"))["recordMesgs"][50].members.count("positionLat"), 1u) << result.err;
}

// A track whose readable times run backwards, half of its times unreadable
// besides, is read by no offset (one would shift every time and reverse the
// route): the run says why and names --track-by-order, which places it.
TEST_F(GpsTrack_clock, backwardTimesPlaceNothing) {
    const std::string file = write("ride.hrm", hrmText(heartRateOnly()));
    std::string text =
        "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\"><trk><trkseg>\n";
    for (int k = 0; k < 100; ++k) {
        const int at = 36000 + 495 - 5 * k;
        char time[64] = "10:00";  // no date-time
        if (k % 2) std::snprintf(time, sizeof time, "2024-05-12T%02d:%02d:%02dZ", at / 3600, at / 60 % 60, at % 60);
        char point[160];
        std::snprintf(point, sizeof point, "<trkpt lat=\"%.6f\" lon=\"7.5\"><time>%s</time></trkpt>\n",
                      46.5 + k * 0.0001, time);
        text += point;
    }
    write("ride.gpx", text + "</trkseg></trk></gpx>\n");
    HostRun result = convert("fit", {file});
    EXPECT_NE(result.err.find("ride.gpx: 50 times that could not be read"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("ride.gpx: track not placed: 49 of the 49 steps between its readable times go back in "
                              "time, so its times cannot place it (--track-by-order spreads its points over the "
                              "exercise in file order)"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(fit(path("out/ride.fit"))["recordMesgs"][50].members.count("positionLat"), 0u);
    EXPECT_NE(result.err.find("GPS tracks: 0 placed, 1 not"), std::string::npos) << result.err;

    result = convert("fit", {"--track-by-order", file});
    EXPECT_EQ(fit(path("out/ride.fit"))["recordMesgs"][50].members.count("positionLat"), 1u) << result.err;
}

// A track every 5 s but 3 s off the samples' grid places a position on
// every sample between its first and last point, interpolated in time.
TEST_F(GpsTrack_points, offTheGridInterpolated) {
    const std::string file = write("ride.hrm", hrmText(HrmShape{}));
    write("ride.gpx", trackText(13, 493, 0, "Z"));
    convert("fit", {file});
    const Json messages = fit(path("out/ride.fit"));
    const Json& records = messages["recordMesgs"];
    for (size_t j = 0; j < records.size(); ++j)
        EXPECT_EQ(records[j].members.count("positionLat"), j >= 3 && j <= 98 ? 1u : 0u) << j;
    // Sample 3, 15 s, lies 2 s after the first point (46.5) and 3 s before the second (46.5001).
    EXPECT_EQ(records[3]["positionLat"].number, semicircles(46.5 + 0.0001 * 2 / 5));
}

// A track without times is placed only when asked, its points then spread
// over the exercise in order.
TEST_F(GpsTrack_points, withoutTimesOnlyByOrder) {
    const std::string file = write("ride.hrm", hrmText(HrmShape{}));
    write("ride.gpx", trackText(0, 495, 0, ""));
    HostRun result = convert("gpx", {file}, 1);
    EXPECT_NE(result.err.find("ride.gpx: track not placed: none of its points has a time"), std::string::npos)
        << result.err;
    result = convert("gpx", {"--track-by-order", file});
    EXPECT_EQ(gpsbabel("gpx", path("out/ride.gpx")).size(), 100u) << result.err;
}

}  // namespace
