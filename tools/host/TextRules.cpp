#include "TextRules.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "tools/host/CivilTime.h"

std::string jsonString(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 2);
    out += '"';
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (byte < 0x20 || byte >= 0x80) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", byte);
                    out += escape;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

std::string numberText(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string dateTimeText(double dayCount) {
    // Far beyond any calendar an exercise can have.
    if (!std::isfinite(dayCount) || std::fabs(dayCount) > 1e9) return "invalid";
    // The whole days count the date; the fraction, whatever the sign, is the time.
    double days = std::trunc(dayCount);
    int64_t seconds = std::llround(std::fabs(dayCount - days) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += dayCount < 0 ? -1 : 1;
    }
    const CivilDate date = civilFromDays(static_cast<int64_t>(days) - kUnixEpochDay);
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02u %02d:%02d:%02d", static_cast<long long>(date.year), date.month,
                  date.day, static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                  static_cast<int>(seconds % 60));
    return text;
}

std::string durationText(int64_t seconds) {
    const char* sign = seconds < 0 ? "-" : "";
    const uint64_t magnitude = seconds < 0 ? 0 - static_cast<uint64_t>(seconds) : static_cast<uint64_t>(seconds);
    char text[40];
    std::snprintf(text, sizeof text, "%s%llu:%02u:%02u", sign, static_cast<unsigned long long>(magnitude / 3600),
                  static_cast<unsigned>(magnitude / 60 % 60), static_cast<unsigned>(magnitude % 60));
    return text;
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
