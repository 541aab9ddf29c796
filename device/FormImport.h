#pragma once

#include <cstdint>
#include <string>

#include "model/HostWindow.h"
#include "model/PluginState.h"

// Shows the modal import dialog, which connects to the monitor, downloads
// every exercise and archives them as "Connect.hrz" in `targetDir`. Returns
// the number of exercises imported, 0 when the dialog ended otherwise.
// Catches everything; an unexpected failure shows "DLL Error" and gives 0.
int32_t CallImportDialogFor(TPluginState& plugin, const HostWindowParams& host, const std::string& targetDir);
