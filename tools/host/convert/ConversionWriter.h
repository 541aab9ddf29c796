#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/host/convert/OutputFiles.h"
#include "tools/host/convert/RunSummary.h"
#include "tools/host/convert/TrackPlacement.h"
#include "tools/host/driver/HostDriver.h"
#include "tools/host/recording/Companions.h"
#include "tools/host/recording/RecordedSport.h"
#include "tools/host/recording/TextEncoding.h"

enum class ConversionFormat { Tcx, Gpx, Fit, Svg };
inline constexpr ConversionFormat kConversionFormats[] = {ConversionFormat::Tcx, ConversionFormat::Gpx,
                                                          ConversionFormat::Fit, ConversionFormat::Svg};

// "tcx", "gpx", "fit", "svg".
const char* formatName(ConversionFormat format);

struct ConversionOptions {
    std::vector<ConversionFormat> formats = {ConversionFormat::Tcx};
    std::string outputDirectory;       // exists; full, as every file is written through it
    std::string outputShown;           // the same folder as the user named it, in the paths printed
    std::optional<int32_t> utcOffset;  // seconds east of UTC; nullopt: the machine's time zone
    SportRule sports;
    bool temperatureSpread = true;  // the plug-in's ModulateTemp: samples carry the laps' temperatures
    bool placeTracks = true;        // the plug-in's GPS: a GPS track beside an exercise gives its positions
    PlacementOptions tracks;        // --track-offset, --track-by-order
    CodePage textEncoding = CodePage::windows1252;  // of the exercise files' notes and the day diaries
    bool verbose = false;  // also say what went as it should: an R-R recording merged, a track placed
    std::optional<int> maximumHeartRate;  // bpm, --max-hr: for files that give none
};

// A folder of raw files as the user named it (or as found in a folder
// named), as the plug-in gets it, and the folder below the output folder
// their files go into.
struct RawFolder {
    std::string shown, full;
    std::string outputFolder;
};

// A raw file: its names made from its folder's, which the files of a folder
// share, so that the thousands of a lifetime archive take little room.
class RawFileName {
public:
    // A file named by itself: `shown` as the user named it, `full` as the plug-in gets it.
    RawFileName(std::string shown, std::string full);
    // File `name` of `folder`.
    RawFileName(std::shared_ptr<const RawFolder> folder, std::string name);

    std::string shown() const;
    std::string full() const;
    const std::string& outputFolder() const { return folder_->outputFolder; }

private:
    std::shared_ptr<const RawFolder> folder_;
    std::string name_;  // empty for a file named by itself: the folder's names are its own
};

// A run of conversions over raw files, driven like any report.
class ConversionRun : public ReportWriter {
public:
    // After finish(): true when every raw file gave a converted file, its
    // own or, for an R-R recording, the file of the exercise it was made beside.
    virtual bool everyFileConverted() const = 0;
    // Says, with the reason, that `label` gives no file, and counts it.
    virtual void skip(const std::string& label, RunSummary::Skip kind, const std::string& reason) = 0;
};

// Writes the files of every format asked for, per exercise that gave
// samples, into the output directory below the raw file's output folder,
// named after the raw file: ride.tcx for ride.hrm, Connect-0.fit,
// Connect-1.fit ... (the exercise index added) for an archive; every name
// unique in the run. An R-R recording, to which the plug-in gives no
// samples, is converted from its beats (Connect-ENTRY-rr.fit for an archive
// entry), unless an exercise takes it: the one its day diary names, or one
// of the same start among `rawFiles`; then its intervals go into that
// exercise's FIT and SVG. A GPS track beside an exercise (named by its diary,
// or of the same name in any case) is placed by the converter itself. Each
// file is written under a temporary name and renamed when complete. The path
// of each written file goes to `written`, below the output folder as the
// user named it, as soon as the file is whole; what could not be converted as
// asked goes to `messages`, and with `verbose` also what was merged or
// placed; what the run did, to `summary`. The output directory's history
// (index.tsv) keeps every exercise converted into it across runs: no name it
// gives an exercise of another raw file is taken, and finish() writes it with
// the run's exercises and, where SVG is among the formats or a page is there,
// index.html, the overview page of them all. exercise(), endFile() and
// finish() throw OutputError when a file cannot be written. `rawFiles`
// outlives the run, which keeps no copy: a lifetime archive has thousands.
std::unique_ptr<ConversionRun> makeConversionWriter(const ConversionOptions& options,
                                                    const std::vector<RawFileName>& rawFiles, Companions& companions,
                                                    RunSummary& summary, std::ostream& written,
                                                    std::ostream& messages);
