#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/host/driver/HostDriver.h"
#include "tools/host/convert/OutputFiles.h"
#include "tools/host/track/Sport.h"

enum class ConversionFormat { Tcx, Gpx, Fit, Svg };

struct ConversionOptions {
    ConversionFormat format = ConversionFormat::Tcx;
    std::string outputDirectory;       // exists
    std::optional<int32_t> utcOffset;  // seconds east of UTC; nullopt: the machine's time zone
    bool utf8Names = true;             // file names are UTF-8; otherwise the ANSI code page, read as Latin-1
    std::optional<Sport> sport;        // --sport: instead of the one the recording tells
    bool temperatureSpread = true;     // the plug-in's ModulateTemp: samples carry the laps' temperatures
};

// A raw file as the user named it and as the plug-in gets it.
struct RawFileName {
    std::string shown, full;
};

// A run of conversions over raw files, driven like any report.
class ConversionRun : public ReportWriter {
public:
    // After finish(): true when every raw file gave a converted file, its
    // own or, for an R-R recording, the file of the exercise it was made beside.
    virtual bool everyFileConverted() const = 0;
};

// Writes one file per exercise that gave samples into the output
// directory, named after the raw file: ride.tcx for ride.hrm, Connect-0.fit,
// Connect-1.fit ... (the exercise index added) for an archive. An R-R
// recording, to which the plug-in gives no samples, is converted from its
// beats (Connect-ENTRY.fit for an archive entry), unless an exercise of the
// same start among `rawFiles` (in the order they are driven)
// takes it: then its intervals go into that exercise's FIT and SVG. Each
// file is written under a temporary name and renamed when complete. The
// path of each written file goes to `written`; what could not be converted
// as asked, or was merged, goes to `messages`. exercise(), endFile() and
// finish() throw OutputError when a file cannot be written.
std::unique_ptr<ConversionRun> makeConversionWriter(const ConversionOptions& options,
                                                    const std::vector<RawFileName>& rawFiles, std::ostream& written,
                                                    std::ostream& messages);
