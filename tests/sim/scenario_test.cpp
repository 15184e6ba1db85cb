#include "sim/scenario/scenario.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "config/option_catalogue.h"
#include "host/ini_file.h"
#include "sim/scenario/runner.h"
#include "support/temp_folder.h"

namespace pilfern::sim {
namespace {

struct BrokenScenario {
    std::string json;
    std::string message;  // what the one-line error must say
};

void PrintTo(const BrokenScenario& broken, std::ostream* out) {
    *out << broken.json;
}

class MalformedScenario : public ::testing::TestWithParam<BrokenScenario> {};

TEST_P(MalformedScenario, IsRefusedNamingTheFileAndField) {
    const BrokenScenario& broken = GetParam();
    try {
        static_cast<void>(ParseScenario(broken.json, "scenes/broken.json"));
        FAIL() << "accepted: " << broken.json;
    } catch (const ScenarioError& error) {
        EXPECT_EQ(std::string(error.what()), "scenes/broken.json: " + broken.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, MalformedScenario,
    ::testing::Values(
        BrokenScenario{"{\"engine\": 4,\n  ", "not valid JSON at line 2, column 2"},
        BrokenScenario{"{\"startTime\": 5e5554}",
                       "not valid JSON: a number too large for any number"},
        BrokenScenario{R"({"engin": 4})", "engin: unknown field"},
        BrokenScenario{R"({"engine": "Gothic III"})",
                       "engine: expected Gothic_I_Classic, Gothic_I_Addon, Gothic_II_Classic, "
                       "Gothic_II_Addon or the framework's version number"},
        BrokenScenario{R"({"world": {"items": [{"id": "a", "instance": "X", "amount": "3"}]}})",
                       "world.items[0].amount: expected a whole number"},
        BrokenScenario{R"({"world": {"items": [{"id": "a"}]}})",
                       "world.items[0].instance: missing"},
        BrokenScenario{R"({"world": {"items": [{"id": "a", "instance": "X", "flags": "0x1G"}]}})",
                       "world.items[0].flags: expected a number from 0 to 4294967295, or its "
                       "hexadecimal text"},
        BrokenScenario{R"({"world": {"player": {"id": "a", "instance": "PC_HERO"},
                                     "items": [{"id": "a", "instance": "X"}]}})",
                       "world.items[0].id: the id \"a\" is used twice"},
        BrokenScenario{
            R"({"world": {"player": {"id": "hero", "instance": "PC_HERO", "focus": "gold"}}})",
            "world.player.focus: no object has the id \"gold\""},
        BrokenScenario{R"({"world": {"player": {"id": "hero", "instance": "PC_HERO"},
                                     "transformedFrom": "hero"}})",
                       "world.transformedFrom: expected an NPC of the world other than the player"},
        BrokenScenario{R"({"world": {"transformedFrom": "hero"}})",
                       "world.transformedFrom: no NPC has the id \"hero\""},
        BrokenScenario{R"({"timeline": [{"world": {"transform": {"id": "s", "instance": "SHEEP"},
                                                    "transformBack": true}}]})",
                       "timeline[0].world.transformBack: a step either transforms or turns back"},
        BrokenScenario{R"({"timeline": [{"frames": 2, "hold": ["KEY_VV"]}]})",
                       "timeline[0].hold[0]: \"KEY_VV\" is no key name"},
        BrokenScenario{R"({"timeline": [{"frames": -1}]})",
                       "timeline[0].frames: expected 0 or more frames"},
        BrokenScenario{
            R"({"timeline": [{"load": 1, "event": 11}]})",
            "timeline[0].event: no longer used: a load plays the game's own events; "
            "use {\"newGame\": true} or {\"changeLevel\": \"WORLD.ZEN\"} for the others"},
        BrokenScenario{R"({"timeline": [{"save": 1, "slotTold": false}]})",
                       "timeline[0].slotTold: no longer used: the framework's record always "
                       "exists; \"recordSlot\": -3 makes it name no slot"},
        BrokenScenario{R"({"timeline": [{"save": 21}]})",
                       "timeline[0].save: expected a slot from 0 (quicksave) to 20"},
        BrokenScenario{R"({"timeline": [{"load": -1}]})",
                       "timeline[0].load: expected a slot from 0 (quicksave) to 20"},
        BrokenScenario{R"({"timeline": [{"load": 1, "recordSlot": -4}]})",
                       "timeline[0].recordSlot: expected -3 (no slot), -2 (new game), -1 "
                       "(current) or a slot from 0 to 20"},
        BrokenScenario{R"({"timeline": [{"newGame": false}]})",
                       "timeline[0].newGame: expected true"},
        BrokenScenario{R"({"timeline": [{"changeLevel": ""}]})",
                       "timeline[0].changeLevel: expected the world's file name, such as "
                       "OLDWORLD.ZEN"},
        BrokenScenario{R"({"timeline": [{"changeLevel": "OLDWORLD.ZEN", "waypoint": "X"}]})",
                       "timeline[0].waypoint: unknown field"},
        BrokenScenario{R"({"slotCopies": "some"})",
                       "slotCopies: expected \"allFiles\" or \"gameFiles\""},
        BrokenScenario{R"({"timeline": [{"jump": true}]})",
                       "timeline[0]: expected a step: frames, save, load, newGame, changeLevel, "
                       "options, files, world, screenshot or note"},
        BrokenScenario{R"({"timeline": [{"screenshot": "../chest"}]})",
                       "timeline[0].screenshot: expected a name of letters, digits, - and _"},
        BrokenScenario{R"({"timeline": [{"screenshot": "chest"}, {"screenshot": "chest"}]})",
                       "timeline[1].screenshot: the name \"chest\" is used twice"},
        BrokenScenario{R"({"timeline": [{"world": {"remove": ["ghost"]}}]})",
                       "timeline[0].world.remove[0]: no object has the id \"ghost\""},
        BrokenScenario{R"({"files": {"../outside.txt": "x"}})",
                       "files.../outside.txt: expected a path inside the game folder"},
        BrokenScenario{R"({"instances": {"ITMW_BOW": {"nmae": "Bow"}}})",
                       "instances.ITMW_BOW.nmae: unknown field"},
        BrokenScenario{R"({"instances": {"ITMW_BOW": {}, "ItMw_Bow": {}}})",
                       "instances.ItMw_Bow: the instance ITMW_BOW is defined twice"},
        BrokenScenario{R"({"instances": {"ITMW_BOW": {"munition": true}}})",
                       "instances.ITMW_BOW.munition: expected an instance name or its script "
                       "number"},
        BrokenScenario{R"({"instances": {"A": {"instanceIndex": 3}},
                           "world": {"items": [{"id": "b", "instance": "B", "instanceIndex": 3}]}})",
                       "world.items[0].instanceIndex: the number 3 is the instance A's"},
        BrokenScenario{R"({"world": {"items": [{"id": "a", "instance": "A", "instanceIndex": 1}]},
                           "timeline": [{"world": {"items": [{"id": "a", "instanceIndex": 2}]}}]})",
                       "timeline[0].world.items[0].instanceIndex: the instance A has the number 1 "
                       "already"},
        BrokenScenario{R"({"world": {"player": {"id": "hero", "instance": "PC_HERO",
                                                "inventoryPacked": true}}})",
                       "world.player.inventoryPacked: the game never packs the player's "
                       "inventory"},
        BrokenScenario{R"({"world": {"npcs": [{"id": "b", "instance": "B", "inventoryPacked": true,
                                               "inventoryOpen": true}]}})",
                       "world.npcs[0].inventoryOpen: the game unpacks an inventory it opens"},
        BrokenScenario{R"({"world": {"npcs": [{"id": "b", "instance": "B"}]},
                           "timeline": [{"world": {"npcs": [{"id": "b",
                                                             "inventoryPacked": true}]}}]})",
                       "timeline[0].world.npcs[0].inventoryPacked: an inventory is packed by a "
                       "savegame load, or in the world a scenario starts with"},
        BrokenScenario{R"({"timeline": [{"world": {"spawn": {"npcs": [
                           {"id": "b", "instance": "B", "inventoryPacked": true}]}}}]})",
                       "timeline[0].world.spawn.npcs[0].inventoryPacked: an NPC the game inserts "
                       "carries its inventory unpacked"},
        BrokenScenario{R"({"world": {"player": {"id": "sheep", "instance": "SHEEP"},
                                     "npcs": [{"id": "hero", "instance": "PC_HERO",
                                               "inventoryPacked": true}],
                                     "transformedFrom": "hero"}})",
                       "world.transformedFrom: the hero's own body keeps its inventory unpacked, "
                       "as the player's"},
        BrokenScenario{R"({"world": {"items": [{"id": "a", "instance": "X", "worn": true}]}})",
                       "world.items[0].worn: only an item of an inventory can be worn"},
        BrokenScenario{R"({"world": {"player": {"id": "hero", "instance": "PC_HERO", "inventory":
                           [{"id": "r", "instance": "ITRI", "amount": 2, "worn": true}]}}})",
                       "world.player.inventory[0].worn: a worn item is one item: give the rest as "
                       "an item of its own"},
        BrokenScenario{R"({"world": {"npcs": [{"id": "b", "instance": "B", "drawnWeapon": "axe"}],
                                     "items": [{"id": "axe", "instance": "ITMW_AXE"}]}})",
                       "world.npcs[0].drawnWeapon: \"axe\" is no item of this NPC's inventory"},
        BrokenScenario{R"({"world": {"player": {"id": "hero", "instance": "PC_HERO"}},
                           "timeline": [{"world": {"npcs": [{"id": "hero",
                                                             "rangedWeapon": "hero"}]}}]})",
                       "timeline[0].world.npcs[0].rangedWeapon: no item has the id \"hero\""},
        BrokenScenario{R"({"timeline": [{"world": {"give": {"ghost": []}}}]})",
                       "timeline[0].world.give.ghost: no NPC has the id \"ghost\""},
        BrokenScenario{R"({"world": {"player": {"id": "hero", "instance": "PC_HERO"}},
                           "timeline": [{"world": {"give": {"hero": [{"id": "gold"}]}}}]})",
                       "timeline[0].world.give.hero[0].instance: missing"},
        BrokenScenario{R"({"world": {"player": {"id": "hero", "instance": "PC_HERO"}},
                           "timeline": [{"world": {"drop": ["hero"]}}]})",
                       "timeline[0].world.drop[0]: no item has the id \"hero\""},
        BrokenScenario{R"({"world": {"containers": [{"id": "c", "instance": "X", "lock": true}]}})",
                       "world.containers[0].lock: unknown field"},
        BrokenScenario{R"({"world": {"items": [{"id": "a", "instance": "X"}],
                                     "containers": [{"id": "c", "instance": "X",
                                                     "items": [{"id": "a", "instance": "X"}]}]}})",
                       "world.containers[0].items[0].id: the id \"a\" is used twice"},
        BrokenScenario{R"({"world": {"containers": [{"id": "c", "instance": "X", "state": 2}]}})",
                       "world.containers[0].state: expected a state from 0 to 1"},
        BrokenScenario{
            R"({"world": {"containers": [{"id": "c", "instance": "X", "condition": "Chest_Cond"}],
                          "scripts": {"functions": {"CHEST_COND_S1": 1}}}})",
            "world.containers[0].condition: the scripts have no function CHEST_COND (give it in "
            "scripts.functions)"},
        BrokenScenario{R"({"world": {"containers": [{"id": "c", "instance": "X"}]},
                           "timeline": [{"world": {"containers": [{"id": "c", "items": []}]}}]})",
                       "timeline[0].world.containers[0].items: a chest's items are given where it "
                       "is made"},
        BrokenScenario{R"({"world": {"items": [{"id": "a", "instance": "X"}]},
                           "timeline": [{"world": {"containers": [{"id": "a", "locked": true}]}}]})",
                       "timeline[0].world.containers[0].id: no chest has the id \"a\""},
        BrokenScenario{
            R"({"world": {"scripts": {"functions": {"Chest_Cond": 1, "CHEST_COND": 0}}}})",
            "world.scripts.functions.Chest_Cond: the function CHEST_COND is given twice "
            "(script names are compared ignoring case)"},
        BrokenScenario{R"({"world": {"scripts": {"functions": {"CHEST_COND": true}}}})",
                       "world.scripts.functions.CHEST_COND: expected a whole number"},
        BrokenScenario{R"({"world": {"symbols": {"ISFULLSNC": 1}},
                           "timeline": [{"world": {"scripts": {"functions": {"isFullSnc": 0}}}}]})",
                       "timeline[0].world.scripts.functions.isFullSnc: ISFULLSNC is a variable of "
                       "the scripts (world.symbols.ISFULLSNC); a symbol is a variable or a "
                       "function, not both"},
        BrokenScenario{R"({"world": {"focusRanges": {"chests": 100}}})",
                       "world.focusRanges.chests: unknown field"},
        BrokenScenario{R"({"timeline": [{"world": {"focusRanges": {"mobs": -1}}}]})",
                       "timeline[0].world.focusRanges.mobs: expected a distance of 0 or more"},
        BrokenScenario{
            R"({"world": {"player": {"id": "hero", "instance": "PC_HERO", "facing": [0, 1, 0]}}})",
            "world.player.facing: expected a direction along the ground (x or z not 0)"},
        BrokenScenario{R"({"world": {"camera": {"direction": [0, -1, 0]}}})",
                       "world.camera.direction: expected a direction not straight up or down "
                       "(x or z not 0)"},
        BrokenScenario{R"({"timeline": [{"world": {"camera": {"fieldOfView": 180}}}]})",
                       "timeline[0].world.camera.fieldOfView: expected an angle above 0 and "
                       "below 180 degrees"},
        BrokenScenario{R"({"world": {"camera": {"followPlayer": true, "position": [0, 0, 0]}}})",
                       "world.camera.followPlayer: a camera that follows the player takes its "
                       "own place and direction"},
        BrokenScenario{
            R"({"world": {"blockers": [{"id": "wall", "min": [0, 0, 0], "max": [10, 10, 0]}]}})",
            "world.blockers[0].max: expected a corner above min on every axis"},
        BrokenScenario{R"({"world": {"roomRegistry": {"rooms": "TAVERN"}}})",
                       "world.roomRegistry.rooms: expected a list of texts"},
        BrokenScenario{R"({"world": {"emptyNodes": {"items": [0, -1]}}})",
                       "world.emptyNodes.items: expected a list of places in the list, whole "
                       "numbers from 0"},
        BrokenScenario{R"({"world": {"emptyNodes": {"chests": [0]}}})",
                       "world.emptyNodes.chests: unknown field"},
        BrokenScenario{R"({"world": {"npcs": [{"id": "a", "instance": "X"}]},
                           "timeline": [{"world": {"npcs": [{"id": "a",
                                                             "emptyInventoryNodes": [0]}]}}]})",
                       "timeline[0].world.npcs[0].emptyInventoryNodes: an inventory's empty "
                       "nodes are given where it is made"},
        BrokenScenario{R"({"world": {"player": {"id": "hero", "instance": "PC_HERO",
                                                "focusList": ["chest", "ghost"]},
                                     "containers": [{"id": "chest", "instance": "X"}]}})",
                       "world.player.focusList[1]: no object has the id \"ghost\""}));

