// The connection, download and archive steps against a scripted monitor and
// a dialog that records what it was told, on the real file system.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "device/ImportSession.h"
#include "framework/FileSystem.h"
#include "framework/FpuControl.h"
#include "framework/Zip.h"

namespace {

namespace fs = std::filesystem;

// A monitor as the library reports it, and every call made, with the
// control word it was made with.
class FakeLibrary : public DeviceLibrary {
public:
    struct Call {
        std::string text;
        uint16_t controlWord;
    };

    int32_t code = 20, exercisesReported = 0, freeMemory = 250, memorySize = 1000, lowVoltage = 0, variant = 0;
    std::vector<int32_t> fileNumbers;  // one per exercise served
    bool reset = true, started = true, monitorInfo = true;
    int32_t bulkRead = 1;
    int32_t answerAfterPolls = 2;  // negative: never
    std::set<int32_t> readFails, saveFails, readThrows;
    std::vector<Call> calls;
    int32_t polls = 0;

    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const Call& call : calls) result.push_back(call.text.substr(0, call.text.find('(')));
        return result;
    }
    long count(const std::string& name) const {
        const std::vector<std::string> all = names();
        return std::count(all.begin(), all.end(), name);
    }
    uint16_t wordOf(const std::string& prefix) const {
        for (const Call& call : calls)
            if (call.text.rfind(prefix, 0) == 0) return call.controlWord;
        ADD_FAILURE() << "no call " << prefix;
        return 0;
    }
    bool called(const std::string& prefix) const {
        return std::any_of(calls.begin(), calls.end(), [&](const Call& c) { return c.text.rfind(prefix, 0) == 0; });
    }

    void SetComText(int32_t slot, const std::string& text) override {
        record("SetComText(" + std::to_string(slot) + "," + text + ")");
    }
    bool ResetIRCommunication() override { return record("ResetIRCommunication()"), reset; }
    bool StartIRCommunication(int32_t flags, const std::string& port) override {
        return record("StartIRCommunication(" + std::to_string(flags) + "," + port + ")"), started;
    }
    bool IsIrDAConnected() override {
        ++polls;
        return answerAfterPolls >= 0 && polls > answerAfterPolls;
    }
    bool ReadMonitorInfo(TGeneralParams& params, TMonitorInfo& info) override {
        record("ReadMonitorInfo(" + std::to_string(params.Size) + "," + std::to_string(params.Window) + ")");
        if (!monitorInfo) return false;
        info.MonitorCode = code;
        info.ExerciseCount = exercisesReported;
        info.FreeMemory = freeMemory;
        info.MemorySize = memorySize;
        info.LowVoltage = lowVoltage;
        info.NameVariant = variant;
        return true;
    }
    std::string GetPolarHRMonitorName(int32_t monitorCode, int32_t nameVariant) override {
        record("GetPolarHRMonitorName(" + std::to_string(monitorCode) + "," + std::to_string(nameVariant) + ")");
        return "RS800";
    }
    int32_t ReadExercisesData(void*) override { return record("ReadExercisesData()"), bulkRead; }
    bool GetExeFileInfo(int32_t index, TExerciseFileInfo& info) override {
        record("GetExeFileInfo(" + std::to_string(index) + ")");
        if (readFails.count(index) || index >= static_cast<int32_t>(fileNumbers.size())) return false;
        info.FileNumber = fileNumbers[index];
        return true;
    }
    bool AnalyzeFile(int32_t index) override { return record("AnalyzeFile(" + std::to_string(index) + ")"), true; }
    int32_t ReadExerciseFile(void*, int32_t index) override {
        record("ReadExerciseFile(" + std::to_string(index) + ")");
        if (readThrows.count(index)) throw std::runtime_error("device fault");
        current_ = index;
        return readFails.count(index) ? 0 : 1;
    }
    int32_t GetRecParam(int32_t selector) override {
        record("GetRecParam(" + std::to_string(selector) + ")");
        return current_ >= 0 && current_ < static_cast<int32_t>(fileNumbers.size()) ? fileNumbers[current_] : 0;
    }
    bool SaveExerciseHRM(void*, const std::string& path) override {
        record("SaveExerciseHRM(" + fs::path(path).filename().string() + ")");
        const int32_t index = saves_++;
        if (saveFails.count(index)) return false;
        std::ofstream(path, std::ios::binary) << "exercise " << index;
        return true;
    }
    void SendMonitorToWatchMode(TGeneralParams&) override { record("SendMonitorToWatchMode()"); }
    void EndIRCommunication() override { record("EndIRCommunication()"); }

private:
    // Without the reserved bit, which reads back set.
    void record(const std::string& text) {
        calls.push_back({text, static_cast<uint16_t>(fw::fpuControlWord() & ~fw::kFpuReservedBit)});
    }
    int32_t current_ = -1;
    int32_t saves_ = 0;
};

