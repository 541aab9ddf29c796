// polarbench: wall time and peak memory of AnalyseExercise on large inputs,
// and the peak memory per sample of the plug-in and of the command-line
// host apart while the host writes each of its formats.
//
// Run it from an optimised native build:
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
//   cmake --build build/release --target polarbench
//   build/release/tools/bench/polarbench [--repeat N] [--rows N] [--keep]
//
// It writes its inputs into a fresh directory under $TMPDIR (or /tmp), which
// is also the plug-in's temporary directory, and removes it afterwards unless
// --keep is given. Every run of a case happens in a child process of its own,
// so each starts with a fresh plug-in state, as after loading the DLL; a
// peak is the child's VmHWM after a step minus its VmRSS before it (the peak
// is first reset to the current size through /proc/self/clear_refs).
//
// First table: time and peak of the AnalyseExercise calls only, beside the
// floor: the same files read and held as one std::string per line, best of
// --repeat runs each, and the ratio of the two bests. The target column says
// whether a case met its targets.
// Second table: one exercise analysed the way the host does it (summary,
// laps, note: the plug-in's peak), then handed to the host's writer for each
// format, which reads every sample from the plug-in and writes the file (the
// host's peak, measured from the end of the analysis), with the time of the
// analysis and of the host's step side by side and their ratio (converting
// the day with its 1 s track to FIT places the track too: the converter's
// target is at most twice the analysis). Inputs: the day with
// its track of case (b), so that GPX has positions to write, and an exercise
// of --rows rows (default 1,000,000; the fault that made this table was an
// exercise of 10,000,000). A host that streams shows the same few MiB for
// both, so its bytes per sample fall as the exercise grows. The program
// exits 0.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/PrivateFolder.h"
#include "framework/Zip.h"
#include "plugin/uExportFunctions.h"
#include "tests/shared/FileContent.h"
#include "tests/shared/HrmText.h"
#include "tools/bench/ProcessStatus.h"
#include "tools/host/convert/ConversionWriter.h"
#include "tools/host/driver/HostDriver.h"
#include "tools/host/binding/PluginBinding.h"
#include "tools/host/report/ReportWriters.h"

namespace {

constexpr int kDaySeconds = 86400;
constexpr int kArchiveExercises = 50;

// ---- inputs -------------------------------------------------------------

struct HrmShape {
    int rows = kDaySeconds;
    int laps = 3;
    int startHour = 0;  // the day's exercise starts at midnight so the track stays on one date
};

// A 24-hour ride at a 1-second interval: heart rate, speed, cadence,
// altitude, power and balance in every row, laps and a trip. Its rows are
// made while it is written, so that no input is held in memory.
void writeHrm(const std::string& path, const HrmShape& shape) {
    const int length = shape.rows;
    // "h:mm:ss.0", the hours at least `hourDigits` wide.
    const auto clock = [](int seconds, int hourDigits) {
        char text[24];
        std::snprintf(text, sizeof text, "%0*d:%02d:%02d.0", hourDigits, seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
        return std::string(text);
    };
    Hrm hrm;
    hrm.smode = "111110100";
    hrm.date = "20240512";
    hrm.startTime = clock(shape.startHour * 3600, 2);
    hrm.length = clock(length, 2);
    hrm.interval = "1";
    hrm.maxHR = "190";
    hrm.startDelay = "0";
    hrm.vo2max = "54";
    hrm.note("Benchmark ride");
    std::vector<HrmLap> laps;
    const int lapLength = length / shape.laps;
    for (int k = 1; k <= shape.laps; ++k) {
        const int end = k == shape.laps ? length : k * lapLength;
        laps.push_back({.split = clock(end, 1), .heartRate = 150, .minimum = 120,
                        .average = 140, .maximum = 170, .speed = 285, .cadence = 88, .altitude = 420, .ascent = 35,
                        .power = 210, .temperature = 150 + k % 120});
    }
    hrm.laps(laps);
    hrm.trip({7000, 1500, length, 450, 620, 3600, 6400, 9000});
    hrm.madeRows = shape.rows;
    hrm.makeRow = [](int64_t i) {
        return tabbed({110 + i % 60, 250 + i % 90, 80 + i % 15, 400 + i % 220, 150 + i % 180, 24 * 256 + 48 + i % 5});
    };
    hrm.save(path);
}

// One point per second from midnight, four lines per point.
void writeGpx(const std::string& path, int points) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"polarbench\" "
           "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><name>day</name><trkseg>\n";
    char point[200];
    for (int p = 0; p < points; ++p) {
        std::snprintf(point, sizeof point,
                      "<trkpt lat=\"%.7f\" lon=\"%.7f\">\n<ele>%.1f</ele>\n<time>2024-05-12T%02d:%02d:%02dZ</time>\n"
                      "</trkpt>\n",
                      47.0 + p * 1e-5, 8.0 + p * 1e-5, 400.0 + p % 220, p / 3600, p / 60 % 60, p % 60);
        out << point;
    }
    out << "</trkseg></trk>\n</gpx>\n";
    if (!out) throw std::runtime_error("cannot write " + path);
}

// ---- measuring ----------------------------------------------------------


void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// What a child reports; fields a case does not measure stay as they are.
struct RunResult {
    double seconds = -1;
    long peakKiB = -1;  // above the baseline
    int64_t samples = 0;
    long hostPeakKiB = -1;  // the host's step, above the end of the analysis
    double hostSeconds = -1;
};

// The peak of `step` above the resident size before it, in KiB; -1 when
// /proc cannot tell.
template <typename Step>
long peakOf(Step step) {
    resetPeak();
    const long baseline = statusKiB("VmRSS");
    step();
    const long peak = statusKiB("VmHWM");
    return peak >= 0 && baseline >= 0 ? peak - baseline : -1;
}

struct Case {
    const char* name;
    std::string rawFile;
    int exercises;
    double secondsTarget;  // 0: none
    long peakTargetKiB;    // 0: none
    std::vector<std::string> readFiles;  // the files the analysis reads as text, for the floor
};

// The analysis may cost at most this many times the floor.
constexpr double kFloorRatioTarget = 1.5;

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// `measure` in a child of its own, which reports through a pipe; the
// child's plug-in state is unloaded afterwards, removing its work directory.
template <typename Measure>
RunResult runInChild(Measure measure) {
    int channel[2];
    if (pipe(channel) != 0) return {};
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const RunResult result = measure();
        DonePluginState();
        const ssize_t written = write(channel[1], &result, sizeof result);
        _exit(written == static_cast<ssize_t>(sizeof result) ? 0 : 1);
    }
    close(channel[1]);
    RunResult result;
    if (child < 0 || read(channel[0], &result, sizeof result) != static_cast<ssize_t>(sizeof result)) result = {};
    close(channel[0]);
    if (child > 0) waitpid(child, nullptr, 0);
    return result;
}

