#include "sim/stop_request.h"

#include <atomic>

namespace pilfern::sim {
namespace {

// A handler may only touch lock-free atomics.
static_assert(std::atomic<int>::is_always_lock_free);
std::atomic<int> stopSignal{0};

}  // namespace

void RequestStop(int signal) {
    stopSignal.store(signal);
}

bool StopRequested() {
    return stopSignal.load() != 0;
}

int StopSignal() {
    return stopSignal.load();
}

void ClearStopRequest() {
    stopSignal.store(0);
}

void StopIfRequested() {
    if (StopRequested()) {
        throw RunInterrupted();
    }
}

}  // namespace pilfern::sim
