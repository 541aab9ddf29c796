// Converted files end to end: the host writes them as a user runs it, and
// independent readers read them back: gpsbabel the TCX and GPX files,
// Garmin's FIT SDK (node, tests/host/fit-check) the FIT files, xmllint the
// charts; every TCX and GPX file a test has the host write is validated
// against the published schemas (../shared/schemas) when the test ends.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "framework/Zip.h"
#include "tests/host/ConvertFixture.h"
#include "tests/shared/HrmText.h"

namespace {

namespace fs = std::filesystem;

// 200 beats of 600 to 990 ms, with a row that is no number after beat 50 and
// 3999 ms without a beat after beat 100.
std::vector<std::string> beatRows() {
    std::vector<std::string> rows;
    for (int k = 0; k < 200; ++k) {
        rows.push_back(std::to_string(600 + k * 37 % 400));
        if (k == 50) rows.push_back("-");
        if (k == 100) rows.push_back("3999");
    }
    return rows;
}

// The rows that are time, as recorded: the beats and the 3999 ms without one.
std::vector<double> beatIntervals() {
    std::vector<double> seconds;
    for (int k = 0; k < 200; ++k) {
        seconds.push_back((600 + k * 37 % 400) / 1000.0);
        if (k == 100) seconds.push_back(3.999);
    }
    return seconds;
}

using ConvertedFiles = ConvertFixture;
using ConvertedFiles_tcx = ConvertedFiles;
using ConvertedFiles_gpx = ConvertedFiles;
using ConvertedFiles_fit = ConvertedFiles;
using ConvertedFiles_usUnits = ConvertedFiles;
using ConvertedFiles_archive = ConvertedFiles;
using ConvertedFiles_svg = ConvertedFiles;
using ConvertedFiles_failures = ConvertedFiles;
using ConvertedFiles_schemas = ConvertedFiles;
using ConvertedFiles_honestOutputs = ConvertedFiles;
using ConvertedFiles_sport = ConvertedFiles;
using ConvertedFiles_rr = ConvertedFiles;
using ConvertedFiles_realFiles = ConvertedFiles;

TEST_F(ConvertedFiles_tcx, lapsTrackpointsAndExtensionsReadBack) {
    const std::string file = write("ride.hrm", hrmText(rideWithLaps()));
    write("ride.gpx", rideTrackText());
    const HostRun result = convert("tcx", {"--utc-offset", "+02:00", file});
    EXPECT_EQ(result.out, path("out/ride.tcx") + "\n");

    // gpsbabel keeps the trackpoints with a position: samples 2 to 99, which the track covers.
    const std::vector<Row> rows = gpsbabel("gtrnctr", path("out/ride.tcx"));
    ASSERT_EQ(rows.size(), 98u);
    EXPECT_EQ(rows[0].at("Latitude"), "47.100000");
    EXPECT_EQ(rows[0].at("Longitude"), "8.200000");
    EXPECT_EQ(rows[0].at("Time"), "08:00:10");  // 10:00:10 at UTC+02:00
    EXPECT_EQ(rows[0].at("Heartrate"), std::to_string(sampleHeartRate(2)));
    EXPECT_EQ(rows[1].at("Heartrate"), std::to_string(sampleHeartRate(3)));
    EXPECT_EQ(rows[1].at("Altitude"), "400.0");
    EXPECT_EQ(rows[1].at("Cadence"), "90");
    EXPECT_EQ(rows[1].at("Power"), "210.0");
    EXPECT_EQ(rows[1].at("Speed"), "10.00");  // 36 km/h

    // Laps end at 150, 300 and 495 s; a sample belongs to the lap it falls
    // in; the 5 s the recording goes on after the last press are a lap of their own.
    const std::string tcx = readFile(path("out/ride.tcx"));
    std::vector<int> perLap;
    for (size_t at = tcx.find("<Lap "); at != std::string::npos;) {
        const size_t next = tcx.find("<Lap ", at + 1);
        const std::string lap = tcx.substr(at, next - at);
        int points = 0;
        for (size_t p = lap.find("<Trackpoint>"); p != std::string::npos; p = lap.find("<Trackpoint>", p + 1)) ++points;
        perLap.push_back(points);
        at = next;
    }
    EXPECT_EQ(perLap, (std::vector<int>{30, 30, 39, 1}));
    EXPECT_NE(tcx.find("UTC+02:00, the offset given to polarhost"), std::string::npos);
    EXPECT_NE(tcx.find("<Notes>First line\nCaf\xc3\xa9 stop"), std::string::npos) << "note in UTF-8";
}

TEST_F(ConvertedFiles_gpx, machineTimeZoneAndTrackPointExtension) {
    const std::string file = write("ride.hrm", hrmText(rideWithLaps()));
    write("ride.gpx", rideTrackText());
    convert("gpx", {file}, 0, "TZ=Europe/Zurich");

    const std::vector<Row> rows = gpsbabel("gpx", path("out/ride.gpx"));
    ASSERT_EQ(rows.size(), 98u);
    EXPECT_EQ(rows[0].at("Date"), "2024/05/12");
    EXPECT_EQ(rows[0].at("Time"), "08:00:10");  // summer time in Zurich
    EXPECT_EQ(rows[0].at("Heartrate"), std::to_string(sampleHeartRate(2)));
    EXPECT_EQ(rows[0].at("Cadence"), "90");
    EXPECT_EQ(rows[0].at("Temperature"), "20.000");  // the first lap's 200 tenths
    EXPECT_EQ(rows[1].at("Latitude"), "47.100100");
    EXPECT_NE(readFile(path("out/ride.gpx")).find("UTC+02:00, the machine's time zone on that date"),
              std::string::npos);
}

TEST_F(ConvertedFiles_fit, recordsLapsSessionAndLocalTime) {
    const std::string file = write("ride.hrm", hrmText(rideWithLaps()));
    write("ride.gpx", rideTrackText());
    convert("fit", {"--utc-offset=-03:30", file});
    const Json messages = fit(path("out/ride.fit"));

    const Json& records = messages["recordMesgs"];
    ASSERT_EQ(records.size(), 100u);
    for (size_t j = 0; j < records.size(); ++j)
        ASSERT_EQ(records[j]["heartRate"].number, sampleHeartRate(static_cast<int>(j))) << j;
    EXPECT_EQ(records[0]["timestamp"].text, "2024-05-12T13:30:00.000Z");
    EXPECT_EQ(records[1].members.count("positionLat"), 0u);
    EXPECT_EQ(records[2]["positionLat"].number, semicircles(47.1000001));
    EXPECT_EQ(records[2]["positionLong"].number, semicircles(8.2000001));
    EXPECT_EQ(records[99]["distance"].number, 4950);  // 99 × 5 s at 10 m/s
    EXPECT_EQ(records[99]["speed"].number, 10);
    EXPECT_EQ(records[99]["altitude"].number, 400);
    EXPECT_EQ(records[99]["power"].number, 210);
    EXPECT_EQ(records[0]["temperature"].number, 20);

    const Json& laps = messages["lapMesgs"];
    ASSERT_EQ(laps.size(), 4u);
    EXPECT_EQ(laps[2]["totalElapsedTime"].number, 195);
    EXPECT_EQ(laps[3]["totalElapsedTime"].number, 5);  // to the end of the recording at 500 s
    EXPECT_EQ(laps[0]["totalDistance"].number, 1500);
    EXPECT_EQ(laps[0]["avgHeartRate"].number, 135);  // of samples 0 to 29, not the monitor's 140
    const Json& session = messages["sessionMesgs"][0];
    EXPECT_EQ(session["numLaps"].number, 4);
    EXPECT_EQ(session["totalDistance"].number, 4950);
    EXPECT_EQ(session["maxHeartRate"].number, 149);
    // The end, 13:38:20 UTC, in FIT's seconds since 1989-12-31, at -03:30.
    EXPECT_EQ(messages["activityMesgs"][0]["localTimestamp"].number, 1084455500 - 12600);
}

TEST_F(ConvertedFiles_usUnits, convertedWhileTheRecordsStayAsTheFileHasThem) {
    HrmShape shape = rideWithLaps();
    shape.smode = "111110010";  // the 8th character: US units
    const std::string file = write("ride.hrm", hrmText(shape));
    convert("fit", {file});
    const Json messages = fit(path("out/ride.fit"));
    const Json& records = messages["recordMesgs"];
    ASSERT_EQ(records.size(), 100u);
    EXPECT_EQ(records[99]["speed"].number, 16.093);                      // 36 mph
    EXPECT_NEAR(records[99]["distance"].number, 4.95 * 1609.344, 0.01);  // miles
    EXPECT_NEAR(records[99]["altitude"].number, 400 * 0.3048, 0.2);      // feet
    EXPECT_EQ(records[0]["temperature"].number, -7);                     // 20.0 °F

    const Json doc = json({file});
    EXPECT_EQ(doc["files"][0]["exercises"][0]["samples"][99]["Speed"].number, 36);
    EXPECT_EQ(doc["files"][0]["exercises"][0]["samples"][99]["Altitude"].number, 400);
}

TEST_F(ConvertedFiles_archive, aFilePerExerciseEachInItsOwnUnits) {
    HrmShape metric;
    metric.samples = 20;
    metric.length = "0:01:40.0";
    HrmShape us;
    us.samples = 30;
    us.start = "11:00:00.0";
    us.smode = "111110010";
    const std::vector<fw::ZipSource> entries = {
        {"a.hrm", write("a.hrm", hrmText(metric))},
        {"a.gpx", write("a.gpx", rideTrackText(95))},
        {"b.hrm", write("b.hrm", hrmText(us))},
    };
    const std::string archive = path("rides.hrz");
    fw::writeZip(archive, entries);
    for (const auto& entry : entries) fs::remove(entry.path);

    const HostRun result = convert("fit", {archive});
    EXPECT_EQ(result.out, path("out/rides-0.fit") + "\n" + path("out/rides-1.fit") + "\n");
    // The track entry is no exercise: nothing said of it.
    EXPECT_EQ(result.err.find("no sample"), std::string::npos) << result.err;
    const Json first = fit(path("out/rides-0.fit"));
    ASSERT_EQ(first["recordMesgs"].size(), 20u);
    EXPECT_EQ(first["recordMesgs"][5]["speed"].number, 10);
    EXPECT_EQ(first["recordMesgs"][2]["positionLat"].number, semicircles(47.1000001));
    const Json second = fit(path("out/rides-1.fit"));
    ASSERT_EQ(second["recordMesgs"].size(), 30u);
    EXPECT_EQ(second["recordMesgs"][5]["speed"].number, 16.093);
}

// Each panel keeps a low and a high value per pixel column, so a long
// exercise draws no more than a short one.
TEST_F(ConvertedFiles_svg, wellFormedMarksLapsAndStaysSmall) {
    HrmShape shape = rideWithLaps();
    shape.smode = "100000000";  // speed only
    shape.interval = 1;
    shape.samples = 50000;
    shape.length = "13:53:20.0";
    // Its 36 km/h would make it a ride; a run's speed is drawn as pace.
    convert("svg", {"--sport", "running", write("long.hrm", hrmText(shape))});
    const std::string svg = readFile(path("out/long.svg"));
    expectWellFormed(path("out/long.svg"));
    EXPECT_LT(svg.size(), 100u * 1024);
    EXPECT_EQ(svg.find("id=\"altitude\""), std::string::npos);
    EXPECT_NE(svg.find("id=\"pace\""), std::string::npos);
    size_t lapLines = 0;
    for (size_t at = svg.find("class=\"lap\""); at != std::string::npos; at = svg.find("class=\"lap\"", at + 1))
        ++lapLines;
    EXPECT_EQ(lapLines, 3u * 3) << "the three lap ends in the heart rate, pace and temperature panels";
}

TEST_F(ConvertedFiles_failures, writeNothingHalfWay) {
    const std::string file = write("ride.hrm", hrmText(HrmShape{}));

    HostRun result = convert("tcx", {path("missing.hrm")}, 1);
    EXPECT_NE(result.err.find("missing.hrm: missing (No such file or directory); no file written"), std::string::npos)
        << result.err;
    EXPECT_TRUE(fs::is_empty(path("out")));

    // A file where the folder should be.
    write("taken", "");
    result = run({"--format", "gpx", "--output", path("taken"), file});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("cannot use " + path("taken") + " as the output folder"), std::string::npos)
        << result.err;

