#include "FuzzDrivers.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "plugin/uExportFunctions.h"
#include "tests/shared/HrmText.h"
#include "tools/host/recording/ExerciseHeaders.h"

namespace fuzzing {

namespace {

constexpr size_t kSummarySize = 120, kSampleSize = 335, kLapSize = 122;
constexpr size_t kLapCountOffset = 60, kLapMarkerOffset = 90;
constexpr uint8_t kFill = 0xEE;

// A valid exercise for the track and settings drivers: 120 samples at 5 s
// from the start of the real track the seeds hold, two laps with temperatures.
constexpr int kFixedSamples = 120;

std::string fixedExercise() {
    Hrm hrm;
    hrm.smode = "111110100";
    hrm.date = "20150318";
    hrm.startTime = "19:47:14.0";
    hrm.maxHR = "190";
    hrm.note("Fixed exercise");
    hrm.laps({{.split = "00:05:00.0", .heartRate = 140, .minimum = 120, .average = 150, .maximum = 170, .speed = 250,
               .cadence = 85, .altitude = 410, .ascent = 30, .power = 200, .temperature = 180},
              {.split = "00:10:00.0", .heartRate = 150, .minimum = 125, .average = 155, .maximum = 175, .speed = 260,
               .cadence = 88, .altitude = 430, .ascent = 35, .power = 210, .temperature = 240}});
    hrm.trip({40, 120, 600, 410, 430, 250, 400, 9000});
    for (int i = 0; i < kFixedSamples; ++i)
        hrm.rows.push_back(tabbed({120 + i % 40, 250 + i % 30, 80 + i % 10, 400 + i % 50, 150 + i, 12336 + i % 7}));
    return hrm.text();
}

const char kFixedTrack[] =
    "<?xml version=\"1.0\"?><gpx><trk><trkseg>"
    "<trkpt lat=\"48.5\" lon=\"11.5\"><time>2015-03-18T19:47:19Z</time></trkpt>"
    "<trkpt lat=\"48.6\" lon=\"11.6\"><time>2015-03-18T19:47:24Z</time></trkpt>"
    "</trkseg></trk></gpx>";

void writeFile(const std::string& path, std::string_view content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string settingsText(bool gpsIgnoresTime) {
    return std::string("[SETTINGS]\r\nModulateTemp=1\r\nGPS=1\r\nHRMaxDev=1\r\nDebug=1\r\nGPSITime=") +
           (gpsIgnoresTime ? "1" : "0") + "\r\n";
}

template <typename... Args>
void check(Problems& problems, bool ok, Args&&... parts) {
    if (ok) return;
    std::string line;
    ((line += parts), ...);
    problems.push_back(line);
}

std::string number(int64_t value) { return std::to_string(value); }

// What the host does after an analysis that returned `count` samples: the
// summary once, every sample, every lap, the note.
void transfer(Problems& problems, const std::string& what, int32_t count) {
    check(problems, count >= 0, what, ": negative sample count ", number(count));
    std::array<uint8_t, kSummarySize> summary;
    summary.fill(kFill);
    const uint8_t delivered = GetLogSummaryEx(summary.data());
    check(problems, (delivered == 1) == (count > 0), what, ": summary delivered ", number(delivered), " for ",
          number(count), " samples");
    if (delivered != 1) {
        check(problems, std::all_of(summary.begin(), summary.end(), [](uint8_t b) { return b == kFill; }), what,
              ": summary written although not delivered");
        return;
    }
    std::array<uint8_t, kSampleSize> sample;
    for (int32_t i = 0; i < count; ++i) {
        sample.fill(kFill);
        if (GetExerciseDatasEx(i, sample.data()) != 1) {
            check(problems, false, what, ": sample ", number(i), " of ", number(count), " refused");
            break;
        }
    }
    uint16_t laps;
    std::memcpy(&laps, summary.data() + kLapCountOffset, sizeof laps);
    std::array<uint8_t, kLapSize> lap;
    for (int32_t i = 0; i < laps; ++i) {
        lap.fill(kFill);
        GetLapDatasEx(i, lap.data());
        if (lap[kLapMarkerOffset] != 2) {
            check(problems, false, what, ": lap ", number(i), " of ", number(laps), " not delivered");
            break;
        }
    }
    lap.fill(kFill);
    GetLapDatasEx(laps, lap.data());
    check(problems, std::all_of(lap.begin(), lap.end(), [](uint8_t b) { return b == kFill; }), what,
          ": lap beyond LapCount ", number(laps), " written");

    const int32_t noteLength = GetComment(nullptr, 0);
    check(problems, noteLength >= 0, what, ": note length ", number(noteLength));
    const uint32_t copied = static_cast<uint32_t>(std::clamp<int32_t>(noteLength, 0, 65535));
    std::string note(copied + 2, '\x7F');
    check(problems, GetComment(note.data(), copied) == noteLength, what, ": note length changed");
    // The note ends at its first zero byte, at the latest after `copied` characters.
    check(problems, copied == 0 || std::memchr(note.data(), 0, copied + 1) != nullptr, what, ": note not terminated");
    check(problems, note[copied + 1] == '\x7F', what, ": note written beyond its length");
}

int32_t analyse(const std::string& path, int32_t index) { return AnalyseExercise(path.c_str(), &index); }

}  // namespace

Workspace::Workspace(std::string directory) : directory_(std::move(directory)) {
    setenv("TMPDIR", directory_.c_str(), 1);
    writeFile(file("fixed.hrm"), fixedExercise());
    writeFile(file("track.hrm"), fixedExercise());
    writeFile(file("track.gpx"), kFixedTrack);
    writeFile(file("gps-times.ini"), settingsText(false));
    writeFile(file("gps-order.ini"), settingsText(true));
    ownFiles_ = {"fixed.hrm", "track.hrm", "track.gpx", "gps-times.ini", "gps-order.ini",
                 "fuzz.hrm",  "fixed.gpx", "fuzz.hrz",  "fuzz.ini"};
}

Problems driveHrm(const Workspace& workspace, std::string_view input) {
    Problems problems;
    const std::string path = workspace.file("fuzz.hrm");
    writeFile(path, input);
    SetPluginIniFile(workspace.file("gps-times.ini").c_str());
    transfer(problems, "hrm", analyse(path, 0));
    return problems;
}

Problems driveGpx(const Workspace& workspace, std::string_view input) {
    Problems problems;
    writeFile(workspace.file("fixed.gpx"), input);
    const std::string exercise = workspace.file("fixed.hrm");
    for (const char* settings : {"gps-times.ini", "gps-order.ini"}) {
        SetPluginIniFile(workspace.file(settings).c_str());
        const int32_t count = analyse(exercise, 0);
        check(problems, count == kFixedSamples, "gpx (", settings, "): ", number(count), " samples");
        transfer(problems, std::string("gpx (") + settings + ")", count);
    }
    return problems;
}

Problems driveHrz(const Workspace& workspace, std::string_view input) {
    Problems problems;
    const std::string path = workspace.file("fuzz.hrz");
    writeFile(path, input);
    SetPluginIniFile(workspace.file("gps-times.ini").c_str());
    const uint16_t count = GetExerciseNumberFromRawFile(path.c_str());
    check(problems, GetExerciseNumberFromRawFileEx(path.c_str(), 0xFFFFFFFFu) == count, "hrz: Ex count differs");
    const int32_t last = std::min<int32_t>(count, kMaxArchiveIndexes);
    for (int32_t index = -1; index <= last; ++index) {
        const int32_t samples = analyse(path, index);
        // An index outside the list answers 0 and keeps the last exercise.
        if (samples > 0) transfer(problems, "hrz index " + number(index), samples);
        check(problems, index >= 0 || samples == 0, "hrz: index -1 gave samples");
    }
    for (int32_t index : {INT32_MAX, INT32_MIN})
        check(problems, analyse(path, index) == 0, "hrz: index ", number(index), " gave samples");
    check(problems, AnalyseExercise(path.c_str(), nullptr) == 0, "hrz: no index variable gave samples");
    // The converter's own reading of the entries: those it reads and those it
    // names as refused, never more than the archive lists, each refusal said.
    std::vector<ExerciseHeader> refused;
    const size_t read = readExerciseHeaders(path, true, &refused).size();
    check(problems, read + refused.size() <= count || count == UINT16_MAX, "hrz: more entries than listed");
    for (const ExerciseHeader& entry : refused)
        check(problems, !entry.refused.empty() && entry.entry.find_first_of("\r\n") == std::string::npos,
              "hrz: entry refused without a reason, or named with a line break");
    return problems;
}

Problems driveIni(const Workspace& workspace, std::string_view input) {
    Problems problems;
    const std::string path = workspace.file("fuzz.ini");
    writeFile(path, input);
    SetIniFile(path.c_str());
    SetPluginIniFile(path.c_str());
    GetAHFactor();
    GetExerciseNumber();
    std::array<char, 300> text;
    GetDir(text.data(), text.size() - 1);
    const int32_t count = analyse(workspace.file("track.hrm"), 0);
    check(problems, count == kFixedSamples, "ini: ", number(count), " samples");
    transfer(problems, "ini", count);
    return problems;
}

Problems leftovers(const Workspace& workspace) {
    Problems problems;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(workspace.directory(), error)) {
        const std::string name = entry.path().filename().string();
        const auto& own = workspace.ownFiles();
        if (std::find(own.begin(), own.end(), name) == own.end()) problems.push_back("left behind: " + name);
    }
    if (error) problems.push_back("cannot list " + workspace.directory());
    return problems;
}

Driver driverFor(const std::string& extension) {
    if (extension == "hrm") return driveHrm;
    if (extension == "gpx") return driveGpx;
    if (extension == "hrz") return driveHrz;
    if (extension == "ini") return driveIni;
    if (extension == "diary") return driveDiary;
    if (extension == "track") return driveTrack;
    if (extension == "recording") return driveRecording;
    if (extension == "person") return drivePerson;
    if (extension == "history") return driveHistory;
    return nullptr;
}

}  // namespace fuzzing