std::vector<nlohmann::ordered_json> JsonLines(const std::string& text) {
    std::vector<nlohmann::ordered_json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(nlohmann::ordered_json::parse(line));
    }
    return lines;
}

// Every file below a folder, relative to it with '/'.
std::vector<std::string> FilesBelow(const std::filesystem::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path().lexically_relative(folder).generic_string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The scenario's own folder is read, never written: the game plays over its game folder.
TEST(ScenarioRun, PlaysOverTheGameFolderAndEndsWithTheFixedStateKeys) {
    test::TempFolder scenarioFolder;
    scenarioFolder.Write("game/System/Gothic.ini", "[GAME]\r\nsubTitles=1\r\n");
    const std::string json = R"({
        "engine": "Gothic_II_Addon",
        "gameFolder": "game",
        "files": {"System/notes.txt": "written by the scenario"},
        "world": {"player": {"id": "hero", "instance": "PC_HERO"},
                  "items": [{"id": "gold", "instance": "ITMI_GOLD", "amount": 25}]},
        "timeline": [{"frames": 2}, {"save": 1},
                     {"options": {"VARKO_UNION_PILFERN": {"textureIdx": 1}}}]
    })";
    const Scenario scenario = ParseScenario(json, scenarioFolder.Path() / "scene.json");
    std::ostringstream out;
    RunScenario(scenario, RunOptions{true, std::nullopt}, out);

    const std::vector<nlohmann::ordered_json> lines = JsonLines(out.str());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().at("event"), "start");
    EXPECT_EQ(lines.front().at("registered"), true);
    const nlohmann::ordered_json& state = lines.back().at("state");
    std::vector<std::string> keys;
    for (const auto& item : state.items()) {
        keys.push_back(item.key());
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"lootHistory", "lootMessages", "targetMarkers",
                                              "autoLootActive", "historyVisible", "inventories",
                                              "worldItems", "containers", "files"}));
    EXPECT_EQ(state.at("worldItems"),
              nlohmann::ordered_json::parse(
                  R"([{"id": "gold", "instance": "ITMI_GOLD", "amount": 25}])"));
    // Only what the game wrote: the save with the plugin's history, and the Gothic.ini it
    // wrote at exit, which kept the
    // installed ini's lines and holds the value the options step set. The scenario's own notes
    // are not among them.
    std::vector<std::string> written;
    for (const auto& file : state.at("files").items()) {
        written.push_back(file.key());
    }
    EXPECT_EQ(written, (std::vector<std::string>{
                           "SAVES/current/NEWWORLD.SAV", "SAVES/current/SAVEDAT.SAV",
                           "SAVES/current/SAVEINFO.SAV", "SAVES/savegame1/NEWWORLD.SAV",
                           "SAVES/savegame1/PILFERN.SAV", "SAVES/savegame1/SAVEDAT.SAV",
                           "SAVES/savegame1/SAVEINFO.SAV", "System/Gothic.ini"}));
    EXPECT_EQ(state.at("files").at("SAVES/savegame1/SAVEINFO.SAV"), "world NEWWORLD.ZEN\n");
    const std::string ini = state.at("files").at("System/Gothic.ini");
    EXPECT_TRUE(ini.starts_with("[GAME]\r\nsubTitles=1\r\n[VARKO_UNION_PILFERN]\r\n")) << ini;
    EXPECT_EQ(IniFile::Parse(ini).Find("VARKO_UNION_PILFERN", "textureIdx"), "1");

    // Nothing was written beside the scenario.
    EXPECT_EQ(FilesBelow(scenarioFolder.Path()),
              (std::vector<std::string>{"game/System/Gothic.ini"}));
}

