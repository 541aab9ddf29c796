#include "tools/host/convert/ConversionWriter.h"

#include <algorithm>
#include <filesystem>

#include "framework/FileSystem.h"
#include "framework/Zip.h"
#include "model/HrmFormat.h"
#include "model/PluginVersion.h"
#include "tools/host/convert/BeatTrack.h"
#include "tools/host/convert/FolderHistory.h"
#include "tools/host/convert/OutputNames.h"
#include "tools/host/convert/PlacedTrack.h"
#include "tools/host/convert/RecordTrack.h"
#include "tools/host/formats/Formats.h"
#include "tools/host/recording/GpsTrack.h"
#include "tools/host/recording/RRRecordings.h"
#include "tools/host/time/CivilTime.h"
#include "tools/host/time/TimeZone.h"
#include "tools/host/views/OverviewExercise.h"
#include "tools/host/views/OverviewPage.h"
#include "tools/host/views/SvgChart.h"

namespace {

namespace fs = std::filesystem;

// A GPX entry of an archive larger than this is no track of one exercise.
constexpr size_t kTrackEntryLimit = 256u << 20;

struct FormatEntry {
    ConversionFormat format;
    const char* extension;
    void (*write)(const Track&, std::ostream&);
};

FormatEntry formatEntry(ConversionFormat format) {
    switch (format) {
        case ConversionFormat::Gpx: return {format, ".gpx", &writeGpx};
        case ConversionFormat::Fit: return {format, ".fit", &writeFit};
        case ConversionFormat::Svg: return {format, ".svg", &writeSvg};
        case ConversionFormat::Tcx: break;
    }
    return {format, ".tcx", &writeTcx};
}

// One raw file of the run, as begun: made from its names when needed, not
// kept for every raw file of the run.
struct RawFileState {
    std::string shownPath, stem, name;  // name: without the directory, in UTF-8
    std::string full;
    std::string outputFolder;
    bool archive = false;
};

RawFileState fileState(const RawFileName& raw) {
    RawFileState file;
    file.shownPath = raw.shown();
    file.full = raw.full();
    file.outputFolder = raw.outputFolder();
    const fs::path name = fw::toPath(file.shownPath).filename();
    file.archive = !IsHrmFile(fw::fromPath(name));
    file.stem = fw::fromPath(name.stem());
    file.name = nameText(fw::fromPath(name));
    return file;
}

std::vector<std::string> fullPaths(const std::vector<RawFileName>& files) {
    std::vector<std::string> paths;
    for (const RawFileName& file : files) paths.push_back(file.full());
    return paths;
}

// A GPS track placed on an exercise, and the sentence the files say it in.
struct PlacedGps {
    TrackPlacement placement;
    std::string source;
};

class ConversionWriter : public ConversionRun {
public:
    ConversionWriter(const ConversionOptions& options, const std::vector<RawFileName>& rawFiles,
                     Companions& companions, RunSummary& summary, std::ostream& written, std::ostream& messages)
        : options_(options),
          companions_(companions),
          summary_(summary),
          written_(written),
          messages_(messages),
          notices_(options.verbose ? messages : quiet_),
          recordings_(fullPaths(rawFiles), &companions),
          names_(fw::toPath(options.outputDirectory)),
          rawFiles_(rawFiles),
          converted_(rawFiles.size(), false),
          history_(fw::toPath(options.outputDirectory), messages) {
        for (const ConversionFormat format : options.formats) {
            formats_.push_back(formatEntry(format));
            extensions_.push_back(formats_.back().extension);
        }
        history_.holdNames(names_);
    }

    // The files are begun in the order the run was given them; one it was
    // not given joins the run here.
    void beginFile(const std::string& path, int32_t exerciseCount) override {
        current_ = begun_++;
        if (current_ == converted_.size()) {
            joined_.emplace_back(path, path);
            converted_.push_back(false);
        }
        // Done with the folder of the file before: the next one's diaries take its place.
        const fs::path folder = fw::toPath(stateOf(current_).full).parent_path();
        if (current_ > 0 && fw::toPath(file_.full).parent_path() != folder)
            companions_.release(fw::toPath(file_.full).parent_path());
        file_ = stateOf(current_);
        exerciseCount_ = exerciseCount;
        unmatched_ = 0;
    }

