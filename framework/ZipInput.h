#pragma once

#include <ioapi.h>

// How minizip reads archives: through a few cached blocks of the file, so
// that reading an archive's directory costs a read per block, not a read
// and a seek per byte as the C library's FILE does after every seek.
namespace fw {

// The read-only file functions to open archives with (unzOpen2_64).
zlib_filefunc64_def bufferedZipInput();

}  // namespace fw
