// polarhost: drives the plug-in's exports over raw files exactly as the
// training-log application does and prints what it receives.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "tools/host/HostDriver.h"
#include "tools/host/PluginBinding.h"
#include "tools/host/ReportWriters.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitNothingAnalysed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoPlugin = 3;

struct HostOptions {
    std::string settings;  // empty: a path that does not exist, so the defaults apply
    std::string library;   // empty: PolarImport.dll beside the program
    ReportFormat format = ReportFormat::Table;
    std::vector<std::string> files;
    std::string importTarget;  // --import: the directory the import dialog archives into
    std::string configure;     // --configure: the settings file the configuration dialog edits
    bool help = false;
};

void printUsage() {
    std::printf(
        "usage: polarhost [--settings INI] [--format table|csv|json]%s\n"
        "                 [--configure INI] [--import TARGETDIR] RAWFILE...\n"
        "\n"
        "Analyses each raw file (.hrm exercise or .hrz archive) through the plug-in's\n"
        "exports, as the training-log application does, and prints what it hands over.\n"
        "\n"
        "  --settings INI   plug-in settings file (section SETTINGS); without it the\n"
        "                   plug-in is given a file that does not exist, so its\n"
        "                   defaults apply (ModulateTemp=1, GPS=1, Debug=0, ...)\n"
        "  --format F       table (default, for people), csv (one row per sample) or\n"
        "                   json (every record field as the plug-in wrote it)\n"
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
        "none, the others are still reported; 2 usage error; 3 the plug-in could not\n"
        "be loaded.\n",
        bindingLoadsLibrary() ? " [--dll PATH]" : "",
        bindingLoadsLibrary() ? "  --dll PATH       the plug-in DLL (default: PolarImport.dll beside polarhost)\n"
                              : "");
}

bool parseFormat(const std::string& text, ReportFormat& format) {
    if (text == "table") format = ReportFormat::Table;
    else if (text == "csv") format = ReportFormat::Csv;
    else if (text == "json") format = ReportFormat::Json;
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
                                arg == "--configure";
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
        } else if (!parseFormat(value, options.format)) {
            error = "unknown format '" + value + "' (table, csv or json)";
            return false;
        }
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
            status = kExitNothingAnalysed;
        }
    }
    {
        const std::unique_ptr<ReportWriter> writer = makeReportWriter(options.format, std::cout, terminalUsesUtf8());
        for (const std::string& file : files) {
            switch (driveRawFile(plugin, fullPath(file), file, *writer)) {
                case FileOutcome::Analysed: break;
                case FileOutcome::NoExercise:
                    std::cerr << "polarhost: " << file << ": no exercise (missing file or not an archive)\n";
                    status = kExitNothingAnalysed;
                    break;
                case FileOutcome::NoSamples:
                    std::cerr << "polarhost: " << file << ": no exercise gave a sample\n";
                    status = kExitNothingAnalysed;
                    break;
            }
        }
        writer->finish();
    }
    return status;
}
