#include "tools/host/convert/FolderHistory.h"

#include <sstream>
#include <system_error>

#include "framework/FileSystem.h"
#include "tools/host/convert/OutputFiles.h"
#include "tools/host/recording/FileBytes.h"
#include "tools/host/recording/TextEncoding.h"

namespace fs = std::filesystem;

namespace {

// A history file larger than this is no history of exercises.
constexpr size_t kHistoryLimit = size_t{64} << 20;

}  // namespace

FolderHistory::FolderHistory(fs::path directory, std::ostream& messages) : directory_(std::move(directory)) {
    const fs::path path = directory_ / kHistoryFileName;
    std::error_code failed;
    if (!fs::exists(path, failed)) return;
    found_ = true;
    std::string error;
    const std::optional<std::string> text = readFileBytes(fw::fromPath(path), kHistoryLimit, error);
    if (!text || text->size() > kHistoryLimit) {
        history_.known = false;
        history_.problems.push_back(text ? "larger than " + std::to_string(kHistoryLimit >> 20) +
                                               " MiB, so no history of exercises"
                                         : "cannot be read: " + error);
    } else {
        history_ = readHistory(*text);
    }
    for (const std::string& problem : history_.problems)
        messages << "polarhost: " << fw::fromPath(path) << ": " << problem << "\n";
    if (!history_.known)
        messages << "polarhost: " << fw::fromPath(path)
                 << ": left as it is; the overview page lists this run's exercises alone\n";
    std::vector<OverviewExercise> kept;
    for (OverviewExercise& exercise : history_.exercises) {
        std::erase_if(exercise.files, [&](const std::string& file) { return !fs::exists(directory_ / fw::toPath(file), failed); });
        if (!exercise.files.empty()) kept.push_back(std::move(exercise));
    }
    history_.exercises = std::move(kept);
}

void FolderHistory::holdNames(OutputNames& names) const {
    for (const OverviewExercise& exercise : history_.exercises)
        for (const std::string& file : exercise.files) names.hold(file, exercise.key);
}

std::string FolderHistory::pageName(const fs::path& path) const {
    const fs::path below = path.lexically_relative(directory_);
    return fw::fromPath(fs::path(below.generic_string()));
}

void FolderHistory::add(const OverviewExercise& exercise) {
    run_.push_back(historyLine(exercise));
    run_.back().shrink_to_fit();
}

std::optional<std::vector<OverviewExercise>> FolderHistory::write(bool forPage) const {
    if (history_.known && run_.empty() && !found_) return std::nullopt;
    const fs::path file = directory_ / kHistoryFileName;
    // Where the file is left as it is, no earlier exercise was read: the run's alone.
    const auto writeText = [&](std::ostream& out) { writeHistory(history_.exercises, out, run_); };
    if (!forPage) {
        if (history_.known) writeFileAtomically(file, writeText);
        return std::nullopt;
    }
    std::ostringstream text;
    writeText(text);
    if (history_.known) writeFileAtomically(file, [&](std::ostream& out) { out << text.view(); });
    std::vector<OverviewExercise> exercises = readHistory(text.view()).exercises;
    // The page shows the folder as text, whatever the names' bytes encode.
    for (OverviewExercise& exercise : exercises)
        if (!exercise.files.empty())
            exercise.folder = nameText(exercise.files.front().substr(0, exercise.files.front().find_last_of('/') + 1));
    return exercises;
}
