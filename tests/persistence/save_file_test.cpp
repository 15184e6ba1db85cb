#include "persistence/save_file.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// The history file's lines: what the writer puts there and what the reader takes from a line,
// including the lines a player's editor or an older file may hold.
namespace pilfern {
namespace {

struct Read {
    SaveLine kind;
    std::string text;
    int category = 0;
    std::string source;
};

Read ReadLine(std::string_view line) {
    HistoryEntity row;
    const SaveLine kind = ReadSaveLine(line, row);
    return {kind, std::string(row.text.Str()), row.category, std::string(row.source.Str())};
}

TEST(SaveFile, TheWriterPutsTheHeaderAndOneLineARowNewestFirst) {
    const std::vector<HistoryEntity> history{
        {CStringA("(M) Ring x1"), CStringA("Bandit"), 2},
        {CStringA("Gold x25"), CStringA(), 1},
        {CStringA("Odd x1"), CStringA("  "), -7},
    };
    EXPECT_EQ(SaveFileContent(history).Str(),
              "QUICK_LOOT DATA\n(M) Ring x1,2,Bandit\nGold x25,1,EMPTY\nOdd x1,-7,  \n");
    EXPECT_EQ(SaveFileContent({}).Str(), "QUICK_LOOT DATA\n");
}

TEST(SaveFile, EachLineIsReadAsARowSkippedOrTheEnd) {
    const std::vector<std::pair<std::string, Read>> cases{
        {"(M) Ring x1,2,Bandit", {SaveLine::Row, "(M) Ring x1", 2, "Bandit"}},
        {"Gold x25,1,EMPTY", {SaveLine::Row, "Gold x25", 1, ""}},
        // A source that really is the word Empty reads as none, in any letter case.
        {"Gold x25,1,empty", {SaveLine::Row, "Gold x25", 1, ""}},
        {"  Apple x2,1,Bandit \r", {SaveLine::Row, "Apple x2", 1, "Bandit"}},
        {"Apple x2, -3 ,Bandit", {SaveLine::Row, "Apple x2", -3, "Bandit"}},
        {"Apple x2,rare,Bandit", {SaveLine::Row, "Apple x2", 0, "Bandit"}},
        {"Apple x2,4x,Bandit", {SaveLine::Row, "Apple x2", 4, "Bandit"}},
        // A comma in the text stays in the text: category and source are the last fields.
        {"Sword, rusty x1,3,Bandit", {SaveLine::Row, "Sword, rusty x1", 3, "Bandit"}},
        {"A,,b x1,5,EMPTY", {SaveLine::Row, "A,,b x1", 5, ""}},
        // A comma in the source: the category is the whole number between text and source.
        {"Gold x25,1,Chest, old", {SaveLine::Row, "Gold x25", 1, "Chest, old"}},
        {"Sword, rusty x1,3,Chest, old", {SaveLine::Row, "Sword, rusty x1", 3, "Chest, old"}},
        {"Arrow, 20 x1,4,Chest,,old", {SaveLine::Row, "Arrow, 20 x1", 4, "Chest,,old"}},
        {"Gold x2,1,Box,", {SaveLine::Skip, "", 1, ""}},
        {"QUICK_LOOT DATA", {SaveLine::Header, "", 1, ""}},
        {"\xEF\xBB\xBFQUICK_LOOT DATA", {SaveLine::Header, "", 1, ""}},
        {"quick_loot data", {SaveLine::Header, "", 1, ""}},
        {"Note: QUICK_LOOT DATA x1,1,EMPTY", {SaveLine::Header, "", 1, ""}},
        {"", {SaveLine::Blank, "", 1, ""}},
        {"   ", {SaveLine::Blank, "", 1, ""}},
        {"Gold x25", {SaveLine::Skip, "", 1, ""}},
        {"Gold x25,1", {SaveLine::Skip, "", 1, ""}},
        {"Gold x25,1,", {SaveLine::Skip, "", 1, ""}},
        {",1,EMPTY", {SaveLine::Stop, "", 1, ""}},
        {" ,1,EMPTY", {SaveLine::Stop, "", 1, ""}},
    };
    for (const auto& [line, expected] : cases) {
        const Read read = ReadLine(line);
        EXPECT_EQ(read.kind, expected.kind) << line;
        if (expected.kind == SaveLine::Row) {
            EXPECT_EQ(read.text, expected.text) << line;
            EXPECT_EQ(read.category, expected.category) << line;
            EXPECT_EQ(read.source, expected.source) << line;
        }
    }
}

TEST(SaveFile, RowsComeBackAsTheyWereWrittenWithCommasInTheTextOrTheSource) {
    const std::vector<HistoryEntity> history{
        {CStringA("(A) Sword, rusty x1"), CStringA("Bandit"), 3},
        {CStringA("Scroll: Fire, Ice x2"), CStringA("Chest"), 5},
        {CStringA("Gold x7"), CStringA(), 1},
        {CStringA("Gold x25"), CStringA("Chest, old"), 1},
        {CStringA("Bread, old x1"), CStringA("Hut, north, Old Camp"), 2},
    };
    const std::string content(SaveFileContent(history).Str());
    std::vector<HistoryEntity> read;
    std::string_view rest = content;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        HistoryEntity row;
        if (ReadSaveLine(rest.substr(0, end), row) == SaveLine::Row) {
            read.push_back(row);
        }
        rest.remove_prefix(end + 1);
    }
    ASSERT_EQ(read.size(), history.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].text, history[i].text);
        EXPECT_EQ(read[i].source, history[i].source);
        EXPECT_EQ(read[i].category, history[i].category);
    }
}

}  // namespace
}  // namespace pilfern
