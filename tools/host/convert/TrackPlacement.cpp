#include "TrackPlacement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <tuple>

#include "tools/host/time/CivilTime.h"
#include "tools/host/time/TimeZone.h"

namespace {

using Kind = TrackReading::Kind;

// A point this far (seconds) before the start or after the end still lies
// within the exercise.
constexpr double kSlack = 60;
constexpr double kInsideShare = 0.8;   // of the timed points, within the exercise
constexpr double kSpannedShare = 0.5;  // of the exercise, spanned by the points within it
constexpr double kSameSpan = 1;        // seconds: spans closer than this are taken as equal
constexpr double kSpeedReach = 5;      // seconds of track on either side of a sample for its speed
constexpr double kEarthRadius = 6'371'008.8;  // metres, the mean radius
// Steps back between readable times that a track may have: a few, where
// segments were written out of order, or a point twice; and no more than
// this share of its steps.
constexpr size_t kBackwardSteps = 3;
constexpr double kBackwardShare = 0.05;

constexpr int32_t hours(int32_t h, int32_t minutes = 0) { return h * 3600 + (h < 0 ? -minutes : minutes) * 60; }

// The offsets from UTC that zones use or have used besides whole hours.
constexpr int32_t kPartHourOffsets[] = {
    hours(-9, 30), hours(-8, 30), hours(-4, 30), hours(-3, 30), hours(-2, 30), hours(3, 30),
    hours(4, 30),  hours(5, 30),  hours(5, 45),  hours(6, 30),  hours(8, 30),  hours(8, 45),
    hours(9, 30),  hours(9, 45),  hours(10, 30), hours(11, 30), hours(12, 45), hours(13, 45)};

// (c): the whole hours from -12 to +14, then the offsets of part hours,
// each group nearest the exercise's offset first, east before west at the
// same distance.
std::vector<int32_t> otherOffsets(int32_t exerciseOffset) {
    std::vector<int32_t> offsets;
    for (int32_t hour = -12; hour <= 14; ++hour) offsets.push_back(hours(hour));
    offsets.insert(offsets.end(), std::begin(kPartHourOffsets), std::end(kPartHourOffsets));
    std::erase(offsets, exerciseOffset);
    const auto rank = [exerciseOffset](int32_t offset) {
        const int64_t apart = int64_t{offset} - exerciseOffset;
        return std::make_tuple(offset % 3600 != 0, std::abs(apart), apart < 0);
    };
    std::stable_sort(offsets.begin(), offsets.end(), [&](int32_t a, int32_t b) { return rank(a) < rank(b); });
    return offsets;
}

// Why the track's times cannot place it, or empty when they can: most of
// them unreadable, or more than three and more than 5 % of the steps between
// the readable ones, in file order, going back (a clock that jumps, files
// spliced together: no reading of such times puts the points where they were).
std::string untrustworthyTimes(const GpsTrack& track) {
    const size_t readable = track.fixes.size() - static_cast<size_t>(std::count_if(
                                                     track.fixes.begin(), track.fixes.end(),
                                                     [](const GpsFix& fix) { return !fix.time; }));
    if (static_cast<size_t>(track.unreadableTimes) > readable)
        return std::to_string(track.unreadableTimes) + " of its " + std::to_string(track.fixes.size()) +
               " points' times cannot be read";
    size_t steps = 0, backward = 0;
    const GpsTime* before = nullptr;
    for (const GpsFix& fix : track.fixes) {
        if (!fix.time) continue;
        if (before) {
            ++steps;
            backward += fix.time->utc() < before->utc();
        }
        before = &*fix.time;
    }
    if (backward > kBackwardSteps && static_cast<double>(backward) > kBackwardShare * static_cast<double>(steps))
        return std::to_string(backward) + " of the " + std::to_string(steps) +
               " steps between its readable times go back in time";
    return {};
}

double radians(double degrees) { return degrees * std::numbers::pi / 180; }

double greatCircle(double latitude1, double longitude1, double latitude2, double longitude2) {
    const double latitudeHalf = std::sin(radians(latitude2 - latitude1) / 2);
    const double longitudeHalf = std::sin(radians(longitude2 - longitude1) / 2);
    const double h = latitudeHalf * latitudeHalf +
                     std::cos(radians(latitude1)) * std::cos(radians(latitude2)) * longitudeHalf * longitudeHalf;
    return 2 * kEarthRadius * std::asin(std::sqrt(std::clamp(h, 0.0, 1.0)));
}

// Across the date line the shorter way, wrapped into [-180, 180].
double longitudeBetween(double from, double to, double fraction) {
    double step = to - from;
    if (step > 180) step -= 360;
    if (step < -180) step += 360;
    double longitude = from + fraction * step;
    if (longitude > 180) longitude -= 360;
    if (longitude < -180) longitude += 360;
    return longitude;
}

int64_t dayOf(double wallClock) { return static_cast<int64_t>(std::floor(wallClock / 86400)); }

// "16:43", or "2015-03-18 16:43" with the date, of a wall clock in seconds since 1970-01-01.
std::string clockText(double wallClock, bool withDate) {
    const CivilDateTime t = civilFromSeconds(static_cast<int64_t>(std::floor(wallClock)));
    char text[48];
    if (withDate)
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour, t.minute);
    else
        std::snprintf(text, sizeof text, "%02d:%02d", t.hour, t.minute);
    return text;
}

