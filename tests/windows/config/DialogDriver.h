#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "../PluginHost.h"

// One call of CallConfiguration (ordinal 2) as the host makes it.
struct ConfigCall {
    HWND owner = nullptr;
    RECT hostRect{100, 80, 900, 680};
    uint8_t colorScheme = 8;
    std::string iniPath;
};

// Runs the call on this thread while `script` drives the dialog from a
// second thread. The script gets the dialog window once it is shown and must
// end the dialog; a dialog still open after it is closed, and a dialog that
// never appeared is reported, so a broken script cannot hang the test.
// Returns the export's result.
int32_t runConfiguration(const PluginHost& plugin, const ConfigCall& call, std::function<void(HWND dialog)> script);

// Waits up to `milliseconds` for a visible top-level window with this caption
// (and class, when given); null when none came.
HWND waitForWindow(const char* caption, const char* className = nullptr, DWORD milliseconds = 20000);
// Polls `condition` until it holds; false on timeout.
bool waitUntil(const std::function<bool()>& condition, DWORD milliseconds = 10000);

// The control with this id anywhere below `root`, or null.
HWND controlOf(HWND root, int id);
std::string textOf(HWND window);
