// polarhost: drives the plug-in's exports over raw files exactly as the
// training-log application does and prints what it receives, or converts
// the exercises into files for other training software.
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "framework/FileSystem.h"
#include "framework/Interrupts.h"
#include "framework/PrivateFolder.h"
#include "framework/Terminal.h"
#include "model/Settings.h"
#include "tools/host/binding/PluginBinding.h"
#include "tools/host/convert/ConversionWriter.h"
#include "tools/host/convert/RunSummary.h"
#include "tools/host/driver/HostDriver.h"
#include "tools/host/program/HostOptions.h"
#include "tools/host/program/ProgressLine.h"
#include "tools/host/program/RawFileWalk.h"
#include "tools/host/recording/Companions.h"
#include "tools/host/report/ReportWriters.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // nothing analysed in a file, or a converted file not written
constexpr int kExitUsage = 2;
constexpr int kExitNoPlugin = 3;
// Ended by Ctrl-C or a request to end: 128 + SIGINT, as shells report a
// program that Ctrl-C ended; on Windows too.
constexpr int kExitInterrupted = 130;

// The reports of the raw files named, a folder's found by the walk of a
// conversion; a file named is handed to the plug-in as it is, whatever its name.
int reportFiles(const PluginExports& plugin, const std::vector<NamedPath>& arguments, const HostOptions& options) {
    const std::unique_ptr<ReportWriter> writer =
        makeReportWriter(options.format, std::cout, terminalUsesUtf8(), options.sports);
    Companions companions(options.textEncoding);
    int status = kExitOk;
    std::vector<RawFileName> files;
    for (const NamedPath& argument : arguments) {
        std::error_code failed;
        if (!std::filesystem::is_directory(fw::toPath(argument.full), failed)) {
            files.emplace_back(argument.shown, argument.full);
            continue;
        }
        const RawFileWalk walk = walkRawFiles({argument});
        for (const std::vector<RawFileWalk::Failure>* said : {&walk.failures, &walk.notWalked})
            for (const RawFileWalk::Failure& failure : *said)
                std::cerr << "polarhost: " << failure.shown << ": " << failure.reason << "\n";
        for (const std::string& other : walk.others) std::cerr << "polarhost: " << other << ": not a raw file\n";
        if (!walk.failures.empty()) status = kExitFailed;
        files.insert(files.end(), walk.rawFiles.begin(), walk.rawFiles.end());
    }
    size_t done = 0;
    try {
        for (const RawFileName& name : files) {
            fw::stopIfInterrupted();
            const std::string file = name.shown();
            switch (driveRawFile(plugin, name.full(), file, *writer, &companions)) {
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
            ++done;
        }
    } catch (const fw::Interrupted&) {
        std::cout << std::flush;
        std::cerr << "polarhost: interrupted after " << done << " of " << files.size()
                  << (files.size() == 1 ? " raw file\n" : " raw files\n");
        return kExitInterrupted;
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
        for (const std::string& text : folder->outsideFiles()) summary.skipped(RunSummary::Skip::DiaryOutsideFile, text);
    }
}

int convertFiles(const PluginExports& plugin, const std::vector<NamedPath>& arguments, const HostOptions& options,
                 const NamedPath& output, const std::string& settings) {
    const SettingsValues values = ReadSettings(settings);
    ConversionOptions conversion;
    conversion.formats = options.conversions;
    conversion.outputDirectory = output.full;
    conversion.outputShown = output.shown;
    conversion.utcOffset = options.utcOffset;
    conversion.sports = options.sports;
    conversion.temperatureSpread = values.modulateTemp;
    conversion.placeTracks = values.gps;
    conversion.tracks = options.tracks;
    conversion.textEncoding = options.textEncoding;
    conversion.verbose = options.verbose;
    conversion.maximumHeartRate = options.maximumHeartRate;

    // On a terminal, how far the run is; not beside the plug-in's debug
    // lines, which reach standard error past it.
    std::optional<ProgressLine> progress;
    if (fw::isTerminal(fw::StandardStream::Error) && !values.debug)
        progress.emplace(std::cerr, fw::isTerminal(fw::StandardStream::Output) ? &std::cout : nullptr,
                         fw::terminalColumns(fw::StandardStream::Error), terminalUsesUtf8());
    const RawFileWalk walk = walkRawFiles(arguments);
    RunSummary summary;
    for (const std::string& other : walk.others) summary.otherFile(other);
    Companions companions(options.textEncoding);
    const std::unique_ptr<ConversionRun> writer =
        makeConversionWriter(conversion, walk.rawFiles, companions, summary, std::cout, std::cerr);
    for (const RawFileWalk::Failure& failure : walk.failures) writer->skip(failure.shown, failure.kind, failure.reason);
    for (const RawFileWalk::Failure& folder : walk.notWalked) writer->skip(folder.shown, folder.kind, folder.reason);
    int status = walk.failures.empty() ? kExitOk : kExitFailed;
    const size_t total = walk.rawFiles.size();
    const std::string found = " of " + std::to_string(total) + " raw files done";
    size_t done = 0;
    try {
        for (const RawFileName& name : walk.rawFiles) {
            fw::stopIfInterrupted();
            if (progress)
                progress->show("polarhost: " + std::to_string(done) + found + ", now " +
                               fw::fromPath(fw::toPath(name.shown()).filename()));
            driveRawFile(plugin, name.full(), name.shown(), *writer, &companions);
            ++done;
        }
        fw::stopIfInterrupted();
        if (progress) progress->show("polarhost: " + std::to_string(done) + found + ", finishing");
        writer->finish();
        if (!writer->everyFileConverted()) status = kExitFailed;
    } catch (const OutputError& failure) {
        std::cerr << "polarhost: " << failure.what() << "\n";
        // The raw file being converted was reached; those after it were not.
        summary.stopped(done, total, done < total ? total - done - 1 : 0);
        status = kExitFailed;
    } catch (const fw::Interrupted&) {
        summary.interrupted(done, total);
        status = kExitInterrupted;
    }
    progress.reset();
    summariseDiaries(companions, summary);
    summary.print(std::cerr);
    return status;
}

// The folder for converted files, made when missing; false with the reason
// printed when it cannot be.
bool prepareOutput(const NamedPath& directory) {
    std::error_code failed;
    std::filesystem::create_directories(fw::toPath(directory.full), failed);
    if (!failed && std::filesystem::is_directory(fw::toPath(directory.full), failed)) return true;
    std::cerr << "polarhost: cannot use " << directory.shown << " as the output folder"
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
    fw::catchInterrupts();
    // Every path made full now: the plug-in's clean-up of its work folder
    // makes the drive's root the current directory.
    const NamedPath output = namedPath(options.output);
    std::vector<NamedPath> files;
    for (const std::string& file : options.files) files.push_back(namedPath(file));
    for (std::string* path : {&options.settings, &options.configure, &options.importTarget})
        if (!path->empty()) *path = fullPath(*path);
    const bool converting = !options.conversions.empty();
    if (converting && !prepareOutput(output)) return kExitFailed;

    // The plug-in keeps its work folder in the temporary directory; this
    // run's own folder becomes that, so that runs at once never share a
    // work folder and nothing another user planted there is touched. It
    // goes, with what the plug-in left, on every way out after this.
    fw::PrivateFolder work("polarhost-");
    if (work.path().empty() || !fw::setTempDirectory(work.path())) {
        std::cerr << "polarhost: no private work folder: "
                  << (work.error().empty() ? "the temporary directory cannot be set" : work.error()) << "\n";
        return kExitFailed;
    }

    const std::unique_ptr<PluginBinding> binding = bindPlugin(options.library, error);
    if (!binding) {
        std::fprintf(stderr, "polarhost: %s\n", error.c_str());
        return kExitNoPlugin;
    }
    const PluginExports& plugin = binding->exports();
    if (!options.configure.empty()) {
        const std::string iniPath = options.configure;
        const HostWindow host = hostWindow();
        // Colour scheme 8 keeps the dialog's own colours.
        const int32_t result = plugin.CallConfiguration(host.handle, host.left, host.top, host.right, host.bottom, 8,
                                                        0, iniPath.c_str(), 0);
        std::fprintf(stderr, "polarhost: the configuration dialog returned %d%s\n", static_cast<int>(result),
                     result == 1 ? " (OK, settings saved)" : result == 3 ? " (Abort)" : " (closed)");
        if (options.settings.empty()) options.settings = options.configure;
    }
    // Without settings, a file in the private folder, which nobody can have made.
    const std::string settings =
        options.settings.empty() ? fw::fromPath(fw::toPath(work.path()) / "polarhost-defaults.ini") : options.settings;
    plugin.SetPluginIniFile(settings.c_str());

    std::ios::sync_with_stdio(false);
    int status = kExitOk;
    if (!options.importTarget.empty()) {
        const std::string target = options.importTarget;
        const HostWindow host = hostWindow();
        const int32_t imported = plugin.CallImportDialog(host.handle, host.left, host.top, host.right, host.bottom, 0,
                                                         0, target.c_str(), 0);
        std::cerr << "polarhost: the import dialog returned " << imported << "\n";
        if (imported > 0) {
            const std::string archive = fw::fromPath(fw::toPath(target) / "Connect.hrz");
            files.insert(files.begin(), {archive, archive});
        } else {
            status = kExitFailed;
        }
    }
    const int analysed =
        converting ? convertFiles(plugin, files, options, output, settings) : reportFiles(plugin, files, options);
    return status != kExitOk && analysed != kExitInterrupted ? status : analysed;
}
