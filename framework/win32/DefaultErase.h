#pragma once

// Sends a control's background-erase message (WM_ERASEBKGND) to the
// system's default window procedure instead of the control's own handling,
// for the life of the window. `control` is an HWND; false when it is none.
namespace fw {

bool eraseBackgroundByDefault(void* control);

}  // namespace fw
