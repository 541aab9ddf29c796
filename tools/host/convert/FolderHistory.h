#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/host/convert/History.h"
#include "tools/host/convert/OutputNames.h"

// An output folder's history as a run uses it: read when the run begins,
// what cannot be read said, exercises whose files are all gone dropped and
// the names of the others' files held; written when the run ends.
class FolderHistory {
public:
    FolderHistory(std::filesystem::path directory, std::ostream& messages);

    // The names of the earlier runs' files, each for its exercise's key.
    void holdNames(OutputNames& names) const;

    // A converted file as the page links it: relative to the folder, '/'
    // between folders, the names' bytes as the file system has them,
    // whatever they encode, so that the link leads to the file.
    std::string pageName(const std::filesystem::path& path) const;

    // An exercise of the run, every file of it written.
    void add(const OverviewExercise& exercise);

    // Writes the history with the run's exercises (replaced whole through a
    // temporary name). With `forPage`, the exercises for the page, as read
    // back, or the run's alone where the file was left as it is; nullopt
    // without `forPage`, or when there is neither history nor an exercise.
    // Throws OutputError.
    std::optional<std::vector<OverviewExercise>> write(bool forPage) const;

private:
    std::filesystem::path directory_;
    History history_;  // of earlier runs, files still there
    bool found_ = false;
    // The run's exercises, each as its line of the history: a lifetime
    // archive has thousands, and the page reads them back only when drawn.
    std::vector<std::string> run_;
};
