#include "ImportRules.h"

#include <algorithm>

#include "device/uPolar.h"

uint8_t DetectDeviceType(uint8_t storedType, int32_t monitorCode) {
    if (storedType == kFamilyS && monitorCode > kLastSFamilyCode) return kFamilyCS;
    if ((storedType == kFamilyRS || storedType == kFamilyCS) && monitorCode <= kLastSFamilyCode) return kFamilyS;
    return storedType;
}

std::string FamilyCaptionSuffix(uint8_t deviceType) {
    switch (deviceType) {
    case kFamilyS: return " -> S-Series";
    case kFamilyRS:
    case kFamilyCS: return " -> RS/CS 4xx-Series";
    default: return {};
    }
}

ProtocolStart StartForProtocol(uint8_t protocol, int16_t comPort, bool hrFilter) {
    const int32_t filter = hrFilter ? kStartHRFilter : 0;
    switch (protocol) {
    case 0: return {true, " (IrDA)", filter + kStartIrDA, "IR"};
    case 1: return {true, " (USB)", filter + kStartUsb, "USB"};
    case 2: {
        const std::string port = "COM" + std::to_string(comPort);
        return {true, " (" + port + ")", filter + kStartSerial, port + ":"};
    }
    default: return {};
    }
}

int32_t MemoryPercent(int32_t memorySize, int32_t freeMemory) {
    if (memorySize <= 0) return 0;
    // 64-bit: the product overflows 32 bits for memories above 21 MB.
    const int64_t percent = (static_cast<int64_t>(memorySize) - freeMemory) * 100 / memorySize;
    return static_cast<int32_t>(std::clamp<int64_t>(percent, 0, 100));
}

std::string LowVoltageHint(int32_t bits) {
    if (bits <= 0) return {};
    std::string text;
    if (bits & 1) text = "Watch-/Bikecomputer";
    if (bits & 2) text += "&& HR-Belt";
    if (bits & 4) text += "&& Speedsensor";
    return text;
}
