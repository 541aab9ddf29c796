// polar_leakcheck: many analyses in one load of the plug-in, then unload.
//
//   polar_leakcheck [--analyses N]   N analyses (default 1000) of a mixed set
//                                    of files, the host's transfer calls after
//                                    each; prints the resident memory after
//                                    the first 10 and after all of them.
//   polar_leakcheck --rows N         one .hrm of N sample rows; prints the
//                                    peak memory of its analysis.
//
// Built with POLAR_SANITIZE, LeakSanitizer reports anything not released at
// exit and fails the program. Exits 1 when the plug-in leaves anything in
// its temporary directory after unload. Memory figures are printed, never
// judged: they belong to a measuring run, not to a test.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/Zip.h"
#include "framework/posix/MessageSink.h"
#include "plugin/uExportFunctions.h"
#include "tests/shared/FileContent.h"
#include "tests/shared/HrmText.h"
#include "tools/bench/ProcessStatus.h"

namespace {

namespace fs = std::filesystem;

// An hour at 5 s with every quantity through balance, a note, `laps` laps
// of five rows (of three without `extended`, the version before 106) and a trip.
std::string exercise(int rows, int laps, bool extended) {
    Hrm hrm;
    hrm.version = extended ? "106" : "105";
    hrm.smode = "111110100";
    hrm.length = "01:00:00.0";
    hrm.maxHR = "190";
    hrm.note("leak check");
    std::vector<HrmLap> lapList;
    for (int lap = 1; lap <= laps; ++lap)
        lapList.push_back({.split = "00:" + std::to_string(10 + lap) + ":00.0", .heartRate = 140, .minimum = 120,
                           .average = 150, .maximum = 170, .speed = 250, .cadence = 85, .altitude = 410, .ascent = 30,
                           .power = 200, .temperature = 150 + lap * 10});
    hrm.laps(lapList, extended ? 5 : 3);
    hrm.trip({40, 120, 600, 410, 430, 250, 400, 9000});
    for (int i = 0; i < rows; ++i) hrm.rows.push_back(tabbed({120 + i % 40, 250, 85, 400 + i % 50, 180, 12336}));
    return hrm.text();
}

std::string track(int points) {
    std::string text = "<?xml version=\"1.0\"?><gpx><trk><trkseg>";
    for (int p = 0; p < points; ++p) {
        char point[160];
        std::snprintf(point, sizeof point,
                      "<trkpt lat=\"%.6f\" lon=\"%.6f\"><time>2024-05-01T10:%02d:%02dZ</time></trkpt>", 48 + p * 1e-4,
                      11 + p * 1e-4, p * 5 / 60 % 60, p * 5 % 60);
        text += point;
    }
    return text + "</trkseg></trk></gpx>";
}

struct Input {
    std::string path;
    int32_t index;
};

// Single files with and without a track, archive exercises with a track
// inside, a damaged file, a hostile archive and the real files beside the
// repository when they are there.
std::vector<Input> mixedSet(const std::string& dir) {
    std::vector<Input> set;
    writeFile(dir + "/long.hrm", exercise(720, 3, true));
    writeFile(dir + "/long.gpx", track(700));
    writeFile(dir + "/old.hrm", exercise(200, 2, false));
    writeFile(dir + "/broken.hrm", exercise(50, 2, true).substr(0, 700));
    set.push_back({dir + "/long.hrm", 0});
    set.push_back({dir + "/old.hrm", 0});
    set.push_back({dir + "/broken.hrm", 0});
    set.push_back({dir + "/missing.hrm", 0});

    writeFile(dir + "/src-a.hrm", exercise(300, 1, true));
    writeFile(dir + "/src-a.gpx", track(300));
    writeFile(dir + "/src-b.hrm", exercise(100, 0, true));
    fw::writeZip(dir + "/ride.hrz", {{"a.hrm", dir + "/src-a.hrm"}, {"a.gpx", dir + "/src-a.gpx"},
                                     {"b.hrm", dir + "/src-b.hrm"}});
    for (int32_t index : {0, 1, 2, -1}) set.push_back({dir + "/ride.hrz", index});
    writeFile(dir + "/nozip.hrz", "PK\x03\x04 not an archive");
    set.push_back({dir + "/nozip.hrz", 0});

#ifdef POLAR_REAL_FILES_DIR
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(POLAR_REAL_FILES_DIR, ignored))
        if (entry.path().extension() == ".hrm") set.push_back({entry.path().string(), 0});
#endif
    return set;
}

