#include "framework/LibraryEntry.h"

namespace fw {

void* libraryModule() { return nullptr; }

}  // namespace fw

namespace {

// Stands in for the Windows attach and detach notifications: the plug-in's
// state exists from program start to program end.
struct LibraryLifetime {
    LibraryLifetime() { PluginAttach(); }
    ~LibraryLifetime() { PluginDetach(); }
} lifetime;

}  // namespace