    void exercise(const ExerciseReport& report) override {
        const RawFileState& file = file_;
        const std::string label = file.shownPath + (file.archive ? ", exercise " + std::to_string(report.index) : "");
        if (report.sampleCount <= 0 || !report.summary) return;
        summary_.exerciseFound();
        std::optional<RecordingFacts> facts = report.facts;
        if (!facts) {
            ++unmatched_;
            messages_ << "polarhost: " << label
                      << ": cannot read the exercise's header; taken as metric with every channel recorded\n";
            facts.emplace();
        }
        if (facts->lastRowCutOff)
            messages_ << "polarhost: " << label << ": the file ends inside its last sample row ("
                      << facts->lastRowColumns << " of " << facts->rowColumns
                      << " columns, no line end), so that sample is left out of the converted files\n";

        const int64_t wallClock = wallClockSeconds(report.summary->StartDateTime);
        TrackOrigin origin = originAt(file, wallClock, label);
        origin.exerciseIndex = report.index;
        recordedBy(origin, *facts);
        std::optional<PlacedGps> gps = placeTrack(file, report, wallClock, recordedDuration(report, *facts), origin, label);
        RecordTrack recorded(report, *facts, origin, options_.temperatureSpread, options_.textEncoding);
        describe(recorded, report, label);
        std::optional<PlacedTrack> placed;
        if (gps) placed.emplace(recorded, std::move(gps->placement), gps->source);
        Track& track = placed ? static_cast<Track&>(*placed) : recorded;

        overviewKey_ = exerciseKey(file, file.archive ? "#" + std::to_string(report.index) : "", *facts);
        overviewProfile_ = heartRateProfile(*facts);
        const fs::path base = names_.claim(file.outputFolder,
                                           file.stem + (file.archive ? "-" + std::to_string(report.index) : ""),
                                           extensions_, overviewKey_);
        // Read only when they go into a file, and let go once it is written.
        BeatSeries partnerBeats;
        const fs::path exerciseFile = file.archive ? fs::path() : fw::toPath(file.full);
        if (RRRecording* partner =
                recordings_.partnerOf(exerciseFile, *facts, report.diary ? &*report.diary : nullptr)) {
            partner->merged = true;
            summary_.recordingMerged();
            const bool carried = carries(ConversionFormat::Fit) || carries(ConversionFormat::Svg);
            if (carried) {
                partnerBeats = RRRecordings::beatsOf(*partner);
                track.carryBeats(partnerBeats.beats(), partnerBeats.intervals());
            }
            // Intervals in no file written are worth saying; a merge as asked is not, but with --verbose.
            (carried ? notices_ : messages_)
                << "polarhost: " << recordingLabel(*partner) << ": the R-R recording of " << label << " ("
                << (carried ? "its intervals merged into " + mergedInto(base)
                            : "this format has no place for its intervals; FIT and SVG have")
                << "), no file of its own\n";
        }

        const bool written = writeFiles(label, base, track,
                                        !track.dated()   ? "no valid Date=, so its samples cannot be placed in time"
                                        : !track.timed() ? "no recording interval (Interval= missing or 0), so its "
                                                           "samples cannot be placed in time"
                                                         : nullptr);
        markConverted(current_, written);
    }

    void endFile(const std::vector<ExerciseHeader>& withoutSamples) override {
        const size_t index = current_;
        const std::vector<RRRecording*> recordings = recordings_.ofFile(index);
        nameEntriesWithoutSamples(file_, withoutSamples);
        for (RRRecording* recording : recordings) {
            if (recording->merged)
                markConverted(index, true);
            else if (recordings_.partnerAfter(*recording, index))
                pending_.push_back(recording);
            else
                markConverted(index, convertRecording(*recording));
        }
        if (exerciseCount_ == 0)
            skip(file_.shownPath, RunSummary::Skip::NotRecording,
                 "not a recording (no exercise file, nor an archive of them)");
    }

