#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/HostRecords.h"
#include "tools/host/recording/RecordingFacts.h"

// One exercise file behind a raw file and what its header says.
struct ExerciseHeader {
    std::string entry;  // its name in the archive; empty for a single file
    RecordingFacts facts;
    // Why the plug-in leaves the archive entry unread, its name leading out of
    // the folder it would be extracted to or into a folder there; empty for
    // an entry it reads. Such an entry's control characters show as '?'.
    std::string refused;
};

// The headers of the exercise files behind one raw file, read by the host
// itself: the file for an `.hrm`, each `.hrm` entry the plug-in extracts for
// an archive (`archive`: the raw file is taken as one). A file that cannot be
// read gives none. The archive's entries the plug-in refuses for their names
// go to `refused` when given.
std::vector<ExerciseHeader> readExerciseHeaders(const std::string& rawFile, bool archive,
                                                std::vector<ExerciseHeader>* refused = nullptr);

// The whole text of the exercise file `header` names behind `rawFile`, up
// to about `maxBytes`; empty where it cannot be read.
std::string readExerciseText(const std::string& rawFile, const ExerciseHeader& header, size_t maxBytes);

class ExerciseHeaders {
public:
    ExerciseHeaders(const std::string& rawFile, bool archive);

    // The header of the exercise the summary describes: the single file's,
    // or that of the first archive entry not yet given to an exercise whose
    // header matches the summary. The plug-in numbers an archive's exercises
    // by its own listing of the extracted files, which the host cannot see,
    // so the entry is found by what its header says. nullptr when none is known.
    const ExerciseHeader* headerFor(const ExerciseSummary& summary);
    // The headers no exercise was given: those of the exercises the plug-in
    // gave no samples (a single file's, or an archive's entries), and the
    // entries it refused, last.
    std::vector<ExerciseHeader> unclaimed() const;

private:
    bool archive_;
    std::vector<ExerciseHeader> refused_;  // filled as headers_ is read
    std::vector<ExerciseHeader> headers_;
    std::vector<bool> claimed_;
};
