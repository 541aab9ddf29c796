#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

class FileReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text and its lines, split at CR LF, LF or CR; a final line break adds no
// empty line. Lines are not trimmed. The lines are views into the text held
// here, which saves a copy of every line; so the object is neither copied
// nor moved, and a line lives as long as the object.
class TextLines {
public:
    explicit TextLines(std::string text);
    TextLines(const TextLines&) = delete;
    TextLines& operator=(const TextLines&) = delete;

    const std::vector<std::string_view>& lines() const { return lines_; }

private:
    std::string text_;
    std::vector<std::string_view> lines_;
};

// The lines of a file. Throws FileReadError when the file cannot be read.
TextLines loadTextLines(const std::string& path);

}  // namespace fw
