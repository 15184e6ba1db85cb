#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "sim/history_report.h"
#include "sim/scenario/runner.h"
#include "sim/scenario/scenario.h"
#include "support/temp_folder.h"

namespace pilfern::sim {
namespace {

// The events of a bundled scenario played to its end, or, without its timeline, only its
// start.
std::vector<nlohmann::json> PlayExample(const std::string& name, bool withTimeline = true,
                                        bool explain = false) {
    Scenario scenario = LoadScenario(std::filesystem::path(PILFERN_EXAMPLES_DIR) / name);
    if (!withTimeline) {
        scenario.timeline.clear();
    }
    std::ostringstream out;
    RunOptions options{true, std::nullopt};
    options.explain = explain;
    RunScenario(scenario, options, out);
    std::vector<nlohmann::json> events;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        events.push_back(nlohmann::json::parse(line));
    }
    return events;
}

// What the player sees change in the run: the two switches, ESC reaching the game, loot.
std::vector<std::string> Changes(const std::vector<nlohmann::json>& events) {
    std::vector<std::string> changes;
    for (const nlohmann::json& event : events) {
        const std::string kind = event.value("event", "");
        if (kind == "historyOverlay") {
            changes.push_back(event.at("visible").get<bool>() ? "overlay shown" : "overlay hidden");
        } else if (kind == "autoLoot") {
            changes.push_back(event.at("active").get<bool>() ? "auto-loot on" : "auto-loot off");
        } else if (kind == "gameKey" || kind == "loot") {
            changes.push_back(kind);
        }
    }
    return changes;
}

TEST(Examples, HotKeysToggleTheOverlayAndAutoLootWithoutLootingAnything) {
    const auto events = PlayExample("hot-keys.json");
    EXPECT_EQ(Changes(events), (std::vector<std::string>{"overlay shown", "overlay hidden",
                                                         "gameKey", "auto-loot on", "auto-loot off",
                                                         "overlay shown", "overlay hidden"}));
    EXPECT_TRUE(events.back().at("state").at("lootHistory").empty());
}

// The amount of each instance over every place an item can be, from a state dump.
std::map<std::string, int> Amounts(const nlohmann::json& state) {
    std::map<std::string, int> amounts;
    const auto add = [&amounts](const nlohmann::json& items) {
        for (const nlohmann::json& item : items) {
            amounts[item.at("instance").get<std::string>()] += item.at("amount").get<int>();
        }
    };
    add(state.at("worldItems"));
    for (const auto& [npc, items] : state.at("inventories").items()) {
        add(items);
    }
    for (const auto& [chest, content] : state.at("containers").items()) {
        add(content.at("items"));
    }
    return amounts;
}

// Looting moves items and makes none: every item that left the ground, a corpse or a chest
// arrived in the hero's inventory, and each stack taken has one message and one history row.
void ExpectLootingConserved(const std::string& example) {
    SCOPED_TRACE(example);
    const auto start = PlayExample(example, false);
    const auto events = PlayExample(example);
    EXPECT_EQ(Amounts(events.back().at("state")), Amounts(start.back().at("state")));
    int rows = 0;
    int messages = 0;
    int stacksLeft = 0;
    for (const nlohmann::json& event : events) {
        const std::string kind = event.value("event", "");
        rows += kind == "loot" ? 1 : 0;
        messages += kind == "message" ? 1 : 0;
        const bool lost =
            (kind == "inventory" || kind == "container") && event.at("change").get<int>() < 0;
        stacksLeft += (lost || kind == "itemGone") ? 1 : 0;
    }
    EXPECT_GT(rows, 0);
    EXPECT_EQ(rows, stacksLeft);
    EXPECT_EQ(messages, stacksLeft);
}

TEST(Examples, LootingMovesEveryItemOnceWithOneMessageAndOneRow) {
    ExpectLootingConserved("khorinis-looting.json");
    ExpectLootingConserved("colony-looting.json");
    ExpectLootingConserved("camp-auto-loot.json");
    ExpectLootingConserved("corpse-after-load.json");
}

// The corpses after the savegame load: their inventories packed but for the armour the bandit
// wears, and everything else looted all the same, the bandit by key, the wolf by auto-loot.
TEST(Examples, CorpsesAfterASavegameLoadAreLootedOfWhatTheyKeptPacked) {
    Scenario scenario =
        LoadScenario(std::filesystem::path(PILFERN_EXAMPLES_DIR) / "corpse-after-load.json");
    const auto load =
        std::find_if(scenario.timeline.begin(), scenario.timeline.end(),
                     [](const Step& step) { return std::holds_alternative<LoadStep>(step); });
    ASSERT_NE(load, scenario.timeline.end());
    scenario.timeline.erase(load + 1, scenario.timeline.end());
    std::ostringstream out;
    RunScenario(scenario, RunOptions{true, std::nullopt}, out);
    std::string last;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        last = line;
    }
    const nlohmann::json loaded = nlohmann::json::parse(last).at("state").at("inventories");
    EXPECT_EQ(loaded.at("bandit"), nlohmann::json::parse(R"([
        {"instance": "ITAR_BDT_M", "amount": 1},
        {"instance": "ITMI_GOLD", "amount": 14, "packed": true},
        {"instance": "ITMW_1H_BAU_AXE", "amount": 1, "packed": true}])"));
    EXPECT_EQ(loaded.at("wolf"), nlohmann::json::parse(R"([
        {"instance": "ITAT_WOLFFUR", "amount": 1, "packed": true},
        {"instance": "ITFOMUTTONRAW", "amount": 2, "packed": true}])"));

