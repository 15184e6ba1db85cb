#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/cstring.h"
#include "host/engine.h"

namespace pilfern {

struct Instance;

// Auto-loot radius by "maxDistanceAutoLoot" index, in world units.
inline constexpr std::array<int, 10> kAutoLootDistances{200,  400,  600,  800,  1000,
                                                        1200, 1400, 1600, 1800, 2000};
inline constexpr int kAutoLootDistanceFallback = 1000;

// Message rows by "quickLootNumberRecordsIdx", used while "quickLootNumberRecordsCustom" is
// kMessageRowsFromIndex.
inline constexpr std::array<int, 10> kMessageRowCounts{8, 10, 12, 14, 16, 18, 20, 22, 24, 26};
inline constexpr int kMessageRowCountFallback = 12;
inline constexpr int kMessageRowsFromIndex = -1;

// Text scale by "possibleFontsMultiplierIdx". Written out rather than computed, so that each
// factor is the nearest float to its decimal (0.4F + 0.3F is not 0.7F).
inline constexpr std::array<float, 22> kFontMultipliers{
    0.4F, 0.5F, 0.6F, 0.7F, 0.8F, 0.9F, 1.0F, 1.1F, 1.2F, 1.3F, 1.4F,
    1.5F, 1.6F, 1.7F, 1.8F, 1.9F, 2.0F, 2.1F, 2.2F, 2.3F, 2.4F, 2.5F};
inline constexpr float kFontMultiplierFallback = 1.0F;

// Whether an index option selects a row of a table of `rows` rows. The index is taken as
// unsigned, so a negative index lies far beyond the last row.
[[nodiscard]] constexpr bool IndexSelectsRow(int index, std::size_t rows) {
    return static_cast<std::uint32_t>(index) < rows;
}

template <class T, std::size_t N>
[[nodiscard]] constexpr T RowOrFallback(const std::array<T, N>& table, int index, T fallback) {
    return IndexSelectsRow(index, N) ? table[static_cast<std::uint32_t>(index)] : fallback;
}

[[nodiscard]] int AutoLootDistanceFromIndex(int index);
// The custom count is taken unchanged, without a range check, unless it is -1.
[[nodiscard]] int MessageRowCount(int custom, int index);
[[nodiscard]] float FontMultiplierFromIndex(int index);

// The key code of a key option's text: its value when CStringA::IsNumber accepts it (blanks
// around the number and a sign allowed), otherwise the code of the key name, 0 for no key.
[[nodiscard]] int KeyCodeFromOptionText(const CStringA& text);

// The first `count` comma-separated parts of a text as decimal numbers (CStringA::ToInt32).
// A part that is missing reads as 0.
[[nodiscard]] std::vector<int> NumberParts(const CStringA& text, std::size_t count);

// An opaque engine colour from "red,green,blue"; each part keeps its low 8 bits.
[[nodiscard]] zCOLOR ParseColor(Instance& instance, const CStringA& text);

}  // namespace pilfern
