#include "tools/host/convert/BeatTrack.h"

BeatTrack::BeatTrack(const BeatSeries& beats, const RecordingFacts& facts, TrackOrigin origin)
    : Track(std::move(origin)), series_(beats) {
    origin_.usUnits = facts.usUnits;
    start_ = facts.start - origin_.utcOffset;
    dated_ = facts.start >= 0;
    duration_ = static_cast<double>(beats.seconds());
    carryBeats(beats.beats(), beats.intervals());
    fromBeats_ = true;
    if (!beats.beats().empty()) {
        firstSecond_ = (beats.beats().front().at + 999) / 1000;
        size_ = static_cast<int32_t>(beats.seconds() - firstSecond_ + 1);
    }
    laps_.push_back(wholeLap());
}

TrackPoint BeatTrack::point(int32_t index) const {
    TrackPoint p;
    const int64_t second = firstSecond_ + index;
    p.offset = static_cast<int32_t>(second);
    p.time = start_ + second;
    // The formats' heart rates end at 255 bpm; a faster beat keeps only its interval.
    if (const std::optional<int> rate = series_.heartRateAt(second * 1000); rate && *rate <= 255) p.heartRate = rate;
    return p;
}
