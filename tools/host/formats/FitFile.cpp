// A FIT activity file in the order Garmin's devices write it: file_id, the
// timer's start, the records, the beat intervals, the timer's stop, laps,
// session, activity.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>

#include "tools/host/formats/FitEncoder.h"
#include "tools/host/formats/Formats.h"
#include "tools/host/track/LapFigures.h"

namespace {

using fit::kInvalid;
using fit::MessageLayout;
namespace profile = fit::profile;
namespace fileId = profile::fileId;
namespace event = profile::event;
namespace record = profile::record;
namespace lap = profile::lap;
namespace session = profile::session;
namespace sport = profile::sport;
namespace activity = profile::activity;
namespace hrv = profile::hrv;

const MessageLayout kFileIdLayout{0, fileId::kNumber, {fileId::type, fileId::manufacturer, fileId::timeCreated}};

const MessageLayout kEventLayout{1, event::kNumber, {event::timestamp, event::event, event::eventType}};

const MessageLayout kRecordLayout{
    2,
    record::kNumber,
    {record::timestamp, record::positionLat, record::positionLong, record::distance, record::speed, record::altitude,
     record::heartRate, record::cadence, record::power, record::temperature}};

const MessageLayout kLapLayout{
    3,
    lap::kNumber,
    {lap::timestamp, lap::startTime, lap::totalElapsedTime, lap::totalTimerTime, lap::totalDistance, lap::avgSpeed,
     lap::maxSpeed, lap::avgHeartRate, lap::maxHeartRate, lap::avgCadence, lap::maxCadence, lap::avgPower,
     lap::maxPower, lap::totalAscent, lap::totalDescent, lap::event, lap::eventType, lap::lapTrigger,
     lap::messageIndex}};

// With the energy where the exercise's is known.
MessageLayout sessionLayout(bool calories) {
    std::vector<fit::Field> fields = {
        session::timestamp,     session::startTime,    session::totalElapsedTime, session::totalTimerTime,
        session::totalDistance, session::avgSpeed,     session::maxSpeed,         session::avgHeartRate,
        session::maxHeartRate,  session::avgCadence,   session::maxCadence,       session::avgPower,
        session::maxPower,      session::totalAscent,  session::totalDescent,     session::sport,
        session::subSport,      session::firstLapIndex, session::numLaps,         session::event,
        session::eventType,     session::trigger,      session::messageIndex};
    if (calories) fields.push_back(session::totalCalories);
    return MessageLayout{4, session::kNumber, fields};
}
const MessageLayout kSessionLayout = sessionLayout(false);
const MessageLayout kSessionWithCaloriesLayout = sessionLayout(true);

// The exercise's name, in a string field that holds it (and its NUL) up to
// the 255 bytes a field can have.
MessageLayout sportLayout(const std::string& name) {
    const auto bytes = static_cast<uint8_t>(std::min<size_t>(name.size() + 1, 255));
    return MessageLayout{7, sport::kNumber, {sport::sport, sport::subSport, sport::name.array(bytes)}};
}

const MessageLayout kActivityLayout{5,
                                    activity::kNumber,
                                    {activity::timestamp, activity::totalTimerTime, activity::numSessions,
                                     activity::type, activity::event, activity::eventType, activity::localTimestamp}};

// The intervals between beats five to a message, as Garmin's devices write
// them; the last one filled up with invalid values.
constexpr uint8_t kIntervalsPerHrv = 5;
const MessageLayout kHrvLayout{6, hrv::kNumber, {hrv::time.array(kIntervalsPerHrv)}};

size_t hrvMessages(const Track& track) {
    return track.beats() ? (track.beats()->size() + kIntervalsPerHrv - 1) / kIntervalsPerHrv : 0;
}

void writeHrv(fit::Writer& writer, const Track& track) {
    if (hrvMessages(track) == 0) return;
    writer.define(kHrvLayout);
    const std::vector<Beat>& beats = *track.beats();
    for (size_t first = 0; first < beats.size(); first += kIntervalsPerHrv) {
        double seconds[kIntervalsPerHrv];
        const size_t count = std::min<size_t>(kIntervalsPerHrv, beats.size() - first);
        for (size_t k = 0; k < count; ++k) seconds[k] = beats[first + k].interval / 1000.0;
        writer.write(kHrvLayout, {{hrv::time, std::span<const double>(seconds, count)}});
    }
}

uint32_t dataSize(const Track& track, const MessageLayout& session, const std::optional<MessageLayout>& named) {
    uint64_t size = 0;
    for (const MessageLayout* layout : {&kFileIdLayout, &kEventLayout, &kRecordLayout, &kLapLayout, &session, &kActivityLayout})
        size += layout->definitionSize();
    size += kFileIdLayout.dataSize() + 2 * kEventLayout.dataSize() + session.dataSize() + kActivityLayout.dataSize();
    if (named) size += named->definitionSize() + named->dataSize();
    size += static_cast<uint64_t>(track.size()) * kRecordLayout.dataSize();
    size += track.laps().size() * kLapLayout.dataSize();
    if (const size_t beatMessages = hrvMessages(track))
        size += kHrvLayout.definitionSize() + beatMessages * kHrvLayout.dataSize();
    if (size > UINT32_MAX) throw std::length_error("the messages would pass the 4 GiB a FIT file can hold");
    return static_cast<uint32_t>(size);
}

}  // namespace

