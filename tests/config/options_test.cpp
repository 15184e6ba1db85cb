#include "config/options.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "config/option_catalogue.h"
#include "sim/settings_json.h"
#include "support/plugin_fixture.h"

namespace pilfern {
namespace {

using Json = nlohmann::ordered_json;
using test::PluginFixture;

constexpr int kNewBalanceValue = 45379177;

std::string GameIni(std::string_view section) {
    return "[GAME]\r\nsubTitles=1\r\n\r\n[VARKO_UNION_PILFERN]\r\n" + std::string(section);
}

// A game with the plugin loaded, started with the given option lines.
class OptionsTest : public ::testing::Test {
protected:
    explicit OptionsTest(int engineVersion = 4) : fixture(engineVersion) {}

    void Start(std::string_view section = "") {
        fixture.WriteGameIni(GameIni(section));
        fixture.Load();
        Game().Init();
    }
    // The player changes options in the game's menu ("key=value" lines of the plugin's
    // section) and applies them.
    void Apply(std::string_view lines) {
        sim::SimGame::OptionValues values;
        const IniFile changed = IniFile::Parse(GameIni(lines));
        for (const std::string& key : changed.Keys(kOptionSection)) {
            values[std::string(kOptionSection)][key] = *changed.Find(kOptionSection, key);
        }
        Game().ApplyOptions(values);
    }

    sim::SimGame& Game() { return fixture.Game(); }
    sim::SimEngine& Engine() { return fixture.Game().engine; }
    Instance& Plugin() { return fixture.Running(); }
    PluginSettings& Settings() { return Plugin().settings; }
    Json SettingsJson() { return sim::SettingsToJson(Settings(), 1252); }

