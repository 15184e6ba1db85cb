#include "tools/stop_signals.h"

#include <csignal>

#include "sim/stop_request.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace pilfern::tools {
namespace {

constexpr int kSignalExitBase = 128;

void OnStopSignal(int signal) {
    pilfern::sim::RequestStop(signal);
}

#ifdef _WIN32
// How long a console that closes waits at most for the run to clean up; Windows ends the
// process itself some seconds after the close event.
constexpr DWORD kCloseGraceMs = 10000;

// Runs on a thread of its own. Windows ends the process as soon as this returns from a close,
// log-off or shut-down event, so it waits for the run, which ends the process when it has
// cleaned up.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        pilfern::sim::RequestStop(SIGINT);
        return TRUE;
    }
    pilfern::sim::RequestStop(SIGTERM);
    Sleep(kCloseGraceMs);
    return TRUE;
}

void Install() {
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    std::signal(SIGTERM, OnStopSignal);
}
#else
void Install() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // A file being read or written when the signal comes goes on being read or written; the
    // run stops at its next safe point.
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}
#endif

}  // namespace

void StopOnSignals() {
    Install();
}

int StoppedExitCode() {
    return kSignalExitBase + pilfern::sim::StopSignal();
}

}  // namespace pilfern::tools