RunResult analyseCase(const Case& benchCase, const std::string& settings) {
    SetPluginIniFile(settings.c_str());
    RunResult result;
    const auto start = std::chrono::steady_clock::now();
    result.peakKiB = peakOf([&] {
        for (int32_t i = 0; i < benchCase.exercises; ++i)
            result.samples += AnalyseExercise(benchCase.rawFile.c_str(), &i);
    });
    result.seconds = secondsSince(start);
    return result;
}

// The least an analysis of these files can cost: each file's bytes read and
// one std::string kept per line (split at CR LF, LF or CR), one file after
// the other, as the analysis holds them.
RunResult floorCase(const Case& benchCase) {
    RunResult result;
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : benchCase.readFiles) {
        std::ifstream in(path, std::ios::binary);
        std::string text(std::filesystem::file_size(path), '\0');
        in.read(text.data(), static_cast<std::streamsize>(text.size()));
        std::vector<std::string> lines;
        for (size_t begin = 0; begin < text.size();) {
            size_t end = begin;
            while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
            lines.emplace_back(text, begin, end - begin);
            begin = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        }
        result.samples += static_cast<int64_t>(lines.size());
    }
    result.seconds = secondsSince(start);
    return result;
}

// A conversion run with what it keeps beside it for the length of the run.
class ConversionCase : public ReportWriter {
public:
    ConversionCase(ConversionFormat format, std::ostream& out, const std::string& directory) : companions_(CodePage::windows1252) {
        ConversionOptions options;
        options.formats = {format};
        options.outputDirectory = directory;
        options.utcOffset = 0;
        run_ = makeConversionWriter(options, rawFiles_, companions_, summary_, out, out);
    }
    void beginFile(const std::string& path, int32_t count) override { run_->beginFile(path, count); }
    void exercise(const ExerciseReport& report) override { run_->exercise(report); }
    void endFile(const std::vector<ExerciseHeader>& withoutSamples) override { run_->endFile(withoutSamples); }
    void finish() override { run_->finish(); }

private:
    const std::vector<RawFileName> rawFiles_;  // none: the file joins the run when begun
    Companions companions_;
    RunSummary summary_;
    std::unique_ptr<ConversionRun> run_;
};