// "track 16:43-16:46, exercise 16:21-16:25", the dates added where the days differ.
std::string spansText(double trackFrom, double trackTo, double exerciseFrom, double exerciseTo) {
    const int64_t day = dayOf(exerciseFrom);
    const bool dates = dayOf(trackFrom) != day || dayOf(trackTo) != day || dayOf(exerciseTo) != day;
    const auto span = [dates](double from, double to) {
        return clockText(from, dates) + "-" + clockText(to, dates && dayOf(to) != dayOf(from));
    };
    return "track " + span(trackFrom, trackTo) + ", exercise " + span(exerciseFrom, exerciseTo);
}

// Where a reading in UTC puts the watch against the exercise's own offset.
std::string offsetNote(const TrackReading& reading, const ExerciseClock& exercise) {
    if (reading.kind != Kind::Utc) return {};
    if (reading.utcOffset == exercise.utcOffset) return " (the exercise's offset)";
    return std::string(" (") + (exercise.offsetGiven ? "the offset given is " : "the machine's zone gives ") +
           utcOffsetText(exercise.utcOffset) + ")";
}

using Fix = TrackPlacement::Fix;

Fix fixAt(double time, const GpsFix& fix) { return {time, fix.latitude, fix.longitude, fix.elevation, 0, 0, 0}; }

// Times ignored: every fix, in file order, spread evenly over the exercise.
std::vector<Fix> spreadInOrder(const GpsTrack& track, double duration) {
    std::vector<Fix> fixes;
    const size_t count = track.fixes.size();
    for (size_t i = 0; i < count; ++i)
        fixes.push_back(fixAt(count > 1 ? duration * static_cast<double>(i) / static_cast<double>(count - 1) : 0,
                              track.fixes[i]));
    return fixes;
}

// The timed fixes at seconds after the exercise's start under `reading`,
// sorted stably by time.
std::vector<Fix> onExerciseClock(const GpsTrack& track, const TrackReading& reading, double start) {
    std::vector<Fix> fixes;
    for (const GpsFix& fix : track.fixes)
        if (fix.time)
            fixes.push_back(fixAt(reading.kind == Kind::Utc ? fix.time->utc() + reading.utcOffset - start
                                                            : fix.time->wallClock - start,
                                  fix));
    const auto earlier = [](const Fix& a, const Fix& b) { return a.time < b.time; };
    if (!std::is_sorted(fixes.begin(), fixes.end(), earlier)) std::stable_sort(fixes.begin(), fixes.end(), earlier);
    return fixes;
}

// Distance along the track, and each fix's run without a gap longer than `gapLimit`.
void measureAlong(std::vector<Fix>& fixes, double gapLimit) {
    size_t runStart = 0;
    const auto closeRun = [&](size_t end) {
        for (size_t i = runStart; i < end; ++i) {
            fixes[i].runFrom = fixes[runStart].time;
            fixes[i].runTo = fixes[end - 1].time;
        }
        runStart = end;
    };
    for (size_t i = 1; i < fixes.size(); ++i) {
        const Fix& before = fixes[i - 1];
        fixes[i].distance = before.distance +
                            greatCircle(before.latitude, before.longitude, fixes[i].latitude, fixes[i].longitude);
        if (!(fixes[i].time - before.time <= gapLimit)) closeRun(i);
    }
    closeRun(fixes.size());
}

