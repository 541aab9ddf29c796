// A FIT activity file in the order Garmin's devices write it: file_id,
// file_creator, device_info, the timer's start, the records, the beat intervals, the timer's stop, laps,
// session, activity.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

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
namespace fileCreator = profile::fileCreator;
namespace deviceInfo = profile::deviceInfo;

// `fields`, and `textField` sized to hold `text` and its NUL (up to the 255
// bytes a field can have) where there is a text.
MessageLayout withText(uint8_t localType, uint16_t message, std::vector<fit::Field> fields,
                       const fit::Field& textField, const std::string& text) {
    if (!text.empty()) fields.push_back(textField.array(static_cast<uint8_t>(std::min<size_t>(text.size() + 1, 255))));
    return MessageLayout{localType, message, std::move(fields)};
}

// The monitor's maker and model, and the raw file's own number as its serial
// number, so that a service tells two exercises apart; the model where its
// "Monitor=" code is known.
MessageLayout fileIdLayout(const std::string& model) {
    return withText(0, fileId::kNumber,
                    {fileId::type, fileId::manufacturer, fileId::product, fileId::serialNumber, fileId::timeCreated},
                    fileId::productName, model);
}
MessageLayout deviceLayout(const std::string& model) {
    return withText(9, deviceInfo::kNumber,
                    {deviceInfo::timestamp, deviceInfo::deviceIndex, deviceInfo::manufacturer,
                     deviceInfo::serialNumber, deviceInfo::product},
                    deviceInfo::productName, model);
}
const MessageLayout kFileCreatorLayout{8, fileCreator::kNumber, {fileCreator::softwareVersion}};

// "Polar S625X/S725X"; empty where the model is not known.
std::string modelName(const TrackOrigin& origin) {
    return origin.monitorModel.empty() ? std::string() : "Polar " + origin.monitorModel;
}

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

// The exercise's name, where it has one.
MessageLayout sportLayout(const std::string& name) {
    return withText(7, sport::kNumber, {sport::sport, sport::subSport}, sport::name, name);
}

const MessageLayout kActivityLayout{5,
                                    activity::kNumber,
                                    {activity::timestamp, activity::totalTimerTime, activity::numSessions,
                                     activity::type, activity::event, activity::eventType, activity::localTimestamp}};

// The intervals between beats five to a message, as Garmin's devices write
// them; the last one filled up with invalid values. Every interval of the
// recording goes in as recorded, the time without a beat too, so that a
// reader adding them up finds each beat where it was; one longer than the
// field holds (65.534 s) goes in as several of at most that, adding up to it.
constexpr uint8_t kIntervalsPerHrv = 5;
constexpr int32_t kLongestInterval = 65534;  // ms; 0xFFFF is invalid
const MessageLayout kHrvLayout{6, hrv::kNumber, {hrv::time.array(kIntervalsPerHrv)}};

// The values the hrv messages hold, in ms.
std::vector<int32_t> hrvValues(const Track& track) {
    std::vector<int32_t> values;
    if (!track.intervals()) return values;
    for (int32_t interval : *track.intervals()) {
        for (; interval > kLongestInterval; interval -= kLongestInterval) values.push_back(kLongestInterval);
        values.push_back(interval);
    }
    return values;
}

size_t hrvMessages(const std::vector<int32_t>& values) {
    return (values.size() + kIntervalsPerHrv - 1) / kIntervalsPerHrv;
}

void writeHrv(fit::Writer& writer, const std::vector<int32_t>& values) {
    if (values.empty()) return;
    writer.define(kHrvLayout);
    for (size_t first = 0; first < values.size(); first += kIntervalsPerHrv) {
        double seconds[kIntervalsPerHrv];
        const size_t count = std::min<size_t>(kIntervalsPerHrv, values.size() - first);
        for (size_t k = 0; k < count; ++k) seconds[k] = values[first + k] / 1000.0;
        writer.write(kHrvLayout, {{hrv::time, std::span<const double>(seconds, count)}});
    }
}

// The bytes of the messages: `once` defined and written once each, the
// events' two, and the records, laps and beat intervals.
uint32_t dataSize(const Track& track, std::initializer_list<const MessageLayout*> once, size_t beatMessages) {
    uint64_t size = kEventLayout.definitionSize() + 2 * kEventLayout.dataSize();
    for (const MessageLayout* layout : once)
        if (layout) size += layout->definitionSize() + layout->dataSize();
    size += kRecordLayout.definitionSize() + static_cast<uint64_t>(track.size()) * kRecordLayout.dataSize();
    size += kLapLayout.definitionSize() + track.laps().size() * kLapLayout.dataSize();
    if (beatMessages) size += kHrvLayout.definitionSize() + beatMessages * kHrvLayout.dataSize();
    if (size > UINT32_MAX) throw std::length_error("the messages would pass the 4 GiB a FIT file can hold");
    return static_cast<uint32_t>(size);
}

}  // namespace

void writeFit(const Track& track, std::ostream& out) {
    using profile::EventType;
    const MessageLayout& sessionMessage = track.energy() ? kSessionWithCaloriesLayout : kSessionLayout;
    std::optional<MessageLayout> named;
    if (!track.name().empty()) named.emplace(sportLayout(track.name()));
    const std::vector<int32_t> intervals = hrvValues(track);
    const TrackOrigin& origin = track.origin();
    const std::string model = modelName(origin);
    const MessageLayout idLayout = fileIdLayout(model), device = deviceLayout(model);
    fit::Writer writer(out, dataSize(track, {&idLayout, &kFileCreatorLayout, &device, &sessionMessage,
                                             &kActivityLayout, named ? &*named : nullptr},
                                     hrvMessages(intervals)));
    const auto fitSport = static_cast<uint8_t>(track.sport());
    const int64_t start = fit::fitTime(track.startTime());
    const int64_t end = fit::fitTime(track.startTime() + std::llround(track.duration()));
    const double elapsed = track.duration();

    const int64_t product = origin.monitor > 0 ? origin.monitor : kInvalid;  // 0: no code written
    std::vector<fit::Value> idValues = {{fileId::type, profile::File::Activity},
                                        {fileId::manufacturer, profile::Manufacturer::Polar},
                                        {fileId::product, product},
                                        {fileId::serialNumber, origin.serialNumber},
                                        {fileId::timeCreated, start}};
    std::vector<fit::Value> deviceValues = {{deviceInfo::timestamp, start},
                                            {deviceInfo::deviceIndex, 0},
                                            {deviceInfo::manufacturer, profile::Manufacturer::Polar},
                                            {deviceInfo::serialNumber, origin.serialNumber},
                                            {deviceInfo::product, product}};
    if (!model.empty()) {
        idValues.emplace_back(fileId::productName, std::string_view(model));
        deviceValues.emplace_back(deviceInfo::productName, std::string_view(model));
    }
    writer.define(idLayout);
    writer.write(idLayout, idValues);
    writer.define(kFileCreatorLayout);
    writer.write(kFileCreatorLayout, {{fileCreator::softwareVersion, origin.converterVersion}});
    writer.define(device);
    writer.write(device, deviceValues);
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
    writeHrv(writer, intervals);
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
