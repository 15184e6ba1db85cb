#include <cstddef>
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "host/engine.h"

namespace pilfern {
namespace {

// The values the plugin and the engine hand each other by copy or by reference: the engine
// reads and writes them with its own layout, so the plugin's must match it in every build.
static_assert(sizeof(zVEC2) == 8 && offsetof(zVEC2, y) == 4);
static_assert(sizeof(zVEC3) == 12 && offsetof(zVEC3, z) == 8);
static_assert(sizeof(zMAT34) == 48);
static_assert(sizeof(zPOINT2) == 8 && offsetof(zPOINT2, y) == 4);
static_assert(sizeof(zCOLOR) == 4);
static_assert(sizeof(zVIEWPORT) == 16 && offsetof(zVIEWPORT, height) == 12);

// The engine keeps a colour as one word 0xAARRGGBB: in memory blue comes first.
TEST(EngineLayout, AColourIsTheEnginesWordInItsByteOrder) {
    zCOLOR colour;
    colour.b = 0x11;
    colour.g = 0x22;
    colour.r = 0x33;
    colour.alpha = 0x44;
    std::uint32_t word = 0;
    std::memcpy(&word, &colour, sizeof word);
    EXPECT_EQ(word, 0x44332211U);
}

// In a 32-bit build the plugin runs with the widths of the game's own process: an engine
// address, a replacement held by a patch record as an address, and the engine's integers are
// 32 bits wide.
TEST(EngineLayout, A32BitBuildHasTheWidthsOfTheGamesProcess) {
    if (sizeof(void*) != 4) {
        GTEST_SKIP() << "a 64-bit build; the game's widths are checked by the 32-bit builds";
    }
    EXPECT_EQ(sizeof(std::uintptr_t), 4U);
    EXPECT_EQ(sizeof(FontGetFontDataFn), sizeof(std::uintptr_t));
    EXPECT_EQ(sizeof(ViewPrintCharsFn), sizeof(std::uintptr_t));
    EXPECT_EQ(sizeof(InputSetStateFn), sizeof(std::uintptr_t));
    EXPECT_EQ(sizeof(int), 4U);
    EXPECT_EQ(sizeof(long), 4U);
}

}  // namespace
}  // namespace pilfern
