// What a conversion run tells on standard error: what could not be converted
// as asked and the summary, what went as it should only with --verbose, and
// on a terminal a line of how far it is, which no message is mixed into.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/host/ConvertFixture.h"
#include "tests/shared/DiaryText.h"

namespace {

namespace fs = std::filesystem;

using RunMessages = ConvertFixture;
using RunMessages_verbose = RunMessages;
using RunMessages_progress = RunMessages;

// A day where everything belongs together: the ride, its R-R recording
// (met first, and of another start: only the diary links them) and its
// track, and the diary that names them.
void writeDay(const std::string& folder) {
    fs::create_directories(folder);
    writeFile(folder + "/24051201.hrm", rrText("09:59:58.0", {"800", "810", "820", "830"}));
    writeFile(folder + "/24051202.hrm", hrmText(rideWithLaps()));
    writeFile(folder + "/phone.gpx", rideTrackText());
    writeFile(folder + "/20240512.pdd",
              diaryText({{36000, 2, 500, "Ride", "", "24051202.hrm", "phone.gpx", "24051201.hrm"}}));
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The lines a terminal shows for `text`: a carriage return goes back to
// the line's start, later characters overwrite earlier ones, blanks at a
// line's end are not seen. The last line is the one the cursor is on.
std::vector<std::string> screenLines(const std::string& text) {
    std::vector<std::string> lines(1);
    size_t column = 0;
    for (const char c : text) {
        std::string& line = lines.back();
        if (c == '\r') {
            column = 0;
        } else if (c == '\n') {
            lines.emplace_back();
            column = 0;
        } else {
            if (column < line.size()) line[column] = c;
            else line += c;
            ++column;
        }
    }
    for (std::string& line : lines) line.erase(line.find_last_not_of(' ') + 1);
    return lines;
}

// A folder where everything merges and is placed: standard error holds the
// summary alone, and --verbose brings back what went well.
TEST_F(RunMessages_verbose, wellConvertedFolderSaysOnlyItsSummary) {
    writeDay(path("day"));
    const HostRun quiet = convert("fit", {path("day")});
    EXPECT_EQ(quiet.out, path("out/24051202.fit") + "\n") << "the R-R recording merged, no file of its own";
    ASSERT_FALSE(quiet.err.empty());
    for (const std::string& line : linesOf(quiet.err))
        EXPECT_EQ(line.rfind("polarhost: summary: ", 0), 0u) << quiet.err;
    EXPECT_NE(quiet.err.find("1 R-R recording merged; GPS tracks: 1 placed, 0 not; 1 day diary read"),
              std::string::npos)
        << quiet.err;

    fs::remove_all(path("out"));
    const HostRun verbose = convert("fit", {"--verbose", path("day")});
    EXPECT_EQ(verbose.out, quiet.out);
    EXPECT_NE(verbose.err.find("24051201.hrm: the R-R recording of " + path("day/24051202.hrm") +
                               " (its intervals merged into "),
              std::string::npos)
        << verbose.err;
    EXPECT_NE(verbose.err.find("24051202.hrm: phone.gpx: track placed by "), std::string::npos) << verbose.err;
    EXPECT_NE(verbose.err.find(quiet.err), std::string::npos) << "the same summary ends it";
}

// On a terminal the line of how far the run is comes and goes, and every
// path written and every message stands on a line of its own; into a file
// no such line is written.
TEST_F(RunMessages_progress, onATerminalOnlyAndNeverMixed) {
    writeDay(path("day"));
    write("day/notes.hrm", "no exercise\r\n");
    const std::string command = "TMPDIR=" + shellQuoted(dir_) + " " + shellQuoted(POLARHOST_PATH) +
                                " --format fit --output " + shellQuoted(path("out")) + " " + shellQuoted(path("day"));
    // script gives the host a terminal and writes out what it showed.
    const HostRun terminal = runShell("script -qec " + shellQuoted(command) + " /dev/null");
    EXPECT_EQ(terminal.status, 1) << "notes.hrm gives no file";
    EXPECT_NE(terminal.out.find("\rpolarhost: 0 of 3 raw files done, now "), std::string::npos) << terminal.out;
    EXPECT_NE(terminal.out.find("\rpolarhost: 3 of 3 raw files done, finishing"), std::string::npos) << terminal.out;
    std::vector<std::string> shown = screenLines(terminal.out);
    EXPECT_EQ(shown.back(), "") << "the line cleared at the end";
    shown.pop_back();
    ASSERT_EQ(shown.size(), 5u) << terminal.out;
    EXPECT_EQ(shown[0], path("out/24051202.fit"));
    EXPECT_EQ(shown[1], "polarhost: " + path("day/notes.hrm") +
                            ": not a recording (no Version= in its [Params]); no file written");
    for (size_t k = 2; k < shown.size(); ++k) EXPECT_EQ(shown[k].rfind("polarhost: summary: ", 0), 0u) << shown[k];

    fs::remove_all(path("out"));
    const HostRun file = convert("fit", {path("day")}, 1);
    EXPECT_EQ(file.err.find('\r'), std::string::npos) << file.err;
    EXPECT_EQ(file.err.find("raw files done"), std::string::npos) << file.err;
}

}  // namespace
