// The converter's reading of a GPX file and the placement of its track on
// an exercise, queried every second the way the conversion queries its
// samples.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "FuzzDrivers.h"
#include "tools/host/convert/TrackPlacement.h"
#include "tools/host/recording/GpsTrack.h"

namespace fuzzing {

namespace {

// The input's first bytes choose the exercise and the options, the rest is
// the file: options (bits 0-1: none, local, UTC at an offset, by order; bit
// 2: offset given; bits 3-7: gap limit in 4 s, 0 for the default), the
// exercise's and the forced offset in quarter hours, the duration in
// seconds (2 bytes), the start in seconds after the first timed point (3
// bytes, signed). All little-endian.
constexpr size_t kParameterBytes = 8;
// A broken rule shows at every second after it: the first few tell.
constexpr size_t kMostProblems = 10;
constexpr int kQuarterHour = 900, kOffsetQuarters = 56;
// 2015-03-18 19:47:14, the start of the real exercise the seeds' track belongs to.
constexpr int64_t kDefaultStart = 1'426'708'034;

int32_t quarterHours(uint8_t byte) {
    const int value = static_cast<int8_t>(byte);
    return value < -kOffsetQuarters ? -kOffsetQuarters * kQuarterHour
           : value > kOffsetQuarters ? kOffsetQuarters * kQuarterHour
                                     : value * kQuarterHour;
}

bool inRange(double value, double low, double high) { return std::isfinite(value) && value >= low && value <= high; }

}  // namespace

Problems driveTrack(const Workspace&, std::string_view input) {
    Problems problems;
    if (input.size() < kParameterBytes) return problems;
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(input[i]); };
    const GpsTrack track = readGpsTrackText(input.substr(kParameterBytes));
    if (!track.error.empty() && !track.fixes.empty())
        problems.push_back("track: fixes beside the error " + track.error);
    std::optional<double> firstTime;
    for (const GpsFix& fix : track.fixes) {
        if (!inRange(fix.latitude, -90, 90) || !inRange(fix.longitude, -180, 180) ||
            (fix.elevation && !std::isfinite(*fix.elevation)) || (fix.time && !std::isfinite(fix.time->wallClock)))
            problems.push_back("track: a fix read out of range");
        if (fix.time && !firstTime) firstTime = fix.time->wallClock;
    }

    int32_t startShift = byte(5) | byte(6) << 8 | byte(7) << 16;
    if (startShift & 0x800000) startShift -= 0x1000000;
    const int64_t start = (firstTime ? static_cast<int64_t>(std::floor(*firstTime)) : kDefaultStart) + startShift;
    const ExerciseClock exercise{start, static_cast<double>(byte(3) | byte(4) << 8), quarterHours(byte(1)),
                                 (byte(0) & 4) != 0};
    PlacementOptions options;
    switch (byte(0) & 3) {
    case 1: options.forced = TrackReading{TrackReading::Kind::WrittenAsLocal, 0}; break;
    case 2: options.forced = TrackReading{TrackReading::Kind::Utc, quarterHours(byte(2))}; break;
    case 3: options.forced = TrackReading{TrackReading::Kind::ByOrder, 0}; break;
    default: break;
    }
    if (byte(0) >> 3) options.gapLimit = (byte(0) >> 3) * 4.0;

    TrackPlacement placement = placeTrack(track, exercise, options);
    const bool placed = placement.outcome() == TrackPlacement::Outcome::Placed;
    if (placed != placement.reading().has_value()) problems.push_back("track: a reading without a placement");
    if (placement.message().empty()) problems.push_back("track: no message");

    const auto last = static_cast<int32_t>(exercise.duration) + 1;
    const double middle = exercise.duration / 2;
    std::optional<PlacedFix> atMiddle;
    double distance = 0;
    for (int32_t second = -1; second <= last; ++second) {
        const std::optional<PlacedFix> fix = placement.at(second);
        if (second == static_cast<int32_t>(middle)) atMiddle = fix;
        if (!fix || problems.size() >= kMostProblems) continue;
        const std::string where = " at " + std::to_string(second) + " s";
        if (!placed) problems.push_back("track: a position without a placement" + where);
        if (!inRange(fix->latitude, -90, 90) || !inRange(fix->longitude, -180, 180))
            problems.push_back("track: position out of range" + where);
        if (!std::isfinite(fix->distance) || fix->distance < distance - 1e-9 * std::max(1.0, distance))
            problems.push_back("track: distance falls or is no number" + where);
        if (fix->speed && !inRange(*fix->speed, 0, HUGE_VAL)) problems.push_back("track: speed out of range" + where);
        if (fix->elevation && !std::isfinite(*fix->elevation)) problems.push_back("track: elevation no number" + where);
        distance = fix->distance;
    }
    // Asked again, after the pass, a sample gets what it got in it.
    const std::optional<PlacedFix> again = placement.at(static_cast<int32_t>(middle));
    if (again.has_value() != atMiddle.has_value() ||
        (again && (again->latitude != atMiddle->latitude || again->distance != atMiddle->distance ||
                   again->speed != atMiddle->speed)))
        problems.push_back("track: a sample asked again moved");
    return problems;
}

}  // namespace fuzzing
