#include "framework/PrivateFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "framework/FileSystem.h"

namespace fw {

std::string createPrivateFolder(const std::string& prefix, std::string& error) {
    const std::string base = tempDirectory();
    std::string pattern = base + prefix + "XXXXXX";
    // mkdtemp creates the folder exclusively with mode 0700.
    if (!::mkdtemp(pattern.data())) {
        error = "cannot make a folder in " + base + ": " + std::strerror(errno);
        return {};
    }
    return pattern;
}

bool setTempDirectory(const std::string& path) { return ::setenv("TMPDIR", path.c_str(), 1) == 0; }

}  // namespace fw