    // The exercise files that gave no sample (R-R recordings aside): each by
    // its name where every exercise with samples was told by its header;
    // else by their number, among the archive's entries no exercise was told to be.
    // Entries the plug-in refused for their names are named apart; they do
    // not fail an archive whose other entries converted.
    void nameEntriesWithoutSamples(const RawFileState& file, const std::vector<ExerciseHeader>& unclaimed) {
        std::vector<const ExerciseHeader*> entries;
        for (const ExerciseHeader& entry : unclaimed)
            if (!entry.refused.empty())
                skip(file.shownPath + ", entry " + entry.entry, RunSummary::Skip::UnsafeEntry, entry.refused);
            else if (entry.facts.interval != hrm::kRRRecordingInterval)
                entries.push_back(&entry);
        if (unmatched_ == 0) {
            for (const ExerciseHeader* entry : entries) {
                const bool recording = entry->facts.version > 0;
                skip(file.shownPath + (entry->entry.empty() ? "" : ", entry " + entry->entry),
                     recording ? RunSummary::Skip::NoSample : RunSummary::Skip::NotRecording,
                     recording ? "no sample" : "not a recording (no Version= in its [Params])");
            }
        } else if (entries.size() > static_cast<size_t>(unmatched_)) {
            std::string names;
            for (const ExerciseHeader* entry : entries) names += (names.empty() ? "" : ", ") + entry->entry;
            skip(file.shownPath, RunSummary::Skip::NoSample,
                 std::to_string(entries.size() - static_cast<size_t>(unmatched_)) +
                     " of its exercises gave no sample, which of the entries " + names + " cannot be told");
        }
    }

    void finish() override {
        // Recordings whose partner came later and gave no file stand alone.
        for (RRRecording* recording : pending_)
            markConverted(recording->rawFile, recording->merged || convertRecording(*recording));
        writeOverview();
        written_ << std::flush;
    }

    bool everyFileConverted() const override {
        return std::all_of(converted_.begin(), converted_.end(), [](bool converted) { return converted; });
    }

    void skip(const std::string& label, RunSummary::Skip kind, const std::string& reason) override {
        messages_ << "polarhost: " << label << ": " << reason << "; no file written\n";
        summary_.skipped(kind, label);
    }

private:
    static constexpr char kNoPosition[] = "no position recorded, and a GPX file holds positions only";

    RawFileState stateOf(size_t index) const {
        const bool given = index < rawFiles_.size();
        return fileState(given ? rawFiles_[index] : joined_[index - rawFiles_.size()]);
    }

    // A file written, or an R-R recording merged.
    void markConverted(size_t index, bool converted) {
        if (converted) converted_[index] = true;
    }

    bool carries(ConversionFormat format) const {
        return std::any_of(formats_.begin(), formats_.end(), [&](const FormatEntry& f) { return f.format == format; });
    }

    std::string mergedInto(const fs::path& base) const {
        std::string files;
        for (const FormatEntry& format : formats_) {
            if (format.format != ConversionFormat::Fit && format.format != ConversionFormat::Svg) continue;
            fs::path path = base;
            path += format.extension;
            files += (files.empty() ? "" : " and ") + shown(path);
        }
        return files;
    }

    // Some or all of the formats asked for not written for `reason`.
    void notWritten(const std::string& label, const std::string& reason, const std::vector<std::string>& extensions,
                    RunSummary::Skip kind) {
        std::string which = "no file";
        if (extensions.size() < formats_.size()) {
            which = "no ";
            for (size_t k = 0; k < extensions.size(); ++k) {
                std::string name = extensions[k].substr(1);
                std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
                which += (k == 0 ? "" : k + 1 == extensions.size() ? " or " : ", ") + name;
            }
            which += " file";
        }
        messages_ << "polarhost: " << label << ": " << reason << "; " << which << " written\n";
        summary_.skipped(kind, label);
    }

    // The sport, and whether the recording left it generic.
    void setSport(Track& track, const SportChoice& choice, const std::string& label) {
        track.setSport(choice.sport);
        if (choice.fromRecording && choice.sport == Sport::Other) summary_.leftGeneric(label);
    }

