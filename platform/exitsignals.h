#pragma once

#include <functional>

// The signals that end a session from outside: SIGTERM and SIGHUP at a logout, SIGINT from a
// terminal. The handler only writes the signal's number to a pipe; the event loop reads it and
// runs onSignal, where anything may be done (write the pages still held, then exit). A second
// signal while onSignal runs ends the program at once, as the default would.
namespace ExitSignals {

void install(std::function<void(int signal)> onSignal);

}  // namespace ExitSignals
