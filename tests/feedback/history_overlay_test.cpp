#include "feedback/history_overlay.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "looting/loot_text.h"
#include "sim/game_heaps.h"
#include "support/hero_game.h"

namespace pilfern {
namespace {

using test::HeroGame;

constexpr std::string_view kBackgroundTexture = "QUICK_LOOT_HISTORY_BG";

// What one call of DrawLootHistory put on screen, in order.
struct Drawn {
    std::vector<sim::DrawRecord> quads;
    std::vector<sim::DrawRecord> lines;
};

HistoryEntity Row(std::string_view text, std::string_view source = "",
                  int category = kCategoryPlain) {
    return HistoryEntity{CStringA(text), CStringA(source), category};
}

// "Row 00" to "Row 99": lines of one width, so that the widest of a column is known.
std::string NumberedText(std::size_t row) {
    return (row < 10 ? "Row 0" : "Row ") + std::to_string(row);
}

// A running game with the overlay shown.
class HistoryOverlay : public ::testing::Test {
protected:
    HistoryOverlay() { Plugin().historyVisible = true; }

    Instance& Plugin() { return game_.Plugin(); }
    sim::SimEngine& Engine() { return game_.Engine(); }

    Drawn Draw() {
        Engine().ClearDrawRecords();
        DrawLootHistory(Plugin());
        Drawn drawn;
        for (const sim::DrawRecord& record : Engine().DrawRecords()) {
            (record.kind == sim::DrawRecord::Kind::Quad ? drawn.quads : drawn.lines)
                .push_back(record);
        }
        return drawn;
    }

    // The screen font's line height and a text's width, as the engine measures them.
    int LineHeight() { return Engine().eng_view_font_height(Engine().eng_screen()); }
    int Width(std::string_view text) {
        return Engine().eng_view_text_width(Engine().eng_screen(), zSTRING(text));
    }

    HeroGame game_;
};

TEST_F(HistoryOverlay, AnEmptyListDrawsOnlyTheBackground300UnitsSquareAtTheCentre) {
    const Drawn drawn = Draw();
    EXPECT_TRUE(drawn.lines.empty());
    ASSERT_EQ(drawn.quads.size(), 1U);
    const sim::DrawRecord& panel = drawn.quads[0];
    EXPECT_EQ(panel.texture, kBackgroundTexture);
    EXPECT_EQ(panel.viewId, Plugin().statics.historyBackgroundView->id);
    EXPECT_EQ((std::vector<int>{panel.x, panel.y, panel.width, panel.height}),
              (std::vector<int>{3946, 3946, 300, 300}));
}

TEST_F(HistoryOverlay, OneRowGetsAPanelSizedToItsLineWithTheLineInsetBy200) {
    Plugin().lootHistory = {Row("(A) Gold x25", "Bandit")};
    const std::string_view line = "(A) Gold x25 (Bandit)";
    const int width = Width(line);
    const int height = LineHeight();
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);

    const Drawn drawn = Draw();
    ASSERT_EQ(drawn.quads.size(), 1U);
    const sim::DrawRecord& panel = drawn.quads[0];
    EXPECT_EQ(panel.width, width + 300);
    EXPECT_EQ(panel.height, height + 30 + 300);
    EXPECT_EQ(panel.x, 4096 - (width + 300) / 2);
    EXPECT_EQ(panel.y, 4096 - (height + 330) / 2);

