#include "framework/PrivateFolder.h"

#include <filesystem>

#include "framework/FileSystem.h"

namespace fw {

namespace fs = std::filesystem;

PrivateFolder::PrivateFolder(const std::string& prefix) {
    const std::string made = createPrivateFolder(prefix, error_);
    if (made.empty()) return;
    // Full, so that it names the same folder whatever the current directory
    // becomes (the plug-in's clean-up changes it).
    std::error_code failed;
    const fs::path full = fs::absolute(toPath(made), failed);
    path_ = failed ? made : fromPath(full);
}

void PrivateFolder::remove() {
    if (path_.empty()) return;
    const fs::path root = toPath(path_);
    std::error_code failed;
    // Writable first: Windows deletes no read-only file, and the plug-in's own
    // clean-up leaves one that a device library wrote. Links are neither
    // followed nor changed.
    for (fs::recursive_directory_iterator entry(root, failed), end; !failed && entry != end; entry.increment(failed)) {
        std::error_code ignored;
        if (fs::is_regular_file(entry->symlink_status(ignored)))
            fs::permissions(entry->path(), fs::perms::owner_write,
                            fs::perm_options::add | fs::perm_options::nofollow, ignored);
    }
    fs::remove_all(root, failed);
    path_.clear();
}

}  // namespace fw