    PluginFixture fixture;
};

std::string ReaderName(OptionKind kind) {
    switch (ReaderOf(kind)) {
    case OptionReader::Int:
        return "int";
    case OptionReader::Bool:
        return "bool";
    case OptionReader::Text:
        return "string";
    }
    return {};
}

// The engine reads of LoadOptions: every Gothic.ini key of the catalogue that the game reads,
// in catalogue order, each with the reader of its kind.
std::vector<zCOption::Read> CatalogueReads(bool newBalance, const std::set<std::string>& skip) {
    std::vector<zCOption::Read> reads;
    for (const OptionEntry& entry : kOptionCatalogue) {
        const bool inThisGame = entry.mode == OptionMode::Always ||
                                (entry.mode == OptionMode::NewBalance) == newBalance;
        if (entry.source == OptionSource::GameIni && inThisGame &&
            !skip.contains(std::string(entry.key))) {
            reads.push_back(
                {ReaderName(entry.kind), "VARKO_UNION_PILFERN", std::string(entry.key)});
        }
    }
    return reads;
}

TEST_F(OptionsTest, EveryOptionTakesItsDefaultWithoutTheSection) {
    fixture.WriteGameIni("[GAME]\nsubTitles=1\n");
    fixture.Load();
    Game().Init();
    Json settings = SettingsJson();
    // The name lists have tests of their own.
    for (const char* list : {"rareItemNames", "autoLootExcludedNames", "summonedItemNames"}) {
        settings.erase(list);
    }
    const Json expected = Json::parse(R"({
        "textureIdx": 2, "keyLightQuickLoot": 47,
        "colorQuickLootRare": [255, 105, 0, 255], "colorQuickLoot": [0, 207, 38, 255],
        "colorQuickLootWeapon": [255, 248, 220, 255],
        "colorQuickLootArmorRings": [64, 224, 208, 255],
        "colorQuickLootBooksScrools": [237, 249, 31, 255],
        "sizeTarget": 128, "allowPilfernGround": true, "allowPilfernNpc": true,
        "allowQuickLootChests": 1, "allowQuickLootInBattle": 1, "allowQuickLootInTransform": 1,
        "sizeLootIcon": 100, "historyCntRowsInColumn": 30, "autoLootDistance": 600,
        "needFastLootX2Mode": false, "autoLootInterval": 200,
        "startQuickLootTextPosX": 800, "startQuickLootTextPosY": 6000,
        "quickLootTimeDelay": 5000, "quickLootNumberRecordsCustom": -1,
        "quickLootNumberRecordsIdx": 3, "messageRowCount": 14,
        "isRMBTakeAllow": true, "allowMarkQuestItems": true, "needDirectViewAutoloot": true,
        "newBalanceMode": false, "autoLootEnabledBase": 54, "autoLootEnabledSecond": 40,
        "historyQuickLootBase": 54, "historyQuickLootSecond": 39,
        "wispText": "Found wisp, autoloot will disable.", "prefixMode": 1,
        "fontMultiplier": 1.0, "showArmor": false
    })");
    EXPECT_EQ(settings, expected) << settings.dump(1);
    EXPECT_EQ(Settings().fontMultiplier, 1.0F);
}

class LoadOrder : public OptionsTest, public ::testing::WithParamInterface<bool> {};

TEST_P(LoadOrder, LoadOptionsAsksTheEngineInCatalogueOrder) {
    const bool newBalance = GetParam();
    if (newBalance) {
        Engine().SetSymbol("RX_UpdateVersionValue", kNewBalanceValue);
    }
    Start();
    EXPECT_EQ(Engine().options.reads, CatalogueReads(newBalance, {}));

    // A later run creates no views, so it skips the keys only view creation reads.
    Engine().options.reads.clear();
    Game().Init();
    EXPECT_EQ(Engine().options.reads,
              CatalogueReads(newBalance, {"sizeTarget", "lootIconPositions", "sizeLootIcon"}));
}

INSTANTIATE_TEST_SUITE_P(Games, LoadOrder, ::testing::Bool(), [](const auto& game) {
    return game.param ? std::string("NewBalance") : std::string("PlainGame");
});

TEST_F(OptionsTest, ReloadOptionsReadsItsSubsetInItsOrder) {
    Start();
    Engine().options.reads.clear();
    Game().ApplyOptions();
    std::vector<std::string> keys;
    for (const zCOption::Read& read : Engine().options.reads) {
        keys.push_back(read.key);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{
                        "allowPilfernGround", "allowPilfernNpc", "allowQuickLootChests",
                        "allowQuickLootInBattle", "allowQuickLootInTransform",
                        "quickLootNumberRecordsIdx", "maxDistanceAutoLoot", "textureIdx",
                        "allowMarkQuestItems", "possibleFontsMultiplierIdx"}));
    std::set<std::string> marked;
    for (const OptionEntry& entry : kOptionCatalogue) {
        if (entry.reread) {
            marked.insert(std::string(entry.key));
        }
    }
    EXPECT_EQ(marked, std::set<std::string>(keys.begin(), keys.end()));
}

// Two complete sections whose every value differs.
constexpr std::string_view kFirstOptions =
    "textureIdx=1\nkeyLightQuickLoot=KEY_B\nquickLootRareListNew=a|b\n"
    "colorQuickLootRare=1,2,3\ncolorQuickLoot=4,5,6\ncolorQuickLootWeapon=7,8,9\n"
    "colorQuickLootArmorRings=10,11,12\ncolorQuickLootBooksScrools=13,14,15\nsizeTarget=64\n"
    "allowPilfernGround=0\nallowPilfernNpc=0\nallowQuickLootChests=0\n"
    "allowQuickLootInBattle=0\nallowQuickLootInTransform=0\nlootIconPositions=100,200\n"
    "sizeLootIcon=50\nhistoryCntRowsInColumn=10\nmaxDistanceAutoLoot=0\nneedFastLootX2Mode=1\n"
    "startQuickLootTextPosX=100\nstartQuickLootTextPosY=200\nquickLootTimeDelay=1000\n"
    "quickLootNumberRecordsIdx=0\nisRMBTakeAllow=0\nallowMarkQuestItems=0\n"
    "possibleFontsMultiplierIdx=0\nautoLootEnabledBase=KEY_A\nautoLootEnabledSecond=KEY_S\n"
    "historyQuickLootBase=KEY_D\nhistoryQuickLootSecond=KEY_F\nwispText=first\n"
    "needDirectViewAutoloot=0\nprefixMode=2\n";
