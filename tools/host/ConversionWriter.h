#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

#include "tools/host/HostDriver.h"

enum class ConversionFormat { Tcx, Gpx, Fit, Svg };

struct ConversionOptions {
    ConversionFormat format = ConversionFormat::Tcx;
    std::string outputDirectory;       // exists
    std::optional<int32_t> utcOffset;  // seconds east of UTC; nullopt: the machine's time zone
    bool utf8Names = true;             // file names are UTF-8; otherwise the ANSI code page, read as Latin-1
};

// A converted file could not be written; nothing of it is left behind.
class OutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes one file per exercise that gave samples into the output
// directory, named after the raw file: ride.tcx for ride.hrm, Connect-0.fit,
// Connect-1.fit ... (the exercise index added) for an archive. Each file is
// written under a temporary name and renamed when complete. The path of
// each written file goes to `written`; what could not be converted as
// asked goes to `messages`. exercise() throws OutputError when a file
// cannot be written.
std::unique_ptr<ReportWriter> makeConversionWriter(const ConversionOptions& options, std::ostream& written,
                                                   std::ostream& messages);
