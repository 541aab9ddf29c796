#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

// The names of a run's converted files: the raw file's name in the folder
// below the output folder that mirrors where it was found, every name
// unique in the run, in any case (as the file systems of Windows and macOS
// compare names), whatever the raw files were called.
class OutputNames {
public:
    explicit OutputNames(std::filesystem::path directory) : directory_(std::move(directory)) {}

    // The path, without extension, for an exercise whose files get every one
    // of `extensions`: directory/folder/stem, or "stem (2)", "stem (3)" ...
    // when a file of the run took that name.
    std::filesystem::path claim(const std::string& folder, const std::string& stem,
                                const std::vector<std::string>& extensions);

private:
    std::filesystem::path directory_;
    std::set<std::string> taken_;  // folded relative paths with extension
};
