#include "../shared/ExportsTable.h"

#include "TestFiles.h"
#include "plugin/uExportFunctions.h"

namespace {

const exports_table::Exports kLinked = {
    CallImportDialog, CallConfiguration, GetDelProperty,   UseOwnImportDialog,
    UseOwnSetupDialog, GetPluginImage,  GetPluginIcon,     GetExInterface,
    GetLapDatasEx,     GetExerciseDatasEx, GetLogSummaryEx, AnalyseExercise,
    GetExerciseNumberFromRawFileEx, GetExerciseNumberFromRawFile, GetExerciseNumber, SetPluginIniFile,
    SetIniFile,        GetAHFactor,     GetDir,            GetDeviceName,
    ValidRawExtension, GetRawExtensionEx, GetRawExtension, GetRawHeader,
    GetComment,        GetAuthor,       GetPluginDevType,  GetPluginType,
    GetPluginName,     GetVersion,      Initialize,
};

using ExportsTable_arguments = HostTest;

}  // namespace

TEST_F(ExportsTable_arguments, everyExportSurvivesHostileArguments) {
    exports_table::Environment env;
    env.file = [this](const std::string& name) { return path(name); };
    env.write = [this](const std::string& name, const std::string& content) { write(name, content); };
    exports_table::checkEveryExport(kLinked, env);
}
