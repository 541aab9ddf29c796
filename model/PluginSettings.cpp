#include "model/PluginState.h"
#include "model/Settings.h"

void ReadPluginSettings(TPluginState& state) {
    const SettingsValues v = ReadSettings(state.PluginIniFile);
    state.Settings.ModulateTemp = v.modulateTemp;
    state.AHFactor = v.ahFactor;
    state.Settings.GPS = v.gps;
    state.Settings.HRMaxDev = v.hrMaxDev;
    state.Settings.Debug = v.debug;
    state.Settings.GPSITime = v.gpsIgnoreTime;
}
