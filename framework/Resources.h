#pragma once

// Bitmap resources of the plug-in's own module.
namespace fw {

// Replaces the bitmap handle in `handle` by a newly loaded copy of resource
// `name`: a non-zero handle found there is destroyed first. The caller owns
// the new handle. On POSIX there are no resources and the variable becomes 0.
void loadBitmapResource(const char* name, void** handle);

}  // namespace fw
