#include "host/timer.h"

#include "host/framework.h"

namespace pilfern {

bool TimerBlock::Await(std::uint32_t ms, bool /*flag*/) {
    used_ = true;
    const std::uint32_t now = clock_->GetTime();
    if (!opened_ || now - lastOpened_ >= ms) {
        opened_ = true;
        lastOpened_ = now;
        return true;
    }
    return false;
}

TimerBlock& Timer::operator[](int id) {
    auto found = blocks_.find(id);
    if (found == blocks_.end()) {
        found = blocks_.emplace(id, TimerBlock(*clock_)).first;
    }
    return found->second;
}

void Timer::ClearUnused() {
    std::erase_if(blocks_, [](const auto& entry) { return !entry.second.used_; });
    for (auto& [id, block] : blocks_) {
        block.used_ = false;
    }
}

std::uint32_t Timer::GetTime() const {
    return clock_->GetTime();
}

}  // namespace pilfern
