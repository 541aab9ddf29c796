#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A GPS track as the converter reads it from a GPX file (1.0 or 1.1), apart
// from the plug-in's own merge: every track point of every track and
// segment in file order, or the route points when the file holds no track
// point at all.

// A point's time as its text states it. Phones write true UTC with "Z";
// Polar's software writes the watch's local time, also with "Z", so the
// digits and the zone are kept apart and the placement decides.
struct GpsTime {
    double wallClock = 0;         // seconds since 1970-01-01 of the digits as written, fraction kept
    std::optional<int32_t> zone;  // seconds east of UTC the text states ("Z": 0); nullopt when none
    // The instant, with a time that states no zone taken as UTC.
    double utc() const { return wallClock - zone.value_or(0); }
};

struct GpsFix {
    double latitude = 0, longitude = 0;  // degrees
    std::optional<double> elevation;     // metres
    std::optional<GpsTime> time;
};

struct GpsTrack {
    std::vector<GpsFix> fixes;
    // Points left out for a latitude or longitude that is missing, no
    // number or out of range.
    int32_t skippedPoints = 0;
    // Fixes kept without a time because their time text could not be read.
    int32_t unreadableTimes = 0;
    bool fromRoute = false;  // the fixes are route points
    std::string error;       // why the file could not be read; empty when it was
};

// Reads a GPX file. Never throws: a file that cannot be opened, is not
// well-formed XML or is no GPX document gives no fixes and the reason in
// `error`.
GpsTrack readGpsTrack(const std::string& path);
// The same from the file's bytes.
GpsTrack readGpsTrackText(std::string_view text);

// An XML date-time "yyyy-mm-ddThh:mm:ss[.fff][Z|+hh:mm|-hhmm|+hh]"
// (surrounding blanks allowed); nullopt for any other text or a date or
// time out of range.
std::optional<GpsTime> parseGpsTime(std::string_view text);
