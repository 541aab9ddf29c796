#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/host/binding/PluginBinding.h"
#include "tools/host/convert/ConversionWriter.h"
#include "tools/host/report/ReportWriters.h"

// The command line of polarhost.
struct HostOptions {
    std::string settings;  // empty: a path that does not exist, so the defaults apply
    std::string library;   // empty: PolarImport.dll beside the program
    ReportFormat format = ReportFormat::Table;
    std::vector<ConversionFormat> conversions;  // not empty: files into `output` instead of a report
    std::string output;
    std::optional<int32_t> utcOffset;
    SportRule sports;
    CodePage textEncoding = CodePage::windows1252;
    std::optional<int> maximumHeartRate;  // --max-hr
    PlacementOptions tracks;
    std::vector<std::string> files;
    std::string importTarget;  // --import: the directory the import dialog archives into
    std::string configure;     // --configure: the settings file the configuration dialog edits
    bool verbose = false;      // --verbose: converting, also say what went as it should
    bool help = false;
};

// Returns false with `error` set for a usage error. What `program` lacks
// (--dll, --import, --configure) is a usage error too.
bool parseOptions(int argc, char** argv, const HostProgram& program, HostOptions& options, std::string& error);

// The --help text of `program`, naming only what it has.
std::string usageText(const HostProgram& program);
