#include "tools/host/recording/PersonFile.h"

#include <charconv>
#include <set>

#include "framework/TextLines.h"
#include "tools/host/recording/Companions.h"
#include "tools/host/recording/FileBytes.h"

namespace {

constexpr std::string_view kSection = "[personsports]";
constexpr int kRowsPerSport = 6;
constexpr size_t kMaxFileBytes = size_t{1} << 20;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::optional<int32_t> number(std::string_view text) {
    text = trimmed(text);
    int32_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc{} || result.ptr != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

// Words of FIT's sports as people name them, in lower case.
struct SportWords {
    Sport sport;
    std::vector<std::string_view> words;
};

const std::vector<SportWords>& sportWords() {
    const auto fit = [](std::string_view name) { return *parseSport(name); };
    static const std::vector<SportWords> table = {
        {fit("running"), {"run", "jog"}},
        {fit("cycling"), {"cycl", "bike", "biking", "spinning"}},
        {fit("swimming"), {"swim"}},
        {fit("walking"), {"walk"}},
        {fit("hiking"), {"hiking", "hike", "trek"}},
        {fit("rowing"), {"rowing"}},
        {fit("cross_country_skiing"), {"cross country ski", "cross-country ski", "xc ski", "nordic ski"}},
        {fit("alpine_skiing"), {"alpine ski", "downhill ski"}},
        {fit("inline_skating"), {"inline", "roller skat"}},
        {fit("ice_skating"), {"ice skat"}},
        {fit("snowshoeing"), {"snowshoe"}},
        {fit("paddling"), {"paddl", "canoe"}},
        {fit("kayaking"), {"kayak"}},
        {fit("mountaineering"), {"mountaineer"}},
        {fit("soccer"), {"soccer"}},
        {fit("tennis"), {"tennis"}},
        {fit("basketball"), {"basketball"}},
        {fit("golf"), {"golf"}},
        {fit("boxing"), {"boxing"}},
        {fit("horseback_riding"), {"horse"}},
        {fit("sailing"), {"sailing"}},
    };
    return table;
}

}  // namespace

PersonFile readPersonFile(std::string_view text, CodePage codePage) {
    PersonFile person;
    const fw::TextLines lines{std::string(text)};
    const std::vector<std::string_view>& all = lines.lines();
    size_t at = 0;
    while (at < all.size() && foldedName(trimmed(all[at])) != kSection) ++at;
    if (at == all.size()) return person;
    ++at;
    const std::optional<int32_t> count = at < all.size() ? number(all[at]) : std::nullopt;
    if (!count) {
        person.problems.push_back("[PersonSports] does not begin with the number of sports");
        return person;
    }
    ++at;
    for (int32_t sport = 1; sport <= *count; ++sport, at += kRowsPerSport) {
        if (at + kRowsPerSport > all.size() || trimmed(all[at]).rfind('[', 0) == 0) {
            person.problems.push_back("[PersonSports] ends after " + std::to_string(sport - 1) + " of its " +
                                      std::to_string(*count) + " sports");
            break;
        }
        const std::optional<int32_t> numbered = number(all[at]);
        const std::string name = toUtf8(trimmed(all[at + 2]), codePage);
        if (!numbered) {
            person.problems.push_back("[PersonSports] sport " + std::to_string(sport) + ": '" +
                                      toUtf8(trimmed(all[at]), codePage) + "' is no sport number; skipped");
        } else if (name.empty()) {
            person.problems.push_back("[PersonSports] sport " + std::to_string(*numbered) + " has no name; skipped");
        } else if (!person.sports.emplace(*numbered, name).second) {
            person.problems.push_back("[PersonSports] sport " + std::to_string(*numbered) +
                                      " is listed again; the first kept");
        }
    }
    return person;
}

std::optional<PersonFile> readPersonFileAt(const std::string& path, CodePage codePage, std::string& error) {
    const std::optional<std::string> bytes = readFileBytes(path, kMaxFileBytes, error);
    if (!bytes) return std::nullopt;
    if (bytes->size() > kMaxFileBytes) {
        error = path + ": more than 1 MB, far too large for a person file";
        return std::nullopt;
    }
    return readPersonFile(*bytes, codePage);
}

std::optional<Sport> sportOfName(std::string_view name) {
    const std::string folded = foldedName(name);
    std::set<Sport> found;
    for (const SportWords& sport : sportWords())
        for (const std::string_view word : sport.words)
            if (folded.find(word) != std::string::npos) found.insert(sport.sport);
    if (found.size() != 1) return std::nullopt;
    return *found.begin();
}
