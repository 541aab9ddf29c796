// polarhost: drives the plug-in's exports over raw files exactly as the
// training-log application does and prints what it receives.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/Settings.h"
#include "tools/host/convert/ConversionWriter.h"
#include "tools/host/driver/HostDriver.h"
#include "tools/host/binding/PluginBinding.h"
#include "tools/host/report/ReportWriters.h"
#include "tools/host/time/TimeZone.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // nothing analysed in a file, or a converted file not written
constexpr int kExitUsage = 2;
constexpr int kExitNoPlugin = 3;

struct HostOptions {
    std::string settings;  // empty: a path that does not exist, so the defaults apply
    std::string library;   // empty: PolarImport.dll beside the program
    ReportFormat format = ReportFormat::Table;
    std::optional<ConversionFormat> conversion;  // set: files into `output` instead of a report
    std::string output;
    std::optional<int32_t> utcOffset;
    std::optional<Sport> sport;  // --sport: instead of the one each recording tells
    std::vector<std::string> files;
    std::string importTarget;  // --import: the directory the import dialog archives into
    std::string configure;     // --configure: the settings file the configuration dialog edits
    bool help = false;
};

void printUsage() {
    std::printf(
        "usage: polarhost [--settings INI] [--format table|csv|json]%s\n"
        "                 [--configure INI] [--import TARGETDIR] RAWFILE...\n"
        "       polarhost --format tcx|gpx|fit|svg --output DIR [--utc-offset +HH:MM]\n"
        "                 [--sport running|cycling|other] [--settings INI] RAWFILE...\n"
        "\n"
        "Analyses each raw file (.hrm exercise or .hrz archive) through the plug-in's\n"
        "exports, as the training-log application does, and prints what it hands over,\n"
        "or converts each exercise into a file for other training software.\n"
        "\n"
        "  --settings INI   plug-in settings file (section SETTINGS); without it the\n"
        "                   plug-in is given a file that does not exist, so its\n"
        "                   defaults apply (ModulateTemp=1, GPS=1, Debug=0, ...)\n"
        "  --format F       table (default, for people), csv (one row per sample) or\n"
        "                   json (every record field as the plug-in wrote it); or\n"
        "                   tcx, gpx, fit, svg: one file per exercise into --output\n"
        "  --output DIR     folder for the converted files (made when missing): the raw\n"
        "                   file's name with the format's extension, the exercise\n"
        "                   index added for an archive (ride.tcx, Connect-0.fit ...).\n"
        "                   Metres, m/s and degrees Celsius, converted from US units\n"
        "                   where the file says it holds them; positions only where\n"
        "                   the track gave one (GPX has only those samples, and\n"
        "                   none for an exercise without a position). TCX, GPX and\n"
        "                   FIT need a valid Date= and an Interval= above 0 to place\n"
        "                   the samples in time. An exercise without samples gives\n"
        "                   no file. An R-R recording (Interval=238) is converted\n"
        "                   from its beats, or merged into the FIT and SVG of the\n"
        "                   exercise of the same start given with it. The path of\n"
        "                   each file written goes to standard output\n"
        "  --utc-offset +HH:MM  the offset from UTC of the files' wall-clock times;\n"
        "                   without it, the machine's time zone on the exercise's date.\n"
        "                   Each file says which it used\n"
        "  --sport S        running, cycling or other for every exercise (TCX Sport,\n"
        "                   FIT sport, and the reports' sport); without it, from the\n"
        "                   recording: power or SMode's cycling flag (Mode='s before\n"
        "                   version 106) is cycling, speed without them running,\n"
        "                   anything else other\n"
        "  --configure INI  first shows the plug-in's configuration dialog\n"
        "                   (CallConfiguration) on INI, which OK saves; without\n"
        "                   --settings, INI is then also the settings file, read after\n"
        "                   the dialog. No raw file is needed with it\n"
        "  --import DIR     first runs the plug-in's import dialog (CallImportDialog)\n"
        "                   on this window's rectangle, which archives the monitor's\n"
        "                   exercises as DIR/Connect.hrz; that archive is then analysed\n"
        "                   like a raw file. Without a monitor, the stand-in HRMCom.dll\n"
        "                   plays one from the scenario named by HRMCOM_SCENARIO\n"
        "%s"
        "  -h, --help       this text\n"
        "\n"
        "With Debug=1 in the settings, the plug-in's debug box goes to standard error,\n"
        "each line marked \"[plug-in message] \" (a real message box on Windows).\n"
        "Exercises with 0 samples are reported without summary, laps or samples.\n"
        "\n"
        "Exit status: 0 every file gave samples; 1 a file held no exercise (missing,\n"
        "not an archive), none of its exercises gave a sample or the import brought\n"
        "none, the others are still reported. Converting, 0 every raw file gave at\n"
        "least one converted file (an R-R file merged into its partner's counts);\n"
        "1 a raw file gave none, whatever the reason (no exercise, no sample, no\n"
        "beat, no position for GPX, no date or interval to place it in time), the\n"
        "others are still converted. Each exercise that writes no file says why on\n"
        "standard error, one line each. Also 1 when a converted file cannot be\n"
        "written, which ends the run (no half-written file is left); 2 usage error;\n"
        "3 the plug-in could not be loaded.\n",
        bindingLoadsLibrary() ? " [--dll PATH]" : "",
        bindingLoadsLibrary() ? "  --dll PATH       the plug-in DLL (default: PolarImport.dll beside polarhost)\n"
                              : "");
}

