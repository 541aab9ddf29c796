#include "tools/host/recording/DayDiary.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <span>

#include "framework/TextLines.h"
#include "tools/host/recording/FileBytes.h"
#include "tools/host/time/CivilTime.h"

namespace {

using Lines = std::span<const std::string_view>;

constexpr int32_t kLastSecondOfDay = 24 * 60 * 60 - 1;
constexpr int32_t kNoLimit = std::numeric_limits<int32_t>::max();
// A day's diary holds a few kilobytes: even 99 exercises of 12 texts of 512
// characters are 0.6 MB.
constexpr size_t kMaxFileBytes = size_t{16} << 20;

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool isBlank(std::string_view line) { return trimmed(line).empty(); }

// Any "[...]" line begins a section; the diary's own sections are read, the
// lines of any other are skipped.
bool beginsSection(std::string_view line) {
    const std::string_view name = trimmed(line);
    return name.size() >= 2 && name.front() == '[' && name.back() == ']';
}

enum class SectionKind { other, day, exercise };

struct SectionName {
    SectionKind kind = SectionKind::other;
    int number = 0;  // N of [ExerciseInfoN]
};

SectionName sectionNamed(std::string_view line) {
    const std::string_view name = trimmed(line);
    if (name == "[DayInfo]") return {SectionKind::day, 0};
    constexpr std::string_view prefix = "[ExerciseInfo";
    if (!name.starts_with(prefix) || !name.ends_with(']')) return {};
    const std::string_view digits = name.substr(prefix.size(), name.size() - prefix.size() - 1);
    int number = 0;
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return {};
    std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return {SectionKind::exercise, number};
}

bool isDiarySection(std::string_view line) { return sectionNamed(line).kind != SectionKind::other; }

std::optional<int64_t> wholeNumber(std::string_view field) {
    field = trimmed(field);
    int64_t value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size()) return std::nullopt;
    return value;
}

size_t columnCount(std::string_view row) { return static_cast<size_t>(std::count(row.begin(), row.end(), '\t')) + 1; }

// Column `number` (from 1) of a row; empty when the row is shorter.
std::string_view column(std::string_view row, size_t number) {
    for (size_t i = 1; i < number; ++i) {
        const size_t tab = row.find('\t');
        if (tab == std::string_view::npos) return {};
        row.remove_prefix(tab + 1);
    }
    return row.substr(0, row.find('\t'));
}

std::string count(int64_t value) { return std::to_string(value); }

// The counts of a section's header line.
struct Header {
    int64_t version, infoRows, numberRows, columns, textRows, longestText;
};

std::optional<Header> headerOf(std::string_view line) {
    int64_t numbers[6];
    if (columnCount(line) != std::size(numbers)) return std::nullopt;
    for (size_t i = 0; i < std::size(numbers); ++i) {
        const std::optional<int64_t> number = wholeNumber(column(line, i + 1));
        if (!number || *number < 0) return std::nullopt;
        numbers[i] = *number;
    }
    return Header{numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], numbers[5]};
}

struct Section {
    Lines numberRows;
    Lines textRows;
    size_t end = 0;  // index of the line after its last row
};

// Reads the lines of one section by the counts of its header, stopping at
// the end of the diary or at the name of the next of its sections, so the
// work is bounded by the lines there are whatever the header announces.
class SectionReader {
public:
    SectionReader(Lines lines, size_t nameLine, std::vector<std::string>& problems)
        : lines_(lines), title_(trimmed(lines[nameLine])), next_(nameLine + 1), problems_(problems) {}

    // The section's rows; nullopt, with a problem, when its counts do not
    // fit the lines that follow.
    std::optional<Section> read() {
        if (available(1) < 1) return refuse("no header line; " + stop());
        const std::optional<Header> header = headerOf(lines_[next_]);
        if (!header) return refuse("its header is not six whole numbers");
        if (header->infoRows < 1) return refuse("its header announces 0 info rows, but the header line itself is one");
        const std::string rows = count(header->numberRows) + " number rows of " + count(header->columns) + " columns";
        Section section;
        if (!take(header->infoRows, count(header->infoRows) + " info rows")) return std::nullopt;
        const size_t numbersAt = next_;
        if (!take(header->numberRows, rows)) return std::nullopt;
        section.numberRows = lines_.subspan(numbersAt, next_ - numbersAt);
        for (size_t row = 0; row < section.numberRows.size(); ++row) {
            const size_t columns = columnCount(section.numberRows[row]);
            if (static_cast<int64_t>(columns) != header->columns)
                return refuse("its header announces " + rows + ", but row " + count(row + 1) + " has " +
                              count(columns));
        }
        const size_t textsAt = next_;
        if (!take(header->textRows, count(header->textRows) + " text rows")) return std::nullopt;
        section.textRows = lines_.subspan(textsAt, next_ - textsAt);
        section.end = next_;
        // Only blank lines may follow before the next section; more rows
        // than the header counts mean its counts are wrong.
        size_t uncounted = 0;
        for (size_t i = next_; i < lines_.size() && !beginsSection(lines_[i]); ++i) uncounted += !isBlank(lines_[i]);
        if (uncounted > 0)
            return refuse("more lines follow than its header announces (" + count(static_cast<int64_t>(uncounted)) +
                          " more)");
        return section;
    }

private:
    // How many of `wanted` lines from the next one are there before the
    // diary ends or another of its sections begins.
    size_t available(int64_t wanted) const {
        size_t found = 0;
        while (static_cast<int64_t>(found) < wanted && next_ + found < lines_.size() &&
               !isDiarySection(lines_[next_ + found]))
            ++found;
        return found;
    }

