#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/host/views/OverviewPage.h"

// What the overview page knows of every exercise converted into an output
// folder, kept beside index.html so that each run adds to the page instead
// of replacing it. A text file of one exercise a line, columns separated by
// tabs, behind a line naming the format and its version and a line naming
// the columns; in a text column a tab, a line end and a backslash are
// written \t, \n, \r and \\.
inline constexpr char kHistoryFileName[] = "index.tsv";

struct History {
    std::vector<OverviewExercise> exercises;
    // One sentence per line that could not be read and was skipped.
    std::vector<std::string> problems;
    // False when the text is of another version of the format (or none):
    // then no line was read, and the file must not be written over.
    bool known = true;
};

// The exercises of a history file's text. A line that cannot be read is
// skipped and said; an empty text is an empty history.
History readHistory(std::string_view text);

// One exercise's line of the history's text, without its line end.
std::string historyLine(const OverviewExercise& exercise);

// The history's text: the exercises in the order given, merged with `run`,
// the lines (historyLine) of a run's exercises: the entries whose key the
// run converted again give way to the run's entries of that key, in the
// place of the first of them; the run's other entries follow in their
// order. Files of a replaced entry that the run wrote no new file beside
// are gone from the page, those at the same path but for the extension kept.
void writeHistory(const std::vector<OverviewExercise>& exercises, std::ostream& out,
                  const std::vector<std::string>& run = {});
