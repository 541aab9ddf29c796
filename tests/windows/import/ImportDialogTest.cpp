// The import as the host sees it: CallImportDialog of the loaded plug-in,
// the stand-in HRMCom.dll beside it playing the monitor, and a watcher
// thread reading the dialog and dismissing its message boxes.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ImportHarness.h"
#include "PluginHost.h"
#include "model/HostRecords.h"
#include "tests/shared/FileContent.h"
#include "unzip.h"

namespace {

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string tempWorkDirectory() {
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    return std::string(temp) + "VoruzUvidav";
}

struct LogLine {
    std::string call;     // as logged, without result and control word
    bool masked = false;  // x87 exceptions all masked (0x133F, read back as 0x137F)
};

std::vector<LogLine> readLog(const std::string& path) {
    std::vector<LogLine> lines;
    std::istringstream in(readFile(path));
    const std::regex tail(R"((.*) -> -?\d+( cw=([0-9A-F]{4}))?\r?$)");
    std::smatch m;
    for (std::string line; std::getline(in, line);)
        if (std::regex_match(line, m, tail))
            lines.push_back({m[1], m[3].matched && (std::stoul(m[3], nullptr, 16) & ~0x40u) == 0x133F});
    return lines;
}

std::vector<std::string> callsOf(const std::vector<LogLine>& log) {
    std::vector<std::string> calls;
    for (const LogLine& line : log) calls.push_back(line.call.substr(0, line.call.find('(')));
    return calls;
}

int countOf(const std::vector<LogLine>& log, const std::string& name) {
    const std::vector<std::string> calls = callsOf(log);
    return static_cast<int>(std::count(calls.begin(), calls.end(), name));
}

struct ArchiveEntry {
    std::string name;
    int method = -1;
};

std::vector<ArchiveEntry> archiveEntries(const std::string& path) {
    std::vector<ArchiveEntry> entries;
    unzFile zip = unzOpen(path.c_str());
    if (!zip) return entries;
    for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
        unz_file_info info;
        char name[260];
        unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0);
        entries.push_back({name, static_cast<int>(info.compression_method)});
    }
    unzClose(zip);
    return entries;
}

// One load of the plug-in with a scenario for the stand-in, settings for the
// dialog and a target directory for the archive.
class ImportDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(host.module(), nullptr) << "cannot load " << PluginHost::libraryPath();
        SetEnvironmentVariableA("HRMCOM_SCENARIO", scratch.file("scenario.ini").c_str());
        target = scratch.file("target\\archives");
    }
    void TearDown() override {
        SetEnvironmentVariableA("HRMCOM_SCENARIO", nullptr);
        DeleteFileA(archive().c_str());
        RemoveDirectoryA(target.c_str());
        RemoveDirectoryA(scratch.file("target").c_str());
    }

    void settings(const std::string& values) {
        scratch.write("plugin.ini", "[SETTINGS]\r\n" + values);
        host.get<plugin_exports::SetPluginIniFile>()(scratch.file("plugin.ini").c_str());
    }
    // The monitor: [Monitor] values, the served files and failures.
    void scenario(const std::string& monitor, const std::vector<std::pair<std::vector<int>, int>>& files,
                  const std::string& failures = "") {
        DeleteFileA(scratch.file("calls.log").c_str());
        std::string text = "[Monitor]\r\n" + monitor + "[Files]\r\n";
        for (size_t i = 0; i < files.size(); ++i) {
            const std::string name = "served" + std::to_string(i) + ".hrm";
            scratch.write(name, hrmFile(files[i].first));
            text += "File" + std::to_string(i) + "=" + scratch.file(name) + "\r\n";
            text += "Number" + std::to_string(i) + "=" + std::to_string(files[i].second) + "\r\n";
        }
        text += "[Fail]\r\n" + failures + "[Log]\r\nFile=" + scratch.file("calls.log") + "\r\n";
        scratch.write("scenario.ini", text);
    }
    int32_t runDialog() {
        return host.get<plugin_exports::CallImportDialog>()(nullptr, 100, 50, 900, 650, 0, 0, target.c_str(), 0);
    }
    std::vector<LogLine> log() const { return readLog(scratch.file("calls.log")); }
    std::string archive() const { return target + "\\Connect.hrz"; }

    std::vector<int> heartRatesOf(int32_t index) {
        std::vector<int> rates;
        const int32_t count = host.get<plugin_exports::AnalyseExercise>()(archive().c_str(), &index);
        for (int32_t i = 0; i < count; ++i) {
            SampleRecord sample{};
            host.get<plugin_exports::GetExerciseDatasEx>()(i, &sample);
            rates.push_back(sample.HR);
        }
        return rates;
    }

    PluginHost host;
    ScratchDirectory scratch{"polar-import"};
    std::string target;
};

