#include "tools/host/driver/HostDriver.h"

#include <cstring>
#include <filesystem>

#include "framework/FileSystem.h"
#include "framework/Interrupts.h"
#include "model/HrmFormat.h"
#include "tools/host/recording/ExerciseHeaders.h"

SampleRecord SampleReader::operator[](int32_t index) const {
    // Every report and converted file reads its samples here, so an
    // interrupt stops a long exercise within a sample.
    fw::stopIfInterrupted();
    SampleRecord sample;
    std::memset(&sample, 0, sizeof sample);
    plugin_->GetExerciseDatasEx(index, &sample);
    return sample;
}

ExerciseReport analyseExercise(const PluginExports& plugin, const std::string& rawFile, int32_t index) {
    ExerciseReport report;
    report.index = index;
    const int32_t exerciseIndex = index;
    report.sampleCount = plugin.AnalyseExercise(rawFile.c_str(), &exerciseIndex);
    // A count of 0 may leave the previous exercise in the plug-in (an archive
    // index past its files); the host then reads nothing.
    if (report.sampleCount <= 0) return report;

    ExerciseSummary summary{};
    if (plugin.GetLogSummaryEx(&summary) != 0) report.summary = summary;

    report.samples = SampleReader(plugin, report.sampleCount);

    const uint16_t lapCount = report.summary ? report.summary->LapCount : 0;
    report.laps.resize(lapCount);
    for (uint16_t k = 0; k < lapCount; ++k) {
        LapRecord& lap = report.laps[k];
        std::memset(&lap, 0, sizeof lap);
        plugin.GetLapDatasEx(k, &lap);
    }

    const int32_t noteLength = plugin.GetComment(nullptr, 0);
    if (noteLength > 0) {
        std::string buffer(static_cast<size_t>(noteLength) + 1, '\0');
        plugin.GetComment(buffer.data(), static_cast<uint32_t>(noteLength));
        // Len counts only its low 16 bits, so a very long note may come back cut.
        report.note.assign(buffer.c_str());
    }
    return report;
}

FileOutcome driveRawFile(const PluginExports& plugin, const std::string& rawFile, const std::string& shownPath,
                         ReportWriter& writer, Companions* companions) {
    const int32_t count = plugin.GetExerciseNumberFromRawFile(rawFile.c_str());
    writer.beginFile(shownPath, count);
    const bool archive = !IsHrmFile(rawFile);
    ExerciseHeaders headers(rawFile, archive);
    bool anySamples = false;
    for (int32_t i = 0; i < count; ++i) {
        fw::stopIfInterrupted();
        ExerciseReport report = analyseExercise(plugin, rawFile, i);
        if (report.summary) {
            if (const ExerciseHeader* header = headers.headerFor(*report.summary)) {
                report.facts = header->facts;
                report.entry = header->entry;
            }
        }
        // Diaries keep exercise files, not archives.
        if (companions && !archive) {
            const std::filesystem::path path = fw::toPath(rawFile);
            const int64_t start = report.facts ? report.facts->start : -1;
            if (const DiaryLink* link = companions->of(path.parent_path()).entryFor(fw::fromPath(path.filename()), start))
                report.diary = *link;
        }
        anySamples |= report.sampleCount > 0;
        writer.exercise(report);
    }
    writer.endFile(headers.unclaimed());
    if (count == 0) return FileOutcome::NoExercise;
    return anySamples ? FileOutcome::Analysed : FileOutcome::NoSamples;
}

SportChoice exerciseSport(const ExerciseReport& report, const SportRule& rule) {
    const SampleReader& samples = report.samples;
    return chooseSport(report.facts, report.diary, rule,
                       RecordedSamples{samples.count(), [&samples](int32_t index) { return samples[index]; }});
}
