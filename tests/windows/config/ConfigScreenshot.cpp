// Opens the configuration dialog with colour scheme 0 on default settings
// and keeps it open until the file named by the argument appears, so that
// scripts/screenshot-config.sh can photograph it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "DialogDriver.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s STOP-FILE\n", argv[0]);
        return 2;
    }
    const std::string stopFile = argv[1];
    PluginHost plugin;
    if (!plugin.module()) {
        std::fprintf(stderr, "cannot load %s\n", PluginHost::libraryPath().c_str());
        return 1;
    }
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    ConfigCall call;
    call.colorScheme = 0;
    call.hostRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    call.iniPath = std::string(temp) + "polar-screenshot-none.ini";
    DeleteFileA(call.iniPath.c_str());
    const int32_t result = runConfiguration(plugin, call, [&](HWND dialog) {
        std::printf("dialog shown\n");
        std::fflush(stdout);
        for (int i = 0; i < 600 && GetFileAttributesA(stopFile.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    std::printf("result %d\n", static_cast<int>(result));
    return result == 2 ? 0 : 1;
}
