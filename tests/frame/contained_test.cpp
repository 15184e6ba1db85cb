#include <string>

#include <gtest/gtest.h>

#include "sim/game_heaps.h"
#include "support/looting_game.h"

// The game was not built to unwind through the plugin: anything the plugin's own code throws
// must stop at the entry point the game or the framework called, and the game goes on.
namespace pilfern::test {
namespace {

constexpr std::string_view kHeroAndApple = R"({
    "instances": {"ITFO_APPLE": {"name": "Apple"}},
    "world": {
        "player": {"id": "hero", "instance": "PC_HERO", "focus": "apple"},
        "items": [{"id": "apple", "instance": "ITFO_APPLE", "position": [0, 0, 100]}]
    }
})";

// The framework's heap has no room beyond what it holds now, while it lives.
class OutOfMemory {
public:
    OutOfMemory() { sim::LimitFrameworkHeap(sim::FrameworkHeapFigures().bytesInUse); }
    OutOfMemory(const OutOfMemory&) = delete;
    OutOfMemory& operator=(const OutOfMemory&) = delete;
    OutOfMemory(OutOfMemory&&) = delete;
    OutOfMemory& operator=(OutOfMemory&&) = delete;
    ~OutOfMemory() { sim::LimitFrameworkHeap(-1); }
};

// Saving builds the file's content on the framework's heap; with no room left the save of the
// history is given up, the game's save goes on, and the next save writes the file.
TEST(ContainedEntryPoints, ASaveThatRunsOutOfMemoryEndsTheEventAndTheGameGoesOn) {
    LootingGame game{std::string(kHeroAndApple)};
    game.PressLootKey();
    ASSERT_EQ(game.Plugin().lootHistory.size(), 1U);
    {
        const OutOfMemory full;
        EXPECT_NO_THROW(game.Game().Save(3));
    }
    EXPECT_FALSE(game.Game().ReadGameFile("SAVES/savegame3/PILFERN.SAV"));
    EXPECT_TRUE(game.Game().ReadGameFile("SAVES/savegame3/SAVEINFO.SAV"));
    game.Game().Save(3);
    EXPECT_EQ(game.Game().ReadGameFile("SAVES/savegame3/PILFERN.SAV"),
              "QUICK_LOOT DATA\n(M) Apple x1,1,EMPTY\n");
}

// A PILFERN.SAV that opens but cannot be read (here a folder of that name) leaves the history
// empty; the load goes on.
TEST(ContainedEntryPoints, AHistoryFileThatCannotBeReadLeavesTheHistoryEmpty) {
    LootingGame game{std::string(kHeroAndApple)};
    ASSERT_TRUE(game.Game().WriteGameFile("SAVES/savegame3/PILFERN.SAV/inside", "x"));
    game.Plugin().lootHistory.push_back({CStringA("Gold x25"), CStringA(), 1});
    EXPECT_NO_THROW(game.Game().Load(3));
    EXPECT_TRUE(game.Plugin().lootHistory.empty());
    game.PressLootKey();
    EXPECT_EQ(game.AmountIn("inventory of hero", "ITFO_APPLE"), 1);
}

}  // namespace
}  // namespace pilfern::test
