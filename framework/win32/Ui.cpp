#include "framework/Ui.h"

#include <windows.h>

namespace fw {

void messageBeep() { MessageBeep(MB_OK); }

// Owned by the active window so the box stays in front of the host and blocks it.
void showInformation(const std::string& text) {
    MessageBoxA(GetActiveWindow(), text.c_str(), "Information", MB_OK | MB_ICONINFORMATION);
}

void showError(const std::string& text) {
    MessageBoxA(GetActiveWindow(), text.c_str(), "Error", MB_OK | MB_ICONERROR);
}

}  // namespace fw
