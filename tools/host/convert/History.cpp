#include "tools/host/convert/History.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <set>

namespace {

constexpr std::string_view kVersionLine = "polarhost overview history\tversion 1";
constexpr const char* kColumns[] = {"key",      "start",  "date",    "name",    "source",  "sport",   "duration",
                                    "distance", "avg_hr", "max_hr",  "energy",  "ascent",  "zone1_s", "zone2_s",
                                    "zone3_s",  "zone4_s", "zone5_s", "zone_source", "load", "files"};
constexpr size_t kFixedColumns = std::size(kColumns) - 1;  // the files take the rest of the line
constexpr size_t kZones = 5;

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\\': out += "\\\\"; break;
            default: out += c;
        }
    }
    return out;
}

std::optional<std::string> unescaped(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        switch (text[i]) {
            case 't': out += '\t'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case '\\': out += '\\'; break;
            default: return std::nullopt;
        }
    }
    return out;
}

// To the millimetre or millisecond, trailing zeros dropped: what the page
// shows, in a text that reads back to the same value every run.
std::string number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    std::string out = text;
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
    return out == "-0" ? "0" : out;
}

template <typename T>
std::string optionalText(const std::optional<T>& value) {
    if (!value) return "";
    if constexpr (std::is_floating_point_v<T>)
        return number(*value);
    else
        return std::to_string(*value);
}

std::vector<std::string_view> split(std::string_view line) {
    std::vector<std::string_view> columns;
    for (size_t at = 0;;) {
        const size_t tab = line.find('\t', at);
        columns.push_back(line.substr(at, tab - at));
        if (tab == std::string_view::npos) return columns;
        at = tab + 1;
    }
}

// A column that failed to read, by its name.
struct Bad {
    std::string what;
};

// Reads number column `index`, empty for none, within [0, limit].
template <typename T>
std::optional<T> readNumber(const std::vector<std::string_view>& columns, size_t index, double limit) {
    const std::string_view text = columns[index];
    if (text.empty()) return std::nullopt;
    T value{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    // As written: so that what was read is written and read again alike.
    if constexpr (std::is_floating_point_v<T>) value = std::round(value * 1000) / 1000;
    if (result.ec != std::errc{} || result.ptr != text.data() + text.size() || !(value >= 0) ||
        !(static_cast<double>(value) <= limit))
        throw Bad{std::string(kColumns[index]) + " is no number from 0 to " + number(limit)};
    return value;
}

std::string readText(const std::vector<std::string_view>& columns, size_t index) {
    std::optional<std::string> text = unescaped(columns[index]);
    // Every column from the last name on is a file.
    if (!text) throw Bad{std::string(kColumns[std::min(index, kFixedColumns)]) + " has a backslash that starts no \\t, \\n, \\r or \\\\"};
    return *text;
}

// A converted file's path below the output folder, '/' between folders:
// never one that leaves the folder, on a system that takes '\\' or a
// drive for a folder either.
bool insideFolder(const std::string& path) {
    if (path.empty() || (path.size() > 1 && path[1] == ':')) return false;
    for (size_t at = 0;;) {
        const size_t slash = path.find_first_of("/\\", at);
        const std::string_view part = std::string_view(path).substr(at, slash - at);
        if (part.empty() || part == "." || part == "..") return false;
        if (slash == std::string::npos) return true;
        at = slash + 1;
    }
}

OverviewExercise readLine(std::string_view line) {
    const std::vector<std::string_view> columns = split(line);
    if (columns.size() <= kFixedColumns)
        throw Bad{std::to_string(columns.size()) + " columns, not the " + std::to_string(kFixedColumns) +
                  " and a converted file at least"};
    OverviewExercise exercise;
    size_t column = 0;
    exercise.key = readText(columns, column++);
    if (exercise.key.empty()) throw Bad{"no key"};
    if (!columns[column].empty()) {
        int64_t start = 0;
        const std::string_view text = columns[column];
        const auto result = std::from_chars(text.data(), text.data() + text.size(), start);
        if (result.ec != std::errc{} || result.ptr != text.data() + text.size() || start < -(int64_t{1} << 40) ||
            start > (int64_t{1} << 40))
            throw Bad{"start is no number of seconds"};
        exercise.start = start;
    }
    ++column;
    exercise.startText = readText(columns, column++);
    exercise.name = readText(columns, column++);
    exercise.source = readText(columns, column++);
    exercise.sport = readText(columns, column++);
    constexpr double kLongest = 1e9;  // seconds, metres, kcal: far beyond any exercise
    exercise.duration = readNumber<double>(columns, column++, kLongest);
    exercise.distance = readNumber<double>(columns, column++, kLongest);
    exercise.averageHeartRate = readNumber<int>(columns, column++, 255);
    exercise.maximumHeartRate = readNumber<int>(columns, column++, 255);
    exercise.energy = readNumber<int>(columns, column++, kLongest);
    exercise.ascent = readNumber<double>(columns, column++, kLongest);
    std::vector<double> zones;
    for (size_t zone = 0; zone < kZones; ++zone)
        if (const std::optional<double> seconds = readNumber<double>(columns, column++, kLongest)) zones.push_back(*seconds);
    if (!zones.empty() && zones.size() != kZones) throw Bad{"some zones given and others not"};
    exercise.zoneSeconds = std::move(zones);
    exercise.zoneSource = readText(columns, column++);
    exercise.load = readNumber<double>(columns, column++, kLongest);
    for (; column < columns.size(); ++column) {
        std::string file = readText(columns, column);
        if (!insideFolder(file)) throw Bad{"converted file \"" + escaped(file) + "\" lies outside the folder"};
        exercise.files.push_back(std::move(file));
    }
    return exercise;
}

std::string withoutExtension(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    return dot == std::string::npos || (slash != std::string::npos && dot < slash) ? path : path.substr(0, dot);
}

}  // namespace

