#pragma once

// Programs that link the plug-in rather than load its DLL (the native host,
// the Windows stand-alone converter) route its message boxes where the
// platform can show them; called once, when the plug-in is bound.
void routePluginMessages();