    std::vector<std::string> looted;
    for (const nlohmann::json& event : PlayExample("corpse-after-load.json")) {
        if (event.value("event", "") == "loot") {
            looted.push_back(event.at("text").get<std::string>() + " from " +
                             event.at("source").get<std::string>());
        }
    }
    EXPECT_EQ(looted,
              (std::vector<std::string>{"(M) Gold x14 from Bandit", "(M) Sickle x1 from Bandit",
                                        "Wolf Fur x1 from Wolf", "Raw Meat x2 from Wolf"}));
}

// Auto-loot in the camp: what is in range and in view goes in the first period, the corpses
// one a period, and the beer behind the palisade stays.
TEST(Examples, AutoLootInTheCampTakesOneCorpseAPeriodAndNothingBehindThePalisade) {
    const auto events = PlayExample("camp-auto-loot.json");
    std::map<std::uint32_t, std::vector<std::string>> looted;  // by time
    for (const nlohmann::json& event : events) {
        if (event.value("event", "") == "loot") {
            looted[event.at("t").get<std::uint32_t>()].push_back(
                event.at("text").get<std::string>() +
                (event.at("source") == "" ? "" : " from " + event.at("source").get<std::string>()));
        }
    }
    std::vector<std::vector<std::string>> periods;
    for (const auto& [time, rows] : looted) {
        periods.push_back(rows);
    }
    EXPECT_EQ(periods, (std::vector<std::vector<std::string>>{
                           {"Gold x12", "Apple x1", "Sausage x1", "Gold x14 from Bandit"},
                           {"Sickle x1 from Bandit", "Gold x8 from Bandit"},
                           {"Beer x1 from Bandit"},
                           {"Ore Nugget x1"}}));
    const auto& ground = events.back().at("state").at("worldItems");
    std::vector<std::string> left;
    for (const nlohmann::json& item : ground) {
        left.push_back(item.at("id").get<std::string>());
    }
    EXPECT_EQ(left, (std::vector<std::string>{"beer", "hammer", "blade"}));
}

