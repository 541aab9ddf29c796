#include "tools/host/recording/RRRecordings.h"

#include <algorithm>

#include "model/HrmFormat.h"

namespace {

// Far beyond a day of beats at five bytes a row.
constexpr size_t kRecordingLimit = 16u << 20;

}  // namespace

RRRecordings::RRRecordings(const std::vector<std::string>& rawFiles) {
    for (size_t file = 0; file < rawFiles.size(); ++file) {
        std::vector<ExerciseHeader> rr;
        for (ExerciseHeader& header : readExerciseHeaders(rawFiles[file], !IsHrmFile(rawFiles[file]))) {
            if (header.facts.interval == hrm::kRRRecordingInterval)
                rr.push_back(std::move(header));
            else
                others_.push_back({file, header.facts.start});
        }
        const std::vector<std::string> texts = readExerciseTexts(rawFiles[file], rr, kRecordingLimit);
        for (size_t k = 0; k < rr.size(); ++k)
            recordings_.push_back({file, std::move(rr[k]), BeatSeries::fromFileText(texts[k]), false});
    }
}

RRRecording* RRRecordings::partnerOf(const RecordingFacts& facts) {
    if (facts.start < 0 || facts.interval == hrm::kRRRecordingInterval) return nullptr;
    for (RRRecording& recording : recordings_)
        if (!recording.merged && recording.header.facts.start == facts.start) return &recording;
    return nullptr;
}

std::vector<RRRecording*> RRRecordings::ofFile(size_t rawFile) {
    std::vector<RRRecording*> found;
    for (RRRecording& recording : recordings_)
        if (recording.rawFile == rawFile) found.push_back(&recording);
    return found;
}

bool RRRecordings::partnerAfter(const RRRecording& recording, size_t rawFile) const {
    const int64_t start = recording.header.facts.start;
    return start >= 0 && std::any_of(others_.begin(), others_.end(), [&](const ExerciseStart& other) {
               return other.rawFile > rawFile && other.start == start;
           });
}
