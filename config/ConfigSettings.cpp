#include "config/ConfigSettings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>

#include "framework/IniFile.h"
#include "model/Settings.h"

std::vector<SettingWrite> settingWrites(const ConfigValues& v, bool portListEnabled) {
    using namespace settings;
    std::vector<SettingWrite> writes{
        {kDeviceType, v.deviceType, false},
        {kProtocol, v.protocol, false},
        {kHRFilter, v.hrFilter, true},
        {kModulateTemp, v.modulateTemp, true},
        {kAHFactor, v.ahFactor, false},
        {kHRMaxDev, v.hrMaxDev, true},
        {kDebug, v.debug, true},
        {kGPS, v.gps, true},
        {kGPSITime, v.gpsIgnoreTime, true},
    };
    if (portListEnabled) writes.push_back({kComPort, v.comPort, false});
    return writes;
}

void saveConfigValues(const std::string& iniPath, const ConfigValues& values, bool portListEnabled) {
    for (const SettingWrite& write : settingWrites(values, portListEnabled)) {
        if (write.boolean)
            fw::writeIniBool(iniPath, settings::kSection, write.key, write.value != 0);
        else
            fw::writeIniInteger(iniPath, settings::kSection, write.key, write.value);
    }
}

std::string writeRefusedMessage(const std::string& file) { return "In " + file + " kann nicht geschrieben werden"; }

std::string portItem(int32_t number) { return "COM" + std::to_string(number); }

namespace {

// Decimal digits only, at most what fits a signed 16-bit port setting.
bool portDigits(const std::string& text, int32_t& number) {
    if (text.empty() || text.size() > 5) return false;
    int32_t value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        value = value * 10 + (c - '0');
    }
    if (value > std::numeric_limits<int16_t>::max()) return false;
    number = value;
    return true;
}

}  // namespace

int32_t portNumberOf(const std::string& item) {
    int32_t number = -1;
    if (item.size() > 3 && portDigits(item.substr(3), number)) return number;
    return -1;
}

std::vector<std::string> portItemsOf(const std::vector<std::string>& portNames) {
    std::vector<int32_t> numbers;
    for (const std::string& name : portNames) {
        if (name.size() < 4) continue;
        std::string prefix = name.substr(0, 3);
        for (char& c : prefix) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        int32_t number;
        if (prefix == "COM" && portDigits(name.substr(3), number)) numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    std::vector<std::string> items;
    for (int32_t number : numbers) items.push_back(portItem(number));
    return items;
}

SchemeColor schemeColor(uint8_t index) {
    static constexpr uint8_t table[13][3] = {
        {0x88, 0xAE, 0xE4}, {0x98, 0x96, 0xB3}, {0xB1, 0xC0, 0x8C}, {0xF2, 0xF0, 0xE3}, {0xC7, 0xD8, 0xED},
        {0xB4, 0xBB, 0xC5}, {0, 0, 0},          {0xF2, 0xF0, 0xE3}, {0, 0, 0},          {0xD5, 0xDC, 0xE7},
        {0xDA, 0xF1, 0xFC}, {0xEE, 0xF5, 0xFD}, {0, 0, 0},
    };
    if (index == 6 || index == 12) return {SchemeColor::ButtonFace};
    if (index == 8 || index > 12) return {SchemeColor::Unchanged};
    return {SchemeColor::Rgb, table[index][0], table[index][1], table[index][2]};
}

ScreenPoint centredOn(const HostWindowParams& host, int32_t width, int32_t height, const ScreenRect& fallback) {
    ScreenRect area{host.left, host.top, host.right, host.bottom};
    if (area.right <= area.left || area.bottom <= area.top) area = fallback;
    // 64-bit so that extreme host coordinates cannot overflow; "/" truncates toward zero.
    const int64_t x = area.left + (int64_t{area.right} - area.left - width) / 2;
    const int64_t y = area.top + (int64_t{area.bottom} - area.top - height) / 2;
    auto fit = [](int64_t v) {
        return static_cast<int32_t>(
            std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    };
    return {fit(x), fit(y)};
}
