#pragma once

#include <cstdint>

#include "framework/CallingConvention.h"
#include "model/PluginVersion.h"

// The 31 functions the host calls, stdcall, exported by undecorated name
// with the fixed ordinals of exports.def. A "one byte" result is uint8_t,
// text lengths arrive in 32-bit slots of which the low 16 bits count.
extern "C" {
int32_t FW_STDCALL CallImportDialog(void* hostWindow, int32_t left, int32_t top, int32_t right, int32_t bottom,
                                    uint8_t colorScheme, uint8_t unused7, const char* targetDir, uint8_t unused9);
int32_t FW_STDCALL CallConfiguration(void* hostWindow, int32_t left, int32_t top, int32_t right, int32_t bottom,
                                     uint8_t colorScheme, uint8_t unused7, const char* iniPath, uint8_t unused9);
int32_t FW_STDCALL GetDelProperty();
uint8_t FW_STDCALL UseOwnImportDialog();
uint8_t FW_STDCALL UseOwnSetupDialog();
uint8_t FW_STDCALL GetPluginImage(void** bitmap);
uint8_t FW_STDCALL GetPluginIcon(void** bitmap);
uint8_t FW_STDCALL GetExInterface();
uint8_t FW_STDCALL GetLapDatasEx(int32_t index, void* lap);
uint8_t FW_STDCALL GetExerciseDatasEx(int32_t index, void* sample);
uint8_t FW_STDCALL GetLogSummaryEx(void* summary);
int32_t FW_STDCALL AnalyseExercise(const char* fileName, const int32_t* exerciseIndex);
int32_t FW_STDCALL GetExerciseNumberFromRawFileEx(const char* fileName, uint32_t extra);
uint16_t FW_STDCALL GetExerciseNumberFromRawFile(const char* fileName);
uint16_t FW_STDCALL GetExerciseNumber();
void FW_STDCALL SetPluginIniFile(const char* fileName);
void FW_STDCALL SetIniFile(const char* fileName);
int32_t FW_STDCALL GetAHFactor();
void FW_STDCALL GetDir(char* buffer, uint32_t len);
void FW_STDCALL GetDeviceName(char* buffer, uint32_t len);
uint8_t FW_STDCALL ValidRawExtension(const char* extension, uint32_t len);
uint8_t FW_STDCALL GetRawExtensionEx(char* buffer, uint32_t len);
uint8_t FW_STDCALL GetRawExtension(char* buffer, uint32_t len);
uint8_t FW_STDCALL GetRawHeader(char* buffer, uint32_t len);
int32_t FW_STDCALL GetComment(char* buffer, uint32_t len);
void FW_STDCALL GetAuthor(char* buffer, uint32_t len);
uint8_t FW_STDCALL GetPluginDevType();
uint8_t FW_STDCALL GetPluginType();
void FW_STDCALL GetPluginName(char* buffer, uint32_t len);
int32_t FW_STDCALL GetVersion();
uint8_t FW_STDCALL Initialize(int32_t ahFactor, const char* directory, uint32_t reserved);
}

// Creates and releases the plug-in-wide state; the library entry calls them
// at load and unload, tests call them directly.
void InitPluginState();
void DonePluginState();

