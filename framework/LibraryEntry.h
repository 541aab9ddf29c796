#pragma once

// The plug-in defines these; the platform's library entry calls them when the
// host loads (attach) and unloads (detach) the library.
void PluginAttach();
void PluginDetach();

namespace fw {
// Handle of the plug-in's own module (HMODULE on Windows, null elsewhere).
void* libraryModule();
}  // namespace fw
