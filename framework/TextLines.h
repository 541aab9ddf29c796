#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace fw {

class FileReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The text lines of a file, split at CR LF, LF or CR; a final line break adds
// no empty line. Lines are not trimmed. Throws FileReadError when the file
// cannot be read.
std::vector<std::string> loadTextLines(const std::string& path);

// Splits a text the same way.
std::vector<std::string> splitTextLines(const std::string& text);

}  // namespace fw
