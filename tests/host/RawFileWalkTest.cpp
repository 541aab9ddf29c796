// The folders of a run as the user's disk has them: folders the user cannot
// read, links to folders and loops of them, names in the code page of the
// Windows machine an archive was copied from; the reports walk them as the
// conversion does.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/host/ConvertFixture.h"
#include "tests/shared/HrmText.h"

namespace {

namespace fs = std::filesystem;

using RawFileWalk = ConvertFixture;
using RawFileWalk_links = RawFileWalk;
using RawFileWalk_names = RawFileWalk;
using RawFileWalk_reports = RawFileWalk;

class RawFileWalk_permissions : public RawFileWalk {
protected:
    // The host run as a user without privileges, from a copy in the test's
    // folder, so that the user reaches it wherever the build lies.
    HostRun asNobody(const std::vector<std::string>& args) const {
        const std::string host = path("polarhost");
        if (!fs::exists(host)) fs::copy_file(POLARHOST_PATH, host);
        // The run makes its private work folder in a temporary folder that user may write.
        const std::string temporary = path("tmp");
        fs::create_directory(temporary);
        fs::permissions(temporary, fs::perms::all | fs::perms::sticky_bit);
        std::string command = "setpriv --reuid=65534 --regid=65534 --clear-groups env TMPDIR=" +
                              shellQuoted(temporary) + " " + shellQuoted(host);
        for (const std::string& arg : args) command += " " + shellQuoted(arg);
        return runShell(command);
    }
};

// A folder the user cannot read is named with the system's reason and fails
// the run, whether found in the walk or named; the rest still converts. The
// reports say the same.
TEST_F(RawFileWalk_permissions, unreadableFolderNamedAndFailsTheRun) {
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec |
                              fs::perms::group_read | fs::perms::others_read);
    for (const char* folder : {"Polar/a", "Polar/locked", "Polar/z"}) {
        fs::create_directories(path(folder));
        write(std::string(folder) + "/ride.hrm", hrmText(HrmShape{}));
    }
    fs::permissions(path("Polar/locked"), fs::perms::none);
    fs::create_directory(path("out"));
    fs::permissions(path("out"), fs::perms::all);

    const std::string locked = path("Polar/locked");
    const HostRun walked = asNobody({"--format", "tcx", "--output", path("out"), path("Polar")});
    EXPECT_EQ(walked.status, 1);
    EXPECT_NE(walked.err.find(locked + ": cannot be read (Permission denied); no file written"), std::string::npos)
        << walked.err;
    EXPECT_NE(walked.err.find("summary: cannot be read: 1 (" + locked + ")"), std::string::npos) << walked.err;
    EXPECT_NE(walked.err.find("summary: 2 exercises found"), std::string::npos) << walked.err;
    EXPECT_TRUE(fs::exists(path("out/a/ride.tcx")) && fs::exists(path("out/z/ride.tcx")));

    const HostRun named = asNobody({"--format", "tcx", "--output", path("out"), locked});
    EXPECT_EQ(named.status, 1);
    EXPECT_NE(named.err.find(locked + ": cannot be read (Permission denied)"), std::string::npos) << named.err;

    const HostRun report = asNobody({path("Polar")});
    EXPECT_EQ(report.status, 1);
    EXPECT_NE(report.err.find(locked + ": cannot be read (Permission denied)"), std::string::npos) << report.err;
    EXPECT_NE(report.out.find(path("Polar/z/ride.hrm") + ": 1 exercise"), std::string::npos) << report.out;
}

