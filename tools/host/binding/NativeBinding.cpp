// Native build: the platform facts of a program without a desktop.
#include <cstdio>
#include <string_view>

#include "framework/posix/MessageSink.h"
#include "tools/host/binding/LinkedBinding.h"
#include "tools/host/binding/PluginBinding.h"

namespace {

// The debug box would be lost without a desktop; print it line by line,
// marked so it cannot be mistaken for the report on standard output.
void printPluginMessage(fw::MessageKind kind, const std::string& text) {
    if (kind == fw::MessageKind::Beep) return;
    const char* prefix = kind == fw::MessageKind::Error ? "[plug-in error] " : "[plug-in message] ";
    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t end = rest.find_first_of("\r\n");
        const std::string_view line = rest.substr(0, end);
        std::fprintf(stderr, "%s%.*s\n", prefix, static_cast<int>(line.size()), line.data());
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + (rest.compare(end, 2, "\r\n") == 0 ? 2 : 1));
    }
    std::fflush(stderr);
}

}  // namespace

void routePluginMessages() { fw::setMessageSink(&printPluginMessage); }

HostWindow hostWindow() { return {}; }

HostProgram hostProgram() { return {}; }

bool terminalUsesUtf8() { return true; }
