// A conversion run that is safe whatever happens around it: every file
// under --output whatever the plug-in's clean-up does to the current
// directory, a work folder of the run's own that nobody else can touch, and
// an interrupt or a full disk that leaves nothing half done and says so.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "framework/Zip.h"
#include "tests/host/HostFixture.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr char kAsNobody[] = "setpriv --reuid=65534 --regid=65534 --clear-groups ";

// An exercise of `samples` rows, starting `minute` minutes after 10:00.
std::string exerciseText(int samples, int minute) {
    HrmShape shape;
    shape.samples = samples;
    char start[32], length[32];
    std::snprintf(start, sizeof start, "%02d:%02d:00.0", 10 + minute / 60, minute % 60);
    const int seconds = samples * shape.interval;
    std::snprintf(length, sizeof length, "%d:%02d:%02d.0", seconds / 3600, seconds / 60 % 60, seconds % 60);
    shape.start = start;
    shape.length = length;
    return hrmText(shape);
}

// Every converted file below `folder` by its path relative to it, with its
// bytes; the folder's history of what was converted into it aside, which
// lists the exercises in the order the run met them.
std::map<std::string, std::string> filesBelow(const std::string& folder) {
    std::map<std::string, std::string> files;
    std::error_code failed;
    for (const auto& entry : fs::recursive_directory_iterator(folder, failed))
        if (entry.is_regular_file() && entry.path().filename() != "index.tsv")
            files[entry.path().lexically_relative(folder).string()] = readFile(entry.path());
    return files;
}

std::set<std::string> namesOf(const std::map<std::string, std::string>& files) {
    std::set<std::string> names;
    for (const auto& [name, bytes] : files) names.insert(name);
    return names;
}

std::set<std::string> linesOf(const std::string& text) {
    std::set<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.insert(line);
    return lines;
}

class Runs : public Host {
protected:
    // An archive `name`.hrz of `count` exercises, its entries named after it.
    std::string archive(const std::string& name, int count, int samples) const {
        std::vector<fw::ZipSource> entries;
        for (int k = 0; k < count; ++k) {
            const std::string entry = name + std::to_string(k) + ".hrm";
            entries.push_back({entry, write(entry, exerciseText(samples, k * 10))});
        }
        fw::writeZip(path(name + ".hrz"), entries);
        return path(name + ".hrz");
    }

    // Our folder open to the user nobody, who gets a temporary directory
    // `tmp` and a folder `cwd` to write in.
    void openToNobody() const {
        fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
        for (const char* folder : {"tmp", "cwd"}) {
            fs::create_directories(path(folder));
            fs::permissions(path(folder), fs::perms::all);
        }
    }

    std::string host() const { return shellQuoted(POLARHOST_PATH); }

    // The folders the host made in its temporary directory (ours) and left.
    std::vector<std::string> leftInTemp() const {
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(dir_))
            if (entry.path().filename().string().starts_with("polarhost-")) left.push_back(entry.path().string());
        return left;
    }
};

using RunSafety_relative = Runs;
using RunSafety_private = Runs;
using RunSafety_stop = Runs;
using RunSafety_interrupt = Runs;

// The plug-in's clean-up after an archive makes "/" the current directory;
// the second archive's files, and a raw file named relative to where the
// run began, must not follow it. The host runs as nobody, so that a file
// headed for "/" fails instead of landing there.
TEST_F(RunSafety_relative, secondArchiveConvertedUnderTheOutputFolderAsNamed) {
    archive("one", 2, 20);
    archive("two", 2, 20);
    openToNobody();
    const HostRun result = runShell("cd " + shellQuoted(path("cwd")) + " && TMPDIR=" + shellQuoted(path("tmp")) + " " +
                                    kAsNobody + host() + " --format fit,tcx --output out ../one.hrz ../two.hrz");
    EXPECT_EQ(result.status, 0) << result.err;
    const std::set<std::string> expected = {"one-0.fit", "one-0.tcx", "one-1.fit", "one-1.tcx",
                                            "two-0.fit", "two-0.tcx", "two-1.fit", "two-1.tcx"};
    EXPECT_EQ(namesOf(filesBelow(path("cwd/out"))), expected);
    std::set<std::string> printed;
    for (const std::string& name : expected) printed.insert("out/" + name);
    EXPECT_EQ(linesOf(result.out), printed);
    EXPECT_TRUE(fs::is_empty(path("tmp")));
}

