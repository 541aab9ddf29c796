#pragma once

// What a command-line program needs to know of the terminal its output
// shows on, to rewrite a line there in place.
namespace fw {

enum class StandardStream { Output, Error };

// True when the stream is a terminal (a console on Windows), not a file or
// a pipe.
bool isTerminal(StandardStream stream);

// The width in columns of the terminal the stream shows on; 0 when it
// cannot be told.
int terminalColumns(StandardStream stream);

}  // namespace fw
