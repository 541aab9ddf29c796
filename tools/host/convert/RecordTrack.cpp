#include "tools/host/convert/RecordTrack.h"

#include <algorithm>
#include <cmath>

#include "model/HrmFormat.h"
#include "tools/host/recording/TextEncoding.h"
#include "tools/host/time/CivilTime.h"

namespace {

constexpr double kMetresPerMile = 1609.344;
constexpr double kMetresPerFoot = 0.3048;
// Time after the last lap press shorter than this is the recording's
// rounding, not a lap: the last lap takes it.
constexpr double kShortestLastLap = 1;

std::vector<LapTemperatures::Reading> lapReadings(const std::vector<LapRecord>& laps) {
    std::vector<LapTemperatures::Reading> readings;
    for (const LapRecord& lap : laps) readings.push_back({double{lap.LapSplit}, lap.LapTemperature / 10});
    return readings;
}

}  // namespace

UnitScale unitScale(bool usUnits) {
    if (usUnits) return UnitScale{kMetresPerMile, kMetresPerFoot, kMetresPerMile / 3600, true};
    return UnitScale{1000, 1, 1000.0 / 3600, false};
}

int32_t keptSamples(const ExerciseReport& report, const RecordingFacts& facts) {
    return std::max(0, report.samples.count() - (facts.lastRowCutOff ? 1 : 0));
}

double recordedDuration(const ExerciseReport& report, const RecordingFacts& facts) {
    const double summary = report.summary ? report.summary->DurationSec : 0;
    const int32_t kept = keptSamples(report, facts);
    return kept > 0 ? std::max(summary, static_cast<double>(report.samples[kept - 1].TimeOffset)) : summary;
}

RecordTrack::RecordTrack(const ExerciseReport& report, const RecordingFacts& facts, TrackOrigin origin,
                         bool temperatureSpread, CodePage textEncoding)
    : Track(std::move(origin)),
      samples_(report.samples),
      size_(keptSamples(report, facts)),
      facts_(facts),
      scale_(unitScale(facts.usUnits)),
      textEncoding_(textEncoding),
      temperatures_(lapReadings(report.laps)) {
    origin_.usUnits = facts.usUnits;
    start_ = wallClockSeconds(report.summary ? report.summary->StartDateTime : 0) - origin_.utcOffset;
    duration_ = recordedDuration(report, facts);
    // The exercise lasted at least to its last lap press, even where the file's length is rounded down or short.
    if (!report.laps.empty()) duration_ = std::max(duration_, double{report.laps.back().LapSplit});
    // Without a date the plug-in counts the start from 1899-12-30.
    dated_ = report.summary && double{report.summary->StartDateTime} >= 1;
    timed_ = report.summary && report.summary->IntervalSec != 0;
    note_ = toUtf8(report.note, textEncoding);
    const int32_t n = size();
    if (facts_.speed && n > 0) totalDistance_ = samples_[n - 1].Distance * scale_.metresPerDistance;
    // Files before version 106 have no lap temperatures to spread.
    temperature_ = temperatureSpread && facts_.version >= hrm::kSModeVersion && temperatures_.any() && n > 0;
    lapsFromFile_ = !report.laps.empty();
    laps_ = convertLaps(report.laps);
}

// Members of the packed records are copied out (double{...}), never bound
// to a reference, which would be misaligned.
TrackPoint RecordTrack::point(int32_t index) const {
    TrackPoint p;
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
    if (facts_.balance) p.balance = double{r.Balance};
    if (temperature_) p.temperature = scale_.celsius(*temperatures_.at(r.TimeOffset));
    return p;
}

// Time offsets never fall from one sample to the next.
int32_t RecordTrack::firstSampleAtOrAfter(double offset) const {
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

std::vector<TrackLap> RecordTrack::convertLaps(const std::vector<LapRecord>& records) const {
    std::vector<TrackLap> laps;
    if (records.empty()) {
        laps.push_back(wholeLap());
        return laps;
    }
    int32_t first = 0;
    for (size_t k = 0; k < records.size(); ++k) {
        const LapRecord& record = records[k];
        TrackLap lap;
        // The first whole second after the press that ended the lap before: the samples' seconds from
        // there on are this lap's.
        const double begin = k > 0 ? double{records[k - 1].LapSplit} : 0;
        lap.start = start_ + static_cast<int64_t>(std::ceil(begin));
        lap.duration = record.LapDuration;
        lap.firstSample = first;
        lap.endSample = std::max(first, firstSampleAtOrAfter(record.LapSplit));
        first = lap.endSample;
        if (k < facts_.lapNames.size()) lap.name = toUtf8(facts_.lapNames[k], textEncoding_);
        laps.push_back(lap);
    }
    const double lastSplit = records.back().LapSplit;
    if (duration_ - lastSplit >= kShortestLastLap) {
        TrackLap rest;
        rest.start = start_ + static_cast<int64_t>(std::ceil(lastSplit));
        rest.duration = duration_ - lastSplit;
        rest.firstSample = first;
        laps.push_back(rest);
    } else {
        laps.back().duration += duration_ - lastSplit;
    }
    laps.back().endSample = size();
    return laps;
}
