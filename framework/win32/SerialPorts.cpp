#include "framework/win32/SerialPorts.h"

#include <windows.h>

namespace fw {

namespace {

class RegistryKey {
public:
    explicit RegistryKey(const char* path) {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~RegistryKey() {
        if (key_) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

std::vector<std::string> serialPortNames() {
    std::vector<std::string> names;
    RegistryKey key("HARDWARE\\DEVICEMAP\\SERIALCOMM");
    if (!key.get()) return names;
    DWORD longestName = 0, longestData = 0;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                         &longestData, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::string name(longestName + 1, '\0');
    std::string data(longestData + 1, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataLength = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG status = RegEnumValueA(key.get(), index, name.data(), &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data.data()), &dataLength);
        if (status == ERROR_NO_MORE_ITEMS) break;
        // A value changed while listing is skipped rather than read cut short.
        if (status != ERROR_SUCCESS || type != REG_SZ) continue;
        std::string port(data.data(), dataLength);
        port.resize(port.find('\0') == std::string::npos ? port.size() : port.find('\0'));
        names.push_back(port);
    }
    return names;
}

}  // namespace fw