// A real installation holds gigabytes of archives: the game reads them where they lie.
TEST(ScenarioRun, ALargeGameFolderIsReadInPlaceAndOnlyWhatTheGameWroteIsDumped) {
    test::TempFolder scenarioFolder;
    scenarioFolder.Write("game/System/Gothic.ini", "[GAME]\r\nsubTitles=1\r\n");
    scenarioFolder.Write("game/System/SystemPack.ini", "[PARAMETERS]\r\n");
    scenarioFolder.Write("game/_work/data/Scripts/readme.txt", "scripts");
    const std::filesystem::path archive = scenarioFolder.Path() / "game" / "Data" / "Worlds.vdf";
    std::filesystem::create_directories(archive.parent_path());
    std::ofstream(archive, std::ios::binary).put('V');
    constexpr std::uintmax_t kArchiveSize = std::uintmax_t{4} << 30;
    std::filesystem::resize_file(archive, kArchiveSize);  // sparse: costs nothing on disk
    const auto installed = FilesBelow(scenarioFolder.Path() / "game");

    const std::string json = R"({
        "gameFolder": "game",
        "files": {"System/notes.txt": "Gr\u00fc\u00dfe"},
        "world": {"player": {"id": "hero", "instance": "PC_HERO"}},
        "timeline": [{"frames": 1}, {"save": 1}]
    })";
    const Scenario scenario = ParseScenario(json, scenarioFolder.Path() / "scene.json");
    const test::TempFolder work;
    std::ostringstream out;
    RunScenario(scenario, RunOptions{true, work.Path() / "game"}, out);

    // The working folder holds the player's file, in the game's code page, and what the game
    // wrote (the save, and Gothic.ini at exit); no copy of anything installed.
    EXPECT_EQ(FilesBelow(work.Path() / "game"),
              (std::vector<std::string>{
                  "SAVES/current/NEWWORLD.SAV", "SAVES/current/SAVEDAT.SAV",
                  "SAVES/current/SAVEINFO.SAV", "SAVES/savegame1/NEWWORLD.SAV",
                  "SAVES/savegame1/PILFERN.SAV", "SAVES/savegame1/SAVEDAT.SAV",
                  "SAVES/savegame1/SAVEINFO.SAV", "System/Gothic.ini", "System/notes.txt"}));
    std::ifstream notes(work.Path() / "game" / "System" / "notes.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(notes), {}),
              "Gr\xFC\xDF"
              "e");
    const nlohmann::ordered_json files = JsonLines(out.str()).back().at("state").at("files");
    EXPECT_EQ(files.size(), 8U);
    EXPECT_EQ(files.at("SAVES/savegame1/SAVEINFO.SAV"), "world NEWWORLD.ZEN\n");
    EXPECT_EQ(files.at("SAVES/savegame1/PILFERN.SAV"), "QUICK_LOOT DATA\n");
    EXPECT_TRUE(files.contains("System/Gothic.ini"));
    EXPECT_EQ(FilesBelow(scenarioFolder.Path() / "game"), installed);
    EXPECT_EQ(std::filesystem::file_size(archive), kArchiveSize);
}

