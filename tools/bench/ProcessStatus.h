#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>

// A field of /proc/self/status in KiB (VmRSS, VmHWM ...); -1 when it cannot
// be read. Shared by the benchmark and the leak check, which both measure
// the process's own memory on Linux.
inline long statusKiB(const char* field) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long value = -1;
    const size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, field, length) == 0 && line[length] == ':') value = std::strtol(line + length + 1, nullptr, 10);
    std::fclose(f);
    return value;
}
