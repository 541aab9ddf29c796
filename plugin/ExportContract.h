#pragma once

#include <cstdint>

#include "framework/CallingConvention.h"

// The contract with the host: each of the 31 exports with its ordinal, which
// never moves (new exports are only ever appended), its undecorated name and
// its function type. plugin/CMakeLists.txt writes the linker's exports.def
// from the POLAR_EXPORT lines, each at the start of a line.
// A "one byte" result is uint8_t; text lengths arrive in 32-bit slots of
// which the low 16 bits count. No windows.h here: it declares a GetVersion of
// its own, and callers that load the DLL include both.
namespace plugin_exports {

#define POLAR_EXPORT(ORDINAL, NAME, RESULT, PARAMETERS)         \
    struct NAME {                                               \
        static constexpr uint16_t ordinal = ORDINAL;            \
        static constexpr const char* name = #NAME;              \
        using Function = RESULT FW_STDCALL PARAMETERS;          \
    };

POLAR_EXPORT(1, CallImportDialog, int32_t,
             (void* hostWindow, int32_t left, int32_t top, int32_t right, int32_t bottom, uint8_t colorScheme,
              uint8_t unused7, const char* targetDir, uint8_t unused9))
POLAR_EXPORT(2, CallConfiguration, int32_t,
             (void* hostWindow, int32_t left, int32_t top, int32_t right, int32_t bottom, uint8_t colorScheme,
              uint8_t unused7, const char* iniPath, uint8_t unused9))
POLAR_EXPORT(3, GetDelProperty, int32_t, ())
POLAR_EXPORT(4, UseOwnImportDialog, uint8_t, ())
POLAR_EXPORT(5, UseOwnSetupDialog, uint8_t, ())
POLAR_EXPORT(6, GetPluginImage, uint8_t, (void** bitmap))
POLAR_EXPORT(7, GetPluginIcon, uint8_t, (void** bitmap))
POLAR_EXPORT(8, GetExInterface, uint8_t, ())
POLAR_EXPORT(9, GetLapDatasEx, uint8_t, (int32_t index, void* lap))
POLAR_EXPORT(10, GetExerciseDatasEx, uint8_t, (int32_t index, void* sample))
POLAR_EXPORT(11, GetLogSummaryEx, uint8_t, (void* summary))
POLAR_EXPORT(12, AnalyseExercise, int32_t, (const char* fileName, const int32_t* exerciseIndex))
POLAR_EXPORT(13, GetExerciseNumberFromRawFileEx, int32_t, (const char* fileName, uint32_t extra))
POLAR_EXPORT(14, GetExerciseNumberFromRawFile, uint16_t, (const char* fileName))
POLAR_EXPORT(15, GetExerciseNumber, uint16_t, ())
POLAR_EXPORT(16, SetPluginIniFile, void, (const char* fileName))
POLAR_EXPORT(17, SetIniFile, void, (const char* fileName))
POLAR_EXPORT(18, GetAHFactor, int32_t, ())
POLAR_EXPORT(19, GetDir, void, (char* buffer, uint32_t len))
POLAR_EXPORT(20, GetDeviceName, void, (char* buffer, uint32_t len))
POLAR_EXPORT(21, ValidRawExtension, uint8_t, (const char* extension, uint32_t len))
POLAR_EXPORT(22, GetRawExtensionEx, uint8_t, (char* buffer, uint32_t len))
POLAR_EXPORT(23, GetRawExtension, uint8_t, (char* buffer, uint32_t len))
POLAR_EXPORT(24, GetRawHeader, uint8_t, (char* buffer, uint32_t len))
POLAR_EXPORT(25, GetComment, int32_t, (char* buffer, uint32_t len))
POLAR_EXPORT(26, GetAuthor, void, (char* buffer, uint32_t len))
POLAR_EXPORT(27, GetPluginDevType, uint8_t, ())
POLAR_EXPORT(28, GetPluginType, uint8_t, ())
POLAR_EXPORT(29, GetPluginName, void, (char* buffer, uint32_t len))
POLAR_EXPORT(30, GetVersion, int32_t, ())
POLAR_EXPORT(31, Initialize, uint8_t, (int32_t ahFactor, const char* directory, uint32_t reserved))

#undef POLAR_EXPORT

// All of them in ordinal order, for checks that walk the whole table.
template <typename... Export>
struct ExportList {};
using AllExports =
    ExportList<CallImportDialog, CallConfiguration, GetDelProperty, UseOwnImportDialog, UseOwnSetupDialog,
               GetPluginImage, GetPluginIcon, GetExInterface, GetLapDatasEx, GetExerciseDatasEx, GetLogSummaryEx,
               AnalyseExercise, GetExerciseNumberFromRawFileEx, GetExerciseNumberFromRawFile, GetExerciseNumber,
               SetPluginIniFile, SetIniFile, GetAHFactor, GetDir, GetDeviceName, ValidRawExtension,
               GetRawExtensionEx, GetRawExtension, GetRawHeader, GetComment, GetAuthor, GetPluginDevType,
               GetPluginType, GetPluginName, GetVersion, Initialize>;

}  // namespace plugin_exports