// The game keeps Gothic.ini in memory: it adds every key it misses with its default, applies
// what its menu changes without reading the file again, and writes the file back at exit,
// over whatever a player wrote into it while the game ran.
TEST(ScenarioRun, TheGameKeepsItsOptionsInMemoryAndWritesThemAtExit) {
    const std::string json = R"({
        "files": {"System/Gothic.ini": "[GAME]\r\nsubTitles=1\r\n"},
        "world": {"player": {"id": "hero", "instance": "PC_HERO"}},
        "timeline": [
            {"files": {"System/Gothic.ini": "[VARKO_UNION_PILFERN]\r\nmaxDistanceAutoLoot=9\r\n"}},
            {"options": {}},
            {"options": {"VARKO_UNION_PILFERN": {"maxDistanceAutoLoot": 0}}}]
    })";
    const Scenario scenario = ParseScenario(json, "scene.json");
    const test::TempFolder work;
    std::ostringstream out;
    RunScenario(scenario, RunOptions{true, work.Path() / "game"}, out);

    // What the plugin uses after each options step: the file edited during play changed
    // nothing, the menu's value did.
    std::vector<nlohmann::ordered_json> changes;
    for (const nlohmann::ordered_json& line : JsonLines(out.str())) {
        if (line.contains("event") && line.at("event") == "settings") {
            changes.push_back(line.at("changed"));
        }
    }
    EXPECT_EQ(changes, (std::vector<nlohmann::ordered_json>{
                           nlohmann::ordered_json::parse(R"({"autoLootDistance": 200})")}));

    const std::string ini =
        JsonLines(out.str()).back().at("state").at("files").at("System/Gothic.ini");
    const IniFile written = IniFile::Parse(ini);
    EXPECT_TRUE(ini.starts_with("[GAME]\r\nsubTitles=1\r\n"))
        << "the edit during play is overwritten";
    // Every key the plugin read, with the default it was read with, as the game writes it.
    for (const OptionEntry& entry : kOptionCatalogue) {
        if (entry.source != OptionSource::GameIni || entry.mode == OptionMode::NewBalance) {
            continue;
        }
        SCOPED_TRACE(entry.key);
        if (entry.key == "maxDistanceAutoLoot") {
            EXPECT_EQ(written.Find(kOptionSection, entry.key), "0") << "set by the menu";
        } else if (ReaderOf(entry.kind) == OptionReader::Text) {
            EXPECT_EQ(written.Find(kOptionSection, entry.key),
                      std::string(DefaultTextFor(entry, 0)));
        } else {
            EXPECT_EQ(written.Find(kOptionSection, entry.key), std::to_string(entry.defaultNumber));
        }
    }
}

