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
    // Writable and listable first: a read-only file cannot be deleted on
    // Windows, nor the entries of a folder an archive made read-only.
    // Links are neither followed nor changed.
    for (fs::recursive_directory_iterator entry(root, failed), end; !failed && entry != end; entry.increment(failed)) {
        std::error_code ignored;
        const fs::file_status status = entry->symlink_status(ignored);
        if (fs::is_directory(status))
            fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add | fs::perm_options::nofollow, ignored);
        else if (fs::is_regular_file(status))
            fs::permissions(entry->path(), fs::perms::owner_write, fs::perm_options::add | fs::perm_options::nofollow,
                            ignored);
    }
    fs::remove_all(root, failed);
    path_.clear();
}

}  // namespace fw