// The timed points' seconds after the exercise's start, sorted: as written,
// and as UTC instants with the watch at UTC.
struct TrackTimes {
    std::vector<double> written, utc;

    explicit TrackTimes(const GpsTrack& track, double start) {
        for (const GpsFix& fix : track.fixes)
            if (fix.time) {
                written.push_back(fix.time->wallClock - start);
                utc.push_back(fix.time->utc() - start);
            }
        for (std::vector<double>* times : {&written, &utc})
            if (!std::is_sorted(times->begin(), times->end())) std::sort(times->begin(), times->end());
    }
    const std::vector<double>& under(const TrackReading& reading) const {
        return reading.kind == Kind::Utc ? utc : written;
    }
    double shift(const TrackReading& reading) const { return reading.kind == Kind::Utc ? reading.utcOffset : 0; }

    // How much of the exercise the points within it span, in seconds, where the reading fits.
    std::optional<double> spanWhereFits(const TrackReading& reading, double duration) const {
        const std::vector<double>& times = under(reading);
        const double by = shift(reading);
        if (!(duration > 0) || times.empty()) return std::nullopt;
        const auto first = std::lower_bound(times.begin(), times.end(), -kSlack - by);
        const auto end = std::upper_bound(first, times.end(), duration + kSlack - by);
        const auto inside = static_cast<double>(end - first);
        if (inside == 0 || inside < kInsideShare * static_cast<double>(times.size())) return std::nullopt;
        const double span = std::min(*(end - 1) + by, duration) - std::max(*first + by, 0.0);
        if (span < kSpannedShare * duration) return std::nullopt;
        return span;
    }

    std::string spans(const TrackReading& reading, double start, double duration) const {
        const std::vector<double>& times = under(reading);
        const double by = start + shift(reading);
        return spansText(times.front() + by, times.back() + by, start, start + duration);
    }
};

struct Choice {
    TrackReading reading;
    bool clear;  // no other offset of (c) fits as well
};

// Of the readings that fit, the one whose points span the most of the
// exercise; of those that span the same, the first in order.
std::optional<Choice> bestReading(const TrackTimes& times, int32_t exerciseOffset, double duration) {
    std::vector<TrackReading> readings{{Kind::WrittenAsLocal, 0}, {Kind::Utc, exerciseOffset}};
    for (const int32_t offset : otherOffsets(exerciseOffset)) readings.push_back({Kind::Utc, offset});
    std::vector<std::optional<double>> spans;
    size_t best = readings.size();
    for (size_t i = 0; i < readings.size(); ++i) {
        spans.push_back(times.spanWhereFits(readings[i], duration));
        if (spans[i] && (best == readings.size() || *spans[i] > *spans[best] + kSameSpan)) best = i;
    }
    if (best == readings.size()) return std::nullopt;
    bool clear = true;
    for (size_t i = 2; i < readings.size() && best >= 2; ++i)
        if (i != best && spans[i] && *spans[i] >= *spans[best] - kSameSpan) clear = false;
    return Choice{readings[best], clear};
}

}  // namespace

