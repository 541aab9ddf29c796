#pragma once

#include <cstdint>

// What the host hands to both dialogs: its window (the owner during the
// call) and that window's rectangle, on which the dialog is centred.
struct HostWindowParams {
    void* window = nullptr;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
