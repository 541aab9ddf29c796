// The import steps' rules the dialog tests under wine cannot reach cheaply,
// against a scripted monitor and a dialog that records what it was told, on
// the real file system.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/ConfigSettings.h"
#include "device/ImportSession.h"
#include "model/Settings.h"
#include "tests/native/TestSupport.h"

namespace {

namespace fs = std::filesystem;

class FakeLibrary : public DeviceLibrary {
public:
    int32_t code = 20, exercises = 0, answerAfterPolls = 0;  // negative: never answers
    std::vector<int32_t> fileNumbers;
    std::set<int32_t> readThrows;
    std::vector<std::string> calls;  // name and the argument that matters
    int32_t polls = 0;

    long count(const std::string& name) const {
        return std::count_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(name, 0) == 0; });
    }

    void SetComText(int32_t, const std::string&) override {}
    bool ResetIRCommunication() override { return true; }
    bool StartIRCommunication(int32_t, const std::string& port) override { return record("Start " + port); }
    bool IsIrDAConnected() override { return ++polls > answerAfterPolls && answerAfterPolls >= 0; }
    bool ReadMonitorInfo(TGeneralParams&, TMonitorInfo& info) override {
        info.MonitorCode = code;
        info.ExerciseCount = exercises;
        return record("ReadMonitorInfo");
    }
    std::string GetPolarHRMonitorName(int32_t, int32_t) override { return "RS800"; }
    int32_t ReadExercisesData(void*) override { return record("ReadExercisesData"); }
    bool GetExeFileInfo(int32_t index, TExerciseFileInfo& info) override {
        info.FileNumber = fileNumbers.at(index);
        return record("GetExeFileInfo");
    }
    bool AnalyzeFile(int32_t) override { return true; }
    int32_t ReadExerciseFile(void*, int32_t index) override {
        record("ReadExerciseFile");
        if (readThrows.count(index)) throw std::runtime_error("device fault");
        current_ = index;
        return 1;
    }
    int32_t GetRecParam(int32_t) override { return fileNumbers.at(current_); }
    bool SaveExerciseHRM(void*, const std::string& path) override {
        std::ofstream(path) << "exercise";
        return record("Save " + fs::path(path).filename().string());
    }
    void SendMonitorToWatchMode(TGeneralParams&) override {}
    void EndIRCommunication() override { record("End"); }

private:
    bool record(const std::string& call) {
        calls.push_back(call);
        return true;
    }
    int32_t current_ = 0;
};

class FakeView : public ImportView {
public:
    std::vector<std::string> messages;
    std::vector<uint32_t> pollWaits;
    std::function<void()> onWait;
    bool closed = false;
    bool filterTicked = false;

    void* windowHandle() override { return nullptr; }
    void setState(const std::string&) override {}
    void appendCaption(const std::string&) override {}
    void setDeviceText(const std::string&) override {}
    void showLowVoltageHint(const std::string&) override {}
    void setExercisesText(const std::string&) override {}
    void setMemory(int32_t, const std::string&) override {}
    bool hrFilterTicked() override { return true; }
    void setHRFilterTicked(bool ticked) override { filterTicked = ticked; }
    void setAbortEnabled(bool) override {}
    void showProgress(int32_t) override {}
    void setProgress(int32_t) override {}
    void hideProgress() override {}
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void setBusyCursor(bool) override {}
    bool closeRequested() override { return closed; }
    void processMessages() override {}
    void waitForMessages(uint32_t milliseconds) override {
        pollWaits.push_back(milliseconds);
        if (onWait) onWait();
    }
    void sleep(uint32_t) override {}
};

// The work directory goes into the test's private temporary directory.
class ImportSession : public PrivateTmpDirTest {
protected:
    // Both timer steps as the dialog runs them, with `settings` in the file.
    DownloadOutcome runImport(TImportSession& steps, const std::string& settings) {
        steps.LoadSettings(write("plugin.ini", "[SETTINGS]\n" + settings));
        if (steps.tmStartTimer() != StartOutcome::ScheduleDownload) return DownloadOutcome::Abort;
        return steps.tmGetDatasTimer();
    }
    DownloadOutcome runImport(const std::string& settings = "") { return runImport(session, settings); }
    std::string workDir() const { return dir_ + "/VoruzUvidav"; }

    TPluginState plugin;
    FakeLibrary library;
    FakeView view;
    TImportSession session{plugin, library, view};
};

using ImportSession_reading = ImportSession;
using ImportSession_saving = ImportSession;
using ImportSession_waiting = ImportSession;

}  // namespace

