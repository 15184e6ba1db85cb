#include "frame/text_hooks.h"

#include <gtest/gtest.h>

#include "sim/renderer_module.h"
#include "support/hero_game.h"

namespace pilfern {
namespace {

using test::HeroGame;

constexpr const char* kGd3d11 = "GD3D11 renderer";

void Queue(Instance& plugin, const std::string& text, int category = 1) {
    plugin.lootMessages.push_back(MessageData{CStringA(text), category, std::nullopt});
}

std::vector<std::string> Texts(const std::vector<sim::DrawRecord>& records) {
    std::vector<std::string> texts;
    for (const sim::DrawRecord& record : records) {
        texts.push_back(record.text);
    }
    return texts;
}

class LootMessages : public ::testing::Test {
protected:
    LootMessages() {
        PluginSettings& settings = game.Plugin().settings;
        settings.messageRowCount = 12;
        settings.quickLootTimeDelay = 1000;
        settings.startQuickLootTextPosX = 800;
        settings.startQuickLootTextPosY = 6000;
        game.Game().clock = 50'000;
    }
    HeroGame game;
};

TEST_F(LootMessages, ShowTheFirstRowsUpwardAndLetTheRestWaitUntimed) {
    Instance& plugin = game.Plugin();
    for (int i = 0; i < 15; ++i) {
        Queue(plugin, "Row " + std::to_string(i));
    }
    game.Frame();
    const auto drawn = game.DrawnTexts();
    ASSERT_EQ(drawn.size(), 12U);
    const int lineStep = game.Engine().eng_view_font_height(game.Engine().eng_screen());
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(drawn[i].text, "Row " + std::to_string(i));
        EXPECT_EQ(drawn[i].x, 800);
        EXPECT_EQ(drawn[i].y, 6000 - static_cast<int>(i) * lineStep - 50);
    }
    for (std::size_t i = 0; i < 15; ++i) {
        EXPECT_EQ(plugin.lootMessages[i].shownAt.has_value(), i < 12) << i;
    }

    // At 1000 ms the rows still stand; past that they are drawn once more and dropped.
    game.Frame({}, 1000);
    EXPECT_EQ(game.DrawnTexts().size(), 12U);
    EXPECT_EQ(plugin.lootMessages.size(), 15U);
    game.Frame({}, 1);
    EXPECT_EQ(game.DrawnTexts().size(), 12U);
    ASSERT_EQ(plugin.lootMessages.size(), 3U);
    game.Frame();
    EXPECT_EQ(Texts(game.DrawnTexts()), (std::vector<std::string>{"Row 12", "Row 13", "Row 14"}));
    EXPECT_EQ(plugin.lootMessages.front().shownAt, game.Game().clock);
}

TEST_F(LootMessages, ExpireOnTimeWhenTheClockIsPastTwoToTheThirtyOneOrWraps) {
    for (const std::uint32_t start : {0x80000100U, 0xFFFFFE00U}) {
        SCOPED_TRACE(start);
        HeroGame fresh;
        fresh.Plugin().settings.quickLootTimeDelay = 1000;
        fresh.Game().clock = start;
        Queue(fresh.Plugin(), "Gold x25");
        fresh.Frame();
        fresh.Frame({}, 1000);
        EXPECT_EQ(fresh.Plugin().lootMessages.size(), 1U) << "not dropped early";
        fresh.Frame({}, 1);
        EXPECT_TRUE(fresh.Plugin().lootMessages.empty()) << "not frozen on screen";
    }
}

TEST_F(LootMessages, WithNoRowsToShowAreDroppedInsteadOfPilingUp) {
    Instance& plugin = game.Plugin();
    plugin.settings.messageRowCount = 0;
    for (int i = 0; i < 3; ++i) {
        Queue(plugin, "Apple x1");
    }
    game.Frame();
    EXPECT_TRUE(game.DrawnTexts().empty());
    EXPECT_TRUE(plugin.lootMessages.empty());
}

TEST_F(LootMessages, AreColouredByCategoryAndAnUnknownCategoryKeepsThePreviousColour) {
    Instance& plugin = game.Plugin();
    PluginSettings& settings = plugin.settings;
    settings.colorQuickLoot = zCOLOR{1, 1, 1, 255};
    settings.colorQuickLootRare = zCOLOR{2, 2, 2, 255};
    settings.colorQuickLootWeapon = zCOLOR{3, 3, 3, 255};
    settings.colorQuickLootArmorRings = zCOLOR{4, 4, 4, 255};
    settings.colorQuickLootBooksScrools = zCOLOR{5, 5, 5, 255};
    for (const int category : {1, 2, 3, 4, 5, 9, 0}) {
        Queue(plugin, "Category " + std::to_string(category), category);
    }
    game.Frame();
    const auto drawn = game.DrawnTexts();
    ASSERT_EQ(drawn.size(), 7U);
    for (std::uint8_t i = 0; i < 5; ++i) {
        EXPECT_EQ(drawn[i].color,
                  (zCOLOR{static_cast<std::uint8_t>(i + 1), static_cast<std::uint8_t>(i + 1),
                          static_cast<std::uint8_t>(i + 1), 255}));
    }
    EXPECT_EQ(drawn[5].color, drawn[4].color);
    EXPECT_EQ(drawn[6].color, drawn[4].color);
}

TEST_F(LootMessages, ScaleThePluginsRowsOnlyThroughTheEngineTextPatches) {
    Instance& plugin = game.Plugin();
    sim::SimEngine& engine = game.Engine();
    zCFont* font = engine.eng_view_font(engine.eng_screen());
    ASSERT_EQ(engine.eng_font_height(font), 20);
    const int unscaledStep = engine.eng_view_font_height(engine.eng_screen());
    Queue(plugin, "Gold x25");
    Queue(plugin, "Apple x1");
    game.Frame();
    const auto normal = game.DrawnTexts();

    plugin.settings.fontMultiplier = 2.0F;
    game.Frame();
    // Text of the game itself in the same frame keeps its size.
    zCView* other = engine.eng_view_construct_rect(0, 0, 8192, 8192, 2);
    engine.eng_view_print(other, 100, 100, zSTRING("Gold x25"));
    engine.eng_view_blit(other);
    const auto scaled = game.DrawnTexts();

    ASSERT_EQ(normal.size(), 2U);
    ASSERT_EQ(scaled.size(), 3U);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(normal[i].fontHeight, 20);
        EXPECT_EQ(scaled[i].fontHeight, 40);
        EXPECT_EQ(scaled[i].width, 2 * normal[i].width);
    }
    EXPECT_EQ(scaled[0].y - scaled[1].y, 2 * unscaledStep);
    EXPECT_EQ(scaled[2].fontHeight, 20);
    EXPECT_EQ(scaled[2].width, normal[0].width);
    EXPECT_EQ(engine.eng_font_height(font), 20) << "the font's height is given back";
}

