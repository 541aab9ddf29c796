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

// A name of the page, UTF-8, as the file system's bytes where names are
// read as Latin-1: the page got them through toUtf8(name, latin1).
std::string latin1Bytes(const std::string& utf8) {
    std::string bytes;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size()) {
            bytes += static_cast<char>((lead & 0x03) << 6 | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else {
            bytes += utf8[i];
        }
    }
    return bytes;
}

}  // namespace

FolderHistory::FolderHistory(fs::path directory, bool utf8Names, std::ostream& messages)
    : directory_(std::move(directory)), utf8Names_(utf8Names) {
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
        std::erase_if(exercise.files, [&](const std::string& file) { return !fs::exists(diskPath(file), failed); });
        if (!exercise.files.empty()) kept.push_back(std::move(exercise));
    }
    history_.exercises = std::move(kept);
}

void FolderHistory::holdNames(OutputNames& names) const {
    for (const OverviewExercise& exercise : history_.exercises)
        for (const std::string& file : exercise.files) names.hold(utf8Names_ ? file : latin1Bytes(file), exercise.key);
}

std::string FolderHistory::pageName(const fs::path& path) const {
    const fs::path below = path.lexically_relative(directory_);
    const std::string relative = fw::fromPath(fs::path(below.generic_string()));
    return utf8Names_ ? relative : toUtf8(relative, CodePage::latin1);
}

fs::path FolderHistory::diskPath(const std::string& pageName) const {
    return directory_ / fw::toPath(utf8Names_ ? pageName : latin1Bytes(pageName));
}

std::optional<std::vector<OverviewExercise>> FolderHistory::write(const std::vector<OverviewExercise>& run) const {
    if (!history_.known) return run;
    if (run.empty() && !found_) return std::nullopt;
    std::ostringstream text;
    writeHistory(mergeHistory(history_.exercises, run), text);
    writeFileAtomically(directory_ / kHistoryFileName, [&](std::ostream& out) { out << text.str(); });
    return readHistory(text.str()).exercises;
}
