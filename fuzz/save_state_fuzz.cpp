// Whatever a save folder's PILFERN.SAV holds: loading it never crashes, and what was loaded,
// saved again and loaded once more gives the same rows.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "fuzz_game.h"

namespace {

bool SameRows(const std::vector<pilfern::HistoryEntity>& a,
              const std::vector<pilfern::HistoryEntity>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].text != b[i].text || a[i].source != b[i].source ||
            a[i].category != b[i].category) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    pilfern::fuzz::FuzzGame fuzz({{"SAVES/savegame1/PILFERN.SAV", file}});
    pilfern::sim::SimGame& game = fuzz.Game();
    game.Load(1);
    const std::vector<pilfern::HistoryEntity> first = fuzz.Plugin().lootHistory;
    game.Frame(16);
    game.Save(1);
    game.Load(1);
    if (!SameRows(first, fuzz.Plugin().lootHistory)) {
        std::abort();  // a save of what was loaded must load as the same rows
    }
    return 0;
}
