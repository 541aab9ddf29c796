#pragma once

#include <string>
#include <string_view>

// Bytes read as Latin-1, written as UTF-8.
std::string latin1ToUtf8(std::string_view bytes);
