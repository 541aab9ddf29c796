#include "framework/Ui.h"

#include <cstdio>

#include "MessageSink.h"

namespace fw {

namespace {

MessageSink& sink() {
    static MessageSink current;
    return current;
}

void deliver(MessageKind kind, const std::string& text) {
    if (sink()) {
        sink()(kind, text);
    } else if (kind != MessageKind::Beep) {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

}  // namespace

MessageSink setMessageSink(MessageSink next) {
    MessageSink previous = std::move(sink());
    sink() = std::move(next);
    return previous;
}

void messageBeep() { deliver(MessageKind::Beep, {}); }
void showInformation(const std::string& text) { deliver(MessageKind::Information, text); }
void showError(const std::string& text) { deliver(MessageKind::Error, text); }

}  // namespace fw