// An auto-loot step runs inside the game's frame: judging the objects around the player, the
// corpses' inventories included, takes nothing from the framework's heap; only what is taken
// makes records.
TEST(Examples, AutoLootStepsThatTakeNothingDoNoHeapWork) {
    Scenario scenario =
        LoadScenario(std::filesystem::path(PILFERN_EXAMPLES_DIR) / "camp-auto-loot.json");
    std::ostringstream out;
    RunOptions options{true, std::nullopt};
    options.calls = true;
    RunScenario(scenario, options, out);
    std::set<std::uint32_t> looting;
    std::vector<nlohmann::json> frames;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        const auto event = nlohmann::json::parse(line);
        if (event.value("event", "") == "loot") {
            looting.insert(event.at("t").get<std::uint32_t>());
        } else if (event.value("event", "") == "calls" && event.at("step") == "frame" &&
                   event.at("engine").contains("eng_world_npc_list")) {
            frames.push_back(event);
        }
    }
    int judgingOnly = 0;
    for (const nlohmann::json& frame : frames) {
        if (!looting.contains(frame.at("t").get<std::uint32_t>())) {
            ++judgingOnly;
            EXPECT_EQ(frame.at("heap").at("allocations"), 0) << frame.dump();
        }
    }
    EXPECT_GT(judgingOnly, 2);
}

// --explain says why each object near the player was left, in the player's words.
TEST(Examples, ExplainNamesTheWallTheDistanceAndTheRoom) {
    std::map<std::string, std::set<std::string>> why;  // object -> words
    for (const nlohmann::json& event : PlayExample("camp-auto-loot.json", true, true)) {
        if (event.value("event", "") == "autoLootLeft") {
            why[event.at("object").get<std::string>()].insert(
                event.at("reason").get<std::string>() + ": " +
                event.at("words").get<std::string>());
        }
    }
    EXPECT_EQ(why["beer"], (std::set<std::string>{"notInView: not in direct view (palisade)",
                                                  "tooFar: too far (980 > 600)"}));
    EXPECT_EQ(why["hammer"], (std::set<std::string>{"tooFar: too far (609 > 600)",
                                                    "tooFar: too far (1114 > 600)"}));
    EXPECT_EQ(why["blade"],
              (std::set<std::string>{"otherRoom: in another room (you: SMITHY, item: STOREROOM)"}));
    EXPECT_TRUE(why["bandit-1"].contains("nothingToTake: nothing left to take"));
    EXPECT_FALSE(why.contains("gold")) << "what was taken is not explained";
}

TEST(Examples, TheGothicOneCorpseKeepsItsArmourAndGivesUpItsWornSword) {
    const auto state = PlayExample("colony-looting.json").back().at("state");
    EXPECT_EQ(state.at("inventories").at("guard"),
              nlohmann::json::parse(R"([{"instance": "ITAR_GRD_L", "amount": 1}])"));
    EXPECT_TRUE(state.at("containers").at("ore-chest").at("items").empty());
}

// What an NPC holds in its hands is in the world's item list, but neither the loot key nor
// auto-loot takes it: only the ground's gold and apple go, and the torch lies on the ground
// only once it is dropped.
TEST(Examples, WhatTheGuardHoldsStaysInHisHandsWhileTheGroundIsLooted) {
    const auto events = PlayExample("torch-bearer.json", true, true);
    std::vector<std::string> looted;
    std::set<std::string> leftInHand;
    for (const nlohmann::json& event : events) {
        const std::string kind = event.value("event", "");
        if (kind == "loot") {
            looted.push_back(event.at("text").get<std::string>());
        } else if (kind == "autoLootLeft" && event.at("reason") == "worn") {
            leftInHand.insert(event.at("object").get<std::string>() + ": " +
                              event.at("words").get<std::string>());
        }
    }
    EXPECT_EQ(looted, (std::vector<std::string>{"(M) Gold x7", "Apple x1"}));
    EXPECT_EQ(leftInHand, (std::set<std::string>{"sword: in the hand of guard",
                                                 "torch: in the hand of guard"}));
    const auto& state = events.back().at("state");
    EXPECT_EQ(state.at("inventories").at("guard"),
              nlohmann::json::parse(R"([{"instance": "ITMW_1H_MIL_SWORD", "amount": 1}])"));
    std::vector<std::string> ground;
    for (const nlohmann::json& item : state.at("worldItems")) {
        ground.push_back(item.at("id").get<std::string>());
    }
    EXPECT_EQ(ground, (std::vector<std::string>{"torch"})) << "dropped, it lies on the ground";
}

