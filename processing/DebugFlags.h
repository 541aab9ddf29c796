#pragma once

#include <cstdint>

// Bits of the plug-in state's DebugFlags (what the last analysis added) and
// DebugFailFlags (what it failed to read). They are set only while the
// Debug setting is on.
namespace debug_flags {

// DebugFlags
inline constexpr uint16_t kHR = 1u << 0;
inline constexpr uint16_t kCadence = 1u << 1;
inline constexpr uint16_t kAltitude = 1u << 2;
inline constexpr uint16_t kPower = 1u << 3;
inline constexpr uint16_t kBalance = 1u << 4;
inline constexpr uint16_t kSpeed = 1u << 5;
inline constexpr uint16_t kLapsAdded = 1u << 6;
inline constexpr uint16_t kTempModulated = 1u << 7;
inline constexpr uint16_t kGpxParsed = 1u << 8;

// DebugFailFlags: a power column held no whole number.
inline constexpr uint16_t kPowerUnreadable = 1u << 3;

// The debug log line of each flag, in the order the log shows them.
struct Line {
    bool failure;  // a DebugFailFlags bit rather than a DebugFlags one
    uint16_t bit;
    const char* text;
};
inline constexpr Line kLines[] = {
    {false, kHR, "HR values added"},
    {false, kSpeed, "SPD values added"},
    {false, kCadence, "CAD values added"},
    {false, kAltitude, "ALT values added"},
    {false, kPower, "POW values added"},
    {true, kPowerUnreadable, "POW -> exception!"},
    {false, kBalance, "BAL values added"},
    {false, kLapsAdded, "LAPS added"},
    {false, kTempModulated, "TEMP modulated"},
    {false, kGpxParsed, "GPX file parsed"},
};

}  // namespace debug_flags