bool parseFormat(const std::string& text, HostOptions& options) {
    options.conversion.reset();
    if (text == "table") options.format = ReportFormat::Table;
    else if (text == "csv") options.format = ReportFormat::Csv;
    else if (text == "json") options.format = ReportFormat::Json;
    else if (text == "tcx") options.conversion = ConversionFormat::Tcx;
    else if (text == "gpx") options.conversion = ConversionFormat::Gpx;
    else if (text == "fit") options.conversion = ConversionFormat::Fit;
    else if (text == "svg") options.conversion = ConversionFormat::Svg;
    else return false;
    return true;
}

// Returns false with `error` set for a usage error.
bool parseOptions(int argc, char** argv, HostOptions& options, std::string& error) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            continue;
        }
        std::string value;
        bool hasValue = false;
        if (const size_t equals = arg.find('='); arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg.resize(equals);
            hasValue = true;
        }
        const bool takesValue = arg == "--settings" || arg == "--format" || arg == "--dll" || arg == "--import" ||
                                arg == "--configure" || arg == "--output" || arg == "--utc-offset" ||
                                arg == "--sport";
        if (!takesValue) {
            error = "unknown option " + arg;
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (arg == "--settings") {
            options.settings = value;
        } else if (arg == "--dll") {
            options.library = value;
        } else if (arg == "--import") {
            options.importTarget = value;
        } else if (arg == "--configure") {
            options.configure = value;
        } else if (arg == "--output") {
            options.output = value;
        } else if (arg == "--sport") {
            options.sport = parseSport(value);
            if (!options.sport) {
                error = "--sport wants running, cycling or other, not '" + value + "'";
                return false;
            }
        } else if (arg == "--utc-offset") {
            options.utcOffset = parseUtcOffset(value);
            if (!options.utcOffset) {
                error = "--utc-offset wants +HH:MM or -HH:MM up to 14:00, not '" + value + "'";
                return false;
            }
        } else if (!parseFormat(value, options)) {
            error = "unknown format '" + value + "' (table, csv, json, tcx, gpx, fit or svg)";
            return false;
        }
    }
    if (options.conversion && options.output.empty()) {
        error = "--format tcx, gpx, fit and svg write files: name their folder with --output DIR";
        return false;
    }
    if (options.conversion) {
        // One base name gives one set of file names: a second file of that
        // name would overwrite the first one's conversions.
        std::set<std::string> stems;
        for (const std::string& file : options.files) {
            std::string stem = std::filesystem::path(file).stem().string();
            std::transform(stem.begin(), stem.end(), stem.begin(), [](unsigned char c) { return std::tolower(c); });
            if (!stems.insert(stem).second) {
                error = "two raw files named '" + std::filesystem::path(file).stem().string() +
                        "': their converted files would have the same names; convert them in separate runs";
                return false;
            }
        }
    }
    if (!options.conversion && (!options.output.empty() || options.utcOffset)) {
        error = "--output and --utc-offset apply only to --format tcx, gpx, fit and svg";
        return false;
    }
    if (!options.library.empty() && !bindingLoadsLibrary()) {
        error = "this build links the plug-in; --dll applies only to the Windows build";
        return false;
    }
    if (!options.help && options.files.empty() && options.importTarget.empty() && options.configure.empty()) {
        error = "no raw file given";
        return false;
    }
    return true;
}

// The plug-in wants full paths.
std::string fullPath(const std::string& path) {
    std::error_code failed;
    const std::filesystem::path full = std::filesystem::absolute(path, failed);
    return failed ? path : full.string();
}

std::string missingSettingsFile() {
    std::error_code failed;
    std::filesystem::path directory = std::filesystem::temp_directory_path(failed);
    if (failed) directory = ".";
    for (int n = 0;; ++n) {
        std::string name = "polarhost-defaults";
        if (n > 0) name += '-' + std::to_string(n);
        const std::filesystem::path candidate = directory / (name + ".ini");
        if (!std::filesystem::exists(candidate, failed)) return candidate.string();
    }
}

