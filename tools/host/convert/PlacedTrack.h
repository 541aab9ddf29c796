#pragma once

#include <string>

#include "tools/host/convert/TrackPlacement.h"
#include "tools/host/track/Track.h"

// A recorded track with the positions of a GPS track placed on it. Where
// the recording holds no speed the GPS track also gives the distance along
// it and the speed, and where it holds no altitude the elevation; what the
// recording holds stays. `recorded` outlives this track.
class PlacedTrack : public Track {
public:
    // `source`: a sentence for the files, saying where the positions came from.
    PlacedTrack(const Track& recorded, TrackPlacement placement, const std::string& source);

    int32_t size() const override { return recorded_.size(); }
    TrackPoint point(int32_t index) const override;

private:
    // A recorded point with what the GPS track gives it.
    TrackPoint placed(TrackPoint p) const;

    const Track& recorded_;
    mutable TrackPlacement placement_;  // its cursor follows the points asked for
    mutable std::optional<double> baseDistance_;  // the track's distance at the first sample it reaches
};
