#include "FormImport.h"

// Without a desktop and a device library there is nothing to import from.
int32_t CallImportDialogFor(TPluginState&, const HostWindowParams&, const std::string&) { return 0; }
