#include "device/uPolar.h"

#include <cstring>

#include "device/DeviceLibrary.h"

namespace {

// The call table exactly as linked; only text and booleans are translated.
class HRMComLibrary : public DeviceLibrary {
public:
    void SetComText(int32_t slot, const std::string& text) override { fnHRMCom_SetComText(slot, text.c_str()); }
    bool ResetIRCommunication() override { return fnHRMCom_ResetIRCommunication(0) != 0; }
    bool StartIRCommunication(int32_t flags, const std::string& port) override {
        return fnHRMCom_StartIRCommunication(flags, port.c_str()) != 0;
    }
    bool IsIrDAConnected() override { return fnHRMCom_IsIrDAConnected() != 0; }
    bool ReadMonitorInfo(TGeneralParams& params, TMonitorInfo& info) override {
        return fnHRMCom_ReadMonitorInfo(&params, &info) != 0;
    }
    std::string GetPolarHRMonitorName(int32_t monitorCode, int32_t nameVariant) override {
        const char* name = fnHRMCom_GetPolarHRMonitorName(monitorCode, nameVariant);
        // The caller's buffer holds 100 characters; the text need not end within them.
        return name ? std::string(name, strnlen(name, 100)) : std::string();
    }
    int32_t ReadExercisesData(void* window) override { return fnHRMCom_ReadExercisesData(window, 0); }
    bool GetExeFileInfo(int32_t index, TExerciseFileInfo& info) override {
        return fnHRMCom_GetExeFileInfo(index, &info) != 0;
    }
    bool AnalyzeFile(int32_t index) override { return fnHRMCom_AnalyzeFile(index, 0) != 0; }
    int32_t ReadExerciseFile(void* window, int32_t index) override { return fnHRMCom_ReadExerciseFile(window, index, 0); }
    int32_t GetRecParam(int32_t selector) override { return fnHRMCom_GetRecParam(selector); }
    bool SaveExerciseHRM(void* window, const std::string& path) override {
        return fnHRMCom_SaveExerciseHRM(window, path.c_str(), 0) != 0;
    }
    void SendMonitorToWatchMode(TGeneralParams& params) override { fnHRMCom_SendMonitorToWatchMode(&params); }
    void EndIRCommunication() override { fnHRMCom_EndIRCommunication(0); }
};

}  // namespace

std::unique_ptr<DeviceLibrary> LinkedDeviceLibrary() { return std::make_unique<HRMComLibrary>(); }
