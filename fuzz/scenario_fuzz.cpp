// Whatever a scenario file holds: the loader accepts it or refuses it with its one-line
// error; it never crashes, hangs or throws anything else.

#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/scenario/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        static_cast<void>(pilfern::sim::ParseScenario(text, "fuzz/scenario.json"));
    } catch (const pilfern::sim::ScenarioError&) {
    }
    return 0;
}