constexpr std::string_view kSecondOptions =
    "textureIdx=2\nkeyLightQuickLoot=KEY_N\nquickLootRareListNew=c\n"
    "colorQuickLootRare=21,22,23\ncolorQuickLoot=24,25,26\ncolorQuickLootWeapon=27,28,29\n"
    "colorQuickLootArmorRings=30,31,32\ncolorQuickLootBooksScrools=33,34,35\nsizeTarget=32\n"
    "allowPilfernGround=1\nallowPilfernNpc=1\nallowQuickLootChests=7\n"
    "allowQuickLootInBattle=8\nallowQuickLootInTransform=9\nlootIconPositions=300,400\n"
    "sizeLootIcon=70\nhistoryCntRowsInColumn=20\nmaxDistanceAutoLoot=9\nneedFastLootX2Mode=0\n"
    "startQuickLootTextPosX=300\nstartQuickLootTextPosY=400\nquickLootTimeDelay=2000\n"
    "quickLootNumberRecordsIdx=9\nisRMBTakeAllow=1\nallowMarkQuestItems=1\n"
    "possibleFontsMultiplierIdx=21\nautoLootEnabledBase=KEY_G\nautoLootEnabledSecond=KEY_H\n"
    "historyQuickLootBase=KEY_J\nhistoryQuickLootSecond=KEY_K\nwispText=second\n"
    "needDirectViewAutoloot=1\nprefixMode=3\n";

Json FreshSettings(std::string_view section) {
    PluginFixture fresh;
    fresh.WriteGameIni(GameIni(section));
    fresh.Load();
    fresh.Game().Init();
    return sim::SettingsToJson(fresh.Running().settings, 1252);
}

TEST_F(OptionsTest, ReloadChangesTheReReadSettingsAndKeepsTheOthers) {
    const Json first = FreshSettings(kFirstOptions);
    const Json second = FreshSettings(kSecondOptions);
    std::set<std::string> reread{"messageRowCount"};
    for (const OptionEntry& entry : kOptionCatalogue) {
        if (entry.reread) {
            reread.insert(std::string(entry.field));
        }
    }
    Start(kFirstOptions);
    Apply(kSecondOptions);
    const Json reloaded = SettingsJson();
    for (const auto& [field, value] : reloaded.items()) {
        SCOPED_TRACE(field);
        if (reread.contains(field)) {
            EXPECT_NE(first.at(field), second.at(field)) << "the two sections must differ";
            EXPECT_EQ(value, second.at(field));
        } else {
            EXPECT_EQ(value, first.at(field));
        }
    }
}

// A missing radius is read with index 2 at the start and with index 4 when options are
// applied. The game adds the key with the default of that first read, so its later reads find
// 2 again; an engine that does not add missing keys gives the reload its own default.
TEST_F(OptionsTest, MissingRadiusIsIndexTwoAtStartAndWhateverTheEngineKeptOnReload) {
    for (const auto& [addsMissingKeys, reloaded] : {std::pair{true, 600}, std::pair{false, 1000}}) {
        SCOPED_TRACE(addsMissingKeys ? "the game's engine" : "an engine that adds no keys");
        PluginFixture game;
        game.WriteGameIni(GameIni(""));
        game.Game().engine.options.addMissingKeys = addsMissingKeys;
        game.Load();
        game.Game().Init();
        EXPECT_EQ(game.Running().settings.autoLootDistance, 600);
        game.Game().ApplyOptions();
        EXPECT_EQ(game.Running().settings.autoLootDistance, reloaded);
    }
}

TEST_F(OptionsTest, ReloadKeepsTheCustomRowCountOfTheStart) {
    Start("quickLootNumberRecordsCustom=40\n");
    EXPECT_EQ(Settings().messageRowCount, 40);
    Apply("quickLootNumberRecordsCustom=-1\nquickLootNumberRecordsIdx=0\n");
    EXPECT_EQ(Settings().messageRowCount, 40);
    EXPECT_EQ(Settings().quickLootNumberRecordsIdx, 0);
}

// Values as written in Gothic.ini and the settings they give.
struct ValueCase {
    std::string name;
    std::string lines;
    std::string field;
    Json expected;
};

void PrintTo(const ValueCase& c, std::ostream* out) {
    *out << c.name;
}

