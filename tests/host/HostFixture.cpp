#include "tests/host/HostFixture.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "tests/shared/HrmText.h"

std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string attributeAfter(const std::string& text, const std::string& marker) {
    const size_t start = text.find(marker);
    if (start == std::string::npos) return {};
    const size_t from = start + marker.size();
    return text.substr(from, text.find_first_of("\"\r\n", from) - from);
}

std::string hrmText(const HrmShape& shape) {
    Hrm hrm;
    hrm.smode = shape.smode;
    hrm.date = "20240512";
    hrm.startTime = shape.start;
    hrm.length = shape.length;
    hrm.interval = std::to_string(shape.interval);
    hrm.maxHR = "190";
    hrm.vo2max = "50";
    if (!shape.note.empty()) hrm.note(shape.note);
    std::vector<HrmLap> laps;
    for (size_t k = 0; k < shape.laps.size(); ++k)
        laps.push_back({.split = shape.laps[k], .heartRate = 150, .minimum = 120, .average = 140, .maximum = 170,
                        .speed = 360, .cadence = 90, .altitude = 400, .ascent = 12, .power = 210,
                        .temperature = shape.lapTemperatures[k]});
    if (!laps.empty()) hrm.laps(laps);
    const std::string columns[] = {"360", "90", "400", "210", "50"};
    for (int i = 0; i < shape.samples; ++i) {
        std::string row = std::to_string(sampleHeartRate(i));
        for (size_t c = 0; c < 5; ++c)
            if (shape.smode.size() > c && shape.smode[c] == '1') row += "\t" + columns[c];
        hrm.rows.push_back(row);
    }
    return hrm.text();
}

std::string gpxText(const std::vector<GpxPoint>& points) {
    std::string text =
        "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><trkseg>\n";
    for (const GpxPoint& p : points)
        text += "<trkpt lat=\"" + p.lat + "\" lon=\"" + p.lon + "\">\n<ele>400</ele>\n<time>2024-05-12T" + p.time +
                "Z</time>\n</trkpt>\n";
    return text + "</trkseg></trk>\n</gpx>\n";
}

std::string rideTrackText(int lastOffset) {
    std::vector<GpxPoint> points;
    for (int offset = 10, k = 0; offset <= lastOffset; offset += 5, ++k) {
        char lat[16], lon[16], time[16];
        std::snprintf(lat, sizeof lat, "%.7f", 47.1000001 + k * 0.0001);
        std::snprintf(lon, sizeof lon, "%.7f", 8.2000001 + k * 0.0001);
        std::snprintf(time, sizeof time, "10:%02d:%02d", offset / 60, offset % 60);
        points.push_back({lat, lon, time});
    }
    return gpxText(points);
}

const std::vector<GpxPoint> kTrack = {
    {"47.1000001", "8.2000001", "10:00:05"}, {"47.5", "8.5", "10:00:07"}, {"47.1000003", "8.2000003", "10:00:10"}};

HrmShape rideWithLaps() {
    HrmShape shape;
    shape.laps = {"0:02:30.0", "0:05:00.0", "0:08:15.0"};
    shape.lapTemperatures = {200, 230, 250};
    shape.note = "First line\r\nCaf\xe9 stop, \"quoted\" \\ back";
    return shape;
}

void Host::SetUp() {
    char pattern[] = "/tmp/polarhosttest.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
}

void Host::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string Host::write(const std::string& name, const std::string& content) const {
    writeFile(path(name), content);
    return path(name);
}

HostRun Host::run(const std::vector<std::string>& args, const std::string& environment) const {
    std::string command = environment + " TMPDIR=" + shellQuoted(dir_) + " " + shellQuoted(POLARHOST_PATH);
    for (const std::string& arg : args) command += " " + shellQuoted(arg);
    return runShell(command);
}

HostRun Host::runShell(const std::string& command) const {
    HostRun result;
    std::FILE* pipe = popen((command + " 2>" + shellQuoted(path("stderr.txt"))).c_str(), "r");
    if (!pipe) return result;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, got);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = readFile(path("stderr.txt"));
    return result;
}

Json Host::json(std::vector<std::string> args, int expectedStatus) const {
    args.insert(args.begin(), {"--format", "json"});
    const HostRun result = run(args);
    EXPECT_EQ(result.status, expectedStatus) << result.err;
    return Json::parse(result.out);
}
