#pragma once

namespace pilfern::tools {

// Turns the signals that end a program from outside (Ctrl-C, SIGTERM as `timeout` and `kill`
// send, SIGHUP when the terminal goes; on Windows the console's Ctrl-C, Ctrl-Break and close
// events) into a request to stop, so that a run ends at its next safe point, removes its
// temporary folder and keeps what it printed.
void StopOnSignals();

// The exit code of a program ended by the signal that asked to stop: 128 + its number, as
// shells report one.
[[nodiscard]] int StoppedExitCode();

}  // namespace pilfern::tools
