#pragma once

#include <cstdint>
#include <map>

namespace pilfern {

class Framework;

// One interval gate of a Timer.
class TimerBlock {
public:
    // True when at least `ms` milliseconds have passed since this gate last opened (or when it
    // has never opened); the gate then starts its next interval. Elapsed time is measured as
    // an unsigned difference, so a clock that wraps past 2^32 ms keeps the gate working.
    // The second argument is part of the framework's signature; the plugin always passes false
    // and it changes nothing here.
    bool Await(std::uint32_t ms, bool flag);

private:
    friend class Timer;
    explicit TimerBlock(const Framework& clock) : clock_(&clock) {}

    const Framework* clock_;
    std::uint32_t lastOpened_ = 0;
    bool opened_ = false;
    bool used_ = false;
};

// The framework's set of interval gates addressed by small ids; a gate is made on first use.
class Timer {
public:
    explicit Timer(const Framework& clock) : clock_(&clock) {}

    TimerBlock& operator[](int id);
    // Drops the gates that were not asked since the previous call.
    void ClearUnused();
    [[nodiscard]] std::uint32_t GetTime() const;
    [[nodiscard]] std::size_t GateCount() const { return blocks_.size(); }

private:
    const Framework* clock_;
    std::map<int, TimerBlock> blocks_;
};

}  // namespace pilfern
