#include "tools/host/program/ProgressLine.h"

namespace {

// Where no width can be told.
constexpr int kDefaultColumns = 100;

bool continuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

void putBlanks(std::streambuf& target, size_t count) {
    for (size_t k = 0; k < count; ++k) target.sputc(' ');
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& terminal, std::ostream* sharing, int columns, bool utf8)
    : columns_(static_cast<size_t>((columns > 1 ? columns : kDefaultColumns + 1) - 1)),
      utf8_(utf8),
      terminal_(*this, &terminal),
      sharing_(*this, sharing) {}

ProgressLine::~ProgressLine() { clear(); }

void ProgressLine::show(const std::string& text) {
    size_t end = 0, columns = 0;
    while (end < text.size() && columns < columns_) {
        ++end;
        while (utf8_ && end < text.size() && continuationByte(text[end])) ++end;
        ++columns;
    }
    // What the other stream holds reaches the terminal before the line.
    if (sharing_.target()) sharing_.target()->pubsync();
    std::streambuf& out = *terminal_.target();
    out.sputc('\r');
    out.sputn(text.data(), static_cast<std::streamsize>(end));
    if (shown_ > columns) putBlanks(out, shown_ - columns);
    shown_ = columns;
    out.pubsync();
}

void ProgressLine::clear() {
    if (shown_ == 0) return;
    std::streambuf& out = *terminal_.target();
    out.sputc('\r');
    putBlanks(out, shown_);
    out.sputc('\r');
    shown_ = 0;
    out.pubsync();
}

ProgressLine::Guard::Guard(ProgressLine& line, std::ostream* stream)
    : line_(line), stream_(stream), target_(stream ? stream->rdbuf(this) : nullptr) {}

ProgressLine::Guard::~Guard() {
    if (stream_) stream_->rdbuf(target_);
}

ProgressLine::Guard::int_type ProgressLine::Guard::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    line_.clear();
    return target_->sputc(traits_type::to_char_type(c));
}

std::streamsize ProgressLine::Guard::xsputn(const char* text, std::streamsize count) {
    line_.clear();
    return target_->sputn(text, count);
}
