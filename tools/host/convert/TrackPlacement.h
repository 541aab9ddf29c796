#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "tools/host/recording/GpsTrack.h"

// Places a GPS track recorded beside an exercise on the exercise's samples,
// for the converted files. The watch records its local wall clock; a
// track's times may be that same wall clock (Polar's software writes it,
// marked "Z" or not) or true UTC (a phone), and the watch may have been set
// to another zone than the computer. So the times are tried under several
// readings, in this order:
//   (a) the digits as written are the watch's local time;
//   (b) true UTC instants (a time without a zone is UTC), the watch at the
//       exercise's offset from UTC;
//   (c) true UTC with the watch at another offset a zone uses: the whole
//       hours from -12:00 to +14:00, then -09:30, -08:30, -04:30, -03:30,
//       -02:30, +03:30, +04:30, +05:30, +05:45, +06:30, +08:30, +08:45,
//       +09:30, +09:45, +10:30, +11:30, +12:45 and +13:45; each group
//       nearest the exercise's offset first, east before west.
// A track whose times cannot be trusted is not read by them at all: one
// most of whose times cannot be read, or of whose readable times, in file
// order, more than three and more than 5 % of the steps from one to the next
// go back (a few are segments written out of order, sorted out).
// A reading fits when at least 80 % of the track's timed points lie within
// the exercise, a minute's slack allowed at either end (phone and watch are
// rarely started further apart), and the points within it span at least
// half of the exercise. So a walk that merely overlaps a short exercise
// fits nowhere, and a short track, which would fit anywhere inside a long
// exercise, is not guessed at. A track of another time fits nowhere unless
// it lies one of those offsets off: (c) cannot tell that from a
// watch set to another zone. Of the readings that fit, the one whose points
// span the most of the exercise is taken; of two that span the same (within
// a second), the earlier. The span decides because the share alone does
// not: a five-hour ride read one hour off still has 80 % of its points
// within the exercise, but spans only four hours of it.

// How the track's times are read against the watch's clock.
struct TrackReading {
    enum class Kind {
        WrittenAsLocal,  // (a)
        Utc,             // (b) and (c): true UTC, the watch at utcOffset
        ByOrder,         // times ignored: the points spread evenly over the exercise, in file order
    };
    Kind kind = Kind::WrittenAsLocal;
    int32_t utcOffset = 0;  // Utc only: the watch's offset, seconds east of UTC
    bool operator==(const TrackReading&) const = default;
};

// The exercise as the watch recorded it.
struct ExerciseClock {
    int64_t start = 0;         // the watch's local wall clock, seconds since 1970-01-01
    double duration = 0;       // seconds
    int32_t utcOffset = 0;     // seconds east of UTC the exercise is placed at
    bool offsetGiven = false;  // the user gave it (--utc-offset), not the machine's zone: only the message differs
};

struct PlacementOptions {
    // A reading taken without trying the others, fit or not (the message
    // then says it does not): --track-offset +HH:MM (Utc at that offset),
    // --track-offset local (WrittenAsLocal), --track-by-order (ByOrder).
    std::optional<TrackReading> forced;
    // Positions are interpolated between two neighbouring fixes at most this
    // far apart (seconds); a sample in a longer gap gets none. A track
    // placed by order has no gaps.
    double gapLimit = 30;
};

// The track at one sample.
struct PlacedFix {
    double latitude = 0, longitude = 0;  // degrees
    std::optional<double> elevation;     // metres, where both fixes around the sample hold one
    double distance = 0;                 // metres along the track from its first fix placed
    // m/s over the ten seconds of track around the sample (less at a gap or
    // an end of the track); none for a track placed by order, whose times
    // are not the track's own.
    std::optional<double> speed;
};

class TrackPlacement {
public:
    enum class Outcome {
        Placed,
        NoPosition,  // the track holds no point with a position
        NoTime,      // no point has a time, and no reading by order was asked for
        NoFit,       // no reading fits
        TimesUntrustworthy,  // most times unreadable, or they run backwards, and no reading was forced
    };

    Outcome outcome() const { return outcome_; }
    // The reading taken; nullopt unless placed.
    const std::optional<TrackReading>& reading() const { return reading_; }
    // The watch's offset from UTC where the track tells it: that of a
    // reading in UTC that was forced, was (b), or was the only offset of (c)
    // to fit best. The caller takes it as the exercise's offset unless the
    // user gave one.
    std::optional<int32_t> watchOffset() const { return watchOffset_; }
    // One line for the user: which reading was taken and why, or why the
    // track was not placed. Without a fit it names both spans on the watch's
    // clock under reading (a), "track 16:43-16:46, exercise 16:21-16:25",
    // with dates where they differ.
    const std::string& message() const { return message_; }
    // Placed, but the user should check it: another offset fits as well, or
    // the reading asked for does not fit the exercise.
    bool doubtful() const { return doubtful_; }
    // The reading taken, for the converted files: "its times as UTC, the
    // watch at UTC+06:00"; empty unless placed.
    std::string readingText() const;

    // The track at `offset` seconds after the exercise's start; nullopt
    // before its first fix, after its last and within a gap. Answers are
    // linear in fixes and samples over offsets that never decrease (one
    // pass over the samples); a smaller offset starts the pass again.
    std::optional<PlacedFix> at(double offset);

    // A fix as the placement keeps it.
    struct Fix {
        double time;  // seconds after the exercise's start
        double latitude, longitude;
        std::optional<double> elevation;
        double distance;        // metres from the first fix
        double runFrom, runTo;  // times of the first and last fix of its run without a gap
    };

private:
    friend TrackPlacement placeTrack(const GpsTrack&, const ExerciseClock&, const PlacementOptions&);

    // The distance along the track at `time`, within the run of `cursor`'s fix.
    double distanceAt(size_t& cursor, double time) const;

    Outcome outcome_ = Outcome::NoPosition;
    std::optional<TrackReading> reading_;
    std::optional<int32_t> watchOffset_;
    std::string message_;
    bool doubtful_ = false;
    std::vector<Fix> fixes_;
    double gapLimit_ = 30;
    double lastOffset_ = -std::numeric_limits<double>::infinity();
    size_t cursor_ = 0, behind_ = 0, ahead_ = 0;
};

// Never throws (memory aside). `track` need not be sorted: fixes are
// sorted stably by their time under the reading taken.
TrackPlacement placeTrack(const GpsTrack& track, const ExerciseClock& exercise, const PlacementOptions& options);
