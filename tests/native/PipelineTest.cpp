#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestFiles.h"
#include "framework/Locale.h"
#include "framework/Zip.h"
#include "model/PluginVersion.h"
#include "plugin/uExportFunctions.h"
#include "processing/uDeviceDatas.h"

namespace {

const fw::DateTime kStart = fw::encodeDate(2024, 5, 1) + fw::encodeTime(10, 0, 0, 0);

const char kOnePoint[] =
    "<gpx><trk><trkseg><trkpt lat=\"48.5\" lon=\"11.5\"><time>2024-05-01T10:00:05Z</time></trkpt>"
    "</trkseg></trk></gpx>";

// Version 106 with every quantity through balance, two laps, one power
// value that is no number, and a track beside it.
Hrm fullExercise() {
    Hrm hrm;
    hrm.smode = "111110000";
    hrm.sections = {"VO2max=50", "[IntTimes]"};
    for (const auto& lap : {lapLines("0:00:10.0", 130, 150, 200, 180, 200), lapLines("0:00:20.0", 130, 150, 200, 180, 300)})
        hrm.sections.insert(hrm.sections.end(), lap.begin(), lap.end());
    hrm.sections.push_back("");
    for (int i = 0; i < 6; ++i) hrm.rows.push_back("120\t253\t90\t410\t" + std::string(i == 3 ? "x" : "250") + "\t50");
    return hrm;
}

const std::vector<std::string> kSampleFlagLines = {"HR values added",  "SPD values added", "CAD values added",
                                                   "ALT values added", "POW values added", "POW -> exception!",
                                                   "BAL values added"};

using Pipeline_debug = HostTest;
using Pipeline_run = HostTest;

}  // namespace

TEST_F(Pipeline_debug, messageOfAHeartRateOnlyFile) {
    settings("Debug=1\r\nModulateTemp=1\r\nGPS=1\r\n");
    Hrm hrm;
    hrm.maxHR = "190";
    hrm.heartRates(3);
    const std::string file = write("ride.hrm", hrm.text());
    ASSERT_EQ(analyse(file), 3);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(beeps, 1);
    const std::vector<std::string> expected = {"Debuginfos :",  "",
                                               "Plugin Ver.: " + std::to_string(kPluginVersion), "HRM-File: " + file,
                                               "Version: 106",  "Monitor: 12",
                                               "SMode: 000000000", "Date: " + fw::formatDateTime(kStart),
                                               "MaxHR: 190",    "HR values added"};
    EXPECT_EQ(messageLines(messages[0]), expected);

    // The log is emptied after each display.
    ASSERT_EQ(analyse(file), 3);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], messages[0]);
}

TEST_F(Pipeline_debug, flagLinesFollowTheTableOrder) {
    settings("Debug=1\r\nModulateTemp=1\r\nGPS=1\r\n");
    const std::string file = write("ride.hrm", fullExercise().text());
    write("ride.gpx", kOnePoint);
    ASSERT_EQ(analyse(file), 6);
    ASSERT_EQ(messages.size(), 1u);
    const std::vector<std::string> lines = messageLines(messages[0]);
    std::vector<std::string> expected = kSampleFlagLines;
    expected.insert(expected.end(), {"LAPS added", "TEMP modulated", "GPX file parsed"});
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<long>(expected.size()), lines.end()), expected);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "VO2max: 50"), lines.end());
}

TEST_F(Pipeline_debug, offShowsNothingAndOldFormatsSetNoSampleFlags) {
    settings("Debug=0\r\nModulateTemp=1\r\nGPS=1\r\n");
    const std::string file = write("ride.hrm", fullExercise().text());
    ASSERT_EQ(analyse(file), 6);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(beeps, 0);

    settings("Debug=1\r\n");
    Hrm old;
    old.version = "105";
    old.rows = {"130\t200\t35", "131\t200\t36"};
    ASSERT_EQ(analyse(write("old.hrm", old.text())), 2);
    ASSERT_EQ(messages.size(), 1u);
    for (const std::string& line : messageLines(messages[0]))
        EXPECT_EQ(std::find(kSampleFlagLines.begin(), kSampleFlagLines.end(), line), kSampleFlagLines.end()) << line;
}

TEST_F(Pipeline_run, endTimeCarriesHoursBeyond23IntoDays) {
    settings("");
    const std::pair<const char*, double> cases[] = {
        {"25:00:10.0", 1 + 1.0 / 24 + 10.0 / 86400}, {"24:00:00.0", 1}, {"48:00:01.0", 2 + 1.0 / 86400},
        {"23:59:59.9", 1 - 1.0 / 86400},             {"0:00:00.0", 0}};
    for (const auto& [length, days] : cases) {
        Hrm hrm;
        hrm.length = length;
        hrm.heartRates(2);
        ASSERT_EQ(analyse(write("ride.hrm", hrm.text())), 2);
        const std::vector<uint8_t> record = summary();
        EXPECT_EQ(at<double>(record, 0), kStart);
        EXPECT_NEAR(at<double>(record, 8) - kStart, days, 1e-9) << length;
    }
}