class FakeView : public ImportView {
public:
    std::string caption = "Polar Device Import", state, device, exercises, memoryText, hint;
    int32_t memoryPercent = -1, progressMaximum = 0, lastProgress = 0;
    bool hintShown = false, filter = true, abortEnabled = true, busy = false, progressVisible = false;
    std::vector<std::string> messages;
    std::vector<uint32_t> sleeps, pollWaits;
    std::function<void()> onWait;  // what the user does while the dialog waits

    void* windowHandle() override { return reinterpret_cast<void*>(uintptr_t{0x5A5A}); }
    void setState(const std::string& text) override { state = text; }
    void appendCaption(const std::string& suffix) override { caption += suffix; }
    void setDeviceText(const std::string& text) override { device = text; }
    void showLowVoltageHint(const std::string& text) override { hintShown = true, hint = text; }
    void setExercisesText(const std::string& text) override { exercises = text; }
    void setMemory(int32_t percent, const std::string& text) override { memoryPercent = percent, memoryText = text; }
    bool hrFilterTicked() override { return filter; }
    void setHRFilterTicked(bool ticked) override { filter = ticked; }
    void setAbortEnabled(bool enabled) override { abortEnabled = enabled; }
    void showProgress(int32_t maximum) override { progressMaximum = maximum, progressVisible = true; }
    void setProgress(int32_t position) override { lastProgress = position; }
    void hideProgress() override { progressVisible = false; }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void setBusyCursor(bool value) override { busy = value; }
    void processMessages() override {}
    void waitForMessages(uint32_t milliseconds) override {
        pollWaits.push_back(milliseconds);
        if (onWait) onWait();
    }
    void sleep(uint32_t milliseconds) override { sleeps.push_back(milliseconds); }
};

class ImportSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/polarimport.XXXXXX";
        dir_ = mkdtemp(pattern);
        previousTmp_ = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
        setenv("TMPDIR", dir_.c_str(), 1);
        target_ = dir_ + "/target/sub";
        session.SetTargetDir(target_);
    }
    void TearDown() override {
        if (previousTmp_.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", previousTmp_.c_str(), 1);
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    void settings(const std::string& content) {
        std::ofstream(dir_ + "/plugin.ini") << "[SETTINGS]\n" << content;
        session.LoadSettings(dir_ + "/plugin.ini");
    }
    // Both timer steps, as the dialog runs them.
    DownloadOutcome runImport() {
        if (session.tmStartTimer() != StartOutcome::ScheduleDownload) return DownloadOutcome::Abort;
        return session.tmGetDatasTimer();
    }
    std::string archive() const { return target_ + "/Connect.hrz"; }
    std::string workDir() const { return dir_ + "/VoruzUvidav"; }

    std::string dir_, target_;
    TPluginState plugin;
    FakeLibrary library;
    FakeView view;
    TImportSession session{plugin, library, view};

private:
    std::string previousTmp_;
};

std::vector<std::string> entriesOf(const std::string& archive, const std::string& into) {
    fw::extractZip(archive, into);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(into)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST_F(ImportSessionTest, sFamilyImportCallsAndArchive) {
    settings("DeviceType=1\nProtocol=1\nHRFilter=1\n");
    library.code = 20;  // an S-family code corrects the stored RS type
    library.exercisesReported = 3;
    library.fileNumbers = {12, 12, 7};
    library.lowVoltage = 5;
    fs::create_directories(workDir());
    std::ofstream(workDir() + "/old.hrm") << "left by an earlier analysis";
    fs::create_directories(target_);
    std::ofstream(archive()) << "an earlier archive";
    const uint16_t callerWord = fw::fpuControlWord() & ~fw::kFpuReservedBit;

    EXPECT_EQ(runImport(), DownloadOutcome::EndOk);

    const std::vector<std::string> expected = {
        "SetComText(6,Infrared-Connection)", "SetComText(2,Read Exercises...)", "SetComText(0,Abort)",
        "SetComText(1,Retry)", "ResetIRCommunication()", "StartIRCommunication(20,USB)",
        "ReadMonitorInfo(1260,23130)", "GetPolarHRMonitorName(20,0)", "ReadExercisesData()",
        "GetExeFileInfo(0)", "AnalyzeFile(0)", "SaveExerciseHRM(12.hrm)",
        "GetExeFileInfo(1)", "AnalyzeFile(1)", "SaveExerciseHRM(12_1.hrm)",
        "GetExeFileInfo(2)", "AnalyzeFile(2)", "SaveExerciseHRM(7.hrm)",
        "SendMonitorToWatchMode()", "SendMonitorToWatchMode()", "EndIRCommunication()", "EndIRCommunication()",
    };
    std::vector<std::string> calls;
    for (const auto& call : library.calls) calls.push_back(call.text);
    EXPECT_EQ(calls, expected);

    // Reading and closing run masked; the connection with the caller's word,
    // which is back in place afterwards.
    for (const auto& call : library.calls) {
        const bool masked = call.text.rfind("SetComText", 0) != 0 && call.text.rfind("ResetIR", 0) != 0 &&
                            call.text.rfind("StartIR", 0) != 0 && call.text.rfind("GetPolarHRMonitorName", 0) != 0;
        EXPECT_EQ(call.controlWord, masked ? fw::kFpuAllMasked : callerWord) << call.text;
    }
    EXPECT_EQ(fw::fpuControlWord() & ~fw::kFpuReservedBit, callerWord);

    EXPECT_EQ(view.caption, "Polar Device Import (USB) -> S-Series");
    EXPECT_EQ(view.device, "Device: RS800");
    EXPECT_EQ(view.exercises, "Exercises: 3");
    EXPECT_EQ(view.memoryPercent, 75);
    EXPECT_EQ(view.memoryText, "Memory: 75 %");
    EXPECT_TRUE(view.hintShown);
    EXPECT_EQ(view.hint, "Watch-/Bikecomputer&& Speedsensor");
    EXPECT_EQ(view.state, "Offline");
    EXPECT_EQ(view.progressMaximum, 3);
    EXPECT_EQ(view.lastProgress, 3);
    EXPECT_FALSE(view.progressVisible);
    EXPECT_TRUE(view.abortEnabled);
    EXPECT_FALSE(view.busy);
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(view.sleeps, (std::vector<uint32_t>{2500, 1000, 1000, 1000, 1000}));
    EXPECT_EQ(view.pollWaits, (std::vector<uint32_t>{15, 15}));
    EXPECT_FALSE(session.linkOpen());

    EXPECT_EQ(plugin.ImportedExerciseCount, 3);
    EXPECT_EQ(plugin.ImportWorkDir, workDir());
    EXPECT_FALSE(fs::exists(workDir()));
    EXPECT_EQ(entriesOf(archive(), dir_ + "/out"), (std::vector<std::string>{"12.hrm", "12_1.hrm", "7.hrm"}));
    std::ifstream first(dir_ + "/out/12_1.hrm");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(first), {}), "exercise 1");
}

