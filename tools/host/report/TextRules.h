#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The text rules of the reports.

// A JSON string literal, quotes included. The plug-in's texts are bytes in
// the ANSI code page; bytes from 0x80 are written as \u00XX of the byte (read
// as Latin-1) so the document stays ASCII and every byte can be recovered.
std::string jsonString(std::string_view bytes);

// Shortest text that reads back as exactly the same double; "nan", "inf" and
// "-inf" for values that have no number.
std::string numberText(double value);

// A CSV field, quoted (quotes doubled) only when it holds a separator, a
// quote or a line break.
std::string csvField(std::string_view text);
