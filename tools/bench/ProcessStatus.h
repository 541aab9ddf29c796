#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

// A field of /proc/self/status in KiB (VmRSS, VmHWM ...); -1 when it cannot
// be read. Shared by the benchmark and the leak check, which both measure
// the process's own memory on Linux.
inline long statusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    const std::string key = std::string(field) + ":";
    long value = -1;
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, key.size(), key) == 0) value = std::strtol(line.c_str() + key.size(), nullptr, 10);
    return value;
}
