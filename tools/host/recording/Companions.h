#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/host/recording/DayDiary.h"

// The files that belong with an exercise file in its folder: its GPS track,
// the day diary's entry for it and, through that, its R-R recording. Names
// are matched in any case on every platform, since the monitor's software
// and copies between systems keep either.

// A day diary's entry for one exercise.
struct DiaryLink {
    std::string diary;  // the diary's file name
    DiaryExercise entry;
    // The person file's name for the entry's sport, UTF-8; empty where no
    // person file names it.
    std::string sportName;
};

class FolderCompanions {
public:
    FolderCompanions(const std::filesystem::path& folder, CodePage codePage);

    // The file of this name, in any case; nullopt when the folder has none.
    std::optional<std::filesystem::path> find(std::string_view name) const;

    // The entry of the folder's diaries that lists `exerciseFile` (a file
    // name), else one of the exercise's date and start (`start`: its wall
    // clock, seconds since 1970; -1 when unknown) that lists no file;
    // nullptr when none.
    const DiaryLink* entryFor(std::string_view exerciseFile, int64_t start) const;

    // The exercise file an R-R recording of this name belongs to, by a
    // diary entry that lists both; nullopt when none.
    std::optional<std::filesystem::path> exerciseOfRecording(std::string_view recordingFile) const;

    // The person file whose sports the diaries' numbers index: the folder's
    // own, else its parent's (the person's folder above the years' folders);
    // empty when neither folder has exactly one.
    const std::string& personFile() const { return personFile_; }

    // For the run's summary: the diaries read; those that could not be,
    // with the reason; their problems; the files they name that the folder
    // does not have ("20120722.pdd: 12072207.hrm"), and those they name in
    // another folder ("20120722.pdd: ../x.gpx"), which are never read: a
    // diary lists its folder's files by bare name.
    const std::vector<std::string>& diariesRead() const { return read_; }
    const std::vector<std::string>& unreadable() const { return unreadable_; }
    const std::vector<std::string>& problems() const { return problems_; }
    const std::vector<std::string>& missingFiles() const { return missing_; }
    const std::vector<std::string>& outsideFiles() const { return outside_; }

    // Lets go of the names and diary entries, keeping what the summary
    // needs; reload() reads them again, the summary's parts untouched.
    void release();
    bool released() const { return released_; }
    void reload(CodePage codePage);

private:
    std::filesystem::path folder_;
    bool released_ = false;
    // The names as they are, sorted by their folded form, one per folded
    // form (the first listed): a run keeps every folder's, so no map nodes.
    std::vector<std::string> names_;
    std::vector<DiaryLink> links_;
    std::vector<std::pair<int64_t, size_t>> dated_;  // diary day (days since 1970), link
    std::vector<std::string> read_, unreadable_, problems_, missing_, outside_;
    std::string personFile_;

    void readPersonSports(CodePage codePage);
};

// The folders of a run, each read when first asked for. A run over a
// lifetime archive releases a folder when done with it, so that it holds
// the diaries of one folder at a time; asked for again, a released folder
// is read again.
class Companions {
public:
    explicit Companions(CodePage codePage) : codePage_(codePage) {}
    const FolderCompanions& of(const std::filesystem::path& folder);
    void release(const std::filesystem::path& folder);
    // In the order they were first asked for.
    const std::vector<const FolderCompanions*>& folders() const { return order_; }

private:
    CodePage codePage_;
    std::map<std::filesystem::path, std::unique_ptr<FolderCompanions>> folders_;
    std::vector<const FolderCompanions*> order_;
};

// A name folded for comparison in any case (ASCII letters; other bytes as they are).
std::string foldedName(std::string_view name);
