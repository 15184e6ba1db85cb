#include "frame/text_hooks.h"

#include <cstdint>
#include <memory>
#include <utility>

#include <gtest/gtest.h>

#include "frame/hooks.h"
#include "sim/engine_string_object.h"
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

// The replacement as the engine reaches it: through the redirect of its own PrintChars.
// The engine's own function by the address the simulated engine gives it: on Windows an
// address taken here would be this program's import stub, which no redirect knows.
std::uintptr_t EnginesPrintChars() {
    return sim::EngineFunctionAddress(sim::PatchableFunction::PrintChars);
}
ViewPrintCharsFn PrintCharsAsTheEngineCallsIt(sim::SimGame& game) {
    return reinterpret_cast<ViewPrintCharsFn>(game.redirects.Resolve(EnginesPrintChars()));
}

int WidthOf(const zCFont& font, std::string_view text) {
    int width = 0;
    for (const char c : text) {
        width += font.widths.at(static_cast<unsigned char>(c));
    }
    return width;
}

// The replacement receives the engine's string object and reads nothing but what the object
// says where it lies: its text pointer and its length, a string without character buffer
// having no text whatever its length says. The engine's own function behind it prints
// exactly that, scaled or not.
TEST(PrintCharsReplacement, ReadsTheEnginesStringObjectAsItLiesInMemory) {
    HeroGame game;
    const ViewPrintCharsFn print = PrintCharsAsTheEngineCallsIt(game.Game());
    ASSERT_NE(reinterpret_cast<std::uintptr_t>(print), EnginesPrintChars())
        << "the plugin's replacement is in force";
    sim::SimEngine& engine = game.Engine();
    zCView* screen = engine.eng_screen();
    const zCFont& font = *engine.eng_view_font(screen);

    // A text whose buffer holds more than its length says: the length decides.
    std::array<char, 32> buffer{"Gold x25 and what lies beyond"};
    zSTRING_Engine longer;
    longer.text = buffer.data();
    longer.length = 8;
    zSTRING_Engine empty;
    empty.text = buffer.data();
    empty.length = 0;
    zSTRING_Engine none;  // without character buffer, whatever its length says
    none.length = 5;
    ASSERT_FALSE(none.HasBuffer());
    ASSERT_TRUE(empty.HasBuffer());

    for (const float factor : {1.0F, 2.0F}) {
        SCOPED_TRACE(factor);
        Instance& plugin = game.Plugin();
        plugin.settings.fontMultiplier = factor;
        plugin.text.scaledPrintActive = true;  // as while the plugin draws its own rows
        engine.ClearDrawRecords();
        print(screen, 120, 340, longer);
        print(screen, 120, 400, empty);
        print(screen, 120, 460, none);
        plugin.text.scaledPrintActive = false;
        const auto& drawn = engine.DrawRecords();
        ASSERT_EQ(drawn.size(), 3U);
        EXPECT_EQ(drawn[0].text, "Gold x25");
        EXPECT_EQ(drawn[0].x, 120);
        EXPECT_EQ(drawn[0].y, 340);
        EXPECT_EQ(drawn[0].width,
                  static_cast<int>(static_cast<float>(WidthOf(font, "Gold x25")) * factor));
        EXPECT_EQ(drawn[0].fontHeight, static_cast<int>(20 * factor));
        EXPECT_EQ(drawn[1].text, "");
        EXPECT_EQ(drawn[1].width, 0);
        EXPECT_EQ(drawn[2].text, "");
        EXPECT_EQ(drawn[2].width, 0);
    }
    EXPECT_EQ(std::string_view(buffer.data()), "Gold x25 and what lies beyond") << "only read";
}

// The engine's own PrintChars in place of the engine's, noting the string object it is given.
const zSTRING_Engine* printedObject = nullptr;
void ENGINE_MEMBER_CALL NotePrintedObject(zCView* /*view*/, int /*x*/, int /*y*/,
                                          const zSTRING_Engine& text) {
    printedObject = &text;
}

// A patch record whose engine function is NotePrintedObject.
class NotingRecord final : public ModulePatchCallInfo {
public:
    void SetTemporary(std::uintptr_t /*engineFunction*/, std::uintptr_t /*replacement*/) override {}
    void SetCallPatch(std::uintptr_t /*origin*/, std::uintptr_t /*address*/) override {}
    [[nodiscard]] std::uintptr_t GetOrigin() const override { return 0; }
    [[nodiscard]] std::uintptr_t GetAddress() const override { return 0; }
    [[nodiscard]] std::uintptr_t GetReturnAddress() const override {
        return AddressOf(&NotePrintedObject);
    }
    void RemoveCallPatch() override {}
    void Release() override {}
};

// The replacement hands the engine's function the very string object it received, at its
// own address: not a copy, not a string of the plugin's, in either of its paths.
TEST(PrintCharsReplacement, CallsTheEnginesFunctionWithTheVeryObjectItReceived) {
    HeroGame game;
    Instance& plugin = game.Plugin();
    std::unique_ptr<ModulePatchCallInfo> noting = std::make_unique<NotingRecord>();
    std::swap(plugin.patches.printChars, noting);
    const sim::EngineStringObject text("Gold x25");
    zCView* screen = game.Engine().eng_screen();
    for (const bool scaled : {false, true}) {
        SCOPED_TRACE(scaled);
        plugin.settings.fontMultiplier = 2.0F;
        plugin.text.scaledPrintActive = scaled;
        printedObject = nullptr;
        PrintChars_Hook(plugin, screen, 10, 20, text.Object());
        EXPECT_EQ(printedObject, &text.Object());
        printedObject = nullptr;
        EntryPointsFor(3).printChars(screen, 10, 20, text.Object());
        EXPECT_EQ(printedObject, &text.Object()) << "through the instance's entry point";
    }
    plugin.text.scaledPrintActive = false;
    std::swap(plugin.patches.printChars, noting);
}

// The simulated engine prints its views' texts through PrintChars as engine string objects
// of its own heap, which it frees again once printed.
TEST(PrintCharsReplacement, TheSimulatedEnginePassesStringObjectsOfItsOwnHeap) {
    HeroGame game;
    sim::SimEngine& engine = game.Engine();
    zCView* view = engine.eng_view_construct_rect(0, 0, 8192, 8192, 2);
    engine.eng_view_print(view, 100, 100, zSTRING("Gold x25"));
    const sim::HeapFigures before = sim::EngineHeapFigures();
    engine.ClearDrawRecords();
    engine.eng_view_blit(view);
    const sim::HeapFigures after = sim::EngineHeapFigures();
    ASSERT_EQ(engine.DrawRecords().size(), 1U);
    EXPECT_EQ(engine.DrawRecords().front().text, "Gold x25");
    EXPECT_GE(after.allocations - before.allocations, 1U);
    EXPECT_EQ(after.bytesInUse, before.bytesInUse) << "each string freed once printed";

    const sim::EngineStringObject none;
    EXPECT_FALSE(none.Object().HasBuffer());
    EXPECT_EQ(none.Object().virtualTable, sim::EngineStringObject::VirtualTable());
    const sim::EngineStringObject text("Gold x25");
    ASSERT_TRUE(text.Object().HasBuffer());
    EXPECT_EQ(text.Object().Text(), "Gold x25");
    EXPECT_EQ(text.Object().text[-1], 1) << "the reference count before the text";
    EXPECT_EQ(text.Object().text[8], '\0');
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