using ImportDialog_import = ImportDialog;
using ImportDialog_failures = ImportDialog;

const std::vector<int> kFirst = {101, 102, 103}, kSecond = {111, 112, 113, 114, 115}, kThird = {121, 122, 123, 124};

}  // namespace

// One load, two imports: three exercises from an S-family monitor, then a
// monitor without exercises, which must not leave the first import's count
// or archive behind.
TEST_F(ImportDialog_import, fullImportThenEmptyMonitor) {
    settings("DeviceType=1\r\nProtocol=1\r\nHRFilter=1\r\n");
    scenario("Code=20\r\nName=S625X\r\nNameVariant=2\r\nMemorySize=1000\r\nFreeMemory=250\r\nLowVoltage=3\r\n"
             "AnswerAfter=500\r\n",
             {{kFirst, 12}, {kSecond, 12}, {kThird, 7}});
    const std::string work = tempWorkDirectory();
    CreateDirectoryA(work.c_str(), nullptr);
    scratch.write("..\\VoruzUvidav\\stale.hrm", hrmFile({99}));

    int32_t result;
    {
        DialogWatcher watcher;
        result = runDialog();
        const DialogSnapshot connected =
            watcher.lastSnapshotWhere([](const DialogSnapshot& s) { return s.hasText("Exercises: 3"); });
        EXPECT_EQ(connected.caption, "Polar Device Import (USB) -> S-Series");
        EXPECT_EQ(connected.height(), 300);
        const int width = connected.rect.right - connected.rect.left;
        EXPECT_EQ(connected.rect.left, 100 + (800 - width) / 2);
        ASSERT_NE(connected.childStartingWith("Device: "), nullptr);
        EXPECT_EQ(connected.childStartingWith("Device: ")->text, "Device: S625X");
        EXPECT_TRUE(connected.hasText("Memory: 75 %"));
        const ChildWindow* hint = connected.childStartingWith("Watch-/Bikecomputer");
        ASSERT_NE(hint, nullptr);
        EXPECT_EQ(hint->text, "Watch-/Bikecomputer&& HR-Belt");
        EXPECT_TRUE(hint->visible);
        for (const char* state : {"Wait...", "Connected with device", "Closing..."})
            EXPECT_TRUE(watcher.sawText(state)) << state;
        EXPECT_TRUE(watcher.messages().empty());
    }
    EXPECT_EQ(result, 3);
    EXPECT_EQ(host.get<plugin_exports::GetExerciseNumber>()(), 3);
    EXPECT_FALSE(exists(work));

    const std::string bytes = readFile(archive());
    EXPECT_EQ(bytes.substr(0, 5), std::string("\x50\x4B\x03\x04\x14", 5));
    std::map<std::string, int> entries;
    for (const ArchiveEntry& entry : archiveEntries(archive())) entries[entry.name] = entry.method;
    EXPECT_EQ(entries, (std::map<std::string, int>{{"12.hrm", Z_DEFLATED}, {"12_1.hrm", Z_DEFLATED},
                                                  {"7.hrm", Z_DEFLATED}}));
    std::multiset<std::vector<int>> analysed;
    for (int32_t i = 0; i < 3; ++i) analysed.insert(heartRatesOf(i));
    EXPECT_EQ(analysed, (std::multiset<std::vector<int>>{kFirst, kSecond, kThird}));

    const std::vector<LogLine> calls = log();
    ASSERT_GE(calls.size(), 22u);
    const std::string dialog = "window=\"Polar Device Import (USB) -> S-Series\"";
    const std::string params = "params{size=1260 version=1 b1041=1 window=\"Polar Device Import (USB)";
    const std::vector<std::string> expected = {
        "SetComText(6, \"Infrared-Connection\")", "SetComText(2, \"Read Exercises...\")",
        "SetComText(0, \"Abort\")", "SetComText(1, \"Retry\")", "ResetIRCommunication(0)",
        "StartIRCommunication(0x14, \"USB\")", "IsIrDAConnected()",
        "ReadMonitorInfo(" + params + "\" rest=0})", "GetPolarHRMonitorName(20, 2) = \"S625X\"",
        "ReadExercisesData(" + dialog + ", 0)",
        "GetExeFileInfo(0)", "AnalyzeFile(0, 0)", "SaveExerciseHRM(" + dialog + ", \"" + work + "\\12.hrm\", 0)",
        "GetExeFileInfo(1)", "AnalyzeFile(1, 0)", "SaveExerciseHRM(" + dialog + ", \"" + work + "\\12_1.hrm\", 0)",
        "GetExeFileInfo(2)", "AnalyzeFile(2, 0)", "SaveExerciseHRM(" + dialog + ", \"" + work + "\\7.hrm\", 0)",
        "SendMonitorToWatchMode(params{size=1260 version=1 b1041=1 " + dialog + " rest=0})",
        "SendMonitorToWatchMode(params{size=1260 version=1 b1041=1 " + dialog + " rest=0})",
        "EndIRCommunication(0)", "EndIRCommunication(0)",
    };
    std::vector<std::string> actual;
    for (const LogLine& line : calls) actual.push_back(line.call.substr(0, line.call.rfind(" x")));
    // The poll count varies; its line is compared by name.
    for (std::string& line : actual)
        if (line.rfind("IsIrDAConnected()", 0) == 0) line = "IsIrDAConnected()";
    EXPECT_EQ(actual, expected);
    for (const LogLine& line : calls) {
        const bool connecting = line.call.rfind("SetComText", 0) == 0 || line.call.rfind("ResetIR", 0) == 0 ||
                                line.call.rfind("StartIR", 0) == 0 || line.call.rfind("IsIrDA", 0) == 0 ||
                                line.call.rfind("GetPolarHRMonitorName", 0) == 0;
        EXPECT_EQ(line.masked, !connecting) << line.call;
    }
    // Waiting for the device leaves the processor idle: some 30 polls in the
    // half second, not thousands.
    const std::string pollLine = calls[6].call;
    EXPECT_LE(std::stoi(pollLine.substr(pollLine.rfind(" x") + 2)), 200) << pollLine;

    // The second import: nothing on the monitor, no memory reported.
    scenario("Code=20\r\nExercises=0\r\nMemorySize=0\r\nFreeMemory=0\r\nAnswerAfter=100\r\n", {});
    {
        DialogWatcher watcher;
        result = runDialog();
        EXPECT_TRUE(watcher.sawText("Memory: 0 %"));
        EXPECT_TRUE(watcher.sawText("Exercises: 0"));
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(host.get<plugin_exports::GetExerciseNumber>()(), 0);
    EXPECT_FALSE(exists(archive()));
}

// A CS-family monitor under an S-family setting, over COM: the first save
// and the third read fail; what was read is archived and the count is the
// monitor's.
TEST_F(ImportDialog_import, rsFamilyWithFailedSaveAndRead) {
    settings("DeviceType=0\r\nProtocol=2\r\nCOMPort=3\r\nHRFilter=0\r\n");
    scenario("Code=40\r\nMemorySize=3\r\nFreeMemory=2\r\nAnswerAfter=100\r\n",
             {{kFirst, 4}, {kSecond, 5}, {kThird, 6}}, "Save=0\r\nRead=2\r\n");
    int32_t result;
    {
        DialogWatcher watcher;
        result = runDialog();
        EXPECT_EQ(watcher.messages(), (std::vector<std::string>{"ErrorSaving"}));
        EXPECT_TRUE(watcher.sawText("Memory: 33 %"));
        const DialogSnapshot connected =
            watcher.lastSnapshotWhere([](const DialogSnapshot& s) { return s.hasText("Exercises: 3"); });
        EXPECT_EQ(connected.caption, "Polar Device Import (COM3) -> RS/CS 4xx-Series");
        EXPECT_NE(connected.height(), 300);
    }
    EXPECT_EQ(result, 3);
    EXPECT_EQ(host.get<plugin_exports::GetExerciseNumber>()(), 3);
    const std::vector<ArchiveEntry> entries = archiveEntries(archive());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "5.hrm");
    EXPECT_EQ(heartRatesOf(0), kSecond);

    const std::vector<LogLine> calls = log();
    EXPECT_EQ(callsOf(calls)[5], "StartIRCommunication");
    EXPECT_EQ(calls[5].call, "StartIRCommunication(0x00, \"COM3:\")");
    EXPECT_EQ(countOf(calls, "ReadExercisesData"), 0);
    EXPECT_EQ(countOf(calls, "GetExeFileInfo"), 0);
    EXPECT_EQ(countOf(calls, "ReadExerciseFile"), 3);
    EXPECT_EQ(countOf(calls, "GetRecParam"), 2);
    EXPECT_EQ(countOf(calls, "SaveExerciseHRM"), 2);
    EXPECT_EQ(countOf(calls, "EndIRCommunication"), 2);
}

