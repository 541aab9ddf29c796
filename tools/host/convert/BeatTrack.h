#pragma once

#include "tools/host/recording/BeatSeries.h"
#include "tools/host/recording/RecordingFacts.h"
#include "tools/host/track/Track.h"

// An R-R recording, which the plug-in gives no samples, as one point per
// whole second of the recording, from the first that follows a beat, with
// the heart rate of the last beat up to it. `beats` outlives the track.
class BeatTrack : public Track {
public:
    BeatTrack(const BeatSeries& beats, const RecordingFacts& facts, TrackOrigin origin);

    int32_t size() const override { return size_; }
    TrackPoint point(int32_t index) const override;

private:
    const BeatSeries& series_;
    int64_t firstSecond_ = 0;  // the second of point 0
    int32_t size_ = 0;
};