// Without a target directory the files stay in the work directory.
TEST_F(ImportSession_reading, readingByDeviceType) {
    const struct {
        const char* settings;
        int32_t code;
        std::vector<std::string> calls;
    } cases[] = {
        // An RS/CS read that throws is saved all the same, under number 0.
        {"DeviceType=1\n", 40,
         {"ReadMonitorInfo", "ReadExerciseFile", "Save 0.hrm", "ReadExerciseFile", "Save 8.hrm", "End", "End"}},
        // An unknown type reads nothing and saves every index under 0.
        {"DeviceType=3\n", 50, {"ReadMonitorInfo", "Save 0.hrm", "Save 0_1.hrm", "End", "End"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        FakeLibrary monitor;
        monitor.code = c.code;
        monitor.exercises = 2;
        monitor.fileNumbers = {7, 8};
        monitor.readThrows = {0};
        FakeView dialog;
        TImportSession steps(plugin, monitor, dialog);
        EXPECT_EQ(runImport(steps, std::string(c.settings) + "Protocol=7\n"), DownloadOutcome::EndOk);
        EXPECT_EQ(monitor.calls, c.calls);
        EXPECT_TRUE(dialog.messages.empty());
        EXPECT_TRUE(fs::exists(workDir() + "/" + c.calls[2].substr(5)));
    }
}

TEST_F(ImportSession_saving, savingFailsRatherThanOverwriting) {
    // 1 + 1999 names for one file number; the next exercise finds none free.
    library.exercises = 2001;
    library.fileNumbers.assign(2001, 5);
    EXPECT_EQ(runImport(), DownloadOutcome::EndOk);
    EXPECT_EQ(view.messages, (std::vector<std::string>{"ErrorSaving"}));
    EXPECT_EQ(library.count("Save "), 2000);
    EXPECT_TRUE(fs::exists(workDir() + "/5_1999.hrm"));
    EXPECT_EQ(plugin.ImportedExerciseCount, 2001);
}

TEST_F(ImportSession_saving, savingFailsForAPathBeyondTheLibrarysLimit) {
    // The work directory's path alone leaves no room for "1.hrm".
    std::string deep = dir_;
    while (deep.size() + std::string("/VoruzUvidav/1.hrm").size() <= 260) deep += "/dddddddddd";
    fs::create_directories(deep);
    setenv("TMPDIR", deep.c_str(), 1);
    library.exercises = 1;
    library.fileNumbers = {1};
    EXPECT_EQ(runImport(), DownloadOutcome::EndOk);
    EXPECT_EQ(view.messages, (std::vector<std::string>{"ErrorSaving"}));
    EXPECT_EQ(library.count("Save "), 0);
}

// An unknown protocol starts nothing; the wait polls with pauses and ends
// when the dialog is closed, which then counts as an abort.
TEST_F(ImportSession_waiting, closingTheDialogEndsTheWait) {
    library.answerAfterPolls = -1;
    view.onWait = [&] { view.closed = library.polls == 3; };
    EXPECT_EQ(runImport("Protocol=3\n"), DownloadOutcome::Abort);
    EXPECT_EQ(library.count("Start"), 0);
    EXPECT_EQ(library.count("ReadMonitorInfo"), 0);
    EXPECT_EQ(view.pollWaits, std::vector<uint32_t>(3, TImportSession::kPollMilliseconds));
    EXPECT_TRUE(session.linkOpen());
    session.FormClose();
    EXPECT_EQ(library.count("End"), 2);
}

// The three readers of the settings file: the import's device keys, the
// configuration dialog's ten and the analysis settings. Each first holds
// values other than the defaults, so a key a reader leaves alone shows.
TEST_F(ImportSession_reading, missingSettingsFileGivesEveryReaderTheDefaults) {
    const std::string missing = dir_ + "/absent.ini";
    session.LoadSettings(write("other.ini", "[SETTINGS]\nDeviceType=2\nProtocol=2\nCOMPort=7\nHRFilter=0\n"));
    ASSERT_EQ(session.protocol(), 2);
    ASSERT_FALSE(view.filterTicked);
    session.LoadSettings(missing);
    EXPECT_EQ(session.deviceType(), 0);
    EXPECT_EQ(session.protocol(), 0);
    EXPECT_EQ(session.comPort(), 1);
    EXPECT_TRUE(view.filterTicked);

    const ConfigValues shown = ReadSettings(missing);
    EXPECT_EQ(shown.deviceType, 0);
    EXPECT_EQ(shown.protocol, 0);
    EXPECT_EQ(shown.comPort, 1);
    EXPECT_TRUE(shown.hrFilter);
    EXPECT_TRUE(shown.modulateTemp);
    EXPECT_EQ(shown.ahFactor, 2);
    EXPECT_TRUE(shown.gps);
    EXPECT_FALSE(shown.hrMaxDev);
    EXPECT_FALSE(shown.debug);
    EXPECT_FALSE(shown.gpsIgnoreTime);

    TPluginState analysis;
    analysis.AHFactor = 9;
    analysis.Settings = {false, false, true, true, true};  // ModulateTemp, GPS, GPSITime, HRMaxDev, Debug
    analysis.PluginIniFile = missing;
    ReadPluginSettings(analysis);
    EXPECT_EQ(analysis.AHFactor, 2);
    EXPECT_TRUE(analysis.Settings.ModulateTemp);
    EXPECT_TRUE(analysis.Settings.GPS);
    EXPECT_FALSE(analysis.Settings.GPSITime);
    EXPECT_FALSE(analysis.Settings.HRMaxDev);
    EXPECT_FALSE(analysis.Settings.Debug);
    EXPECT_FALSE(fs::exists(missing));
}
