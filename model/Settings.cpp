#include "Settings.h"

#include "framework/IniFile.h"

void ReadPluginSettings(TPluginState& state) {
    using namespace settings;
    const std::string& file = state.PluginIniFile;
    state.Settings.ModulateTemp = fw::readIniBool(file, kSection, kModulateTemp, true);
    state.AHFactor = fw::readIniInteger(file, kSection, kAHFactor, 2);
    state.Settings.GPS = fw::readIniBool(file, kSection, kGPS, true);
    state.Settings.HRMaxDev = fw::readIniBool(file, kSection, kHRMaxDev, false);
    state.Settings.Debug = fw::readIniBool(file, kSection, kDebug, false);
    state.Settings.GPSITime = fw::readIniBool(file, kSection, kGPSITime, false);
}
