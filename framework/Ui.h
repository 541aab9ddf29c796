#pragma once

#include <string>

// Message boxes and the beep. Windows shows real modal boxes owned by the
// active window; POSIX has no desktop, so the texts go to the message sink.
namespace fw {

void messageBeep();
// Modal information box with a single OK button.
void showInformation(const std::string& text);
// Modal error box with a single OK button.
void showError(const std::string& text);

}  // namespace fw
