#include "framework/PrivateFolder.h"

// clang-format off
#include <windows.h>
#include <ntsecapi.h>
#include <sddl.h>
// clang-format on

#include <cstdio>
#include <vector>

#include "framework/FileSystem.h"

namespace fw {

namespace {

// Security attributes whose DACL grants the current user alone full access,
// to the folder and everything made in it; null (the temporary directory's
// own, inherited) where the user's SID cannot be had.
class OwnerOnly {
public:
    OwnerOnly() {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return;
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<BYTE> buffer(size);
        char* sid = nullptr;
        if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
            ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) {
            // P: protected, nothing inherited from the temporary directory.
            const std::string sddl = std::string("D:P(A;OICI;FA;;;") + sid + ")";
            ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor_, nullptr);
            LocalFree(sid);
        }
        CloseHandle(token);
        attributes_.nLength = sizeof attributes_;
        attributes_.lpSecurityDescriptor = descriptor_;
        attributes_.bInheritHandle = FALSE;
    }
    ~OwnerOnly() {
        if (descriptor_) LocalFree(descriptor_);
    }
    OwnerOnly(const OwnerOnly&) = delete;
    OwnerOnly& operator=(const OwnerOnly&) = delete;

    SECURITY_ATTRIBUTES* attributes() { return descriptor_ ? &attributes_ : nullptr; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace

std::string createPrivateFolder(const std::string& prefix, std::string& error) {
    const std::string base = tempDirectory();
    if (base.empty()) {
        error = "the system names no temporary directory";
        return {};
    }
    OwnerOnly security;
    // CreateDirectory fails on any name that is taken, by a folder, a file or a
    // link; a taken name is only drawn again.
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[8];
        if (!RtlGenRandom(random, sizeof random)) {
            error = "no random name for a folder in " + base + " (error " + std::to_string(GetLastError()) + ")";
            return {};
        }
        std::string path = base + prefix;
        for (const unsigned char byte : random) {
            char digits[3];
            std::snprintf(digits, sizeof digits, "%02x", byte);
            path += digits;
        }
        if (CreateDirectoryA(path.c_str(), security.attributes())) return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    error = "cannot make a folder in " + base + " (error " + std::to_string(GetLastError()) + ")";
    return {};
}

bool setTempDirectory(const std::string& path) {
    return SetEnvironmentVariableA("TMP", path.c_str()) && SetEnvironmentVariableA("TEMP", path.c_str());
}

}  // namespace fw
