// archivebench: the peak memory of polarhost converting a lifetime archive,
// which should be set by the largest folder, not by the number of years.
//
// Run it from an optimised native build:
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
//   cmake --build build/release --target polarhost archivebench
//   build/release/tools/bench/archivebench [--years 5,20] [--format fit] [--host PATH] [--keep]
//
// It writes an archive of as many year folders as the most years asked for
// into a fresh directory under $TMPDIR (or /tmp), ~100 exercises a year the
// way the monitor's software leaves them: a ride of an hour at 5 s with
// speed, cadence and altitude; for two of three its R-R recording beside it
// (an hour of beats); for every other one its GPS track; one day diary per
// day naming the three. Then, for each count of years, it runs polarhost
// (--host, by default the one built beside this program) in a child process
// on the first years' folders, converting to --format (FIT by default, into
// which the beats are merged; fit,svg adds the charts and the overview
// page of every exercise), and reports the child's peak resident size
// (getrusage's ru_maxrss), its time and the lines it wrote to standard
// error. Target: the peaks of the fewest and the most years differ by less
// than 20 %. The program exits 0 when the target is met, 1 when not.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/FileSystem.h"
#include "framework/PrivateFolder.h"
#include "tests/shared/DiaryText.h"
#include "tests/shared/FileContent.h"
#include "tests/shared/HrmText.h"

namespace {

namespace fs = std::filesystem;

constexpr int kExercisesPerYear = 100;
constexpr int kFirstYear = 2001;
constexpr int kRideSeconds = 3600;
constexpr int kRideInterval = 5;
constexpr int kStartSecond = 17 * 3600;  // 17:00, so that the hour stays on its date in UTC
constexpr double kPeakSpreadTarget = 0.20;

struct Day {
    int year, month, day;
    std::string yyyymmdd() const {
        char text[16];
        std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
        return text;
    }
    // The monitor's software names an exercise file yymmddNN.hrm.
    std::string fileName(int number) const {
        char text[24];
        std::snprintf(text, sizeof text, "%02d%02d%02d%02d.hrm", year % 100, month, day, number);
        return text;
    }
};

// Exercise `k` of a year: nine days apart by three within each month.
Day dayOf(int year, int k) { return {year, 1 + k / 9, 1 + k % 9 * 3}; }

void writeRide(const std::string& path, const Day& day, int k) {
    Hrm hrm;
    hrm.smode = "111000000";
    hrm.date = day.yyyymmdd();
    hrm.startTime = "17:00:00.0";
    hrm.length = "01:00:00.0";
    hrm.interval = std::to_string(kRideInterval);
    hrm.maxHR = "190";
    hrm.startDelay = "0";
    hrm.note("Ride " + std::to_string(k));
    hrm.laps({{.split = "1:00:00.0", .heartRate = 150, .minimum = 110, .average = 140, .maximum = 170, .speed = 285,
               .cadence = 88, .altitude = 420, .ascent = 35}});
    hrm.madeRows = kRideSeconds / kRideInterval;
    hrm.makeRow = [](int64_t i) { return tabbed({110 + i % 60, 250 + i % 90, 80 + i % 15, 400 + i % 220}); };
    hrm.save(path);
}

// An hour of beats of 700 to 899 ms.
void writeBeats(const std::string& path, const Day& day) {
    Hrm hrm;
    hrm.monitor = "22";
    hrm.date = day.yyyymmdd();
    hrm.startTime = "17:00:00.0";
    hrm.length = "01:00:00.0";
    hrm.interval = "238";
    hrm.startDelay = "0";
    hrm.madeRows = kRideSeconds * 1000 / 800;
    hrm.makeRow = [](int64_t i) { return std::to_string(700 + i * 37 % 200); };
    hrm.save(path);
}

// A point every 5 s over the ride, in UTC.
void writeTrack(const std::string& path, const Day& day) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"archivebench\" "
           "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><trkseg>\n";
    char point[200];
    for (int p = 0; p <= kRideSeconds; p += kRideInterval) {
        const int second = kStartSecond + p;
        std::snprintf(point, sizeof point,
                      "<trkpt lat=\"%.7f\" lon=\"%.7f\"><ele>%.1f</ele><time>%04d-%02d-%02dT%02d:%02d:%02dZ</time>"
                      "</trkpt>\n",
                      47.0 + p * 1e-5, 8.0 + p * 1e-5, 400.0 + p % 220, day.year, day.month, day.day, second / 3600,
                      second / 60 % 60, second % 60);
        out << point;
    }
    out << "</trkseg></trk>\n</gpx>\n";
    if (!out) throw std::runtime_error("cannot write " + path);
}

// A year's folder; the number of raw files in it.
int writeYear(const fs::path& folder, int year) {
    fs::create_directories(folder);
    int rawFiles = 0;
    for (int k = 0; k < kExercisesPerYear; ++k) {
        const Day day = dayOf(year, k);
        DiaryEntry entry{kStartSecond, 2, 600, "Ride " + std::to_string(k), "", day.fileName(1), "", ""};
        writeRide(fw::fromPath(folder / entry.exerciseFile), day, k);
        ++rawFiles;
        if (k % 3 != 2) {
            entry.rrFile = day.fileName(2);
            writeBeats(fw::fromPath(folder / entry.rrFile), day);
            ++rawFiles;
        }
        if (k % 2 == 0) {
            entry.trackFile = day.fileName(1).substr(0, 8) + ".gpx";
            writeTrack(fw::fromPath(folder / entry.trackFile), day);
        }
        writeFile(fw::fromPath(folder / (day.yyyymmdd() + ".pdd")), diaryText({entry}, day.yyyymmdd()));
    }
    return rawFiles;
}

