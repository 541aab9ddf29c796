#pragma once

#include <string>

#include "model/PluginState.h"

// Section and keys of the plug-in settings file.
namespace settings {
inline constexpr const char* kSection = "SETTINGS";
inline constexpr const char* kDeviceType = "DeviceType";
inline constexpr const char* kProtocol = "Protocol";
inline constexpr const char* kComPort = "COMPort";
inline constexpr const char* kHRFilter = "HRFilter";
inline constexpr const char* kModulateTemp = "ModulateTemp";
inline constexpr const char* kAHFactor = "AHFactor";
inline constexpr const char* kGPS = "GPS";
inline constexpr const char* kHRMaxDev = "HRMaxDev";
inline constexpr const char* kDebug = "Debug";
inline constexpr const char* kGPSITime = "GPSITime";
}  // namespace settings

// Reads the six analysis settings of state.PluginIniFile into the state; a
// missing file, section or key gives that key's default.
void ReadPluginSettings(TPluginState& state);
