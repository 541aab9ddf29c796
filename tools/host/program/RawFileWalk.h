#pragma once

#include <string>
#include <vector>

#include "tools/host/convert/ConversionWriter.h"
#include "tools/host/convert/RunSummary.h"

// The raw files of a conversion run. What is a raw file is decided by its
// name, in any case: .hrm and .hrz are converted; .gpx tracks and .pdd day
// diaries are companions, used where they belong; other files found in a
// folder are counted. A folder is walked with its subfolders, in name
// order, and each raw file's converted files go into the folder below the
// output folder that mirrors where it lies below the folder named. A link
// to a folder is followed, and each folder walked once, however many paths
// lead to it.
struct RawFileWalk {
    std::vector<RawFileName> rawFiles;
    // A name given or found that gives no raw file: missing, unreadable
    // (with the system's reason; a folder too), or a file that is no raw
    // file nor a companion.
    struct Failure {
        std::string shown;
        RunSummary::Skip kind;
        std::string reason;
    };
    std::vector<Failure> failures;
    // Paths to folders the walk had already gone through (a link back into
    // a folder it lies in, or a second path to one), not walked again. No
    // file is lost by them, so they do not fail the run.
    std::vector<Failure> notWalked;
    std::vector<std::string> others;  // files of the folders that are none of these
};

// A path named on the command line: as given, which messages show, and
// full, made so at the start, before the plug-in's clean-up changes the
// current directory; every file is reached through the full path.
struct NamedPath {
    std::string shown, full;
};
NamedPath namedPath(const std::string& given);

RawFileWalk walkRawFiles(const std::vector<NamedPath>& arguments);

// A path as the plug-in wants it, full; as given when it cannot be made so.
std::string fullPath(const std::string& path);
