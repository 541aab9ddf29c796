#pragma once

#include <cstdint>

// The part of Garmin's FIT profile that the activity files use: each
// message's global number and fields, with the field's number, base type and
// units (scale and offset), and the enum values written into them. Values
// are given in the units named here; the encoder scales them.
namespace fit {

// Base types, with the size and invalid value the encoder gives each.
enum class BaseType : uint8_t {
    Enum = 0x00,
    Sint8 = 0x01,
    Uint8 = 0x02,
    Sint16 = 0x83,
    Uint16 = 0x84,
    Sint32 = 0x85,
    Uint32 = 0x86,
    Uint32z = 0x8C,  // 0 is its invalid value
    String = 0x07,  // UTF-8, NUL-terminated; count is its size in bytes
};

// A field of one message. Stored as (value + offset) × scale, rounded.
struct Field {
    uint16_t message;  // the global number of the message it belongs to
    uint8_t number;
    BaseType type;
    double scale = 1, offset = 0;
    uint8_t count = 1;  // elements of an array field

    // The same field holding `elements` values in each message of a layout.
    constexpr Field array(uint8_t elements) const {
        Field field = *this;
        field.count = elements;
        return field;
    }
};

namespace profile {

// Fields every message may have.
constexpr uint8_t kTimestamp = 253;  // date_time: s since 1989-12-31 00:00 UTC
constexpr uint8_t kMessageIndex = 254;

namespace fileId {
constexpr uint16_t kNumber = 0;
constexpr Field type{kNumber, 0, BaseType::Enum};  // File
constexpr Field manufacturer{kNumber, 1, BaseType::Uint16};  // Manufacturer
constexpr Field product{kNumber, 2, BaseType::Uint16};       // the maker's own number of the model
constexpr Field serialNumber{kNumber, 3, BaseType::Uint32z};
constexpr Field timeCreated{kNumber, 4, BaseType::Uint32};
constexpr Field productName{kNumber, 8, BaseType::String};
}  // namespace fileId

// The software that wrote the file.
namespace fileCreator {
constexpr uint16_t kNumber = 49;
constexpr Field softwareVersion{kNumber, 0, BaseType::Uint16};
}  // namespace fileCreator

// A device that recorded the activity; device index 0 is the one that made it.
namespace deviceInfo {
constexpr uint16_t kNumber = 23;
constexpr Field timestamp{kNumber, kTimestamp, BaseType::Uint32};
constexpr Field deviceIndex{kNumber, 0, BaseType::Uint8};
constexpr Field manufacturer{kNumber, 2, BaseType::Uint16};  // Manufacturer
constexpr Field serialNumber{kNumber, 3, BaseType::Uint32z};
constexpr Field product{kNumber, 4, BaseType::Uint16};
constexpr Field productName{kNumber, 27, BaseType::String};
}  // namespace deviceInfo

namespace event {
constexpr uint16_t kNumber = 21;
constexpr Field timestamp{kNumber, kTimestamp, BaseType::Uint32};
constexpr Field event{kNumber, 0, BaseType::Enum};      // Event
constexpr Field eventType{kNumber, 1, BaseType::Enum};  // EventType
}  // namespace event

namespace record {
constexpr uint16_t kNumber = 20;
constexpr Field timestamp{kNumber, kTimestamp, BaseType::Uint32};
constexpr Field positionLat{kNumber, 0, BaseType::Sint32};       // semicircles
constexpr Field positionLong{kNumber, 1, BaseType::Sint32};      // semicircles
constexpr Field altitude{kNumber, 2, BaseType::Uint16, 5, 500};  // m
constexpr Field heartRate{kNumber, 3, BaseType::Uint8};          // bpm
constexpr Field cadence{kNumber, 4, BaseType::Uint8};            // rpm
constexpr Field distance{kNumber, 5, BaseType::Uint32, 100};     // m
constexpr Field speed{kNumber, 6, BaseType::Uint16, 1000};       // m/s
constexpr Field power{kNumber, 7, BaseType::Uint16};             // W
constexpr Field temperature{kNumber, 13, BaseType::Sint8};       // °C
}  // namespace record

namespace lap {
constexpr uint16_t kNumber = 19;
constexpr Field messageIndex{kNumber, kMessageIndex, BaseType::Uint16};
constexpr Field timestamp{kNumber, kTimestamp, BaseType::Uint32};
constexpr Field event{kNumber, 0, BaseType::Enum};
constexpr Field eventType{kNumber, 1, BaseType::Enum};
constexpr Field startTime{kNumber, 2, BaseType::Uint32};
constexpr Field totalElapsedTime{kNumber, 7, BaseType::Uint32, 1000};  // s
constexpr Field totalTimerTime{kNumber, 8, BaseType::Uint32, 1000};    // s
constexpr Field totalDistance{kNumber, 9, BaseType::Uint32, 100};      // m
constexpr Field avgSpeed{kNumber, 13, BaseType::Uint16, 1000};         // m/s
constexpr Field maxSpeed{kNumber, 14, BaseType::Uint16, 1000};         // m/s
constexpr Field avgHeartRate{kNumber, 15, BaseType::Uint8};
constexpr Field maxHeartRate{kNumber, 16, BaseType::Uint8};
constexpr Field avgCadence{kNumber, 17, BaseType::Uint8};
constexpr Field maxCadence{kNumber, 18, BaseType::Uint8};
constexpr Field avgPower{kNumber, 19, BaseType::Uint16};
constexpr Field maxPower{kNumber, 20, BaseType::Uint16};
constexpr Field totalAscent{kNumber, 21, BaseType::Uint16};   // m
constexpr Field totalDescent{kNumber, 22, BaseType::Uint16};  // m
constexpr Field lapTrigger{kNumber, 24, BaseType::Enum};     // LapTrigger
}  // namespace lap

namespace session {
constexpr uint16_t kNumber = 18;
constexpr Field messageIndex{kNumber, kMessageIndex, BaseType::Uint16};
constexpr Field timestamp{kNumber, kTimestamp, BaseType::Uint32};
constexpr Field event{kNumber, 0, BaseType::Enum};
constexpr Field eventType{kNumber, 1, BaseType::Enum};
constexpr Field startTime{kNumber, 2, BaseType::Uint32};
constexpr Field sport{kNumber, 5, BaseType::Enum};                     // Sport
constexpr Field subSport{kNumber, 6, BaseType::Enum};                  // SubSport
constexpr Field totalElapsedTime{kNumber, 7, BaseType::Uint32, 1000};  // s
constexpr Field totalTimerTime{kNumber, 8, BaseType::Uint32, 1000};    // s
constexpr Field totalDistance{kNumber, 9, BaseType::Uint32, 100};      // m
constexpr Field avgSpeed{kNumber, 14, BaseType::Uint16, 1000};         // m/s
constexpr Field maxSpeed{kNumber, 15, BaseType::Uint16, 1000};         // m/s
constexpr Field avgHeartRate{kNumber, 16, BaseType::Uint8};
constexpr Field maxHeartRate{kNumber, 17, BaseType::Uint8};
constexpr Field avgCadence{kNumber, 18, BaseType::Uint8};
constexpr Field maxCadence{kNumber, 19, BaseType::Uint8};
constexpr Field avgPower{kNumber, 20, BaseType::Uint16};
constexpr Field maxPower{kNumber, 21, BaseType::Uint16};
constexpr Field totalAscent{kNumber, 22, BaseType::Uint16};   // m
constexpr Field totalDescent{kNumber, 23, BaseType::Uint16};  // m
constexpr Field firstLapIndex{kNumber, 25, BaseType::Uint16};
constexpr Field numLaps{kNumber, 26, BaseType::Uint16};
constexpr Field trigger{kNumber, 28, BaseType::Enum};  // SessionTrigger
constexpr Field totalCalories{kNumber, 11, BaseType::Uint16};  // kcal
}  // namespace session

// The sport of the activity, under a name: here the exercise's own.
namespace sport {
constexpr uint16_t kNumber = 12;
constexpr Field sport{kNumber, 0, BaseType::Enum};     // Sport
constexpr Field subSport{kNumber, 1, BaseType::Enum};  // SubSport
constexpr Field name{kNumber, 3, BaseType::String};
}  // namespace sport

namespace activity {
constexpr uint16_t kNumber = 34;
constexpr Field timestamp{kNumber, kTimestamp, BaseType::Uint32};
constexpr Field totalTimerTime{kNumber, 0, BaseType::Uint32, 1000};  // s
constexpr Field numSessions{kNumber, 1, BaseType::Uint16};
constexpr Field type{kNumber, 2, BaseType::Enum};  // Activity
constexpr Field event{kNumber, 3, BaseType::Enum};
constexpr Field eventType{kNumber, 4, BaseType::Enum};
// The wall clock's date_time: the timestamp plus the offset from UTC.
constexpr Field localTimestamp{kNumber, 5, BaseType::Uint32};
}  // namespace activity

// The intervals between heart beats, any number to a message.
namespace hrv {
constexpr uint16_t kNumber = 78;
constexpr Field time{kNumber, 0, BaseType::Uint16, 1000};  // s
}  // namespace hrv

enum class File : uint8_t { Activity = 4 };
enum class Manufacturer : uint16_t { Polar = 123 };
enum class Event : uint8_t { Timer = 0, Session = 8, Lap = 9, Activity = 26 };
enum class EventType : uint8_t { Start = 0, Stop = 1, StopAll = 4 };
enum class SubSport : uint8_t { Generic = 0 };
enum class LapTrigger : uint8_t { Manual = 0, SessionEnd = 7 };
enum class SessionTrigger : uint8_t { ActivityEnd = 0 };
enum class Activity : uint8_t { Manual = 0 };

}  // namespace profile
}  // namespace fit
