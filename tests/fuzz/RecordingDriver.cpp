// The converter's own reading of an exercise file: the header's facts, the
// last row, the sport they tell without samples, and the beats of an R-R
// recording, all on the same bytes.
#include <algorithm>
#include <cstdint>

#include "FuzzDrivers.h"
#include "tools/host/recording/BeatSeries.h"
#include "tools/host/recording/RecordedSport.h"
#include "tools/host/recording/RecordingFacts.h"

namespace fuzzing {

namespace {

// The bytes of the file's end the converter reads for its last row.
constexpr size_t kTailBytes = 4096;
// Heart, speed, cadence, altitude, power, balance, air pressure.
constexpr int32_t kMostColumns = 7;

}  // namespace

Problems driveRecording(const Workspace&, std::string_view input) {
    Problems problems;
    RecordingFacts facts = readRecordingFacts(input);
    readLastRow(input.substr(input.size() - std::min(input.size(), kTailBytes)), facts);
    if (facts.headerHash == 0) problems.push_back("recording: serial number 0, which FIT reads as none");
    if (facts.rowColumns != -1 && (facts.rowColumns < 1 || facts.rowColumns > kMostColumns))
        problems.push_back("recording: " + std::to_string(facts.rowColumns) + " columns a row");
    if (facts.lastRowCutOff && facts.lastRowColumns >= facts.rowColumns)
        problems.push_back("recording: a last row cut off with all its columns");
    monitorModel(facts.monitor);
    recordedSport(facts, {});

    const BeatSeries beats = BeatSeries::fromFileText(input);
    int64_t sum = 0;
    for (const int32_t interval : beats.intervals()) {
        if (interval <= 0) problems.push_back("recording: an interval of no time");
        sum += interval;
    }
    if (sum != beats.elapsed()) problems.push_back("recording: the intervals do not add up to the recording");
    int64_t before = 0;
    for (const Beat& beat : beats.beats()) {
        if (beat.interval < 1 || beat.interval >= BeatSeries::kNoBeatFrom || beat.at < before + beat.interval ||
            beat.at > beats.elapsed())
            problems.push_back("recording: a beat out of place");
        before = beat.at;
        beats.heartRateAt(beat.at);
    }
    return problems;
}

}  // namespace fuzzing
