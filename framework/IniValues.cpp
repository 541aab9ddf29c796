#include "IniFile.h"

#include <cstdint>

namespace fw {

IniWriteError::IniWriteError(const std::string& file) : std::runtime_error("cannot write " + file), file_(file) {}

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The runtime's integer conversion: optional sign, then "$" and hex digits or
// decimal digits; hex values wrap into 32 bits, decimal ones must fit.
bool textToInteger(const std::string& text, int32_t& value) {
    size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    const bool hex = pos < text.size() && text[pos] == '$';
    if (hex) ++pos;
    if (pos == text.size()) return false;
    uint64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = hex ? hexDigit(text[pos]) : (text[pos] >= '0' && text[pos] <= '9' ? text[pos] - '0' : -1);
        if (digit < 0) return false;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (magnitude > (hex ? 0xFFFFFFFFull : 0x80000000ull)) return false;
    }
    if (!hex && !negative && magnitude > 0x7FFFFFFFull) return false;
    const uint32_t bits = static_cast<uint32_t>(negative ? 0 - magnitude : magnitude);
    value = static_cast<int32_t>(bits);
    return true;
}

}  // namespace

int32_t iniTextToInteger(const std::string& text, int32_t fallback) {
    std::string normal = text;
    if (normal.size() > 2 && normal[0] == '0' && (normal[1] == 'x' || normal[1] == 'X')) normal.replace(0, 2, "$");
    int32_t value = fallback;
    return textToInteger(normal, value) ? value : fallback;
}

int32_t readIniInteger(const std::string& file, const std::string& section, const std::string& key, int32_t fallback) {
    return iniTextToInteger(readIniString(file, section, key, ""), fallback);
}

bool readIniBool(const std::string& file, const std::string& section, const std::string& key, bool fallback) {
    return readIniInteger(file, section, key, fallback ? 1 : 0) != 0;
}

void writeIniInteger(const std::string& file, const std::string& section, const std::string& key, int32_t value) {
    writeIniString(file, section, key, std::to_string(value));
}

void writeIniBool(const std::string& file, const std::string& section, const std::string& key, bool value) {
    writeIniString(file, section, key, value ? "1" : "0");
}

}  // namespace fw
