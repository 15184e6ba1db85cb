// Whatever a player writes into Gothic.ini: the plugin reads its options at the start and
// again when the options are applied, and plays frames with them, without crashing.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_game.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view ini(reinterpret_cast<const char*>(data), size);
    pilfern::fuzz::FuzzGame fuzz({{"System/Gothic.ini", ini}});
    pilfern::sim::SimGame& game = fuzz.Game();
    game.Frame(16);
    game.ApplyOptions();
    game.Frame(16);
    return 0;
}
