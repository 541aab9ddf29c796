#include "tools/host/track/LapFigures.h"

#include <algorithm>
#include <cmath>

namespace {

template <typename T>
void raise(std::optional<T>& maximum, T value) {
    if (!maximum || value > *maximum) maximum = value;
}

std::optional<int> rounded(int64_t sum, int64_t count) {
    if (count == 0) return std::nullopt;
    return static_cast<int>(std::llround(static_cast<double>(sum) / static_cast<double>(count)));
}

}  // namespace

void LapFigures::Sums::add(const TrackPoint& p) {
    if (p.heartRate) {
        heartRateSum += *p.heartRate;
        ++heartRates;
        raise(maximumHeartRate, *p.heartRate);
    }
    if (p.cadence) {
        cadenceSum += *p.cadence;
        ++cadences;
        raise(maximumCadence, *p.cadence);
    }
    if (p.power && std::isfinite(*p.power)) {
        powerSum += *p.power;
        ++powers;
        raise(maximumPower, *p.power);
    }
    if (p.speed && std::isfinite(*p.speed)) raise(maximumSpeed, *p.speed);
}

void LapFigures::Sums::add(const Sums& other) {
    heartRateSum += other.heartRateSum;
    heartRates += other.heartRates;
    cadenceSum += other.cadenceSum;
    cadences += other.cadences;
    powerSum += other.powerSum;
    powers += other.powers;
    if (other.maximumHeartRate) raise(maximumHeartRate, *other.maximumHeartRate);
    if (other.maximumCadence) raise(maximumCadence, *other.maximumCadence);
    if (other.maximumSpeed) raise(maximumSpeed, *other.maximumSpeed);
    if (other.maximumPower) raise(maximumPower, *other.maximumPower);
    ascent += other.ascent;
    descent += other.descent;
}

LapFigures::LapFigures(const Track& track) : track_(track), laps_(std::max<size_t>(track.laps().size(), 1)) {}

LapFigures LapFigures::of(const Track& track) {
    LapFigures figures(track);
    for (int32_t j = 0; j < track.size(); ++j) figures.add(j, track.point(j));
    return figures;
}

void LapFigures::add(int32_t index, const TrackPoint& p) {
    const bool hasDistance = p.distance && std::isfinite(*p.distance);
    if (hasDistance) {
        for (const size_t k : pending_) {
            Sums& ended = laps_[k];
            if (p.offset > known_->offset)
                ended.endDistance = known_->distance + (*p.distance - known_->distance) *
                                                           (ended.endOffset - known_->offset) /
                                                           (p.offset - known_->offset);
        }
        pending_.clear();
        known_ = Known{p.offset, *p.distance};
    }
    // The point that opens a lap ends the one before.
    const std::vector<TrackLap>& laps = track_.laps();
    for (; lap_ + 1 < laps_.size() && index >= laps[lap_].endSample; ++lap_) {
        Sums& ended = laps_[lap_];
        ended.endOffset = p.offset;
        ended.endDistance = known_ ? known_->distance : 0;
        if (!hasDistance && known_) pending_.push_back(lap_);
    }
    Sums& sums = laps_[lap_];
    sums.add(p);
    if (!p.altitude || !std::isfinite(*p.altitude)) return;
    anyAltitude_ = true;
    const double altitude = *p.altitude;
    if (!counted_) {
        counted_ = altitude;
    } else if (altitude - *counted_ >= kClimbHysteresis) {
        sums.ascent += altitude - *counted_;
        counted_ = altitude;
    } else if (*counted_ - altitude >= kClimbHysteresis) {
        sums.descent += *counted_ - altitude;
        counted_ = altitude;
    }
}

double LapFigures::endDistance(size_t k) const {
    return k < lap_ ? laps_[k].endDistance : known_ ? known_->distance : 0;
}

Figures LapFigures::figures(const Sums& sums, double time, std::optional<double> distance) const {
    Figures f;
    f.time = time;
    f.distance = distance;
    if (distance && time > 0) f.averageSpeed = *distance / time;
    f.maximumSpeed = sums.maximumSpeed;
    f.averageHeartRate = rounded(sums.heartRateSum, sums.heartRates);
    f.maximumHeartRate = sums.maximumHeartRate;
    f.averageCadence = rounded(sums.cadenceSum, sums.cadences);
    f.maximumCadence = sums.maximumCadence;
    if (sums.powers > 0) f.averagePower = sums.powerSum / static_cast<double>(sums.powers);
    f.maximumPower = sums.maximumPower;
    if (anyAltitude_) {
        f.ascent = sums.ascent;
        f.descent = sums.descent;
    }
    return f;
}

Figures LapFigures::lap(size_t k) const {
    std::optional<double> distance;
    if (known_) distance = endDistance(k) - (k > 0 ? endDistance(k - 1) : 0);
    const double time = k < track_.laps().size() ? track_.laps()[k].duration : track_.duration();
    return figures(laps_[k], time, distance);
}

Figures LapFigures::session() const {
    Sums total;
    for (const Sums& sums : laps_) total.add(sums);
    return figures(total, track_.duration(), known_ ? std::optional(known_->distance) : std::nullopt);
}