    // What ends the section's lines where they fall short: another of the
    // diary's sections or the end.
    std::string stop() const {
        return next_ < lines_.size() ? std::string(trimmed(lines_[next_])) + " begins" : "the diary ends";
    }

    bool take(int64_t wanted, const std::string& what) {
        const size_t found = available(wanted);
        if (static_cast<int64_t>(found) < wanted) {
            next_ += found;
            refuse("its header announces " + what + ", but " + stop() + " after " + count(static_cast<int64_t>(found)));
            return false;
        }
        next_ += found;
        return true;
    }

    std::nullopt_t refuse(const std::string& why) {
        problems_.push_back(std::string(title_) + ": " + why);
        return std::nullopt;
    }

    Lines lines_;
    std::string_view title_;  // the section's name as the diary writes it, e.g. "[ExerciseInfo2]"
    size_t next_;
    std::vector<std::string>& problems_;
};

// A number row's value, absent when the row or column is missing; a
// problem when the column is there but holds no whole number from 0 to
// `limit`.
std::optional<int32_t> valueAt(const Section& section, size_t row, size_t columnNumber, int32_t limit,
                               std::string_view title, const char* what, std::vector<std::string>& problems) {
    if (row > section.numberRows.size() || columnNumber > columnCount(section.numberRows[row - 1])) return std::nullopt;
    const std::optional<int64_t> value = wholeNumber(column(section.numberRows[row - 1], columnNumber));
    if (value && *value >= 0 && *value <= limit) return static_cast<int32_t>(*value);
    problems.push_back(std::string(title) + ": the " + what + " in row " + count(static_cast<int64_t>(row)) +
                       " column " + count(static_cast<int64_t>(columnNumber)) + " is no whole number from 0 to " +
                       count(limit));
    return std::nullopt;
}

std::optional<DiaryDate> dateOf(int32_t yyyymmdd) {
    const DiaryDate date{yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100};
    if (!unixDays(date.year, date.month, date.day)) return std::nullopt;
    return date;
}

struct ExerciseValue {
    size_t row, column;
    int32_t limit;
    const char* what;
    std::optional<int32_t> DiaryExercise::*member;
};

constexpr ExerciseValue kExerciseValues[] = {
    {1, 5, kLastSecondOfDay, "start", &DiaryExercise::start},
    {1, 6, kNoLimit, "total time", &DiaryExercise::totalTime},
    {2, 1, kNoLimit, "sport", &DiaryExercise::sport},
    {2, 6, kNoLimit, "energy", &DiaryExercise::energy},
    {3, 1, kNoLimit, "distance", &DiaryExercise::distance},
    {3, 6, kNoLimit, "ascent", &DiaryExercise::ascent},
};

struct ExerciseText {
    size_t row;  // from 0
    std::string DiaryExercise::*member;
};

constexpr ExerciseText kExerciseTexts[] = {
    {0, &DiaryExercise::name},      {1, &DiaryExercise::note},   {2, &DiaryExercise::exerciseFile},
    {5, &DiaryExercise::trackFile}, {6, &DiaryExercise::rrFile},
};

DiaryExercise exerciseOf(const Section& section, int number, std::string_view title, CodePage codePage,
                         std::vector<std::string>& problems) {
    DiaryExercise exercise;
    exercise.section = number;
    for (const ExerciseValue& value : kExerciseValues)
        exercise.*value.member = valueAt(section, value.row, value.column, value.limit, title, value.what, problems);
    for (const ExerciseText& text : kExerciseTexts)
        if (text.row < section.textRows.size()) exercise.*text.member = toUtf8(section.textRows[text.row], codePage);
    return exercise;
}

}  // namespace

DayDiary readDayDiary(std::string_view bytes, CodePage codePage) {
    DayDiary diary;
    const fw::TextLines text{std::string(bytes)};
    const Lines lines = text.lines();
    bool anySection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const SectionName name = sectionNamed(lines[i]);
        if (name.kind == SectionKind::other) continue;
        anySection = true;
        const std::optional<Section> section = SectionReader(lines, i, diary.problems).read();
        // A refused section's lines are skipped as the scan looks for the next name.
        if (!section) continue;
        const std::string_view title = trimmed(lines[i]);
        if (name.kind == SectionKind::exercise) {
            diary.exercises.push_back(exerciseOf(*section, name.number, title, codePage, diary.problems));
        } else if (!diary.date) {
            const std::optional<int32_t> day = valueAt(*section, 1, 1, kNoLimit, title, "date", diary.problems);
            if (day) diary.date = dateOf(*day);
            if (day && !diary.date)
                diary.problems.push_back(std::string(title) + ": " + count(*day) + " is no date yyyymmdd");
        }
        i = section->end - 1;
    }
    if (!anySection) diary.problems.push_back("no [DayInfo] and no [ExerciseInfo] section: not a day diary");
    return diary;
}

std::optional<DayDiary> readDayDiaryFile(const std::string& path, CodePage codePage, std::string& error) {
    const std::optional<std::string> bytes = readFileBytes(path, kMaxFileBytes, error);
    if (!bytes) return std::nullopt;
    if (bytes->size() > kMaxFileBytes) {
        error = path + ": more than " + count(kMaxFileBytes >> 20) + " MB, far too large for a day diary";
        return std::nullopt;
    }
    return readDayDiary(*bytes, codePage);
}
