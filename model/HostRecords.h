#pragma once

#include <cstddef>
#include <cstdint>

// The three records the host declares and passes by address. Packed,
// little-endian, doubles in IEEE 754 format, date-times as days since
// 1899-12-30. Reserved bytes stay 0 (summary, lap) or untouched (sample).
#pragma pack(push, 1)

struct ExerciseSummary {
    double StartDateTime;      // 0
    double EndDateTime;        // 8
    uint8_t reserved16[2];     // 16
    uint8_t MaxHR;             // 18: only with the HRMaxDev setting
    uint8_t reserved19;        // 19
    double TotalDistance;      // 20: km, cumulative distance of the last sample
    int32_t TripMaxSpeed;      // 28
    int32_t TripAvgSpeed;      // 32
    double TripMaxAltitude;    // 36
    uint8_t reserved44[8];     // 44
    int32_t TripAscent;        // 52
    uint8_t reserved56[4];     // 56
    uint16_t LapCount;         // 60
    int32_t DurationSec;       // 62
    uint8_t reserved66;        // 66
    uint8_t MonitorType;       // 67
    uint8_t reserved68[2];     // 68
    uint8_t IntervalSec;       // 70
    uint8_t reserved71[48];    // 71
    uint8_t VO2max;            // 119
};

struct SampleRecord {
    uint8_t HR;                // 0
    double Distance;           // 1: km
    double Speed;              // 9: km/h
    double Altitude;           // 17
    uint8_t untouched25[8];    // 25: left as the host passed it
    double Temperature;        // 33: degrees
    double Power;              // 41: watts
    double Balance;            // 49
    uint8_t Cadence;           // 57
    double Latitude;           // 58: degrees
    double Longitude;          // 66: degrees
    char SampleText[256];      // 74
    int32_t TimeOffset;        // 330: seconds since the start
    uint8_t SampleFlag;        // 334
};

struct LapRecord {
    int32_t LapEndOfDay;       // 0: seconds after midnight of the start day, not wrapped
    double LapDuration;        // 4: seconds
    double LapSplit;           // 12: seconds since the start
    uint8_t reserved20[16];    // 20
    uint8_t LapMaxHR;          // 36
    uint8_t LapAvgHR;          // 37
    uint8_t reserved38[8];     // 38
    double LapSpeed;           // 46: km/h
    uint8_t reserved54;        // 54
    uint8_t LapCadence;        // 55
    double LapTemperature;     // 56: tenths of a degree
    double LapPower;           // 64
    double LapAscent;          // 72
    uint8_t reserved80[10];    // 80
    uint8_t LapMarker;         // 90: always 2
    uint8_t reserved91[31];    // 91
};

#pragma pack(pop)

static_assert(sizeof(ExerciseSummary) == 120);
static_assert(offsetof(ExerciseSummary, StartDateTime) == 0);
static_assert(offsetof(ExerciseSummary, EndDateTime) == 8);
static_assert(offsetof(ExerciseSummary, reserved16) == 16);
static_assert(offsetof(ExerciseSummary, MaxHR) == 18);
static_assert(offsetof(ExerciseSummary, reserved19) == 19);
static_assert(offsetof(ExerciseSummary, TotalDistance) == 20);
static_assert(offsetof(ExerciseSummary, TripMaxSpeed) == 28);
static_assert(offsetof(ExerciseSummary, TripAvgSpeed) == 32);
static_assert(offsetof(ExerciseSummary, TripMaxAltitude) == 36);
static_assert(offsetof(ExerciseSummary, reserved44) == 44);
static_assert(offsetof(ExerciseSummary, TripAscent) == 52);
static_assert(offsetof(ExerciseSummary, reserved56) == 56);
static_assert(offsetof(ExerciseSummary, LapCount) == 60);
static_assert(offsetof(ExerciseSummary, DurationSec) == 62);
static_assert(offsetof(ExerciseSummary, reserved66) == 66);
static_assert(offsetof(ExerciseSummary, MonitorType) == 67);
static_assert(offsetof(ExerciseSummary, reserved68) == 68);
static_assert(offsetof(ExerciseSummary, IntervalSec) == 70);
static_assert(offsetof(ExerciseSummary, reserved71) == 71);
static_assert(offsetof(ExerciseSummary, VO2max) == 119);

static_assert(sizeof(SampleRecord) == 335);
static_assert(offsetof(SampleRecord, HR) == 0);
static_assert(offsetof(SampleRecord, Distance) == 1);
static_assert(offsetof(SampleRecord, Speed) == 9);
static_assert(offsetof(SampleRecord, Altitude) == 17);
static_assert(offsetof(SampleRecord, untouched25) == 25);
static_assert(offsetof(SampleRecord, Temperature) == 33);
static_assert(offsetof(SampleRecord, Power) == 41);
static_assert(offsetof(SampleRecord, Balance) == 49);
static_assert(offsetof(SampleRecord, Cadence) == 57);
static_assert(offsetof(SampleRecord, Latitude) == 58);
static_assert(offsetof(SampleRecord, Longitude) == 66);
static_assert(offsetof(SampleRecord, SampleText) == 74);
static_assert(offsetof(SampleRecord, TimeOffset) == 330);
static_assert(offsetof(SampleRecord, SampleFlag) == 334);

static_assert(sizeof(LapRecord) == 122);
static_assert(offsetof(LapRecord, LapEndOfDay) == 0);
static_assert(offsetof(LapRecord, LapDuration) == 4);
static_assert(offsetof(LapRecord, LapSplit) == 12);
static_assert(offsetof(LapRecord, reserved20) == 20);
static_assert(offsetof(LapRecord, LapMaxHR) == 36);
static_assert(offsetof(LapRecord, LapAvgHR) == 37);
static_assert(offsetof(LapRecord, reserved38) == 38);
static_assert(offsetof(LapRecord, LapSpeed) == 46);
static_assert(offsetof(LapRecord, reserved54) == 54);
static_assert(offsetof(LapRecord, LapCadence) == 55);
static_assert(offsetof(LapRecord, LapTemperature) == 56);
static_assert(offsetof(LapRecord, LapPower) == 64);
static_assert(offsetof(LapRecord, LapAscent) == 72);
static_assert(offsetof(LapRecord, reserved80) == 80);
static_assert(offsetof(LapRecord, LapMarker) == 90);
static_assert(offsetof(LapRecord, reserved91) == 91);
