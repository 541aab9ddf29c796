#include "tools/host/report/TextRules.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdint>

namespace {

void appendEscape(std::string& out, uint32_t unit) {
    char text[8];
    std::snprintf(text, sizeof text, "\\u%04x", static_cast<unsigned>(unit));
    out += text;
}

// One character below U+0080 or, for the byte rule, one byte.
void appendJsonCharacter(std::string& out, uint32_t code) {
    switch (code) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (code < 0x20 || code >= 0x80)
                appendEscape(out, code);
            else
                out += static_cast<char>(code);
    }
}

// The code point of the UTF-8 sequence at `text[i]` and its length; 0 for
// a byte that starts no valid sequence.
int utf8Sequence(std::string_view text, size_t i, uint32_t& code) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const int length = byte < 0x80 ? 1 : byte >= 0xF0 && byte < 0xF5 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC2 ? 2 : 0;
    if (length == 0 || i + static_cast<size_t>(length) > text.size()) return 0;
    code = length == 1 ? byte : byte & (0x3Fu >> (length - 1));
    for (int k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
        if ((next & 0xC0) != 0x80) return 0;
        code = code << 6 | (next & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || (code >= 0xD800 && code < 0xE000) || code > 0x10FFFF) return 0;
    return length;
}

}  // namespace

std::string jsonString(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 2);
    out += '"';
    for (const char c : bytes) appendJsonCharacter(out, static_cast<unsigned char>(c));
    out += '"';
    return out;
}

std::string jsonUtf8String(std::string_view utf8) {
    std::string out = "\"";
    for (size_t i = 0; i < utf8.size();) {
        uint32_t code = 0;
        const int length = utf8Sequence(utf8, i, code);
        if (length == 0) {
            appendEscape(out, 0xFFFD);
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            appendEscape(out, 0xD800 + ((code - 0x10000) >> 10));
            appendEscape(out, 0xDC00 + ((code - 0x10000) & 0x3FF));
        } else if (code >= 0x80) {
            appendEscape(out, code);
        } else {
            appendJsonCharacter(out, code);
        }
        i += static_cast<size_t>(length);
    }
    return out + "\"";
}

std::string numberText(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}
