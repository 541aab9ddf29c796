// Windows build: loads the DLL and finds each export by its ordinal, the
// contract the real host relies on (names may differ, ordinals never move).
#include <windows.h>

#include <string>

#include "tools/host/binding/PluginBinding.h"

namespace {

class LoadedPlugin : public PluginBinding {
public:
    explicit LoadedPlugin(HMODULE module) : module_(module) {}
    ~LoadedPlugin() override { FreeLibrary(module_); }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    // Every export is looked up so that the message lists all that are missing.
    bool resolveAll(std::string& missing) {
        using namespace plugin_exports;
        bool ok = resolve<SetPluginIniFile>(exports_.SetPluginIniFile, missing);
        ok &= resolve<GetExerciseNumberFromRawFile>(exports_.GetExerciseNumberFromRawFile, missing);
        ok &= resolve<AnalyseExercise>(exports_.AnalyseExercise, missing);
        ok &= resolve<GetLogSummaryEx>(exports_.GetLogSummaryEx, missing);
        ok &= resolve<GetExerciseDatasEx>(exports_.GetExerciseDatasEx, missing);
        ok &= resolve<GetLapDatasEx>(exports_.GetLapDatasEx, missing);
        ok &= resolve<GetComment>(exports_.GetComment, missing);
        ok &= resolve<CallImportDialog>(exports_.CallImportDialog, missing);
        ok &= resolve<CallConfiguration>(exports_.CallConfiguration, missing);
        return ok;
    }

private:
    template <typename Export>
    bool resolve(typename Export::Function*& function, std::string& missing) {
        const FARPROC address = GetProcAddress(module_, MAKEINTRESOURCEA(Export::ordinal));
        if (!address) {
            missing += (missing.empty() ? "missing export ordinal " : ", ") + std::to_string(Export::ordinal);
            return false;
        }
        // Through void (*)(), which converts to any function type without a warning.
        function = reinterpret_cast<typename Export::Function*>(reinterpret_cast<void (*)()>(address));
        return true;
    }

    HMODULE module_;
};

std::string besideProgram(const char* name) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path, length < MAX_PATH ? length : 0);
    const size_t slash = directory.find_last_of("\\/");
    directory = slash == std::string::npos ? std::string() : directory.substr(0, slash + 1);
    return directory + name;
}

}  // namespace

// A DLL that cannot be loaded must end in an error message, not in a
// system dialog waiting for a click.
void startHost() { SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX); }

HostProgram hostProgram() { return {true, true, true}; }

std::unique_ptr<PluginBinding> bindPlugin(const std::string& libraryPath, std::string& error) {
    const std::string path = libraryPath.empty() ? besideProgram("PolarImport.dll") : libraryPath;
    const HMODULE module = LoadLibraryA(path.c_str());
    if (!module) {
        error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    auto plugin = std::make_unique<LoadedPlugin>(module);
    std::string missing;
    if (!plugin->resolveAll(missing)) {
        error = path + ": " + missing;
        return nullptr;
    }
    return plugin;
}
