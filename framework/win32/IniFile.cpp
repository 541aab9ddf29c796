#include "framework/IniFile.h"

#include <windows.h>

namespace fw {

std::string readIniString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& fallback) {
    // The system cuts a longer value to the buffer, so kIniValueLimit characters plus the terminator.
    char buffer[kIniValueLimit + 1];
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer,
                                                  sizeof buffer, file.c_str());
    return std::string(buffer, length);
}

void writeIniString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value) {
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()))
        throw IniWriteError(file);
}

}  // namespace fw
