// The platform facts both Windows programs share: the console they run in.
#include <windows.h>

#include "tools/host/binding/LinkedBinding.h"
#include "tools/host/binding/PluginBinding.h"

HostWindow hostWindow() {
    HostWindow host;
    RECT rect{};
    if (HWND console = GetConsoleWindow(); console && GetWindowRect(console, &rect)) {
        host.handle = console;
    } else {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &rect, 0);
    }
    host.left = rect.left;
    host.top = rect.top;
    host.right = rect.right;
    host.bottom = rect.bottom;
    return host;
}

bool terminalUsesUtf8() { return false; }

// Windows shows the plug-in's boxes itself.
void routePluginMessages() {}
