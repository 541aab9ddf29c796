#include <cstdint>
#include <iterator>

#include "FuzzDrivers.h"
#include "tools/host/recording/DayDiary.h"
#include "tools/host/recording/PersonFile.h"

namespace fuzzing {

namespace {

// Bytes of the UTF-8 sequence a byte begins; 0 for a byte that begins none.
size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The number of characters of a well-formed UTF-8 text (no overlong forms,
// no surrogates, nothing beyond U+10FFFF); -1 when it is not one.
int64_t utf8Characters(std::string_view text) {
    int64_t characters = 0;
    for (size_t i = 0; i < text.size(); ++characters) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const size_t length = sequenceLength(byte);
        if (length == 0 || i + length > text.size()) return -1;
        uint32_t code = length == 1 ? byte : byte & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return -1;
            code = code << 6 | (next & 0x3F);
        }
        const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return -1;
        i += length;
    }
    return characters;
}

void checkText(Problems& problems, const std::string& what, std::string_view text) {
    if (utf8Characters(text) < 0) problems.push_back(what + " is not UTF-8");
    if (text.find_first_of("\r\n") != std::string_view::npos) problems.push_back(what + " holds a line break");
}

void checkValue(Problems& problems, const std::string& what, const std::optional<int32_t>& value, int32_t limit) {
    if (value && (*value < 0 || *value > limit)) problems.push_back(what + " out of range: " + std::to_string(*value));
}

// The code page the input's first byte picks.
CodePage codePageOf(std::string_view input) {
    constexpr CodePage kCodePages[] = {CodePage::windows1250, CodePage::windows1251, CodePage::windows1252,
                                       CodePage::windows1257, CodePage::latin1};
    return input.empty() ? CodePage::windows1252
                         : kCodePages[static_cast<unsigned char>(input[0]) % std::size(kCodePages)];
}

}  // namespace

Problems driveDiary(const Workspace&, std::string_view input) {
    Problems problems;
    const CodePage codePage = codePageOf(input);

    const std::string converted = toUtf8(input, codePage);
    if (utf8Characters(converted) != static_cast<int64_t>(input.size()))
        problems.push_back("diary: toUtf8 does not give one UTF-8 character per byte");

    const DayDiary diary = readDayDiary(input, codePage);
    for (const std::string& problem : diary.problems) {
        if (problem.empty()) problems.push_back("diary: empty problem");
        checkText(problems, "diary: problem", problem);
    }
    if (diary.date && (diary.date->month < 1 || diary.date->month > 12 || diary.date->day < 1 || diary.date->day > 31))
        problems.push_back("diary: no valid date read");
    for (const DiaryExercise& exercise : diary.exercises) {
        const std::string what = "diary: [ExerciseInfo" + std::to_string(exercise.section) + "] ";
        for (const auto& [name, text] : {std::pair<const char*, const std::string&>{"name", exercise.name},
                                         {"note", exercise.note},
                                         {"exercise file", exercise.exerciseFile},
                                         {"track file", exercise.trackFile},
                                         {"R-R file", exercise.rrFile}})
            checkText(problems, what + name, text);
        checkValue(problems, what + "start", exercise.start, 24 * 60 * 60 - 1);
        for (const auto& [name, value] :
             {std::pair<const char*, std::optional<int32_t>>{"total time", exercise.totalTime},
              {"sport", exercise.sport},
              {"energy", exercise.energy},
              {"distance", exercise.distance},
              {"ascent", exercise.ascent}})
            checkValue(problems, what + name, value, INT32_MAX);
    }
    return problems;
}

Problems drivePerson(const Workspace&, std::string_view input) {
    Problems problems;
    const PersonFile person = readPersonFile(input, codePageOf(input));
    for (const std::string& problem : person.problems) {
        if (problem.empty()) problems.push_back("person: empty problem");
        checkText(problems, "person: problem", problem);
    }
    for (const auto& [number, name] : person.sports) {
        const std::string what = "person: sport " + std::to_string(number) + " ";
        if (number < 0) problems.push_back(what + "has a negative number");
        if (name.empty()) problems.push_back(what + "has no name");
        checkText(problems, what + "name", name);
        if (const std::optional<Sport> sport = sportOfName(name); sport && !parseSport(sportName(*sport)))
            problems.push_back(what + "taken as no sport of FIT's");
    }
    return problems;
}

}  // namespace fuzzing
