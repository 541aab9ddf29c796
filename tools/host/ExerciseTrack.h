#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/host/BeatSeries.h"
#include "tools/host/HostDriver.h"
#include "tools/host/RecordingFacts.h"
#include "tools/host/Sport.h"

// Factors from a file's units to those of the converted files: metres,
// metres per second, degrees Celsius.
struct UnitScale {
    double metresPerDistance;        // km, or mile in US units
    double metresPerAltitude;        // metre, or foot
    double metresPerSecondPerSpeed;  // km/h, or mph
    bool fahrenheit;
    double celsius(double degrees) const { return fahrenheit ? (degrees - 32) * 5 / 9 : degrees; }
};
UnitScale unitScale(bool usUnits);

// One sample in the converted files' units. A channel the monitor did not
// record is absent, and so is a heart rate of 0 (no reading).
struct TrackPoint {
    int64_t time = 0;    // seconds since 1970-01-01 UTC
    int32_t offset = 0;  // seconds since the start
    bool hasPosition = false;
    double latitude = 0, longitude = 0;  // degrees
    std::optional<double> distance;      // metres since the start
    std::optional<double> speed;         // m/s
    std::optional<double> altitude;      // metres
    std::optional<int> heartRate;        // bpm
    std::optional<int> cadence;          // rpm
    std::optional<double> power;         // watts
    std::optional<double> temperature;   // degrees Celsius
};

// A lap in the converted files' units. Samples [firstSample, endSample)
// belong to it: those before its end that no earlier lap took; the last
// lap takes the rest.
struct TrackLap {
    int64_t start = 0;    // seconds since 1970-01-01 UTC
    double duration = 0;  // seconds
    int32_t firstSample = 0, endSample = 0;
    std::optional<double> distance;  // metres, between the samples that open this lap and the next
    std::optional<int> averageHeartRate, maximumHeartRate;
    std::optional<double> speed;  // m/s, as the monitor gave it for the lap
    std::optional<int> cadence;
    std::optional<double> power;
    std::optional<double> ascent;  // metres
};

// What the converted file came from and how its times were placed.
struct TrackOrigin {
    std::string rawFile;  // its name, without the directory, in UTF-8
    int32_t exerciseIndex = 0;
    bool archive = false;
    std::string entry;  // the archive entry, named instead of the index where the host read it itself
    int32_t utcOffset = 0;  // seconds east of UTC at which the file's wall clock was read
    enum class OffsetSource { MachineZone, Option, Unknown } offsetSource = OffsetSource::MachineZone;
};

// How the offset came about, as the converted files say it ("the machine's time
// zone on that date").
const char* offsetSourceText(TrackOrigin::OffsetSource source);

// Which exercise of its raw file: ", exercise 2" or ", entry b.hrm" for an
// archive, empty for a single file.
std::string exerciseLabel(const TrackOrigin& origin);

// One exercise as the converted files show it: an analysed one read from
// the plug-in's records sample by sample, or an R-R recording, which the
// plug-in gives no samples, as one point per second from its start.
class ExerciseTrack {
public:
    ExerciseTrack(const ExerciseReport& report, const RecordingFacts& facts, TrackOrigin origin);
    // One point per whole second of the recording, from the first that
    // follows a beat, with the heart rate of the last beat up to it.
    // `beats` outlives the track.
    ExerciseTrack(const BeatSeries& beats, const RecordingFacts& facts, TrackOrigin origin);

    int32_t size() const { return size_; }
    TrackPoint point(int32_t index) const;
    // The file's laps, or one for the whole exercise when it has none.
    const std::vector<TrackLap>& laps() const { return laps_; }
    bool lapsFromFile() const { return lapsFromFile_; }

    int64_t startTime() const { return start_; }       // seconds since 1970-01-01 UTC
    double duration() const { return duration_; }      // seconds
    std::optional<double> totalDistance() const;       // metres
    bool anyPosition() const;                          // a pass over the samples
    const std::string& note() const { return note_; }  // UTF-8
    const RecordingFacts& facts() const { return facts_; }
    const TrackOrigin& origin() const { return origin_; }
    bool hasTemperature() const { return temperature_; }
    // The beat intervals the file carries: the recording's own, or those of
    // an R-R recording made beside it (set with carryBeats); nullptr when none.
    const BeatSeries* beats() const { return beats_; }
    bool fromBeats() const { return fromBeats_; }
    Sport sport() const { return sport_; }
    void setSport(Sport sport) { sport_ = sport; }
    void carryBeats(const BeatSeries& beats) { beats_ = &beats; }

    // One sentence for the converted file: where it came from and at which
    // offset from UTC its times were placed.
    std::string provenance() const;

private:
    int32_t firstSampleAtOrAfter(double offset) const;
    std::vector<TrackLap> convertLaps(const std::vector<LapRecord>& laps) const;

    SampleReader samples_;
    const BeatSeries* beats_ = nullptr;
    bool fromBeats_ = false;
    int64_t firstSecond_ = 0;  // of a track from beats: the second of point 0
    int32_t size_ = 0;
    Sport sport_ = Sport::Other;
    RecordingFacts facts_;
    TrackOrigin origin_;
    UnitScale scale_;
    int64_t start_;
    double duration_;
    bool temperature_;
    bool lapsFromFile_;
    std::string note_;
    std::vector<TrackLap> laps_;
};
