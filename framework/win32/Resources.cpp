#include "framework/Resources.h"

#include <windows.h>

#include "framework/LibraryEntry.h"

namespace fw {

void loadBitmapResource(const char* name, void** handle) {
    if (!handle) return;
    if (*handle) DeleteObject(static_cast<HGDIOBJ>(*handle));
    // A DIB section keeps the resource's own colour depth instead of the screen's.
    *handle = LoadImageA(static_cast<HINSTANCE>(libraryModule()), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
}

}  // namespace fw
