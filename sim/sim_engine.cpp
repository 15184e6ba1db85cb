#include "sim/sim_engine.h"

namespace pilfern::sim {

SimEngine::SimEngine(const std::uint32_t& clock, RedirectTable& redirects)
    : clock_(clock), redirects_(redirects) {
    AddFont("FONT_OLD_10_WHITE.TGA", 20);
    options.directories.at(2) = "SAVES\\";
}

void SimEngine::Count(const char* operation) {
    const auto found = calls_.find(std::string_view(operation));
    if (found != calls_.end()) {
        ++found->second;
    } else {
        calls_.emplace(operation, 1);
    }
}

std::uint64_t SimEngine::Calls(std::string_view operation) const {
    const auto found = calls_.find(operation);
    return found == calls_.end() ? 0 : found->second;
}

}  // namespace pilfern::sim
