#include "DialogDriver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "config/ConfigControls.h"

namespace {

struct Search {
    int id;
    HWND found;
};

BOOL CALLBACK matchId(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (GetDlgCtrlID(child) != search->id) return TRUE;
    search->found = child;
    return FALSE;
}

}  // namespace

HWND controlOf(HWND root, int id) {
    Search search{id, nullptr};
    EnumChildWindows(root, matchId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string textOf(HWND window) {
    char text[1024] = "";
    const LRESULT length = SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return std::string(text, static_cast<size_t>(length));
}

HWND waitForWindow(const char* caption, const char* className, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        HWND window = FindWindowA(className, caption);
        if (window && IsWindowVisible(window)) return window;
        Sleep(20);
    } while (GetTickCount() - start < milliseconds);
    return nullptr;
}

bool waitUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= milliseconds) return false;
        Sleep(20);
    }
    return true;
}

int32_t runConfiguration(const PluginHost& plugin, const ConfigCall& call, std::function<void(HWND dialog)> script) {
    auto* callConfiguration = plugin.get<plugin_exports::CallConfiguration>();
    if (!callConfiguration) {
        ADD_FAILURE() << "no CallConfiguration";
        return -1;
    }
    std::atomic<bool> returned{false};
    std::thread driver([&] {
        HWND dialog = waitForWindow(kConfigCaption);
        if (!dialog) {
            ADD_FAILURE() << "the dialog did not appear";
            return;
        }
        script(dialog);
        // The call's return, not IsWindow: another thread may see the handle a while after it went.
        for (int waited = 0; !returned && waited < 10000; waited += 20) Sleep(20);
        if (!returned) {
            ADD_FAILURE() << "the script left the dialog open";
            PostMessageA(dialog, WM_CLOSE, 0, 0);
        }
    });
    const int32_t result = callConfiguration(call.owner, call.hostRect.left, call.hostRect.top, call.hostRect.right,
                                             call.hostRect.bottom, call.colorScheme, 0, call.iniPath.c_str(), 0);
    returned = true;
    driver.join();
    return result;
}
