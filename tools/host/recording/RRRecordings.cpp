#include "tools/host/recording/RRRecordings.h"

#include <algorithm>
#include <map>

#include "framework/FileSystem.h"
#include "model/HrmFormat.h"

namespace fs = std::filesystem;

namespace {

// Far beyond a day of beats at five bytes a row.
constexpr size_t kRecordingLimit = 16u << 20;

std::string normal(const fs::path& path) { return fw::fromPath(path.lexically_normal()); }

}  // namespace

RRRecordings::RRRecordings(const std::vector<std::string>& rawFiles, Companions* companions)
    : companions_(companions) {
    // A folder's diaries are let go when its files are read, and read again
    // when they are converted, so that no more than one folder's are held.
    fs::path folderBefore;
    std::map<std::string, size_t> exerciseFiles;  // for the diaries' links, while they are read
    for (size_t file = 0; file < rawFiles.size(); ++file) {
        const std::string path = normal(fw::toPath(rawFiles[file]));
        const fs::path folder = fw::toPath(path).parent_path();
        if (companions && file > 0 && folder != folderBefore) companions->release(folderBefore);
        folderBefore = folder;
        const bool archive = !IsHrmFile(rawFiles[file]);
        std::vector<ExerciseHeader> rr;
        for (ExerciseHeader& header : readExerciseHeaders(rawFiles[file], archive)) {
            if (header.facts.interval == hrm::kRRRecordingInterval)
                rr.push_back(std::move(header));
            else
                others_.push_back({file, header.facts.start});
        }
        if (!others_.empty() && others_.back().rawFile == file) exerciseFiles[path] = file;
        std::string diaryPartner;
        if (companions && !archive)
            if (const std::optional<fs::path> partner =
                    companions->of(folder).exerciseOfRecording(fw::fromPath(fw::toPath(path).filename())))
                diaryPartner = normal(*partner);
        add(file, path, std::move(rr), diaryPartner);
    }
    if (companions && !rawFiles.empty()) companions->release(folderBefore);
    for (const std::unique_ptr<RRRecording>& recording : recordings_)
        if (const auto found = exerciseFiles.find(recording->diaryPartner); found != exerciseFiles.end())
            recording->diaryPartnerFile = found->second;
}

void RRRecordings::add(size_t rawFile, const std::string& path, std::vector<ExerciseHeader> headers,
                       const std::string& diaryPartner) {
    for (ExerciseHeader& header : headers) {
        auto recording = std::make_unique<RRRecording>();
        recording->rawFile = rawFile;
        recording->path = path;
        recording->header = std::move(header);
        recording->diaryPartner = diaryPartner;
        recordings_.push_back(std::move(recording));
    }
}

BeatSeries RRRecordings::beatsOf(const RRRecording& recording) {
    return BeatSeries::fromFileText(readExerciseText(recording.path, recording.header, kRecordingLimit));
}

RRRecording* RRRecordings::partnerOf(const fs::path& exerciseFile, const RecordingFacts& facts,
                                     const DiaryLink* diary) {
    if (facts.interval == hrm::kRRRecordingInterval) return nullptr;
    const std::string exercise = exerciseFile.empty() ? std::string() : normal(exerciseFile);
    if (diary && companions_ && !diary->entry.rrFile.empty() && !exercise.empty()) {
        if (const std::optional<fs::path> found =
                companions_->of(fw::toPath(exercise).parent_path()).find(diary->entry.rrFile)) {
            const std::string path = normal(*found);
            for (const std::unique_ptr<RRRecording>& recording : recordings_)
                if (recording->header.entry.empty() && recording->path == path)
                    return recording->merged ? nullptr : recording.get();
            std::vector<ExerciseHeader> headers = readExerciseHeaders(path, false);
            if (!headers.empty() && headers.front().facts.interval == hrm::kRRRecordingInterval) {
                add(RRRecording::kNotInRun, path, std::move(headers), exercise);
                return recordings_.back().get();
            }
        }
    }
    if (facts.start < 0) return nullptr;
    for (const std::unique_ptr<RRRecording>& recording : recordings_)
        if (!recording->merged && recording->header.facts.start == facts.start &&
            (recording->diaryPartner.empty() || recording->diaryPartner == exercise))
            return recording.get();
    return nullptr;
}

std::vector<RRRecording*> RRRecordings::ofFile(size_t rawFile) {
    std::vector<RRRecording*> found;
    for (const std::unique_ptr<RRRecording>& recording : recordings_)
        if (recording->rawFile == rawFile) found.push_back(recording.get());
    return found;
}

bool RRRecordings::partnerAfter(const RRRecording& recording, size_t rawFile) const {
    const int64_t start = recording.header.facts.start;
    return std::any_of(others_.begin(), others_.end(), [&](const ExerciseStart& other) {
        if (other.rawFile <= rawFile) return false;
        if (!recording.diaryPartner.empty()) return other.rawFile == recording.diaryPartnerFile;
        return start >= 0 && other.start == start;
    });
}
