// Native build: the exports are linked in, and the plug-in state lives from
// program start to end (the POSIX library entry).
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "framework/posix/MessageSink.h"
#include "plugin/uExportFunctions.h"
#include "tools/host/PluginBinding.h"

namespace {

// The debug box would be lost without a desktop; print it line by line,
// marked so it cannot be mistaken for the report on standard output.
void printPluginMessage(fw::MessageKind kind, const std::string& text) {
    if (kind == fw::MessageKind::Beep) return;
    const char* prefix = kind == fw::MessageKind::Error ? "[plug-in error] " : "[plug-in message] ";
    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t end = rest.find_first_of("\r\n");
        const std::string_view line = rest.substr(0, end);
        std::fprintf(stderr, "%s%.*s\n", prefix, static_cast<int>(line.size()), line.data());
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + (rest.compare(end, 2, "\r\n") == 0 ? 2 : 1));
    }
    std::fflush(stderr);
}

class LinkedPlugin : public PluginBinding {
public:
    LinkedPlugin() {
        exports_.SetPluginIniFile = &::SetPluginIniFile;
        exports_.GetExerciseNumberFromRawFile = &::GetExerciseNumberFromRawFile;
        exports_.AnalyseExercise = &::AnalyseExercise;
        exports_.GetLogSummaryEx = &::GetLogSummaryEx;
        exports_.GetExerciseDatasEx = &::GetExerciseDatasEx;
        exports_.GetLapDatasEx = &::GetLapDatasEx;
        exports_.GetComment = &::GetComment;
        exports_.CallImportDialog = &::CallImportDialog;
        exports_.CallConfiguration = &::CallConfiguration;
        previous_ = fw::setMessageSink(&printPluginMessage);
    }
    // Unloading, as FreeLibrary is on Windows: the plug-in removes its work
    // directory here.
    ~LinkedPlugin() override {
        DonePluginState();
        fw::setMessageSink(std::move(previous_));
    }

private:
    fw::MessageSink previous_;
};

}  // namespace

// The linked plug-in's state is created before main and, at exit, torn down
// by the library entry's static object; registered here, after both exist,
// the unload runs before either is destroyed, on every way out of main.
void startHost() {
    std::atexit([] { DonePluginState(); });
}

HostWindow hostWindow() { return {}; }

bool bindingLoadsLibrary() { return false; }
bool terminalUsesUtf8() { return true; }

std::unique_ptr<PluginBinding> bindPlugin(const std::string& libraryPath, std::string& error) {
    if (!libraryPath.empty()) {
        error = "this build links the plug-in; --dll applies only to the Windows build";
        return nullptr;
    }
    return std::make_unique<LinkedPlugin>();
}
