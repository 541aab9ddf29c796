#include "tools/host/convert/ConversionWriter.h"

#include <algorithm>
#include <filesystem>

#include "model/HrmFormat.h"
#include "tools/host/convert/BeatTrack.h"
#include "tools/host/convert/OutputFiles.h"
#include "tools/host/convert/RecordTrack.h"
#include "tools/host/formats/Formats.h"
#include "tools/host/recording/RRRecordings.h"
#include "tools/host/recording/RecordedSport.h"
#include "tools/host/recording/TextEncoding.h"
#include "tools/host/time/CivilTime.h"
#include "tools/host/time/TimeZone.h"

namespace {

namespace fs = std::filesystem;

struct FormatEntry {
    const char* extension;
    void (*write)(const Track&, std::ostream&);
};

FormatEntry formatEntry(ConversionFormat format) {
    switch (format) {
        case ConversionFormat::Gpx: return {".gpx", &writeGpx};
        case ConversionFormat::Fit: return {".fit", &writeFit};
        case ConversionFormat::Svg: return {".svg", &writeSvg};
        case ConversionFormat::Tcx: break;
    }
    return {".tcx", &writeTcx};
}

// One raw file of the run, as begun.
struct RawFileState {
    std::string shownPath, stem, name;  // name: without the directory, in UTF-8
    bool archive = false;
    bool converted = false;  // a file written, or an R-R recording merged
};

RawFileState fileState(const std::string& shownPath, bool utf8Names) {
    RawFileState file;
    file.shownPath = shownPath;
    const fs::path name = fs::path(shownPath).filename();
    file.archive = !IsHrmFile(name.string());
    file.stem = name.stem().string();
    file.name = utf8Names ? name.string() : toUtf8(name.string(), CodePage::latin1);
    return file;
}

std::vector<std::string> fullPaths(const std::vector<RawFileName>& files) {
    std::vector<std::string> paths;
    for (const RawFileName& file : files) paths.push_back(file.full);
    return paths;
}

class ConversionWriter : public ConversionRun {
public:
    ConversionWriter(const ConversionOptions& options, const std::vector<RawFileName>& rawFiles,
                     std::ostream& written, std::ostream& messages)
        : options_(options),
          format_(formatEntry(options.format)),
          written_(written),
          messages_(messages),
          recordings_(fullPaths(rawFiles)) {
        for (const RawFileName& file : rawFiles) files_.push_back(fileState(file.shown, options.utf8Names));
    }

    // The files are begun in the order the run was given them; one it was
    // not given joins the run here.
    void beginFile(const std::string& path, int32_t exerciseCount) override {
        current_ = begun_++;
        if (current_ == files_.size()) files_.push_back(fileState(path, options_.utf8Names));
        exerciseCount_ = exerciseCount;
        withoutSamples_.clear();
    }

    void exercise(const ExerciseReport& report) override {
        RawFileState& file = files_[current_];
        const std::string label = file.shownPath + (file.archive ? ", exercise " + std::to_string(report.index) : "");
        if (report.sampleCount <= 0 || !report.summary) {
            withoutSamples_.push_back(report.index);
            return;
        }
        std::optional<RecordingFacts> facts = report.facts;
        if (!facts) {
            messages_ << "polarhost: " << label
                      << ": cannot read the exercise's header; taken as metric with every channel recorded\n";
            facts.emplace();
        }
        if (const char* reason = unplaced(*report.summary)) {
            notWritten(label, reason);
            return;
        }
        TrackOrigin origin = originAt(file, wallClockSeconds(report.summary->StartDateTime), label);
        origin.exerciseIndex = report.index;
        RecordTrack track(report, *facts, origin, options_.temperatureSpread);
        track.setSport(sportFor(report.facts, options_.sport));
        if (options_.format == ConversionFormat::Gpx && !track.anyPosition()) {
            notWritten(label, kNoPosition);
            return;
        }
        const fs::path path = outputPath(file, file.archive ? std::to_string(report.index) : "");
        if (RRRecording* partner = recordings_.partnerOf(*facts)) {
            partner->merged = true;
            const bool carried = options_.format == ConversionFormat::Fit || options_.format == ConversionFormat::Svg;
            if (carried) track.carryBeats(partner->beats.beats());
            messages_ << "polarhost: " << recordingLabel(*partner) << ": the R-R recording of " << label << " ("
                      << (carried ? "its intervals merged into " + path.string()
                                  : "this format has no place for its intervals; FIT and SVG have")
                      << "), no file of its own\n";
        }
        write(path, track);
        file.converted = true;
    }

    void endFile() override {
        RawFileState& file = files_[current_];
        const size_t index = current_;
        const std::vector<RRRecording*> recordings = recordings_.ofFile(index);
        // An R-R entry is an exercise the plug-in gave no samples; when
        // there are as many as such exercises, they are the ones.
        if (file.archive && withoutSamples_.size() != recordings.size())
            for (const int32_t exercise : withoutSamples_)
                notWritten(file.shownPath + ", exercise " + std::to_string(exercise), "no samples");
        for (RRRecording* recording : recordings) {
            if (recording->merged)
                file.converted = true;
            else if (recordings_.partnerAfter(*recording, index))
                pending_.push_back(recording);
            else
                file.converted |= convertRecording(*recording);
        }
        if (exerciseCount_ == 0)
            notWritten(file.shownPath, "no exercise (missing file or not an archive)");
        else if (!file.archive && withoutSamples_.size() == 1 && recordings.empty())
            notWritten(file.shownPath, "no exercise gave a sample");
    }

