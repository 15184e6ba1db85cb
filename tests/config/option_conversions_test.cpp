#include "config/option_conversions.h"

#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/plugin_fixture.h"

namespace pilfern {
namespace {

struct KeyTextCase {
    std::string text;
    int code;
};

TEST(KeyOptionText, NumbersAndKeyNamesGiveKeyCodes) {
    const std::vector<KeyTextCase> cases{
        {"KEY_V", 47},
        {"47", 47},
        {" 47 ", 47},  // blanks around a number are allowed
        {"+47", 47},
        {"key_v", 47},  // names ignore letter case
        {"Mouse_ButtonMid", 526},
        {"KEY_BACK", 14},
        {"KEY_BACKSPACE", 14},
        {"KEY_PGDN", 209},
        {"KEY_NEXT", 209},
        {"0", 0},
        {"EMPTY", 0},
        {"", 0},
        {"KEY_V0", 0},
        {"47abc", 0},  // not a number, and no key name either
        {"0x2F", 0},
        {"- 47", 0},   // the sign belongs to the digits
        {"999", 999},  // any number is taken as it stands
    };
    for (const KeyTextCase& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        EXPECT_EQ(KeyCodeFromOptionText(CStringA(c.text)), c.code);
    }
}

struct IndexCase {
    int index;
    int distance;
    int rows;
    float font;
};

TEST(IndexTables, RowsInRangeAndFallbacksOutside) {
    const std::vector<IndexCase> cases{
        {0, 200, 8, 0.4F},         {2, 600, 12, 0.6F},        {3, 800, 14, 0.7F},
        {6, 1400, 20, 1.0F},       {9, 2000, 26, 1.3F},       {10, 1000, 12, 1.4F},
        {21, 1000, 12, 2.5F},      {22, 1000, 12, 1.0F},      {-1, 1000, 12, 1.0F},
        {INT_MIN, 1000, 12, 1.0F}, {INT_MAX, 1000, 12, 1.0F},
    };
    for (const IndexCase& c : cases) {
        SCOPED_TRACE("index " + std::to_string(c.index));
        EXPECT_EQ(AutoLootDistanceFromIndex(c.index), c.distance);
        EXPECT_EQ(MessageRowCount(kMessageRowsFromIndex, c.index), c.rows);
        EXPECT_EQ(FontMultiplierFromIndex(c.index), c.font);
    }
}

TEST(IndexTables, CustomRowCountIsTakenUnchecked) {
    for (const int custom : {0, 40, -2, 100000}) {
        EXPECT_EQ(MessageRowCount(custom, 3), custom) << custom;
    }
}

struct PartsCase {
    std::string text;
    std::vector<int> parts;
};

TEST(NumberParts, MissingPartsReadAsZero) {
    const std::vector<PartsCase> cases{
        {"8080,10", {8080, 10}}, {" 8000 , 20 ", {8000, 20}},
        {"8000", {8000, 0}},     {"", {0, 0}},
        {",5", {0, 5}},          {"1,2,3", {1, 2}},
        {"x,-7", {0, -7}},       {"12px,3", {12, 3}},
    };
    for (const PartsCase& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        EXPECT_EQ(NumberParts(CStringA(c.text), 2), c.parts);
    }
}

struct ColorCase {
    std::string text;
    zCOLOR color;  // b, g, r, alpha
};

TEST(ParseColor, ThreeLowBytesAndOpaque) {
    test::PluginFixture fixture;
    fixture.Load();
    const std::vector<ColorCase> cases{
        {"255,105,0", {0, 105, 255, 255}}, {"255, 105 ,0", {0, 105, 255, 255}},
        {"300,0,0", {0, 0, 44, 255}},      {"-1,256,0", {0, 0, 255, 255}},
        {"10,20", {0, 20, 10, 255}},       {"", {0, 0, 0, 255}},
        {"a,b,c", {0, 0, 0, 255}},         {"1,2,3,4", {3, 2, 1, 255}},
    };
    for (const ColorCase& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        EXPECT_EQ(ParseColor(fixture.Running(), CStringA(c.text)), c.color);
    }
}

}  // namespace
}  // namespace pilfern
