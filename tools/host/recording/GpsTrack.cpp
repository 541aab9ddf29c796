#include "GpsTrack.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "framework/Convert.h"
#include "framework/Xml.h"
#include "tools/host/time/CivilTime.h"

namespace {

constexpr double kSecondsPerDay = 86400;
// Beyond this an elevation is a broken value, not a place on earth (metres).
constexpr double kElevationLimit = 100'000;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// GPX names its elements in its namespace, with or without a prefix.
std::string_view localName(const fw::XmlElement& element) {
    const char* name = element.name();
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

std::optional<double> numberOf(std::string_view text) {
    double value = 0;
    if (!fw::tryStrToFloat(trimmed(text), '.', value)) return std::nullopt;
    return value;
}

std::optional<double> attributeNumber(const fw::XmlElement& element, const char* name) {
    std::string text;
    if (!element.attribute(name, text)) return std::nullopt;
    return numberOf(text);
}

// `count` digits at `pos` as a number; -1 when they are not all digits.
int digitsAt(std::string_view text, size_t pos, size_t count) {
    if (pos + count > text.size()) return -1;
    int value = 0;
    for (size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// "Z", "+hh:mm", "-hhmm" or "+hh" at the end of a time, as seconds east of UTC.
std::optional<int32_t> zoneOf(std::string_view text) {
    if (text == "Z" || text == "z") return 0;
    if (text.size() < 3 || (text[0] != '+' && text[0] != '-')) return std::nullopt;
    const int hours = digitsAt(text, 1, 2);
    int minutes = 0;
    if (text.size() == 6 && text[3] == ':') {
        minutes = digitsAt(text, 4, 2);
    } else if (text.size() == 5) {
        minutes = digitsAt(text, 3, 2);
    } else if (text.size() != 3) {
        return std::nullopt;
    }
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59) return std::nullopt;
    const int32_t seconds = (hours * 60 + minutes) * 60;
    return text[0] == '-' ? -seconds : seconds;
}

void readPoint(const fw::XmlElement& point, GpsTrack& track) {
    const std::optional<double> latitude = attributeNumber(point, "lat");
    const std::optional<double> longitude = attributeNumber(point, "lon");
    if (!latitude || !longitude || *latitude < -90 || *latitude > 90 || *longitude < -180 || *longitude > 180) {
        ++track.skippedPoints;
        return;
    }
    GpsFix fix;
    fix.latitude = *latitude;
    fix.longitude = *longitude;
    bool elevationSeen = false, timeSeen = false;
    std::string text;
    for (fw::XmlElement child = point.firstChild(); child; child = child.nextSibling()) {
        const std::string_view name = localName(child);
        if (name == "ele" && !elevationSeen) {
            elevationSeen = true;
            const std::optional<double> elevation = child.onlyText(text) ? numberOf(text) : std::nullopt;
            if (elevation && *elevation >= -kElevationLimit && *elevation <= kElevationLimit) fix.elevation = elevation;
        } else if (name == "time" && !timeSeen) {
            timeSeen = true;
            if (child.onlyText(text)) fix.time = parseGpsTime(text);
            if (!fix.time) ++track.unreadableTimes;
        }
    }
    track.fixes.push_back(fix);
}

// Reads every `pointName` of every `groupName` (of every `partName` when
// one is given) below the document element; returns how many there were.
int64_t readPoints(const fw::XmlElement& root, std::string_view groupName, std::string_view partName,
                   std::string_view pointName, GpsTrack& track) {
    int64_t seen = 0;
    const auto readGroup = [&](const fw::XmlElement& group) {
        for (fw::XmlElement point = group.firstChild(); point; point = point.nextSibling())
            if (localName(point) == pointName) {
                ++seen;
                readPoint(point, track);
            }
    };
    for (fw::XmlElement group = root.firstChild(); group; group = group.nextSibling()) {
        if (localName(group) != groupName) continue;
        if (partName.empty()) {
            readGroup(group);
            continue;
        }
        for (fw::XmlElement part = group.firstChild(); part; part = part.nextSibling())
            if (localName(part) == partName) readGroup(part);
    }
    return seen;
}

}  // namespace

std::optional<GpsTime> parseGpsTime(std::string_view text) {
    text = trimmed(text);
    const int year = digitsAt(text, 0, 4), month = digitsAt(text, 5, 2), day = digitsAt(text, 8, 2);
    const int hour = digitsAt(text, 11, 2), minute = digitsAt(text, 14, 2), second = digitsAt(text, 17, 2);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0 || text[4] != '-' ||
        text[7] != '-' || (text[10] != 'T' && text[10] != 't' && text[10] != ' ') || text[13] != ':' ||
        text[16] != ':' || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    size_t pos = 19;
    double fraction = 0;
    if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
        double scale = 0.1;
        const size_t first = ++pos;
        for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos, scale /= 10)
            fraction += (text[pos] - '0') * scale;
        if (pos == first) return std::nullopt;
    }
    GpsTime time;
    if (pos < text.size()) {
        time.zone = zoneOf(text.substr(pos));
        if (!time.zone) return std::nullopt;
    }
    const std::optional<int64_t> days = unixDays(year, month, day);
    if (!days) return std::nullopt;
    time.wallClock = static_cast<double>(*days) * kSecondsPerDay + (hour * 60 + minute) * 60 + second + fraction;
    return time;
}

GpsTrack readGpsTrackText(std::string_view text) {
    GpsTrack track;
    fw::XmlDocument document;
    std::string problem;
    if (!document.loadText(text, problem)) {
        track.error = "not well-formed XML: " + problem;
        return track;
    }
    const fw::XmlElement root = document.root();
    if (localName(root) != "gpx") {
        track.error = "no GPX document: its root element is <" + std::string(root.name()) + ">";
        return track;
    }
    if (readPoints(root, "trk", "trkseg", "trkpt", track) == 0)
        track.fromRoute = readPoints(root, "rte", "", "rtept", track) > 0;
    return track;
}

GpsTrack readGpsTrack(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        GpsTrack track;
        track.error = "cannot be opened";
        return track;
    }
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) {
        GpsTrack track;
        track.error = "cannot be read";
        return track;
    }
    return readGpsTrackText(text);
}