class OptionValues : public OptionsTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(OptionValues, ConvertAsDocumented) {
    const ValueCase& c = GetParam();
    Start(c.lines);
    EXPECT_EQ(SettingsJson().at(c.field), c.expected);
}

const std::vector<ValueCase> kValueCases{
    {"RadiusLastRow", "maxDistanceAutoLoot=9", "autoLootDistance", 2000},
    {"RadiusPastTheTable", "maxDistanceAutoLoot=10", "autoLootDistance", 1000},
    {"RadiusNegative", "maxDistanceAutoLoot=-1", "autoLootDistance", 1000},
    {"RowsCustomZero", "quickLootNumberRecordsCustom=0", "messageRowCount", 0},
    {"RowsCustomForty", "quickLootNumberRecordsCustom=40", "messageRowCount", 40},
    {"RowsIndexPastTheTable", "quickLootNumberRecordsIdx=10", "messageRowCount", 12},
    {"FontFirstRow", "possibleFontsMultiplierIdx=0", "fontMultiplier", 0.4},
    {"FontLastRow", "possibleFontsMultiplierIdx=21", "fontMultiplier", 2.5},
    {"FontPastTheTable", "possibleFontsMultiplierIdx=22", "fontMultiplier", 1.0},
    {"KeyAsNumber", "keyLightQuickLoot=47", "keyLightQuickLoot", 47},
    {"KeyInLowerCase", "keyLightQuickLoot=key_v", "keyLightQuickLoot", 47},
    {"KeyEmpty", "keyLightQuickLoot=EMPTY", "keyLightQuickLoot", 0},
    {"KeyMisspelled", "keyLightQuickLoot=KEY_V0", "keyLightQuickLoot", 0},
    {"MouseKey", "keyLightQuickLoot=MOUSE_BUTTONRIGHT", "keyLightQuickLoot", 525},
    {"ColourWithBlanks", "colorQuickLoot=255, 105 ,0", "colorQuickLoot",
     Json::array({255, 105, 0, 255})},
    {"ColourWithTwoParts", "colorQuickLoot=10,20", "colorQuickLoot", Json::array({10, 20, 0, 255})},
    {"ColourBeyondAByte", "colorQuickLootRare=300,0,0", "colorQuickLootRare",
     Json::array({44, 0, 0, 255})},
    {"FastAutoLoot", "needFastLootX2Mode=1", "autoLootInterval", 100},
    {"PermissionAnyNonzero", "allowPilfernGround=2", "allowPilfernGround", true},
    {"PermissionAsWritten", "allowQuickLootChests=5", "allowQuickLootChests", 5},
    {"OneRareName", "quickLootRareListNew=itpo_megadrink", "rareItemNames",
     Json::array({"itpo_megadrink"})},
    {"NamesNeverTrimmed", "quickLootRareListNew=a | b||a", "rareItemNames",
     Json::array({"a ", " b", "", "a"})},
};

INSTANTIATE_TEST_SUITE_P(Cases, OptionValues, ::testing::ValuesIn(kValueCases),
                         [](const auto& testCase) { return testCase.param.name; });

struct HotKeyCase {
    std::string name;
    std::optional<int> symbol;  // RX_UpdateVersionValue, when the scripts define it
    std::string lines;
    bool newBalance;
    std::array<int, 4> keys;  // auto-loot base and second, history base and second
};

void PrintTo(const HotKeyCase& c, std::ostream* out) {
    *out << c.name;
}

class HotKeys : public OptionsTest, public ::testing::WithParamInterface<HotKeyCase> {};

TEST_P(HotKeys, NewBalanceSelectsItsOwnKeys) {
    const HotKeyCase& c = GetParam();
    if (c.symbol) {
        Engine().SetSymbol("RX_UpdateVersionValue", *c.symbol);
    }
    Start(c.lines);
    EXPECT_EQ(Settings().newBalanceMode, c.newBalance);
    EXPECT_EQ(
        (std::array<int, 4>{Settings().autoLootEnabledBase, Settings().autoLootEnabledSecond,
                            Settings().historyQuickLootBase, Settings().historyQuickLootSecond}),
        c.keys);
}

