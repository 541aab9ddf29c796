#pragma once

#include <cstddef>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "tools/host/recording/BeatSeries.h"
#include "tools/host/recording/Companions.h"
#include "tools/host/recording/ExerciseHeaders.h"

// One R-R recording: the plug-in gives it no samples, so the host reads its
// beats itself, when they are written (RRRecordings::beatsOf).
struct RRRecording {
    static constexpr size_t kNotInRun = std::numeric_limits<size_t>::max();
    size_t rawFile = kNotInRun;  // index of its raw file in the run; kNotInRun for one only a diary named
    // Paths are kept as text, normalised: a run keeps one or two per raw
    // file, and a std::filesystem::path holds each of its parts besides.
    std::string path;  // its raw file
    ExerciseHeader header;
    bool merged = false;  // its beats went into the file of the exercise made beside it
    // The exercise file a day diary makes it the R-R recording of; empty when
    // none does. `diaryPartnerFile`: its index in the run; kNotInRun when not given.
    std::string diaryPartner;
    size_t diaryPartnerFile = kNotInRun;
};

// The R-R recordings of a run, and the start of every other exercise, read
// before anything is converted: a monitor's software numbers the sample
// file and the R-R file of one exercise one after the other with the same
// Date and StartTime, either may come first, and its day diary names both.
// Only their headers are kept for the run; the beats, which may be a day's
// worth each, are read when written, so that a run holds those of one
// recording at a time whatever the size of the archive.
class RRRecordings {
public:
    // `companions` may be null: then no diary links them.
    RRRecordings(const std::vector<std::string>& rawFiles, Companions* companions);

    // The recording to merge into an exercise not yet merged: the R-R file
    // its diary entry names (read now when the run was not given it) wins;
    // else one of the same start that no diary gives another exercise.
    // `exerciseFile`: the exercise's raw file when it is a single file.
    // nullptr when none.
    RRRecording* partnerOf(const std::filesystem::path& exerciseFile, const RecordingFacts& facts,
                           const DiaryLink* diary);
    // The recordings behind raw file `rawFile`.
    std::vector<RRRecording*> ofFile(size_t rawFile);
    // True when an exercise of a raw file after `rawFile` may still merge `recording`.
    bool partnerAfter(const RRRecording& recording, size_t rawFile) const;
    // The beats of `recording`, read now; none where it cannot be read.
    static BeatSeries beatsOf(const RRRecording& recording);

private:
    // The R-R recordings `headers` gives behind raw file `path`.
    void add(size_t rawFile, const std::string& path, std::vector<ExerciseHeader> headers,
             const std::string& diaryPartner);

    struct ExerciseStart {
        size_t rawFile;
        int64_t start;
    };
    std::vector<std::unique_ptr<RRRecording>> recordings_;
    std::vector<ExerciseStart> others_;
    Companions* companions_;
};