// The game events of a step are reported with it, in the order they happened and before what
// they led to: the plugin clears the key buffer when ESC hides its history, so the second ESC
// reaches the game. Chests are summed up at the end.
TEST(ScenarioRun, ReportsGameEventsWithTheStepTheyHappenInAndChestsAtTheEnd) {
    const std::string json = R"({
        "world": {"player": {"id": "hero", "instance": "PC_HERO"},
                  "containers": [{"id": "chest1", "instance": "MOB_CHEST", "locked": true,
                                  "items": [{"id": "gold", "instance": "ITMI_GOLD",
                                             "amount": 25}]}]},
        "timeline": [{"frames": 2, "hold": ["KEY_RSHIFT"], "press": ["KEY_SEMICOLON"]},
                     {"frames": 1, "press": ["KEY_ESCAPE"]},
                     {"frames": 1, "press": ["KEY_ESCAPE"]},
                     {"world": {"spawn": {"containers": [
                         {"id": "crate", "instance": "MOB_CRATE",
                          "items": [{"id": "apple", "instance": "ITFO_APPLE", "amount": 3}]}]}}}]
    })";
    const Scenario scenario = ParseScenario(json, "scene.json");
    std::ostringstream out;
    RunScenario(scenario, RunOptions{true, std::nullopt}, out);
    std::vector<std::string> kinds;
    const std::vector<nlohmann::ordered_json> lines = JsonLines(out.str());
    for (const nlohmann::ordered_json& line : lines) {
        if (line.contains("event") && line.at("event") != "start" && line.at("event") != "init") {
            kinds.push_back(line.at("event"));
        }
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"frames", "historyOverlay", "frames",
                                               "keyBufferCleared", "historyOverlay", "frames",
                                               "gameKey", "world", "container"}));
    EXPECT_EQ(lines.at(lines.size() - 2),
              nlohmann::ordered_json::parse(R"({"t": 64, "event": "container", "container": "crate",
                                                "instance": "ITFO_APPLE", "change": 3})"));
    EXPECT_EQ(lines.back().at("state").at("containers"), nlohmann::ordered_json::parse(R"({
        "chest1": {"items": [{"id": "gold", "instance": "ITMI_GOLD", "amount": 25}],
                   "locked": true, "state": 0, "user": null, "changing": null},
        "crate": {"items": [{"id": "apple", "instance": "ITFO_APPLE", "amount": 3}],
                  "locked": false, "state": 0, "user": null, "changing": null}})"));

    std::ostringstream words;
    RunScenario(scenario, RunOptions{false, std::nullopt}, words);
    const std::string text = words.str();
    EXPECT_LT(text.find("the key buffer is cleared"), text.find("loot history hidden")) << text;
    EXPECT_NE(text.find("chest crate gets 3x ITFO_APPLE"), std::string::npos) << text;
    EXPECT_NE(text.find("  chest chest1 holds: 25x ITMI_GOLD; locked, state 0\n"
                        "  chest crate holds: 3x ITFO_APPLE; unlocked, state 0\n"),
              std::string::npos)
        << text;
}