    ASSERT_EQ(drawn.lines.size(), 1U);
    const sim::DrawRecord& text = drawn.lines[0];
    EXPECT_EQ(text.text, line);
    EXPECT_EQ(text.viewId, Plugin().statics.historyTextView->id);
    EXPECT_EQ(text.x, panel.x + 200);
    EXPECT_EQ(text.y, panel.y + 200);
    EXPECT_EQ(text.color, Plugin().settings.colorQuickLoot);
    // The text view is as large as its one line.
    const zCView& view = *Plugin().statics.historyTextView;
    EXPECT_EQ((std::vector<int>{view.width, view.height}), (std::vector<int>{width, height}));
}

TEST_F(HistoryOverlay, ASourceShowsTrimmedInBracketsAndOneOfBlanksShowsNone) {
    const struct {
        std::string_view source;
        std::string_view line;
    } cases[] = {
        {"", "Gold x25"},
        {"   ", "Gold x25"},
        {" \t\r\n", "Gold x25"},
        {"Bandit", "Gold x25 (Bandit)"},
        {"  \tOld chest \r\n", "Gold x25 (Old chest)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.source));
        Plugin().lootHistory = {Row("Gold x25", c.source)};
        const Drawn drawn = Draw();
        ASSERT_EQ(drawn.lines.size(), 1U);
        EXPECT_EQ(drawn.lines[0].text, c.line);
        // The panel is sized to the line as shown.
        ASSERT_EQ(drawn.quads.size(), 1U);
        EXPECT_EQ(drawn.quads[0].width, Width(c.line) + 300);
    }
}

// Where a row's line lands: its column (1 or 2), its place from the column's top and the group
// gaps above it in its column.
struct RowPlace {
    std::size_t row;
    int column;
    int slot;
    int gap;
};

struct LayoutCase {
    const char* name;
    int rowsPerColumn;
    std::size_t rows;
    // The taller column: its lines and its group gaps.
    int tallestLines;
    int tallestGaps;
    std::vector<RowPlace> places;
};

// Row 0 is the widest line, so the first column is wider than the second. Lists longer than
// two columns stand for lists loaded from a savegame, which the limit does not touch.
TEST_F(HistoryOverlay, RowsFillTwoColumnsWithAGapBeforeEveryFifthRowOfTheList) {
    const LayoutCase cases[] = {
        {"30 per column, 31 rows: row 30 opens column 2 below its gap",
         30,
         31,
         30,
         500,
         {{0, 1, 0, 0}, {4, 1, 4, 0}, {5, 1, 5, 100}, {29, 1, 29, 500}, {30, 2, 0, 100}}},
        {"12 per column: column 2 has its gaps before its 4th and 9th rows",
         12,
         24,
         12,
         200,
         {{11, 1, 11, 200},
          {12, 2, 0, 0},
          {14, 2, 2, 0},
          {15, 2, 3, 100},
          {19, 2, 7, 100},
          {20, 2, 8, 200},
          {23, 2, 11, 200}}},
        {"3 per column: the second column is the taller",
         3,
         6,
         3,
         100,
         {{2, 1, 2, 0}, {3, 2, 0, 0}, {5, 2, 2, 100}}},
        {"2 per column, 7 rows: rows beyond two columns start column 2 again",
         2,
         7,
         5,
         100,
         {{1, 1, 1, 0}, {2, 2, 0, 0}, {3, 2, 1, 0}, {4, 2, 0, 0}, {5, 2, 1, 100}, {6, 2, 0, 100}}},
        {"0 per column is taken as 1", 0, 2, 1, 0, {{0, 1, 0, 0}, {1, 2, 0, 0}}},
        {"-4 per column is taken as 1", -4, 3, 2, 0, {{0, 1, 0, 0}, {1, 2, 0, 0}, {2, 2, 0, 0}}},
    };
    const std::string widest = "Row 00, the widest line";
    const int firstWidth = Width(widest);
    const int secondWidth = Width(NumberedText(1));
    ASSERT_GT(firstWidth, secondWidth);
    const int step = LineHeight() + 30;
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        Plugin().settings.historyCntRowsInColumn = c.rowsPerColumn;
        Plugin().lootHistory.assign(1, Row(widest));
        for (std::size_t i = 1; i < c.rows; ++i) {
            Plugin().lootHistory.push_back(Row(NumberedText(i)));
        }
        const Drawn drawn = Draw();

        ASSERT_EQ(drawn.quads.size(), 1U);
        const sim::DrawRecord& panel = drawn.quads[0];
        const int width = firstWidth + secondWidth + 600;
        const int height = c.tallestLines * step + c.tallestGaps + 300;
        EXPECT_EQ((std::vector<int>{panel.x, panel.y, panel.width, panel.height}),
                  (std::vector<int>{4096 - width / 2, 4096 - height / 2, width, height}));

        ASSERT_EQ(drawn.lines.size(), c.rows);
        for (const RowPlace& place : c.places) {
            SCOPED_TRACE("row " + std::to_string(place.row));
            const sim::DrawRecord& line = drawn.lines.at(place.row);
            EXPECT_EQ(line.text, place.row == 0 ? widest : NumberedText(place.row));
            const int x = place.column == 1 ? panel.x + 200 : panel.x + firstWidth + 500;
            EXPECT_EQ(line.x, x);
            EXPECT_EQ(line.y, panel.y + 200 + place.gap + place.slot * step);
        }
    }
}

TEST_F(HistoryOverlay, EachLineTakesItsCategorysColourAndAnyOtherCategoryKeepsTheLastOne) {
    const PluginSettings& settings = Plugin().settings;
    const struct {
        int category;
        const zCOLOR* color;
    } lines[] = {
        {kCategoryPlain, &settings.colorQuickLoot},
        {kCategoryRare, &settings.colorQuickLootRare},
        {7, &settings.colorQuickLootRare},
        {kCategoryWeapon, &settings.colorQuickLootWeapon},
        {0, &settings.colorQuickLootWeapon},
        {kCategoryArmorRings, &settings.colorQuickLootArmorRings},
        {-1, &settings.colorQuickLootArmorRings},
        {kCategoryBooksScrolls, &settings.colorQuickLootBooksScrools},
        {6, &settings.colorQuickLootBooksScrools},
    };
    Plugin().lootHistory.clear();
    for (const auto& line : lines) {
        Plugin().lootHistory.push_back(Row("Gold x1", "", line.category));
    }
    const Drawn drawn = Draw();
    ASSERT_EQ(drawn.lines.size(), std::size(lines));
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        SCOPED_TRACE("category " + std::to_string(lines[i].category));
        EXPECT_EQ(drawn.lines[i].color, *lines[i].color);
    }
}

