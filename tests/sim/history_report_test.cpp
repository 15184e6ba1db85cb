#include "sim/history_report.h"

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "host/cstring.h"
#include "platform/platform.h"
#include "support/looting_game.h"
#include "support/temp_folder.h"

namespace pilfern::sim {
namespace {

using Json = nlohmann::ordered_json;

// A history as a Russian player's file holds it (the game prints in code page 1251): written
// with a byte-order mark, with a comma and quotes in texts, Cyrillic, a broken byte, a
// category no colour class has, a line the plugin skips (its source is only blanks, so the
// line ends in a comma once trimmed) and a line starting with a comma, after which the
// plugin reads nothing.
constexpr int kPlayersCodePage = 1251;
constexpr std::string_view kPlayersHistory =
    "\xEF\xBB\xBFQUICK_LOOT DATA\n"
    "(M) Ring x1,2,Bandit\n"
    "Gold x25,1,EMPTY\n"
    "Sword, old x1,3,Old chest\n"
    "\"Dragon\" egg,2,empty\n"
    "Меч x1,3,Бандит\n"
    "Bad \xFF byte,4,Thief\n"
    "Odd thing,7,EMPTY\n"
    "No source,1,  \t\n"
    "Scroll x1,5, Bandit\n"
    ",1,EMPTY\n"
    "After the stop,1,EMPTY\n";

// A game folder with savegames, and reports on it.
class HistoryReport : public ::testing::Test {
protected:
    // Writes a slot's PILFERN.SAV and answers the slot folder.
    std::filesystem::path Slot(std::string_view slot, std::string_view content,
                               std::string_view fileName = "PILFERN.SAV") const {
        const std::string folder = "game/Saves/" + std::string(slot);
        root.Write(folder + "/" + std::string(fileName), content);
        return root.Path() / std::filesystem::path(folder).make_preferred();
    }
    [[nodiscard]] std::filesystem::path Game() const { return root.Path() / "game"; }

    static std::string Report(const std::filesystem::path& path, HistoryFormat format,
                              std::optional<std::string> grep = std::nullopt, int codePage = 1252) {
        std::ostringstream out;
        WriteHistoryReport(HistoryReportRequest{path, format, std::move(grep), codePage}, out);
        return out.str();
    }
    // The text report with the file's path, which differs on every run, as FILE.
    static std::string TextReport(const std::filesystem::path& slot,
                                  std::optional<std::string> grep = std::nullopt,
                                  int codePage = 1252) {
        std::string text = Report(slot, HistoryFormat::Text, std::move(grep), codePage);
        const std::string file = PathText(slot / "PILFERN.SAV");
        for (std::size_t at = text.find(file); at != std::string::npos; at = text.find(file)) {
            text.replace(at, file.size(), "FILE");
        }
        return text;
    }

