#pragma once

#include <array>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <ostream>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

#include "tools/host/formats/FitProfile.h"

// The FIT protocol's binary layer: a 14-byte header, definition and data
// messages of normal header, little-endian, and the file CRC. Every value
// is bound to the profile field it belongs to, never to a place in a list.
namespace fit {

// A value the field does not have; written as the base type's invalid value.
constexpr int64_t kInvalid = std::numeric_limits<int64_t>::min();

// The fields of one message, in the order the definition lists them.
class MessageLayout {
public:
    // Throws std::logic_error for a local type above 15, a field of another
    // message, a field listed twice or more than 255 fields.
    MessageLayout(uint8_t localType, uint16_t message, std::vector<Field> fields);

    uint8_t localType() const { return localType_; }
    uint16_t message() const { return message_; }
    const std::vector<Field>& fields() const { return fields_; }
    size_t definitionSize() const;  // the definition message, header byte included
    size_t dataSize() const { return invalidMessage_.size(); }  // one data message, header byte included

    // The place in fields() of the field with this number; nullopt when the
    // layout has none.
    std::optional<size_t> indexOf(const Field& field) const;
    size_t offsetOf(size_t index) const { return offsets_[index]; }  // in a data message
    // A data message with every field invalid.
    const std::vector<uint8_t>& invalidMessage() const { return invalidMessage_; }

private:
    static constexpr uint8_t kNone = 0xFF;

    uint8_t localType_;
    uint16_t message_;
    std::vector<Field> fields_;
    std::vector<size_t> offsets_;
    std::array<uint8_t, 256> indexByNumber_;
    std::vector<uint8_t> invalidMessage_;
};

// A value bound to its field, in the units the profile gives the field
// (metres, seconds, an enum's value ...). A value the field's base type
// cannot hold, not finite or absent is written as invalid.
class Value {
public:
    Value(const Field& field, std::optional<double> value);
    // A whole number in the field's units too (date_time, semicircles, counts,
    // indices ...); kInvalid for none.
    template <std::integral T>
    Value(const Field& field, T value) : Value(field, static_cast<int64_t>(value), Whole{}) {}
    template <typename E>
        requires std::is_enum_v<E>
    Value(const Field& field, E value) : Value(field, static_cast<int64_t>(value), Whole{}) {}
    // An array field's first elements; the rest of its elements are invalid.
    // `values` must outlive the value.
    Value(const Field& field, std::span<const double> values) : field_(&field), elements_(values), array_(true) {}
    // A string field's UTF-8 text, cut at a character to leave room for the
    // NUL. `text` must outlive the value.
    Value(const Field& field, std::string_view text) : field_(&field), text_(text), string_(true) {}

    const Field& field() const { return *field_; }
    // The stored integer of a single value, or of element `k` of an array.
    int64_t units(size_t k = 0) const;
    size_t size() const { return array_ ? elements_.size() : 1; }
    bool isText() const { return string_; }
    std::string_view text() const { return text_; }

private:
    struct Whole {};
    Value(const Field& field, int64_t value, Whole);

    const Field* field_;
    int64_t units_ = kInvalid;
    std::span<const double> elements_;
    bool array_ = false;
    std::string_view text_;
    bool string_ = false;
};

// The CRC-16 of the FIT protocol, over `size` bytes, continuing from `crc`.
uint16_t crc16(uint16_t crc, const uint8_t* bytes, size_t size);

// Degrees as semicircles (2^31 to 180 degrees), wrapped into the sint32
// range so that 180 degrees east is 180 west, and never the invalid value.
int32_t semicircles(double degrees);

// Seconds since 1970-01-01 as FIT's date_time, seconds since 1989-12-31
// 00:00 UTC; kInvalid before that.
int64_t fitTime(int64_t unixSeconds);

class Writer {
public:
    // Writes the header. `dataSize` is the number of bytes of messages that
    // follow; finish() checks it.
    Writer(std::ostream& out, uint32_t dataSize);

    void define(const MessageLayout& layout);
    // A data message with one value for each field of the layout, in any
    // order. Throws std::logic_error for a value of a field the layout
    // lacks, a field given twice, a field given none, or more elements than
    // an array field holds.
    void write(const MessageLayout& layout, std::initializer_list<Value> values) {
        write(layout, std::span<const Value>(values.begin(), values.size()));
    }
    void write(const MessageLayout& layout, std::span<const Value> values);
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
