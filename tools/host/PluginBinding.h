#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/CallingConvention.h"

// The exports the host drives. The types repeat the plug-in's declarations
// because windows.h, which the Windows binding needs, declares a GetVersion
// of its own; HostDriver.cpp checks that both agree.
struct PluginExports {
    using SetPluginIniFileFn = void(FW_STDCALL*)(const char* fileName);
    using GetExerciseNumberFromRawFileFn = uint16_t(FW_STDCALL*)(const char* fileName);
    using AnalyseExerciseFn = int32_t(FW_STDCALL*)(const char* fileName, const int32_t* exerciseIndex);
    using GetLogSummaryExFn = uint8_t(FW_STDCALL*)(void* summary);
    using GetExerciseDatasExFn = uint8_t(FW_STDCALL*)(int32_t index, void* sample);
    using GetLapDatasExFn = uint8_t(FW_STDCALL*)(int32_t index, void* lap);
    using GetCommentFn = int32_t(FW_STDCALL*)(char* buffer, uint32_t len);
    using CallImportDialogFn = int32_t(FW_STDCALL*)(void* hostWindow, int32_t left, int32_t top, int32_t right,
                                                    int32_t bottom, uint8_t colorScheme, uint8_t unused7,
                                                    const char* targetDir, uint8_t unused9);
    using CallConfigurationFn = int32_t(FW_STDCALL*)(void* hostWindow, int32_t left, int32_t top, int32_t right,
                                                     int32_t bottom, uint8_t colorScheme, uint8_t unused7,
                                                     const char* iniPath, uint8_t unused9);

    SetPluginIniFileFn SetPluginIniFile = nullptr;
    GetExerciseNumberFromRawFileFn GetExerciseNumberFromRawFile = nullptr;
    AnalyseExerciseFn AnalyseExercise = nullptr;
    GetLogSummaryExFn GetLogSummaryEx = nullptr;
    GetExerciseDatasExFn GetExerciseDatasEx = nullptr;
    GetLapDatasExFn GetLapDatasEx = nullptr;
    GetCommentFn GetComment = nullptr;
    CallImportDialogFn CallImportDialog = nullptr;
    CallConfigurationFn CallConfiguration = nullptr;
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

// Facts of the platform this build is for: whether the plug-in is loaded
// from a file (so that --dll applies), and whether the terminal expects UTF-8
// rather than the ANSI code page the plug-in's texts are in.
bool bindingLoadsLibrary();
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
