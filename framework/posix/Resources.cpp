#include "framework/Resources.h"

namespace fw {

void loadBitmapResource(const char*, void** handle) {
    if (handle) *handle = nullptr;
}

}  // namespace fw
