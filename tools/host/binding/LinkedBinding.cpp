// The plug-in linked into the program: its exports are called directly, and
// its state lives from program start to end (the linked library entry).
#include "tools/host/binding/LinkedBinding.h"

#include <cstdlib>

#include "plugin/uExportFunctions.h"
#include "tools/host/binding/PluginBinding.h"

namespace {

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
        routePluginMessages();
    }
    // Unloading, as FreeLibrary is for the DLL: the plug-in removes its work
    // directory here.
    ~LinkedPlugin() override { DonePluginState(); }
};

}  // namespace

// The linked plug-in's state is created before main and, at exit, torn down
// by the library entry's static object; registered here, after both exist,
// the unload runs before either is destroyed, on every way out of main.
void startHost() {
    std::atexit([] { DonePluginState(); });
}

// The program refuses --dll where the plug-in is linked, so a path never comes here.
std::unique_ptr<PluginBinding> bindPlugin(const std::string&, std::string&) { return std::make_unique<LinkedPlugin>(); }
