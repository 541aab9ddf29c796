#pragma once

#include <cstdint>
#include <string>

struct TPluginState;

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

// The ten keys of section SETTINGS, each initialised to the value a file
// without that key gives. The first four are the import's device settings,
// the rest the analysis settings.
struct SettingsValues {
    int32_t deviceType = 0;  // 0 S6xx-S8xx, 1 RS400-RS800, 2 CS400-CS600
    int32_t protocol = 0;    // 0 IrDA, 1 USB, 2 COM
    int32_t comPort = 1;     // n of COMn; -1 when the chosen port name held no number
    bool hrFilter = true;
    bool modulateTemp = true;
    int32_t ahFactor = 2;
    bool gps = true;
    bool hrMaxDev = false;
    bool debug = false;
    bool gpsIgnoreTime = false;
};

// All ten keys of section SETTINGS of `file`: integers and booleans by the
// INI rules of framework/IniFile.h; a missing file, section or key, or a
// value that is no integer, gives that key's default.
SettingsValues ReadSettings(const std::string& file);

// Reads the six analysis settings of state.PluginIniFile into the state.
void ReadPluginSettings(TPluginState& state);
