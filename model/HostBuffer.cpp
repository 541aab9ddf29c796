#include "HostBuffer.h"

#include <algorithm>
#include <cstring>

void CopyToHostBuffer(char* buffer, uint32_t len, std::string_view text) {
    const uint16_t limit = static_cast<uint16_t>(len);
    if (buffer == nullptr || limit == 0) return;
    // Text ends at its first zero, as a zero-terminated text would.
    const size_t length = std::min<size_t>(std::min(text.find('\0'), text.size()), limit);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}
