#pragma once

#include <windows.h>

namespace fw {

// The module holding the framework's code: the plug-in DLL, or a program that
// links the framework. Window classes are registered for it, so that they
// belong to the plug-in even when it is linked into a program.
HINSTANCE codeModule();

}  // namespace fw