// Failures before the download: the dialog closes with result 0, with the
// connection message only where the library refused to start.
TEST_F(ImportDialog_failures, connectionFailures) {
    const struct {
        const char* failure;
        std::vector<std::string> messages;
        int endCalls;  // the link counts as open once the device answered
    } cases[] = {
        {"Reset=1", {"Connection could not be established!"}, 0},
        {"Start=1", {"Connection could not be established!"}, 0},
        {"MonitorInfo=1", {}, 2},
    };
    settings("Protocol=0\r\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        scenario("Exercises=2\r\nAnswerAfter=50\r\n", {{kFirst, 1}, {kSecond, 2}}, std::string(c.failure) + "\r\n");
        DialogWatcher watcher;
        EXPECT_EQ(runDialog(), 0);
        EXPECT_EQ(watcher.messages(), c.messages);
        const std::vector<LogLine> calls = log();
        EXPECT_EQ(countOf(calls, "EndIRCommunication"), c.endCalls);
        EXPECT_EQ(countOf(calls, "ResetIRCommunication"), 1);
        EXPECT_EQ(countOf(calls, "SaveExerciseHRM"), 0);
        EXPECT_FALSE(exists(archive()));
    }
    EXPECT_EQ(host.get<plugin_exports::GetExerciseNumber>()(), 0);
}