    // The diary's name, note and energy, and the sport.
    void describe(Track& track, const ExerciseReport& report, const std::string& label) {
        const SportChoice choice = exerciseSport(report, options_.sports);
        const Sport sport = choice.sport;
        setSport(track, choice, label);
        overviewSport_.clear();
        if (!report.diary) return;
        const DiaryExercise& entry = report.diary->entry;
        const bool personal = !report.diary->sportName.empty() && !options_.sports.chosen &&
                              !options_.sports.map.given(*entry.sport);
        if (const std::optional<int32_t> diarySport = entry.sport; diarySport && !options_.sports.chosen)
            summary_.diarySport(*diarySport,
                                personal ? sportName(sport) + " by the person file's \"" + report.diary->sportName + "\""
                                : options_.sports.map.find(*diarySport)
                                    ? sportName(sport)
                                    : "unmapped, so the recording's " + sportName(sport));
        // The page names the sport as the person does.
        if (personal) overviewSport_ = report.diary->sportName;
        track.describe(entry.name, entry.note.empty() ? track.note() : entry.note, entry.energy);
    }

    // The GPS track beside the exercise placed on it, or nullopt with the
    // reason said. Where its UTC times tell the watch's offset, `origin`
    // takes it unless the user gave one.
    std::optional<PlacedGps> placeTrack(const RawFileState& file, const ExerciseReport& report,
                                             int64_t wallClock, double duration, TrackOrigin& origin,
                                             const std::string& label) {
        if (!options_.placeTracks) return std::nullopt;
        std::string name;
        GpsTrack gps;
        if (file.archive) {
            if (report.entry.empty()) return std::nullopt;
            name = fw::fromPath(fw::toPath(report.entry).stem()) + ".gpx";
            const std::optional<std::string> bytes = fw::readZipEntry(file.full, name, kTrackEntryLimit);
            if (!bytes) return std::nullopt;
            gps = readGpsTrackText(*bytes);
        } else {
            const fs::path full = fw::toPath(file.full);
            const FolderCompanions& folder = companions_.of(full.parent_path());
            std::optional<fs::path> path;
            if (report.diary && !report.diary->entry.trackFile.empty()) path = folder.find(report.diary->entry.trackFile);
            if (!path) path = folder.find(fw::fromPath(full.stem()) + ".gpx");
            if (!path) return std::nullopt;
            name = fw::fromPath(path->filename());
            gps = readGpsTrack(fw::fromPath(*path));
        }
        if (!gps.error.empty()) {
            messages_ << "polarhost: " << label << ": " << name << " not read: " << gps.error << "\n";
            summary_.trackPlaced(false);
            return std::nullopt;
        }
        // What of the file the track could not use.
        std::string unused;
        if (gps.fromRoute) unused += ", its route points taken, the file holding no track point";
        if (gps.skippedPoints > 0) unused += ", " + std::to_string(gps.skippedPoints) + " points without a valid position";
        if (gps.unreadableTimes > 0)
            unused += ", " + std::to_string(gps.unreadableTimes) + " times that could not be read";
        if (!unused.empty()) messages_ << "polarhost: " << label << ": " << name << ": " << unused.substr(2) << "\n";
        ExerciseClock clock;
        clock.start = wallClock;
        clock.duration = duration;
        clock.utcOffset = origin.utcOffset;
        clock.offsetGiven = options_.utcOffset.has_value();
        TrackPlacement placement = ::placeTrack(gps, clock, options_.tracks);
        const bool placed = placement.outcome() == TrackPlacement::Outcome::Placed;
        summary_.trackPlaced(placed);
        // A track placed without doubt is what the user expects; one not
        // placed, or placed by a doubtful reading, is worth saying.
        (placed && !placement.doubtful() ? notices_ : messages_)
            << "polarhost: " << label << ": " << name << ": " << placement.message() << "\n";
        if (!placed) return std::nullopt;
        if (const std::optional<int32_t> watch = placement.watchOffset(); watch && !options_.utcOffset) {
            origin.utcOffset = *watch;
            origin.offsetSource = TrackOrigin::OffsetSource::Track;
        }
        std::string source = "Positions from the GPS track " + nameText(name) + ", " + placement.readingText() + ".";
        return PlacedGps{std::move(placement), std::move(source)};
    }

    std::string recordingLabel(const RRRecording& recording) const {
        if (recording.rawFile == RRRecording::kNotInRun) return recording.path;
        const RawFileState file = stateOf(recording.rawFile);
        return file.shownPath + (file.archive ? ", entry " + recording.header.entry : "");
    }

