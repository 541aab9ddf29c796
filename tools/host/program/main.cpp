// polarhost: drives the plug-in's exports over raw files exactly as the
// training-log application does and prints what it receives, or converts
// the exercises into files for other training software.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "framework/FileSystem.h"
#include "model/Settings.h"
#include "tools/host/binding/PluginBinding.h"
#include "tools/host/convert/ConversionWriter.h"
#include "tools/host/convert/RunSummary.h"
#include "tools/host/driver/HostDriver.h"
#include "tools/host/program/HostOptions.h"
#include "tools/host/program/RawFileWalk.h"
#include "tools/host/recording/Companions.h"
#include "tools/host/report/ReportWriters.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // nothing analysed in a file, or a converted file not written
constexpr int kExitUsage = 2;
constexpr int kExitNoPlugin = 3;

std::string missingSettingsFile() {
    std::error_code failed;
    std::filesystem::path directory = std::filesystem::temp_directory_path(failed);
    if (failed) directory = ".";
    for (int n = 0;; ++n) {
        std::string name = "polarhost-defaults";
        if (n > 0) name += '-' + std::to_string(n);
        const std::filesystem::path candidate = directory / (name + ".ini");
        if (!std::filesystem::exists(candidate, failed)) return fw::fromPath(candidate);
    }
}

int reportFiles(const PluginExports& plugin, const std::vector<std::string>& files, const HostOptions& options) {
    const std::unique_ptr<ReportWriter> writer =
        makeReportWriter(options.format, std::cout, terminalUsesUtf8(), options.sports);
    Companions companions(options.textEncoding);
    int status = kExitOk;
    for (const std::string& file : files) {
        switch (driveRawFile(plugin, fullPath(file), file, *writer, &companions)) {
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

// What the folders' day diaries said, for the summary.
void summariseDiaries(const Companions& companions, RunSummary& summary) {
    for (const FolderCompanions* folder : companions.folders()) {
        summary.diariesRead(folder->diariesRead().size());
        for (const std::string& text : folder->unreadable()) summary.diaryProblem(text);
        for (const std::string& text : folder->problems()) summary.diaryProblem(text);
        for (const std::string& text : folder->missingFiles()) summary.skipped(RunSummary::Skip::DiaryMissingFile, text);
    }
}

int convertFiles(const PluginExports& plugin, const std::vector<std::string>& arguments, const HostOptions& options,
                 const std::string& settings) {
    const SettingsValues values = ReadSettings(settings);
    ConversionOptions conversion;
    conversion.formats = options.conversions;
    conversion.outputDirectory = options.output;
    conversion.utcOffset = options.utcOffset;
    conversion.utf8Names = terminalUsesUtf8();
    conversion.sports = options.sports;
    conversion.temperatureSpread = values.modulateTemp;
    conversion.placeTracks = values.gps;
    conversion.tracks = options.tracks;
    conversion.textEncoding = options.textEncoding;
    conversion.maximumHeartRate = options.maximumHeartRate;

    const RawFileWalk walk = walkRawFiles(arguments);
    RunSummary summary;
    for (const std::string& other : walk.others) summary.otherFile(other);
    Companions companions(options.textEncoding);
    const std::unique_ptr<ConversionRun> writer =
        makeConversionWriter(conversion, walk.rawFiles, companions, summary, std::cout, std::cerr);
    for (const RawFileWalk::Failure& failure : walk.failures) writer->skip(failure.shown, failure.kind, failure.reason);
    int status = walk.failures.empty() ? kExitOk : kExitFailed;
    try {
        for (const RawFileName& name : walk.rawFiles) driveRawFile(plugin, name.full, name.shown, *writer, &companions);
        writer->finish();
        if (!writer->everyFileConverted()) status = kExitFailed;
    } catch (const OutputError& failure) {
        std::cerr << "polarhost: " << failure.what() << "\n";
        status = kExitFailed;
    }
    summariseDiaries(companions, summary);
    summary.print(std::cerr);
    return status;
}

// The folder for converted files, made when missing; false with the reason
// printed when it cannot be.
bool prepareOutput(const std::string& directory) {
    std::error_code failed;
    std::filesystem::create_directories(fw::toPath(directory), failed);
    if (!failed && std::filesystem::is_directory(fw::toPath(directory), failed)) return true;
    std::cerr << "polarhost: cannot use " << directory << " as the output folder"
              << (failed ? ": " + failed.message() : std::string(": not a folder")) << "\n";
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    startHost();
    const HostProgram program = hostProgram();
    HostOptions options;
    std::string error;
    if (!parseOptions(argc, argv, program, options, error)) {
        std::fprintf(stderr, "polarhost: %s\nTry 'polarhost --help'.\n", error.c_str());
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(usageText(program).c_str(), stdout);
        return kExitOk;
    }
    const bool converting = !options.conversions.empty();
    if (converting && !prepareOutput(options.output)) return kExitFailed;

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
            files.insert(files.begin(), fw::fromPath(fw::toPath(target) / "Connect.hrz"));
        } else {
            status = kExitFailed;
        }
    }
    const int analysed = converting ? convertFiles(plugin, files, options, settings) : reportFiles(plugin, files, options);
    return status != kExitOk ? status : analysed;
}
