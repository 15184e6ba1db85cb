#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "config/option_conversions.h"

namespace pilfern {

// The plugin's section of Gothic.ini, and the section of the framework's own options file.
inline constexpr std::string_view kOptionSection = "VARKO_UNION_PILFERN";
inline constexpr std::string_view kSystemPackSection = "PARAMETERS";

// How an option's text becomes a setting, and so which of the engine's readers reads it.
enum class OptionKind {
    Int,       // a whole number (integer reader)
    Bool,      // true or false (boolean reader)
    Text,      // a text used as written (text reader)
    NameList,  // names separated by "|" (text reader)
    Key,       // a key name or a key code number (text reader)
    Colour,    // "red,green,blue" (text reader)
    Position,  // "x,y" in virtual screen units (text reader)
    Index,     // a number selecting a row of a fixed table (integer reader)
};

// Where an option is found: the game's Gothic.ini or the framework's system options.
enum class OptionSource { GameIni, SystemPack };

// Which game reads the option: every game, or only a game with or without NewBalance.
enum class OptionMode { Always, PlainGame, NewBalance };

// One option as the plugin reads it.
struct OptionEntry {
    std::string_view key;
    OptionKind kind = OptionKind::Int;
    int defaultNumber = 0;         // default of int, bool (0 or 1) and index options
    std::string_view defaultText;  // default of the text kinds
    // The PluginSettings field the value lands in; empty when the plugin reads the key but
    // does not use it, or when it places a view instead ("lootIconPositions").
    std::string_view field;
    bool reread = false;  // ReloadOptions reads it again
    OptionMode mode = OptionMode::Always;
    OptionSource source = OptionSource::GameIni;
    std::size_t indexRows = 0;         // index options: rows 0 to indexRows - 1
    std::optional<int> reloadDefault;  // when ReloadOptions passes another default
    std::string_view russianText;      // default under system language 1, in Windows-1251

