#include "sim/history_report.h"

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/temp_folder.h"

namespace pilfern::sim {
namespace {

using Json = nlohmann::ordered_json;

// A history as players' files hold it: written with a byte-order mark, with a comma and
// quotes in texts, Cyrillic, a broken byte, a category no colour class has, a line the
// plugin skips (its source is only blanks, so the line ends in a comma once trimmed) and a
// line starting with a comma, after which the plugin reads nothing.
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
                              std::optional<std::string> grep = std::nullopt) {
        std::ostringstream out;
        WriteHistoryReport(HistoryReportRequest{path, format, std::move(grep)}, out);
        return out.str();
    }
    // The text report with the file's path, which differs on every run, as FILE.
    static std::string TextReport(const std::filesystem::path& slot,
                                  std::optional<std::string> grep = std::nullopt) {
        std::string text = Report(slot, HistoryFormat::Text, std::move(grep));
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

    EXPECT_EQ(TextReport(slot),
              "savegame3 (FILE): 8 rows\n"
              "  0  rare/quest            (M) Ring x1 (Bandit)\n"
              "  1  ordinary              Gold x25\n"
              "  2  weapon                Sword, old x1 (Old chest)\n"
              "  3  rare/quest            \"Dragon\" egg\n"
              "  4  weapon                Меч x1 (Бандит)\n"
              "  5  armour/rings/amulets  Bad \xEF\xBF\xBD byte (Thief)\n"
              "  6  category 7            Odd thing\n"
              "  7  books/scrolls/runes   Scroll x1 (Bandit)\n"
              "  by category: 1 ordinary, 2 rare/quest, 2 weapon, 1 armour/rings/amulets, "
              "1 books/scrolls/runes, 1 category 7\n"
              "  by source: 3 (ground), 2 Bandit, 1 Old chest, 1 Thief, 1 Бандит\n"
              "  line 9 is not a history row: the game skips it\n"
              "  line 11 starts with a comma: the game reads no rows from there on\n");

    EXPECT_EQ(Report(slot, HistoryFormat::Csv),
              "slot,index,text,source,category\n"
              "savegame3,0,(M) Ring x1,Bandit,2\n"
              "savegame3,1,Gold x25,,1\n"
              "savegame3,2,\"Sword, old x1\",Old chest,3\n"
              "savegame3,3,\"\"\"Dragon\"\" egg\",,2\n"
              "savegame3,4,Меч x1,Бандит,3\n"
              "savegame3,5,Bad \xEF\xBF\xBD byte,Thief,4\n"
              "savegame3,6,Odd thing,,7\n"
              "savegame3,7,Scroll x1,Bandit,5\n");

    Json json = Json::parse(Report(slot, HistoryFormat::Json));
    ASSERT_EQ(json.at("slots").size(), 1U);
    Json& found = json.at("slots").at(0);
    EXPECT_EQ(std::filesystem::path(found.at("file").get<std::string>()), slot / "PILFERN.SAV");
    found.erase("file");
    // Two rows in full, the others by what tells them apart.
    const Json rows = found.at("rows");
    found.erase("rows");
    EXPECT_EQ(rows.at(2), Json::parse(R"json({"index": 2, "line": "Sword, old x1 (Old chest)",
        "text": "Sword, old x1", "source": "Old chest", "category": 3, "categoryName": "weapon"})json"));
    EXPECT_EQ(rows.at(5), Json::parse(R"json({"index": 5, "line": "Bad \ufffd byte (Thief)",
        "text": "Bad \ufffd byte", "source": "Thief", "category": 4,
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

struct GrepCase {
    std::string grep;
    std::vector<int> indices;  // the rows kept
    std::string heading;
};

TEST_F(HistoryReport, GrepKeepsTheRowsWhoseLineHoldsTheTextAndCountsOnlyThem) {
    const std::filesystem::path slot = Slot("savegame3", kPlayersHistory);
    const std::vector<GrepCase> cases{
        {"BANDIT", {0, 7}, "savegame3 (FILE): 2 of 8 rows match \"BANDIT\""},
        {"sword, OLD", {2}, "savegame3 (FILE): 1 of 8 rows matches \"sword, OLD\""},
        {"(old chest)", {2}, "savegame3 (FILE): 1 of 8 rows matches \"(old chest)\""},
        {"Меч x1", {4}, "savegame3 (FILE): 1 of 8 rows matches \"Меч x1\""},
        {"after the stop", {}, "savegame3 (FILE): none of 8 rows matches \"after the stop\""},
    };
    for (const GrepCase& grepCase : cases) {
        SCOPED_TRACE(grepCase.grep);
        const Json json = Json::parse(Report(slot, HistoryFormat::Json, grepCase.grep));
        EXPECT_EQ(json.at("grep"), grepCase.grep);
        const Json& found = json.at("slots").at(0);
        std::vector<int> indices;
        for (const Json& row : found.at("rows")) {
            indices.push_back(row.at("index").get<int>());
        }
        EXPECT_EQ(indices, grepCase.indices);
        EXPECT_EQ(found.at("totals").at("rows"), grepCase.indices.size());
        const std::string text = TextReport(slot, grepCase.grep);
        EXPECT_EQ(text.substr(0, text.find('\n')), grepCase.heading);
    }
    // Totals count what was kept.
    const std::string text = TextReport(slot, "bandit");
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
        {"no header", "game/Saves/savegame1/PILFERN.SAV", "Ring x1,2,Bandit\n", "game",
         "game/Saves/savegame1/PILFERN.SAV",
         ": not a Pilfern history file (it does not start with QUICK_LOOT DATA)"},
        {"empty file", "notes/PILFERN.SAV", "", "notes/PILFERN.SAV", "notes/PILFERN.SAV",
         ": not a Pilfern history file (it does not start with QUICK_LOOT DATA)"},
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

TEST_F(HistoryReport, ABrokenSlotStopsTheReportBeforeItBegins) {
    Slot("quicksave", "QUICK_LOOT DATA\nApple,1,EMPTY\n");
    Slot("savegame1", "not a history\n");
    std::ostringstream out;
    EXPECT_THROW(WriteHistoryReport(HistoryReportRequest{Game(), HistoryFormat::Csv, {}}, out),
                 HistoryPathError);
    EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace pilfern::sim