TEST(Examples, TheDemoScenarioPlaysToTheEnd) {
    const auto events = PlayExample("bandit-camp.json");
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().at("registered"), true);
    EXPECT_TRUE(events.back().contains("state"));
}

// The tour that ./dev demo plays shows every feature in turn, each where its screenshot is.
TEST(Examples, TheTourShowsEveryFeatureInTurn) {
    const auto events = PlayExample("khorinis-tour.json");
    std::vector<std::string> seen;
    for (const nlohmann::json& event : events) {
        const std::string kind = event.value("event", "");
        if (kind == "autoLoot" || kind == "historyOverlay") {
            seen.push_back(kind + (event.at(kind == "autoLoot" ? "active" : "visible").get<bool>()
                                       ? " on"
                                       : " off"));
        } else if (kind == "save" || kind == "historyLoaded" || kind == "notice") {
            seen.push_back(kind);
        } else if (kind == "messageExpired" && (seen.empty() || seen.back() != kind)) {
            seen.push_back(kind);
        }
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"messageExpired", "autoLoot on", "messageExpired",
                                              "historyOverlay on", "historyOverlay off", "save",
                                              "messageExpired", "historyLoaded", "autoLoot off",
                                              "notice"}));
    // Looted by key: ground items, the corpse and the locked chest; then by auto-loot.
    const nlohmann::json& state = events.back().at("state");
    EXPECT_TRUE(state.at("worldItems").empty());
    EXPECT_TRUE(state.at("containers").at("bandit-chest").at("items").empty());
    EXPECT_EQ(state.at("lootHistory").size(), 12U);
    EXPECT_FALSE(state.at("autoLootActive").get<bool>());
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line) && !line.empty();) {
        lines.push_back(line);
    }
    return lines;
}

bool Tells(const std::vector<std::string>& lines, std::string_view words) {
    return std::any_of(lines.begin(), lines.end(), [words](const std::string& line) {
        return line.find(words) != std::string::npos;
    });
}

// ./dev demo prints the tour's brief log: its notes and what the player sees happen, a line
// each, taken from the full log, without the game's inner workings.
TEST(Examples, TheBriefLogTellsTheTourAndNothingElse) {
    const Scenario tour =
        LoadScenario(std::filesystem::path(PILFERN_EXAMPLES_DIR) / "khorinis-tour.json");
    std::ostringstream full;
    RunScenario(tour, RunOptions{}, full);
    RunOptions briefly;
    briefly.brief = true;
    std::ostringstream brief;
    RunScenario(tour, briefly, brief);

    const std::vector<std::string> fullLines = LinesOf(full.str());
    const std::vector<std::string> briefLines = LinesOf(brief.str());
    const std::set<std::string> inFull(fullLines.begin(), fullLines.end());
    for (const std::string& line : briefLines) {
        EXPECT_TRUE(inFull.contains(line)) << "not a line of the full log: " << line;
    }
    for (const std::string_view words :
         {"-- V empties the bandit's corpse", "loot: (M) Gold x25 from Bandit  [plain]",
          "message gone: Apple x1", "holding KEY_RSHIFT, pressing KEY_APOSTROPHE",
          "auto-loot switched on", "loot history shown", "saving slot 1",
          "loot history after loading: 12 rows", "auto-loot switched off",
          "on screen: \"Found wisp, autoloot will disable.\""}) {
        EXPECT_TRUE(Tells(briefLines, words)) << words;
    }
    for (const std::string_view words :
         {"hero gets", "message: ", "script CHEST_BANDITCAMP_COND", "state 0 \u2192 1",
          "the world changes", "frames of 50 ms", "             Gold x8 from Bandit"}) {
        EXPECT_FALSE(Tells(briefLines, words)) << words;
        EXPECT_TRUE(Tells(fullLines, words)) << "the full log tells " << words;
    }
    EXPECT_LT(briefLines.size() * 2, fullLines.size());
}

