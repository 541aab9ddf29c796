#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/HostWindow.h"
#include "model/Settings.h"

// The configuration dialog's values and rules, apart from its window.

// What the dialog shows and OK saves: the settings file's ten keys. List
// selections count from 0; -1 is no selection.
using ConfigValues = SettingsValues;

// Protocol list entry that enables the port list.
inline constexpr int32_t kProtocolCom = 2;
inline constexpr int32_t kAHFactorMinimum = 0;
inline constexpr int32_t kAHFactorMaximum = 10;

struct SettingWrite {
    const char* key;
    int32_t value;
    bool boolean;  // written as 0 or 1
};

// The keys OK writes, in their order; COMPort comes last and only while the
// port list is enabled, so under IrDA and USB the stored port stays.
std::vector<SettingWrite> settingWrites(const ConfigValues& values, bool portListEnabled);

// Writes settingWrites in order. A refused write throws fw::IniWriteError;
// the keys written before it stay written.
void saveConfigValues(const std::string& iniPath, const ConfigValues& values, bool portListEnabled);

// Message for a refused write to `file`.
std::string writeRefusedMessage(const std::string& file);

// Port list item of port number n: "COM" + n.
std::string portItem(int32_t number);
// Number of a port list item: its text from the fourth character on as a
// decimal integer; -1 for no selection (empty text), text that is no number,
// or a number outside the signed 16-bit range the setting holds.
int32_t portNumberOf(const std::string& item);
// Port list items for the port names the system lists ("COM3"): one item per
// name that is "COM" and a number, by ascending number, each once.
std::vector<std::string> portItemsOf(const std::vector<std::string>& portNames);

// Dialog background of a colour scheme index.
struct SchemeColor {
    enum Kind { Rgb, ButtonFace, Unchanged } kind;
    uint8_t red = 0, green = 0, blue = 0;
};
SchemeColor schemeColor(uint8_t index);

struct ScreenRect {
    int32_t left, top, right, bottom;
};
struct ScreenPoint {
    int32_t x, y;
};
// Top-left corner of a window of outer size width x height centred on the
// host rectangle, each half truncated toward zero. An empty host rectangle
// (no host window) centres on `fallback`, the screen's work area.
ScreenPoint centredOn(const HostWindowParams& host, int32_t width, int32_t height, const ScreenRect& fallback);
