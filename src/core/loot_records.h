#pragma once

#include <cstdint>
#include <optional>

#include "host/cstring.h"

namespace pilfern {

// Colour class of a taken item.
enum ItemCategory : int {
    kCategoryPlain = 1,
    kCategoryRare = 2,
    kCategoryWeapon = 3,
    kCategoryArmorRings = 4,
    kCategoryBooksScrolls = 5,
};

// One queued loot message on screen.
struct MessageData {
    CStringA text;
    int category = kCategoryPlain;
    std::optional<std::uint32_t> shownAt;  // framework time of the first draw
};

// One row of the loot history.
struct HistoryEntity {
    CStringA text;
    CStringA source;
    std::int32_t category = kCategoryPlain;
};

// One auto-loot target marker: where something was taken and when.
struct TargetData {
    std::uint32_t createdAt = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t z = 0;
};

}  // namespace pilfern