    // The catalogue's rows are written as a kind, key, default and field, then these marks.
    [[nodiscard]] constexpr OptionEntry ReadAgain(std::optional<int> otherDefault = {}) const {
        OptionEntry entry = *this;
        entry.reread = true;
        entry.reloadDefault = otherDefault;
        return entry;
    }
    [[nodiscard]] constexpr OptionEntry Rows(std::size_t rows) const {
        OptionEntry entry = *this;
        entry.indexRows = rows;
        return entry;
    }
    [[nodiscard]] constexpr OptionEntry Only(OptionMode gameMode) const {
        OptionEntry entry = *this;
        entry.mode = gameMode;
        return entry;
    }
    [[nodiscard]] constexpr OptionEntry From(OptionSource where) const {
        OptionEntry entry = *this;
        entry.source = where;
        return entry;
    }
    [[nodiscard]] constexpr OptionEntry InRussian(std::string_view text) const {
        OptionEntry entry = *this;
        entry.russianText = text;
        return entry;
    }
};

// An int, bool (0 or 1) or index option.
[[nodiscard]] constexpr OptionEntry NumberOption(OptionKind kind, std::string_view key,
                                                 int fallback, std::string_view field = {}) {
    OptionEntry entry;
    entry.key = key;
    entry.kind = kind;
    entry.defaultNumber = fallback;
    entry.field = field;
    return entry;
}

// An option of one of the text kinds.
[[nodiscard]] constexpr OptionEntry TextOption(OptionKind kind, std::string_view key,
                                               std::string_view fallback,
                                               std::string_view field = {}) {
    OptionEntry entry;
    entry.key = key;
    entry.kind = kind;
    entry.defaultText = fallback;
    entry.field = field;
    return entry;
}

// "Найден огонек, автолут выключается" in Windows-1251, the code page the game prints Russian in.
inline constexpr std::string_view kWispTextRussian =
    "\xCD\xE0\xE9\xE4\xE5\xED\x20\xEE\xE3\xEE\xED\xE5\xEA\x2C\x20\xE0\xE2\xF2\xEE\xEB\xF3\xF2"
    "\x20\xE2\xFB\xEA\xEB\xFE\xF7\xE0\xE5\xF2\xF1\xFF";

inline constexpr std::string_view kRareItemNamesDefault =
    "itpl_perm_herb|itpl_strength_herb_01|itpl_dex_herb_01|itpo_megadrink|itpo_perm_str|"
    "itpo_perm_dex|itpo_perm_mana|itpo_perm_health|itat_heartdemon|itat_waranfiretongue|"
    "itat_shadowhorn|itat_dragonblood";

// Every option, in the order LoadOptions reads it. The loader, ReloadOptions and the config
// report of the simulator all take keys and defaults from here.
inline constexpr std::array<OptionEntry, 45> kOptionCatalogue{
    NumberOption(OptionKind::Bool, "ShowArmor", 0, "showArmor").From(OptionSource::SystemPack),
    NumberOption(OptionKind::Int, "textureIdx", 2, "textureIdx").ReadAgain(),
    TextOption(OptionKind::Key, "keyLightQuickLoot", "KEY_V", "keyLightQuickLoot"),
    TextOption(OptionKind::NameList, "quickLootRareListNew", kRareItemNamesDefault,
               "rareItemNames"),
    TextOption(OptionKind::Colour, "colorQuickLootRare", "255,105,0", "colorQuickLootRare"),
    TextOption(OptionKind::Colour, "colorQuickLoot", "0,207,38", "colorQuickLoot"),
    TextOption(OptionKind::Colour, "colorQuickLootWeapon", "255,248,220", "colorQuickLootWeapon"),
    TextOption(OptionKind::Colour, "colorQuickLootArmorRings", "64,224,208",
               "colorQuickLootArmorRings"),
    TextOption(OptionKind::Colour, "colorQuickLootBooksScrools", "237,249,31",
               "colorQuickLootBooksScrools"),
    NumberOption(OptionKind::Int, "sizeTarget", 128, "sizeTarget"),
    NumberOption(OptionKind::Int, "allowPilfernGround", 1, "allowPilfernGround").ReadAgain(),
    NumberOption(OptionKind::Int, "allowPilfernNpc", 1, "allowPilfernNpc").ReadAgain(),
    NumberOption(OptionKind::Int, "allowQuickLootChests", 1, "allowQuickLootChests").ReadAgain(),
    NumberOption(OptionKind::Int, "allowQuickLootInBattle", 1, "allowQuickLootInBattle")
        .ReadAgain(),
    NumberOption(OptionKind::Int, "allowQuickLootInTransform", 1, "allowQuickLootInTransform")
        .ReadAgain(),
    TextOption(OptionKind::Position, "lootIconPositions", "8080,10"),
    NumberOption(OptionKind::Int, "sizeLootIcon", 100, "sizeLootIcon"),
    NumberOption(OptionKind::Int, "historyCntRowsInColumn", 30, "historyCntRowsInColumn"),
    NumberOption(OptionKind::Int, "historyFirstColumnStarPosX", 800),
    NumberOption(OptionKind::Int, "historyFirstColumnStarPosY", 1000),
    NumberOption(OptionKind::Int, "historySecondColumnStarPosX", 4500),
    NumberOption(OptionKind::Int, "historySecondColumnStarPosY", 1000),
    NumberOption(OptionKind::Bool, "needHistoryTexture", 1),
    NumberOption(OptionKind::Int, "historyTextureTransparecy", 180),
    NumberOption(OptionKind::Index, "maxDistanceAutoLoot", 2, "autoLootDistance")
        .Rows(kAutoLootDistances.size())
        .ReadAgain(4),
    NumberOption(OptionKind::Bool, "needFastLootX2Mode", 0, "needFastLootX2Mode"),
    NumberOption(OptionKind::Int, "startQuickLootTextPosX", 800, "startQuickLootTextPosX"),
    NumberOption(OptionKind::Int, "startQuickLootTextPosY", 6000, "startQuickLootTextPosY"),
    NumberOption(OptionKind::Int, "quickLootTimeDelay", 5000, "quickLootTimeDelay"),
    NumberOption(OptionKind::Int, "quickLootNumberRecordsCustom", kMessageRowsFromIndex,
                 "quickLootNumberRecordsCustom"),
    NumberOption(OptionKind::Index, "quickLootNumberRecordsIdx", 3, "quickLootNumberRecordsIdx")
        .Rows(kMessageRowCounts.size())
        .ReadAgain(),
    NumberOption(OptionKind::Bool, "isRMBTakeAllow", 1, "isRMBTakeAllow"),
    NumberOption(OptionKind::Bool, "allowMarkQuestItems", 1, "allowMarkQuestItems").ReadAgain(),
    NumberOption(OptionKind::Index, "possibleFontsMultiplierIdx", 6, "fontMultiplier")
        .Rows(kFontMultipliers.size())
        .ReadAgain(),
    TextOption(OptionKind::Key, "autoLootEnabledBase", "KEY_RSHIFT", "autoLootEnabledBase")
        .Only(OptionMode::PlainGame),
    TextOption(OptionKind::Key, "autoLootEnabledSecond", "KEY_APOSTROPHE", "autoLootEnabledSecond")
        .Only(OptionMode::PlainGame),
    TextOption(OptionKind::Key, "historyQuickLootBase", "KEY_RSHIFT", "historyQuickLootBase")
        .Only(OptionMode::PlainGame),
    TextOption(OptionKind::Key, "historyQuickLootSecond", "KEY_SEMICOLON", "historyQuickLootSecond")
        .Only(OptionMode::PlainGame),
    TextOption(OptionKind::Key, "autoLootEnabledBaseNewBalance", "EMPTY", "autoLootEnabledBase")
        .Only(OptionMode::NewBalance),
    TextOption(OptionKind::Key, "autoLootEnabledSecondNewBalance", "MOUSE_BUTTONMID",
               "autoLootEnabledSecond")
        .Only(OptionMode::NewBalance),
    TextOption(OptionKind::Key, "historyQuickLootBaseNewBalance", "KEY_RSHIFT",
               "historyQuickLootBase")
        .Only(OptionMode::NewBalance),
    TextOption(OptionKind::Key, "historyQuickLootSecondNewBalance", "KEY_APOSTROPHE",
               "historyQuickLootSecond")
        .Only(OptionMode::NewBalance),
    TextOption(OptionKind::Text, "wispText", "Found wisp, autoloot will disable.", "wispText")
        .InRussian(kWispTextRussian),
    NumberOption(OptionKind::Bool, "needDirectViewAutoloot", 1, "needDirectViewAutoloot"),
    NumberOption(OptionKind::Int, "prefixMode", 1, "prefixMode"),
};

// The entry of a key, found while compiling: a key that is not in the catalogue does not build.
consteval const OptionEntry& Option(std::string_view key) {
    for (const OptionEntry& entry : kOptionCatalogue) {
        if (entry.key == key) {
            return entry;
        }
    }
    throw "not an option of the catalogue";
}

// The default text of a text option under a system language (1 is Russian).
[[nodiscard]] constexpr std::string_view DefaultTextFor(const OptionEntry& entry,
                                                        int systemLanguage) {
    constexpr int kRussian = 1;
    return systemLanguage == kRussian && !entry.russianText.empty() ? entry.russianText
                                                                    : entry.defaultText;
}

// Whether the engine's integer, boolean or text reader reads an option of this kind.
enum class OptionReader { Int, Bool, Text };
[[nodiscard]] constexpr OptionReader ReaderOf(OptionKind kind) {
    switch (kind) {
    case OptionKind::Int:
    case OptionKind::Index:
        return OptionReader::Int;
    case OptionKind::Bool:
        return OptionReader::Bool;
    default:
        return OptionReader::Text;
    }
}

}  // namespace pilfern