// The history travels with the savegame: the rows at the save come back at the load, though
// the player looted the chest in between, and the slot's file holds them.
// The history rows made before a run's first save, newest first, and the rows its load
// brought back.
struct SavedAndLoaded {
    std::vector<nlohmann::json> rowsAtSave;
    std::optional<nlohmann::json> loaded;
};

SavedAndLoaded HistoryAroundTheSave(const std::vector<nlohmann::json>& events) {
    SavedAndLoaded history;
    bool saved = false;
    for (const nlohmann::json& event : events) {
        const std::string kind = event.value("event", "");
        saved = saved || kind == "save";
        if (kind == "loot" && !saved) {
            history.rowsAtSave.insert(history.rowsAtSave.begin(),
                                      nlohmann::json{{"text", event.at("text")},
                                                     {"source", event.at("source")},
                                                     {"category", event.at("category")}});
        } else if (kind == "historyLoaded") {
            history.loaded = event.at("rows");
        }
    }
    return history;
}

TEST(Examples, ALoadBringsBackTheHistoryOfItsSave) {
    const auto events = PlayExample("savegame-history.json");
    const auto [rowsAtSave, loaded] = HistoryAroundTheSave(events);
    ASSERT_EQ(rowsAtSave.size(), 5U) << "five records before the save";
    ASSERT_TRUE(loaded);
    EXPECT_EQ(*loaded, nlohmann::json(rowsAtSave));
    const nlohmann::json& state = events.back().at("state");
    EXPECT_EQ(state.at("lootHistory"), nlohmann::json(rowsAtSave));
    EXPECT_TRUE(state.at("historyVisible").get<bool>());
    const std::string file = state.at("files").at("SAVES/savegame3/PILFERN.SAV");
    EXPECT_EQ(file.substr(0, file.find('\n')), "QUICK_LOOT DATA");
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 6);
}

// A chest named "Chest, old" holding "Bread, old": the file has no escaping, and the rows
// still come back with their commas where they were.
TEST(Examples, CommasInTheSourceAndTheTextSurviveASaveAndALoad) {
    const auto [rowsAtSave, loaded] = HistoryAroundTheSave(PlayExample("chest-with-commas.json"));
    ASSERT_EQ(rowsAtSave.size(), 3U);
    EXPECT_EQ(rowsAtSave.at(1).at("text"), "Bread, old x1");
    EXPECT_EQ(rowsAtSave.at(1).at("source"), "Chest, old");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(*loaded, nlohmann::json(rowsAtSave));
}

// Loaded in a sheep's body, the hero loots into the body he is in; back in his own body, into
// his own. The sheep grazing further off, of the same instance, gets nothing.
TEST(Examples, AHeroLoadedTransformedNeverFeedsAStrangerOfHisCreaturesKind) {
    const auto events = PlayExample("transformed-save.json");
    const nlohmann::json& inventories = events.back().at("state").at("inventories");
    EXPECT_EQ(inventories.at("hero-sheep"), nlohmann::json::parse(R"([{"instance": "ITFO_APPLE",
                                                                      "amount": 1}])"));
    EXPECT_EQ(inventories.at("hero"),
              nlohmann::json::parse(R"([{"instance": "ITMI_GOLD", "amount": 30}])"));
    EXPECT_TRUE(inventories.at("grazing").empty());
}