History readHistory(std::string_view text) {
    History history;
    if (text.empty()) return history;
    size_t number = 0;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (number == 1) {
            if (line != kVersionLine) {
                history.known = false;
                history.problems.push_back("its first line is not \"" + escaped(kVersionLine) +
                                           "\", so it is of another version or no history at all");
                return history;
            }
            continue;
        }
        // The second line names the columns; a key may begin with '#' too.
        if (line.empty() || (number == 2 && line.front() == '#')) continue;
        try {
            history.exercises.push_back(readLine(line));
        } catch (const Bad& bad) {
            history.problems.push_back("line " + std::to_string(number) + ": " + bad.what + "; skipped");
        }
    }
    return history;
}

std::string historyLine(const OverviewExercise& exercise) {
    std::string line = escaped(exercise.key) + '\t' + optionalText(exercise.start) + '\t' + escaped(exercise.startText) +
                       '\t' + escaped(exercise.name) + '\t' + escaped(exercise.source) + '\t' + escaped(exercise.sport) +
                       '\t' + optionalText(exercise.duration) + '\t' + optionalText(exercise.distance) + '\t' +
                       optionalText(exercise.averageHeartRate) + '\t' + optionalText(exercise.maximumHeartRate) +
                       '\t' + optionalText(exercise.energy) + '\t' + optionalText(exercise.ascent);
    for (size_t zone = 0; zone < kZones; ++zone)
        line += '\t' + (exercise.zoneSeconds.size() == kZones ? number(exercise.zoneSeconds[zone]) : "");
    line += '\t' + escaped(exercise.zoneSource) + '\t' + optionalText(exercise.load);
    for (const std::string& file : exercise.files) line += '\t' + escaped(file);
    return line;
}

void writeHistory(const std::vector<OverviewExercise>& exercises, std::ostream& out,
                  const std::vector<std::string>& run) {
    out << kVersionLine << "\n#";
    for (size_t k = 0; k < std::size(kColumns); ++k) out << (k ? "\t" : "") << kColumns[k];
    out << '\n';
    // The run's lines are the history's own: only their key and files are read.
    const auto keyOf = [&](size_t line) { return *unescaped(run[line].substr(0, run[line].find('\t'))); };
    std::set<std::string> earlierKeys;
    for (const OverviewExercise& old : exercises) earlierKeys.insert(old.key);
    // The run's lines of a key converted before, each with the files it takes over.
    struct Again {
        size_t line;
        std::vector<std::string> files;
        std::string added;
    };
    std::map<std::string, std::vector<Again>> again;
    for (size_t line = 0; line < run.size(); ++line) {
        std::string key = keyOf(line);
        if (!earlierKeys.count(key)) continue;
        Again entry{line, {}, {}};
        const std::vector<std::string_view> columns = split(run[line]);
        for (size_t column = kFixedColumns; column < columns.size(); ++column) entry.files.push_back(*unescaped(columns[column]));
        again[std::move(key)].push_back(std::move(entry));
    }
    // Files of the earlier entries of a key that sit beside a file the run wrote for it.
    for (const OverviewExercise& old : exercises) {
        const auto found = again.find(old.key);
        if (found == again.end()) continue;
        for (Again& entry : found->second) {
            std::set<std::string> bases;
            for (const std::string& file : entry.files) bases.insert(withoutExtension(file));
            for (const std::string& file : old.files)
                if (bases.count(withoutExtension(file)) &&
                    std::find(entry.files.begin(), entry.files.end(), file) == entry.files.end()) {
                    entry.files.push_back(file);
                    entry.added += '\t' + escaped(file);
                }
        }
    }
    std::set<std::string> placed;
    for (const OverviewExercise& old : exercises) {
        const auto found = again.find(old.key);
        if (found == again.end()) {
            out << historyLine(old) << '\n';
        } else if (placed.insert(old.key).second) {
            for (const Again& entry : found->second) out << run[entry.line] << entry.added << '\n';
        }
    }
    for (size_t line = 0; line < run.size(); ++line)
        if (!again.count(keyOf(line))) out << run[line] << '\n';
}
