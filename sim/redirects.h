#pragma once

#include <cstdint>
#include <map>

namespace pilfern::sim {

// Where the engine's patchable functions lead. The engine calls them through this table;
// the framework's patch records change it. An address not in the table leads to itself.
class RedirectTable {
public:
    [[nodiscard]] std::uintptr_t Resolve(std::uintptr_t origin) const {
        const auto found = targets_.find(origin);
        return found == targets_.end() ? origin : found->second;
    }
    void Redirect(std::uintptr_t origin, std::uintptr_t target) { targets_[origin] = target; }
    void Restore(std::uintptr_t origin) { targets_.erase(origin); }
    [[nodiscard]] bool IsRedirected(std::uintptr_t origin) const {
        return targets_.contains(origin);
    }

    // Where a call of `original` leads, typed as the engine calls it (`Fn` carries the
    // engine's member calling convention).
    template <class Fn>
    [[nodiscard]] Fn Resolve(Fn original) const {
        return reinterpret_cast<Fn>(Resolve(reinterpret_cast<std::uintptr_t>(original)));
    }

private:
    std::map<std::uintptr_t, std::uintptr_t> targets_;
};

}  // namespace pilfern::sim
