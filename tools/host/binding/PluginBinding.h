#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "plugin/ExportContract.h"

// The exports the host drives, typed by the contract.
struct PluginExports {
    plugin_exports::SetPluginIniFile::Function* SetPluginIniFile = nullptr;
    plugin_exports::GetExerciseNumberFromRawFile::Function* GetExerciseNumberFromRawFile = nullptr;
    plugin_exports::AnalyseExercise::Function* AnalyseExercise = nullptr;
    plugin_exports::GetLogSummaryEx::Function* GetLogSummaryEx = nullptr;
    plugin_exports::GetExerciseDatasEx::Function* GetExerciseDatasEx = nullptr;
    plugin_exports::GetLapDatasEx::Function* GetLapDatasEx = nullptr;
    plugin_exports::GetComment::Function* GetComment = nullptr;
    plugin_exports::CallImportDialog::Function* CallImportDialog = nullptr;
    plugin_exports::CallConfiguration::Function* CallConfiguration = nullptr;
};

// A plug-in bound for the life of the object: natively the linked exports,
// on Windows the DLL loaded by path with its exports found by ordinal, as the
// real host finds them. Destroying it unloads the DLL.
class PluginBinding {
public:
    virtual ~PluginBinding() = default;
    const PluginExports& exports() const { return exports_; }

protected:
    PluginExports exports_;
};

// First thing in main: what the platform needs before anything else runs.
void startHost();

// What this program has: the plug-in loaded from a file (so that --dll
// applies), and which of the plug-in's dialogs it can show: both where the
// DLL is loaded beside the device library, the configuration dialog where
// the plug-in is linked into a Windows program, none without a desktop.
struct HostProgram {
    bool loadsLibrary = false;
    bool importDialog = false;
    bool configurationDialog = false;
};
HostProgram hostProgram();

// Whether the terminal expects UTF-8 rather than the ANSI code page the
// plug-in's texts are in.
bool terminalUsesUtf8();

// The window the plug-in's dialogs belong to and are centred on: the
// console's window where there is one, else the screen's work area without
// a window; all zero where there is no desktop.
struct HostWindow {
    void* handle = nullptr;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
HostWindow hostWindow();

// `libraryPath` empty means the default (PolarImport.dll beside the program).
// Returns null and describes the failure in `error` when the plug-in cannot
// be bound.
std::unique_ptr<PluginBinding> bindPlugin(const std::string& libraryPath, std::string& error);
