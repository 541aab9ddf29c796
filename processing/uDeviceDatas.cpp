#include "uDeviceDatas.h"

#include <algorithm>

#include "framework/FileSystem.h"
#include "framework/TextLines.h"
#include "framework/Ui.h"
#include "framework/Zip.h"
#include "model/PluginVersion.h"
#include "model/RawFiles.h"
#include "model/WorkDirectory.h"
#include "processing/DebugFlags.h"
#include "processing/ExerciseLoader.h"
#include "processing/GpxMerge.h"
#include "processing/Laps.h"

namespace {

std::string replaceExtension(const std::string& path, const std::string& extension) {
    const std::string current = FileExtension(path);
    return path.substr(0, path.size() - current.size()) + extension;
}

void showDebugLog(TPluginState& plugin) {
    if (plugin.DebugLog.empty()) return;
    fw::messageBeep();
    plugin.DebugLog.insert(plugin.DebugLog.begin(), {"Debuginfos :", ""});
    std::string text;
    for (const std::string& line : plugin.DebugLog) text += line + "\r\n";
    plugin.DebugLog.clear();
    fw::showInformation(text);
}

void clearExercise(TPluginState& plugin) {
    plugin.ExerciseDatas.Clear();
    plugin.LapList.Clear();
}

int32_t analyseGuarded(TPluginState& plugin, const std::string& path) {
    try {
        RunAnalysis(plugin, path);
    } catch (...) {
        // A failed run still hands over the samples it stored.
    }
    return plugin.ExerciseDatas.Count();
}

// Extracts the archive into the work directory unless the last extraction
// served this very archive, whatever it gave: one that gives no exercise
// would otherwise be extracted again for every index the host asks for, up
// to the 65535 its directory may claim. An archive that has gone since its
// extraction cannot be extracted again, so its extracted files go on serving it.
void prepareArchive(TPluginState& plugin, const std::string& fileName) {
    fw::FileStamp stamp;
    const bool readable = fw::fileStamp(fileName, stamp);
    if (plugin.ArchiveSource == fileName && (!readable || stamp == plugin.ArchiveSourceStamp)) return;
    plugin.ArchiveFileList.clear();
    plugin.ArchiveSource.clear();
    plugin.ArchiveWorkDir = WorkDirectoryPath();
    if (fw::directoryExists(plugin.ArchiveWorkDir)) DeleteWorkDirectory(plugin.ArchiveWorkDir);
    plugin.WorkDirUsed = true;
    // Without a work directory nothing is extracted, and the next call tries again.
    if (!fw::createDirectories(plugin.ArchiveWorkDir)) return;
    std::vector<std::string> extracted;
    try {
        fw::extractZip(fileName, plugin.ArchiveWorkDir, {}, &extracted);
    } catch (const fw::ZipError&) {
        // Not an archive: nothing to list.
    }
    FindFiles(plugin.ArchiveWorkDir, "*.hrm", plugin.ArchiveFileList);
    // A file the clean-up could not delete is not this archive's exercise.
    std::sort(extracted.begin(), extracted.end());
    std::erase_if(plugin.ArchiveFileList, [&](const std::string& name) {
        return !std::binary_search(extracted.begin(), extracted.end(), name);
    });
    plugin.ArchiveSource = fileName;
    plugin.ArchiveSourceStamp = stamp;
}

int32_t analyseArchive(TPluginState& plugin, const std::string& fileName, int32_t index) {
    prepareArchive(plugin, fileName);
    if (index < 0 || index >= static_cast<int32_t>(plugin.ArchiveFileList.size())) return 0;
    clearExercise(plugin);
    const std::string path =
        IncludeTrailingBackslash(plugin.ArchiveWorkDir) + plugin.ArchiveFileList[static_cast<size_t>(index)];
    return fw::fileExists(path) ? analyseGuarded(plugin, path) : 0;
}

}  // namespace

int32_t AnalyseRawFile(TPluginState& plugin, const std::string& fileName, int32_t exerciseIndex) {
    int32_t result = 0;
    if (IsHrmFile(fileName)) {
        clearExercise(plugin);
        if (fw::fileExists(fileName)) result = analyseGuarded(plugin, fileName);
    } else {
        result = analyseArchive(plugin, fileName, exerciseIndex);
    }
    showDebugLog(plugin);
    return result;
}

int32_t RunAnalysis(TPluginState& plugin, const std::string& path) {
    int32_t count = 0;
    {
        const fw::TextLines file = fw::loadTextLines(path);
        try {
            if (plugin.Settings.Debug) {
                plugin.DebugLog.push_back("Plugin Ver.: " + std::to_string(kPluginVersion));
                plugin.DebugLog.push_back("HRM-File: " + path);
            }
            count = LoadExercise(plugin, file.lines());
        } catch (...) {
            count = 0;
        }
    }
    if (plugin.Settings.ModulateTemp && count > 0) {
        try {
            ModulateTemperature(plugin);
        } catch (...) {
        }
    }
    const SplitTime duration = SplitSeconds(plugin.Summary.DurationSec);
    plugin.Summary.EndDateTime =
        plugin.Summary.StartDateTime + HmsToDateTime(duration.hours, duration.minutes, duration.seconds, 0);
    if (count > 0 && plugin.Settings.GPS) {
        const std::string track = replaceExtension(path, ".gpx");
        if (fw::fileExists(track)) MergeGpxTrack(plugin, track);
    }
    if (plugin.Settings.Debug)
        for (const debug_flags::Line& line : debug_flags::kLines)
            if (((line.failure ? plugin.DebugFailFlags : plugin.DebugFlags) & line.bit) != 0)
                plugin.DebugLog.push_back(line.text);
    return count;
}

int32_t FindFiles(const std::string& directory, const std::string& mask, std::vector<std::string>& list) {
    for (const fw::DirectoryEntry& entry : fw::listDirectory(directory, mask)) {
        if (entry.name == "." || entry.name == ".." || entry.attributes == fw::kAttrDirectory) continue;
        list.push_back(entry.name);
    }
    return static_cast<int32_t>(list.size());
}

SplitTime SplitSeconds(int32_t seconds) {
    const int32_t hours = seconds / 3600;
    return SplitTime{hours, (seconds - hours * 3600) / 60, seconds % 60};
}

fw::DateTime HmsToDateTime(int32_t hours, int32_t minutes, int32_t seconds, int32_t milliseconds) {
    int32_t days = 0;
    while (hours > 23) hours -= 24, ++days;
    return fw::encodeTime(hours, minutes, seconds, milliseconds) + days;
}