TrackPlacement placeTrack(const GpsTrack& track, const ExerciseClock& exercise, const PlacementOptions& options) {
    using Outcome = TrackPlacement::Outcome;
    TrackPlacement placement;
    const double duration = std::isfinite(exercise.duration) ? std::max(exercise.duration, 0.0) : 0.0;
    const double start = static_cast<double>(exercise.start);
    if (track.fixes.empty()) {
        placement.message_ = "track not placed: it holds no point with a position";
        return placement;
    }
    TrackReading reading;
    std::string note;
    if (options.forced && options.forced->kind == Kind::ByOrder) {
        reading = *options.forced;
        placement.fixes_ = spreadInOrder(track, duration);
    } else {
        const TrackTimes times(track, start);
        if (times.written.empty()) {
            placement.outcome_ = Outcome::NoTime;
            placement.message_ =
                "track not placed: none of its points has a time (--track-by-order spreads them over the exercise)";
            return placement;
        }
        const std::string untrustworthy = untrustworthyTimes(track);
        if (!untrustworthy.empty() && !options.forced) {
            placement.outcome_ = Outcome::TimesUntrustworthy;
            placement.message_ = "track not placed: " + untrustworthy +
                                 ", so its times cannot place it (--track-by-order spreads its points over the "
                                 "exercise in file order)";
            return placement;
        }
        if (options.forced) {
            reading = *options.forced;
            note = ", as asked";
            if (!untrustworthy.empty()) note += "; " + untrustworthy;
            if (!times.spanWhereFits(reading, duration)) {
                note += "; it does not fit the exercise: " + times.spans(reading, start, duration);
                placement.doubtful_ = true;
            }
            if (reading.kind == Kind::Utc) placement.watchOffset_ = reading.utcOffset;
        } else {
            const std::optional<Choice> choice = bestReading(times, exercise.utcOffset, duration);
            if (!choice) {
                placement.outcome_ = Outcome::NoFit;
                placement.message_ = "track not placed: its times fit the exercise under no reading (" +
                                     times.spans(TrackReading{}, start, duration) + ")";
                return placement;
            }
            reading = choice->reading;
            if (!choice->clear) note = ", one of several offsets that fit as well";
            placement.doubtful_ = !choice->clear;
            if (reading.kind == Kind::Utc && choice->clear) placement.watchOffset_ = reading.utcOffset;
        }
        placement.fixes_ = onExerciseClock(track, reading, start);
    }
    placement.gapLimit_ = reading.kind == Kind::ByOrder ? std::numeric_limits<double>::infinity() : options.gapLimit;
    measureAlong(placement.fixes_, placement.gapLimit_);
    placement.outcome_ = Outcome::Placed;
    placement.reading_ = reading;
    placement.message_ = "track placed by " + placement.readingText() + offsetNote(reading, exercise) + note;
    return placement;
}

std::string TrackPlacement::readingText() const {
    if (!reading_) return {};
    switch (reading_->kind) {
        case Kind::WrittenAsLocal: return "its times as written, the watch's local time";
        case Kind::ByOrder:
            return "the order of its " + std::to_string(fixes_.size()) + " points, spread evenly over the exercise";
        case Kind::Utc: break;
    }
    return "its times as UTC, the watch at " + utcOffsetText(reading_->utcOffset);
}

double TrackPlacement::distanceAt(size_t& cursor, double time) const {
    if (time < fixes_[cursor].time) cursor = 0;
    while (cursor + 1 < fixes_.size() && fixes_[cursor + 1].time <= time) ++cursor;
    const Fix& from = fixes_[cursor];
    if (cursor + 1 == fixes_.size() || time <= from.time) return from.distance;
    const Fix& to = fixes_[cursor + 1];
    return from.distance + (to.distance - from.distance) * (time - from.time) / (to.time - from.time);
}

std::optional<PlacedFix> TrackPlacement::at(double offset) {
    if (fixes_.empty() || !(offset >= fixes_.front().time) || offset > fixes_.back().time) return std::nullopt;
    if (offset < lastOffset_) cursor_ = behind_ = ahead_ = 0;
    lastOffset_ = offset;
    while (cursor_ + 1 < fixes_.size() && fixes_[cursor_ + 1].time <= offset) ++cursor_;
    const Fix& from = fixes_[cursor_];
    PlacedFix placed{from.latitude, from.longitude, from.elevation, from.distance, std::nullopt};
    if (offset > from.time) {
        const Fix& to = fixes_[cursor_ + 1];
        if (!(to.time - from.time <= gapLimit_)) return std::nullopt;
        const double fraction = (offset - from.time) / (to.time - from.time);
        placed.latitude = from.latitude + fraction * (to.latitude - from.latitude);
        placed.longitude = longitudeBetween(from.longitude, to.longitude, fraction);
        placed.elevation = from.elevation && to.elevation
                               ? std::optional(*from.elevation + fraction * (*to.elevation - *from.elevation))
                               : std::nullopt;
        placed.distance = from.distance + fraction * (to.distance - from.distance);
    }
    if (reading_->kind != Kind::ByOrder) {
        const double low = std::max(offset - kSpeedReach, from.runFrom);
        const double high = std::min(offset + kSpeedReach, from.runTo);
        if (high > low) placed.speed = (distanceAt(ahead_, high) - distanceAt(behind_, low)) / (high - low);
    }
    return placed;
}