struct HostFormat {
    const char* name;
    std::function<std::unique_ptr<ReportWriter>(std::ostream& out, const std::string& directory)> writer;
};

// The host's formats: the reports into a file, the conversions into a folder.
std::vector<HostFormat> hostFormats() {
    std::vector<HostFormat> formats;
    for (const auto& [name, format] : {std::pair{"table", ReportFormat::Table}, std::pair{"csv", ReportFormat::Csv},
                                       std::pair{"json", ReportFormat::Json}})
        formats.push_back(
            {name, [format](std::ostream& out, const std::string&) { return makeReportWriter(format, out); }});
    for (const auto& [name, format] :
         {std::pair{"tcx", ConversionFormat::Tcx}, std::pair{"gpx", ConversionFormat::Gpx},
          std::pair{"fit", ConversionFormat::Fit}, std::pair{"svg", ConversionFormat::Svg}})
        formats.push_back({name, [format](std::ostream& out, const std::string& directory) {
                               return std::unique_ptr<ReportWriter>(std::make_unique<ConversionCase>(format, out, directory));
                           }});
    return formats;
}

// One exercise as the host takes it: the plug-in's analysis, then the
// writer reading every sample.
RunResult hostCase(const std::string& rawFile, const HostFormat& format, const std::string& settings,
                   const std::string& directory) {
    std::string error;
    const std::unique_ptr<PluginBinding> binding = bindPlugin("", error);
    const PluginExports& plugin = binding->exports();
    plugin.SetPluginIniFile(settings.c_str());
    RunResult result;
    ExerciseReport report;
    const auto analysis = std::chrono::steady_clock::now();
    result.peakKiB = peakOf([&] { report = analyseExercise(plugin, rawFile, 0); });
    result.seconds = secondsSince(analysis);
    result.samples = report.sampleCount;
    std::ofstream out(directory + "/" + format.name + ".out", std::ios::binary);
    const auto start = std::chrono::steady_clock::now();
    result.hostPeakKiB = peakOf([&] {
        const std::unique_ptr<ReportWriter> writer = format.writer(out, directory);
        writer->beginFile(rawFile, 1);
        writer->exercise(report);
        writer->endFile({});
        writer->finish();
    });
    result.hostSeconds = secondsSince(start);
    return result;
}

double bytesPerSample(long kiB, int64_t samples) { return samples > 0 && kiB >= 0 ? kiB * 1024.0 / samples : -1; }

