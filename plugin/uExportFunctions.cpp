#include "uExportFunctions.h"

#include <cstring>
#include <string>

#include "framework/FileSystem.h"
#include "framework/LibraryEntry.h"
#include "config/FormConfig.h"
#include "device/FormImport.h"
#include "framework/Resources.h"
#include "model/HostBuffer.h"
#include "model/PluginState.h"
#include "model/RawFiles.h"
#include "model/Settings.h"
#include "model/WorkDirectory.h"
#include "processing/uDeviceDatas.h"

namespace {

// A plain pointer, not a smart one: the library entry's detach may run after
// static destructors, and a pointer without a destructor cannot be freed twice.
TPluginState* State = nullptr;

std::string textOf(const char* text) { return text ? std::string(text) : std::string(); }

// Nothing may unwind into the host: every export runs its body through this
// and answers `fallback` when the body throws or the state is gone.
template <typename Result, typename Body>
Result guarded(Result fallback, Body body) noexcept {
    try {
        if (!State) return fallback;
        return body(*State);
    } catch (...) {
        return fallback;
    }
}

template <typename Body>
void guardedVoid(Body body) noexcept {
    guarded(0, [&](TPluginState& state) {
        body(state);
        return 0;
    });
}

}  // namespace

void InitPluginState() {
    if (!State) State = new TPluginState();
}

void DonePluginState() {
    if (!State) return;
    try {
        if (State->WorkDirUsed && fw::directoryExists(State->ArchiveWorkDir)) DeleteWorkDirectory(State->ArchiveWorkDir);
    } catch (...) {
    }
    delete State;
    State = nullptr;
}

void PluginAttach() { InitPluginState(); }
void PluginDetach() { DonePluginState(); }

