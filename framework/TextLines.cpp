#include "TextLines.h"

#include <fstream>
#include <iterator>

namespace fw {

std::vector<std::string> splitTextLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    const size_t size = text.size();
    while (start < size) {
        size_t end = start;
        while (end < size && text[end] != '\r' && text[end] != '\n') ++end;
        lines.emplace_back(text, start, end - start);
        if (end < size && text[end] == '\r' && end + 1 < size && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> loadTextLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileReadError("cannot open " + path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw FileReadError("cannot read " + path);
    return splitTextLines(text);
}

}  // namespace fw
