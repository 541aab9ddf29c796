#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/FileSystem.h"
#include "model/cExerciseDatas.h"
#include "model/HostRecords.h"
#include "model/Settings.h"

// The settings the analysis uses; false until the host names the
// settings file, then the file's values.
struct AnalysisSettings {
    bool ModulateTemp = false;
    bool GPS = false;
    bool GPSITime = false;
    bool HRMaxDev = false;
    bool Debug = false;
};

// Everything that lives from load to unload. Exactly one instance exists,
// owned by the export unit, which hands it to the steps that work on it.
struct TPluginState {
    // The settings default until the host calls Initialize or names the settings file.
    int32_t AHFactor = SettingsValues{}.ahFactor;
    std::string InitDirectory;
    int32_t ImportedExerciseCount = 0;
    std::string HostIniFile;
    std::string PluginIniFile;
    std::string ImportWorkDir;
    std::vector<std::string> ArchiveFileList;
    std::string ArchiveWorkDir;
    // Archive whose extraction filled ArchiveFileList (empty when it gave
    // nothing), with its size and write time then, so that another archive,
    // or the same path after it changed, is extracted afresh.
    std::string ArchiveSource;
    fw::FileStamp ArchiveSourceStamp;
    bool WorkDirUsed = false;
    AnalysisSettings Settings;
    std::string ExerciseNote;
    std::vector<std::string> DebugLog;
    uint16_t DebugFlags = 0;
    uint16_t DebugFailFlags = 0;
    TMyHRMDatas ExerciseDatas;
    ExerciseSummary Summary{};
    TLapClass LapList;
};
