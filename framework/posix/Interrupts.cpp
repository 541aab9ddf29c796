#include "framework/Interrupts.h"

#include <csignal>
#include <initializer_list>

namespace fw {

namespace {

volatile std::sig_atomic_t requested = 0;

// All a signal handler may safely do: set the flag.
void note(int) { requested = 1; }

}  // namespace

void catchInterrupts() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = &note;
        sigemptyset(&action.sa_mask);
        // Reads and writes under way go on; the program looks at the flag itself.
        action.sa_flags = SA_RESTART;
        sigaction(signal, &action, nullptr);
    }
}

bool interruptRequested() { return requested != 0; }

}  // namespace fw
