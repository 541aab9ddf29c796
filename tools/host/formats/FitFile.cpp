// A FIT activity file in the order Garmin's devices write it: file_id, the
// timer's start, the records, the beat intervals, the timer's stop, laps,
// session, activity.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "tools/host/formats/Formats.h"
#include "tools/host/formats/FitEncoder.h"

namespace {

using fit::BaseType;
using fit::kInvalid;
using fit::MessageLayout;
using fit::scaled;

// Global message numbers, field numbers and enum values of the FIT profile.
constexpr uint16_t kFileId = 0, kSession = 18, kLap = 19, kRecord = 20, kEvent = 21, kActivity = 34, kHrv = 78;
constexpr int64_t kFileActivity = 4, kManufacturerDevelopment = 255;
constexpr int64_t kEventTimer = 0, kEventSession = 8, kEventLap = 9, kEventActivity = 26;
constexpr int64_t kEventTypeStart = 0, kEventTypeStop = 1, kEventTypeStopAll = 4;
constexpr int64_t kSportGeneric = 0, kSportRunning = 1, kSportCycling = 2, kSubSportGeneric = 0;
constexpr int64_t kLapTriggerManual = 0, kLapTriggerSessionEnd = 7;
constexpr int64_t kSessionTriggerActivityEnd = 0, kActivityManual = 0;
constexpr uint8_t kTimestamp = 253, kMessageIndex = 254;

const MessageLayout kFileIdLayout{0, kFileId, {{0, BaseType::Enum}, {1, BaseType::Uint16}, {4, BaseType::Uint32}}};

const MessageLayout kEventLayout{1, kEvent, {{kTimestamp, BaseType::Uint32}, {0, BaseType::Enum}, {1, BaseType::Enum}}};

// timestamp, position_lat, position_long, distance (m × 100), speed
// (m/s × 1000), altitude ((m + 500) × 5), heart_rate, cadence, power,
// temperature (°C)
const MessageLayout kRecordLayout{2,
                                  kRecord,
                                  {{kTimestamp, BaseType::Uint32},
                                   {0, BaseType::Sint32},
                                   {1, BaseType::Sint32},
                                   {5, BaseType::Uint32},
                                   {6, BaseType::Uint16},
                                   {2, BaseType::Uint16},
                                   {3, BaseType::Uint8},
                                   {4, BaseType::Uint8},
                                   {7, BaseType::Uint16},
                                   {13, BaseType::Sint8}}};

// timestamp, start_time, total_elapsed_time and total_timer_time (s × 1000),
// total_distance, avg_speed, avg_heart_rate, max_heart_rate, avg_cadence,
// avg_power, total_ascent (m), event, event_type, lap_trigger, message_index
const MessageLayout kLapLayout{3,
                               kLap,
                               {{kTimestamp, BaseType::Uint32},
                                {2, BaseType::Uint32},
                                {7, BaseType::Uint32},
                                {8, BaseType::Uint32},
                                {9, BaseType::Uint32},
                                {13, BaseType::Uint16},
                                {15, BaseType::Uint8},
                                {16, BaseType::Uint8},
                                {17, BaseType::Uint8},
                                {19, BaseType::Uint16},
                                {21, BaseType::Uint16},
                                {0, BaseType::Enum},
                                {1, BaseType::Enum},
                                {24, BaseType::Enum},
                                {kMessageIndex, BaseType::Uint16}}};

// timestamp, start_time, total_elapsed_time, total_timer_time,
// total_distance, avg_speed, max_speed, avg_heart_rate, max_heart_rate,
// sport, sub_sport, first_lap_index, num_laps, event, event_type, trigger,
// message_index
const MessageLayout kSessionLayout{4,
                                   kSession,
                                   {{kTimestamp, BaseType::Uint32},
                                    {2, BaseType::Uint32},
                                    {7, BaseType::Uint32},
                                    {8, BaseType::Uint32},
                                    {9, BaseType::Uint32},
                                    {14, BaseType::Uint16},
                                    {15, BaseType::Uint16},
                                    {16, BaseType::Uint8},
                                    {17, BaseType::Uint8},
                                    {5, BaseType::Enum},
                                    {6, BaseType::Enum},
                                    {25, BaseType::Uint16},
                                    {26, BaseType::Uint16},
                                    {0, BaseType::Enum},
                                    {1, BaseType::Enum},
                                    {28, BaseType::Enum},
                                    {kMessageIndex, BaseType::Uint16}}};

// timestamp, total_timer_time, num_sessions, type, event, event_type,
// local_timestamp (the wall clock: timestamp plus the offset from UTC)
const MessageLayout kActivityLayout{5,
                                    kActivity,
                                    {{kTimestamp, BaseType::Uint32},
                                     {0, BaseType::Uint32},
                                     {1, BaseType::Uint16},
                                     {2, BaseType::Enum},
                                     {3, BaseType::Enum},
                                     {4, BaseType::Enum},
                                     {5, BaseType::Uint32}}};

// hrv: time, the intervals between beats (s × 1000), five to a message as
// Garmin's devices write them, the last one filled up with invalid values.
constexpr uint8_t kIntervalsPerHrv = 5;
const MessageLayout kHrvLayout{6, kHrv, {{0, BaseType::Uint16, kIntervalsPerHrv}}};

size_t hrvMessages(const Track& track) {
    return track.beats() ? (track.beats()->size() + kIntervalsPerHrv - 1) / kIntervalsPerHrv : 0;
}

void writeHrv(fit::Writer& writer, const Track& track) {
    if (hrvMessages(track) == 0) return;
    writer.define(kHrvLayout);
    const std::vector<Beat>& beats = *track.beats();
    for (size_t first = 0; first < beats.size(); first += kIntervalsPerHrv) {
        int64_t time[kIntervalsPerHrv];
        for (size_t k = 0; k < kIntervalsPerHrv; ++k)
            time[k] = first + k < beats.size() ? beats[first + k].interval : kInvalid;
        writer.write(kHrvLayout, {time[0], time[1], time[2], time[3], time[4]});
    }
}

int64_t fitSport(Sport sport) {
    switch (sport) {
        case Sport::Running: return kSportRunning;
        case Sport::Cycling: return kSportCycling;
        case Sport::Other: break;
    }
    return kSportGeneric;
}

int64_t optional(const std::optional<int>& value) { return value ? *value : kInvalid; }
int64_t optional(const std::optional<double>& value, double scale, double offset = 0) {
    return value ? scaled(*value, scale, offset) : kInvalid;
}

// Heart rate and speed over the records, for the session.
struct Totals {
    int64_t heartRateSum = 0, heartRates = 0;
    int maxHeartRate = 0;
    double maxSpeed = 0;
    bool anySpeed = false;

