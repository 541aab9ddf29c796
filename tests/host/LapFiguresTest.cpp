// The laps and session of the converted files against their own records, as
// the FIT SDK decodes them (fit-check/consistency.mjs): every real file, and
// rides made to show what a monitor's lap rows get wrong.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/host/ConvertFixture.h"
#include "tests/shared/HrmText.h"

namespace fs = std::filesystem;

namespace {

using LapFigures_records = ConvertFixture;
using LapFigures_temperature = ConvertFixture;

// A ride of `samples` rows 5 s apart: speed, cadence, altitude and power that
// vary, some cadences and powers 0, a climb of 3 m a row and then a descent.
Hrm ride(int samples, const std::vector<HrmLap>& laps, const std::string& smode = "111100000") {
    Hrm hrm;
    hrm.smode = smode;
    hrm.date = "20240512";
    char length[16];
    std::snprintf(length, sizeof length, "%d:%02d:%02d.0", samples * 5 / 3600, samples * 5 / 60 % 60, samples * 5 % 60);
    hrm.length = length;
    hrm.interval = "5";
    for (int j = 0; j < samples; ++j) {
        const int speed = 150 + (j * 37) % 200, cadence = j % 9 == 0 ? 0 : 70 + j % 25;
        const int altitude = 400 + 3 * std::min(j, samples / 2) - 2 * std::max(0, j - samples / 2);
        const int power = j % 7 == 0 ? 0 : 120 + (j * 13) % 140;
        std::string row = std::to_string(110 + j % 40);
        if (smode[0] == '1') row += "\t" + std::to_string(speed);
        if (smode[1] == '1') row += "\t" + std::to_string(cadence);
        if (smode[2] == '1') row += "\t" + std::to_string(altitude);
        if (smode[3] == '1') row += "\t" + std::to_string(power);
        hrm.rows.push_back(row);
    }
    if (!laps.empty()) hrm.laps(laps);
    return hrm;
}

// Laps as a watch writes them: the speed and cadence of the moment the lap
// was pressed (here at a standstill, 0), no ascent, and `temperature` tenths.
HrmLap pressed(const std::string& split, int temperature = 0) {
    return {.split = split, .heartRate = 100, .minimum = 95, .average = 60, .maximum = 232, .speed = 0, .cadence = 0,
            .altitude = 400, .ascent = 0, .power = 0, .temperature = temperature};
}

class Consistency : public ConvertFixture {
protected:
    // The violations consistency.mjs finds in a FIT file, none expected.
    void expectConsistent(const std::string& file) const {
        const HostRun check =
            runShell("node " + shellQuoted(POLAR_FIT_CHECK_DIR "/consistency.mjs") + " " + shellQuoted(file));
        EXPECT_EQ(check.status, 0) << file << ": " << check.out << check.err;
    }
    void expectAllConsistent() const {
        int files = 0;
        for (const auto& entry : fs::recursive_directory_iterator(path("out")))
            if (entry.path().extension() == ".fit") expectConsistent(entry.path().string()), ++files;
        EXPECT_GT(files, 0);
    }
};

using LapFigures_files = Consistency;

TEST_F(LapFigures_files, realFilesTellWhatTheirRecordsHold) {
    if (!fs::is_directory(POLAR_REAL_FILES_DIR)) GTEST_SKIP() << "no real files: ../shared/real-files is missing";
    convert("fit,tcx", {POLAR_REAL_FILES_DIR, POLAR_EXAMPLES_DIR "/ride.hrm"});
    expectAllConsistent();
}

// The lap press at a standstill gave the watch's lap rows 0 km/h and a
// maximum heart rate no sample reached; the recording goes on for 70 s
// after the last press.
TEST_F(LapFigures_files, lapPressAtStandstillAndTimeAfterTheLastLap) {
    write("ride.hrm", ride(120, {pressed("0:03:20.0"), pressed("0:08:50.0")}).text());
    write("ride.gpx", rideTrackText(595));
    convert("fit,tcx", {path("ride.hrm")});
    expectAllConsistent();
    const Json fit = this->fit(path("out/ride.fit"));
    const Json& laps = fit["lapMesgs"];
    ASSERT_EQ(laps.size(), 3u);
    EXPECT_DOUBLE_EQ(laps[2]["totalElapsedTime"].number, 70);
    for (size_t k = 0; k < laps.size(); ++k) {
        EXPECT_GT(laps[k]["avgSpeed"].number, 4) << k;
        EXPECT_LE(laps[k]["maxHeartRate"].number, 149) << k;
        EXPECT_GT(laps[k]["avgPower"].number, 100) << k;
    }
    EXPECT_GT(fit["sessionMesgs"][0]["totalAscent"].number, 150);
    EXPECT_GT(fit["sessionMesgs"][0]["totalDescent"].number, 100);

    // TCX: the same three laps, their distances adding up to the last trackpoint's.
    const std::string tcx = readFile(path("out/ride.tcx"));
    double lapDistance = 0;
    int lapCount = 0;
    for (size_t at = tcx.find("<Lap "); at != std::string::npos; at = tcx.find("<Lap ", at + 1), ++lapCount)
        lapDistance += std::stod(attributeAfter(tcx.substr(at), "<DistanceMeters>"));
    EXPECT_EQ(lapCount, 3);
    const std::vector<Row> points = gpsbabel("gtrnctr", path("out/ride.tcx"));
    ASSERT_EQ(points.size(), 118u);
    EXPECT_GT(lapDistance, 1000);
    EXPECT_NEAR(lapDistance, fit["sessionMesgs"][0]["totalDistance"].number, 0.05);
}

// A lap starting where the GPS track has a gap still gets the distance the
// track covers across it.
TEST_F(LapFigures_files, lapStartingInTrackGapKeepsItsDistance) {
    write("ride.hrm", ride(100, {pressed("0:02:30.0"), pressed("0:05:00.0")}, "000000000").text());
    std::vector<GpxPoint> points;
    for (int offset = 0, k = 0; offset <= 495; offset += 5, ++k) {
        if (offset > 120 && offset < 200) continue;  // the gap: the second lap starts at 150 s
        char lat[16], lon[16], time[16];
        std::snprintf(lat, sizeof lat, "%.7f", 47.1 + k * 0.0002);
        std::snprintf(lon, sizeof lon, "%.7f", 8.2);
        std::snprintf(time, sizeof time, "10:%02d:%02d", offset / 60, offset % 60);
        points.push_back({lat, lon, time});
    }
    write("ride.gpx", gpxText(points));
    convert("fit", {path("ride.hrm")});
    expectAllConsistent();
    const Json fit = this->fit(path("out/ride.fit"));
    const Json& laps = fit["lapMesgs"];
    ASSERT_EQ(laps.size(), 3u);
    EXPECT_GT(laps[1]["totalDistance"].number, 600);
}

// A watch without a sensor writes 0.0 °C for every lap: no temperature at all.
TEST_F(LapFigures_temperature, sensorlessWatchHasNone) {
    write("ride.hrm", ride(100, {pressed("0:02:30.0", 0), pressed("0:05:00.0", 0), pressed("0:08:20.0", 0)}).text());
    write("ride.gpx", rideTrackText());
    convert("fit,gpx", {path("ride.hrm")});
    const Json fit = this->fit(path("out/ride.fit"));
    const Json& records = fit["recordMesgs"];
    for (size_t k = 0; k < records.size(); ++k) EXPECT_EQ(records[k].members.count("temperature"), 0u) << k;
    EXPECT_EQ(readFile(path("out/ride.gpx")).find("atemp"), std::string::npos);
}

// A 0.0 among laps of 20 °C is a reading lost; 0.0 beside 0.5 and -1.0 a winter's day.
TEST_F(LapFigures_temperature, zeroFarFromTheOtherLapsSkipped) {
    write("warm.hrm", ride(100, {pressed("0:02:30.0", 200), pressed("0:05:00.0", 0), pressed("0:08:20.0", 220)}).text());
    write("cold.hrm", ride(100, {pressed("0:02:30.0", 0), pressed("0:05:00.0", 5), pressed("0:08:20.0", -10)}).text());
    convert("fit", {path("warm.hrm"), path("cold.hrm")});
    const Json warmFit = fit(path("out/warm.fit")), coldFit = fit(path("out/cold.fit"));
    const Json& warm = warmFit["recordMesgs"];
    ASSERT_EQ(warm.size(), 100u);
    for (size_t k = 0; k < warm.size(); ++k) {
        EXPECT_GE(warm[k]["temperature"].number, 20) << k;
        EXPECT_LE(warm[k]["temperature"].number, 22) << k;
    }
    const Json& cold = coldFit["recordMesgs"];
    EXPECT_EQ(cold[0]["temperature"].number, 0);
    EXPECT_EQ(cold[99]["temperature"].number, -1);
}

}  // namespace