constexpr std::string_view kBothKeySets =
    "autoLootEnabledBase=KEY_A\nautoLootEnabledSecond=KEY_S\nhistoryQuickLootBase=KEY_D\n"
    "historyQuickLootSecond=KEY_F\nautoLootEnabledBaseNewBalance=KEY_Q\n"
    "autoLootEnabledSecondNewBalance=KEY_W\nhistoryQuickLootBaseNewBalance=KEY_E\n"
    "historyQuickLootSecondNewBalance=KEY_R\n";

const std::vector<HotKeyCase> kHotKeyCases{
    {"PlainGameDefaults", std::nullopt, "", false, {54, 40, 54, 39}},
    {"NewBalanceDefaults", kNewBalanceValue, "", true, {0, 526, 54, 40}},
    {"OtherSymbolValueIsNoNewBalance", kNewBalanceValue - 1, "", false, {54, 40, 54, 39}},
    {"PlainGameReadsPlainKeys", std::nullopt, std::string(kBothKeySets), false, {30, 31, 32, 33}},
    {"NewBalanceReadsItsKeys", kNewBalanceValue, std::string(kBothKeySets), true, {16, 17, 18, 19}},
};

INSTANTIATE_TEST_SUITE_P(Games, HotKeys, ::testing::ValuesIn(kHotKeyCases),
                         [](const auto& testCase) { return testCase.param.name; });

