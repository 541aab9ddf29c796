#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

// The names of a run's converted files: the raw file's name in the folder
// below the output folder that mirrors where it was found, every name
// unique in the run, in any case (as the file systems of Windows and macOS
// compare names), whatever the raw files were called; and never the name of
// a file an earlier run converted from another raw file.
class OutputNames {
public:
    explicit OutputNames(std::filesystem::path directory) : directory_(std::move(directory)) {}

    // A file an earlier run wrote, relative to the directory with '/'
    // between folders, for the exercise `key` names: its name, but for the
    // extension, is left to that exercise.
    void hold(const std::string& file, const std::string& key);

    // The path, without extension, for exercise `key` whose files get every
    // one of `extensions`: directory/folder/stem, or "stem (2)", "stem (3)"
    // ... when a file of the run took that name or an earlier run gave it to
    // another exercise; the name an earlier run gave this exercise where
    // there is one.
    std::filesystem::path claim(const std::string& folder, const std::string& stem,
                                const std::vector<std::string>& extensions, const std::string& key);

private:
    std::filesystem::path directory_;
    std::set<std::string> taken_;              // folded relative paths with extension
    std::map<std::string, std::string> held_;  // folded relative paths without extension, to their key
    std::map<std::string, std::vector<std::string>> heldBy_;  // the same by key
};