TEST_F(ImportSessionTest, rsFamilyReadingAndItsFailures) {
    settings("DeviceType=0\nProtocol=2\nCOMPort=4\nHRFilter=0\n");
    library.code = 40;  // RS/CS code with an S-family setting: CS
    library.exercisesReported = 5;
    library.fileNumbers = {3, 4, 5, 6, 7};
    library.saveFails = {1};
    library.readThrows = {2};  // swallowed, saved under number 0
    library.readFails = {3};   // ends the loop

    EXPECT_EQ(runImport(), DownloadOutcome::EndOk);

    EXPECT_EQ(session.deviceType(), 2);
    EXPECT_EQ(view.caption, "Polar Device Import (COM4) -> RS/CS 4xx-Series");
    EXPECT_TRUE(library.called("StartIRCommunication(0,COM4:)"));
    EXPECT_FALSE(library.called("ReadExercisesData"));
    EXPECT_FALSE(library.called("GetExeFileInfo"));
    EXPECT_FALSE(library.called("ReadExerciseFile(4)"));
    EXPECT_TRUE(library.called("SaveExerciseHRM(0.hrm)"));
    EXPECT_EQ(library.wordOf("ReadExerciseFile(0)"), fw::kFpuAllMasked);
    EXPECT_EQ(library.wordOf("GetRecParam(9)"), fw::kFpuAllMasked);
    EXPECT_EQ(view.messages, (std::vector<std::string>{"ErrorSaving"}));
    EXPECT_FALSE(view.hintShown);
    // The count the monitor reported, also when fewer files were written.
    EXPECT_EQ(plugin.ImportedExerciseCount, 5);
    EXPECT_EQ(entriesOf(archive(), dir_ + "/out"), (std::vector<std::string>{"0.hrm", "3.hrm"}));
}