TEST_F(HistoryOverlay, HiddenOrWithoutItsBackgroundViewDrawsNothing) {
    const struct {
        const char* name;
        bool visible;
        bool background;
    } cases[] = {
        {"hidden", false, true},
        {"no background view", true, false},
    };
    Plugin().lootHistory = {Row("Gold x1", "Bandit")};
    zCView* const background = Plugin().statics.historyBackgroundView;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Plugin().historyVisible = c.visible;
        Plugin().statics.historyBackgroundView = c.background ? background : nullptr;
        const std::uint64_t inserts = Engine().Calls("eng_screen_insert");
        const Drawn drawn = Draw();
        EXPECT_TRUE(drawn.quads.empty());
        EXPECT_TRUE(drawn.lines.empty());
        EXPECT_EQ(Engine().Calls("eng_screen_insert"), inserts);
    }
    Plugin().statics.historyBackgroundView = background;
}

// In the game's frames: each view is drawn once, when the overlay draws it, and is gone from
// the screen before the engine draws its own views at the end of the frame. Once the line
// buffer has grown, a frame takes no memory of the plugin's heap, and drawing takes none of the
// engine's beyond the engine's own copy of each line it prints.
TEST_F(HistoryOverlay, FramesLeaveNoViewOnTheScreenAndTakeNoMemoryOnceSteady) {
    for (int i = 0; i < 12; ++i) {
        AddHistoryRow(Plugin(), kCategoryRare,
                      CStringA("(A) A long loot line x" + std::to_string(i)),
                      CStringA("The old chest by the camp fire"));
    }
    const zCView& background = *Plugin().statics.historyBackgroundView;
    const zCView& text = *Plugin().statics.historyTextView;
    for (int frame = 0; frame < 2; ++frame) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        game_.Frame();
        EXPECT_FALSE(background.onScreen);
        EXPECT_FALSE(text.onScreen);
        int panels = 0;
        std::vector<std::string> lines;
        for (const sim::DrawRecord& record : Engine().DrawRecords()) {
            panels += record.viewId == background.id ? 1 : 0;
            if (record.viewId == text.id) {
                lines.push_back(record.text);
            }
        }
        EXPECT_EQ(panels, 1);
        ASSERT_EQ(lines.size(), 12U);
        EXPECT_EQ(lines.front(), "(A) A long loot line x11 (The old chest by the camp fire)");
        EXPECT_EQ(lines.back(), "(A) A long loot line x0 (The old chest by the camp fire)");
    }
    EXPECT_EQ(game_.Game().LastStepHeap().allocations, 0U);

    const std::uint64_t before = sim::EngineHeapFigures().allocations;
    DrawLootHistory(Plugin());
    EXPECT_LE(sim::EngineHeapFigures().allocations - before, 12U);
}

// The list keeps two columns of rows, the newest first; fewer than one row per column counts
// as one, so the list still keeps the two newest rows.
TEST(LootHistoryLimit, KeepsTwoColumnsOfRowsAndTakesFewerThanOneRowPerColumnAsOne) {
    const struct {
        int rowsPerColumn;
        std::size_t kept;
    } cases[] = {{4, 8}, {1, 2}, {0, 2}, {-3, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rowsPerColumn);
        HeroGame game;
        Instance& plugin = game.Plugin();
        plugin.settings.historyCntRowsInColumn = c.rowsPerColumn;
        for (std::size_t i = 0; i <= c.kept; ++i) {
            AddHistoryRow(plugin, kCategoryPlain, CStringA(NumberedText(i)), CStringA());
            EXPECT_EQ(plugin.lootHistory.size(), std::min(i + 1, c.kept));
        }
        ASSERT_EQ(plugin.lootHistory.size(), c.kept);
        EXPECT_EQ(plugin.lootHistory.front().text, CStringA(NumberedText(c.kept)));
        EXPECT_EQ(plugin.lootHistory.back().text, CStringA(NumberedText(1))) << "row 0 is gone";
    }
}

}  // namespace
}  // namespace pilfern
