// The command-line host end to end: it runs as the user runs it, on files
// written here, and what it prints is checked as the host received it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "framework/Zip.h"
#include "tests/host/HostFixture.h"
#include "tests/host/MiniJson.h"

namespace {

namespace fs = std::filesystem;

using HostReports_json = Host;
using HostReports_exit = Host;
using HostReports_csv = Host;
using HostReports_table = Host;
using HostReports_example = Host;
using HostReports_realFiles = Host;

TEST_F(HostReports_json, handsOverEveryRecordOfAnExercise) {
    const std::string file = write("ride.hrm", hrmText(rideWithLaps()));
    write("ride.gpx", gpxText(kTrack));
    const Json doc = json({file});

    ASSERT_EQ(doc["files"].size(), 1u);
    EXPECT_EQ(doc["files"][0]["file"].text, file);
    const Json& exercise = doc["files"][0]["exercises"][0];
    EXPECT_EQ(exercise["index"].number, 0);
    EXPECT_EQ(exercise["sampleCount"].number, 100);
    EXPECT_EQ(exercise["note"].text, "First line\r\nCaf\xe9 stop, \"quoted\" \\ back");

    const Json& summary = exercise["summary"];
    EXPECT_EQ(summary["IntervalSec"].number, 5);
    EXPECT_EQ(summary["LapCount"].number, 3);
    EXPECT_EQ(summary["DurationSec"].number, 500);
    EXPECT_EQ(summary["MonitorType"].number, 12);
    EXPECT_NEAR(summary["StartDateTime"].number, 45424 + 10 / 24.0, 1e-9);  // 2024-05-12 10:00

    const Json& laps = exercise["laps"];
    ASSERT_EQ(laps.size(), 3u);
    for (size_t k = 0; k < 3; ++k) EXPECT_EQ(laps[k]["LapMarker"].number, 2) << k;
    EXPECT_EQ(laps[1]["LapTemperature"].number, 230);
    EXPECT_EQ(laps[2]["LapSplit"].number, 495);
    EXPECT_EQ(laps[2]["LapEndOfDay"].number, 36000 + 495);

    const Json& samples = exercise["samples"];
    ASSERT_EQ(samples.size(), 100u);
    EXPECT_EQ(samples[99]["TimeOffset"].number, 495);
    // Doubles must read back bit for bit: the distance the plug-in summed up.
    double distance = 0;
    for (int i = 1; i < 100; ++i) distance += 5 * 36.0 / 3600;
    EXPECT_EQ(samples[99]["Distance"].number, distance);
    EXPECT_EQ(samples[0]["Temperature"].number, 20.0);
    EXPECT_EQ(samples[1]["Latitude"].number, 0);
    EXPECT_EQ(samples[2]["Latitude"].number, 47.1000001);
    EXPECT_EQ(samples[2]["Longitude"].number, 8.2000001);
    EXPECT_EQ(samples[3]["Latitude"].number, 47.1000003);
    EXPECT_EQ(samples[0].members.count("SampleText"), 0u);
}

TEST_F(HostReports_json, settingsFileSwitchesTrackAndDebugBox) {
    const std::string file = write("ride.hrm", hrmText(rideWithLaps()));
    write("ride.gpx", gpxText(kTrack));

    const HostRun defaults = run({"--format", "json", file});
    EXPECT_EQ(defaults.err.find("[plug-in message]"), std::string::npos);

    const std::string settings = write("settings.ini", "[SETTINGS]\r\nGPS=0\r\nDebug=1\r\n");
    const HostRun debug = run({"--settings", settings, "--format", "json", file});
    EXPECT_EQ(debug.status, 0);
    EXPECT_NE(debug.err.find("[plug-in message] Debuginfos :\n"), std::string::npos) << debug.err;
    EXPECT_NE(debug.err.find("[plug-in message] HR values added\n"), std::string::npos) << debug.err;
    // The box goes to standard error only: the document stays clean.
    const Json doc = Json::parse(debug.out);
    const Json& samples = doc["files"][0]["exercises"][0]["samples"];
    for (size_t j = 0; j < samples.size(); ++j) ASSERT_EQ(samples[j]["Latitude"].number, 0) << j;
}

TEST_F(HostReports_json, archiveExercisesByIndex) {
    HrmShape shortRide;
    shortRide.samples = 20;
    HrmShape longerRide;
    longerRide.samples = 30;
    const std::vector<fw::ZipSource> entries = {
        {"a.hrm", write("a.hrm", hrmText(shortRide))},
        {"a.gpx", write("a.gpx", gpxText(kTrack))},
        {"b.hrm", write("b.hrm", hrmText(longerRide))},
    };
    const std::string archive = path("rides.hrz");
    fw::writeZip(archive, entries);
    for (const auto& entry : entries) fs::remove(entry.path);

    const Json doc = json({archive});
    // Every entry counts as an exercise; the track entry analyses to nothing.
    const Json& exercises = doc["files"][0]["exercises"];
    ASSERT_EQ(exercises.size(), 3u);
    EXPECT_EQ(exercises[0]["sampleCount"].number, 20);
    EXPECT_EQ(exercises[0]["samples"][2]["Latitude"].number, 47.1000001);
    EXPECT_EQ(exercises[1]["sampleCount"].number, 30);
    EXPECT_EQ(exercises[1]["samples"].size(), 30u);
    EXPECT_EQ(exercises[2]["index"].number, 2);
    EXPECT_EQ(exercises[2]["sampleCount"].number, 0);
    EXPECT_TRUE(exercises[2]["summary"].isNull());
    EXPECT_EQ(exercises[2]["laps"].size(), 0u);
    EXPECT_EQ(exercises[2]["samples"].size(), 0u);
}

TEST_F(HostReports_exit, statusAndMessages) {
    const std::string file = write("ride.hrm", hrmText(HrmShape{}));
    const struct {
        std::vector<std::string> args;
        int status;
        const char* message;
    } cases[] = {
        {{file}, 0, ""},
        {{"--help"}, 0, ""},
        {{}, 2, "no raw file given"},
        {{"--format", "xml", file}, 2, "unknown format 'xml'"},
        {{"--bogus", file}, 2, "unknown option --bogus"},
        {{file, "--settings"}, 2, "--settings needs a value"},
        {{"--dll", "PolarImport.dll", file}, 2, "unknown option --dll"},  // the plug-in is linked in
        {{"--format", "tcx", file}, 2, "name their folder with --output DIR"},
        {{"--output", path("out"), file}, 2, "--output, --utc-offset, --track-offset, --track-by-order and --verbose"},
        {{"--verbose", file}, 2, "and --verbose apply only to --format tcx"},
        {{"--format", "fit", "--output", path("out"), "--utc-offset", "+2", file}, 2, "--utc-offset wants +HH:MM"},
        {{"--format", "fit,json", "--output", path("out"), file}, 2, "one report (table, csv, json) or writes files"},
        {{"--format", "fit", "--output", path("out"), "--track-offset", "+6", file}, 2, "--track-offset wants"},
        {{"--format", "fit", "--output", path("out"), "--sport-map", "2=biking", file}, 2, "'2=biking' is no"},
        {{"--format", "fit", "--output", path("out"), "--text-encoding", "utf-8", file}, 2, "--text-encoding wants"},
        {{path("missing.hrz")}, 1, "missing.hrz: no exercise"},
        {{file, path("missing.hrm")}, 1, "missing.hrm: no exercise gave a sample"},
    };
    for (const auto& c : cases) {
        const HostRun result = run(c.args);
        EXPECT_EQ(result.status, c.status) << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    // A failing file does not cost the others their report.
    const Json doc = json({file, path("missing.hrm")}, 1);
    EXPECT_EQ(doc["files"][0]["exercises"][0]["sampleCount"].number, 100);
    EXPECT_EQ(doc["files"][1]["exercises"][0]["sampleCount"].number, 0);
}

TEST_F(HostReports_csv, oneRowPerSampleWithQuotedPath) {
    const std::string file = write("a,b.hrm", hrmText(HrmShape{}));
    const HostRun result = run({"--format", "csv", file});
    ASSERT_EQ(result.status, 0) << result.err;
    std::vector<std::string> lines;
    std::istringstream in(result.out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 101u);
    EXPECT_EQ(lines[0],
              "file,index,sport,HR,Distance,Speed,Altitude,Temperature,Power,Balance,Cadence,Latitude,Longitude,"
              "TimeOffset,SampleFlag");
    EXPECT_EQ(lines[100].rfind("\"" + file + "\",0,cycling,", 0), 0u) << lines[100];
    EXPECT_EQ(lines[100].substr(lines[100].size() - 6), ",495,0");
}

TEST_F(HostReports_table, showsDatesDurationAndEndsOfTheSamples) {
    const std::string file = write("ride.hrm", hrmText(rideWithLaps()));
    const HostRun result = run({file});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string& out = result.out;
    EXPECT_NE(out.find("100 samples, 3 laps"), std::string::npos) << out;
    EXPECT_NE(out.find("Start      2024-05-12 10:00:00"), std::string::npos) << out;
    EXPECT_NE(out.find("End        2024-05-12 10:08:20"), std::string::npos) << out;
    EXPECT_NE(out.find("Duration   0:08:20"), std::string::npos) << out;
    EXPECT_NE(out.find("Caf\xc3\xa9 stop"), std::string::npos) << "note shown in UTF-8";
    EXPECT_NE(out.find("\n       4   0:00:20"), std::string::npos) << out;
    EXPECT_NE(out.find("\n     ...\n      95   0:07:55"), std::string::npos) << out;
    EXPECT_NE(out.find("\n      99   0:08:15"), std::string::npos) << out;
    EXPECT_EQ(out.find("\n       5   0:00:25"), std::string::npos) << out;
}

TEST_F(HostReports_example, bundledRideMatchesItsTrack) {
    const std::string gpx = readFile(POLAR_EXAMPLES_DIR "/ride.gpx");
    const std::string firstLat = attributeAfter(gpx, "<trkpt lat=\"");
    const std::string firstLon = attributeAfter(gpx, "\" lon=\"");
    ASSERT_FALSE(firstLat.empty());
    const Json doc = json({POLAR_EXAMPLES_DIR "/ride.hrm"});
    const Json& exercise = doc["files"][0]["exercises"][0];
    EXPECT_EQ(exercise["sampleCount"].number, 720);
    EXPECT_EQ(exercise["summary"]["LapCount"].number, 3);
    EXPECT_EQ(exercise["samples"][719]["TimeOffset"].number, 3595);
    EXPECT_EQ(exercise["samples"][1]["Latitude"].number, std::stod(firstLat));
    EXPECT_EQ(exercise["samples"][1]["Longitude"].number, std::stod(firstLon));
    EXPECT_NE(exercise["samples"][719]["Latitude"].number, 0);
}

// Files recorded by real monitors: each must analyse. A positive start
// delay ends the load before any sample, so such a file yields none.
TEST_F(HostReports_realFiles, everyFileGivesItsSamples) {
    if (!fs::is_directory(POLAR_REAL_FILES_DIR)) GTEST_SKIP() << "no " POLAR_REAL_FILES_DIR;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(POLAR_REAL_FILES_DIR)) {
        if (entry.path().extension() != ".hrm") continue;
        ++files;
        const std::string file = entry.path().string();
        const std::string delay = attributeAfter(readFile(file), "\nStartDelay=");
        const bool delayed = !delay.empty() && std::atoi(delay.c_str()) > 0;
        const HostRun result = run({"--format", "json", file});
        EXPECT_EQ(result.status, delayed ? 1 : 0) << file << "\n" << result.err;
        const Json doc = Json::parse(result.out);
        const Json& exercise = doc["files"][0]["exercises"][0];
        const double n = exercise["sampleCount"].number;
        if (delayed) {
            EXPECT_EQ(n, 0) << file;
            continue;
        }
        EXPECT_GT(n, 0) << file;
        ASSERT_EQ(exercise["samples"].size(), static_cast<size_t>(n)) << file;
        EXPECT_EQ(exercise["samples"][static_cast<size_t>(n) - 1]["TimeOffset"].number,
                  (n - 1) * exercise["summary"]["IntervalSec"].number)
            << file;
    }
    EXPECT_GT(files, 0);
}

}  // namespace