// The third archive is the first named after the plug-in changed directory.
TEST_F(RunSafety_relative, everyArchiveReportedWhenNamedRelative) {
    for (const char* name : {"one", "two", "three"}) archive(name, 1, 20);
    const HostRun result = runShell("cd " + shellQuoted(dir_) + " && TMPDIR=" + shellQuoted(dir_) + " " + host() +
                                    " one.hrz two.hrz three.hrz");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
}

// Two runs at once over the same archives, in opposite order so that each
// extracts one archive while the other extracts the other: both give what
// each gives alone.
TEST_F(RunSafety_private, twoRunsAtOnceGiveTheFilesOfEachAlone) {
    const std::string a = archive("a", 6, 2000), b = archive("b", 6, 2000);
    const std::string fit = host() + " --format fit --output ";
    const std::string temp = "TMPDIR=" + shellQuoted(dir_) + " ";
    ASSERT_EQ(runShell(temp + fit + shellQuoted(path("alone")) + " " + a + " " + b).status, 0);
    const HostRun both = runShell("{ (" + temp + fit + shellQuoted(path("first")) + " " + a + " " + b + "; echo $? >" +
                                  shellQuoted(path("first.status")) + ") & " + temp + fit + shellQuoted(path("second")) +
                                  " " + b + " " + a + "; echo $? >" + shellQuoted(path("second.status")) + "; wait; }");
    EXPECT_EQ(readFile(path("first.status")), "0\n") << both.err;
    EXPECT_EQ(readFile(path("second.status")), "0\n") << both.err;
    const std::map<std::string, std::string> alone = filesBelow(path("alone"));
    EXPECT_EQ(alone.size(), 12u);
    EXPECT_TRUE(filesBelow(path("first")) == alone);
    EXPECT_TRUE(filesBelow(path("second")) == alone);
    EXPECT_EQ(leftInTemp(), std::vector<std::string>());
}

// Another user's link where the plug-in keeps its work folder would have it
// delete the files of the link's target.
TEST_F(RunSafety_private, linkAtThePluginsWorkPathIsNeverFollowed) {
    fs::create_directories(path("victim"));
    write("victim/keep.txt", "mine");
    write("victim/ride.hrm", exerciseText(5, 0));
    fs::create_directory_symlink(path("victim"), path("VoruzUvidav"));
    const std::string rides = archive("rides", 2, 20);
    const HostRun result = run({"--format", "fit", "--output", path("out"), rides});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(namesOf(filesBelow(path("out"))), (std::set<std::string>{"rides-0.fit", "rides-1.fit"}));
    EXPECT_EQ(namesOf(filesBelow(path("victim"))), (std::set<std::string>{"keep.txt", "ride.hrm"}));
    EXPECT_EQ(readFile(path("victim/keep.txt")), "mine");
    EXPECT_TRUE(fs::is_symlink(path("VoruzUvidav")));
    EXPECT_EQ(leftInTemp(), std::vector<std::string>());
}

// A read-only output folder ends the run at its first file, and the summary
// says how far it came.
TEST_F(RunSafety_stop, unwritableOutputStopsTheRunAndSaysWhatWasNotReached) {
    fs::create_directories(path("rides"));
    for (const char* name : {"a.hrm", "b.hrm", "c.hrm"}) write(std::string("rides/") + name, exerciseText(20, 0));
    openToNobody();
    fs::create_directories(path("out"));
    fs::permissions(path("out"), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
    const HostRun result = runShell("TMPDIR=" + shellQuoted(path("tmp")) + " " + kAsNobody + host() +
                                    " --format fit --output " + shellQuoted(path("out")) + " " + shellQuoted(path("rides")));
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("cannot create " + path("out/a.fit.part") + ": Permission denied"), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("polarhost: summary: stopped after 0 of 3 raw files, a converted file could not be "
                              "written; 2 raw files not reached\n"),
              std::string::npos)
        << result.err;
    EXPECT_TRUE(fs::is_empty(path("out")));
    EXPECT_TRUE(fs::is_empty(path("tmp")));
}