// A link to a folder is followed and mirrored under its own name; a link
// back into a folder it lies in is named once and the run ends.
TEST_F(RawFileWalk_links, linkedFolderFollowedAndLoopNamed) {
    fs::create_directories(path("Polar/2012"));
    fs::create_directories(path("elsewhere/2013"));
    write("Polar/2012/ride.hrm", hrmText(HrmShape{}));
    write("elsewhere/2013/run.hrm", hrmText(HrmShape{}));
    fs::create_directory_symlink(path("elsewhere/2013"), path("Polar/2013"));
    fs::create_directory_symlink("..", path("Polar/2012/back"));

    const HostRun result = convert("tcx", {path("Polar")});
    EXPECT_TRUE(fs::exists(path("out/2013/run.tcx"))) << result.out;
    EXPECT_TRUE(fs::exists(path("out/2012/ride.tcx"))) << result.out;
    EXPECT_NE(result.err.find(path("Polar/2012/back") + ": a link back to " + fs::canonical(path("Polar")).string() +
                              ", a folder it lies in (a loop); not followed"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("summary: folders not walked again: 1"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("summary: 2 exercises found"), std::string::npos) << result.err;
}

// Names in Windows-1252 bytes, as archives copied from Windows keep them:
// every file written is well-formed UTF-8 XML naming them in UTF-8, and the
// page's links lead to the bytes on disk.
TEST_F(RawFileWalk_names, windowsNamesGiveWellFormedUtf8Files) {
    fs::create_directories(path("Polar/J\xe4hrlich"));
    write("Polar/J\xe4hrlich/l\xe4uft.hrm", hrmText(rideWithLaps()));
    write("Polar/J\xe4hrlich/l\xe4uft.gpx", rideTrackText());

    convert("tcx,gpx,svg", {path("Polar")});
    const std::string page = path("out/index.html");
    for (const std::string& file : {path("out/J\xe4hrlich/l\xe4uft.tcx"), path("out/J\xe4hrlich/l\xe4uft.gpx"),
                                    path("out/J\xe4hrlich/l\xe4uft.svg"), page}) {
        ASSERT_TRUE(fs::exists(file)) << file;
        expectWellFormed(file);
        EXPECT_EQ(runShell("iconv -f UTF-8 -t UTF-8 " + shellQuoted(file) + " >/dev/null").status, 0)
            << file << " is not valid UTF-8";
    }
    EXPECT_NE(readFile(path("out/J\xe4hrlich/l\xe4uft.tcx")).find("l\xc3\xa4uft.hrm"), std::string::npos);
    EXPECT_NE(readFile(path("out/J\xe4hrlich/l\xe4uft.svg")).find("l\xc3\xa4uft.hrm"), std::string::npos);
    const std::string html = readFile(page);
    EXPECT_NE(html.find("href=\"J%E4hrlich/l%E4uft.svg\""), std::string::npos) << html;
    EXPECT_NE(html.find("J\xc3\xa4hrlich/l\xc3\xa4uft.hrm"), std::string::npos) << html;
}

// The reports of a folder list its exercises in the order of the walk, and
// a file's records are those it gives named alone.
TEST_F(RawFileWalk_reports, folderReportedInWalkOrder) {
    fs::create_directories(path("Polar/a"));
    fs::create_directories(path("Polar/b"));
    write("Polar/a.hrm", hrmText(HrmShape{}));
    write("Polar/a/z.hrm", hrmText(rideWithLaps()));
    write("Polar/b/2.hrm", hrmText(HrmShape{}));
    write("Polar/notes.txt", "not an exercise");

    const HostRun table = run({path("Polar")});
    EXPECT_EQ(table.status, 0) << table.err;
    size_t last = 0;
    for (const char* file : {"Polar/a/z.hrm", "Polar/a.hrm", "Polar/b/2.hrm"}) {
        const size_t at = table.out.find(path(file) + ": 1 exercise");
        EXPECT_NE(at, std::string::npos) << file << "\n" << table.out;
        EXPECT_GE(at, last) << file << " out of order";
        last = at;
    }
    EXPECT_NE(table.err.find(path("Polar/notes.txt") + ": not a raw file"), std::string::npos) << table.err;

    fs::remove_all(path("Polar/a"));
    fs::remove_all(path("Polar/b"));
    for (const char* format : {"json", "csv"})
        EXPECT_EQ(run({"--format", format, path("Polar")}).out, run({"--format", format, path("Polar/a.hrm")}).out)
            << format;
}

}  // namespace
