#include "ExerciseTrack.h"

#include <algorithm>
#include <cmath>

#include "tools/host/CivilTime.h"
#include "tools/host/TextRules.h"
#include "tools/host/TimeZone.h"

namespace {

constexpr double kMetresPerMile = 1609.344;
constexpr double kMetresPerFoot = 0.3048;

}  // namespace

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

UnitScale unitScale(bool usUnits) {
    if (usUnits) return UnitScale{kMetresPerMile, kMetresPerFoot, kMetresPerMile / 3600, true};
    return UnitScale{1000, 1, 1000.0 / 3600, false};
}

ExerciseTrack::ExerciseTrack(const ExerciseReport& report, const RecordingFacts& facts, TrackOrigin origin)
    : samples_(report.samples),
      size_(samples_.count()),
      facts_(facts),
      origin_(std::move(origin)),
      scale_(unitScale(facts.usUnits)),
      start_(wallClockSeconds(report.summary ? report.summary->StartDateTime : 0) - origin_.utcOffset),
      duration_(report.summary ? report.summary->DurationSec : 0),
      note_(latin1ToUtf8(report.note)) {
    if (size() > 0) duration_ = std::max(duration_, static_cast<double>(samples_[size() - 1].TimeOffset));
    // The plug-in spreads the lap temperatures over the samples, starting
    // with the first lap's, only when its settings ask for it; files before
    // version 106 have none.
    temperature_ = facts_.version >= 106 && !report.laps.empty() && size() > 0 &&
                   samples_[0].Temperature == report.laps.front().LapTemperature / 10;
    lapsFromFile_ = !report.laps.empty();
    laps_ = convertLaps(report.laps);
}

ExerciseTrack::ExerciseTrack(const BeatSeries& beats, const RecordingFacts& facts, TrackOrigin origin)
    : beats_(&beats),
      fromBeats_(true),
      facts_(facts),
      origin_(std::move(origin)),
      scale_(unitScale(facts.usUnits)),
      start_(facts.start - origin_.utcOffset),
      duration_(static_cast<double>(beats.seconds())),
      temperature_(false),
      lapsFromFile_(false) {
    // Heart rate is all an R-R recording holds.
    facts_.speed = facts_.cadence = facts_.altitude = facts_.power = false;
    if (!beats.beats().empty()) {
        firstSecond_ = (beats.beats().front().at + 999) / 1000;
        size_ = static_cast<int32_t>(beats.seconds() - firstSecond_ + 1);
    }
    laps_ = convertLaps({});
}

// Members of the packed records are copied out (double{...}), never bound
// to a reference, which would be misaligned.
TrackPoint ExerciseTrack::point(int32_t index) const {
    TrackPoint p;
    if (fromBeats_) {
        const int64_t second = firstSecond_ + index;
        p.offset = static_cast<int32_t>(second);
        p.time = start_ + second;
        // The formats' heart rates end at 255 bpm; a faster beat keeps only its interval.
        if (const std::optional<int> rate = beats_->heartRateAt(second * 1000); rate && *rate <= 255)
            p.heartRate = rate;
        return p;
    }
    const SampleRecord r = samples_[index];
    p.offset = r.TimeOffset;
    p.time = start_ + r.TimeOffset;
    // The plug-in leaves 0/0 where the track gave no position.
    p.hasPosition = r.Latitude != 0 || r.Longitude != 0;
    p.latitude = r.Latitude;
    p.longitude = r.Longitude;
    if (facts_.speed) {
        p.speed = r.Speed * scale_.metresPerSecondPerSpeed;
        p.distance = r.Distance * scale_.metresPerDistance;
    }
    if (facts_.altitude) p.altitude = r.Altitude * scale_.metresPerAltitude;
    if (r.HR > 0) p.heartRate = r.HR;
    if (facts_.cadence) p.cadence = r.Cadence;
    if (facts_.power) p.power = double{r.Power};
    if (temperature_) p.temperature = scale_.celsius(r.Temperature);
    return p;
}

std::optional<double> ExerciseTrack::totalDistance() const {
    if (!facts_.speed || size() == 0) return std::nullopt;
    return samples_[size() - 1].Distance * scale_.metresPerDistance;
}

bool ExerciseTrack::anyPosition() const {
    for (int32_t j = 0; j < samples_.count(); ++j)
        if (point(j).hasPosition) return true;
    return false;
}

// Time offsets never fall from one sample to the next.
int32_t ExerciseTrack::firstSampleAtOrAfter(double offset) const {
    int32_t low = 0, high = size();
    while (low < high) {
        const int32_t middle = low + (high - low) / 2;
        if (samples_[middle].TimeOffset < offset)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

std::vector<TrackLap> ExerciseTrack::convertLaps(const std::vector<LapRecord>& records) const {
    std::vector<TrackLap> laps;
    if (records.empty()) {
        TrackLap whole;
        whole.start = start_;
        whole.duration = duration_;
        whole.endSample = size();
        whole.distance = totalDistance();
        laps.push_back(whole);
        return laps;
    }
    int32_t first = 0;
    for (size_t k = 0; k < records.size(); ++k) {
        const LapRecord& record = records[k];
        TrackLap lap;
        lap.start = start_ + std::llround(record.LapSplit - record.LapDuration);
        lap.duration = record.LapDuration;
        lap.firstSample = first;
        lap.endSample = k + 1 == records.size() ? size() : std::max(first, firstSampleAtOrAfter(record.LapSplit));
        first = lap.endSample;
        if (record.LapAvgHR > 0) lap.averageHeartRate = record.LapAvgHR;
        if (record.LapMaxHR > 0) lap.maximumHeartRate = record.LapMaxHR;
        if (facts_.speed) lap.speed = record.LapSpeed * scale_.metresPerSecondPerSpeed;
        if (facts_.cadence) lap.cadence = record.LapCadence;
        if (facts_.power && facts_.version >= 106) lap.power = double{record.LapPower};
        if (facts_.altitude) lap.ascent = record.LapAscent * scale_.metresPerAltitude;
        laps.push_back(lap);
    }
    if (facts_.speed) {
        // From the sample that opens the lap to the one that opens the next.
        for (TrackLap& lap : laps) {
            if (lap.firstSample >= size()) {
                lap.distance = 0.0;
                continue;
            }
            const int32_t end = std::min(lap.endSample, size() - 1);
            lap.distance = (samples_[end].Distance - samples_[lap.firstSample].Distance) * scale_.metresPerDistance;
        }
    }
    return laps;
}

std::string ExerciseTrack::provenance() const {
    std::string text = "Converted by polarhost from " + origin_.rawFile;
    text += exerciseLabel(origin_);
    if (fromBeats_) text += ", an R-R recording of " + std::to_string(beats_->beats().size()) + " beats";
    text += ". The file's wall-clock times are read as " + utcOffsetText(origin_.utcOffset) + ", " +
            offsetSourceText(origin_.offsetSource) + ".";
    if (facts_.usUnits) text += " Recorded in US units, converted to metric.";
    return text;
}
