#include "ImportSession.h"

#include <cstring>
#include <vector>

#include "device/ImportRules.h"
#include "framework/FileSystem.h"
#include "framework/FpuControl.h"
#include "framework/Zip.h"
#include "model/Settings.h"
#include "model/WorkDirectory.h"

namespace {

const char* const kConnectionFailed = "Connection could not be established!";

// The hourglass for the lifetime of the scope.
class BusyCursor {
public:
    explicit BusyCursor(ImportView& view) : view_(view) { view_.setBusyCursor(true); }
    ~BusyCursor() { view_.setBusyCursor(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    ImportView& view_;
};

bool nameTaken(const std::string& path) { return fw::fileExists(path) || fw::directoryExists(path); }

}  // namespace

void TImportSession::LoadSettings(const std::string& iniFile) {
    const SettingsValues v = ReadSettings(iniFile);
    FDeviceType = static_cast<uint8_t>(v.deviceType);
    FProtocol = static_cast<uint8_t>(v.protocol);
    FComPort = static_cast<int16_t>(v.comPort);
    view_.setHRFilterTicked(v.hrFilter);
}

StartOutcome TImportSession::tmStartTimer() {
    // The start timer runs on every activation of the dialog, a message box
    // closing included; the connection must not run twice.
    if (connectionStarted_) return StartOutcome::Ignored;
    connectionStarted_ = true;
    SetLibraryTexts();
    FConnected = ConnectDevice();
    return FCloseRequested ? StartOutcome::Close : StartOutcome::ScheduleDownload;
}

DownloadOutcome TImportSession::tmGetDatasTimer() {
    if (!FConnected) {
        btnAbortClick();
        return DownloadOutcome::Abort;
    }
    struct AbortEnabledAgain {
        ImportView& view;
        ~AbortEnabledAgain() { view.setAbortEnabled(true); }
    } again{view_};
    view_.setAbortEnabled(false);
    if (!DownloadExercises()) return DownloadOutcome::StayOpen;
    if (!FTargetDir.empty()) {
        fw::createDirectories(FTargetDir);
        ArchiveExercises(IncludeTrailingBackslash(FTargetDir) + "Connect.hrz", plugin_.ImportWorkDir);
    }
    return DownloadOutcome::EndOk;
}

void TImportSession::FormClose() {
    if (FLinkOpen) CloseLink();
}

void TImportSession::SetLibraryTexts() {
    FLinkOpen = false;
    library_.SetComText(kComTextConnection, "Infrared-Connection");
    library_.SetComText(kComTextReading, "Read Exercises...");
    library_.SetComText(kComTextAbort, "Abort");
    library_.SetComText(kComTextRetry, "Retry");
}

void TImportSession::failConnection() {
    view_.showMessage(kConnectionFailed);
    FCloseRequested = true;
}

bool TImportSession::ConnectDevice() {
    if (!library_.ResetIRCommunication()) {
        failConnection();
        return false;
    }
    view_.setState("Connected");
    const ProtocolStart start = StartForProtocol(FProtocol, FComPort, view_.hrFilterTicked());
    if (start.start) {
        view_.appendCaption(start.captionSuffix);
        if (!library_.StartIRCommunication(start.flags, start.port)) {
            failConnection();
            return false;
        }
    }
    FGeneralParams = MakeGeneralParams(view_.windowHandle());
    TMonitorInfo info;
    std::memset(&info, 0, sizeof info);

    view_.setState("Wait...");
    // No time limit: the user ends the wait with Abort, which the message
    // handling in between delivers.
    while (!library_.IsIrDAConnected()) {
        // Closing the dialog while it waits is an abort too; otherwise the
        // hidden dialog would go on waiting for the device.
        if (view_.closeRequested()) btnAbortClick();
        if (FLinkOpen) {
            FCloseRequested = true;
            return false;
        }
        view_.waitForMessages(kPollMilliseconds);
    }

    FLinkOpen = true;
    view_.setState("Connected with device");
    bool read;
    {
        fw::FpuControlScope masked;
        read = library_.ReadMonitorInfo(FGeneralParams, info);
    }
    if (!read) {
        FCloseRequested = true;
        return false;
    }
    FDeviceType = DetectDeviceType(FDeviceType, info.MonitorCode);
    const std::string family = FamilyCaptionSuffix(FDeviceType);
    if (!family.empty()) view_.appendCaption(family);
    FExerciseCount = info.ExerciseCount;
    view_.setDeviceText("Device: " + library_.GetPolarHRMonitorName(info.MonitorCode, info.NameVariant));
    if (info.LowVoltage > 0) view_.showLowVoltageHint(LowVoltageHint(info.LowVoltage));
    view_.setExercisesText("Exercises: " + std::to_string(FExerciseCount));
    const int32_t percent = MemoryPercent(info.MemorySize, info.FreeMemory);
    view_.setMemory(percent, "Memory: " + std::to_string(percent) + " %");
    return true;
}

void TImportSession::CloseLink() {
    view_.setState("Closing...");
    view_.processMessages();
    {
        BusyCursor busy(view_);
        view_.sleep(1000);
        {
            fw::FpuControlScope masked;
            library_.SendMonitorToWatchMode(FGeneralParams);
            view_.sleep(1000);
            library_.SendMonitorToWatchMode(FGeneralParams);
            view_.sleep(1000);
            library_.EndIRCommunication();
            view_.sleep(1000);
            library_.EndIRCommunication();
        }
        view_.setState("Offline");
        FLinkOpen = false;
    }
}

bool TImportSession::DownloadExercises() {
    const uint16_t callerWord = fw::fpuControlWord();
    void* const window = view_.windowHandle();
    if (FDeviceType == kFamilyS) {
        int32_t read;
        {
            fw::FpuControlScope masked;
            read = library_.ReadExercisesData(window);
        }
        if ((read & 0xFFFF) == 0) {
            CloseLink();
            return false;
        }
    }

    try {
        const std::string workDirectory = WorkDirectoryPath();
        if (fw::directoryExists(workDirectory)) DeleteWorkDirectory(workDirectory);
        fw::createDirectories(workDirectory);
        plugin_.ImportWorkDir = workDirectory;
        const std::string directory = IncludeTrailingBackslash(workDirectory);

        // Also a monitor without exercises replaces the last import's count:
        // the host expects the number of exercises in the new archive.
        plugin_.ImportedExerciseCount = FExerciseCount > 0 ? FExerciseCount : 0;
        if (FExerciseCount > 0) {
            view_.showProgress(FExerciseCount);
            for (int32_t i = 0; i < FExerciseCount; ++i) {
                view_.setProgress(i + 1);
                int32_t fileNumber = 0;
                TExerciseFileInfo fileInfo;
                std::memset(&fileInfo, 0, sizeof fileInfo);
                if (FDeviceType == kFamilyS) {
                    fw::FpuControlScope masked;
                    if (!library_.GetExeFileInfo(i, fileInfo) || !library_.AnalyzeFile(i)) break;
                    fileNumber = fileInfo.FileNumber;
                } else if (FDeviceType == kFamilyRS || FDeviceType == kFamilyCS) {
                    bool read = true;
                    try {
                        fw::FpuControlScope masked;
                        read = library_.ReadExerciseFile(window, i) != 0;
                        if (read) fileNumber = library_.GetRecParam(kRecParamFileNumber);
                    } catch (...) {
                        // Saved all the same, under the number obtained so far.
                    }
                    if (!read) break;
                }
                const std::string path = ExerciseFilePath(directory, fileNumber, nameTaken);
                bool saved = false;
                if (!path.empty()) {
                    fw::FpuControlScope masked;
                    saved = library_.SaveExerciseHRM(window, path);
                }
                if (!saved) view_.showMessage("ErrorSaving");
            }
        }
        {
            BusyCursor busy(view_);
            view_.hideProgress();
            view_.processMessages();
            view_.sleep(2500);
        }
    } catch (...) {
        fw::setFpuControlWord(callerWord);
        CloseLink();
        throw;
    }
    fw::setFpuControlWord(callerWord);
    CloseLink();
    return true;
}

void TImportSession::ArchiveExercises(const std::string& archivePath, const std::string& workDirectory) {
    if (fw::fileExists(archivePath)) fw::deleteFile(archivePath);
    const std::string directory = IncludeTrailingBackslash(workDirectory);
    std::vector<fw::ZipSource> sources;
    for (const fw::DirectoryEntry& entry : fw::listDirectory(workDirectory, "*.hrm")) {
        if (entry.attributes & fw::kAttrDirectory) continue;
        sources.push_back({entry.name, directory + entry.name});
    }
    // No archive without exercises: an empty one would only mislead the host.
    if (!sources.empty()) fw::writeZip(archivePath, sources);
    try {
        DeleteWorkDirectory(workDirectory);
    } catch (...) {
        view_.showMessage("Can't delete " + workDirectory);
    }
}
