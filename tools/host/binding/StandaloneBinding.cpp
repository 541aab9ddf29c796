// The stand-alone Windows converter: the plug-in linked in without its
// import dialog, so that it runs where no device library is.
#include "tools/host/binding/PluginBinding.h"

HostProgram hostProgram() { return {false, false, true}; }