// A history at its limit pushes out a row identical to the one it takes in: the list looks
// the same, yet each record is reported, once.
TEST(ScenarioRun, EveryLootRecordIsReportedOnceAlsoWhenTheHistoryIsFull) {
    const std::string json = R"({
        "files": {"System/Gothic.ini": "[VARKO_UNION_PILFERN]\r\nhistoryCntRowsInColumn=1\r\n"},
        "instances": {"ITFO_APPLE": {"name": "Apple"}},
        "world": {
            "player": {"id": "hero", "instance": "PC_HERO", "focus": "a1",
                       "focusList": ["a2", "a3", "a4"]},
            "items": [{"id": "a1", "instance": "ITFO_APPLE", "position": [0, 0, 100]},
                      {"id": "a2", "instance": "ITFO_APPLE", "position": [0, 0, 110]},
                      {"id": "a3", "instance": "ITFO_APPLE", "position": [0, 0, 120]},
                      {"id": "a4", "instance": "ITFO_APPLE", "position": [0, 0, 130]}]
        },
        "timeline": [{"frames": 4, "hold": ["KEY_V"]}]
    })";
    const Scenario scenario = ParseScenario(json, "scene.json");
    std::ostringstream out;
    RunScenario(scenario, RunOptions{true, std::nullopt}, out);
    int rows = 0;
    int messages = 0;
    for (const nlohmann::ordered_json& line : JsonLines(out.str())) {
        const std::string kind = line.value("event", "");
        rows += kind == "loot" ? 1 : 0;
        messages += kind == "message" ? 1 : 0;
    }
    EXPECT_EQ(rows, 4);
    EXPECT_EQ(messages, 4);
    EXPECT_EQ(JsonLines(out.str()).back().at("state").at("lootHistory").size(), 2U);
}

