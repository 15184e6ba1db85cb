#include "host/cstring.h"

#include <gtest/gtest.h>

namespace pilfern {
namespace {

TEST(CStringA, EqualityIsExactAndTheCaselessTestsSaySo) {
    EXPECT_FALSE(CStringA("KEY_V") == CStringA("key_v"));
    EXPECT_TRUE(CStringA("KEY_V").CompareI(CStringA("key_v")));
    EXPECT_FALSE(CStringA("KEY_V").CompareI(CStringA("KEY_V0")));
    EXPECT_TRUE(CStringA("(M) Pfeil von NSC").HasWordI(CStringA("PFEIL VON NSC")));
    EXPECT_FALSE(CStringA("Pfeil").HasWordI(CStringA("PFEIL VON NSC")));
}

TEST(CStringA, SplitKeepsEmptyPieces) {
    const auto pieces = CStringA("a||b|").Split(CStringA("|"));
    ASSERT_EQ(pieces.size(), 4U);
    EXPECT_EQ(pieces[0], CStringA("a"));
    EXPECT_TRUE(pieces[1].IsEmpty());
    EXPECT_EQ(pieces[2], CStringA("b"));
    EXPECT_TRUE(pieces[3].IsEmpty());
    EXPECT_EQ(CStringA("").Split(CStringA(",")).size(), 1U);
}

struct NumberCase {
    const char* text;
    bool isNumber;
    int value;
};

TEST(CStringA, NumbersFollowOneRuleForBlanksAndSigns) {
    const NumberCase cases[] = {
        {"47", true, 47},
        {" 47 ", true, 47},
        {"-1", true, -1},
        {"+5", true, 5},
        {"4 7", false, 4},
        {"KEY_V", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"255,105", false, 255},
        {"99999999999", true, 2147483647},
        {"-99999999999", true, -2147483647 - 1},
    };
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CStringA(c.text).IsNumber(), c.isNumber);
        EXPECT_EQ(CStringA(c.text).ToInt32(10), c.value);
    }
}

TEST(CStringA, ShrinkUpperAndNumberText) {
    CStringA text("  \tItMw_Sum \r\n");
    EXPECT_EQ(text.Shrink().Upper(), CStringA("ITMW_SUM"));
    EXPECT_EQ(CStringA(-2147483647 - 1, 10), CStringA("-2147483648"));
    EXPECT_EQ(CStringA(25, 10), CStringA("25"));
}

}  // namespace
}  // namespace pilfern
