#include "tools/host/track/Track.h"

#include <algorithm>

#include "tools/host/time/TimeZone.h"

const char* offsetSourceText(TrackOrigin::OffsetSource source) {
    switch (source) {
        case TrackOrigin::OffsetSource::Option: return "the offset given to polarhost";
        case TrackOrigin::OffsetSource::Track: return "the offset at which the GPS track's UTC times line up";
        case TrackOrigin::OffsetSource::Unknown: return "for want of the machine's time zone on that date";
        case TrackOrigin::OffsetSource::MachineZone: break;
    }
    return "the machine's time zone on that date";
}

std::string exerciseLabel(const TrackOrigin& origin) {
    if (!origin.entry.empty()) return ", entry " + origin.entry;
    return origin.archive ? ", exercise " + std::to_string(origin.exerciseIndex) : "";
}

void Track::describe(std::string name, std::string note, std::optional<int> energy) {
    name_ = std::move(name);
    note_ = std::move(note);
    energy_ = energy;
    if (!energy || *energy < 0) return;
    double total = 0;
    for (const TrackLap& lap : laps_) total += std::max(lap.duration, 0.0);
    // Each lap its share rounded down, the kcal left to the largest remainders.
    std::vector<std::pair<double, size_t>> remainders;
    int given = 0;
    for (size_t k = 0; k < laps_.size(); ++k) {
        const double share =
            total > 0 ? *energy * std::max(laps_[k].duration, 0.0) / total : double(*energy) / laps_.size();
        laps_[k].calories = static_cast<int>(share);
        given += *laps_[k].calories;
        remainders.emplace_back(share - *laps_[k].calories, k);
    }
    std::stable_sort(remainders.begin(), remainders.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (size_t k = 0; given < *energy && k < remainders.size(); ++k, ++given) ++*laps_[remainders[k].second].calories;
}

TrackLap Track::wholeLap() const {
    TrackLap whole;
    whole.start = start_;
    whole.duration = duration_;
    whole.endSample = size();
    return whole;
}

bool Track::anyPosition() const {
    for (int32_t j = 0; j < size(); ++j)
        if (point(j).hasPosition) return true;
    return false;
}

std::string Track::provenance() const {
    std::string text = "Converted by polarhost from " + origin_.rawFile;
    text += exerciseLabel(origin_);
    if (fromBeats_ && beats_) text += ", an R-R recording of " + std::to_string(beats_->size()) + " beats";
    text += ". The file's wall-clock times are read as " + utcOffsetText(origin_.utcOffset) + ", " +
            offsetSourceText(origin_.offsetSource) + ".";
    if (origin_.usUnits) text += " Recorded in US units, converted to metric.";
    return text + sources_;
}
