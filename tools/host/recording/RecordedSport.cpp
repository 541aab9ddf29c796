#include "tools/host/recording/RecordedSport.h"

#include <algorithm>
#include <array>
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

namespace {

constexpr double kKmPerMile = 1.609344;
// Monitor codes of the cycle computers, whose speed comes from a wheel sensor.
constexpr int32_t kFirstCycleComputer = 33, kLastCycleComputer = 35;
constexpr double kMovingFrom = 1;  // km/h
constexpr double kMovingShare = 0.2;
constexpr int32_t kMovingSamples = 10;
constexpr double kCoastingShare = 0.05;
constexpr double kBinWidth = 0.5;  // km/h
constexpr size_t kBins = 400;      // up to 200 km/h; faster counts as the last

// The speeds of the samples that move, as a histogram so that a long
// exercise takes no more memory than a short one.
class MovingSpeeds {
public:
    void add(double kmh, bool coasting) {
        if (!(kmh >= kMovingFrom)) return;
        ++bins_[static_cast<size_t>(std::min(kmh / kBinWidth, static_cast<double>(kBins - 1)))];
        ++moving_;
        coasting_ += coasting;
    }
    int32_t moving() const { return moving_; }
    double coastingShare() const { return moving_ ? static_cast<double>(coasting_) / moving_ : 0; }
    // The speed (the middle of its bin) below which `share` of the moving samples lie.
    double quantile(double share) const {
        int32_t below = 0;
        for (size_t bin = 0; bin < kBins; ++bin) {
            below += bins_[bin];
            if (below >= share * moving_) return (static_cast<double>(bin) + 0.5) * kBinWidth;
        }
        return static_cast<double>(kBins) * kBinWidth;
    }

private:
    std::array<int32_t, kBins> bins_{};
    int32_t moving_ = 0, coasting_ = 0;
};

Sport sportBySpeed(const RecordingFacts& facts, const RecordedSamples& samples) {
    MovingSpeeds speeds;
    for (int32_t i = 0; i < samples.count; ++i) {
        const SampleRecord sample = samples.at(i);
        speeds.add(sample.Speed * (facts.usUnits ? kKmPerMile : 1), facts.cadence && sample.Cadence == 0);
    }
    if (speeds.moving() < kMovingSamples || speeds.moving() < kMovingShare * samples.count) return Sport::Other;
    const double median = speeds.quantile(0.5), high = speeds.quantile(0.9);
    if (median >= 20 || (median >= 10 && speeds.coastingShare() >= kCoastingShare)) return Sport::Cycling;
    if (median >= 6.5 && median <= 14.5 && high <= 17) return Sport::Running;
    if (median >= 2 && median < 6.5 && high <= 8) return Sport::Walking;
    return Sport::Other;
}

}  // namespace

Sport recordedSport(const std::optional<RecordingFacts>& facts, const RecordedSamples& samples) {
    if (!facts) return Sport::Other;
    if (facts->power) return Sport::Cycling;
    if (!facts->speed || facts->interval == hrm::kRRRecordingInterval) return Sport::Other;
    if (facts->monitor >= kFirstCycleComputer && facts->monitor <= kLastCycleComputer) return Sport::Cycling;
    return sportBySpeed(*facts, samples);
}

SportChoice chooseSport(const std::optional<RecordingFacts>& facts, std::optional<int32_t> diarySport,
                        const SportRule& rule, const RecordedSamples& samples) {
    if (rule.chosen) return {*rule.chosen, false};
    if (diarySport)
        if (const std::optional<Sport> mapped = rule.map.find(*diarySport)) return {*mapped, false};
    return {recordedSport(facts, samples), true};
}

SportChoice chooseSport(const std::optional<RecordingFacts>& facts, const std::optional<DiaryLink>& diary,
                        const SportRule& rule, const RecordedSamples& samples) {
    if (!rule.chosen && diary && !diary->sportName.empty() && !rule.map.given(*diary->entry.sport))
        return {sportOfName(diary->sportName).value_or(Sport::Other), false};
    return chooseSport(facts, diary ? diary->entry.sport : std::nullopt, rule, samples);
}
