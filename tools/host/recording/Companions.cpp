#include "tools/host/recording/Companions.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "framework/FileSystem.h"
#include "tools/host/recording/PersonFile.h"
#include "tools/host/time/CivilTime.h"

namespace fs = std::filesystem;

namespace {

constexpr int64_t kSecondsPerDay = 86400;

// A name with a folder part, a drive, or a folder's own: not a file of the
// diary's folder, whatever the system makes of it.
bool outsideFolder(std::string_view name) {
    return name.find_first_of("/\\:") != std::string_view::npos || name == "." || name == "..";
}

// The .ppd files of a folder, in name order.
std::vector<fs::path> personFilesIn(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code failed;
    for (fs::directory_iterator entry(folder, failed), end; !failed && entry != end; entry.increment(failed))
        if (foldedName(fw::fromPath(entry->path().extension())) == ".ppd") found.push_back(entry->path());
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

std::string foldedName(std::string_view name) {
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}

FolderCompanions::FolderCompanions(const fs::path& folder, CodePage codePage) : folder_(folder) {
    std::error_code failed;
    std::vector<std::string> diaries;
    for (fs::directory_iterator entry(folder, failed), end; !failed && entry != end; entry.increment(failed)) {
        const std::string name = fw::fromPath(entry->path().filename());
        names_.push_back(name);
        if (foldedName(fw::fromPath(entry->path().extension())) == ".pdd") diaries.push_back(name);
    }
    const auto folded = [](const std::string& a, const std::string& b) { return foldedName(a) < foldedName(b); };
    std::stable_sort(names_.begin(), names_.end(), folded);
    names_.erase(std::unique(names_.begin(), names_.end(),
                             [](const std::string& a, const std::string& b) { return foldedName(a) == foldedName(b); }),
                 names_.end());
    names_.shrink_to_fit();
    std::sort(diaries.begin(), diaries.end());
    for (const std::string& name : diaries) {
        std::string error;
        const std::optional<DayDiary> diary = readDayDiaryFile(fw::fromPath(folder / fw::toPath(name)), codePage, error);
        if (!diary) {
            unreadable_.push_back(error);
            continue;
        }
        read_.push_back(name);
        for (const std::string& problem : diary->problems) problems_.push_back(name + ": " + problem);
        // A diary named "yyyymmdd.pdd" is of that day where its [DayInfo] does not say.
        std::optional<int64_t> day = unixDays(name);
        if (diary->date)
            if (const std::optional<int64_t> stated = unixDays(diary->date->year, diary->date->month, diary->date->day))
                day = stated;
        for (const DiaryExercise& entry : diary->exercises) {
            for (const std::string* file : {&entry.exerciseFile, &entry.trackFile, &entry.rrFile})
                if (!file->empty() && outsideFolder(*file))
                    outside_.push_back(name + ": " + *file);
                else if (!file->empty() && !find(*file))
                    missing_.push_back(name + ": " + *file);
            if (day) dated_.emplace_back(*day, links_.size());
            links_.push_back({name, entry, {}});
        }
    }
    if (!links_.empty()) readPersonSports(codePage);
    links_.shrink_to_fit();
}

void FolderCompanions::readPersonSports(CodePage codePage) {
    std::vector<fs::path> files = personFilesIn(folder_);
    if (files.empty() && folder_.has_parent_path() && folder_.parent_path() != folder_)
        files = personFilesIn(folder_.parent_path());
    if (files.empty()) return;
    if (files.size() > 1) {
        std::string names;
        for (const fs::path& file : files) names += (names.empty() ? "" : ", ") + fw::fromPath(file.filename());
        problems_.push_back("person files " + names + " beside one another; which person's sports the diaries "
                            "number cannot be told, so none is read");
        return;
    }
    std::string error;
    const std::optional<PersonFile> person = readPersonFileAt(fw::fromPath(files.front()), codePage, error);
    if (!person) {
        unreadable_.push_back(error);
        return;
    }
    personFile_ = fw::fromPath(files.front().filename());
    for (const std::string& problem : person->problems) problems_.push_back(personFile_ + ": " + problem);
    for (DiaryLink& link : links_)
        if (link.entry.sport)
            if (const auto named = person->sports.find(*link.entry.sport); named != person->sports.end())
                link.sportName = named->second;
}

std::optional<fs::path> FolderCompanions::find(std::string_view name) const {
    if (outsideFolder(name)) return std::nullopt;
    const std::string wanted = foldedName(name);
    const auto found = std::lower_bound(names_.begin(), names_.end(), wanted, [](const std::string& entry,
                                                                                 const std::string& key) {
        return foldedName(entry) < key;
    });
    if (found == names_.end() || foldedName(*found) != wanted) return std::nullopt;
    return folder_ / fw::toPath(*found);
}

const DiaryLink* FolderCompanions::entryFor(std::string_view exerciseFile, int64_t start) const {
    const std::string wanted = foldedName(exerciseFile);
    for (const DiaryLink& link : links_)
        if (foldedName(link.entry.exerciseFile) == wanted) return &link;
    if (start < 0) return nullptr;
    const int64_t day = start / kSecondsPerDay, second = start % kSecondsPerDay;
    for (const auto& [diaryDay, index] : dated_) {
        const DiaryLink& link = links_[index];
        if (diaryDay == day && link.entry.exerciseFile.empty() && link.entry.start == second) return &link;
    }
    return nullptr;
}

std::optional<fs::path> FolderCompanions::exerciseOfRecording(std::string_view recordingFile) const {
    const std::string wanted = foldedName(recordingFile);
    for (const DiaryLink& link : links_)
        if (!link.entry.exerciseFile.empty() && foldedName(link.entry.rrFile) == wanted)
            return find(link.entry.exerciseFile);
    return std::nullopt;
}

void FolderCompanions::release() {
    // Assigning {} would keep the capacity.
    std::vector<std::string>().swap(names_);
    std::vector<DiaryLink>().swap(links_);
    std::vector<std::pair<int64_t, size_t>>().swap(dated_);
    released_ = true;
}

void FolderCompanions::reload(CodePage codePage) {
    FolderCompanions fresh(folder_, codePage);
    names_ = std::move(fresh.names_);
    links_ = std::move(fresh.links_);
    dated_ = std::move(fresh.dated_);
    released_ = false;
}

const FolderCompanions& Companions::of(const fs::path& folder) {
    // One folder however its path is written.
    const fs::path key = folder.lexically_normal();
    std::unique_ptr<FolderCompanions>& slot = folders_[key];
    if (!slot) {
        slot = std::make_unique<FolderCompanions>(key, codePage_);
        order_.push_back(slot.get());
    } else if (slot->released()) {
        slot->reload(codePage_);
    }
    return *slot;
}

void Companions::release(const fs::path& folder) {
    const auto found = folders_.find(folder.lexically_normal());
    if (found != folders_.end()) found->second->release();
}
