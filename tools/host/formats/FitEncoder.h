#pragma once

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <ostream>
#include <vector>

// The FIT protocol's binary layer: a 14-byte header, definition and data
// messages of normal header, little-endian, and the file CRC. Message and
// field numbers, base types and scales are those of Garmin's FIT profile.
namespace fit {

// Base types, with their sizes and invalid values.
enum class BaseType : uint8_t {
    Enum = 0x00,
    Sint8 = 0x01,
    Uint8 = 0x02,
    Sint16 = 0x83,
    Uint16 = 0x84,
    Sint32 = 0x85,
    Uint32 = 0x86,
};

// A value the field does not have; written as the base type's invalid value.
constexpr int64_t kInvalid = std::numeric_limits<int64_t>::min();

struct Field {
    uint8_t number;
    BaseType type;
    uint8_t count = 1;  // values of an array field
};

struct MessageLayout {
    uint8_t localType;  // 0 to 15
    uint16_t globalNumber;
    std::vector<Field> fields;

    size_t definitionSize() const;  // the definition message, header byte included
    size_t dataSize() const;        // one data message, header byte included
};

// The CRC-16 of the FIT protocol, over `size` bytes, continuing from `crc`.
uint16_t crc16(uint16_t crc, const uint8_t* bytes, size_t size);

// Degrees as semicircles (2^31 to 180 degrees), wrapped into the sint32
// range so that 180 degrees east is 180 west, and never the invalid value.
int32_t semicircles(double degrees);

// Seconds since 1970-01-01 as FIT's date_time, seconds since 1989-12-31
// 00:00 UTC; kInvalid before that.
int64_t fitTime(int64_t unixSeconds);

// A value in a field's scaled integer units (value × scale + offset,
// rounded); kInvalid for a value that is absent or not finite.
int64_t scaled(double value, double scale, double offset = 0);

class Writer {
public:
    // Writes the header. `dataSize` is the number of bytes of messages that
    // follow; finish() checks it.
    Writer(std::ostream& out, uint32_t dataSize);

    void define(const MessageLayout& layout);
    // One value per field (`count` for an array), in the layout's order, in the field's scaled
    // integer units; kInvalid or a value the base type cannot hold is
    // written as invalid.
    void write(const MessageLayout& layout, std::initializer_list<int64_t> values);
    // Writes the file CRC. Throws std::logic_error when the messages did
    // not come to `dataSize` bytes.
    void finish();

private:
    void emit(const uint8_t* bytes, size_t size);

    std::ostream& out_;
    uint32_t dataSize_;
    uint64_t written_ = 0;
    uint16_t crc_ = 0;
    std::vector<uint8_t> buffer_;  // one data message, kept for the next
};

}  // namespace fit