TEST_F(Pipeline_run, failedLoadStillComputesTheEndTimeAndSkipsTheLaterSteps) {
    Hrm hrm = fullExercise();
    hrm.length = "1:00:00.0";
    hrm.sections.insert(hrm.sections.begin(), "MaxHR=fast");
    const std::string file = write("ride.hrm", hrm.text());
    write("ride.gpx", kOnePoint);
    TPluginState state;
    state.Settings = {true, true, false, false, true};  // ModulateTemp, GPS, Debug
    EXPECT_EQ(RunAnalysis(state, file), 0);
    EXPECT_NEAR(state.Summary.EndDateTime - state.Summary.StartDateTime, 1.0 / 24, 1e-9);
    EXPECT_EQ(state.ExerciseDatas.Count(), 0);
    EXPECT_EQ(state.DebugFlags, 0);  // neither modulated nor merged
    EXPECT_EQ(state.DebugLog, (std::vector<std::string>{"Plugin Ver.: " + std::to_string(kPluginVersion), "HRM-File: " + file, "Version: 106",
                                                        "Monitor: 12", "SMode: 111110000",
                                                        "Date: " + fw::formatDateTime(kStart)}));
    EXPECT_THROW(RunAnalysis(state, path("missing.hrm")), std::exception);
}

TEST_F(Pipeline_run, analysisSettingsDecideTemperatureTrackAndMaxHR) {
    Hrm hrm = fullExercise();
    hrm.maxHR = "190";
    const std::string file = write("ride.hrm", hrm.text());
    write("ride.gpx", kOnePoint);
    // Before SetPluginIniFile every analysis setting is off.
    ASSERT_EQ(analyse(file), 6);
    EXPECT_EQ(at<double>(sample(0), 33), 0);
    EXPECT_EQ(at<double>(sample(2), 58), 0);
    EXPECT_EQ(summary()[18], 0);

    settings("HRMaxDev=1\r\n");  // ModulateTemp and GPS default to on
    ASSERT_EQ(analyse(file), 6);
    EXPECT_EQ(at<double>(sample(0), 33), 20.0);
    EXPECT_EQ(at<double>(sample(5), 33), 20.0);  // with two laps the first lap's temperature holds
    EXPECT_EQ(at<double>(sample(1), 58), 0);
    EXPECT_EQ(at<double>(sample(2), 58), 48.5);
    EXPECT_EQ(at<double>(sample(2), 66), 11.5);
    EXPECT_EQ(summary()[18], 190);

    settings("GPS=0\r\nModulateTemp=0\r\n");
    ASSERT_EQ(analyse(file), 6);
    EXPECT_EQ(at<double>(sample(2), 58), 0);
    EXPECT_EQ(at<double>(sample(2), 33), 0);
    EXPECT_EQ(at<double>(sample(2), 41), 250);
}

TEST_F(Pipeline_run, extensionDecidesSingleFileOrArchive) {
    settings("");
    const std::string text = Hrm().heartRates(4).text();
    EXPECT_EQ(analyse(write("RIDE.HRM", text), 7), 4);  // case ignored, index ignored
    EXPECT_EQ(analyse(path("missing.hrm")), 0);
    bool delivered = true;
    summary(&delivered);
    EXPECT_FALSE(delivered);  // cleared
    EXPECT_EQ(analyse(write("ride.txt", text)), 0);  // taken as an archive
    fw::writeZip(path("ride.zip"), {{"a.hrm", path("RIDE.HRM")}});
    EXPECT_EQ(analyse(path("ride.zip")), 4);
    fw::writeZip(path("ride"), {{"b.hrm", path("RIDE.HRM")}});
    EXPECT_EQ(analyse(path("ride")), 4);
}

// Every real exercise file: it analyses, and what the host receives fits the file.
// An R-R recording's rows are beat intervals in milliseconds: the host gets
// what it gets for the same file without rows, whatever the start delay.
TEST_F(Pipeline_run, rrRecordingGivesWhatAnEmptyExerciseGives) {
    for (const char* delay : {"0", "3"}) {
        for (const int rows : {1, 400}) {
            SCOPED_TRACE(std::string("StartDelay=") + delay + ", rows " + std::to_string(rows));
            Hrm hrm;
            hrm.interval = "238";
            hrm.sections = {std::string("StartDelay=") + delay, "[IntTimes]"};
            const std::vector<std::string> laps = lapLines("0:00:10.0", 130, 150, 0, 0, 0);
            hrm.sections.insert(hrm.sections.end(), laps.begin(), laps.end());
            hrm.sections.push_back("");
            hrm.heartRates(rows, 600);
            const std::string file = write("beats.hrm", hrm.text());
            hrm.rows.clear();
            const std::string empty = write("empty.hrm", hrm.text());

            ASSERT_EQ(analyse(empty), 0);
            bool delivered = true;
            summary(&delivered);
            EXPECT_FALSE(delivered);
            const std::vector<uint8_t> emptyLap = lap(0);
            ASSERT_EQ(analyse(file), 0);
            summary(&delivered);
            EXPECT_FALSE(delivered);
            EXPECT_EQ(lap(0), emptyLap);
        }
    }
    // 238 in the low 8 bits only is an ordinary interval.
    Hrm hrm;
    hrm.interval = "494";
    hrm.heartRates(3);
    EXPECT_EQ(analyse(write("long.hrm", hrm.text())), 3);
}