    void add(const TrackPoint& p) {
        if (p.heartRate) {
            heartRateSum += *p.heartRate;
            ++heartRates;
            maxHeartRate = std::max(maxHeartRate, *p.heartRate);
        }
        if (p.speed) {
            anySpeed = true;
            maxSpeed = std::max(maxSpeed, *p.speed);
        }
    }
};

uint32_t dataSize(const Track& track) {
    uint64_t size = 0;
    for (const MessageLayout* layout :
         {&kFileIdLayout, &kEventLayout, &kRecordLayout, &kLapLayout, &kSessionLayout, &kActivityLayout})
        size += layout->definitionSize();
    size +=
        kFileIdLayout.dataSize() + 2 * kEventLayout.dataSize() + kSessionLayout.dataSize() + kActivityLayout.dataSize();
    size += static_cast<uint64_t>(track.size()) * kRecordLayout.dataSize();
    size += track.laps().size() * kLapLayout.dataSize();
    if (const size_t hrv = hrvMessages(track)) size += kHrvLayout.definitionSize() + hrv * kHrvLayout.dataSize();
    if (size > UINT32_MAX) throw std::length_error("the messages would pass the 4 GiB a FIT file can hold");
    return static_cast<uint32_t>(size);
}

}  // namespace

void writeFit(const Track& track, std::ostream& out) {
    fit::Writer writer(out, dataSize(track));
    const int64_t start = track.startTime();
    const int64_t end = start + std::llround(track.duration());
    const int64_t elapsed = scaled(track.duration(), 1000);

    writer.define(kFileIdLayout);
    writer.write(kFileIdLayout, {kFileActivity, kManufacturerDevelopment, fit::fitTime(start)});
    writer.define(kEventLayout);
    writer.write(kEventLayout, {fit::fitTime(start), kEventTimer, kEventTypeStart});

    writer.define(kRecordLayout);
    Totals totals;
    for (int32_t j = 0; j < track.size(); ++j) {
        const TrackPoint p = track.point(j);
        totals.add(p);
        writer.write(kRecordLayout,
                     {fit::fitTime(p.time), p.hasPosition ? fit::semicircles(p.latitude) : kInvalid,
                      p.hasPosition ? fit::semicircles(p.longitude) : kInvalid, optional(p.distance, 100),
                      optional(p.speed, 1000), optional(p.altitude, 5, 2500), optional(p.heartRate),
                      optional(p.cadence), optional(p.power, 1), optional(p.temperature, 1)});
    }
    writeHrv(writer, track);
    writer.write(kEventLayout, {fit::fitTime(end), kEventTimer, kEventTypeStopAll});

    writer.define(kLapLayout);
    const std::vector<TrackLap>& laps = track.laps();
    for (size_t k = 0; k < laps.size(); ++k) {
        const TrackLap& lap = laps[k];
        const int64_t lapTime = scaled(lap.duration, 1000);
        writer.write(kLapLayout,
                     {fit::fitTime(lap.start + std::llround(lap.duration)), fit::fitTime(lap.start), lapTime, lapTime,
                      optional(lap.distance, 100), optional(lap.speed, 1000), optional(lap.averageHeartRate),
                      optional(lap.maximumHeartRate), optional(lap.cadence), optional(lap.power, 1),
                      optional(lap.ascent, 1), kEventLap, kEventTypeStop,
                      k + 1 == laps.size() ? kLapTriggerSessionEnd : kLapTriggerManual, static_cast<int64_t>(k)});
    }

    writer.define(kSessionLayout);
    const std::optional<double> distance = track.totalDistance();
    const double seconds = track.duration();
    writer.write(kSessionLayout,
                 {fit::fitTime(end), fit::fitTime(start), elapsed, elapsed, optional(distance, 100),
                  distance && seconds > 0 ? scaled(*distance / seconds, 1000) : kInvalid,
                  totals.anySpeed ? scaled(totals.maxSpeed, 1000) : kInvalid,
                  totals.heartRates ? (totals.heartRateSum + totals.heartRates / 2) / totals.heartRates : kInvalid,
                  totals.heartRates ? totals.maxHeartRate : kInvalid, fitSport(track.sport()), kSubSportGeneric, 0,
                  static_cast<int64_t>(laps.size()), kEventSession, kEventTypeStop, kSessionTriggerActivityEnd, 0});

    writer.define(kActivityLayout);
    const int64_t localEnd = fit::fitTime(end) == kInvalid ? kInvalid : fit::fitTime(end) + track.origin().utcOffset;
    writer.write(kActivityLayout,
                 {fit::fitTime(end), elapsed, 1, kActivityManual, kEventActivity, kEventTypeStop, localEnd});
    writer.finish();
}
