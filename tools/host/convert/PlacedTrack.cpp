#include "tools/host/convert/PlacedTrack.h"

PlacedTrack::PlacedTrack(const Track& recorded, TrackPlacement placement, const std::string& source)
    : Track(recorded), recorded_(recorded), placement_(std::move(placement)) {
    bool addsDistance = false, addsElevation = false;
    std::optional<double> last;
    for (int32_t j = 0; j < size(); ++j) {
        const TrackPoint recordedPoint = recorded_.point(j);
        const TrackPoint p = placed(recordedPoint);
        addsDistance |= !recordedPoint.distance && p.distance;
        addsElevation |= !recordedPoint.altitude && p.altitude;
        if (p.distance) last = p.distance;
    }
    if (addsDistance && !totalDistance_) totalDistance_ = last;
    sources_ += " " + source;
    if (addsDistance) sources_ += " Distance and speed along the GPS track.";
    if (addsElevation) sources_ += " Elevation from the GPS track.";
}

TrackPoint PlacedTrack::point(int32_t index) const { return placed(recorded_.point(index)); }

TrackPoint PlacedTrack::placed(TrackPoint p) const {
    const std::optional<PlacedFix> fix = placement_.at(p.offset);
    p.hasPosition = fix.has_value();
    p.latitude = fix ? fix->latitude : 0;
    p.longitude = fix ? fix->longitude : 0;
    if (!fix) return p;
    if (!p.distance) {
        if (!baseDistance_) baseDistance_ = fix->distance;
        p.distance = fix->distance - *baseDistance_;
        p.speed = fix->speed;
    }
    if (!p.altitude) p.altitude = fix->elevation;
    return p;
}
