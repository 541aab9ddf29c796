#pragma once

#include <windows.h>

#include <string>

#include "plugin/ExportContract.h"

// Loads PolarImport.dll from beside the test program and reaches its exports
// by ordinal, as the host does. Each instance is one load: the library's
// attach runs in the constructor, its detach in the destructor.
class PluginHost {
public:
    PluginHost() : module_(LoadLibraryA(libraryPath().c_str())) {}
    ~PluginHost() {
        if (module_) FreeLibrary(module_);
    }
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    HMODULE module() const { return module_; }

    // The export `Export` of the contract (plugin_exports::GetVersion ...),
    // found by its ordinal; null when the DLL lacks it.
    template <typename Export>
    typename Export::Function* get() const {
        return reinterpret_cast<typename Export::Function*>(
            reinterpret_cast<void (*)()>(GetProcAddress(module_, MAKEINTRESOURCEA(Export::ordinal))));
    }

    static std::string libraryPath() {
        char exe[MAX_PATH];
        const DWORD length = GetModuleFileNameA(nullptr, exe, sizeof exe);
        std::string path(exe, length);
        return path.substr(0, path.find_last_of('\\') + 1) + "PolarImport.dll";
    }

private:
    HMODULE module_;
};

// Text of a window of this process, read from the window itself. A message
// (GetWindowText, WM_GETTEXT) would wait on the window's thread, which may be
// busy in a fixed wait, or waiting for the very thread that asks.
std::string windowTextOf(HWND window);

// A fresh directory under the temporary directory, removed with its files
// (one level deep) at the end of the test.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const std::string& name);
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }
    // Writes `content` as it stands (no line-end translation).
    void write(const std::string& name, const std::string& content) const;

private:
    std::string path_;
};
