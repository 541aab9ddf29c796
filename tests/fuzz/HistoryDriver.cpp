#include <sstream>

#include "FuzzDrivers.h"
#include "tools/host/convert/History.h"

namespace fuzzing {

namespace {

std::string historyText(const std::vector<OverviewExercise>& exercises) {
    std::ostringstream out;
    writeHistory(exercises, out);
    return out.str();
}

// A path that is not below the folder it is read in, on any system: empty
// or absolute, with a drive, or with a part "..".
bool leavesFolder(const std::string& path) {
    if (path.empty() || path.front() == '/' || path.front() == '\\' || (path.size() > 1 && path[1] == ':')) return true;
    const std::string marked = "/" + path + "/";
    for (const char* up : {"/../", "\\..\\", "/..\\", "\\../"})
        if (marked.find(up) != std::string::npos) return true;
    return false;
}

}  // namespace

Problems driveHistory(const Workspace&, std::string_view input) {
    Problems problems;
    const History history = readHistory(input);
    for (const std::string& problem : history.problems) {
        if (problem.empty()) problems.push_back("history: empty problem");
        if (problem.find_first_of("\r\n") != std::string::npos) problems.push_back("history: problem of two lines");
    }
    if (!history.known && !history.exercises.empty()) problems.push_back("history: lines read of another version");
    // What was read is written, read and written again alike: a rerun
    // changes nothing.
    const std::string written = historyText(history.exercises);
    const History again = readHistory(written);
    if (!again.problems.empty()) problems.push_back("history: its own text not read back: " + again.problems.front());
    if (again.exercises.size() != history.exercises.size()) problems.push_back("history: exercises lost on rereading");
    if (historyText(again.exercises) != written) problems.push_back("history: written otherwise after rereading");
    for (const OverviewExercise& exercise : history.exercises) {
        if (exercise.key.empty()) problems.push_back("history: an exercise without key");
        if (exercise.files.empty()) problems.push_back("history: an exercise without file");
        if (!exercise.zoneSeconds.empty() && exercise.zoneSeconds.size() != 5)
            problems.push_back("history: zones not five");
        for (const std::string& file : exercise.files)
            if (leavesFolder(file)) problems.push_back("history: a file outside the folder taken: " + file);
    }
    return problems;
}

}  // namespace fuzzing
