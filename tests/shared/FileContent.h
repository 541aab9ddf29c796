#pragma once

#include <string>
#include <string_view>

// A file's bytes as they stand, with no line-end translation.

// Empty when the file cannot be read.
std::string readFile(const std::string& path);
// Throws std::runtime_error when the file cannot be written.
void writeFile(const std::string& path, std::string_view content);
