#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

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
// The engine's string object, which PrintChars receives by reference: 20 bytes in the game's
// 32-bit process (host/engine_string.h asserts the offsets there); the same fields in order,
// naturally aligned, in a 64-bit build.
static_assert(std::is_standard_layout_v<zSTRING_Engine>);
static_assert(offsetof(zSTRING_Engine, virtualTable) == 0);
static_assert(offsetof(zSTRING_Engine, allocator) == sizeof(void*));
static_assert(offsetof(zSTRING_Engine, text) == 2 * sizeof(void*));
static_assert(offsetof(zSTRING_Engine, length) == 3 * sizeof(void*));
static_assert(offsetof(zSTRING_Engine, reserved) == 3 * sizeof(void*) + 4);
static_assert(sizeof(zSTRING_Engine) == 3 * sizeof(void*) + 8);

// The engine string's text is its text pointer and length as they lie in the object, read in
// place; a null pointer is a string without character buffer.
TEST(EngineLayout, AnEngineStringIsReadWhereItsPointerAndLengthSay) {
    std::array<char, 12> characters{"Gold x25!!"};
    zSTRING_Engine text;
    text.text = characters.data();
    text.length = 8;
    EXPECT_TRUE(text.HasBuffer());
    EXPECT_EQ(text.Text(), "Gold x25");
    EXPECT_EQ(text.Text().data(), characters.data()) << "not copied";

    // The bytes at the offsets the engine writes are the ones read.
    std::array<unsigned char, sizeof(zSTRING_Engine)> bytes{};
    char* pointer = characters.data() + 5;
    const int length = 3;
    std::memcpy(bytes.data() + offsetof(zSTRING_Engine, text), &pointer, sizeof pointer);
    std::memcpy(bytes.data() + offsetof(zSTRING_Engine, length), &length, sizeof length);
    zSTRING_Engine laidOut;
    std::memcpy(static_cast<void*>(&laidOut), bytes.data(), bytes.size());
    EXPECT_EQ(laidOut.Text(), "x25");

    zSTRING_Engine none;
    none.length = 4;
    EXPECT_FALSE(none.HasBuffer());
    EXPECT_TRUE(none.Text().empty());
}

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
    EXPECT_EQ(sizeof(zSTRING_Engine), 20U);
    EXPECT_EQ(offsetof(zSTRING_Engine, text), 8U);
    EXPECT_EQ(offsetof(zSTRING_Engine, length), 12U);
}

}  // namespace
}  // namespace pilfern