TEST_F(ImportSessionTest, connectionFailures) {
    const struct {
        const char* name;
        std::function<void(FakeLibrary&)> arrange;
        std::vector<std::string> messages;
        bool closes;  // the link was opened, so the dialog's closing ends it
    } cases[] = {
        {"reset", [](FakeLibrary& l) { l.reset = false; }, {"Connection could not be established!"}, false},
        {"start", [](FakeLibrary& l) { l.started = false; }, {"Connection could not be established!"}, false},
        {"monitor info", [](FakeLibrary& l) { l.monitorInfo = false; }, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TPluginState state;
        FakeLibrary lib;
        FakeView v;
        TImportSession s(state, lib, v);
        c.arrange(lib);
        EXPECT_EQ(s.tmStartTimer(), StartOutcome::Close);
        EXPECT_EQ(v.messages, c.messages);
        s.FormClose();
        EXPECT_EQ(lib.called("EndIRCommunication"), c.closes);
        EXPECT_FALSE(lib.called("GetPolarHRMonitorName"));
    }
}

TEST_F(ImportSessionTest, abortWhileWaitingAndUnknownProtocol) {
    settings("Protocol=7\n");
    library.answerAfterPolls = -1;
    int waits = 0;
    view.onWait = [&] {
        if (++waits == 3) session.btnAbortClick();
    };

    EXPECT_EQ(session.tmStartTimer(), StartOutcome::Close);

    EXPECT_FALSE(library.called("StartIRCommunication"));
    EXPECT_EQ(view.caption, "Polar Device Import");
    EXPECT_FALSE(library.called("ReadMonitorInfo"));
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(library.polls, 4);
    EXPECT_EQ(view.pollWaits, (std::vector<uint32_t>(3, TImportSession::kPollMilliseconds)));
    // The abort request counts as an open link: closing the dialog ends it.
    session.FormClose();
    EXPECT_TRUE(library.called("EndIRCommunication"));
    EXPECT_EQ(view.state, "Offline");
}

TEST_F(ImportSessionTest, connectionRunsOncePerDialog) {
    EXPECT_TRUE(session.activationStartsTimer());
    EXPECT_EQ(session.tmStartTimer(), StartOutcome::ScheduleDownload);
    EXPECT_FALSE(session.activationStartsTimer());
    EXPECT_EQ(session.tmStartTimer(), StartOutcome::Ignored);
    EXPECT_EQ(library.count("ResetIRCommunication"), 1);
}

TEST_F(ImportSessionTest, bulkReadFailureKeepsTheDialogOpen) {
    library.exercisesReported = 2;
    library.fileNumbers = {1, 2};
    library.bulkRead = 0x10000;  // only the low 16 bits count

    EXPECT_EQ(runImport(), DownloadOutcome::StayOpen);

    EXPECT_FALSE(library.called("GetExeFileInfo"));
    EXPECT_TRUE(library.called("EndIRCommunication"));
    EXPECT_EQ(view.state, "Offline");
    EXPECT_TRUE(view.abortEnabled);
    EXPECT_FALSE(fs::exists(archive()));
    EXPECT_EQ(plugin.ImportedExerciseCount, 0);
}

TEST_F(ImportSessionTest, noExercisesLeaveNoCountAndNoArchive) {
    plugin.ImportedExerciseCount = 7;  // an earlier import of this load
    library.exercisesReported = 0;
    library.memorySize = 0;
    fs::create_directories(target_);
    std::ofstream(archive()) << "an earlier archive";

    EXPECT_EQ(runImport(), DownloadOutcome::EndOk);

    EXPECT_EQ(plugin.ImportedExerciseCount, 0);
    EXPECT_FALSE(fs::exists(archive()));
    EXPECT_EQ(view.memoryText, "Memory: 0 %");
    EXPECT_FALSE(library.called("SaveExerciseHRM"));
}

TEST_F(ImportSessionTest, noTargetDirectoryKeepsTheFiles) {
    session.SetTargetDir("");
    library.exercisesReported = 1;
    library.fileNumbers = {9};
    EXPECT_EQ(runImport(), DownloadOutcome::EndOk);
    EXPECT_TRUE(fs::exists(workDir() + "/9.hrm"));
    EXPECT_EQ(plugin.ImportedExerciseCount, 1);
}

TEST_F(ImportSessionTest, savingFailsRatherThanOverwriting) {
    // 1 + 1999 names for one file number; the next exercise finds none free.
    library.exercisesReported = 2001;
    library.fileNumbers.assign(2001, 5);
    session.SetTargetDir("");
    EXPECT_EQ(runImport(), DownloadOutcome::EndOk);
    EXPECT_EQ(view.messages, (std::vector<std::string>{"ErrorSaving"}));
    EXPECT_EQ(library.count("SaveExerciseHRM"), 2000);
    EXPECT_TRUE(fs::exists(workDir() + "/5_1999.hrm"));
}

TEST_F(ImportSessionTest, savingFailsForAPathBeyondTheLibrarysLimit) {
    // The work directory's path alone leaves no room for "1.hrm".
    std::string deep = dir_;
    while (deep.size() + std::string("/VoruzUvidav/1.hrm").size() <= 260) deep += "/dddddddddd";
    fs::create_directories(deep);
    setenv("TMPDIR", deep.c_str(), 1);
    library.exercisesReported = 1;
    library.fileNumbers = {1};
    EXPECT_EQ(runImport(), DownloadOutcome::EndOk);
    EXPECT_EQ(view.messages, (std::vector<std::string>{"ErrorSaving"}));
    EXPECT_FALSE(library.called("SaveExerciseHRM"));
}