TEST(ScenarioRun, RefusesAGameDirInsideTheScenariosGameFolder) {
    test::TempFolder scenarioFolder;
    scenarioFolder.Write("game/System/Gothic.ini", "");
    const Scenario scenario =
        ParseScenario(R"({"gameFolder": "game"})", scenarioFolder.Path() / "scene.json");
    std::ostringstream out;
    EXPECT_THROW(
        RunScenario(scenario, RunOptions{false, scenarioFolder.Path() / "game" / "work"}, out),
        ScenarioError);
    EXPECT_FALSE(std::filesystem::exists(scenarioFolder.Path() / "game" / "work"));
}

TEST(ScenarioRun, KeepsTheChosenGameDir) {
    test::TempFolder work;
    const Scenario scenario =
        ParseScenario(R"({"files": {"System/Gothic.ini": ""}})", "scene.json");
    std::ostringstream out;
    RunScenario(scenario, RunOptions{false, work.Path() / "game"}, out);
    EXPECT_TRUE(std::filesystem::exists(work.Path() / "game" / "System" / "Gothic.ini"));
}

// A game folder that holds the temporary folder would take the game's writes as writes into
// the installation, which never land: the run is refused before it plays.
TEST(ScenarioRun, RefusesAGameFolderThatHoldsTheTemporaryFolder) {
    test::TempFolder scenarioFolder;
    scenarioFolder.Write("game/System/Gothic.ini", "[GAME]\r\n");
    const Scenario scenario = ParseScenario(R"({"gameFolder": "game", "timeline": [{"save": 1}]})",
                                            scenarioFolder.Path() / "scene.json");
    RunOptions options;
    options.json = true;
    options.temporaryRoot = scenarioFolder.Path() / "game" / "tmp";
    std::filesystem::create_directories(*options.temporaryRoot);
    std::ostringstream out;
    try {
        RunScenario(scenario, options, out);
        ADD_FAILURE() << "the run played";
    } catch (const ScenarioError& error) {
        const std::string what = error.what();
        EXPECT_NE(what.find("gameFolder"), std::string::npos) << what;
        EXPECT_NE(what.find("holds the temporary folder " +
                            options.temporaryRoot->lexically_normal().generic_string()),
                  std::string::npos)
            << what;
    }
    EXPECT_EQ(out.str(), "");
    EXPECT_TRUE(std::filesystem::is_empty(*options.temporaryRoot));

    // With a temporary folder elsewhere the same scenario plays.
    options.temporaryRoot.reset();
    RunScenario(scenario, options, out);
    EXPECT_FALSE(out.str().empty());
}

// A request to stop (Ctrl-C) ends the run by unwinding, which removes its temporary folder.
class InterruptedRun : public ::testing::Test {
protected:
    ~InterruptedRun() override { ClearStopRequest(); }
};

TEST_F(InterruptedRun, ThrowsAndLeavesNoTemporaryFolder) {
    const test::TempFolder temporaryRoot;
    const std::string json = R"({
        "files": {"System/Gothic.ini": "[GAME]\r\n"},
        "timeline": [{"frames": 3}, {"save": 1}]
    })";
    const Scenario scenario = ParseScenario(json, "scene.json");
    RunOptions options;
    options.json = true;
    options.temporaryRoot = temporaryRoot.Path();
    RequestStop();
    std::ostringstream out;
    EXPECT_THROW(RunScenario(scenario, options, out), RunInterrupted);
    EXPECT_TRUE(std::filesystem::is_empty(temporaryRoot.Path()));
    // It stopped in the first step: no save, no state.
    const std::vector<nlohmann::ordered_json> lines = JsonLines(out.str());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().at("event"), "frames");
}

}  // namespace
}  // namespace pilfern::sim
