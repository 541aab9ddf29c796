#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/CallingConvention.h"

// The call table of the device library HRMCom.dll and the records passed to
// it by address. Linked at load time; on 32-bit Windows the functions are
// imported under their stdcall-decorated names (device/HRMCom.def), except
// fnHRMCom_GetPolarHRMonitorName, which is cdecl and undecorated.
// Booleans are 32-bit, nonzero meaning true. Window handles are HWNDs.

#pragma pack(push, 1)

// Zero-filled, then a few fields set; the library keeps the rest to itself.
struct TGeneralParams {
    uint32_t Size;             // 0: 1260
    uint32_t Version;          // 4: 1
    uint8_t reserved8[1033];   // 8
    uint8_t Flag1041;          // 1041: 1
    uint8_t reserved1042[2];   // 1042
    uint32_t Window;           // 1044: the import dialog's handle, 32 bits of it
    uint8_t reserved1048[212]; // 1048
};

// Filled by fnHRMCom_ReadMonitorInfo.
struct TMonitorInfo {
    int32_t reserved0;         // 0
    int32_t MonitorCode;       // 4
    int32_t reserved8;         // 8
    int32_t ExerciseCount;     // 12: exercises stored
    int32_t FreeMemory;        // 16
    int32_t MemorySize;        // 20
    int32_t LowVoltage;        // 24: bit 0 watch/bike computer, 1 HR belt, 2 speed sensor
    int32_t reserved28[2];     // 28
    int32_t NameVariant;       // 36
};

// Filled by fnHRMCom_GetExeFileInfo.
struct TExerciseFileInfo {
    int32_t reserved0[2];      // 0
    int32_t FileNumber;        // 8
    uint8_t reserved12[76];    // 12
};

#pragma pack(pop)

static_assert(sizeof(TGeneralParams) == 1260);
static_assert(offsetof(TGeneralParams, Size) == 0);
static_assert(offsetof(TGeneralParams, Version) == 4);
static_assert(offsetof(TGeneralParams, Flag1041) == 1041);
static_assert(offsetof(TGeneralParams, Window) == 1044);
static_assert(sizeof(TMonitorInfo) == 40);
static_assert(offsetof(TMonitorInfo, MonitorCode) == 4);
static_assert(offsetof(TMonitorInfo, ExerciseCount) == 12);
static_assert(offsetof(TMonitorInfo, FreeMemory) == 16);
static_assert(offsetof(TMonitorInfo, MemorySize) == 20);
static_assert(offsetof(TMonitorInfo, LowVoltage) == 24);
static_assert(offsetof(TMonitorInfo, NameVariant) == 36);
static_assert(sizeof(TExerciseFileInfo) == 88);
static_assert(offsetof(TExerciseFileInfo, FileNumber) == 8);

// The record the connection step hands to the library. Only the low 32 bits
// of the handle are stored: window handles are 32-bit values on 64-bit
// Windows too.
inline TGeneralParams MakeGeneralParams(void* window) {
    TGeneralParams params;
    std::memset(&params, 0, sizeof params);
    params.Size = sizeof(TGeneralParams);
    params.Version = 1;
    params.Flag1041 = 1;
    params.Window = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
    return params;
}

// Slots of fnHRMCom_SetComText: texts of the library's own window.
enum ComTextSlot : int32_t { kComTextAbort = 0, kComTextRetry = 1, kComTextReading = 2, kComTextConnection = 6 };

// Flags of fnHRMCom_StartIRCommunication.
constexpr int32_t kStartSerial = 0x00;
constexpr int32_t kStartHRFilter = 0x04;
constexpr int32_t kStartUsb = 0x10;
constexpr int32_t kStartIrDA = 0x20;

// fnHRMCom_GetRecParam selector of the current exercise's file number.
constexpr int32_t kRecParamFileNumber = 9;

extern "C" {
int32_t FW_STDCALL fnHRMCom_SetComText(int32_t slot, const char* text);
int32_t FW_STDCALL fnHRMCom_ResetIRCommunication(int32_t reserved);
int32_t FW_STDCALL fnHRMCom_StartIRCommunication(int32_t flags, const char* port);
int32_t FW_STDCALL fnHRMCom_IsIrDAConnected();
int32_t FW_STDCALL fnHRMCom_ReadMonitorInfo(TGeneralParams* params, TMonitorInfo* info);
// cdecl: the caller copies at most 100 characters of the returned text.
const char* fnHRMCom_GetPolarHRMonitorName(int32_t monitorCode, int32_t nameVariant);
int32_t FW_STDCALL fnHRMCom_ReadExercisesData(void* window, int32_t reserved);
int32_t FW_STDCALL fnHRMCom_GetExeFileInfo(int32_t index, TExerciseFileInfo* info);
int32_t FW_STDCALL fnHRMCom_AnalyzeFile(int32_t index, int32_t reserved);
int32_t FW_STDCALL fnHRMCom_ReadExerciseFile(void* window, int32_t index, int32_t reserved);
int32_t FW_STDCALL fnHRMCom_GetRecParam(int32_t selector);
int32_t FW_STDCALL fnHRMCom_SaveExerciseHRM(void* window, const char* path, int32_t reserved);
int32_t FW_STDCALL fnHRMCom_SendMonitorToWatchMode(TGeneralParams* params);
int32_t FW_STDCALL fnHRMCom_EndIRCommunication(int32_t reserved);
}
