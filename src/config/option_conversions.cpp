#include "config/option_conversions.h"

#include "config/key_names.h"
#include "core/instance.h"

namespace pilfern {
namespace {

constexpr int kDecimal = 10;
constexpr std::uint8_t kOpaque = 255;

std::uint8_t LowByte(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace

int AutoLootDistanceFromIndex(int index) {
    return RowOrFallback(kAutoLootDistances, index, kAutoLootDistanceFallback);
}

int MessageRowCount(int custom, int index) {
    if (custom != kMessageRowsFromIndex) {
        return custom;
    }
    return RowOrFallback(kMessageRowCounts, index, kMessageRowCountFallback);
}

float FontMultiplierFromIndex(int index) {
    return RowOrFallback(kFontMultipliers, index, kFontMultiplierFallback);
}

int KeyCodeFromOptionText(const CStringA& text) {
    return text.IsNumber() ? text.ToInt32(kDecimal) : KeyCodeFromName(text);
}

std::vector<int> NumberParts(const CStringA& text, std::size_t count) {
    const std::vector<CStringA> pieces = text.Split(CStringA(","));
    std::vector<int> numbers(count, 0);
    for (std::size_t i = 0; i < count && i < pieces.size(); ++i) {
        numbers[i] = pieces[i].ToInt32(kDecimal);
    }
    return numbers;
}

zCOLOR ParseColor(Instance& instance, const CStringA& text) {
    const std::vector<int> parts = NumberParts(text, 3);
    return instance.engine.eng_color_make(LowByte(parts[0]), LowByte(parts[1]), LowByte(parts[2]),
                                          kOpaque);
}

}  // namespace pilfern
