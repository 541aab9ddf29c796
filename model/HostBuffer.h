#pragma once

#include <cstdint>
#include <string_view>

// The one rule by which text goes into a host buffer: at most Len characters
// (Len is the low 16 bits of its 32-bit argument slot) and a terminating
// zero, so up to Len + 1 bytes. A null buffer or a Len of 0 writes nothing.
void CopyToHostBuffer(char* buffer, uint32_t len, std::string_view text);
