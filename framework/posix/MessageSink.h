#pragma once

#include <functional>
#include <string>

// POSIX has no desktop: message boxes and beeps go to this sink, which tests
// and the command-line host set. Without one, texts go to standard error.
namespace fw {

enum class MessageKind { Beep, Information, Error };
using MessageSink = std::function<void(MessageKind, const std::string&)>;

// Returns the previous sink.
MessageSink setMessageSink(MessageSink sink);

}  // namespace fw