int reportFiles(const PluginExports& plugin, const std::vector<std::string>& files, const HostOptions& options) {
    const std::unique_ptr<ReportWriter> writer =
        makeReportWriter(options.format, std::cout, terminalUsesUtf8(), options.sport);
    int status = kExitOk;
    for (const std::string& file : files) {
        switch (driveRawFile(plugin, fullPath(file), file, *writer)) {
            case FileOutcome::Analysed: break;
            case FileOutcome::NoExercise:
                std::cerr << "polarhost: " << file << ": no exercise (missing file or not an archive)\n";
                status = kExitFailed;
                break;
            case FileOutcome::NoSamples:
                std::cerr << "polarhost: " << file << ": no exercise gave a sample\n";
                status = kExitFailed;
                break;
        }
    }
    writer->finish();
    return status;
}

int convertFiles(const PluginExports& plugin, const std::vector<std::string>& files, const HostOptions& options,
                 const std::string& settings) {
    ConversionOptions conversion;
    conversion.temperatureSpread = ReadSettings(settings).modulateTemp;
    conversion.format = *options.conversion;
    conversion.outputDirectory = options.output;
    conversion.utcOffset = options.utcOffset;
    conversion.utf8Names = terminalUsesUtf8();
    conversion.sport = options.sport;
    std::vector<RawFileName> names;
    for (const std::string& file : files) names.push_back({file, fullPath(file)});
    const std::unique_ptr<ConversionRun> writer = makeConversionWriter(conversion, names, std::cout, std::cerr);
    try {
        for (const RawFileName& name : names) driveRawFile(plugin, name.full, name.shown, *writer);
        writer->finish();
        return writer->everyFileConverted() ? kExitOk : kExitFailed;
    } catch (const OutputError& failure) {
        std::cerr << "polarhost: " << failure.what() << "\n";
        return kExitFailed;
    }
}

// The folder for converted files, made when missing; false with the reason
// printed when it cannot be.
bool prepareOutput(const std::string& directory) {
    std::error_code failed;
    std::filesystem::create_directories(directory, failed);
    if (!failed && std::filesystem::is_directory(directory, failed)) return true;
    std::cerr << "polarhost: cannot use " << directory << " as the output folder"
              << (failed ? ": " + failed.message() : std::string(": not a folder")) << "\n";
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    startHost();
    HostOptions options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "polarhost: %s\nTry 'polarhost --help'.\n", error.c_str());
        return kExitUsage;
    }
    if (options.help) {
        printUsage();
        return kExitOk;
    }

    if (options.conversion && !prepareOutput(options.output)) return kExitFailed;

    const std::unique_ptr<PluginBinding> binding = bindPlugin(options.library, error);
    if (!binding) {
        std::fprintf(stderr, "polarhost: %s\n", error.c_str());
        return kExitNoPlugin;
    }
    const PluginExports& plugin = binding->exports();
    if (!options.configure.empty()) {
        const std::string iniPath = fullPath(options.configure);
        const HostWindow host = hostWindow();
        // Colour scheme 8 keeps the dialog's own colours.
        const int32_t result = plugin.CallConfiguration(host.handle, host.left, host.top, host.right, host.bottom, 8,
                                                        0, iniPath.c_str(), 0);
        std::fprintf(stderr, "polarhost: the configuration dialog returned %d%s\n", static_cast<int>(result),
                     result == 1 ? " (OK, settings saved)" : result == 3 ? " (Abort)" : " (closed)");
        if (options.settings.empty()) options.settings = options.configure;
    }
    const std::string settings = options.settings.empty() ? missingSettingsFile() : fullPath(options.settings);
    plugin.SetPluginIniFile(settings.c_str());

    std::ios::sync_with_stdio(false);
    int status = kExitOk;
    std::vector<std::string> files = options.files;
    if (!options.importTarget.empty()) {
        const std::string target = fullPath(options.importTarget);
        const HostWindow host = hostWindow();
        const int32_t imported = plugin.CallImportDialog(host.handle, host.left, host.top, host.right, host.bottom, 0,
                                                         0, target.c_str(), 0);
        std::cerr << "polarhost: the import dialog returned " << imported << "\n";
        if (imported > 0) {
            files.insert(files.begin(), (std::filesystem::path(target) / "Connect.hrz").string());
        } else {
            status = kExitFailed;
        }
    }
    const int analysed =
        options.conversion ? convertFiles(plugin, files, options, settings) : reportFiles(plugin, files, options);
    return status != kExitOk ? status : analysed;
}
