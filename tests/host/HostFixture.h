#pragma once

// What the host's end-to-end tests share: exercise and track files written
// here, and the host (or a reader of what it wrote) run as a user runs it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/MiniJson.h"
#include "tests/shared/FileContent.h"

struct HostRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string shellQuoted(const std::string& text);

// The text after the first `marker`, up to a quote or a line end.
std::string attributeAfter(const std::string& text, const std::string& marker);

// A version 106 exercise: heart rate plus the columns SMode marks, one row
// per interval, constant 36.0 km/h (or mph, with SMode's US flag).
struct HrmShape {
    std::string smode = "111110000";
    std::string start = "10:00:00.0";  // on 2024-05-12
    int interval = 5;
    int samples = 100;
    std::string length = "0:08:20.0";
    std::vector<std::string> laps;  // lap end times "h:mm:ss.t"
    std::vector<int> lapTemperatures;
    std::string note;
};
std::string hrmText(const HrmShape& shape);

// Sample j of hrmText's rows has this heart rate.
inline int sampleHeartRate(int j) { return 120 + j % 30; }

struct GpxPoint {
    std::string lat, lon;
    std::string time;  // on 2024-05-12
};
std::string gpxText(const std::vector<GpxPoint>& points);

// Exercise start 10:00:00, samples every 5 s: the first point matches time
// offset 5 and lands on sample 2, the second falls between samples and is
// dropped, the third matches offset 10 and lands on sample 3.
extern const std::vector<GpxPoint> kTrack;

// The GPS track of hrmText's ride as a phone or GPS beside the watch keeps
// it, its times the watch's local time: a point every 5 s from offset 10 s
// to `lastOffset`, the first at 47.1000001, 8.2000001, each 0.0001 degrees
// further north-east.
std::string rideTrackText(int lastOffset = 495);
// hrmText's ride with three laps (temperatures 20.0, 23.0, 25.0) and a note.
HrmShape rideWithLaps();

class Host : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    std::string write(const std::string& name, const std::string& content) const;

    // The host with `args`; `environment` ("NAME=value ...") goes before it.
    // The plug-in's temporary directory is ours, so archive extraction stays inside.
    HostRun run(const std::vector<std::string>& args, const std::string& environment = "") const;
    // Any command line, its standard error captured apart.
    HostRun runShell(const std::string& command) const;

    Json json(std::vector<std::string> args, int expectedStatus = 0) const;

    std::string dir_;
};
