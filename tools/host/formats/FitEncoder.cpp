#include "tools/host/formats/FitEncoder.h"

#include <algorithm>
#include <bitset>
#include <cmath>
#include <stdexcept>

namespace fit {

namespace {

constexpr size_t kHeaderSize = 14;
constexpr uint8_t kProtocolVersion = 0x20;  // 2.0
constexpr uint16_t kProfileVersion = 2100;  // 21.00
constexpr int64_t kFitEpoch = 631065600;    // 1989-12-31 00:00 UTC in Unix seconds

size_t sizeOf(BaseType type) {
    switch (type) {
        case BaseType::Enum:
        case BaseType::Sint8:
        case BaseType::Uint8:
        case BaseType::String: return 1;
        case BaseType::Sint16:
        case BaseType::Uint16: return 2;
        case BaseType::Sint32:
        case BaseType::Uint32:
        case BaseType::Uint32z: return 4;
    }
    return 0;
}

struct Range {
    int64_t low, high, invalid;
};

// The values each base type holds, its invalid value left out.
Range rangeOf(BaseType type) {
    switch (type) {
        case BaseType::Enum:
        case BaseType::Uint8: return {0, 0xFE, 0xFF};
        case BaseType::Sint8: return {-0x80, 0x7E, 0x7F};
        case BaseType::Uint16: return {0, 0xFFFE, 0xFFFF};
        case BaseType::Sint16: return {-0x8000, 0x7FFE, 0x7FFF};
        case BaseType::Uint32: return {0, 0xFFFFFFFE, 0xFFFFFFFF};
        case BaseType::Sint32: return {-0x80000000LL, 0x7FFFFFFE, 0x7FFFFFFF};
        case BaseType::Uint32z: return {1, 0xFFFFFFFF, 0};
        case BaseType::String: return {1, 0xFF, 0x00};
    }
    return {0, 0, 0};
}

void putLittleEndian(std::vector<uint8_t>& bytes, uint64_t value, size_t size) {
    for (size_t i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void putLittleEndian(uint8_t* at, uint64_t value, size_t size) {
    for (size_t i = 0; i < size; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// A value in the field's stored integer units ((value + offset) × scale,
// rounded); kInvalid for one that is not finite.
int64_t scaled(double value, const Field& field) {
    const double units = std::round(value * field.scale + field.offset * field.scale);
    // Beyond every base type; the writer turns such values into invalid ones.
    if (!std::isfinite(units) || std::fabs(units) > 1e15) return kInvalid;
    return static_cast<int64_t>(units);
}

// `text` into a string field of `size` bytes, cut where a UTF-8 character
// starts so that the NUL after it fits; the rest stays NUL.
void putText(uint8_t* at, size_t size, std::string_view text) {
    if (size == 0) return;
    size_t length = std::min(text.size(), size - 1);
    while (length < text.size() && length > 0 && (static_cast<uint8_t>(text[length]) & 0xC0) == 0x80) --length;
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length), at);
}

}  // namespace

MessageLayout::MessageLayout(uint8_t localType, uint16_t message, std::vector<Field> fields)
    : localType_(localType), message_(message), fields_(std::move(fields)) {
    if (localType_ > 15) throw std::logic_error("FIT local message types go from 0 to 15");
    if (fields_.size() > 255) throw std::logic_error("a FIT message has at most 255 fields");
    indexByNumber_.fill(kNone);
    invalidMessage_.push_back(localType_);
    for (size_t i = 0; i < fields_.size(); ++i) {
        const Field& field = fields_[i];
        if (field.message != message_) throw std::logic_error("a field of another FIT message in the layout");
        if (indexByNumber_[field.number] != kNone) throw std::logic_error("a FIT field listed twice in the layout");
        indexByNumber_[field.number] = static_cast<uint8_t>(i);
        offsets_.push_back(invalidMessage_.size());
        for (uint8_t k = 0; k < field.count; ++k)
            putLittleEndian(invalidMessage_, static_cast<uint64_t>(rangeOf(field.type).invalid), sizeOf(field.type));
    }
}

size_t MessageLayout::definitionSize() const { return 6 + 3 * fields_.size(); }

std::optional<size_t> MessageLayout::indexOf(const Field& field) const {
    if (field.message != message_ || indexByNumber_[field.number] == kNone) return std::nullopt;
    return indexByNumber_[field.number];
}

Value::Value(const Field& field, std::optional<double> value)
    : field_(&field), units_(value ? scaled(*value, field) : kInvalid) {}

Value::Value(const Field& field, int64_t value, Whole) : field_(&field) {
    if (value == kInvalid || (field.scale == 1 && field.offset == 0))
        units_ = value;
    else
        units_ = scaled(static_cast<double>(value), field);
}

int64_t Value::units(size_t k) const { return array_ ? scaled(elements_[k], *field_) : units_; }

uint16_t crc16(uint16_t crc, const uint8_t* bytes, size_t size) {
    static constexpr uint16_t kTable[16] = {0x0000, 0xCC01, 0xD801, 0x1400, 0xF001, 0x3C00, 0x2800, 0xE401,
                                            0xA001, 0x6C00, 0x7800, 0xB401, 0x5000, 0x9C01, 0x8801, 0x4400};
    for (size_t i = 0; i < size; ++i) {
        // Low nibble, then high nibble.
        uint16_t tmp = kTable[crc & 0xF];
        crc = static_cast<uint16_t>(((crc >> 4) & 0x0FFF) ^ tmp ^ kTable[bytes[i] & 0xF]);
        tmp = kTable[crc & 0xF];
        crc = static_cast<uint16_t>(((crc >> 4) & 0x0FFF) ^ tmp ^ kTable[(bytes[i] >> 4) & 0xF]);
    }
    return crc;
}

int32_t semicircles(double degrees) {
    int64_t value = std::llround(degrees * (2147483648.0 / 180.0));
    value = ((value + 0x80000000LL) % 0x100000000LL + 0x100000000LL) % 0x100000000LL - 0x80000000LL;
    if (value == 0x7FFFFFFF) value = 0x7FFFFFFE;
    return static_cast<int32_t>(value);
}

int64_t fitTime(int64_t unixSeconds) { return unixSeconds < kFitEpoch ? kInvalid : unixSeconds - kFitEpoch; }

Writer::Writer(std::ostream& out, uint32_t dataSize) : out_(out), dataSize_(dataSize) {
    std::vector<uint8_t> header;
    header.push_back(kHeaderSize);
    header.push_back(kProtocolVersion);
    putLittleEndian(header, kProfileVersion, 2);
    putLittleEndian(header, dataSize, 4);
    for (const char c : {'.', 'F', 'I', 'T'}) header.push_back(static_cast<uint8_t>(c));
    putLittleEndian(header, crc16(0, header.data(), header.size()), 2);
    emit(header.data(), header.size());
    written_ = 0;
}

void Writer::define(const MessageLayout& layout) {
    std::vector<uint8_t> bytes;
    bytes.push_back(static_cast<uint8_t>(0x40 | layout.localType()));
    bytes.push_back(0);  // reserved
    bytes.push_back(0);  // little-endian
    putLittleEndian(bytes, layout.message(), 2);
    bytes.push_back(static_cast<uint8_t>(layout.fields().size()));
    for (const Field& field : layout.fields()) {
        bytes.push_back(field.number);
        bytes.push_back(static_cast<uint8_t>(sizeOf(field.type) * field.count));
        bytes.push_back(static_cast<uint8_t>(field.type));
    }
    emit(bytes.data(), bytes.size());
}

void Writer::write(const MessageLayout& layout, std::span<const Value> values) {
    const std::vector<uint8_t>& invalid = layout.invalidMessage();
    buffer_.assign(invalid.begin(), invalid.end());
    std::bitset<256> given;
    for (const Value& value : values) {
        const std::optional<size_t> index = layout.indexOf(value.field());
        if (!index) throw std::logic_error("a value for a field the FIT message layout lacks");
        if (given.test(*index)) throw std::logic_error("a FIT field given twice");
        given.set(*index);
        const Field& field = layout.fields()[*index];
        if (value.isText() != (field.type == BaseType::String))
            throw std::logic_error("text for a FIT field that holds no string, or the reverse");
        if (value.isText()) {
            putText(buffer_.data() + layout.offsetOf(*index), field.count, value.text());
            continue;
        }
        if (value.size() > field.count) throw std::logic_error("more values than the FIT array field holds");
        const Range range = rangeOf(field.type);
        const size_t size = sizeOf(field.type);
        uint8_t* at = buffer_.data() + layout.offsetOf(*index);
        for (size_t k = 0; k < value.size(); ++k, at += size) {
            const int64_t v = value.units(k);
            if (v >= range.low && v <= range.high) putLittleEndian(at, static_cast<uint64_t>(v), size);
        }
    }
    if (given.count() != layout.fields().size()) throw std::logic_error("a FIT field given no value");
    emit(buffer_.data(), buffer_.size());
}

void Writer::finish() {
    if (written_ != dataSize_) throw std::logic_error("FIT messages do not match the size in the header");
    const uint16_t crc = crc_;
    const uint8_t bytes[2] = {static_cast<uint8_t>(crc & 0xFF), static_cast<uint8_t>(crc >> 8)};
    out_.write(reinterpret_cast<const char*>(bytes), 2);
}

void Writer::emit(const uint8_t* bytes, size_t size) {
    crc_ = crc16(crc_, bytes, size);
    written_ += size;
    out_.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

}  // namespace fit
