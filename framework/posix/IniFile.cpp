#include "framework/IniFile.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <vector>

#include "framework/TextLines.h"

namespace fw {

namespace {

std::string trim(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    return text.substr(begin, end - begin);
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Section name of a "[name]" line; false for any other line.
bool sectionOf(const std::string& line, std::string& name) {
    const std::string text = trim(line);
    if (text.empty() || text[0] != '[') return false;
    const size_t close = text.find(']');
    name = trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// Key and raw value of a "key=value" line; false for a line without "=".
bool keyOf(const std::string& line, std::string& key, std::string& value) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return false;
    key = trim(line.substr(0, equals));
    value = trim(line.substr(equals + 1));
    return true;
}

std::vector<std::string> readLines(const std::string& file) {
    try {
        const TextLines text = loadTextLines(file);
        return {text.lines().begin(), text.lines().end()};
    } catch (const FileReadError&) {
        return {};
    }
}

}  // namespace

std::string readIniString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& fallback) {
    bool inSection = false;
    std::string name, foundKey, value;
    for (const std::string& line : readLines(file)) {
        if (sectionOf(line, name)) {
            if (inSection) break;  // only the first section of that name is read
            inSection = sameName(name, section);
            continue;
        }
        if (!inSection || !keyOf(line, foundKey, value) || !sameName(foundKey, key)) continue;
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        if (value.size() > kIniValueLimit) value.resize(kIniValueLimit);
        return value;
    }
    return fallback;
}

void writeIniString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value) {
    std::vector<std::string> lines = readLines(file);
    std::string name, foundKey, oldValue;
    const std::string entry = key + "=" + value;
    size_t sectionLine = lines.size();
    size_t insertAt = lines.size();
    bool written = false;
    for (size_t i = 0; i < lines.size() && !written; ++i) {
        if (sectionOf(lines[i], name)) {
            if (sectionLine != lines.size()) break;
            if (sameName(name, section)) sectionLine = i, insertAt = i + 1;
            continue;
        }
        if (sectionLine == lines.size()) continue;
        if (!trim(lines[i]).empty()) insertAt = i + 1;
        if (keyOf(lines[i], foundKey, oldValue) && sameName(foundKey, key)) lines[i] = entry, written = true;
    }
    if (!written) {
        if (sectionLine == lines.size()) {
            lines.push_back("[" + section + "]");
            insertAt = lines.size();
        }
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) out << line << "\r\n";
    out.flush();
    if (!out) throw IniWriteError(file);
}

}  // namespace fw