void printHostTable(const std::vector<std::string>& rawFiles, const std::string& settings, const std::string& dir) {
    std::printf("\n%-10s %-6s %10s %12s %12s %10s %12s %10s %10s %6s\n", "input", "format", "samples", "plug-in MiB",
                "plug-in B/s", "host MiB", "host B/s", "analysis", "host time", "ratio");
    for (const std::string& rawFile : rawFiles) {
        const std::string input = std::filesystem::path(rawFile).parent_path().filename().string();
        for (const HostFormat& format : hostFormats()) {
            const std::string out = dir + "/host-" + format.name;
            std::filesystem::create_directories(out);
            const RunResult r = runInChild([&] { return hostCase(rawFile, format, settings, out); });
            std::filesystem::remove_all(out);
            std::printf("%-10s %-6s %10" PRId64 " %12.1f %12.1f %10.1f %12.2f %8.2f s %8.2f s %6.2f\n", input.c_str(),
                        format.name, r.samples, r.peakKiB / 1024.0, bytesPerSample(r.peakKiB, r.samples),
                        r.hostPeakKiB / 1024.0, bytesPerSample(r.hostPeakKiB, r.samples), r.seconds, r.hostSeconds,
                        r.seconds > 0 ? r.hostSeconds / r.seconds : 0.0);
            std::fflush(stdout);
        }
    }
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    // As loading the DLL does; every child inherits this fresh state.
    InitPluginState();
    // Best of five: on a shared machine the best runs are the ones nothing else disturbed.
    int repeat = 5;
    int hostRows = 1000000;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
            repeat = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--rows") == 0 && i + 1 < argc) {
            hostRows = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--keep") == 0) {
            keep = true;
        } else {
            std::fprintf(stderr, "usage: polarbench [--repeat N] [--rows N] [--keep]\n");
            return 2;
        }
    }

    std::string error;
    const std::string pattern = fw::createPrivateFolder("polarbench.", error);
    if (pattern.empty()) {
        std::fprintf(stderr, "polarbench: %s\n", error.c_str());
        return 1;
    }
    const std::string dir = pattern;
    // The plug-in extracts archives under the temporary directory: keep it in ours.
    fw::setTempDirectory(dir);
    std::filesystem::create_directories(dir + "/plain");
    std::filesystem::create_directories(dir + "/track");
    std::filesystem::create_directories(dir + "/laps");
    std::filesystem::create_directories(dir + "/archive");
    std::filesystem::create_directories(dir + "/rows");

    std::printf("writing inputs into %s ...\n", dir.c_str());
    std::fflush(stdout);
    const std::string settings = dir + "/settings.ini";
    writeFile(settings, "[SETTINGS]\r\nModulateTemp=1\r\nGPS=1\r\nDebug=0\r\n");
    writeHrm(dir + "/plain/day.hrm", {});
    writeHrm(dir + "/track/day.hrm", {});
    writeGpx(dir + "/track/day.gpx", kDaySeconds);
    writeHrm(dir + "/laps/laps201.hrm", HrmShape{kDaySeconds, 201, 0});
    writeHrm(dir + "/rows/long.hrm", HrmShape{hostRows, 3, 0});
    std::vector<fw::ZipSource> sources;
    for (int n = 1; n <= kArchiveExercises; ++n) {
        const std::string name = std::to_string(n) + ".hrm";
        writeHrm(dir + "/archive/" + name, {});
        sources.push_back({name, dir + "/archive/" + name});
    }
    const std::string archive = dir + "/Connect.hrz";
    fw::writeZip(archive, sources);
    // The archive's files stay for the floor, which reads what the analysis reads after extracting them.
    std::vector<std::string> archiveFiles;
    for (const fw::ZipSource& source : sources) archiveFiles.push_back(source.path);

    const std::vector<Case> cases = {
        {"(a) 24 h at 1 s, 5 channels", dir + "/plain/day.hrm", 1, 0, 0, {dir + "/plain/day.hrm"}},
        {"(b) (a) + GPX of 86,400 points", dir + "/track/day.hrm", 1, 0.25, 64 * 1024,
         {dir + "/track/day.hrm", dir + "/track/day.gpx"}},
        {"(c) (a) with 201 laps", dir + "/laps/laps201.hrm", 1, 0, 0, {dir + "/laps/laps201.hrm"}},
        {"(d) .hrz of 50 x (a), by index", archive, kArchiveExercises, 0, 0, archiveFiles},
    };

    std::printf("\n%-34s %9s %10s %10s %10s %10s %6s  %s\n", "case", "samples", "time min", "time med", "peak MiB",
                "floor min", "ratio", "target");
    for (const Case& benchCase : cases) {
        std::vector<double> times, floors;
        long peak = -1;
        int64_t samples = 0;
        bool failed = false;
        // Analysis and floor alternate, so that both see the same machine load.
        for (int r = 0; r < repeat; ++r) {
            const RunResult result = runInChild([&] { return analyseCase(benchCase, settings); });
            const RunResult floor = runInChild([&] { return floorCase(benchCase); });
            if (result.seconds < 0 || floor.seconds < 0) failed = true;
            times.push_back(result.seconds);
            floors.push_back(floor.seconds);
            peak = std::max(peak, result.peakKiB);
            samples = result.samples;
        }
        const double best = *std::min_element(times.begin(), times.end());
        const double ratio = best / *std::min_element(floors.begin(), floors.end());
        std::string target = "-";
        if (failed) {
            target = "run failed";
        } else {
            char text[128];
            const int used = std::snprintf(text, sizeof text, "ratio <= %.1f: %s", kFloorRatioTarget,
                                       ratio <= kFloorRatioTarget ? "met" : "MISSED");
            if (benchCase.secondsTarget > 0) {
                const bool met =
                    median(times) < benchCase.secondsTarget && peak >= 0 && peak < benchCase.peakTargetKiB;
                std::snprintf(text + used, sizeof text - static_cast<size_t>(used), "; < %.2f s, < %ld MiB: %s",
                              benchCase.secondsTarget, benchCase.peakTargetKiB / 1024, met ? "met" : "MISSED");
            }
            target = text;
        }
        std::printf("%-34s %9" PRId64 " %8.3f s %8.3f s %10.1f %8.3f s %6.2f  %s\n", benchCase.name, samples, best,
                    median(times), peak / 1024.0, *std::min_element(floors.begin(), floors.end()), ratio,
                    target.c_str());
        std::fflush(stdout);
    }

    printHostTable({dir + "/track/day.hrm", dir + "/rows/long.hrm"}, settings, dir);

    if (keep) {
        std::printf("\ninputs kept in %s\n", dir.c_str());
    } else {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    DonePluginState();
    return 0;
}