struct Measure {
    double seconds = -1;
    long peakKiB = -1;
    int status = -1;
    int messageLines = 0;
};

// polarhost on `folders` in a child of its own, its output thrown away
// and its standard error into `errors`.
Measure runHost(const std::string& host, const std::string& formats, const std::vector<std::string>& folders,
                const fs::path& output, const fs::path& errors) {
    std::vector<std::string> args = {host, "--format", formats, "--utc-offset", "+00:00", "--output",
                                     fw::fromPath(output)};
    args.insert(args.end(), folders.begin(), folders.end());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        if (!std::freopen("/dev/null", "w", stdout) || !std::freopen(fw::fromPath(errors).c_str(), "w", stderr))
            _exit(126);
        execv(host.c_str(), argv.data());
        _exit(127);
    }
    Measure measure;
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) return measure;
    measure.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    measure.peakKiB = usage.ru_maxrss;
    measure.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errors);
    for (std::string line; std::getline(in, line);) ++measure.messageLines;
    return measure;
}

std::vector<int> yearCounts(const char* text) {
    std::vector<int> counts;
    for (const char* at = text; *at;) {
        char* end = nullptr;
        const long n = std::strtol(at, &end, 10);
        if (end == at || n < 1 || n > 100) return {};
        counts.push_back(static_cast<int>(n));
        at = *end == ',' ? end + 1 : end;
    }
    return counts;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> years = {5, 20};
    std::string host = fw::fromPath(fs::absolute(argv[0]).parent_path().parent_path() / "host" / "polarhost");
    std::string formats = "fit";
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--years") == 0 && i + 1 < argc) {
            years = yearCounts(argv[++i]);
        } else if (std::strcmp(argv[i], "--format") == 0 && i + 1 < argc) {
            formats = argv[++i];
        } else if (std::strcmp(argv[i], "--host") == 0 && i + 1 < argc) {
            host = argv[++i];
        } else if (std::strcmp(argv[i], "--keep") == 0) {
            keep = true;
        } else {
            years.clear();
        }
        if (years.empty()) {
            std::fprintf(stderr, "usage: archivebench [--years N,N...] [--format F] [--host PATH] [--keep]\n");
            return 2;
        }
    }
    std::string error;
    const std::string pattern = fw::createPrivateFolder("archivebench.", error);
    if (pattern.empty()) {
        std::fprintf(stderr, "archivebench: %s\n", error.c_str());
        return 1;
    }
    const fs::path dir = pattern;
    // The plug-in extracts archives under the temporary directory: keep it in ours.
    fw::setTempDirectory(pattern);

    int most = 0;
    for (const int count : years) most = std::max(most, count);
    std::printf("writing %d years of %d exercises into %s ...\n", most, kExercisesPerYear, pattern.c_str());
    std::fflush(stdout);
    std::vector<std::string> folders;
    std::vector<int> rawFiles;
    for (int y = 0; y < most; ++y) {
        const fs::path folder = dir / "Polar" / std::to_string(kFirstYear + y);
        rawFiles.push_back(writeYear(folder, kFirstYear + y) + (y > 0 ? rawFiles.back() : 0));
        folders.push_back(fw::fromPath(folder));
    }

    std::printf("\npolarhost --format %s\n%6s %10s %10s %10s %12s %8s\n", formats.c_str(), "years", "raw files",
                "time", "peak MiB", "stderr lines", "status");
    std::vector<long> peaks;
    for (const int count : years) {
        const fs::path output = dir / ("out-" + std::to_string(count));
        const std::vector<std::string> first(folders.begin(), folders.begin() + count);
        const Measure m =
            runHost(host, formats, first, output, dir / ("stderr-" + std::to_string(count) + ".txt"));
        fs::remove_all(output);
        peaks.push_back(m.peakKiB);
        std::printf("%6d %10d %8.1f s %10.1f %12d %8d\n", count, rawFiles[static_cast<size_t>(count - 1)], m.seconds,
                    m.peakKiB / 1024.0, m.messageLines, m.status);
        std::fflush(stdout);
    }
    const auto [fewest, largest] = std::minmax_element(years.begin(), years.end());
    const long low = peaks[static_cast<size_t>(fewest - years.begin())];
    const long high = peaks[static_cast<size_t>(largest - years.begin())];
    const double spread = low > 0 ? static_cast<double>(high - low) / static_cast<double>(low) : -1;
    const bool met = low > 0 && high > 0 && spread < kPeakSpreadTarget;
    std::printf("\npeak of %d years against %d: %+.1f %% (target below %.0f %%): %s\n", *largest, *fewest,
                spread * 100, kPeakSpreadTarget * 100, met ? "met" : "MISSED");

    if (keep) {
        std::printf("inputs and standard error kept in %s\n", pattern.c_str());
    } else {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    return met ? 0 : 1;
}