    void finish() override {
        // Recordings whose partner came later and gave no file stand alone.
        for (RRRecording* recording : pending_) {
            RawFileState& file = files_[recording->rawFile];
            file.converted |= recording->merged || convertRecording(*recording);
        }
        written_ << std::flush;
    }

    bool everyFileConverted() const override {
        return std::all_of(files_.begin(), files_.end(), [](const RawFileState& file) { return file.converted; });
    }

private:
    static constexpr char kNoPosition[] = "no position recorded, and a GPX file holds positions only";

    void notWritten(const std::string& label, const std::string& reason) {
        messages_ << "polarhost: " << label << ": " << reason << "; no file written\n";
    }

    // Why the samples of the exercise cannot be given times of day (TCX, GPX
    // and FIT need them, a chart only offsets); nullptr when they can.
    const char* unplaced(const ExerciseSummary& summary) const {
        if (options_.format == ConversionFormat::Svg) return nullptr;
        // Without a date the plug-in counts the start from 1899-12-30.
        if (double{summary.StartDateTime} < 1)
            return "no valid Date=, so its samples cannot be placed in time";
        if (summary.IntervalSec == 0)
            return "no recording interval (Interval= missing or 0), so its samples cannot be placed in time";
        return nullptr;
    }

    std::string recordingLabel(const RRRecording& recording) const {
        const RawFileState& file = files_[recording.rawFile];
        return file.shownPath + (file.archive ? ", entry " + recording.header.entry : "");
    }

    // The raw file's name, `suffix` added after a dash, with the format's extension.
    fs::path outputPath(const RawFileState& file, const std::string& suffix) const {
        std::string name = file.stem;
        if (!suffix.empty()) name.append("-").append(suffix);
        return fs::path(options_.outputDirectory) / (name + format_.extension);
    }

    // An R-R recording from its beats; false with the reason said when it gives no file.
    bool convertRecording(const RRRecording& recording) {
        const std::string label = recordingLabel(recording);
        const RawFileState& file = files_[recording.rawFile];
        if (recording.beats.beats().empty()) {
            notWritten(label, "an R-R recording without a beat");
            return false;
        }
        if (recording.header.facts.start < 0 && options_.format != ConversionFormat::Svg) {
            notWritten(label, "an R-R recording without a valid Date= and StartTime=, so it cannot be placed in time");
            return false;
        }
        if (options_.format == ConversionFormat::Gpx) {
            notWritten(label, kNoPosition);
            return false;
        }
        TrackOrigin origin = originAt(file, recording.header.facts.start, label);
        origin.entry = recording.header.entry;
        BeatTrack track(recording.beats, recording.header.facts, origin);
        track.setSport(sportFor(recording.header.facts, options_.sport));
        write(outputPath(file, file.archive ? fs::path(recording.header.entry).stem().string() : ""), track);
        return true;
    }

    void write(const fs::path& path, const Track& track) {
        writeFileAtomically(path, [&](std::ostream& out) { format_.write(track, out); });
        written_ << path.string() << '\n';
    }

    // Where the wall clock of raw file `file`, `wallClock` seconds since 1970,
    // lies against UTC.
    TrackOrigin originAt(const RawFileState& file, int64_t wallClock, const std::string& label) const {
        TrackOrigin origin;
        origin.rawFile = file.name;
        origin.archive = file.archive;
        if (options_.utcOffset) {
            origin.utcOffset = *options_.utcOffset;
            origin.offsetSource = TrackOrigin::OffsetSource::Option;
        } else if (const std::optional<int32_t> machine = machineUtcOffset(wallClock)) {
            origin.utcOffset = *machine;
        } else {
            messages_ << "polarhost: " << label
                      << ": the machine's time zone gives no offset for the start; UTC taken\n";
            origin.offsetSource = TrackOrigin::OffsetSource::Unknown;
        }
        return origin;
    }

    const ConversionOptions options_;
    const FormatEntry format_;
    std::ostream& written_;
    std::ostream& messages_;
    RRRecordings recordings_;
    std::vector<RawFileState> files_;
    size_t begun_ = 0, current_ = 0;
    int32_t exerciseCount_ = 0;
    std::vector<int32_t> withoutSamples_;  // exercises of the current file
    std::vector<RRRecording*> pending_;    // waiting for a partner in a later raw file
};

}  // namespace

std::unique_ptr<ConversionRun> makeConversionWriter(const ConversionOptions& options,
                                                    const std::vector<RawFileName>& rawFiles, std::ostream& written,
                                                    std::ostream& messages) {
    return std::make_unique<ConversionWriter>(options, rawFiles, written, messages);
}
