#pragma once

#include "tools/host/convert/LapTemperatures.h"
#include "tools/host/driver/HostDriver.h"
#include "tools/host/recording/RecordingFacts.h"
#include "tools/host/recording/TextEncoding.h"
#include "tools/host/track/Track.h"

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

// The samples kept (a last row the file cut off left out), and the seconds
// they and the summary cover: the longer of the two.
int32_t keptSamples(const ExerciseReport& report, const RecordingFacts& facts);
double recordedDuration(const ExerciseReport& report, const RecordingFacts& facts);

// An analysed exercise as a track, read from the plug-in's records sample by
// sample while the report's samples can be read.
class RecordTrack : public Track {
public:
    // `temperatureSpread`: the plug-in's settings have it spread the lap
    // temperatures over the samples (ModulateTemp); only then do the samples
    // carry a temperature, spread here from the laps a sensor measured
    // (LapTemperatures). The note is read in `textEncoding`. A last sample
    // row the file cut off is left out. Time recorded after the last lap
    // press is a lap of its own, so that the laps cover the exercise.
    RecordTrack(const ExerciseReport& report, const RecordingFacts& facts, TrackOrigin origin, bool temperatureSpread,
                CodePage textEncoding);

    int32_t size() const override { return size_; }
    TrackPoint point(int32_t index) const override;

private:
    int32_t firstSampleAtOrAfter(double offset) const;
    std::vector<TrackLap> convertLaps(const std::vector<LapRecord>& laps) const;

    SampleReader samples_;
    int32_t size_;
    RecordingFacts facts_;
    UnitScale scale_;
    CodePage textEncoding_;
    LapTemperatures temperatures_;
    bool temperature_;
};
