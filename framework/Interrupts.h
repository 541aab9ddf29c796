#pragma once

namespace fw {

// From this call on, an interrupt or a request to end the process no longer
// ends it, but is noted for the program to stop where it can clean up:
// POSIX SIGINT (Ctrl-C), SIGTERM and SIGHUP (the terminal closed), each
// unless the process was started ignoring it; Windows Ctrl-C, Ctrl-Break
// and the console closing, logging off or shutting down (for those three
// Windows ends the process once the program has ended itself, or after a
// few seconds).
void catchInterrupts();

// Whether an interrupt came since catchInterrupts().
bool interruptRequested();

// Thrown where work stops for an interrupt. No std::exception, so that no
// handler that turns failures into messages takes it for one.
struct Interrupted {};

inline void stopIfInterrupted() {
    if (interruptRequested()) throw Interrupted();
}

}  // namespace fw
