#include "framework/win32/DefaultErase.h"

#include <windows.h>

namespace fw {

namespace {

const char* const kPreviousProc = "PolarDefaultEraseProc";

LRESULT CALLBACK defaultEraseProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProc));
    if (!previous) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_ERASEBKGND) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropA(window, kPreviousProc);
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

}  // namespace

bool eraseBackgroundByDefault(void* control) {
    const HWND window = static_cast<HWND>(control);
    if (!window || !IsWindow(window) || GetPropA(window, kPreviousProc)) return window && IsWindow(window);
    const LONG_PTR previous = GetWindowLongPtrA(window, GWLP_WNDPROC);
    if (!SetPropA(window, kPreviousProc, reinterpret_cast<HANDLE>(previous))) return false;
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&defaultEraseProc));
    return true;
}

}  // namespace fw
