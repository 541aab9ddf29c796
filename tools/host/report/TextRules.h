#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The text rules of the reports.

// A JSON string literal, quotes included. The plug-in's texts are bytes in
// the ANSI code page; bytes from 0x80 are written as \u00XX of the byte (read
// as Latin-1) so the document stays ASCII and every byte can be recovered.
std::string jsonString(std::string_view bytes);

// A JSON string literal of UTF-8 text, every character from U+0080 written
// as a \u escape (two for one beyond U+FFFF), so the document stays ASCII.
// A byte that is no part of valid UTF-8 is written as U+FFFD.
std::string jsonUtf8String(std::string_view utf8);

// Shortest text that reads back as exactly the same double; "nan", "inf" and
// "-inf" for values that have no number.
std::string numberText(double value);

// A CSV field, quoted (quotes doubled) only when it holds a separator, a
// quote or a line break.
std::string csvField(std::string_view text);
