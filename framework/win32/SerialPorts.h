#pragma once

#include <string>
#include <vector>

namespace fw {

// Port names ("COM3") that the system lists as the values of
// HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM, in registry order;
// empty when the key is missing or unreadable.
std::vector<std::string> serialPortNames();

}  // namespace fw
