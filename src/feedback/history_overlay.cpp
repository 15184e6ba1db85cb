#include "feedback/history_overlay.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace pilfern {
namespace {

constexpr int kStayOnTop = 0;
constexpr int kScreenCentre = 4096;
// From the panel's left and top edges to the first text.
constexpr int kTextInset = 200;
// Right of the widest text and below the last line's spacing, to the panel's edge.
constexpr int kFarMargin = 100;
// Between the widest text of the first column and the start of the second.
constexpr int kColumnSpacing = 300;
constexpr int kLineSpacing = 30;
// Every fifth row opens a group, set apart from the one before by extra space.
constexpr std::size_t kGroupRows = 5;
constexpr int kGroupGap = 100;

constexpr std::string_view kSourceOpen = " (";
constexpr std::string_view kSourceClose = ")";

struct Column {
    int height = 0;
    int widest = 0;
};

// Where the panel lies and where its two columns of text start.
struct Panel {
    int top = 0;
    std::array<int, 2> textLeft{};
};

// A row's column counts by its place in the whole list: the rows beyond two columns, as a
// savegame written with more rows per column brings, are drawn in the second column too.
std::size_t ColumnOf(std::size_t row, int rowsPerColumn) {
    return row < static_cast<std::size_t>(rowsPerColumn) ? 0 : 1;
}

// Also by the place in the whole list, so a second column opens with a gap whenever its
// first row's index is a multiple of five.
bool OpensGroup(std::size_t row) {
    return row > 0 && row % kGroupRows == 0;
}

// The row's line, built in `line`: its text, and the source in brackets when it has more
// than blanks.
const zSTRING& LineText(zSTRING& line, const HistoryEntity& row) {
    line.Assign(row.text.Str());
    const std::string_view source = TrimBlanks(row.source.Str());
    if (!source.empty()) {
        line.Append(kSourceOpen);
        line.Append(source);
        line.Append(kSourceClose);
    }
    return line;
}

std::array<Column, 2> MeasureColumns(Instance& instance, zCView* screen, int lineHeight,
                                     int rowsPerColumn) {
    Engine& engine = instance.engine;
    std::array<Column, 2> columns{};
    const std::vector<HistoryEntity>& history = instance.lootHistory;
    for (std::size_t i = 0; i < history.size(); ++i) {
        Column& column = columns.at(ColumnOf(i, rowsPerColumn));
        const int width =
            engine.eng_view_text_width(screen, LineText(instance.historyLine, history[i]));
        if (OpensGroup(i)) {
            column.height += kGroupGap;
        }
        column.height += lineHeight + kLineSpacing;
        column.widest = std::max(column.widest, width);
    }
    return columns;
}

// Sizes the background to the columns, centres it on the screen and draws it at once.
Panel DrawBackground(Instance& instance, zCView* background, const std::array<Column, 2>& columns) {
    Engine& engine = instance.engine;
    const Column& first = columns[0];
    const Column& second = columns[1];
    const int secondWidth = second.widest > 0 ? kColumnSpacing + second.widest : 0;
    const int width = kTextInset + first.widest + secondWidth + kFarMargin;
    const int height = kTextInset + std::max(first.height, second.height) + kFarMargin;
    const int left = kScreenCentre - width / 2;
    const int top = kScreenCentre - height / 2;
    engine.eng_view_set_size(background, width, height);
    engine.eng_view_set_position(background, left, top);
    engine.eng_view_refresh(background);
    engine.eng_view_blit(background);
    engine.eng_view_draw(background);
    engine.eng_screen_remove(background);
    return Panel{top, {left + kTextInset, left + kTextInset + first.widest + kColumnSpacing}};
}

void DrawLines(Instance& instance, zCView* screen, const Panel& panel, int lineHeight,
               int rowsPerColumn) {
    Engine& engine = instance.engine;
    zCView* view = instance.statics.historyTextView;
    const std::vector<HistoryEntity>& history = instance.lootHistory;
    std::array<int, 2> gaps{};
    for (std::size_t i = 0; i < history.size(); ++i) {
        const std::size_t column = ColumnOf(i, rowsPerColumn);
        if (OpensGroup(i)) {
            gaps.at(column) += kGroupGap;
        }
        const HistoryEntity& row = history[i];
        const zSTRING& line = LineText(instance.historyLine, row);
        engine.eng_screen_insert(view, kStayOnTop);
        engine.eng_view_clear_text(view);
        engine.eng_view_set_size(view, engine.eng_view_text_width(screen, line), lineHeight);
        // Rows beyond two columns start again at the column's top, over the rows there.
        const int place = static_cast<int>(i % static_cast<std::size_t>(rowsPerColumn));
        engine.eng_view_set_position(
            view, panel.textLeft.at(column),
            panel.top + kTextInset + gaps.at(column) + place * (lineHeight + kLineSpacing));
        // A category without a colour keeps the colour of the line before.
        if (const zCOLOR* color = CategoryColor(instance.settings, row.category)) {
            engine.eng_view_set_font_color(view, *color);
        }
        engine.eng_view_window_print(view, line);
        engine.eng_view_blit(view);
        engine.eng_view_draw(view);
        engine.eng_screen_remove(view);
    }
}

}  // namespace

int HistoryRowsPerColumn(const PluginSettings& settings) {
    return std::max(1, settings.historyCntRowsInColumn);
}

void DrawLootHistory(Instance& instance) {
    zCView* background = instance.statics.historyBackgroundView;
    if (background == nullptr || !instance.historyVisible) {
        return;
    }
    Engine& engine = instance.engine;
    // Lines are measured with the screen's font, in the screen's units; the two views are on
    // the screen only while they are drawn, so none of them is left in the engine's view tree
    // between frames.
    zCView* screen = engine.eng_screen();
    engine.eng_screen_insert(background, kStayOnTop);
    engine.eng_view_clear_text(background);
    const int lineHeight = engine.eng_view_font_height(screen);
    const int rowsPerColumn = HistoryRowsPerColumn(instance.settings);
    const std::array<Column, 2> columns =
        MeasureColumns(instance, screen, lineHeight, rowsPerColumn);
    const Panel panel = DrawBackground(instance, background, columns);
    DrawLines(instance, screen, panel, lineHeight, rowsPerColumn);
}

}  // namespace pilfern
