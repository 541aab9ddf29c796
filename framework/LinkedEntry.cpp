#include "framework/LibraryEntry.h"

namespace fw {

// Linked into a program the plug-in has no module of its own.
void* libraryModule() { return nullptr; }

}  // namespace fw

namespace {

// Stands in for the library's attach and detach notifications when the
// plug-in is linked into a program: its state exists from program start to
// program end.
struct LibraryLifetime {
    LibraryLifetime() { PluginAttach(); }
    ~LibraryLifetime() { PluginDetach(); }
} lifetime;

}  // namespace
