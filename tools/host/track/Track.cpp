#include "tools/host/track/Track.h"

#include "tools/host/time/TimeZone.h"

const char* offsetSourceText(TrackOrigin::OffsetSource source) {
    switch (source) {
        case TrackOrigin::OffsetSource::Option: return "the offset given to polarhost";
        case TrackOrigin::OffsetSource::Unknown: return "for want of the machine's time zone on that date";
        case TrackOrigin::OffsetSource::MachineZone: break;
    }
    return "the machine's time zone on that date";
}

std::string exerciseLabel(const TrackOrigin& origin) {
    if (!origin.entry.empty()) return ", entry " + origin.entry;
    return origin.archive ? ", exercise " + std::to_string(origin.exerciseIndex) : "";
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
    return text;
}
