#pragma once

#include <cstdint>

#include "model/PluginVersion.h"
#include "plugin/ExportContract.h"

// The 31 functions the host calls, exported by undecorated name with the
// contract's ordinals and types.
extern "C" {
plugin_exports::CallImportDialog::Function CallImportDialog;
plugin_exports::CallConfiguration::Function CallConfiguration;
plugin_exports::GetDelProperty::Function GetDelProperty;
plugin_exports::UseOwnImportDialog::Function UseOwnImportDialog;
plugin_exports::UseOwnSetupDialog::Function UseOwnSetupDialog;
plugin_exports::GetPluginImage::Function GetPluginImage;
plugin_exports::GetPluginIcon::Function GetPluginIcon;
plugin_exports::GetExInterface::Function GetExInterface;
plugin_exports::GetLapDatasEx::Function GetLapDatasEx;
plugin_exports::GetExerciseDatasEx::Function GetExerciseDatasEx;
plugin_exports::GetLogSummaryEx::Function GetLogSummaryEx;
plugin_exports::AnalyseExercise::Function AnalyseExercise;
plugin_exports::GetExerciseNumberFromRawFileEx::Function GetExerciseNumberFromRawFileEx;
plugin_exports::GetExerciseNumberFromRawFile::Function GetExerciseNumberFromRawFile;
plugin_exports::GetExerciseNumber::Function GetExerciseNumber;
plugin_exports::SetPluginIniFile::Function SetPluginIniFile;
plugin_exports::SetIniFile::Function SetIniFile;
plugin_exports::GetAHFactor::Function GetAHFactor;
plugin_exports::GetDir::Function GetDir;
plugin_exports::GetDeviceName::Function GetDeviceName;
plugin_exports::ValidRawExtension::Function ValidRawExtension;
plugin_exports::GetRawExtensionEx::Function GetRawExtensionEx;
plugin_exports::GetRawExtension::Function GetRawExtension;
plugin_exports::GetRawHeader::Function GetRawHeader;
plugin_exports::GetComment::Function GetComment;
plugin_exports::GetAuthor::Function GetAuthor;
plugin_exports::GetPluginDevType::Function GetPluginDevType;
plugin_exports::GetPluginType::Function GetPluginType;
plugin_exports::GetPluginName::Function GetPluginName;
plugin_exports::GetVersion::Function GetVersion;
plugin_exports::Initialize::Function Initialize;
}

// Creates and releases the plug-in-wide state; the library entry calls them
// at load and unload, tests call them directly.
void InitPluginState();
void DonePluginState();

