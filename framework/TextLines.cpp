#include "TextLines.h"

#include <algorithm>
#include <fstream>

namespace fw {

TextLines::TextLines(std::string text) : text_(std::move(text)) {
    const std::string_view whole = text_;
    const size_t size = whole.size();
    // Room for every line of a file broken by LF or CR LF at once.
    lines_.reserve(static_cast<size_t>(std::count(whole.begin(), whole.end(), '\n')) + 1);
    size_t start = 0;
    while (start < size) {
        size_t end = start;
        while (end < size && whole[end] != '\r' && whole[end] != '\n') ++end;
        lines_.push_back(whole.substr(start, end - start));
        if (end < size && whole[end] == '\r' && end + 1 < size && whole[end + 1] == '\n') ++end;
        start = end + 1;
    }
}

TextLines loadTextLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileReadError("cannot open " + path);
    std::string text;
    // In one piece when the file tells its size, then on to its end whatever it holds.
    std::filebuf& file = *in.rdbuf();
    const std::streamoff size = file.pubseekoff(0, std::ios::end, std::ios::in);
    if (size > 0) {
        if (file.pubseekpos(0, std::ios::in) != std::streampos(0)) throw FileReadError("cannot read " + path);
        text.resize(static_cast<size_t>(size));
        in.read(text.data(), size);
        text.resize(static_cast<size_t>(in.gcount()));
    }
    char block[1 << 16];
    while (in.read(block, sizeof block) || in.gcount() > 0) text.append(block, static_cast<size_t>(in.gcount()));
    if (in.bad()) throw FileReadError("cannot read " + path);
    return TextLines(std::move(text));
}

}  // namespace fw
