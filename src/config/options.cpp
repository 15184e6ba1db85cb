#include "config/options.h"

#include <array>

#include "config/item_lists.h"
#include "config/option_catalogue.h"
#include "config/option_conversions.h"
#include "config/option_log.h"
#include "config/option_reader.h"
#include "config/plugin_views.h"
#include "config/renderer_detection.h"
#include "core/engine_patches.h"

namespace pilfern {
namespace {

// The NewBalance modification announces itself by this script symbol and value.
constexpr std::string_view kNewBalanceSymbol = "RX_UpdateVersionValue";
constexpr int kNewBalanceVersionValue = 45379177;
constexpr int kNoSymbolValue = -1;

constexpr int kFastAutoLootInterval = 100;
constexpr int kAutoLootInterval = 200;

// The hot keys a game reads: the plain keys, or under NewBalance the keys named so.
struct HotKeyOption {
    const OptionEntry* plainGame;
    const OptionEntry* newBalance;
    int PluginSettings::*field;
};

constexpr std::array<HotKeyOption, 4> kHotKeyOptions{{
    {&Option("autoLootEnabledBase"), &Option("autoLootEnabledBaseNewBalance"),
     &PluginSettings::autoLootEnabledBase},
    {&Option("autoLootEnabledSecond"), &Option("autoLootEnabledSecondNewBalance"),
     &PluginSettings::autoLootEnabledSecond},
    {&Option("historyQuickLootBase"), &Option("historyQuickLootBaseNewBalance"),
     &PluginSettings::historyQuickLootBase},
    {&Option("historyQuickLootSecond"), &Option("historyQuickLootSecondNewBalance"),
     &PluginSettings::historyQuickLootSecond},
}};

constexpr std::array<const OptionEntry*, 6> kUnusedHistoryOptions{
    &Option("historyFirstColumnStarPosX"),  &Option("historyFirstColumnStarPosY"),
    &Option("historySecondColumnStarPosX"), &Option("historySecondColumnStarPosY"),
    &Option("needHistoryTexture"),          &Option("historyTextureTransparecy"),
};

bool DetectNewBalance(Instance& instance) {
    Engine& engine = instance.engine;
    const zCPar_Symbol* symbol =
        engine.eng_script_find_symbol(engine.eng_script_parser(), zSTRING(kNewBalanceSymbol));
    const int value = symbol != nullptr ? engine.eng_script_symbol_int(symbol) : kNoSymbolValue;
    return value == kNewBalanceVersionValue;
}

// What a player may switch while the game runs; LoadOptions and ReloadOptions read it alike.
void ReadPermissions(Instance& instance) {
    PluginSettings& settings = instance.settings;
    settings.allowPilfernGround = ReadIntOption(instance, Option("allowPilfernGround")) != 0;
    settings.allowPilfernNpc = ReadIntOption(instance, Option("allowPilfernNpc")) != 0;
    settings.allowQuickLootChests = ReadIntOption(instance, Option("allowQuickLootChests"));
    settings.allowQuickLootInBattle = ReadIntOption(instance, Option("allowQuickLootInBattle"));
    settings.allowQuickLootInTransform =
        ReadIntOption(instance, Option("allowQuickLootInTransform"));
}

void ReadColors(Instance& instance) {
    PluginSettings& settings = instance.settings;
    settings.colorQuickLootRare = ReadColorOption(instance, Option("colorQuickLootRare"));
    settings.colorQuickLoot = ReadColorOption(instance, Option("colorQuickLoot"));
    settings.colorQuickLootWeapon = ReadColorOption(instance, Option("colorQuickLootWeapon"));
    settings.colorQuickLootArmorRings =
        ReadColorOption(instance, Option("colorQuickLootArmorRings"));
    settings.colorQuickLootBooksScrools =
        ReadColorOption(instance, Option("colorQuickLootBooksScrools"));
}

void ReadMessageRows(Instance& instance) {
    PluginSettings& settings = instance.settings;
    settings.startQuickLootTextPosX = ReadIntOption(instance, Option("startQuickLootTextPosX"));
    settings.startQuickLootTextPosY = ReadIntOption(instance, Option("startQuickLootTextPosY"));
    settings.quickLootTimeDelay = ReadIntOption(instance, Option("quickLootTimeDelay"));
    settings.quickLootNumberRecordsCustom =
        ReadIntOption(instance, Option("quickLootNumberRecordsCustom"));
    settings.quickLootNumberRecordsIdx =
        ReadIntOption(instance, Option("quickLootNumberRecordsIdx"));
    settings.messageRowCount =
        MessageRowCount(settings.quickLootNumberRecordsCustom, settings.quickLootNumberRecordsIdx);
}

void ReadHotKeys(Instance& instance) {
    PluginSettings& settings = instance.settings;
    settings.newBalanceMode = DetectNewBalance(instance);
    for (const HotKeyOption& hotKey : kHotKeyOptions) {
        settings.*hotKey.field = ReadKeyOption(
            instance, settings.newBalanceMode ? *hotKey.newBalance : *hotKey.plainGame);
    }
}

}  // namespace

void LoadOptions(Instance& instance) {
    PluginSettings& settings = instance.settings;
    PluginStatics& statics = instance.statics;

    DetectRendererFontScaling(instance);
    settings.showArmor = ReadSystemPackOption(instance, Option("ShowArmor"));
    ReloadMarkerTextures(instance);
    settings.textureIdx = ReadIntOption(instance, Option("textureIdx"));
    settings.keyLightQuickLoot = ReadKeyOption(instance, Option("keyLightQuickLoot"));
    FillAutoLootExcludedNames(settings.autoLootExcludedNames);
    settings.rareItemNames =
        SplitRareItemNames(ReadTextOption(instance, Option("quickLootRareListNew")));
    ReadColors(instance);

    if (statics.targetView == nullptr) {
        CreateTargetView(instance);
        settings.sizeTarget = ReadIntOption(instance, Option("sizeTarget"));
    }
    ReadPermissions(instance);
    if (statics.lootIconView == nullptr) {
        const CStringA position = ReadTextOption(instance, Option("lootIconPositions"));
        settings.sizeLootIcon = ReadIntOption(instance, Option("sizeLootIcon"));
        CreateLootIconView(instance, NumberParts(position, 2), settings.sizeLootIcon);
    }

    settings.historyCntRowsInColumn = ReadIntOption(instance, Option("historyCntRowsInColumn"));
    for (const OptionEntry* unused : kUnusedHistoryOptions) {
        ReadUnusedOption(instance, *unused);
    }
    settings.autoLootDistance =
        AutoLootDistanceFromIndex(ReadIntOption(instance, Option("maxDistanceAutoLoot")));
    settings.needFastLootX2Mode = ReadBoolOption(instance, Option("needFastLootX2Mode"));
    settings.autoLootInterval =
        settings.needFastLootX2Mode ? kFastAutoLootInterval : kAutoLootInterval;

    if (statics.historyBackgroundView == nullptr) {
        CreateHistoryBackgroundView(instance);
        // The overlay starts hidden once per process; later runs leave the player's choice.
        instance.historyVisible = false;
    }
    ReadMessageRows(instance);
    if (statics.historyTextView == nullptr) {
        CreateHistoryTextView(instance);
    }
    if (statics.messageView == nullptr) {
        statics.messageView = CreateScreenTextView(instance);
    }
    settings.isRMBTakeAllow = ReadBoolOption(instance, Option("isRMBTakeAllow"));
    settings.allowMarkQuestItems = ReadBoolOption(instance, Option("allowMarkQuestItems"));

    instance.text.scaledPrintActive = false;
    ArmEnginePatch(instance.patches.getFontData.get());
    ArmEnginePatch(instance.patches.printChars.get());
    settings.fontMultiplier =
        FontMultiplierFromIndex(ReadIntOption(instance, Option("possibleFontsMultiplierIdx")));

    ReadHotKeys(instance);
    settings.wispText = ReadTextOption(instance, Option("wispText"));
    if (statics.noticeView == nullptr) {
        statics.noticeView = CreateScreenTextView(instance);
    }
    settings.needDirectViewAutoloot = ReadBoolOption(instance, Option("needDirectViewAutoloot"));
    settings.prefixMode = ReadIntOption(instance, Option("prefixMode"));
    FillSummonedItemNames(settings.summonedItemNames);
    statics.screenViewport = instance.engine.eng_view_get_viewport(instance.engine.eng_screen());
    LogOptions(instance, OptionsRead::AtInit);
}

void ReloadOptions(Instance& instance) {
    PluginSettings& settings = instance.settings;
    ReadPermissions(instance);
    settings.quickLootNumberRecordsIdx =
        ReadIntOption(instance, Option("quickLootNumberRecordsIdx"));
    settings.messageRowCount =
        MessageRowCount(settings.quickLootNumberRecordsCustom, settings.quickLootNumberRecordsIdx);
    constexpr const OptionEntry& kDistance = Option("maxDistanceAutoLoot");
    settings.autoLootDistance = AutoLootDistanceFromIndex(ReadIntOption(
        instance, kDistance, kDistance.reloadDefault.value_or(kDistance.defaultNumber)));
    settings.textureIdx = ReadIntOption(instance, Option("textureIdx"));
    ApplyMarkerTexture(instance, settings.textureIdx);
    settings.allowMarkQuestItems = ReadBoolOption(instance, Option("allowMarkQuestItems"));
    settings.fontMultiplier =
        FontMultiplierFromIndex(ReadIntOption(instance, Option("possibleFontsMultiplierIdx")));
    LogOptions(instance, OptionsRead::Applied);
}

}  // namespace pilfern
