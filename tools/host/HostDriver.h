#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/HostRecords.h"
#include "tools/host/PluginBinding.h"

// What the host received for one exercise of a raw file.
struct ExerciseReport {
    int32_t index = 0;
    int32_t sampleCount = 0;  // AnalyseExercise's result
    std::string note;
    std::optional<ExerciseSummary> summary;  // absent when GetLogSummaryEx refused
    std::vector<LapRecord> laps;
    std::vector<SampleRecord> samples;
};

// Receives the report exercise by exercise, so that an archive of many long
// exercises never has to be held at once.
class ReportWriter {
public:
    virtual ~ReportWriter() = default;
    virtual void beginFile(const std::string& path, int32_t exerciseCount) = 0;
    virtual void exercise(const ExerciseReport& report) = 0;
    virtual void endFile() = 0;
    // After the last file.
    virtual void finish() = 0;
};

enum class FileOutcome {
    Analysed,     // at least one exercise gave samples
    NoExercise,   // the plug-in counted no exercise (missing file, not an archive)
    NoSamples,    // exercises were counted, none gave a sample
};

// Analyses one exercise the way the host does: AnalyseExercise, then, only
// for a sample count above 0, the summary once, every sample, every lap of
// the summary's LapCount, and the note (length first, then the text).
ExerciseReport analyseExercise(const PluginExports& plugin, const std::string& rawFile, int32_t index);

// Counts the exercises of `rawFile` (a full path) and analyses each in turn.
// `shownPath` is what the report names the file by.
FileOutcome driveRawFile(const PluginExports& plugin, const std::string& rawFile, const std::string& shownPath,
                         ReportWriter& writer);
