#pragma once

#include <csignal>
#include <stdexcept>

namespace pilfern::sim {

// Asks a running scenario or report to stop at its next safe point (after the frame or step it
// is playing). It only stores the signal's number in a lock-free atomic, so a signal handler,
// or the thread Windows runs a console handler on, may call it.
void RequestStop(int signal = SIGINT);
[[nodiscard]] bool StopRequested();
// The signal that asked to stop; 0 when none did.
[[nodiscard]] int StopSignal();
// Forgets a request to stop, so that the next run plays to its end.
void ClearStopRequest();

// A run or report that stopped because a stop was requested; its temporary folder is gone.
class RunInterrupted : public std::runtime_error {
public:
    RunInterrupted() : std::runtime_error("interrupted") {}
};

// Ends the run by unwinding, which removes a temporary folder, when a stop was requested.
void StopIfRequested();

}  // namespace pilfern::sim
