#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/sim_game.h"
#include "support/temp_folder.h"

// The game's saves, loads, new games and level changes: the framework's events in the game's
// order, its record of the save or load at each of them, and the engine's copies of savegame
// folders.
namespace pilfern::sim {
namespace {

// The framework's record as a handler sees it when an event fires.
struct Seen {
    std::string event;
    int slot = 0;
    bool changeLevel = false;
    std::string world;
    std::string wayPoint;
    friend bool operator==(const Seen&, const Seen&) = default;
};

void PrintTo(const Seen& seen, std::ostream* out) {
    *out << seen.event << " slot " << seen.slot << (seen.changeLevel ? " changing level to " : " ")
         << seen.world << " " << seen.wayPoint;
}

// A plugin that registers one handler for every event and notes what it sees.
SimFramework* watched = nullptr;
std::vector<Seen>* noted = nullptr;
void Note() {
    const TSaveLoadGameInfo& record = *watched->SaveLoadGameInfo();
    noted->push_back({std::string(EventName(watched->FiredEvents().back())), record.slotNumber,
                      record.changeLevel, std::string(record.worldName.Str()),
                      std::string(record.wayPoint.Str())});
}

class Sequences : public ::testing::Test {
protected:
    Sequences() : game(folder.Path(), 4) {
        watched = &game.framework;
        noted = &seen;
        EventTable table{};
        table.fill(&Note);
        game.framework.CreateRefApplication(table);
    }
    ~Sequences() override {
        watched = nullptr;
        noted = nullptr;
    }
    Sequences(const Sequences&) = delete;
    Sequences& operator=(const Sequences&) = delete;
    Sequences(Sequences&&) = delete;
    Sequences& operator=(Sequences&&) = delete;