extern "C" {

int32_t FW_STDCALL CallImportDialog(void* hostWindow, int32_t left, int32_t top, int32_t right, int32_t bottom,
                                    uint8_t, uint8_t, const char* targetDir, uint8_t) {
    return guarded<int32_t>(0, [&](TPluginState& state) {
        return CallImportDialogFor(state, HostWindowParams{hostWindow, left, top, right, bottom}, textOf(targetDir));
    });
}

int32_t FW_STDCALL CallConfiguration(void* hostWindow, int32_t left, int32_t top, int32_t right, int32_t bottom,
                                     uint8_t colorScheme, uint8_t, const char* iniPath, uint8_t) {
    return guarded<int32_t>(1, [&](TPluginState&) {
        return CallConfigurationFor(HostWindowParams{hostWindow, left, top, right, bottom}, colorScheme,
                                    textOf(iniPath));
    });
}

int32_t FW_STDCALL GetDelProperty() { return 0; }
uint8_t FW_STDCALL UseOwnImportDialog() { return 1; }
uint8_t FW_STDCALL UseOwnSetupDialog() { return 1; }
uint8_t FW_STDCALL GetExInterface() { return 7; }
uint8_t FW_STDCALL GetPluginDevType() { return 5; }
uint8_t FW_STDCALL GetPluginType() { return 1; }
int32_t FW_STDCALL GetVersion() { return kPluginVersion; }

uint8_t FW_STDCALL GetPluginImage(void** bitmap) {
    return guarded<uint8_t>(0, [&](TPluginState&) {
        if (bitmap) fw::loadBitmapResource("DEVIMG", bitmap);
        return uint8_t{1};
    });
}

uint8_t FW_STDCALL GetPluginIcon(void** bitmap) {
    return guarded<uint8_t>(0, [&](TPluginState&) {
        if (bitmap) fw::loadBitmapResource("DEVICON", bitmap);
        return uint8_t{1};
    });
}

uint8_t FW_STDCALL GetLapDatasEx(int32_t index, void* lap) {
    return guarded<uint8_t>(0, [&](TPluginState& state) {
        // An index outside the lap list leaves the host's record alone.
        if (lap && index >= 0 && index < state.LapList.Count()) {
            TLapClass::Record copy;
            state.LapList.Get(index, copy.data());
            std::memcpy(lap, copy.data(), copy.size());
        }
        return uint8_t{0};
    });
}

uint8_t FW_STDCALL GetExerciseDatasEx(int32_t index, void* sample) {
    return guarded<uint8_t>(0, [&](TPluginState& state) {
        const TMyHRMDatas& datas = state.ExerciseDatas;
        // Indexes up to the capacity read zeros; beyond it there is no storage.
        if (!sample || index < 0 || index >= datas.Capacity()) return uint8_t{0};
        auto* record = static_cast<SampleRecord*>(sample);
        record->HR = datas.GetHR(index);
        record->Distance = datas.GetDistance(index);
        record->Speed = datas.GetSpeed(index);
        record->Cadence = datas.GetCadence(index);
        record->Altitude = datas.GetAltitude(index);
        record->Temperature = datas.GetTemperature(index);
        record->Power = datas.GetPower(index);
        record->Balance = datas.GetBalance(index);
        record->SampleFlag = datas.GetSampleFlag(index);
        record->Latitude = datas.GetLatitude(index);
        record->Longitude = datas.GetLongitude(index);
        const std::string text = datas.GetSampleText(index);
        std::memset(record->SampleText, 0, sizeof record->SampleText);
        std::memcpy(record->SampleText, text.c_str(), std::min(text.size() + 1, sizeof record->SampleText));
        record->TimeOffset = datas.GetTimeOffset(index);
        return uint8_t{1};
    });
}

uint8_t FW_STDCALL GetLogSummaryEx(void* summary) {
    return guarded<uint8_t>(0, [&](TPluginState& state) {
        if (!summary || state.ExerciseDatas.Count() < 1) return uint8_t{0};
        std::memcpy(summary, &state.Summary, sizeof state.Summary);
        return uint8_t{1};
    });
}

int32_t FW_STDCALL AnalyseExercise(const char* fileName, const int32_t* exerciseIndex) {
    return guarded<int32_t>(0, [&](TPluginState& state) {
        if (!fileName) return 0;
        // Without an index variable no archive exercise is named.
        return AnalyseRawFile(state, fileName, exerciseIndex ? *exerciseIndex : -1);
    });
}

int32_t FW_STDCALL GetExerciseNumberFromRawFileEx(const char* fileName, uint32_t) {
    return GetExerciseNumberFromRawFile(fileName);
}

uint16_t FW_STDCALL GetExerciseNumberFromRawFile(const char* fileName) {
    return guarded<uint16_t>(0, [&](TPluginState&) {
        return static_cast<uint16_t>(fileName ? CountExercisesInRawFile(fileName) : 0);
    });
}

uint16_t FW_STDCALL GetExerciseNumber() {
    return guarded<uint16_t>(0, [](TPluginState& state) { return static_cast<uint16_t>(state.ImportedExerciseCount); });
}

void FW_STDCALL SetPluginIniFile(const char* fileName) {
    guardedVoid([&](TPluginState& state) {
        state.PluginIniFile = textOf(fileName);
        ReadPluginSettings(state);
    });
}

void FW_STDCALL SetIniFile(const char* fileName) {
    guardedVoid([&](TPluginState& state) { state.HostIniFile = textOf(fileName); });
}

int32_t FW_STDCALL GetAHFactor() {
    return guarded<int32_t>(0, [](TPluginState& state) { return state.AHFactor; });
}

void FW_STDCALL GetDir(char* buffer, uint32_t len) {
    guardedVoid([&](TPluginState& state) { CopyToHostBuffer(buffer, len, state.InitDirectory); });
}

void FW_STDCALL GetDeviceName(char* buffer, uint32_t len) { CopyToHostBuffer(buffer, len, "Polar Devices"); }

uint8_t FW_STDCALL ValidRawExtension(const char* extension, uint32_t len) {
    return static_cast<uint16_t>(len) != 0 && IsValidRawExtension(extension) ? 1 : 0;
}

uint8_t FW_STDCALL GetRawExtensionEx(char* buffer, uint32_t len) {
    CopyToHostBuffer(buffer, len, "hrm");
    return 1;
}

uint8_t FW_STDCALL GetRawExtension(char* buffer, uint32_t len) {
    CopyToHostBuffer(buffer, len, "hrz");
    return 1;
}

uint8_t FW_STDCALL GetRawHeader(char* buffer, uint32_t len) {
    CopyToHostBuffer(buffer, len, std::string_view(RawSignature, kRawSignatureLength));
    return static_cast<uint8_t>(kRawSignatureLength);
}

int32_t FW_STDCALL GetComment(char* buffer, uint32_t len) {
    return guarded<int32_t>(0, [&](TPluginState& state) {
        CopyToHostBuffer(buffer, len, state.ExerciseNote);
        return static_cast<int32_t>(state.ExerciseNote.size());
    });
}

void FW_STDCALL GetAuthor(char* buffer, uint32_t len) { CopyToHostBuffer(buffer, len, "Orvelt"); }

void FW_STDCALL GetPluginName(char* buffer, uint32_t len) { CopyToHostBuffer(buffer, len, "Zudar Eruvuv Uzevaz"); }

uint8_t FW_STDCALL Initialize(int32_t ahFactor, const char* directory, uint32_t) {
    guardedVoid([&](TPluginState& state) {
        if (ahFactor != 255) state.AHFactor = ahFactor;
        state.InitDirectory = textOf(directory);
    });
    return 1;
}

}  // extern "C"