// The host converting, its standard output a pipe read line by line.
class Converting {
public:
    Converting(const std::vector<std::string>& args, const std::string& tempDirectory, const std::string& errorFile) {
        int ends[2];
        if (pipe(ends) != 0) return;
        // The smallest pipe: the host cannot run more than a few files ahead
        // of the lines read.
        fcntl(ends[0], F_SETPIPE_SZ, 4096);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, ends[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<std::string> environment = {"TMPDIR=" + tempDirectory};
        for (char** variable = environ; *variable; ++variable)
            if (!std::string(*variable).starts_with("TMPDIR=")) environment.push_back(*variable);
        std::vector<char*> argv = {const_cast<char*>(POLARHOST_PATH)}, envp;
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        for (std::string& variable : environment) envp.push_back(variable.data());
        envp.push_back(nullptr);
        if (posix_spawn(&pid_, POLARHOST_PATH, &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(ends[1]);
        out_ = fdopen(ends[0], "r");
    }
    ~Converting() {
        if (out_) fclose(out_);
        if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    pid_t pid() const { return pid_; }
    // The next line, without its end; empty at the end.
    std::string line() {
        std::string text;
        for (int c; out_ && (c = std::fgetc(out_)) != EOF && c != '\n';) text += static_cast<char>(c);
        return text;
    }
    // Every line to the end, then the exit status.
    int finish(std::vector<std::string>& lines) {
        for (std::string text = line(); !text.empty(); text = line()) lines.push_back(text);
        int status = 0;
        const pid_t ended = waitpid(pid_, &status, 0);
        pid_ = -1;
        return ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    std::FILE* out_ = nullptr;
};

// Ctrl-C once the first file is written, in a folder of many: the files
// written stay whole, the one under way goes, and so does the work folder;
// the summary says how far the run came.
TEST_F(RunSafety_interrupt, ctrlCInAFolderLeavesWholeFilesOnlyAndSaysSo) {
    constexpr int kFiles = 40;
    fs::create_directories(path("rides"));
    for (int k = 0; k < kFiles; ++k) write("rides/ride" + std::to_string(100 + k) + ".hrm", exerciseText(4000, k));
    // Long lines fill the pipe after a few files.
    const std::string out = path("out/" + std::string(200, 'o'));
    Converting host({"--format", "fit,tcx", "--output", out, path("rides")}, dir_, path("stderr.txt"));
    ASSERT_GT(host.pid(), 0);
    std::vector<std::string> written = {host.line()};
    ASSERT_EQ(written[0], out + "/ride100.fit");

    // Meanwhile the run's work folder is its own, open to nobody else.
    const std::vector<std::string> work = leftInTemp();
    ASSERT_EQ(work.size(), 1u);
    EXPECT_EQ(fs::status(work[0]).permissions(), fs::perms::owner_all);

    ASSERT_EQ(kill(host.pid(), SIGINT), 0);
    EXPECT_EQ(host.finish(written), 130);
    const std::string err = readFile(path("stderr.txt"));
    std::smatch done;
    ASSERT_TRUE(std::regex_search(err, done, std::regex("polarhost: summary: interrupted after ([0-9]+) of 40 raw files\n")))
        << err;
    EXPECT_LT(std::stoi(done[1]), kFiles);
    std::set<std::string> printed;
    for (const std::string& file : written) printed.insert(fs::path(file).filename().string());
    EXPECT_EQ(namesOf(filesBelow(out)), printed);
    EXPECT_LT(printed.size(), 2u * kFiles);
    EXPECT_EQ(leftInTemp(), std::vector<std::string>());
}

}  // namespace
