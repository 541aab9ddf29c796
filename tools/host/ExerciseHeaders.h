#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/HostRecords.h"
#include "tools/host/RecordingFacts.h"

// The headers of the exercise files behind one raw file, read by the host
// itself: the file for an `.hrm`, each `.hrm` entry for an archive.
class ExerciseHeaders {
public:
    // `archive`: the raw file is taken as an archive, as the plug-in takes
    // every name not ending in ".hrm". A file that cannot be read gives no
    // headers.
    ExerciseHeaders(const std::string& rawFile, bool archive);

    // The facts of the exercise the summary describes: the single file's,
    // or those of the first archive entry whose header matches the
    // summary. The plug-in numbers an archive's exercises by its own
    // listing of the extracted files, which the host cannot see, so the
    // entry is found by what its header says. nullopt when none is known.
    std::optional<RecordingFacts> factsFor(const ExerciseSummary& summary) const;

private:
    bool archive_;
    std::vector<RecordingFacts> headers_;
};
