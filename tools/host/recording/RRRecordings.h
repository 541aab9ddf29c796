#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/host/recording/BeatSeries.h"
#include "tools/host/recording/ExerciseHeaders.h"

// One R-R recording among the raw files of a run: the plug-in gives it no
// samples, so the host reads its beats itself.
struct RRRecording {
    size_t rawFile = 0;  // index of its raw file in the run
    ExerciseHeader header;
    BeatSeries beats;
    bool merged = false;  // its beats went into the file of the exercise made beside it
};

// The R-R recordings of every raw file of a run, and the start of every
// other exercise, read before anything is converted: a monitor's software
// numbers the sample file and the R-R file of one exercise one after the
// other with the same Date and StartTime, and either may come first.
class RRRecordings {
public:
    explicit RRRecordings(const std::vector<std::string>& rawFiles);

    // The recording not yet merged that shares the start of the exercise
    // `facts` describes; nullptr when none.
    RRRecording* partnerOf(const RecordingFacts& facts);
    // The recordings behind raw file `rawFile`.
    std::vector<RRRecording*> ofFile(size_t rawFile);
    // True when an exercise of a raw file after `rawFile` shares the start
    // of `recording`, so that it may still merge it.
    bool partnerAfter(const RRRecording& recording, size_t rawFile) const;

private:
    struct ExerciseStart {
        size_t rawFile;
        int64_t start;
    };
    std::vector<RRRecording> recordings_;
    std::vector<ExerciseStart> others_;
};