    // An R-R recording from its beats; false with the reason said when it gives no file.
    bool convertRecording(const RRRecording& recording) {
        const std::string label = recordingLabel(recording);
        const RawFileState file = stateOf(recording.rawFile);
        const BeatSeries beats = RRRecordings::beatsOf(recording);
        if (beats.beats().empty()) {
            skip(label, RunSummary::Skip::NoBeat, "an R-R recording without a beat");
            return false;
        }
        summary_.exerciseFound();
        TrackOrigin origin = originAt(file, recording.header.facts.start, label);
        origin.entry = nameText(recording.header.entry);
        recordedBy(origin, recording.header.facts);
        BeatTrack track(beats, recording.header.facts, origin);
        setSport(track, chooseSport(recording.header.facts, std::optional<int32_t>(), options_.sports, {}), label);
        const std::string stem =
            file.archive ? file.stem + "-" + fw::fromPath(fw::toPath(recording.header.entry).stem()) + "-rr" : file.stem;
        overviewKey_ = exerciseKey(file, file.archive ? "#" + recording.header.entry : "", recording.header.facts);
        overviewProfile_ = heartRateProfile(recording.header.facts);
        overviewSport_.clear();
        return writeFiles(label, names_.claim(file.outputFolder, stem, extensions_, overviewKey_), track,
                          track.dated() ? nullptr
                                        : "an R-R recording without a valid Date= and StartTime=, so it cannot be "
                                          "placed in time");
    }

    // The files of every format asked for at `base`, but those the track
    // cannot fill: none but a chart when `unplacedReason` says why its samples
    // cannot be placed in time, no GPX without a position. Each kind left out
    // is said once. True when a file was written.
    bool writeFiles(const std::string& label, const fs::path& base, const Track& track, const char* unplacedReason) {
        std::vector<std::string> unplaced, noPosition;
        bool any = false;
        for (const FormatEntry& format : formats_) {
            if (format.format != ConversionFormat::Svg && unplacedReason) {
                unplaced.push_back(format.extension);
            } else if (format.format == ConversionFormat::Gpx && !track.anyPosition()) {
                noPosition.push_back(format.extension);
            } else {
                write(base, format, track);
                any = true;
            }
        }
        if (!unplaced.empty()) notWritten(label, unplacedReason, unplaced, RunSummary::Skip::NotPlaceable);
        if (!noPosition.empty()) notWritten(label, kNoPosition, noPosition, RunSummary::Skip::NoPosition);
        return any;
    }

    void write(const fs::path& base, const FormatEntry& format, const Track& track) {
        fs::path path = base;
        path += format.extension;
        std::error_code failed;
        fs::create_directories(path.parent_path(), failed);
        writeFileAtomically(path, [&](std::ostream& out) { format.write(track, out); });
        written_ << shown(path) << '\n' << std::flush;
        summary_.written(formatName(format.format));
        addToOverview(base, path, track);
    }

    // What names an exercise across runs, however its raw file was named
    // and wherever it lies: the folder below the output folder its files go
    // to, the raw file's name, `exercise` (its index or entry in an archive),
    // and its start on the file's wall clock and length where it has them,
    // which tell two persons' files of one name apart.
    std::string exerciseKey(const RawFileState& file, const std::string& exercise, const RecordingFacts& facts) const {
        // '/' between folders, as on the page, so that one folder gives one key on every system.
        const std::string generic = fw::fromPath(fs::path(fw::toPath(file.outputFolder).generic_string()));
        const std::string folder = nameText(generic);
        return (folder.empty() ? "" : folder + "/") + file.name + exercise +
               (facts.start >= 0 ? "@" + isoDateTime(facts.start, "") : "") +
               (facts.length >= 0 ? "," + std::to_string(facts.length) + "s" : "");
    }

    // The maximum heart rate of the file, else the one given for files without.
    HeartRateProfile heartRateProfile(const RecordingFacts& facts) const {
        if (facts.maximumHeartRate) return {*facts.maximumHeartRate, "the file's MaxHR"};
        if (options_.maximumHeartRate) return {*options_.maximumHeartRate, "--max-hr"};
        return {};
    }

    // The exercise at `base` on the overview page, begun with its first file.
    void addToOverview(const fs::path& base, const fs::path& path, const Track& track) {
        if (!overview_ || overviewBase_ != base) {
            if (overview_) history_.add(*overview_);
            overview_ = overviewExercise(track, overviewProfile_);
            overview_->key = overviewKey_;
            if (!overviewSport_.empty()) overview_->sport = overviewSport_;
            overviewBase_ = base;
        }
        overview_->files.push_back(history_.pageName(path));
    }

