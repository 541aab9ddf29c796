// FIT files as bytes: the encoder's values in their base types, values bound
// to the fields they name, and the activity file of a track decoded by the
// definitions it carries, each value checked against the profile's field
// numbers and units.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "tools/host/formats/FitEncoder.h"
#include "tools/host/formats/Formats.h"

namespace {

namespace record = fit::profile::record;

// A data message: its global number and each field's first element, raw.
using Message = std::pair<int, std::map<int, int64_t>>;

// The messages of a FIT file, after checking its header, size and CRC.
std::vector<Message> decode(const std::string& file) {
    const auto byte = [&](size_t at) { return static_cast<uint8_t>(file.at(at)); };
    const auto little = [&](size_t at, size_t size) {
        uint64_t value = 0;
        for (size_t i = 0; i < size; ++i) value |= uint64_t{byte(at + i)} << (8 * i);
        return value;
    };
    EXPECT_EQ(byte(0), 14);
    EXPECT_EQ(file.substr(8, 4), ".FIT");
    EXPECT_EQ(little(4, 4) + 16, file.size());
    EXPECT_EQ(fit::crc16(0, reinterpret_cast<const uint8_t*>(file.data()), file.size()), 0);

    // Per local type: the global number, and each field's number, size and base type.
    std::map<int, std::pair<int, std::vector<std::array<uint8_t, 3>>>> definitions;
    std::vector<Message> messages;
    for (size_t at = 14; at < file.size() - 2;) {
        const uint8_t header = byte(at++);
        if (header & 0x40) {
            EXPECT_EQ(byte(at + 1), 0) << "little-endian";
            auto& [global, fields] = definitions[header & 0x0F] = {static_cast<int>(little(at + 2, 2)), {}};
            const uint8_t count = byte(at + 4);
            for (at += 5; fields.size() < count; at += 3) fields.push_back({byte(at), byte(at + 1), byte(at + 2)});
            continue;
        }
        const auto& [global, fields] = definitions.at(header & 0x0F);
        Message& message = messages.emplace_back(global, std::map<int, int64_t>{});
        // Each field holds one value here, of the size of its base type.
        for (const auto& [number, size, type] : fields) {
            int64_t value = static_cast<int64_t>(little(at, size));
            const bool isSigned = type == 0x01 || type == 0x83 || type == 0x85;
            if (isSigned && value >> (8 * size - 1)) value -= int64_t{1} << (8 * size);
            message.second[number] = value;
            at += size;
        }
    }
    return messages;
}

TEST(Fit_encoder, semicirclesWrapAndAvoidTheInvalidValue) {
    const struct {
        double degrees;
        int32_t semicircles;
    } cases[] = {
        {0, 0},
        {90, 1 << 30},
        {-90, -(1 << 30)},
        {180, INT32_MIN},  // 180 east is 180 west
        {-180, INT32_MIN},
        {181, -2135553183},                // 179 west
        {179.99999991618097, 0x7FFFFFFE},  // 0x7FFFFFFF would read as no position
        {47.1000001, 561924889},
    };
    for (const auto& c : cases) EXPECT_EQ(fit::semicircles(c.degrees), c.semicircles) << c.degrees;
}

TEST(Fit_encoder, valuesOutsideTheBaseTypeBecomeInvalid) {
    // uint8, sint8, and uint16 stored as (metres + 500) × 5.
    const fit::MessageLayout layout{3, record::kNumber, {record::heartRate, record::temperature, record::altitude}};
    std::ostringstream out;
    fit::Writer writer(out, static_cast<uint32_t>(4 * layout.dataSize()));
    writer.write(layout, {{record::heartRate, 150}, {record::temperature, -5}, {record::altitude, 0.0}});
    // Each type's invalid value itself: 65535 is 12607 m.
    writer.write(layout, {{record::altitude, 12607}, {record::heartRate, 255}, {record::temperature, 127}});
    writer.write(layout, {{record::heartRate, -1}, {record::temperature, -129}, {record::altitude, 13500}});
    writer.write(layout,
                 {{record::heartRate, fit::kInvalid}, {record::temperature, NAN}, {record::altitude, -600.0}});
    writer.finish();
    const std::string bytes = out.str().substr(14, 4 * layout.dataSize());
    EXPECT_EQ(bytes, std::string("\x03\x96\xfb\xc4\x09"
                                 "\x03\xff\x7f\xff\xff"
                                 "\x03\xff\x7f\xff\xff"
                                 "\x03\xff\x7f\xff\xff",
                                 20));
}

// Each value goes to the field it names, or nowhere: a refused message
// writes no byte.
TEST(Fit_encoder, refusesValuesTheLayoutHasNoPlaceFor) {
    namespace profile = fit::profile;
    const fit::MessageLayout layout{0, record::kNumber, {record::timestamp, record::heartRate}};
    std::ostringstream out;
    fit::Writer writer(out, 0);
    const auto refused = [&](std::initializer_list<fit::Value> values) {
        EXPECT_THROW(writer.write(layout, values), std::logic_error);
    };
    refused({{record::timestamp, 1}, {record::heartRate, 140}, {record::cadence, 90}});
    refused({{profile::lap::timestamp, 1}, {record::heartRate, 140}});  // 253 too, of another message
    refused({{record::timestamp, 1}, {record::heartRate, 140}, {record::heartRate, 141}});
    refused({{record::heartRate, 140}});
    const double seconds[] = {0.8, 0.9, 1.0};
    const fit::MessageLayout beats{1, profile::hrv::kNumber, {profile::hrv::time.array(2)}};
    EXPECT_THROW(writer.write(beats, {{profile::hrv::time, seconds}}), std::logic_error);
    EXPECT_EQ(out.str().size(), 14u);

    EXPECT_THROW(fit::MessageLayout(0, record::kNumber, {record::speed, profile::lap::avgSpeed}), std::logic_error);
    EXPECT_THROW(fit::MessageLayout(0, record::kNumber, {record::speed, record::speed}), std::logic_error);
}

constexpr int64_t kStart = 1715508000;     // 2024-05-12 10:00:00 UTC
constexpr int64_t kFitStart = 1084442400;  // the same in FIT's date_time
constexpr int64_t kUtcOffset = 5 * 3600 + 1800;  // +05:30

TrackPoint sample(int32_t offset, double latitude, double longitude, double distance, double speed, double altitude,
                  int heartRate, int cadence, double power, double temperature) {
    TrackPoint p;
    p.time = kStart + offset;
    p.offset = offset;
    p.hasPosition = true;
    p.latitude = latitude;
    p.longitude = longitude;
    p.distance = distance;
    p.speed = speed;
    p.altitude = altitude;
    p.heartRate = heartRate;
    p.cadence = cadence;
    p.power = power;
    p.temperature = temperature;
    return p;
}

TrackLap lap(int32_t start, double duration, int32_t first, int32_t end) {
    TrackLap l;
    l.start = kStart + start;
    l.duration = duration;
    l.firstSample = first;
    l.endSample = end;
    return l;
}

// Three samples 5 s apart, the middle one without any channel, and two laps.
class TestTrack : public Track {
public:
    TestTrack() : Track(TrackOrigin{}) {
        origin_.utcOffset = kUtcOffset;
        origin_.monitor = 22;
        origin_.serialNumber = 0x12345678;
        origin_.converterVersion = 813;
        TrackPoint none;
        none.time = kStart + 5;
        none.offset = 5;
        points_ = {sample(0, 47.5, 8.25, 0.0, 3.25, 412.4, 131, 87, 215.4, -3.0), none,
                   sample(10, -33.9, 151.2, 40.5, 4.5, -12.6, 140, 90, 180.0, 21.5)};
        start_ = kStart;
        duration_ = 11.75;
        totalDistance_ = 40.5;
        laps_ = {lap(0, 7.5, 0, 2), lap(8, 4.25, 2, 3)};
        sport_ = Sport::Cycling;
    }
    int32_t size() const override { return static_cast<int32_t>(points_.size()); }
    TrackPoint point(int32_t index) const override { return points_.at(static_cast<size_t>(index)); }

private:
    std::vector<TrackPoint> points_;
};

TEST(Fit_activityFile, everyValueInTheFieldItBelongsTo) {
    std::ostringstream out;
    writeFit(TestTrack(), out);
    const std::vector<Message> messages = decode(out.str());

    const int64_t t = kFitStart, end = kFitStart + 12;
    const std::vector<Message> expected = {
        {0, {{0, 4}, {1, 123}, {2, 22}, {3, 0x12345678}, {4, t}}},  // file_id: activity, Polar, the monitor code
        {49, {{0, 813}}},                                           // file_creator: the converter's version
        {23, {{253, t}, {0, 0}, {2, 123}, {3, 0x12345678}, {4, 22}}},  // device_info: the creator, as file_id
        {21, {{253, t}, {0, 0}, {1, 0}}},  // timer start
        // record: lat, long, distance (cm), speed (mm/s), altitude ((m + 500) × 5), heart rate, cadence, power, °C
        {20, {{253, t}, {0, 566697074}, {1, 98426334}, {5, 0}, {6, 3250}, {2, 4562}, {3, 131}, {4, 87}, {7, 215},
              {13, -3}}},
        {20, {{253, t + 5}, {0, 0x7FFFFFFF}, {1, 0x7FFFFFFF}, {5, 0xFFFFFFFF}, {6, 0xFFFF}, {2, 0xFFFF}, {3, 0xFF},
              {4, 0xFF}, {7, 0xFFFF}, {13, 0x7F}}},
        {20, {{253, t + 10}, {0, -404442754}, {1, 1803886264}, {5, 4050}, {6, 4500}, {2, 2437}, {3, 140}, {4, 90},
              {7, 180}, {13, 22}}},
        {21, {{253, end}, {0, 0}, {1, 4}}},  // timer stop all
        // lap: end, start, elapsed and timer time (ms), distance up to the sample that opens the next lap, speed
        // average (distance over time) and maximum, heart rate, cadence and power average and maximum, ascent,
        // descent, event lap, stop, trigger (manual, session end), index
        {19, {{253, t + 8}, {2, t}, {7, 7500}, {8, 7500}, {9, 4050}, {13, 5400}, {14, 3250}, {15, 131}, {16, 131},
              {17, 87}, {18, 87}, {19, 215}, {20, 215}, {21, 0}, {22, 0}, {0, 9}, {1, 1}, {24, 0}, {254, 0}}},
        {19, {{253, t + 12}, {2, t + 8}, {7, 4250}, {8, 4250}, {9, 0}, {13, 0}, {14, 4500}, {15, 140}, {16, 140},
              {17, 90}, {18, 90}, {19, 180}, {20, 180}, {21, 0}, {22, 425}, {0, 9}, {1, 1}, {24, 7}, {254, 1}}},
        // session: 40.5 m in 11.75 s; heart rate 135.5 and cadence 88.5 on average, rounded up; power 197.7;
        // the 425 m drop; cycling
        {18, {{253, end}, {2, t}, {7, 11750}, {8, 11750}, {9, 4050}, {14, 3447}, {15, 4500}, {16, 136}, {17, 140},
              {18, 89}, {19, 90}, {20, 198}, {21, 215}, {22, 0}, {23, 425}, {5, 2}, {6, 0}, {25, 0}, {26, 2}, {0, 8},
              {1, 1}, {28, 0}, {254, 0}}},
        // activity: manual, one session, the wall clock at +05:30
        {34, {{253, end}, {0, 11750}, {1, 1}, {2, 0}, {3, 26}, {4, 1}, {5, end + kUtcOffset}}},
    };
    ASSERT_EQ(messages.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) EXPECT_EQ(messages[k], expected[k]) << "message " << k;
}

}  // namespace