struct RendererCase {
    std::string name;
    std::optional<std::string> ddraw;     // content of System/ddraw.dll
    std::optional<std::string> settings;  // content of System/GD3D11/UserSettings.ini
    bool rendererScales;
    bool moduleLoaded;
};

class RendererDetection : public ::testing::TestWithParam<RendererCase> {};

void PrintTo(const RendererCase& c, std::ostream* out) {
    *out << c.name;
}

TEST_P(RendererDetection, DecidesWhoScalesTheText) {
    const RendererCase& c = GetParam();
    test::PluginFixture fixture;
    if (c.ddraw) {
        fixture.Folder().Write("System/ddraw.dll", *c.ddraw);
    }
    if (c.settings) {
        fixture.Folder().Write("System/GD3D11/UserSettings.ini", *c.settings);
    }
    fixture.Load();
    fixture.Game().Init();
    EXPECT_EQ(fixture.Running().text.rendererFontScaling, c.rendererScales);
    EXPECT_EQ(fixture.Running().text.rendererModule != nullptr, c.moduleLoaded);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, RendererDetection,
    ::testing::Values(
        RendererCase{"no ddraw", std::nullopt, "[FontRendering]\nEnable=1\n", false, false},
        RendererCase{"renderer without settings", kGd3d11, std::nullopt, true, true},
        RendererCase{"other module without settings", "dgVoodoo", std::nullopt, false, true},
        RendererCase{"font rendering enabled", kGd3d11,
                     "[General]\r\nA=1\r\n  [FontRendering]  \r\nEnable=1\r\n", true, true},
        RendererCase{"enabled, any module", "dgVoodoo", "[FontRendering]\nEnable=1\n", true, true},
        RendererCase{"font rendering disabled", kGd3d11, "[FontRendering]\nEnable=0\n", false,
                     false},
        RendererCase{"no such header", kGd3d11, "[General]\nEnable=1\n", false, false},
        RendererCase{"header on the last line", kGd3d11, "[General]\nA=1\n[FontRendering]", false,
                     false},
        RendererCase{"the last header decides", kGd3d11,
                     "[FontRendering]\nEnable=1\n[fontrendering]\nEnable=0\n", false, false}));

TEST(RendererScaling, CallsTheExportTwicePerRowAndLeavesTheEnginePatchesAlone) {
    test::PluginFixture fixture;
    fixture.Folder().Write("System/ddraw.dll", kGd3d11);
    fixture.Folder().Write("System/GD3D11/UserSettings.ini", "[FontRendering]\nEnable=1\n");
    fixture.Load();
    fixture.Game().Init();
    Instance& plugin = fixture.Running();
    ASSERT_TRUE(plugin.text.rendererFontScaling);
    plugin.settings.fontMultiplier = 2.0F;
    Queue(plugin, "Gold x25");
    Queue(plugin, "Apple x1");
    sim::SimNpc& hero = fixture.Game().engine.CreateNpc("hero", "PC_HERO");
    fixture.Game().engine.SetPlayer(&hero);

    const int callsBefore = sim::RendererScaleCalls();
    fixture.Game().Frame(16);
    EXPECT_EQ(sim::RendererScaleCalls() - callsBefore, 4);
    EXPECT_FLOAT_EQ(sim::RendererFontMultiplier(), 1.0F) << "each row gives the factor back";
    int rows = 0;
    for (const sim::DrawRecord& record : fixture.Game().engine.DrawRecords()) {
        if (record.kind == sim::DrawRecord::Kind::Text) {
            ++rows;
            EXPECT_EQ(record.fontHeight, 40) << "drawn by the renderer at its factor";
        }
    }
    EXPECT_EQ(rows, 2);
    EXPECT_FLOAT_EQ(plugin.text.glyphScale, 1.0F);
}

TEST(RendererScaling, AppliedOptionsDoNotReadTheRendererSettingsAgain) {
    test::PluginFixture fixture;
    fixture.Folder().Write("System/ddraw.dll", kGd3d11);
    fixture.Folder().Write("System/GD3D11/UserSettings.ini", "[FontRendering]\nEnable=1\n");
    fixture.Load();
    fixture.Game().Init();
    fixture.Folder().Write("System/GD3D11/UserSettings.ini", "[FontRendering]\nEnable=0\n");
    fixture.Game().ApplyOptions();
    EXPECT_TRUE(fixture.Running().text.rendererFontScaling);
}

}  // namespace
}  // namespace pilfern
