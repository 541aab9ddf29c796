#include "Settings.h"

#include "framework/IniFile.h"

SettingsValues ReadSettings(const std::string& file) {
    using namespace settings;
    const SettingsValues defaults;
    SettingsValues v;
    v.deviceType = fw::readIniInteger(file, kSection, kDeviceType, defaults.deviceType);
    v.protocol = fw::readIniInteger(file, kSection, kProtocol, defaults.protocol);
    v.comPort = fw::readIniInteger(file, kSection, kComPort, defaults.comPort);
    v.hrFilter = fw::readIniBool(file, kSection, kHRFilter, defaults.hrFilter);
    v.modulateTemp = fw::readIniBool(file, kSection, kModulateTemp, defaults.modulateTemp);
    v.ahFactor = fw::readIniInteger(file, kSection, kAHFactor, defaults.ahFactor);
    v.gps = fw::readIniBool(file, kSection, kGPS, defaults.gps);
    v.hrMaxDev = fw::readIniBool(file, kSection, kHRMaxDev, defaults.hrMaxDev);
    v.debug = fw::readIniBool(file, kSection, kDebug, defaults.debug);
    v.gpsIgnoreTime = fw::readIniBool(file, kSection, kGPSITime, defaults.gpsIgnoreTime);
    return v;
}
