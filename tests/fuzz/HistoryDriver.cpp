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
            if (file.empty() || file.front() == '/' || file.find("..") == 0 || file.find("/../") != std::string::npos)
                problems.push_back("history: a file outside the folder taken: " + file);
    }
    return problems;
}

}  // namespace fuzzing