TEST_F(Pipeline_run, realExerciseFiles) {
    if (!std::filesystem::is_directory(POLAR_REAL_FILES_DIR)) GTEST_SKIP() << "no " POLAR_REAL_FILES_DIR;
    settings("ModulateTemp=1\r\nGPS=1\r\nHRMaxDev=1\r\n");
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(POLAR_REAL_FILES_DIR))
        if (entry.path().extension() == ".hrm") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 9u);
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        // What the file says, read here independently: the keys, and the lines
        // of the lap and sample sections up to their first empty line.
        std::ifstream in(file);
        std::string line, section;
        bool sectionEnded = false;
        int interval = 0, startDelay = 0, hours = 0, minutes = 0, seconds = 0, rows = 0, lapRows = 0;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty() && line[0] == '[') {
                section = line, sectionEnded = false;
            } else if (line.empty()) {
                sectionEnded = true;
            } else if (!sectionEnded) {
                rows += section == "[HRData]";
                lapRows += section == "[IntTimes]";
            }
            if (line.rfind("Interval=", 0) == 0) interval = std::stoi(line.substr(9));
            if (line.rfind("StartDelay=", 0) == 0) startDelay = std::stoi(line.substr(11));
            if (line.rfind("Length=", 0) == 0) std::sscanf(line.c_str() + 7, "%d:%d:%d", &hours, &minutes, &seconds);
        }
        const int length = hours * 3600 + minutes * 60 + seconds;

        const int32_t count = analyse(file);
        bool delivered = false;
        const std::vector<uint8_t> record = summary(&delivered);
        if (startDelay > 0 || interval == 238) {  // a positive start delay or R-R intervals yield no samples
            EXPECT_EQ(count, 0);
            EXPECT_FALSE(delivered);
            continue;
        }
        ASSERT_GT(count, 0);
        EXPECT_EQ(count, rows);
        EXPECT_LE(std::abs(count - 1 - length / interval), 2);
        ASSERT_TRUE(delivered);
        EXPECT_EQ(record[70], interval);
        EXPECT_EQ(at<int32_t>(record, 62), length);
        EXPECT_GT(at<double>(record, 8), at<double>(record, 0));
        EXPECT_EQ(at<int32_t>(sample(count - 1), 330), (count - 1) * interval);
        int heartRates = 0;
        for (int32_t i = 0; i < count; ++i) heartRates += sample(i)[0] > 0;
        EXPECT_GT(heartRates, count / 2);
        const uint16_t laps = at<uint16_t>(record, 60);
        EXPECT_EQ(laps, lapRows / 5);  // five lines per lap from version 106 on
        double previousSplit = 0;
        for (int32_t l = 0; l < laps; ++l) {
            const std::vector<uint8_t> lapRecord = lap(l);
            EXPECT_EQ(lapRecord[90], 2) << "lap " << l;
            EXPECT_GE(at<double>(lapRecord, 12), previousSplit) << "lap " << l;
            previousSplit = at<double>(lapRecord, 12);
        }
    }
}

TEST_F(Pipeline_run, realFileWithItsTrackGetsPositions) {
    if (!std::filesystem::is_directory(POLAR_REAL_FILES_DIR)) GTEST_SKIP() << "no " POLAR_REAL_FILES_DIR;
    settings("GPS=1\r\n");
    const std::string file = std::string(POLAR_REAL_FILES_DIR) + "/runalyze__15031801.hrm";
    const int32_t count = analyse(file);
    ASSERT_GT(count, 400);
    // The track's first point lies 5 s after the start: matched at sample 1, stored at sample 2.
    EXPECT_EQ(at<double>(sample(1), 58), 0);
    EXPECT_DOUBLE_EQ(at<double>(sample(2), 58), 48.406046667);
    EXPECT_DOUBLE_EQ(at<double>(sample(2), 66), 11.760516667);
    int placed = 0;
    for (int32_t i = 0; i < count; ++i) {
        const std::vector<uint8_t> record = sample(i);
        if (at<double>(record, 58) == 0) continue;
        ++placed;
        EXPECT_NEAR(at<double>(record, 58), 48.4, 0.1) << i;
        EXPECT_NEAR(at<double>(record, 66), 11.76, 0.1) << i;
    }
    EXPECT_GT(placed, count / 2);

    settings("GPS=0\r\n");
    ASSERT_EQ(analyse(file), count);
    for (int32_t i = 0; i < count; ++i) ASSERT_EQ(at<double>(sample(i), 58), 0) << i;
}
