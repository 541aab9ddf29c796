#pragma once

#include <cstdint>
#include <string>

#include "model/RawFiles.h"

// The import dialog's rules that need neither a window nor the device
// library: family detection, what the dialog shows, how a protocol is
// started, and where an exercise is saved.

// Monitor families by the DeviceType setting.
enum DeviceFamily : uint8_t { kFamilyS = 0, kFamilyRS = 1, kFamilyCS = 2 };

// Monitor codes above this belong to the RS/CS family.
constexpr int32_t kLastSFamilyCode = 32;

// The stored type corrected by the monitor code: an S-family setting with an
// RS/CS code becomes CS (2), an RS/CS setting with an S code becomes S (0).
uint8_t DetectDeviceType(uint8_t storedType, int32_t monitorCode);

// Caption suffix after detection: " -> S-Series", " -> RS/CS 4xx-Series",
// empty for other types.
std::string FamilyCaptionSuffix(uint8_t deviceType);

struct ProtocolStart {
    bool start = false;  // false: an unknown protocol makes no start call
    std::string captionSuffix;
    int32_t flags = 0;
    std::string port;
};
// How fnHRMCom_StartIRCommunication is called for the Protocol setting
// (0 IrDA, 1 USB, 2 COM with `comPort`), the HR filter adding its flag.
ProtocolStart StartForProtocol(uint8_t protocol, int16_t comPort, bool hrFilter);

// Memory in use, in percent of `memorySize`, truncated toward zero and kept
// within 0..100; 0 when the monitor reports no memory at all.
int32_t MemoryPercent(int32_t memorySize, int32_t freeMemory);

// Text of the low-voltage hint for the monitor's bits (0 watch/bike
// computer, 1 HR belt, 2 speed sensor), with doubled ampersands as the
// label shows single ones. Empty when `bits` is 0 or negative: no hint.
std::string LowVoltageHint(int32_t bits);

// The library takes paths of at most this many characters.
constexpr size_t kMaxLibraryPath = 260;

// Full path of the file for an exercise with `fileNumber` in `directory`
// (which ends in its delimiter): "n.hrm", or "n_k.hrm" with the first free k.
// Empty when all 1999 numbered names are taken or the path would be longer
// than kMaxLibraryPath, so that no existing file is ever overwritten.
template <typename Exists>
std::string ExerciseFilePath(const std::string& directory, int32_t fileNumber, Exists exists) {
    const std::string name =
        ExerciseFileName(fileNumber, [&](const std::string& candidate) { return exists(directory + candidate); });
    if (name.empty() || directory.size() + name.size() > kMaxLibraryPath) return {};
    return directory + name;
}