TEST_F(OptionsTest, WispTextDefaultFollowsTheSystemLanguage) {
    struct Case {
        int language;
        std::string lines;
        std::string expected;
    };
    const std::vector<Case> cases{
        {0, "", "Found wisp, autoloot will disable."},
        {1, "", std::string(kWispTextRussian)},
        {2, "", "Found wisp, autoloot will disable."},
        {1, "wispText=Irrlicht!\n", "Irrlicht!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("language " + std::to_string(c.language) + ", lines " + c.lines);
        PluginFixture game;
        game.Game().framework.systemLanguage = c.language;
        game.WriteGameIni(GameIni(c.lines));
        game.Load();
        game.Game().Init();
        EXPECT_EQ(game.Running().settings.wispText.Str(), c.expected);
    }
    EXPECT_EQ(kWispTextRussian.size(), 34U);
    EXPECT_EQ(kWispTextRussian.substr(0, 2), "\xCD\xE0");  // "На" in Windows-1251
}

TEST_F(OptionsTest, ShowArmorComesFromTheSystemPackFile) {
    struct Case {
        std::optional<std::string> systemPack;
        bool expected;
    };
    const std::vector<Case> cases{
        {std::nullopt, false},
        {"[PARAMETERS]\nShowArmor=1\n", true},
        {"[PARAMETERS]\r\nShowArmor = true\r\n", true},
        {"[PARAMETERS]\nShowArmor=0\n", false},
        {"[OTHER]\nShowArmor=1\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.systemPack.value_or("no SystemPack.ini"));
        PluginFixture game;
        if (c.systemPack) {
            game.Folder().Write("System/SystemPack.ini", *c.systemPack);
        }
        game.Load();
        game.Game().Init();
        EXPECT_EQ(game.Running().settings.showArmor, c.expected);
    }
}

TEST_F(OptionsTest, ViewsAreMadeOnceAndKeptAcrossLoads) {
    zCFont& screenFont = Engine().AddFont("FONT_DEFAULT.TGA", 24);
    Engine().eng_screen()->font = &screenFont;
    Start("lootIconPositions=8000 , 20\n");
    const PluginStatics first = Plugin().statics;
    Game().Init();
    Game().Init();

    EXPECT_EQ(Engine().Calls("eng_view_construct"), 1U);
    EXPECT_EQ(Engine().Calls("eng_view_construct_rect"), 5U);
    const PluginStatics& now = Plugin().statics;
    const std::vector<std::pair<const char*, std::pair<zCView*, zCView*>>> views{
        {"targetView", {first.targetView, now.targetView}},
        {"lootIconView", {first.lootIconView, now.lootIconView}},
        {"historyBackgroundView", {first.historyBackgroundView, now.historyBackgroundView}},
        {"historyTextView", {first.historyTextView, now.historyTextView}},
        {"messageView", {first.messageView, now.messageView}},
        {"noticeView", {first.noticeView, now.noticeView}},
    };
    for (const auto& [name, pair] : views) {
        SCOPED_TRACE(name);
        ASSERT_NE(pair.first, nullptr);
        EXPECT_EQ(pair.first, pair.second);
    }

    // Whole-screen views of kind 2, blended, those that show text or texture in the screen's font.
    for (const zCView* view : {now.lootIconView, now.historyBackgroundView, now.historyTextView,
                               now.messageView, now.noticeView}) {
        EXPECT_EQ(view->kind, 2);
        EXPECT_EQ(view->blendMode, 2);
    }
    for (const zCView* view : {now.lootIconView, now.historyBackgroundView, now.historyTextView}) {
        EXPECT_EQ(view->font, &screenFont);
    }
    EXPECT_EQ(now.historyBackgroundView->textureName, "QUICK_LOOT_HISTORY_BG");

    // The printing views stand on the screen in the engine's default text colour.
    for (const zCView* view : {now.messageView, now.noticeView}) {
        EXPECT_TRUE(view->onScreen);
        EXPECT_EQ(view->fontColor, Engine().eng_color_default_text());
    }
    for (const zCView* view :
         {now.targetView, now.lootIconView, now.historyBackgroundView, now.historyTextView}) {
        EXPECT_FALSE(view->onScreen);
    }

    // The icon: placed at the option's position, as many pixels high as wide (1920 x 1080:
    // 100 virtual units across are 23 pixels, which are 174 units down).
    EXPECT_EQ(now.lootIconView->x, 8000);
    EXPECT_EQ(now.lootIconView->y, 20);
    EXPECT_EQ(now.lootIconView->width, 100);
    EXPECT_EQ(now.lootIconView->height, 174);
    EXPECT_EQ(now.lootIconView->textureName, "QUICKLOOT_ICON");
}

TEST_F(OptionsTest, MarkerTexturesAreReleasedAndLoadedAgainOnEachLoad) {
    Start();
    const auto references = [this](const zCTexture* texture) {
        return dynamic_cast<const sim::SimTexture&>(*texture).references;
    };
    const PluginStatics& statics = Plugin().statics;
    ASSERT_NE(statics.targetTextureBlue, nullptr);
    ASSERT_NE(statics.targetTextureGreen, nullptr);
    EXPECT_EQ(Engine().Calls("eng_object_release"), 0U);
    EXPECT_EQ(Engine().Calls("eng_texture_load"), 2U);

    Game().Init();
    EXPECT_EQ(Engine().Calls("eng_object_release"), 2U);
    EXPECT_EQ(Engine().Calls("eng_texture_load"), 4U);
    // One reference each, however often the options are loaded.
    EXPECT_EQ(references(statics.targetTextureBlue), 1);
    EXPECT_EQ(references(statics.targetTextureGreen), 1);
    EXPECT_EQ(dynamic_cast<const sim::SimTexture&>(*statics.targetTextureBlue).name,
              "QUICKLOOT_TARGET_BLUE");
    EXPECT_EQ(dynamic_cast<const sim::SimTexture&>(*statics.targetTextureGreen).name,
              "QUICKLOOT_TARGET_GREEN");
}

TEST_F(OptionsTest, LoadingArmsTheTextPatchesAndEndsAnyScaledPrint) {
    fixture.Load();
    const sim::RedirectTable& redirects = Game().redirects;
    const auto fontData = sim::EngineFunctionAddress(sim::PatchableFunction::GetFontData);
    const auto printChars = sim::EngineFunctionAddress(sim::PatchableFunction::PrintChars);
    EXPECT_FALSE(redirects.IsRedirected(fontData));
    EXPECT_FALSE(redirects.IsRedirected(printChars));
    Plugin().text.scaledPrintActive = true;
    Game().Init();
    EXPECT_TRUE(redirects.IsRedirected(fontData));
    EXPECT_TRUE(redirects.IsRedirected(printChars));
    EXPECT_FALSE(Plugin().text.scaledPrintActive);
}

TEST_F(OptionsTest, OnlyTheRunThatMakesTheHistoryBackgroundHidesTheOverlay) {
    fixture.Load();
    Plugin().historyVisible = true;
    Game().Init();
    EXPECT_FALSE(Plugin().historyVisible);
    Plugin().historyVisible = true;
    Game().Init();
    EXPECT_TRUE(Plugin().historyVisible);
}

TEST_F(OptionsTest, EffectMarkersKeepWhateverTextureTheMarkerViewHad) {
    Start("textureIdx=3\n");
    const PluginStatics& statics = Plugin().statics;
    EXPECT_EQ(statics.targetView->texture, statics.targetTextureGreen);

    const std::vector<std::pair<std::string, zCTexture*>> steps{
        {"textureIdx=1\n", statics.targetTextureBlue},
        {"textureIdx=3\n", statics.targetTextureBlue},
        {"textureIdx=0\n", statics.targetTextureBlue},
        {"textureIdx=2\n", statics.targetTextureGreen},
        {"textureIdx=3\n", statics.targetTextureGreen},
    };
    for (const auto& [lines, texture] : steps) {
        SCOPED_TRACE(lines);
        Apply(lines);
        EXPECT_EQ(statics.targetView->texture, texture);
    }
    EXPECT_EQ(Settings().textureIdx, 3);
}

TEST_F(OptionsTest, BlueMarkersStartBlue) {
    Start("textureIdx=1\n");
    EXPECT_EQ(Plugin().statics.targetView->texture, Plugin().statics.targetTextureBlue);
}

TEST_F(OptionsTest, OptionsAppliedBeforeInitLeaveTheMissingMarkerViewAlone) {
    fixture.WriteGameIni(GameIni("textureIdx=1\nallowPilfernNpc=0\n"));
    fixture.Load();
    Game().ApplyOptions();
    EXPECT_EQ(Engine().Calls("eng_view_set_texture"), 0U);
    EXPECT_FALSE(Settings().allowPilfernNpc);
    Game().Init();
    EXPECT_EQ(Plugin().statics.targetView->texture, Plugin().statics.targetTextureBlue);
}

TEST_F(OptionsTest, ScreenViewportIsTakenFromTheScreen) {
    Engine().screenWidth = 1280;
    Engine().screenHeight = 720;
    Start();
    EXPECT_EQ(Plugin().statics.screenViewport, (zVIEWPORT{0, 0, 1280, 720}));
}

// In a running game the log says what the options gave and each option that fell back, in
// catalogue order, at init and again when options are applied; then only the options read
// again count (the loot key keeps what init made of it).
TEST_F(OptionsTest, TheLogSaysWhatTheOptionsGaveAndEachFallbackTaken) {
    fixture.WriteGameIni(
        GameIni("maxDistanceAutoLoot=12\r\npossibleFontsMultiplierIdx=-1\r\n"
                "keyLightQuickLoot=KEY_NOPE\r\nautoLootEnabledSecond=EMPTY\r\n"
                "historyQuickLootSecond=39\r\nisRMBTakeAllow=0\r\n"));
    fixture.Load();
    std::vector<std::string> lines;
    Plugin().log = [&lines](std::string_view text) { lines.emplace_back(text); };
    Game().Init();
    const std::vector<std::string> fallbacks{
        "Pilfern: option keyLightQuickLoot=KEY_NOPE names no key; no key is taken",
        "Pilfern: option maxDistanceAutoLoot=12 lies outside 0..9; its fallback is taken",
        "Pilfern: option possibleFontsMultiplierIdx=-1 lies outside 0..21; its fallback is "
        "taken"};
    std::vector<std::string> expected{
        "Pilfern: options read: loot key 0, auto-loot radius 1000 every 200 ms, message rows 14, "
        "font multiplier 1.0, ShowArmor off"};
    expected.insert(expected.end(), fallbacks.begin(), fallbacks.end());
    EXPECT_EQ(lines, expected);

    lines.clear();
    Apply("maxDistanceAutoLoot=3\r\nkeyLightQuickLoot=KEY_V\r\n");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(),
              "Pilfern: options read: loot key 0, auto-loot radius 800 every 200 ms, message rows "
              "14, font multiplier 1.0, ShowArmor off");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
              (std::vector<std::string>{fallbacks.back()}));
}

}  // namespace
}  // namespace pilfern
