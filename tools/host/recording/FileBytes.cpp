#include "tools/host/recording/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

std::optional<std::string> readFileBytes(const std::string& path, size_t limit, std::string& error) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::string bytes;
    char block[1 << 16];
    size_t got;
    while (bytes.size() <= limit && (got = std::fread(block, 1, sizeof block, file.get())) > 0) bytes.append(block, got);
    if (std::ferror(file.get())) {
        error = path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    return bytes;
}