// The player's loot log of that run, in the three forms the history command gives.
TEST(Examples, TheHistoryCommandListsTheSavedRowsInEveryForm) {
    const test::TempFolder work;
    const Scenario scenario =
        LoadScenario(std::filesystem::path(PILFERN_EXAMPLES_DIR) / "savegame-history.json");
    std::ostringstream run;
    RunScenario(scenario, RunOptions{true, work.Path() / "game"}, run);

    const auto report = [&work](HistoryFormat format) {
        std::ostringstream out;
        WriteHistoryReport({work.Path() / "game", format, std::nullopt}, out);
        return out.str();
    };
    const std::string text = report(HistoryFormat::Text);
    EXPECT_NE(text.find("savegame3"), std::string::npos) << text;
    EXPECT_NE(text.find("(M) Letter to the Bandits x1 (Bandit)"), std::string::npos) << text;
    EXPECT_EQ(text.find("Torch"), std::string::npos) << "looted after the save: " << text;

    // The load copied the savegame, the history file with it, into "current".
    const std::string csv = report(HistoryFormat::Csv);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 11) << csv;
    EXPECT_NE(csv.find("savegame3,4,(M) Apple x1,,1\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("current,4,(M) Apple x1,,1\n"), std::string::npos) << csv;

    const nlohmann::json json = nlohmann::json::parse(report(HistoryFormat::Json));
    ASSERT_EQ(json.at("slots").size(), 2U);
    EXPECT_EQ(json.at("slots").at(0).at("slot"), "savegame3");
    const nlohmann::json& rows = json.at("slots").at(0).at("rows");
    ASSERT_EQ(rows.size(), 5U);
    EXPECT_EQ(rows.at(2).at("text"), "(M) Club x1");
    EXPECT_EQ(rows.at(2).at("source"), "Bandit");
    EXPECT_EQ(rows.at(2).at("category"), 3);
}

// Loot taken after a save goes on through two level changes into the next save; the savegame
// before keeps what was saved into it, and a new game starts without a history. Whatever the
// engine's copies take along, no level change and no new game writes a savegame's history.
TEST(Examples, ALevelChangeKeepsTheHistoryAndANewGameStartsWithoutOne) {
    for (const bool allFiles : {true, false}) {
        SCOPED_TRACE(allFiles ? "the copies take all files" : "the copies take the game's own");
        Scenario scenario =
            LoadScenario(std::filesystem::path(PILFERN_EXAMPLES_DIR) / "level-change.json");
        scenario.copiesAllSlotFiles = allFiles;
        const test::TempFolder work;
        std::ostringstream out;
        RunScenario(scenario, RunOptions{true, work.Path() / "game"}, out);
        std::vector<std::size_t> rows;
        nlohmann::json last;
        std::istringstream lines(out.str());
        for (std::string line; std::getline(lines, line);) {
            last = nlohmann::json::parse(line);
            if (last.value("event", "") == "historyLoaded") {
                rows.push_back(last.at("rows").size());
            }
        }
        // After each level change, load and the new game.
        EXPECT_EQ(rows, (std::vector<std::size_t>{2, 3, 1, 3, 0, 3}));
        const nlohmann::json& files = last.at("state").at("files");
        EXPECT_EQ(files.at("SAVES/savegame1/PILFERN.SAV"),
                  "QUICK_LOOT DATA\n(M) Gold x25,1,EMPTY\n");
        EXPECT_EQ(files.at("SAVES/savegame2/PILFERN.SAV"),
                  "QUICK_LOOT DATA\n(M) Ore Nugget x3,1,EMPTY\n(M) Apple x1,1,EMPTY\n"
                  "(M) Gold x25,1,EMPTY\n");
        EXPECT_EQ(files.at("SAVES/quicksave/PILFERN.SAV"), "QUICK_LOOT DATA\n");
        EXPECT_EQ(files.contains("SAVES/current/PILFERN.SAV"), allFiles)
            << "only a copy of everything brings the loaded slot's history into current";
    }
}

}  // namespace
}  // namespace pilfern::sim