    test::TempFolder root;
};

TEST_F(HistoryReport, EveryFormShowsTheRowsAsThePluginLoadsThem) {
    const std::filesystem::path slot = Slot("savegame3", kPlayersHistory);

    EXPECT_EQ(TextReport(slot, std::nullopt, kPlayersCodePage),
              "savegame3 (FILE): 8 rows\n"
              "  0  rare/quest            (M) Ring x1 (Bandit)\n"
              "  1  ordinary              Gold x25\n"
              "  2  weapon                Sword, old x1 (Old chest)\n"
              "  3  rare/quest            \"Dragon\" egg\n"
              "  4  weapon                Меч x1 (Бандит)\n"
              "  5  armour/rings/amulets  Bad ? byte (Thief)\n"
              "  6  category 7            Odd thing\n"
              "  7  books/scrolls/runes   Scroll x1 (Bandit)\n"
              "  by category: 1 ordinary, 2 rare/quest, 2 weapon, 1 armour/rings/amulets, "
              "1 books/scrolls/runes, 1 category 7\n"
              "  by source: 3 (ground), 2 Bandit, 1 Old chest, 1 Thief, 1 Бандит\n"
              "  line 9 is not a history row: the game skips it\n"
              "  line 11 starts with a comma: the game reads no rows from there on\n");

    EXPECT_EQ(Report(slot, HistoryFormat::Csv, std::nullopt, kPlayersCodePage),
              "slot,index,text,source,category\n"
              "savegame3,0,(M) Ring x1,Bandit,2\n"
              "savegame3,1,Gold x25,,1\n"
              "savegame3,2,\"Sword, old x1\",Old chest,3\n"
              "savegame3,3,\"\"\"Dragon\"\" egg\",,2\n"
              "savegame3,4,Меч x1,Бандит,3\n"
              "savegame3,5,Bad ? byte,Thief,4\n"
              "savegame3,6,Odd thing,,7\n"
              "savegame3,7,Scroll x1,Bandit,5\n");

    Json json = Json::parse(Report(slot, HistoryFormat::Json, std::nullopt, kPlayersCodePage));
    ASSERT_EQ(json.at("slots").size(), 1U);
    Json& found = json.at("slots").at(0);
    EXPECT_EQ(std::filesystem::path(found.at("file").get<std::string>()), slot / "PILFERN.SAV");
    found.erase("file");
    // Two rows in full, the others by what tells them apart.
    const Json rows = found.at("rows");
    found.erase("rows");
    EXPECT_EQ(rows.at(2), Json::parse(R"json({"index": 2, "line": "Sword, old x1 (Old chest)",
        "text": "Sword, old x1", "source": "Old chest", "category": 3, "categoryName": "weapon"})json"));
    EXPECT_EQ(rows.at(5), Json::parse(R"json({"index": 5, "line": "Bad ? byte (Thief)",
        "text": "Bad ? byte", "source": "Thief", "category": 4,
        "categoryName": "armour/rings/amulets"})json"));
    EXPECT_EQ(rows.at(3).at("text"), "\"Dragon\" egg");
    EXPECT_EQ(rows.at(3).at("source"), "");
    EXPECT_EQ(rows.at(4).at("line"), "Меч x1 (Бандит)");
    EXPECT_EQ(rows.at(7).at("source"), "Bandit");
    EXPECT_EQ(found, Json::parse(R"json({"slot": "savegame3", "rowsInFile": 8,
        "totals": {"rows": 8,
            "categories": [{"category": 1, "name": "ordinary", "rows": 1},
                           {"category": 2, "name": "rare/quest", "rows": 2},
                           {"category": 3, "name": "weapon", "rows": 2},
                           {"category": 4, "name": "armour/rings/amulets", "rows": 1},
                           {"category": 5, "name": "books/scrolls/runes", "rows": 1},
                           {"category": 7, "name": "category 7", "rows": 1}],
            "sources": [{"source": "", "rows": 3}, {"source": "Bandit", "rows": 2},
                        {"source": "Old chest", "rows": 1}, {"source": "Thief", "rows": 1},
                        {"source": "Бандит", "rows": 1}]},
        "skippedLines": [9], "stoppedAtLine": 11})json"));
    EXPECT_EQ(json.at("grep"), nullptr);
}

TEST_F(HistoryReport, AnEmptyHistorySaysSo) {
    const std::filesystem::path slot = Slot("quicksave", "QUICK_LOOT DATA\n");
    EXPECT_EQ(TextReport(slot), "quicksave (FILE): empty history\n");
    EXPECT_EQ(Report(slot, HistoryFormat::Csv), "slot,index,text,source,category\n");
    const Json json = Json::parse(Report(slot, HistoryFormat::Json));
    EXPECT_EQ(json.at("slots").at(0).at("rows"), Json::array());
    EXPECT_EQ(json.at("slots").at(0).at("totals").at("rows"), 0);
}

TEST_F(HistoryReport, AGameFolderListsItsSlotsInSlotOrder) {
    Slot("current", "QUICK_LOOT DATA\nApple,1,EMPTY\n", "pilfern.sav");
    Slot("savegame10", "QUICK_LOOT DATA\n");
    Slot("My run", "QUICK_LOOT DATA\n");
    Slot("savegame2", "QUICK_LOOT DATA\n");
    Slot("Quicksave", "QUICK_LOOT DATA\n");
    Slot("savegame9", "QUICK_LOOT DATA\n");
    Slot("alpha", "QUICK_LOOT DATA\n");
    root.Write("game/Saves/savegame1/SAVEDAT.SAV", "a savegame without loot history");

    std::vector<std::string> slots;
    for (const std::filesystem::path& file : FindHistoryFiles(Game())) {
        slots.push_back(file.parent_path().filename().string());
    }
    EXPECT_EQ(slots, (std::vector<std::string>{"Quicksave", "savegame2", "savegame9", "savegame10",
                                               "current", "alpha", "My run"}));
    // Its savegame folder itself lists the same.
    EXPECT_EQ(FindHistoryFiles(Game() / "Saves").size(), slots.size());
    EXPECT_EQ(Report(Game(), HistoryFormat::Csv),
              "slot,index,text,source,category\ncurrent,0,Apple,,1\n");
}

// A German player's history (code page 1252), with umlauts in capitals and small letters.
constexpr std::string_view kGermanHistory =
    "QUICK_LOOT DATA\n"
    "Goldmünze x3,1,Truhe\n"
    "MÜNZE DES KÖNIGS x1,2,Räuber\n"
    "Schwert x1,3,EMPTY\n";

struct GrepCase {
    std::string_view history;
    int codePage;
    std::string grep;
    std::vector<int> indices;  // the rows kept
    std::string heading;
};

TEST_F(HistoryReport, GrepKeepsTheRowsWhoseLineHoldsTheTextAndCountsOnlyThem) {
    // Letter case is ignored in the game's code page: Cyrillic under 1251, umlauts under 1252.
    const std::vector<GrepCase> cases{
        {kPlayersHistory, 1251, "BANDIT", {0, 7}, "2 of 8 rows match \"BANDIT\""},
        {kPlayersHistory, 1251, "sword, OLD", {2}, "1 of 8 rows matches \"sword, OLD\""},
        {kPlayersHistory, 1251, "(old chest)", {2}, "1 of 8 rows matches \"(old chest)\""},
        {kPlayersHistory, 1251, "Меч x1", {4}, "1 of 8 rows matches \"Меч x1\""},
        {kPlayersHistory, 1251, "бандит", {4}, "1 of 8 rows matches \"бандит\""},
        {kPlayersHistory, 1251, "мЕЧ", {4}, "1 of 8 rows matches \"мЕЧ\""},
        {kPlayersHistory, 1251, "after the stop", {}, "none of 8 rows matches \"after the stop\""},
        // Under 1252 the game shows the Cyrillic row as question marks, where no Cyrillic is.
        {kPlayersHistory, 1252, "Бандит", {}, "none of 8 rows matches \"Бандит\""},
        {kGermanHistory, 1252, "MÜNZE", {0, 1}, "2 of 3 rows match \"MÜNZE\""},
        {kGermanHistory, 1252, "münze des", {1}, "1 of 3 rows matches \"münze des\""},
        {kGermanHistory, 1252, "(RÄUBER)", {1}, "1 of 3 rows matches \"(RÄUBER)\""},
        {kGermanHistory, 1252, "schwert", {2}, "1 of 3 rows matches \"schwert\""},
    };
    for (const GrepCase& grepCase : cases) {
        SCOPED_TRACE(grepCase.grep + " in code page " + std::to_string(grepCase.codePage));
        const std::filesystem::path slot = Slot("savegame3", grepCase.history);
        const Json json =
            Json::parse(Report(slot, HistoryFormat::Json, grepCase.grep, grepCase.codePage));
        EXPECT_EQ(json.at("grep"), grepCase.grep);
        const Json& found = json.at("slots").at(0);
        std::vector<int> indices;
        for (const Json& row : found.at("rows")) {
            indices.push_back(row.at("index").get<int>());
        }
        EXPECT_EQ(indices, grepCase.indices);
        EXPECT_EQ(found.at("totals").at("rows"), grepCase.indices.size());
        const std::string text = TextReport(slot, grepCase.grep, grepCase.codePage);
        EXPECT_EQ(text.substr(0, text.find('\n')), "savegame3 (FILE): " + grepCase.heading);
    }
    // Totals count what was kept.
    const std::string text =
        TextReport(Slot("savegame3", kPlayersHistory), "bandit", kPlayersCodePage);
    EXPECT_NE(text.find("  by category: 1 rare/quest, 1 books/scrolls/runes\n"
                        "  by source: 2 Bandit\n"),
              std::string::npos)
        << text;
}

struct ErrorCase {
    std::string_view name;
    std::string file;  // written below the test's folder when not empty
    std::string_view content;
    std::string path;   // below the test's folder
    std::string named;  // the path the message begins with, below the test's folder
    std::string message;
};

TEST_F(HistoryReport, APathThatNamesNoHistoryIsOneLineNamingIt) {
    const std::vector<ErrorCase> cases{
        {"missing", "", "", "nowhere", "nowhere", ": no such file or folder"},
        {"no history anywhere", "game/Saves/savegame1/SAVEDAT.SAV", "a savegame", "game", "game",
         ": no PILFERN.SAV here, nor in a slot folder of its savegame folder"},
    };
    for (const ErrorCase& errorCase : cases) {
        SCOPED_TRACE(errorCase.name);
        const test::TempFolder folder;
        if (!errorCase.file.empty()) {
            folder.Write(errorCase.file, errorCase.content);
        }
        const auto below = [&](const std::string& relative) {
            return folder.Path() / std::filesystem::path(relative).make_preferred();
        };
        const std::filesystem::path path = below(errorCase.path);
        std::ostringstream out;
        try {
            WriteHistoryReport(HistoryReportRequest{path, HistoryFormat::Text, std::nullopt}, out);
            ADD_FAILURE() << "no error";
        } catch (const HistoryPathError& error) {
            EXPECT_EQ(error.what(), PathText(below(errorCase.named)) + errorCase.message);
        }
        // Nothing is written before every file has been read.
        EXPECT_EQ(out.str(), "");
    }
}

// The overlay's lines of the rows a game printing in `codePage` loads from `file`.
std::vector<std::string> LinesTheGameLoads(std::string_view file, int codePage) {
    test::LootingGame game("{\"codePage\": " + std::to_string(codePage) +
                           R"(, "world": {"player": {"id": "hero", "instance": "PC_HERO"}}})");
    EXPECT_TRUE(game.Game().WriteGameFile("SAVES/savegame1/PILFERN.SAV", file));
    game.Game().Load(1);
    std::vector<std::string> lines;
    for (const HistoryEntity& row : game.Plugin().lootHistory) {
        const std::string_view source = TrimBlanks(row.source.Str());
        lines.push_back(
            platform::CodePageToUtf8(row.text.Str(), codePage) +
            (source.empty() ? "" : " (" + platform::CodePageToUtf8(source, codePage) + ")"));
    }
    return lines;
}

struct LoadCase {
    std::string_view name;
    int codePage;
    std::string file;
    std::vector<std::string> lines;         // the overlay's lines, newest first
    std::vector<std::size_t> skippedLines;  // lines the game passes over
};

// Whatever file the game loads, the command lists: the same rows, shown as the overlay shows
// them, and the lines that give none.
TEST_F(HistoryReport, EveryFileTheGameLoadsIsListedWithTheRowsTheGameLoads) {
    const std::vector<LoadCase> cases{
        {"no header",
         1252,
         "Ring x1,2,Bandit\nGold x25,1,EMPTY\n",
         {"Ring x1 (Bandit)", "Gold x25"},
         {}},
        {"an empty file", 1252, "", {}, {}},
        {"the header after a row, and again in small letters",
         1252,
         "Ring x1,2,Bandit\n\xEF\xBB\xBFQUICK_LOOT DATA\nquick_loot data\n",
         {"Ring x1 (Bandit)"},
         {}},
        {"no history at all", 1252, "notes of another program\n", {}, {1}},
        // With the header, as the game writes it, from here on.
        {"broken bytes",
         1252,
         "QUICK_LOOT DATA\nBad \xFF byte,4,Thief\nRing \xE2\x82 x1,2,EMPTY\n",
         {"Bad ? byte (Thief)", "Ring ? x1"},
         {}},
        {"Cyrillic under 1251",
         1251,
         "QUICK_LOOT DATA\nМеч x1,3,Бандит\n",
         {"Меч x1 (Бандит)"},
         {}},
        {"Cyrillic under 1252",
         1252,
         "QUICK_LOOT DATA\nМеч x1,3,Бандит\n",
         {std::string(3, '?') + " x1 (" + std::string(6, '?') + ")"},
         {}},
        {"a line too long for any row",
         1252,
         "QUICK_LOOT DATA\n" + std::string(70000, 'A') + ",1,EMPTY\nApple x1,1,EMPTY\n" +
             std::string(70000, 'B'),
         {"Apple x1"},
         {2, 4}},
    };
    for (const LoadCase& loadCase : cases) {
        SCOPED_TRACE(loadCase.name);
        Slot("savegame1", loadCase.file);
        // Among other slots, it stops none of them.
        Slot("quicksave", "QUICK_LOOT DATA\nApple,1,EMPTY\n");
        const Json json =
            Json::parse(Report(Game(), HistoryFormat::Json, std::nullopt, loadCase.codePage));
        ASSERT_EQ(json.at("slots").size(), 2U);
        const Json& found = json.at("slots").at(1);
        EXPECT_EQ(found.at("slot"), "savegame1");
        std::vector<std::string> lines;
        for (const Json& row : found.at("rows")) {
            lines.push_back(row.at("line").get<std::string>());
        }
        EXPECT_EQ(lines, loadCase.lines);
        EXPECT_EQ(found.at("skippedLines").get<std::vector<std::size_t>>(), loadCase.skippedLines);
        EXPECT_EQ(LinesTheGameLoads(loadCase.file, loadCase.codePage), loadCase.lines);
    }
}

}  // namespace
}  // namespace pilfern::sim
