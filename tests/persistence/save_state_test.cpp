#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/looting_game.h"

// The history travels with each savegame: written into the slot's folder on save, read back
// on load, in the game's code page in memory and UTF-8 on disk, and never half-written.
namespace pilfern::test {
namespace {

constexpr std::string_view kHero = R"("world": {"player": {"id": "hero", "instance": "PC_HERO"}})";

std::string Scenario(int codePage = 1252, std::string_view more = "") {
    return "{\"codePage\": " + std::to_string(codePage) + ", " + std::string(more) +
           std::string(kHero) + "}";
}

struct Row {
    std::string text;  // UTF-8
    std::string source;
    int category = 1;
    friend bool operator==(const Row&, const Row&) = default;
};

// The history in memory holds the game's 8-bit text.
void SetHistory(LootingGame& game, const std::vector<Row>& rows) {
    const int codePage = game.Game().framework.codePage;
    std::vector<HistoryEntity>& history = game.Plugin().lootHistory;
    history.clear();
    for (const Row& row : rows) {
        history.push_back({CStringA(platform::Utf8ToCodePage(row.text, codePage)),
                           CStringA(platform::Utf8ToCodePage(row.source, codePage)), row.category});
    }
}

std::vector<Row> History(LootingGame& game) {
    const int codePage = game.Game().framework.codePage;
    std::vector<Row> rows;
    for (const HistoryEntity& row : game.Plugin().lootHistory) {
        rows.push_back({platform::CodePageToUtf8(row.text.Str(), codePage),
                        platform::CodePageToUtf8(row.source.Str(), codePage), row.category});
    }
    return rows;
}

std::optional<std::string> SaveFile(LootingGame& game, std::string_view slotFolder) {
    return game.Game().ReadGameFile("SAVES/" + std::string(slotFolder) + "/PILFERN.SAV");
}

TEST(SaveState, AHistoryComesBackRowForRowInTheGamesCodePageAndIsUtf8OnDisk) {
    struct Case {
        int codePage;
        std::vector<Row> rows;
        std::string file;
    };
    const std::vector<Case> cases{
        {1251,
         {{"(M) Меч x1", "Бандит", 3}, {"Золото x25", "", 1}},
         "QUICK_LOOT DATA\n(M) Меч x1,3,Бандит\nЗолото x25,1,EMPTY\n"},
        {1252,
         {{"(A) Schwert für Ärger x1", "Räuber", 3}, {"Goldmünze x3", "Truhe", 1}},
         "QUICK_LOOT DATA\n(A) Schwert für Ärger x1,3,Räuber\nGoldmünze x3,1,Truhe\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codePage);
        LootingGame game(Scenario(c.codePage));
        SetHistory(game, c.rows);
        game.Game().Save(3);
        EXPECT_EQ(SaveFile(game, "savegame3"), c.file);

        SetHistory(game, {{"Apple x1", "", 1}});
        game.Game().Load(3);
        EXPECT_EQ(History(game), c.rows);
    }
}

TEST(SaveState, TheExampleFileReadsExactlyAndMalformedLinesAreSkipped) {
    struct Case {
        const char* name;
        std::string file;
        std::vector<Row> rows;
    };
    const std::vector<Case> cases{
        {"the example",
         "QUICK_LOOT DATA\n(M) Ring x1,2,Bandit\nGold x25,1,EMPTY\n",
         {{"(M) Ring x1", "Bandit", 2}, {"Gold x25", "", 1}}},
        {"no header", "Gold x25,1,EMPTY\n", {{"Gold x25", "", 1}}},
        {"only the header", "QUICK_LOOT DATA\n", {}},
        {"empty lines and line ends of other systems",
         "QUICK_LOOT DATA\r\n\r\n\nGold x25,1,EMPTY\r\n\n",
         {{"Gold x25", "", 1}}},
        {"too few fields and empty fields",
         "QUICK_LOOT DATA\nGold x25\nGold x25,1\nGold x25,1,\nApple x1,1,EMPTY\n",
         {{"Apple x1", "", 1}}},
        {"an empty first field ends the rows",
         "QUICK_LOOT DATA\nGold x25,1,EMPTY\n,1,EMPTY\nApple x1,1,EMPTY\n",
         {{"Gold x25", "", 1}}},
        {"a source called Empty", "QUICK_LOOT DATA\nGold x25,1,Empty\n", {{"Gold x25", "", 1}}},
        {"a comma inside a text",
         "QUICK_LOOT DATA\nSword, rusty x1,3,Bandit\n",
         {{"Sword, rusty x1", "Bandit", 3}}},
        {"no line end after the last row",
         "QUICK_LOOT DATA\nGold x25,1,EMPTY",
         {{"Gold x25", "", 1}}},
        {"a line far too long for a row between rows",
         "QUICK_LOOT DATA\nGold x25,1,EMPTY\n" + std::string(70000, 'A') +
             ",1,EMPTY\nApple x1,1,EMPTY\n",
         {{"Gold x25", "", 1}, {"Apple x1", "", 1}}},
        {"a byte-order mark",
         "\xEF\xBB\xBFQUICK_LOOT DATA\nGold x25,1,EMPTY\n",
         {{"Gold x25", "", 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LootingGame game(Scenario());
        ASSERT_TRUE(game.Game().WriteGameFile("SAVES/savegame3/PILFERN.SAV", c.file));
        SetHistory(game, {{"Apple x9", "", 1}});
        game.Game().Load(3);
        EXPECT_EQ(History(game), c.rows);
    }
}

TEST(SaveState, BrokenBytesAndCharactersTheCodePageLacksBecomeStandInsAndOtherRowsLoad) {
    LootingGame game(Scenario(1252));
    ASSERT_TRUE(game.Game().WriteGameFile("SAVES/savegame3/PILFERN.SAV",
                                          "QUICK_LOOT DATA\nBad \xFF\xFE x1,1,EMPTY\n"
                                          "Меч x1,3,EMPTY\nGold x2,1,EMPTY\n"));
    game.Game().Load(3);
    const std::vector<Row> history = History(game);
    ASSERT_EQ(history.size(), 3U);
    EXPECT_EQ(history[0].text, "Bad ?? x1");
    EXPECT_EQ(history[1].text, "??? x1");
    EXPECT_EQ(history[2], (Row{"Gold x2", "", 1}));
}

TEST(SaveState, TheSlotsFolderComesFromTheSavegameManagerOrTheSlotNumber) {
    struct Case {
        int engine;
        int slot;
        const char* folder;
    };
    // Slot 5 has a folder name of the savegame manager's own. The player never saves
    // "current" (-1): a framework record that names it while slot 1 is saved stands for it.
    const std::vector<Case> cases{
        {4, 0, "quicksave"}, {4, 12, "savegame12"}, {4, -1, "current"},  {4, 5, "MySlot5"},
        {3, 3, "savegame3"}, {2, 3, "savegame3"},   {1, 3, "savegame3"}, {1, 0, "quicksave"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.engine) + " slot " + std::to_string(c.slot));
        LootingGame game(Scenario(1252, R"("savegameFolders": {"5": "MySlot5\\"}, )"), c.engine);
        SetHistory(game, {{"Gold x25", "", 1}});
        game.Game().Save(c.slot < 0 ? 1 : c.slot,
                         {.recordSlot = c.slot, .diskSpace = std::nullopt});
        EXPECT_EQ(SaveFile(game, c.folder), "QUICK_LOOT DATA\nGold x25,1,EMPTY\n");
        EXPECT_TRUE(game.Game().ReadGameFile(std::string("SAVES/") + c.folder + "/SAVEINFO.SAV"))
            << "the game's own save lies beside it";
        if (c.slot < 0) {
            continue;  // loading copies a savegame over "current"
        }

        SetHistory(game, {});
        game.Game().Load(c.slot);
        EXPECT_EQ(History(game), (std::vector<Row>{{"Gold x25", "", 1}}));
    }
}

TEST(SaveState, AFailedWriteLeavesThePreviousFileWhole) {
    LootingGame game(Scenario());
    SetHistory(game, {{"Gold x25", "", 1}});
    game.Game().Save(3);
    const auto before = SaveFile(game, "savegame3");
    ASSERT_TRUE(before);

    // The disk has 20 bytes left once the engine has written its savegame.
    SetHistory(game, {{"Sword x1", "Bandit", 3}, {"Gold x25", "", 1}});
    game.Game().Save(3, {.recordSlot = std::nullopt, .diskSpace = 20});
    EXPECT_EQ(SaveFile(game, "savegame3"), before);
    const std::vector<std::string> written = game.Game().WrittenFiles();
    EXPECT_TRUE(std::none_of(written.begin(), written.end(), [](const std::string& path) {
        return path.starts_with("SAVES/savegame3/PILFERN.SAV") &&
               path != "SAVES/savegame3/PILFERN.SAV";
    })) << "nothing of the failed write is left beside it";

    game.Game().Load(3);
    EXPECT_EQ(History(game), (std::vector<Row>{{"Gold x25", "", 1}}));
}

TEST(SaveState, WithoutTheSlotOrTheFileTheHistoryIsKeptOrEmpty) {
    LootingGame game(Scenario());
    SetHistory(game, {{"Gold x25", "", 1}});
    const sim::SimGame::SaveConditions noSlot{.recordSlot = kSaveSlotNone, .diskSpace = {}};
    game.Game().Save(3, noSlot);
    EXPECT_FALSE(SaveFile(game, "savegame3")) << "the record names no slot: nothing written";

    game.Game().Load(3, noSlot);
    EXPECT_EQ(History(game), (std::vector<Row>{{"Gold x25", "", 1}}))
        << "the record names no slot: kept";

    game.Game().Load(4);
    EXPECT_TRUE(History(game).empty()) << "a slot without the file: empty";
}

// The history file of every slot the player saves and loads (quicksave, savegame1 to 20), as
// it is now: none where there is none.
std::map<std::string, std::optional<std::string>> PlayerSlotFiles(LootingGame& game) {
    std::map<std::string, std::optional<std::string>> files{{"quicksave", {}}};
    for (int slot = 1; slot <= sim::SimGame::kLastPlayerSlot; ++slot) {
        files["savegame" + std::to_string(slot)];
    }
    for (auto& [folder, bytes] : files) {
        bytes = SaveFile(game, folder);
    }
    return files;
}

// The history of a game in progress is that game's until the player saves it: a level change
// keeps it and touches no savegame, a new game starts empty, whatever the engine's copies of
// slot folders take along.
TEST(SaveState, ALevelChangeKeepsTheHistoryANewGameEmptiesItAndNeitherTouchesASavegame) {
    const std::vector<Row> saved{{"Gold x25", "", 1}};
    const std::vector<Row> later{{"(M) Sword x1", "Bandit", 3}, {"Gold x25", "", 1}};
    for (const char* copies : {"allFiles", "gameFiles"}) {
        SCOPED_TRACE(copies);
        LootingGame game(Scenario(1252, std::string(R"("slotCopies": ")") + copies + "\", "));
        sim::SimGame& sim = game.Game();
        SetHistory(game, saved);
        sim.Save(1);
        sim.Load(1);
        SetHistory(game, later);  // loot taken after the save

        const auto before = PlayerSlotFiles(game);
        sim.ChangeLevel("OLDWORLD.ZEN", "START_OW");
        EXPECT_EQ(History(game), later) << "the level change keeps the history";
        sim.ChangeLevel("NEWWORLD.ZEN", "START");
        EXPECT_EQ(History(game), later);
        EXPECT_EQ(PlayerSlotFiles(game), before) << "no savegame gets the game's history";

        sim.Save(2);
        EXPECT_EQ(History(game), later);
        sim.Load(1);
        EXPECT_EQ(History(game), saved) << "slot 1 still holds what was saved into it";
        sim.Load(2);
        EXPECT_EQ(History(game), later);

        const auto beforeNewGame = PlayerSlotFiles(game);
        sim.NewGame();
        EXPECT_TRUE(History(game).empty()) << "a new game starts with an empty history";
        sim.ChangeLevel("OLDWORLD.ZEN", "START_OW");
        EXPECT_TRUE(History(game).empty());
        EXPECT_EQ(PlayerSlotFiles(game), beforeNewGame);
        sim.Save(0);
        EXPECT_EQ(SaveFile(game, "quicksave"), "QUICK_LOOT DATA\n");
        sim.Load(2);
        EXPECT_EQ(History(game), later);
    }
}

}  // namespace
}  // namespace pilfern::test