// A device that never answers: the dialog waits, idle, until Abort.
TEST_F(ImportDialog_failures, abortWhileWaiting) {
    settings("Protocol=1\r\n");
    scenario("AnswerAfter=-1\r\n", {{kFirst, 1}});
    double cpuAtWait = -1, cpuAtAbort = -1;
    DWORD ticksAtWait = 0, ticksAtAbort = 0;
    int32_t result;
    {
        DialogWatcher watcher([&](const DialogSnapshot& snapshot, HWND dialog) {
            if (!snapshot.hasText("Wait...") || cpuAtAbort >= 0) return;
            if (cpuAtWait < 0) {
                cpuAtWait = processCpuSeconds();
                ticksAtWait = GetTickCount();
            } else if (GetTickCount() - ticksAtWait >= 1500) {
                cpuAtAbort = processCpuSeconds();
                ticksAtAbort = GetTickCount();
                DialogWatcher::clickButton(dialog, "&Abort");
            }
        });
        result = runDialog();
        EXPECT_TRUE(watcher.messages().empty());
    }
    EXPECT_EQ(result, 0);
    ASSERT_GE(cpuAtAbort, 0) << "the dialog never waited";
    // A polling loop without pauses would use the whole 1.5 s.
    EXPECT_LT(cpuAtAbort - cpuAtWait, 0.5 * (ticksAtAbort - ticksAtWait) / 1000.0);
    const std::vector<LogLine> calls = log();
    EXPECT_EQ(countOf(calls, "ReadMonitorInfo"), 0);
    EXPECT_EQ(countOf(calls, "SendMonitorToWatchMode"), 2);
    EXPECT_EQ(countOf(calls, "EndIRCommunication"), 2);
}

// The S-family bulk read fails: the link is closed, the dialog stays open
// showing "Offline" until Abort, which closes the link once more. Being
// activated again meanwhile must not start a second connection.
TEST_F(ImportDialog_failures, bulkReadFailureWaitsForAbort) {
    settings("DeviceType=0\r\nProtocol=0\r\n");
    scenario("Code=12\r\nAnswerAfter=50\r\n", {{kFirst, 1}}, "BulkRead=1\r\n");
    DWORD offlineSince = 0;
    int32_t result;
    {
        DialogWatcher watcher([&](const DialogSnapshot& snapshot, HWND dialog) {
            if (!snapshot.hasText("Offline")) return;
            if (offlineSince == 0) {
                offlineSince = GetTickCount();
                PostMessageA(dialog, WM_ACTIVATE, WA_ACTIVE, 0);
            } else if (GetTickCount() - offlineSince > 1500) {
                DialogWatcher::clickButton(dialog, "&Abort");
            }
        });
        result = runDialog();
        EXPECT_TRUE(watcher.messages().empty());
    }
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(exists(archive()));
    const std::vector<LogLine> calls = log();
    EXPECT_EQ(countOf(calls, "ResetIRCommunication"), 1);
    EXPECT_EQ(countOf(calls, "ReadExercisesData"), 1);
    EXPECT_EQ(countOf(calls, "GetExeFileInfo"), 0);
    EXPECT_EQ(countOf(calls, "EndIRCommunication"), 4);
}
