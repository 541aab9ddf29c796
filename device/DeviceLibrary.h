#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "device/uPolar.h"

// The call table of HRMCom.dll as the steps use it. Booleans are the
// library's results; nothing here masks floating-point exceptions, the
// steps do that around the calls that need it.
class DeviceLibrary {
public:
    virtual ~DeviceLibrary() = default;
    virtual void SetComText(int32_t slot, const std::string& text) = 0;
    virtual bool ResetIRCommunication() = 0;
    virtual bool StartIRCommunication(int32_t flags, const std::string& port) = 0;
    virtual bool IsIrDAConnected() = 0;
    virtual bool ReadMonitorInfo(TGeneralParams& params, TMonitorInfo& info) = 0;
    // At most 100 characters of the library's text.
    virtual std::string GetPolarHRMonitorName(int32_t monitorCode, int32_t nameVariant) = 0;
    virtual int32_t ReadExercisesData(void* window) = 0;
    virtual bool GetExeFileInfo(int32_t index, TExerciseFileInfo& info) = 0;
    virtual bool AnalyzeFile(int32_t index) = 0;
    virtual int32_t ReadExerciseFile(void* window, int32_t index) = 0;
    virtual int32_t GetRecParam(int32_t selector) = 0;
    virtual bool SaveExerciseHRM(void* window, const std::string& path) = 0;
    virtual void SendMonitorToWatchMode(TGeneralParams& params) = 0;
    virtual void EndIRCommunication() = 0;
};

// The library the plug-in is linked with (Windows builds only).
std::unique_ptr<DeviceLibrary> LinkedDeviceLibrary();
