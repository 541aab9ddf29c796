#pragma once

#include <cstdint>
#include <string>

#include "device/DeviceLibrary.h"
#include "device/uPolar.h"
#include "model/PluginState.h"
#include "model/Settings.h"

// The import dialog's connection, download and archive steps in plain code:
// they talk to the device library (DeviceLibrary) and to the dialog
// (ImportView) only through interfaces, so the call sequence can be checked
// without either.

// What the steps show and ask of the import dialog.
class ImportView {
public:
    virtual ~ImportView() = default;
    virtual void* windowHandle() = 0;
    virtual void setState(const std::string& text) = 0;  // status panel
    virtual void appendCaption(const std::string& suffix) = 0;
    virtual void setDeviceText(const std::string& text) = 0;
    // Shows the hint group with `text` and makes the dialog 300 pixels high.
    virtual void showLowVoltageHint(const std::string& text) = 0;
    virtual void setExercisesText(const std::string& text) = 0;
    virtual void setMemory(int32_t percent, const std::string& text) = 0;
    virtual bool hrFilterTicked() = 0;
    virtual void setHRFilterTicked(bool ticked) = 0;
    virtual void setAbortEnabled(bool enabled) = 0;
    virtual void showProgress(int32_t maximum) = 0;
    virtual void setProgress(int32_t position) = 0;
    virtual void hideProgress() = 0;
    virtual void showMessage(const std::string& text) = 0;
    virtual void setBusyCursor(bool busy) = 0;
    // True once the user closed the dialog another way than with Abort.
    virtual bool closeRequested() = 0;
    // Handles the window messages already waiting.
    virtual void processMessages() = 0;
    // Handles waiting messages, then sleeps until another arrives or
    // `milliseconds` pass, so that polling leaves the processor idle.
    virtual void waitForMessages(uint32_t milliseconds) = 0;
    // Blocks without handling messages.
    virtual void sleep(uint32_t milliseconds) = 0;
};

enum class StartOutcome { Ignored, Close, ScheduleDownload };
enum class DownloadOutcome { Abort, EndOk, StayOpen };

class TImportSession {
public:
    TImportSession(TPluginState& plugin, DeviceLibrary& library, ImportView& view)
        : plugin_(plugin), library_(library), view_(view) {}

    // Reads the four device keys of `iniFile` (section SETTINGS); HRFilter
    // goes to the dialog's check box.
    void LoadSettings(const std::string& iniFile);
    void SetTargetDir(const std::string& directory) { FTargetDir = directory; }

    // Whether an activation of the dialog may start the start timer: only
    // until the connection step has begun, once per dialog.
    bool activationStartsTimer() const { return !connectionStarted_; }

    // The start timer's step: library texts and connection. Runs once; a
    // later firing is ignored.
    StartOutcome tmStartTimer();
    // The download timer's step: download, archive. Abort when the
    // connection step failed, StayOpen when the bulk read failed.
    DownloadOutcome tmGetDatasTimer();
    // Abort request: ends the wait for the device.
    void btnAbortClick() { FLinkOpen = true; }
    // When the dialog closes.
    void FormClose();

    void SetLibraryTexts();
    bool ConnectDevice();
    void CloseLink();
    bool DownloadExercises();
    void ArchiveExercises(const std::string& archivePath, const std::string& workDirectory);

    bool linkOpen() const { return FLinkOpen; }
    uint8_t deviceType() const { return FDeviceType; }
    uint8_t protocol() const { return FProtocol; }
    int16_t comPort() const { return FComPort; }
    int32_t exerciseCount() const { return FExerciseCount; }

    // Pause between two polls of the device while waiting for it.
    static constexpr uint32_t kPollMilliseconds = 15;

private:
    void failConnection();

    TPluginState& plugin_;
    DeviceLibrary& library_;
    ImportView& view_;

    std::string FTargetDir;
    bool FLinkOpen = false;  // a device answered, or an abort was requested
    bool FConnected = false;
    bool FCloseRequested = false;
    // The settings' defaults until LoadSettings.
    uint8_t FDeviceType = static_cast<uint8_t>(SettingsValues{}.deviceType);
    uint8_t FProtocol = static_cast<uint8_t>(SettingsValues{}.protocol);
    int16_t FComPort = static_cast<int16_t>(SettingsValues{}.comPort);
    int32_t FExerciseCount = 0;
    TGeneralParams FGeneralParams{};
    bool connectionStarted_ = false;
};