// What the host reads after an analysis.
void transfer(int32_t count) {
    std::array<uint8_t, 120> summary;
    if (GetLogSummaryEx(summary.data()) != 1) return;
    std::array<uint8_t, 335> sample;
    for (int32_t i = 0; i < count; ++i) GetExerciseDatasEx(i, sample.data());
    uint16_t laps;
    std::memcpy(&laps, summary.data() + 60, sizeof laps);
    std::array<uint8_t, 122> lap;
    for (int32_t i = 0; i < laps; ++i) GetLapDatasEx(i, lap.data());
    std::vector<char> note(static_cast<size_t>(GetComment(nullptr, 0)) + 1);
    GetComment(note.data(), static_cast<uint32_t>(note.size() - 1));
}

int runAnalyses(const std::string& dir, int analyses) {
    const std::vector<Input> set = mixedSet(dir);
    writeFile(dir + "/plugin.ini", "[SETTINGS]\r\nModulateTemp=1\r\nGPS=1\r\nHRMaxDev=1\r\nDebug=1\r\nGPSITime=0\r\n");
    InitPluginState();
    SetPluginIniFile((dir + "/plugin.ini").c_str());
    long afterTen = -1, highest = 0;
    int64_t samples = 0;
    for (int n = 0; n < analyses; ++n) {
        const Input& input = set[static_cast<size_t>(n) % set.size()];
        const int32_t count = AnalyseExercise(input.path.c_str(), &input.index);
        samples += count;
        transfer(count);
        const long rss = statusKiB("VmRSS");
        highest = std::max(highest, rss);
        if (n + 1 == 10) afterTen = rss;
    }
    const long atEnd = statusKiB("VmRSS");
    DonePluginState();
    std::printf("analyses: %d of %zu files, %lld samples\n", analyses, set.size(), static_cast<long long>(samples));
    std::printf("resident after 10: %ld KiB, after %d: %ld KiB (%+ld KiB), highest after 10: %ld KiB\n", afterTen,
                analyses, atEnd, atEnd - afterTen, highest);

    int left = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory() || name.find("VoruzUvidav") != std::string::npos) {
            std::printf("left behind after unload: %s\n", name.c_str());
            ++left;
        }
    }
    return left == 0 ? 0 : 1;
}

int runRows(const std::string& dir, long rows) {
    const std::string path = dir + "/rows.hrm";
    Hrm hrm;
    hrm.monitor = hrm.date = hrm.startTime = "";
    hrm.smode = "111110000";
    hrm.length = "00:00:00.0";
    hrm.interval = "1";
    hrm.madeRows = rows;
    hrm.makeRow = [](int64_t i) { return tabbed({100 + i % 80, 200 + i % 90, 90, i % 1000, 250, 50}); };
    hrm.save(path);
    const long fileKiB = static_cast<long>(fs::file_size(path) / 1024);
    InitPluginState();
    const long before = statusKiB("VmRSS");
    const int32_t zero = 0;
    const int32_t count = AnalyseExercise(path.c_str(), &zero);
    const long peak = statusKiB("VmHWM");
    const long after = statusKiB("VmRSS");
    DonePluginState();
    std::printf("rows: %ld, file %ld KiB, samples %d\n", rows, fileKiB, count);
    std::printf("resident before %ld KiB, peak %ld KiB (%+ld KiB, %.0f bytes a row), after the analysis %ld KiB\n",
                before, peak, peak - before, (peak - before) * 1024.0 / static_cast<double>(rows), after);
    return count == rows ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    int analyses = 1000;
    long rows = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--analyses") == 0 && i + 1 < argc) {
            analyses = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--rows") == 0 && i + 1 < argc) {
            rows = std::max(1L, std::atol(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: polar_leakcheck [--analyses N | --rows N]\n");
            return 2;
        }
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/polarleak.XXXXXX";
    if (!mkdtemp(pattern.data())) return 1;
    const std::string dir = pattern;
    setenv("TMPDIR", dir.c_str(), 1);
    fw::setMessageSink([](fw::MessageKind, const std::string&) {});
    const int result = rows > 0 ? runRows(dir, rows) : runAnalyses(dir, analyses);
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return result;
}
