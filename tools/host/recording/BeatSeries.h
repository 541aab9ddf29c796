#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "tools/host/track/Track.h"

// The beats of an R-R recording, whose "[HRData]" rows are the milliseconds
// between two heart beats. A row's first column is read as a whole number:
// 1 to 2999 ms is a beat; 0, a negative value or text that is no number is
// no time at all and is skipped; 3000 ms or more (below 20 bpm, slower than
// any heart) is what the monitor writes when it found no beat, time that
// passed without one, so it moves the timeline on without being a beat.
class BeatSeries {
public:
    static constexpr int32_t kNoBeatFrom = 3000;  // ms

    // The rows after "[HRData]" of an exercise file's text, up to the first
    // empty line, as the plug-in ends its samples.
    static BeatSeries fromFileText(std::string_view text);

    const std::vector<Beat>& beats() const { return beats_; }
    // Every row that is time, in ms as recorded: the beats' intervals and
    // the time without a beat. They add up to elapsed().
    const std::vector<int32_t>& intervals() const { return intervals_; }
    // ms from the start to the end of the last row that is time.
    int64_t elapsed() const { return elapsed_; }
    // The whole seconds the recording covers, its last part second counted.
    int64_t seconds() const { return (elapsed_ + 999) / 1000; }
    // The heart rate of the last beat at or before `ms`, when it came less
    // than kNoBeatFrom before: a time the monitor found no beat for as long
    // has no heart rate. nullopt before the first beat and in such a gap.
    std::optional<int> heartRateAt(int64_t ms) const;

private:
    std::vector<Beat> beats_;
    std::vector<int32_t> intervals_;
    int64_t elapsed_ = 0;
};

// The heart rate, in beats per minute rounded, of a beat `interval` ms after the one before.
int heartRateOf(int32_t interval);