    test::TempFolder folder;
    SimGame game;
    std::vector<Seen> seen;
};

TEST_F(Sequences, EachPlaysTheGamesEventsWithTheRecordItSets) {
    struct Case {
        const char* name;
        std::function<void(SimGame&)> play;
        std::vector<Seen> events;  // of the last step
    };
    const std::string khorinis = "NEWWORLD.ZEN";
    const std::vector<Case> cases{
        {"a save: the menu's pause, a frame, then the save",
         [](SimGame& g) { g.Save(3); },
         {{"Game_Pause", -3, false, "", ""},
          {"Game_Unpause", -3, false, "", ""},
          {"Game_PreLoop", -3, false, "", ""},
          {"Game_Loop", -3, false, "", ""},
          {"Game_SaveBegin", 3, false, khorinis, ""},
          {"Game_SaveEnd", 3, false, khorinis, ""}}},
        {"a load of the savegame",
         [](SimGame& g) { g.Load(3); },
         {{"Game_Pause", 3, false, khorinis, ""},
          {"Game_Unpause", 3, false, khorinis, ""},
          {"Game_LoadBegin_SaveGame", 3, false, khorinis, ""},
          {"Game_LoadEnd_SaveGame", 3, false, khorinis, ""}}},
        {"a level change keeps the slot and saves the world being left",
         [](SimGame& g) { g.ChangeLevel("OLDWORLD.ZEN", "START_OW"); },
         {{"Game_LoadBegin_Trigger", 3, false, khorinis, ""},
          {"Game_LoadEnd_Trigger", 3, false, khorinis, ""},
          {"Game_PreLoop", 3, false, khorinis, ""},
          {"Game_Loop", 3, false, khorinis, ""},
          {"Game_LoadBegin_ChangeLevel", 3, true, "OLDWORLD.ZEN", "START_OW"},
          {"Game_SaveBegin", 3, true, "OLDWORLD.ZEN", "START_OW"},
          {"Game_SaveEnd", 3, true, "OLDWORLD.ZEN", "START_OW"},
          {"Game_LoadEnd_ChangeLevel", 3, true, "OLDWORLD.ZEN", "START_OW"}}},
        {"a save after it is the player's again, in the world he is in",
         [](SimGame& g) { g.Save(0); },
         {{"Game_Pause", 3, true, "OLDWORLD.ZEN", "START_OW"},
          {"Game_Unpause", 3, true, "OLDWORLD.ZEN", "START_OW"},
          {"Game_PreLoop", 3, true, "OLDWORLD.ZEN", "START_OW"},
          {"Game_Loop", 3, true, "OLDWORLD.ZEN", "START_OW"},
          {"Game_SaveBegin", 0, false, "OLDWORLD.ZEN", ""},
          {"Game_SaveEnd", 0, false, "OLDWORLD.ZEN", ""}}},
        {"loading the quicksave goes back to the world it was saved in",
         [&khorinis](SimGame& g) {
             g.ChangeLevel(khorinis, "START");
             g.Load(0);
         },
         {{"Game_Pause", 0, true, khorinis, "START"},
          {"Game_Unpause", 0, true, khorinis, "START"},
          {"Game_LoadBegin_SaveGame", 0, false, "OLDWORLD.ZEN", ""},
          {"Game_LoadEnd_SaveGame", 0, false, "OLDWORLD.ZEN", ""}}},
        {"a new game",
         [](SimGame& g) { g.NewGame(); },
         {{"Game_LoadBegin_NewGame", -2, false, khorinis, ""},
          {"Game_LoadEnd_NewGame", -2, false, khorinis, ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.play(game);
        const std::size_t count = c.events.size();
        ASSERT_GE(seen.size(), count);
        EXPECT_EQ(std::vector<Seen>(seen.end() - static_cast<std::ptrdiff_t>(count), seen.end()),
                  c.events);
        EXPECT_EQ(game.StepEvents().size(), count) << "only these events in the step";
    }
}

TEST_F(Sequences, TheFrameOfASaveOrLevelChangeTakesTheGamesTime) {
    const std::uint32_t start = game.clock;
    game.Save(1);
    game.ChangeLevel("OLDWORLD.ZEN", "");
    game.Load(1);
    game.NewGame();
    EXPECT_EQ(game.clock - start, 32U) << "one frame each in the save and the level change";
}

// Whatever the engine does with files it does not know, the savegame's own files go where the
// game puts them.
TEST(SlotCopies, TheEngineCopiesItsOwnFilesAndOthersAsTheScenarioChooses) {
    for (const SlotCopies copies : {SlotCopies::AllFiles, SlotCopies::GameFiles}) {
        const bool all = copies == SlotCopies::AllFiles;
        SCOPED_TRACE(all ? "all files" : "game files");
        const test::TempFolder installed;
        installed.Write("SAVES/current/STALE.TXT", "left by an earlier game");
        const test::TempFolder working;
        working.Write("SAVES/savegame3/SAVEINFO.SAV", "world OLDWORLD.ZEN\n");
        working.Write("SAVES/savegame3/OLDWORLD.SAV", "world OLDWORLD.ZEN\n");
        working.Write("SAVES/savegame3/PILFERN.SAV", "QUICK_LOOT DATA\n");
        SimGame game(working.Path(), 4, installed.Path());
        game.slotCopies = copies;
        const auto has = [&game](const std::string& file) {
            return game.ReadGameFile("SAVES/" + file).has_value();
        };

        game.Load(3);
        EXPECT_EQ(game.WorldName(), "OLDWORLD.ZEN");
        EXPECT_TRUE(has("current/SAVEINFO.SAV"));
        EXPECT_TRUE(has("current/OLDWORLD.SAV")) << "a world named by the savegame is the game's";
        EXPECT_EQ(has("current/PILFERN.SAV"), all);
        EXPECT_EQ(has("current/STALE.TXT"), !all) << "an installed file is removed as well";

        game.Save(4);
        EXPECT_TRUE(has("savegame4/SAVEINFO.SAV"));
        EXPECT_TRUE(has("savegame4/OLDWORLD.SAV"));
        EXPECT_EQ(has("savegame4/PILFERN.SAV"), all);
        EXPECT_TRUE(has("savegame3/PILFERN.SAV")) << "the loaded slot keeps its files";

        game.NewGame();
        EXPECT_FALSE(has("current/SAVEINFO.SAV"));
        EXPECT_FALSE(has("current/OLDWORLD.SAV"));
        EXPECT_FALSE(has("current/PILFERN.SAV"));
        EXPECT_EQ(has("current/STALE.TXT"), !all);
        EXPECT_EQ(game.WorldName(), "NEWWORLD.ZEN");
    }
}

TEST(SlotCopiesDeathTest, ThePlayerSavesAndLoadsOnlyTheMenusSlots) {
    const test::TempFolder working;
    SimGame game(working.Path(), 4);
    EXPECT_DEATH(game.Save(-1), "the player cannot save slot -1");
    EXPECT_DEATH(game.Load(21), "the player cannot load slot 21");
}

}  // namespace
}  // namespace pilfern::sim
