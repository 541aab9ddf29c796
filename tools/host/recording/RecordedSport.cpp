#include "tools/host/recording/RecordedSport.h"

#include <charconv>

#include "model/HrmFormat.h"
#include "tools/host/recording/PersonFile.h"

SportMap::SportMap() : sports_{{1, Sport::Running}, {2, Sport::Cycling}, {3, Sport::Swimming}} {}

bool SportMap::parse(std::string_view text, std::string& error) {
    while (!text.empty()) {
        const size_t comma = text.find(',');
        const std::string_view pair = text.substr(0, comma);
        text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
        const size_t equals = pair.find('=');
        int32_t number = 0;
        const std::string_view digits = pair.substr(0, equals);
        const auto [end, failed] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        const std::optional<Sport> sport =
            equals == std::string_view::npos ? std::nullopt : parseSport(pair.substr(equals + 1));
        if (failed != std::errc{} || end != digits.data() + digits.size() || number < 0 || !sport) {
            error = "'" + std::string(pair) + "' is no NUMBER=SPORT";
            return false;
        }
        sports_[number] = *sport;
        given_.insert(number);
    }
    return true;
}

std::optional<Sport> SportMap::find(int32_t number) const {
    const auto found = sports_.find(number);
    if (found == sports_.end()) return std::nullopt;
    return found->second;
}

Sport recordedSport(const std::optional<RecordingFacts>& facts) {
    if (!facts) return Sport::Other;
    if (facts->power || facts->cyclingData) return Sport::Cycling;
    // Before version 106 speed comes only with cycling data.
    if (facts->speed && facts->version >= hrm::kSModeVersion) return Sport::Running;
    return Sport::Other;
}

Sport sportFor(const std::optional<RecordingFacts>& facts, std::optional<int32_t> diarySport, const SportRule& rule) {
    if (rule.chosen) return *rule.chosen;
    if (diarySport)
        if (const std::optional<Sport> mapped = rule.map.find(*diarySport)) return *mapped;
    return recordedSport(facts);
}

Sport sportFor(const std::optional<RecordingFacts>& facts, const std::optional<DiaryLink>& diary,
               const SportRule& rule) {
    if (!rule.chosen && diary && !diary->sportName.empty() && !rule.map.given(*diary->entry.sport))
        return sportOfName(diary->sportName).value_or(Sport::Other);
    return sportFor(facts, diary ? diary->entry.sport : std::nullopt, rule);
}
