#include "framework/LibraryEntry.h"

#include <windows.h>

namespace {

HMODULE ownModule = nullptr;

}  // namespace

namespace fw {

void* libraryModule() { return ownModule; }

}  // namespace fw

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        ownModule = instance;
        // A failed attach must not unwind into the loader; the host then sees LoadLibrary fail.
        try {
            PluginAttach();
        } catch (...) {
            return FALSE;
        }
        break;
    case DLL_PROCESS_DETACH:
        try {
            PluginDetach();
        } catch (...) {
        }
        break;
    default:
        break;
    }
    return TRUE;
}
