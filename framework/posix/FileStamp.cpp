#include <sys/stat.h>

#include "framework/FileSystem.h"

namespace fw {

bool fileStamp(const std::string& path, FileStamp& stamp) {
    struct stat info;
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
    stamp.size = static_cast<int64_t>(info.st_size);
    stamp.modified = static_cast<int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    return true;
}

}  // namespace fw
