#pragma once

#include <cstdint>

// The plug-in's version number as GetVersion reports it and the debug log
// shows it (8.1.3 -> 813).
inline constexpr int32_t kPluginVersion = 813;