    // The history with this run's exercises, and index.html of it where
    // charts were asked for or the page is there.
    void writeOverview() {
        if (overview_) history_.add(*overview_);
        const fs::path page = fw::toPath(options_.outputDirectory) / "index.html";
        std::error_code failed;
        std::optional<std::vector<OverviewExercise>> exercises =
            history_.write(carries(ConversionFormat::Svg) || fs::exists(page, failed));
        if (!exercises) return;
        writeFileAtomically(page, [&](std::ostream& out) { writeOverviewPage(std::move(*exercises), out); });
        written_ << shown(page) << '\n';
    }

    // A path below the output folder as the user named the folder.
    std::string shown(const fs::path& path) const {
        return fw::fromPath(fw::toPath(options_.outputShown) /
                            path.lexically_relative(fw::toPath(options_.outputDirectory)));
    }

    // The monitor and the file's own number, where its header gives them.
    static void recordedBy(TrackOrigin& origin, const RecordingFacts& facts) {
        origin.monitor = facts.monitor;
        origin.monitorModel = monitorModel(facts.monitor);
        origin.serialNumber = facts.headerHash;
    }

    // Where the wall clock of raw file `file`, `wallClock` seconds since 1970,
    // lies against UTC.
    TrackOrigin originAt(const RawFileState& file, int64_t wallClock, const std::string& label) const {
        TrackOrigin origin;
        origin.converterVersion = kPluginVersion;
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
    std::vector<FormatEntry> formats_;
    std::vector<std::string> extensions_;
    Companions& companions_;
    RunSummary& summary_;
    std::ostream& written_;
    std::ostream& messages_;
    std::ostream quiet_{nullptr};  // writes nothing: the notices without --verbose
    std::ostream& notices_;
    RRRecordings recordings_;
    OutputNames names_;
    const std::vector<RawFileName>& rawFiles_;
    std::vector<RawFileName> joined_;  // begun, and not among those the run was given
    std::vector<bool> converted_;      // of every raw file, given or joined
    RawFileState file_;                // of the file begun last
    size_t begun_ = 0, current_ = 0;
    int32_t exerciseCount_ = 0;
    int32_t unmatched_ = 0;              // exercises of the current file with samples and no header known
    std::vector<RRRecording*> pending_;  // waiting for a partner in a later raw file
    std::optional<OverviewExercise> overview_;  // the run's last exercise; the others are in the history
    fs::path overviewBase_;                     // of it
    std::string overviewKey_;                 // of the exercise being written
    HeartRateProfile overviewProfile_;        // of the exercise being written
    std::string overviewSport_;               // the person file's name for its sport, or empty
    FolderHistory history_;
};

}  // namespace

RawFileName::RawFileName(std::string shown, std::string full)
    : folder_(std::make_shared<const RawFolder>(RawFolder{std::move(shown), std::move(full), ""})) {}

RawFileName::RawFileName(std::shared_ptr<const RawFolder> folder, std::string name)
    : folder_(std::move(folder)), name_(std::move(name)) {}

std::string RawFileName::shown() const {
    return name_.empty() ? folder_->shown : fw::fromPath(fw::toPath(folder_->shown) / fw::toPath(name_));
}

std::string RawFileName::full() const {
    return name_.empty() ? folder_->full : fw::fromPath(fw::toPath(folder_->full) / fw::toPath(name_));
}

const char* formatName(ConversionFormat format) {
    switch (format) {
        case ConversionFormat::Gpx: return "gpx";
        case ConversionFormat::Fit: return "fit";
        case ConversionFormat::Svg: return "svg";
        case ConversionFormat::Tcx: break;
    }
    return "tcx";
}

std::unique_ptr<ConversionRun> makeConversionWriter(const ConversionOptions& options,
                                                    const std::vector<RawFileName>& rawFiles, Companions& companions,
                                                    RunSummary& summary, std::ostream& written,
                                                    std::ostream& messages) {
    return std::make_unique<ConversionWriter>(options, rawFiles, companions, summary, written, messages);
}
