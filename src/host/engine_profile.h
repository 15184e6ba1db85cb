#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pilfern {

// What differs between the four engines, as data. Logic reads the profile of its instance
// and never asks for a version number itself.
struct EngineProfile {
    int version;                              // the framework's engine version value
    std::string_view engineNamespace;         // names the engine's classes in patch signatures
    bool gothicOneRules;                      // input patch, Gothic I corpse walk, room rule
    int chestUnlockSubtype;                   // conversation message subtype of an unlock
    int baseDirectorySetting;                 // options directory that holds the game's base folder
    std::optional<int> focusRefreshArgument;  // argument of the focus refresh, if it takes one
    // The item flag the engine never focuses (and sets on what an NPC holds in its hands);
    // Gothic Sequel moved it, its 0x800000 marks staffs.
    std::uint32_t notFocusableFlag;
};

inline constexpr std::array<EngineProfile, 4> kEngineProfiles{{
    {1, "Gothic_I_Classic", true, 2, 23, std::nullopt, 0x800000},
    {2, "Gothic_I_Addon", true, 20, 24, std::nullopt, 0x1000000},
    {3, "Gothic_II_Classic", false, 19, 24, 1, 0x800000},
    {4, "Gothic_II_Addon", false, 19, 24, 1, 0x800000},
}};

// The profile for a framework engine version value, or none for values outside 1 to 4.
[[nodiscard]] constexpr const EngineProfile* FindEngineProfile(int version) {
    for (const EngineProfile& profile : kEngineProfiles) {
        if (profile.version == version) {
            return &profile;
        }
    }
    return nullptr;
}

}  // namespace pilfern
