#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/host/track/Sport.h"

// The exercise as the converted files show it: points and laps in metres,
// metres per second, degrees Celsius and seconds since 1970-01-01 UTC. The
// format writers know exercises only through this.

// One beat of a recording that keeps every heart beat.
struct Beat {
    int64_t at;        // ms since the start
    int32_t interval;  // ms since the beat before, or since the start
};

// One sample. A channel the monitor did not record is absent, and so is a
// heart rate of 0 (no reading).
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
    std::optional<double> balance;       // the left leg's share of the power, percent
    std::optional<double> temperature;   // degrees Celsius
};

// A lap. Samples [firstSample, endSample) belong to it: those before its end
// that no earlier lap took; the last lap takes the rest. Its figures come
// from those samples (LapFigures), not from what the monitor wrote for it.
struct TrackLap {
    int64_t start = 0;    // seconds since 1970-01-01 UTC
    double duration = 0;  // seconds
    int32_t firstSample = 0, endSample = 0;
    std::optional<int> calories;  // kcal, the lap's share of the exercise's energy
    std::string name;             // as the file names the lap, UTF-8; empty for none
};

// What the converted file came from and how its times were placed.
struct TrackOrigin {
    std::string rawFile;  // its name, without the directory, in UTF-8
    int32_t exerciseIndex = 0;
    bool archive = false;
    std::string entry;      // the archive entry, named instead of the index where the host read it itself
    int32_t utcOffset = 0;  // seconds east of UTC at which the file's wall clock was read
    // Option: --utc-offset; Track: the offset at which the GPS track's true UTC
    // times line up with the exercise.
    enum class OffsetSource { MachineZone, Option, Track, Unknown } offsetSource = OffsetSource::MachineZone;
    bool usUnits = false;  // recorded in miles, feet, mph and degrees Fahrenheit
    // Who recorded it and who converted it.
    int32_t monitor = -1;          // the file's "Monitor=" code; -1 where it gives none
    std::string monitorModel;      // the model that code stands for ("S625X/S725X"); empty where not known
    uint32_t serialNumber = 0;     // the raw file's own number (its header's hash); 0 for none
    int32_t converterVersion = 0;  // major x 100 + minor x 10 + patch
};

// How the offset came about, as the converted files say it ("the machine's time
// zone on that date").
const char* offsetSourceText(TrackOrigin::OffsetSource source);

// Which exercise of its raw file: ", exercise 2" or ", entry b.hrm" for an
// archive, empty for a single file.
std::string exerciseLabel(const TrackOrigin& origin);

class Track {
public:
    virtual ~Track() = default;

    virtual int32_t size() const = 0;
    // `index` from 0 to size() - 1; the offsets never fall from one point to the next.
    virtual TrackPoint point(int32_t index) const = 0;

    // The file's laps, or one for the whole exercise when it has none.
    const std::vector<TrackLap>& laps() const { return laps_; }
    bool lapsFromFile() const { return lapsFromFile_; }
    int64_t startTime() const { return start_; }    // seconds since 1970-01-01 UTC
    // False when the file gives no date: startTime() is then no real day.
    bool dated() const { return dated_; }
    // False when the file gives no recording interval: every sample then
    // lies at offset 0, with no time between them.
    bool timed() const { return timed_; }
    double duration() const { return duration_; }   // seconds
    std::optional<double> totalDistance() const { return totalDistance_; }  // metres
    bool anyPosition() const;                       // a pass over the points
    // The exercise's own name (from the day diary) and note, UTF-8; the name
    // is empty where nothing names the exercise.
    const std::string& name() const { return name_; }
    const std::string& note() const { return note_; }
    std::optional<int> energy() const { return energy_; }  // kcal
    const TrackOrigin& origin() const { return origin_; }
    // The beat intervals the file carries: the recording's own, or those of
    // an R-R recording made beside it (set with carryBeats); nullptr when none.
    const std::vector<Beat>* beats() const { return beats_; }
    // With the beats: every interval of the recording in ms as recorded,
    // the time without a beat included, for readers that add them up.
    const std::vector<int32_t>* intervals() const { return intervals_; }
    // A recording of beats alone, one point per second.
    bool fromBeats() const { return fromBeats_; }
    Sport sport() const { return sport_; }
    void setSport(Sport sport) { sport_ = sport; }
    // The exercise's name, note and energy as its day diary gives them; the
    // energy is shared out over the laps by their duration, adding up to it.
    void describe(std::string name, std::string note, std::optional<int> energy);
    // `beats` and `intervals` outlive the track.
    void carryBeats(const std::vector<Beat>& beats, const std::vector<int32_t>& intervals) {
        beats_ = &beats;
        intervals_ = &intervals;
    }

    // Sentences for the converted file: where it came from, at which offset
    // from UTC its times were placed, and where values came from that the
    // recording does not hold.
    std::string provenance() const;

protected:
    explicit Track(TrackOrigin origin) : origin_(std::move(origin)) {}
    Track(const Track&) = default;

    // The one lap of an exercise whose file has none: all of it.
    TrackLap wholeLap() const;

    TrackOrigin origin_;
    int64_t start_ = 0;
    bool dated_ = true, timed_ = true;
    double duration_ = 0;
    std::optional<double> totalDistance_;
    bool lapsFromFile_ = false;
    std::string name_, note_;
    std::optional<int> energy_;
    std::string sources_;  // sentences added to the provenance
    std::vector<TrackLap> laps_;
    const std::vector<Beat>* beats_ = nullptr;
    const std::vector<int32_t>* intervals_ = nullptr;
    bool fromBeats_ = false;
    Sport sport_ = Sport::Other;
};
