#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "host/cstring.h"
#include "host/engine.h"

namespace pilfern {

// The converted option values. Written only by option loading, read everywhere else.
struct PluginSettings {
    int textureIdx = 0;
    int keyLightQuickLoot = 0;
    std::vector<CStringA> rareItemNames;
    zCOLOR colorQuickLootRare;
    zCOLOR colorQuickLoot;
    zCOLOR colorQuickLootWeapon;
    zCOLOR colorQuickLootArmorRings;
    zCOLOR colorQuickLootBooksScrools;
    int sizeTarget = 0;
    bool allowPilfernGround = false;
    bool allowPilfernNpc = false;
    int allowQuickLootChests = 0;
    int allowQuickLootInBattle = 0;
    int allowQuickLootInTransform = 0;
    int sizeLootIcon = 0;
    int historyCntRowsInColumn = 0;
    int autoLootDistance = 0;
    bool needFastLootX2Mode = false;
    int autoLootInterval = 0;
    int startQuickLootTextPosX = 0;
    int startQuickLootTextPosY = 0;
    int quickLootTimeDelay = 0;
    int quickLootNumberRecordsCustom = 0;
    int quickLootNumberRecordsIdx = 0;
    int messageRowCount = 0;
    bool isRMBTakeAllow = false;
    bool allowMarkQuestItems = false;
    bool needDirectViewAutoloot = false;
    bool newBalanceMode = false;
    int autoLootEnabledBase = 0;
    int autoLootEnabledSecond = 0;
    int historyQuickLootBase = 0;
    int historyQuickLootSecond = 0;
    CStringA wispText;
    int prefixMode = 0;
    float fontMultiplier = 0.0F;
    bool showArmor = false;
    std::vector<CStringA> autoLootExcludedNames;
    std::vector<CStringA> summonedItemNames;
};

// The engine objects option loading creates. Views are made once and live as long as the
// process; the two marker textures are held by one reference each.
struct PluginStatics {
    zCTexture* targetTextureBlue = nullptr;
    zCTexture* targetTextureGreen = nullptr;
    zCView* targetView = nullptr;
    zCView* lootIconView = nullptr;
    zCView* historyBackgroundView = nullptr;
    zCView* historyTextView = nullptr;
    zCView* messageView = nullptr;
    zCView* noticeView = nullptr;
    zVIEWPORT screenViewport;
};

// The text colour of an item category (1 to 5), or none for any other value: the view then
// keeps the colour it had last.
[[nodiscard]] inline const zCOLOR* CategoryColor(const PluginSettings& settings, int category) {
    static constexpr std::array<zCOLOR PluginSettings::*, 5> kColors{
        &PluginSettings::colorQuickLoot,
        &PluginSettings::colorQuickLootRare,
        &PluginSettings::colorQuickLootWeapon,
        &PluginSettings::colorQuickLootArmorRings,
        &PluginSettings::colorQuickLootBooksScrools,
    };
    if (category < 1 || category > static_cast<int>(kColors.size())) {
        return nullptr;
    }
    return &(settings.*kColors.at(static_cast<std::size_t>(category - 1)));
}

}  // namespace pilfern
