#include "sim/sim_engine.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace pilfern::sim {

std::uintptr_t EngineFunctionAddress(PatchableFunction function) {
    const std::array<std::pair<PatchableFunction, std::uintptr_t>, 3> addresses{{
        {PatchableFunction::GetFontData, reinterpret_cast<std::uintptr_t>(&EngineGetFontData)},
        {PatchableFunction::PrintChars, reinterpret_cast<std::uintptr_t>(&EnginePrintChars)},
        {PatchableFunction::SetState, reinterpret_cast<std::uintptr_t>(&EngineSetState)},
    }};
    for (const auto& [candidate, address] : addresses) {
        if (candidate == function) {
            return address;
        }
    }
    return 0;
}

SimEngine::SimEngine(const std::uint32_t& clock, RedirectTable& redirects)
    : clock_(clock), redirects_(redirects) {
    // A Gothic installation's fonts, and Pilfern installed with its textures.
    AddFont("FONT_OLD_10_WHITE.TGA", 20);
    AddFont("FONT_OLD_20_WHITE.TGA", 32);
    textureFiles = {"QUICKLOOT_TARGET_BLUE", "QUICKLOOT_TARGET_GREEN", "QUICKLOOT_ICON",
                    "QUICK_LOOT_HISTORY_BG"};
    visualEffects = {"SPELLFX_SLEEP_ORIGIN"};
    options.directories.at(2) = "SAVES\\";
    // Every script set of the game declares these instance variables.
    for (const std::string_view name : {"SELF", "OTHER", "VICTIM", "ITEM", "HERO"}) {
        Declare(name, zCPar_Symbol::Kind::Instance);
    }
}

void SimEngine::GameFault(const std::string& message) {
    std::fprintf(stderr, "the simulated game stops: %s\n", message.c_str());
    std::fflush(stderr);
    std::abort();
}

void SimEngine::BeginStep() {
    stepCalls_.fill(0);
    callLog_.clear();
}

std::uint64_t SimEngine::Calls(std::string_view operation) const {
    for (std::size_t op = 0; op < kEngineOperations.size(); ++op) {
        if (kEngineOperations.at(op) == operation) {
            return totalCalls_.at(op);
        }
    }
    return 0;
}

}  // namespace pilfern::sim