    // The finished file cannot take its name: the partial one goes too.
    fs::create_directories(path("out/ride.fit"));
    result = convert("fit", {file}, 1);
    EXPECT_NE(result.err.find("cannot rename"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(fs::exists(path("out/ride.fit.part")));
}

// The validation the other tests end with rejects what the main schemas
// alone would let pass: a number element of the extension holding text.
TEST_F(ConvertedFiles_schemas, rejectAnExtensionValueThatIsNoNumber) {
    if (!fs::is_directory(POLAR_SCHEMAS_DIR))
        GTEST_SKIP() << "no " POLAR_SCHEMAS_DIR ": TCX and GPX files are not validated against their schemas";
    const std::string file = write("ride.hrm", hrmText(rideWithLaps()));
    write("ride.gpx", rideTrackText());
    convert("tcx", {"--utc-offset", "+02:00", file});
    convert("gpx", {"--utc-offset", "+02:00", file});
    for (const auto& [name, element, schema] :
         {std::tuple{"ride.tcx", "<Speed>", "tcx-with-extensions.xsd"},
          std::tuple{"ride.gpx", "<gpxtpx:hr>", "gpx-with-extensions.xsd"}}) {
        std::string text = readFile(path("out/") + name);
        const size_t at = text.find(element);
        ASSERT_NE(at, std::string::npos) << name;
        text.insert(at + std::string(element).size(), "x");
        const std::string broken = write(std::string("broken-") + name, text);
        const HostRun check =
            runShell("xmllint --noout --nonet --schema " + shellQuoted(POLAR_SCHEMAS_DIR "/" + std::string(schema)) +
                     " " + shellQuoted(broken));
        EXPECT_NE(check.status, 0) << name;
        EXPECT_NE(check.err.find("not a valid value"), std::string::npos) << check.err;
    }
}

// An exercise that would give a file without a point, or points without a
// time, gives no file; each says why, and a raw file without any converted
// file ends the run with status 1.
TEST_F(ConvertedFiles_honestOutputs, noEmptyOrTimelessFiles) {
    const std::string ride = write("ride.hrm", hrmText(HrmShape{}));
    HostRun result = convert("gpx", {ride}, 1);
    EXPECT_EQ(result.err.find("polarhost: " + ride + ": no position recorded, and a GPX file holds positions only; "
                              "no file written\n"),
              0u)
        << result.err;
    EXPECT_FALSE(fs::exists(path("out/ride.gpx")));

    std::string text = hrmText(HrmShape{});
    const std::string undated = write("undated.hrm", text.replace(text.find("Date=20240512\r\n"), 15, ""));
    text = hrmText(HrmShape{});
    const std::string still = write("still.hrm", text.replace(text.find("Interval=5"), 10, "Interval=0"));
    for (const char* format : {"tcx", "fit"}) {
        result = convert(format, {undated, still}, 1);
        EXPECT_NE(result.err.find(undated + ": no valid Date=, so its samples cannot be placed in time; no file "
                                            "written"),
                  std::string::npos)
            << result.err;
        EXPECT_NE(result.err.find(still + ": no recording interval (Interval= missing or 0), so its samples cannot "
                                          "be placed in time; no file written"),
                  std::string::npos)
            << result.err;
        EXPECT_EQ(result.out, "");
    }
    // A chart needs only the offsets.
    EXPECT_EQ(convert("svg", {undated}).out, path("out/undated.svg") + "\n" + path("out/index.html") + "\n");

    // Part of an archive converted is the archive converted.
    write("a.gpx", rideTrackText());
    const std::vector<fw::ZipSource> entries = {{"a.hrm", write("a.hrm", hrmText(HrmShape{}))},
                                                {"a.gpx", path("a.gpx")},
                                                {"b.hrm", write("b.hrm", hrmText(HrmShape{}))}};
    fw::writeZip(path("rides.hrz"), entries);
    result = convert("gpx", {path("rides.hrz")});
    EXPECT_EQ(result.out, path("out/rides-0.gpx") + "\n" + path("out/index.html") + "\n")
        << "the page of the folder kept in step";
    EXPECT_NE(result.err.find("rides.hrz, exercise 1: no position recorded"), std::string::npos) << result.err;
}

// --sport names the sport of every exercise, in the files and the reports.
TEST_F(ConvertedFiles_sport, chosenOverridesTheRecording) {
    const std::string ride = write("ride.hrm", hrmText(rideWithLaps()));  // power: a ride
    EXPECT_EQ(json({ride})["files"][0]["exercises"][0]["sport"].text, "cycling");
    EXPECT_EQ(json({"--sport", "running", ride})["files"][0]["exercises"][0]["sport"].text, "running");
    EXPECT_NE(run({"--sport=other", ride}).out.find("  Sport      other\n"), std::string::npos);
    convert("tcx", {"--sport", "running", ride});
    EXPECT_EQ(attributeAfter(readFile(path("out/ride.tcx")), "<Activity Sport=\""), "Running");
    convert("fit", {"--sport", "other", ride});
    EXPECT_EQ(fit(path("out/ride.fit"))["sessionMesgs"][0]["sport"].text, "generic");
    convert("fit", {"--sport", "rowing", ride});
    EXPECT_EQ(fit(path("out/ride.fit"))["sessionMesgs"][0]["sport"].text, "rowing");
    const HostRun wrong = run({"--sport", "Rowing", ride});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("not 'Rowing'"), std::string::npos) << wrong.err;
}

// The "HR + cycling data" flag says only that more than heart rate was
// recorded: a walk and a run that carry it are no rides, power is one, and
// heart rate alone is generic, which the run's summary counts; the reports
// give the same sports.
TEST_F(ConvertedFiles_sport, toldByTheEvidenceNotTheFlag) {
    const auto exercise = [&](const std::string& name, const char* smode, const std::string& row) {
        Hrm hrm;
        hrm.smode = smode;
        hrm.rows.assign(100, row);
        return write(name + ".hrm", hrm.text());
    };
    const std::vector<std::string> files = {exercise("walk", "110000100", tabbed({95, 50, 55})),
                                            exercise("run", "110000100", tabbed({150, 110, 85})),
                                            exercise("ride", "111100100", tabbed({140, 250, 85, 100, 200})),
                                            exercise("heart", "000000100", tabbed({120}))};
    const struct {
        const char *stem, *tcx, *fit, *report;
    } expected[] = {{"walk", "Other", "walking", "walking"},
                    {"run", "Running", "running", "running"},
                    {"ride", "Biking", "cycling", "cycling"},
                    {"heart", "Other", "generic", "other"}};
    const HostRun result = convert("fit,tcx", files);
    const Json report = json(files);
    for (size_t k = 0; k < files.size(); ++k) {
        const std::string stem = expected[k].stem;
        EXPECT_EQ(attributeAfter(readFile(path("out/" + stem + ".tcx")), "<Activity Sport=\""), expected[k].tcx);
        EXPECT_EQ(fit(path("out/" + stem + ".fit"))["sessionMesgs"][0]["sport"].text, expected[k].fit) << stem;
        EXPECT_EQ(report["files"][k]["exercises"][0]["sport"].text, expected[k].report) << stem;
    }
    EXPECT_NE(result.err.find("polarhost: summary: sport left generic (other), the recording not telling it: 1 (" +
                              files[3] + "); --sport or --sport-map sets it\n"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(convert("fit", {"--sport", "other", files[3]}).err.find("left generic"), std::string::npos)
        << "chosen, not left";
}

// Each file names the monitor's maker and model, the converter, and a serial
// number of the raw file's own that stays the same from run to run and
// whatever the line ends, and differs from another exercise's.
TEST_F(ConvertedFiles_fit, makerModelAndConverterNamed) {
    Hrm hrm;
    hrm.monitor = "22";
    hrm.heartRates(20);
    const std::string text = hrm.text();
    const std::string file = write("a.hrm", text);
    std::string lf = text;
    std::erase(lf, '\r');
    write("b.hrm", lf);
    hrm.startTime = "11:00:00.0";
    write("c.hrm", hrm.text());
    hrm.monitor = "99";
    write("d.hrm", hrm.text());
    convert("fit,tcx", {file, path("b.hrm"), path("c.hrm"), path("d.hrm")});
    const Json a = fit(path("out/a.fit"));
    const Json& id = a["fileIdMesgs"][0];
    EXPECT_EQ(id["manufacturer"].text, "polarElectro");
    EXPECT_EQ(id["product"].number, 22);
    EXPECT_EQ(id["productName"].text, "Polar S625X/S725X");
    EXPECT_EQ(id["timeCreated"].text, "2024-05-01T" + a["sessionMesgs"][0]["startTime"].text.substr(11));
    const double serial = id["serialNumber"].number;
    EXPECT_GT(serial, 0);
    const Json& device = a["deviceInfoMesgs"][0];
    EXPECT_EQ(device["deviceIndex"].text, "creator");
    EXPECT_EQ(device["manufacturer"].text, "polarElectro");
    EXPECT_EQ(device["productName"].text, "Polar S625X/S725X");
    EXPECT_EQ(device["serialNumber"].number, serial);
    EXPECT_EQ(a["fileCreatorMesgs"][0]["softwareVersion"].number, 813);
    EXPECT_EQ(fit(path("out/b.fit"))["fileIdMesgs"][0]["serialNumber"].number, serial) << "LF line ends";
    EXPECT_NE(fit(path("out/c.fit"))["fileIdMesgs"][0]["serialNumber"].number, serial) << "another start";
    const Json d = fit(path("out/d.fit"));
    EXPECT_EQ(d["fileIdMesgs"][0].members.count("productName"), 0u) << "a code not known names no model";
    convert("fit", {file});
    EXPECT_EQ(fit(path("out/a.fit"))["fileIdMesgs"][0]["serialNumber"].number, serial) << "another run";

    const std::string tcx = readFile(path("out/a.tcx"));
    EXPECT_NE(tcx.find("<Creator xsi:type=\"Device_t\"><Name>Polar S625X/S725X</Name><UnitId>" +
                       std::to_string(static_cast<uint32_t>(serial)) + "</UnitId><ProductID>22</ProductID>"),
              std::string::npos)
        << tcx;
    EXPECT_NE(tcx.find("<Author xsi:type=\"Application_t\"><Name>polarhost</Name><Build><Version><VersionMajor>8"
                       "</VersionMajor><VersionMinor>1</VersionMinor><BuildMajor>3</BuildMajor>"),
              std::string::npos)
        << tcx;
    EXPECT_NE(readFile(path("out/d.tcx")).find("<Name>Polar</Name>"), std::string::npos);
}

// Every row of an R-R recording reaches the hrv messages as recorded, the
// seconds without a beat too, so that a reader adding them up (as
// GoldenCheetah rebuilds the beats' times) ends where the recording ends; a
// row longer than the field holds goes in as pieces that add up to it.
TEST_F(ConvertedFiles_rr, intervalsAddUpToTheRecording) {
    std::vector<std::string> rows;
    std::vector<double> expected;
    int64_t total = 0;
    const auto row = [&](int ms) {
        rows.push_back(std::to_string(ms));
        total += ms;
    };
    for (int k = 0; k < 100; ++k) {
        row(850);
        expected.push_back(0.85);
        if (k % 20 == 10) {
            row(5000);
            expected.push_back(5.0);
        }
    }
    row(70000);
    expected.insert(expected.end(), {65.534, 4.466});
    ASSERT_EQ(total, 180000) << "the recording's Length=, 3 minutes";
    const std::string file = write("beats.hrm", rrText("10:00:00.0", rows));
    convert("fit", {file});
    const std::vector<double> intervals = hrvIntervals(fit(path("out/beats.fit")));
    ASSERT_EQ(intervals.size(), expected.size());
    double sum = 0;
    for (size_t k = 0; k < intervals.size(); ++k) {
        EXPECT_NEAR(intervals[k], expected[k], 1e-9) << k;
        sum += intervals[k];
    }
    EXPECT_NEAR(sum, 180, 1);
}

// The plug-in gives an R-R recording no samples; the host converts it from
// its beats: every interval in FIT's hrv messages, and a heart rate a second.
TEST_F(ConvertedFiles_rr, convertedFromItsBeats) {
    const std::string file = write("beats.hrm", rrText("10:00:00.0", beatRows()));
    // Second s takes the rate of the last beat up to it, when that beat came
    // less than 3 s before: the 3999 ms without a beat leave seconds without.
    std::vector<std::pair<int64_t, int>> beats;  // ms since the start, rate
    int64_t at = 0;
    for (int k = 0; k < 200; ++k) {
        const int interval = 600 + k * 37 % 400;
        at += interval;
        beats.push_back({at, static_cast<int>(std::lround(60000.0 / interval))});
        if (k == 100) at += 3999;
    }
    std::vector<std::optional<int>> rates;  // from second 1, the first after a beat
    for (int64_t s = 1; (s - 1) * 1000 < at; ++s) {
        std::optional<int> rate;
        for (const auto& [time, beatRate] : beats)
            if (time <= s * 1000 && s * 1000 - time < 3000) rate = beatRate;
        rates.push_back(rate);
    }
    ASSERT_EQ(std::count(rates.begin(), rates.end(), std::nullopt), 1) << "the gap";

    EXPECT_EQ(convert("fit", {"--utc-offset", "+01:00", file}).out, path("out/beats.fit") + "\n");
    const Json messages = fit(path("out/beats.fit"));
    EXPECT_EQ(hrvIntervals(messages), beatIntervals());
    const Json& records = messages["recordMesgs"];
    ASSERT_EQ(records.size(), rates.size());
    for (size_t s = 0; s < records.size(); ++s) {
        if (rates[s])
            ASSERT_EQ(records[s]["heartRate"].number, *rates[s]) << s;
        else
            ASSERT_EQ(records[s].members.count("heartRate"), 0u) << s;
    }
    EXPECT_EQ(records[0]["timestamp"].text, "2024-05-12T09:00:01.000Z");
    EXPECT_EQ(messages["sessionMesgs"][0]["totalElapsedTime"].number, static_cast<double>(rates.size()));
    EXPECT_EQ(messages["lapMesgs"].size(), 1u);

    convert("tcx", {file});
    const std::string tcx = path("out/beats.tcx");
    gpsbabel("gtrnctr", tcx);
    size_t trackpoints = 0;
    const std::string text = readFile(tcx);
    for (size_t p = text.find("<HeartRateBpm>"); p != std::string::npos; p = text.find("<HeartRateBpm>", p + 1))
        ++trackpoints;
    EXPECT_EQ(trackpoints, rates.size() - 1);

    convert("svg", {file});
    expectWellFormed(path("out/beats.svg"));
    const std::string svg = readFile(path("out/beats.svg"));
    EXPECT_NE(svg.find("R-R interval, ms"), std::string::npos);
    EXPECT_EQ(svg.find("Speed, km/h"), std::string::npos);
    EXPECT_NE(svg.find("200 beats"), std::string::npos);

    // Rows that are no beat give no file.
    const HostRun none = convert("fit", {write("none.hrm", rrText("10:00:00.0", {"0", "x", "3999"}))}, 1);
    EXPECT_NE(none.err.find("none.hrm: an R-R recording without a beat; no file written"), std::string::npos)
        << none.err;
    EXPECT_FALSE(fs::exists(path("out/none.fit")));
}

// The sample file's FIT carries the intervals of the R-R file of the same
// start, whichever comes first; the R-R file writes none of its own.
TEST_F(ConvertedFiles_rr, partnerMergedIntoTheSampleFile) {
    const std::vector<fw::ZipSource> entries = {
        {"a.hrm", write("a.hrm", hrmText(HrmShape{}))},
        {"b.hrm", write("b.hrm", rrText("10:00:00.0", beatRows()))},
        {"c.hrm", write("c.hrm", rrText("12:00:00.0", {"900", "800"}))},
    };
    const std::string archive = path("rides.hrz");
    fw::writeZip(archive, entries);
    HostRun result = convert("fit", {"--verbose", archive});
    EXPECT_EQ(result.out, path("out/rides-0.fit") + "\n" + path("out/rides-c-rr.fit") + "\n");
    EXPECT_NE(result.err.find("rides.hrz, entry b.hrm: the R-R recording of " + archive +
                              ", exercise 0 (its intervals merged into " + path("out/rides-0.fit") + ")"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find("no sample"), std::string::npos) << result.err;
    Json messages = fit(path("out/rides-0.fit"));
    EXPECT_EQ(messages["recordMesgs"].size(), 100u);
    EXPECT_EQ(hrvIntervals(messages), beatIntervals());
    EXPECT_EQ(hrvIntervals(fit(path("out/rides-c-rr.fit"))), (std::vector<double>{0.9, 0.8}));

    fs::remove_all(path("out"));
    result = convert("fit", {"--verbose", entries[1].path, entries[0].path});
    EXPECT_EQ(result.out, path("out/a.fit") + "\n");
    EXPECT_NE(result.err.find("its intervals merged into " + path("out/a.fit")), std::string::npos) << result.err;
    messages = fit(path("out/a.fit"));
    EXPECT_EQ(messages["recordMesgs"].size(), 100u);
    EXPECT_EQ(hrvIntervals(messages), beatIntervals());

    // No place for intervals in TCX, and no second activity of that start.
    result = convert("tcx", {entries[0].path, entries[1].path});
    EXPECT_EQ(result.out, path("out/a.tcx") + "\n");
    EXPECT_NE(result.err.find("b.hrm: the R-R recording of " + entries[0].path), std::string::npos) << result.err;
}

// Files recorded by real monitors, in every format, read back; the FIT
// records give back the heart rates the plug-in handed over, an R-R file's
// hrv messages its intervals, and each file has the sport its recording
// tells: its speeds a ride or a run, the "cycling data" flag alone nothing.
TEST_F(ConvertedFiles_realFiles, everyFormatReadBack) {
    if (!fs::is_directory(POLAR_REAL_FILES_DIR)) GTEST_SKIP() << "no " POLAR_REAL_FILES_DIR;
    const std::map<std::string, std::pair<std::string, std::string>> sports = {
        {"goldencheetah__04010301", {"Other", "generic"}},             // heart rate only
        {"goldencheetah__09052101", {"Biking", "cycling"}},            // about 16 mph
        {"runalyze__15031801", {"Running", "running"}},                // speed of 11 to 14 km/h
        {"runalyze__hrv", {"Other", "generic"}},                       // R-R intervals
        {"sportstracker__s410-sample", {"Other", "generic"}},          // heart rate only
        {"sportstracker__s610_ma_br_20040912T072607", {"Other", "generic"}},
        {"sportstracker__s625x-sample", {"Biking", "cycling"}},
        {"sportstracker__s710_cycling-english", {"Biking", "cycling"}},
        {"sportstracker__s725_nospeed-metric", {"Other", "generic"}},  // altitude with the flag: no evidence
    };
    int withPositions = 0;
    for (const auto& entry : fs::directory_iterator(POLAR_REAL_FILES_DIR)) {
        if (entry.path().extension() != ".hrm") continue;
        const std::string file = entry.path().string();
        const std::string stem = entry.path().stem().string();
        const Json doc = Json::parse(run({"--format", "json", file}).out);
        const Json& samples = doc["files"][0]["exercises"][0]["samples"];
        const std::string text = readFile(file);
        const bool rr = text.find("Interval=238") != std::string::npos;
        bool positions = false;
        for (size_t j = 0; j < samples.size(); ++j) positions |= samples[j]["Latitude"].number != 0;
        withPositions += positions;
        const bool converts = samples.size() > 0 || rr;
        for (const char* format : {"tcx", "gpx", "fit", "svg"}) {
            const bool writes = converts && (positions || std::string(format) != "gpx");
            const HostRun result = convert(format, {file}, writes ? 0 : 1);
            EXPECT_EQ(fs::exists(path("out/" + stem + "." + format)), writes) << file << " " << format;
            if (converts && !writes) {
                EXPECT_NE(result.err.find(file + ": no position recorded, and a GPX file holds positions only; "
                                                 "no file written"),
                          std::string::npos)
                    << result.err;
            }
        }
        if (!converts) continue;
        ASSERT_EQ(sports.count(stem), 1u) << "no sport known for " << file;
        const std::string tcx = path("out/" + stem + ".tcx");
        EXPECT_EQ(attributeAfter(readFile(tcx), "<Activity Sport=\""), sports.at(stem).first) << file;
        expectWellFormed(path("out/" + stem + ".svg"));
        const Json messages = fit(path("out/" + stem + ".fit"));
        EXPECT_EQ(messages["sessionMesgs"][0]["sport"].text, sports.at(stem).second) << file;
        if (rr) {
            // The intervals as the file has them, each row one beat.
            std::vector<double> intervals;
            std::istringstream rows(text.substr(text.find("[HRData]") + 8));
            for (int row; rows >> row;) intervals.push_back(row / 1000.0);
            ASSERT_FALSE(intervals.empty()) << file;
            EXPECT_EQ(hrvIntervals(messages), intervals) << file;
            gpsbabel("gtrnctr", tcx);
            continue;
        }

        const size_t tcxPoints = gpsbabel("gtrnctr", tcx).size();
        EXPECT_EQ(tcxPoints > 0, positions) << file;
        if (positions) {
            EXPECT_EQ(gpsbabel("gpx", path("out/" + stem + ".gpx")).size(), tcxPoints) << file;
        }
        const Json& records = messages["recordMesgs"];
        ASSERT_EQ(records.size(), samples.size()) << file;
        // The converter places the track itself: every position the plug-in's
        // merge gave stays or more are gained, and none comes without a track.
        size_t merged = 0, placed = 0;
        for (size_t j = 0; j < samples.size(); ++j) {
            const double hr = samples[j]["HR"].number;
            if (hr > 0) {
                ASSERT_EQ(records[j]["heartRate"].number, hr) << file << " sample " << j;
            }
            merged += samples[j]["Latitude"].number != 0;
            placed += records[j].members.count("positionLat");
        }
        EXPECT_GE(placed, merged) << file;
        if (!positions) {
            EXPECT_EQ(placed, 0u) << file;
        }
    }
    EXPECT_GT(withPositions, 0) << "the file with a track beside it";
}

}  // namespace