void writeFit(const Track& track, std::ostream& out) {
    using profile::EventType;
    const MessageLayout& sessionMessage = track.energy() ? kSessionWithCaloriesLayout : kSessionLayout;
    std::optional<MessageLayout> named;
    if (!track.name().empty()) named.emplace(sportLayout(track.name()));
    fit::Writer writer(out, dataSize(track, sessionMessage, named));
    const auto fitSport = static_cast<uint8_t>(track.sport());
    const int64_t start = fit::fitTime(track.startTime());
    const int64_t end = fit::fitTime(track.startTime() + std::llround(track.duration()));
    const double elapsed = track.duration();

    writer.define(kFileIdLayout);
    writer.write(kFileIdLayout, {{fileId::type, profile::File::Activity},
                                 {fileId::manufacturer, profile::Manufacturer::Development},
                                 {fileId::timeCreated, start}});
    if (named) {
        writer.define(*named);
        writer.write(*named, {{sport::sport, fitSport},
                              {sport::subSport, profile::SubSport::Generic},
                              {sport::name, std::string_view(track.name())}});
    }
    writer.define(kEventLayout);
    writer.write(
        kEventLayout,
        {{event::timestamp, start}, {event::event, profile::Event::Timer}, {event::eventType, EventType::Start}});

    writer.define(kRecordLayout);
    LapFigures figures(track);
    for (int32_t j = 0; j < track.size(); ++j) {
        const TrackPoint p = track.point(j);
        figures.add(j, p);
        writer.write(kRecordLayout, {{record::timestamp, fit::fitTime(p.time)},
                                     {record::positionLat, p.hasPosition ? fit::semicircles(p.latitude) : kInvalid},
                                     {record::positionLong, p.hasPosition ? fit::semicircles(p.longitude) : kInvalid},
                                     {record::distance, p.distance},
                                     {record::speed, p.speed},
                                     {record::altitude, p.altitude},
                                     {record::heartRate, p.heartRate},
                                     {record::cadence, p.cadence},
                                     {record::power, p.power},
                                     {record::temperature, p.temperature}});
    }
    writeHrv(writer, track);
    writer.write(
        kEventLayout,
        {{event::timestamp, end}, {event::event, profile::Event::Timer}, {event::eventType, EventType::StopAll}});

    writer.define(kLapLayout);
    const std::vector<TrackLap>& laps = track.laps();
    for (size_t k = 0; k < laps.size(); ++k) {
        const TrackLap& trackLap = laps[k];
        const Figures f = figures.lap(k);
        // A lap ends where the next one starts.
        writer.write(kLapLayout, {{lap::timestamp, k + 1 < laps.size() ? fit::fitTime(laps[k + 1].start) : end},
                                  {lap::startTime, fit::fitTime(trackLap.start)},
                                  {lap::totalElapsedTime, f.time},
                                  {lap::totalTimerTime, f.time},
                                  {lap::totalDistance, f.distance},
                                  {lap::avgSpeed, f.averageSpeed},
                                  {lap::maxSpeed, f.maximumSpeed},
                                  {lap::avgHeartRate, f.averageHeartRate},
                                  {lap::maxHeartRate, f.maximumHeartRate},
                                  {lap::avgCadence, f.averageCadence},
                                  {lap::maxCadence, f.maximumCadence},
                                  {lap::avgPower, f.averagePower},
                                  {lap::maxPower, f.maximumPower},
                                  {lap::totalAscent, f.ascent},
                                  {lap::totalDescent, f.descent},
                                  {lap::event, profile::Event::Lap},
                                  {lap::eventType, EventType::Stop},
                                  {lap::lapTrigger, k + 1 == laps.size() ? profile::LapTrigger::SessionEnd
                                                                         : profile::LapTrigger::Manual},
                                  {lap::messageIndex, k}});
    }

    writer.define(sessionMessage);
    const Figures total = figures.session();
    std::vector<fit::Value> sessionValues = {{session::timestamp, end},
                                              {session::startTime, start},
                                              {session::totalElapsedTime, elapsed},
                                              {session::totalTimerTime, elapsed},
                                              {session::totalDistance, total.distance},
                                              {session::avgSpeed, total.averageSpeed},
                                              {session::maxSpeed, total.maximumSpeed},
                                              {session::avgHeartRate, total.averageHeartRate},
                                              {session::maxHeartRate, total.maximumHeartRate},
                                              {session::avgCadence, total.averageCadence},
                                              {session::maxCadence, total.maximumCadence},
                                              {session::avgPower, total.averagePower},
                                              {session::maxPower, total.maximumPower},
                                              {session::totalAscent, total.ascent},
                                              {session::totalDescent, total.descent},
                                              {session::sport, fitSport},
                                              {session::subSport, profile::SubSport::Generic},
                                              {session::firstLapIndex, 0},
                                              {session::numLaps, laps.size()},
                                              {session::event, profile::Event::Session},
                                              {session::eventType, EventType::Stop},
                                              {session::trigger, profile::SessionTrigger::ActivityEnd},
                                              {session::messageIndex, 0}};
    if (track.energy()) sessionValues.emplace_back(session::totalCalories, *track.energy());
    writer.write(sessionMessage, sessionValues);

    writer.define(kActivityLayout);
    writer.write(kActivityLayout,
                 {{activity::timestamp, end},
                  {activity::totalTimerTime, elapsed},
                  {activity::numSessions, 1},
                  {activity::type, profile::Activity::Manual},
                  {activity::event, profile::Event::Activity},
                  {activity::eventType, EventType::Stop},
                  {activity::localTimestamp, end == kInvalid ? kInvalid : end + track.origin().utcOffset}});
    writer.finish();
}
