#include "framework/Interrupts.h"

#include <windows.h>

#include <atomic>

namespace fw {

namespace {

std::atomic<bool> requested{false};

// Runs on a thread of its own that Windows starts for the event.
BOOL WINAPI note(DWORD event) {
    requested = true;
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
    // Closing the console, logging off, shutting down: Windows ends the
    // process as soon as this returns, so wait while the program cleans up
    // and ends itself.
    Sleep(INFINITE);
    return TRUE;
}

}  // namespace

void catchInterrupts() { SetConsoleCtrlHandler(&note, TRUE); }

bool interruptRequested() { return requested; }

}  // namespace fw
