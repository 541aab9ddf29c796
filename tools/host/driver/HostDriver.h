#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/HostRecords.h"
#include "tools/host/binding/PluginBinding.h"
#include "tools/host/recording/Companions.h"
#include "tools/host/recording/ExerciseHeaders.h"
#include "tools/host/recording/RecordedSport.h"
#include "tools/host/recording/RecordingFacts.h"

// The samples of the exercise analysed last, each read from the plug-in
// when asked for (GetExerciseDatasEx into a zeroed record). The plug-in
// keeps them until the next AnalyseExercise, so the host holds one sample
// at a time however long the exercise is. Reading a sample after an
// interrupt throws fw::Interrupted.
class SampleReader {
public:
    SampleReader() = default;
    SampleReader(const PluginExports& plugin, int32_t count) : plugin_(&plugin), count_(count) {}
    int32_t count() const { return count_; }
    // `index` from 0 to count() - 1.
    SampleRecord operator[](int32_t index) const;

private:
    const PluginExports* plugin_ = nullptr;
    int32_t count_ = 0;
};

// What the host received for one exercise of a raw file. The samples are
// readable only while ReportWriter::exercise runs.
struct ExerciseReport {
    int32_t index = 0;
    int32_t sampleCount = 0;  // AnalyseExercise's result
    std::string note;
    std::optional<ExerciseSummary> summary;  // absent when GetLogSummaryEx refused
    // What the exercise file's header says, read by the host itself; absent
    // without a summary or when the file is not known.
    std::optional<RecordingFacts> facts;
    std::string entry;  // the archive entry those facts are of; empty for a single file
    // The day diary's entry for the exercise, when its folder keeps one.
    std::optional<DiaryLink> diary;
    std::vector<LapRecord> laps;
    SampleReader samples;
};

// The sport of the exercise by `rule`, the samples read where the recording must tell it.
SportChoice exerciseSport(const ExerciseReport& report, const SportRule& rule);

// Receives the report exercise by exercise, so that an archive of many long
// exercises never has to be held at once.
class ReportWriter {
public:
    virtual ~ReportWriter() = default;
    // `path` as the user named the raw file.
    virtual void beginFile(const std::string& path, int32_t exerciseCount) = 0;
    virtual void exercise(const ExerciseReport& report) = 0;
    // `withoutSamples`: the headers of the exercise files no exercise with
    // samples was found to be (R-R recordings, and files that hold none).
    virtual void endFile(const std::vector<ExerciseHeader>& withoutSamples) = 0;
    // After the last file.
    virtual void finish() = 0;
};

enum class FileOutcome {
    Analysed,     // at least one exercise gave samples
    NoExercise,   // the plug-in counted no exercise (missing file, not an archive)
    NoSamples,    // exercises were counted, none gave a sample
};

// Analyses one exercise the way the host does: AnalyseExercise, then, only
// for a sample count above 0, the summary once, every lap of the summary's
// LapCount, and the note (length first, then the text); the samples are
// read as the writer asks for them.
ExerciseReport analyseExercise(const PluginExports& plugin, const std::string& rawFile, int32_t index);

// Counts the exercises of `rawFile` (a full path) and hands each, analysed
// and with its header's facts and, where `companions` is given, its diary
// entry, to the writer. `shownPath` is what the report names the file by.
// Throws fw::Interrupted, before an exercise or a sample, after an interrupt.
FileOutcome driveRawFile(const PluginExports& plugin, const std::string& rawFile, const std::string& shownPath,
                         ReportWriter& writer, Companions* companions = nullptr);
