#pragma once

#include <cstdint>
#include <string>

#include "model/HostWindow.h"

// Shows the modal configuration dialog on the settings file `iniPath`.
// Returns 1 after OK (settings written), 3 after Abort or Escape, 2 when the
// close box ended it; an unexpected failure shows "DLL Error" and gives 1.
int32_t CallConfigurationFor(const HostWindowParams& host, uint8_t colorScheme, const std::string& iniPath);
