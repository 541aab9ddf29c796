#include "WorkDirectory.h"

#include "framework/FileSystem.h"

std::string IncludeTrailingBackslash(std::string path) {
    if (!path.empty() && path.back() != fw::kPathDelimiter) path += fw::kPathDelimiter;
    return path;
}

std::string WorkDirectoryPath() { return IncludeTrailingBackslash(fw::tempDirectory()) + "VoruzUvidav"; }

void DeleteWorkDirectory(const std::string& directory) {
    if (directory.size() < 5 || !fw::directoryExists(directory)) return;
    const std::string prefix = IncludeTrailingBackslash(directory);
    constexpr uint32_t kReadOnlyHiddenSystemArchive =
        fw::kAttrReadOnly | fw::kAttrHidden | fw::kAttrSystem | fw::kAttrArchive;
    for (const fw::DirectoryEntry& entry : fw::listDirectory(directory, "*.*")) {
        if (entry.name == "." || entry.name == "..") continue;
        const std::string path = prefix + entry.name;
        // Files the device software marks this way must still go.
        if (entry.attributes == kReadOnlyHiddenSystemArchive) fw::setAttributes(path, fw::kAttrArchive);
        fw::deleteFile(path);
    }
    fw::setCurrentDirectory(fw::driveRoot(directory));
    fw::removeDirectory(directory);
}
