#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The bytes of the file at `path`, read to at most one byte past `limit`,
// so that a caller tells a file too large for what it should be without
// reading all of it; nullopt with `error` set ("PATH: No such file or
// directory") when the file cannot be read.
std::optional<std::string> readFileBytes(const std::string& path, size_t limit, std::string& error);
