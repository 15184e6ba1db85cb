#include "sim/plugin_module.h"

#include <array>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "core/engine_cast.h"
#include "platform/platform.h"
#include "sim/engine_string_object.h"
#include "sim/host_link.h"
#include "sim/sim_game.h"
#include "support/temp_folder.h"

// The plugin as the system loads it: the module built beside the tests, loaded by name into
// a simulated game, with its own copy of the plugin's code.
namespace pilfern {
namespace {

using sim::EngineFunctionAddress;
using sim::PatchableFunction;

constexpr std::array kPatchable{PatchableFunction::GetFontData, PatchableFunction::PrintChars,
                                PatchableFunction::SetState};

// A game that hosts the modules loaded while the fixture lives.
class PluginModule {
public:
    explicit PluginModule(int engineVersion, bool hosted = true)
        : game_(std::make_unique<sim::SimGame>(folder_.Path(), engineVersion)) {
        if (hosted) {
            sim::SetHost(game_->framework, game_->engine);
        }
    }
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;
    PluginModule(PluginModule&&) = delete;
    PluginModule& operator=(PluginModule&&) = delete;
    ~PluginModule() {
        Unload();
        sim::ClearHost();
    }

    [[nodiscard]] sim::SimGame& Game() { return *game_; }

    // Loaded as the framework loads it, up to the game's first event, which builds the plugin.
    [[nodiscard]] ModuleHandle Load() {
        module_ = platform::LoadModule(
            (platform::ExecutableFolder() / platform::ModuleFileName("pilfern")).string());
        if (module_ != nullptr) {
            EXPECT_EQ(sim::DeliverModuleEvents(game_->framework, module_), std::nullopt);
            game_->Entry();
        }
        return module_;
    }
    void Unload() {
        game_->framework.DeliverEventsThrough(std::nullopt);
        platform::UnloadModule(module_);
        module_ = nullptr;
    }
    [[nodiscard]] ModuleHandle Module() const { return module_; }

    [[nodiscard]] bool AnyPatchInForce() const {
        for (const PatchableFunction function : kPatchable) {
            if (game_->redirects.IsRedirected(EngineFunctionAddress(function))) {
                return true;
            }
        }
        return false;
    }

private:
    test::TempFolder folder_;
    std::unique_ptr<sim::SimGame> game_;
    ModuleHandle module_ = nullptr;
};

// The checked conversion whose address the module publishes.
EngineCastFn PublishedCast(ModuleHandle module) {
    const ProcAddress symbol = platform::FindExport(module, "RTDynamicCast_MT");
    if (symbol == nullptr) {
        return nullptr;
    }
    return *reinterpret_cast<const EngineCastFn*>(symbol);
}

struct EngineCase {
    int version;
    bool inputPatchArmed;  // only the Gothic I instances arm it at init
};

void PrintTo(const EngineCase& engine, std::ostream* out) {
    *out << "engine " << engine.version;
}

std::string EngineName(const ::testing::TestParamInfo<EngineCase>& tested) {
    return "Engine" + std::to_string(tested.param.version);
}

class LoadedIntoEngine : public ::testing::TestWithParam<EngineCase> {};

TEST_P(LoadedIntoEngine, OnlyTheRunningEnginesInstanceRegistersAndHandlesEvents) {
    const EngineCase engine = GetParam();
    PluginModule plugin(engine.version);
    ASSERT_NE(plugin.Load(), nullptr);
    const sim::SimFramework& framework = plugin.Game().framework;

    EXPECT_EQ(framework.Registrations(), 1);
    EXPECT_EQ(framework.CrtVersion(), (std::array<int, 4>{14, 16, 27045, 0}));
    plugin.Game().Init();
    plugin.Game().Frame(16);
    EXPECT_EQ(
        plugin.Game().redirects.IsRedirected(EngineFunctionAddress(PatchableFunction::SetState)),
        engine.inputPatchArmed);
}

INSTANTIATE_TEST_SUITE_P(Engines, LoadedIntoEngine,
                         ::testing::Values(EngineCase{1, true}, EngineCase{2, true},
                                           EngineCase{3, false}, EngineCase{4, false}),
                         EngineName);

TEST(PluginModuleLoad, UnloadTakesEveryPatchOutOfTheEngine) {
    PluginModule plugin(1);
    ASSERT_NE(plugin.Load(), nullptr);
    plugin.Game().Init();
    ASSERT_TRUE(plugin.AnyPatchInForce());
    plugin.Unload();
    EXPECT_FALSE(plugin.AnyPatchInForce());
}

// Under Gothic I all three replacements are in force after init. The engine calls each as its
// own member function; each reaches the engine's own function through its patch record and
// hands back what that answered. Built for 32-bit Windows, this is the engine's __thiscall.
TEST(PluginModuleLoad, TheEngineCallsEachReplacementAsItsOwnMemberAndGetsTheEnginesAnswer) {
    PluginModule plugin(1);
    ASSERT_NE(plugin.Load(), nullptr);
    sim::SimGame& game = plugin.Game();
    game.Init();
    const auto replacement = [&game](PatchableFunction function) {
        const std::uintptr_t origin = EngineFunctionAddress(function);
        EXPECT_TRUE(game.redirects.IsRedirected(origin));
        return game.redirects.Resolve(origin);
    };

    // SetState: a key reaches the engine, which records it and answers 1; key 11 is kept
    // from the engine and answered 0 by the replacement itself.
    EXPECT_EQ(game.engine.SetKeyState(47, true), 1);
    EXPECT_TRUE(game.engine.input.held.at(47));
    EXPECT_EQ(game.engine.SetKeyState(11, true), 0);
    EXPECT_FALSE(game.engine.input.held.at(11));

    // GetFontData: the engine's width and texture coordinates come back unscaled.
    zCFont* font = game.engine.Screen().font;
    ASSERT_NE(font, nullptr);
    const auto getFontData =
        reinterpret_cast<FontGetFontDataFn>(replacement(PatchableFunction::GetFontData));
    int width = 0;
    zVEC2 uv0;
    zVEC2 uv1;
    EXPECT_EQ(getFontData(font, 'W', width, uv0, uv1), 1);
    EXPECT_EQ(width, font->widths.at('W'));
    EXPECT_FLOAT_EQ(uv0.x, static_cast<float>('W' % 16) / 16.0F);
    EXPECT_FLOAT_EQ(uv1.y, static_cast<float>('W' / 16 + 1) / 16.0F);

    // PrintChars: the engine's own print draws the text where asked, measured through the
    // font replacement.
    const auto printChars =
        reinterpret_cast<ViewPrintCharsFn>(replacement(PatchableFunction::PrintChars));
    game.engine.ClearDrawRecords();
    const sim::EngineStringObject text("Gold x25");
    printChars(&game.engine.Screen(), 120, 340, text.Object());
    ASSERT_EQ(game.engine.DrawRecords().size(), 1U);
    const sim::DrawRecord& drawn = game.engine.DrawRecords().front();
    EXPECT_EQ(drawn.text, "Gold x25");
    EXPECT_EQ(drawn.x, 120);
    EXPECT_EQ(drawn.y, 340);
    int expectedWidth = 0;
    for (const char c : std::string("Gold x25")) {
        expectedWidth += font->widths.at(static_cast<unsigned char>(c));
    }
    EXPECT_EQ(drawn.width, expectedWidth);
}

TEST(PluginModuleLoad, PublishesItsCheckedConversionOfEngineObjectsAndNothingElse) {
    PluginModule plugin(4);
    ASSERT_NE(plugin.Load(), nullptr);
    const EngineCastFn cast = PublishedCast(plugin.Module());
    ASSERT_NE(cast, nullptr);
    // The module's copy of the plugin stays its own (here: pilfern::OnLibraryAttach).
    EXPECT_EQ(
        platform::FindExport(plugin.Module(), "_ZN7pilfern15OnLibraryAttachERNS_9FrameworkEm"),
        nullptr);

    // Objects the engine's own module made, converted by the plugin's module.
    sim::SimEngine& engine = plugin.Game().engine;
    sim::SimItem& item = engine.CreateItem("apple", "ITFO_APPLE");
    sim::SimNpc& npc = engine.CreateNpc("bandit", "BDT_1013_BANDIT_L");
    sim::SimNpc& extended = engine.CreateNpc("guard", "PAL_200_HAGEN", true);
    const std::uint64_t askedBefore = engine.Calls("eng_object_class_is");
    EXPECT_EQ(cast(&item, EngineClass::oCItem), static_cast<oCItem*>(&item));
    EXPECT_EQ(cast(&item, EngineClass::oCNpc), nullptr);
    EXPECT_EQ(cast(&npc, EngineClass::oCNpc), static_cast<oCNpc*>(&npc));
    EXPECT_EQ(cast(&npc, EngineClass::oCNpcEx), nullptr);
    EXPECT_EQ(cast(&extended, EngineClass::oCNpcEx), static_cast<oCNpcEx*>(&extended));
    EXPECT_EQ(cast(&npc, EngineClass::oCMobContainer), nullptr);
    EXPECT_EQ(cast(nullptr, EngineClass::oCItem), nullptr);
    // Each answer is the running engine's own class test, asked once for each object.
    EXPECT_EQ(engine.Calls("eng_object_class_is") - askedBefore, 6U);
}

TEST(PluginModuleLoad, WithoutAHostGameTheModuleStaysInert) {
    PluginModule plugin(4, /*hosted=*/false);
    ASSERT_NE(plugin.Load(), nullptr);
    EXPECT_EQ(plugin.Game().framework.Registrations(), 0);
    EXPECT_FALSE(plugin.Game().framework.CrtVersion().has_value());
    const EngineCastFn cast = PublishedCast(plugin.Module());
    ASSERT_NE(cast, nullptr);
    // With no instance running there is no engine to ask: no object is one of its classes.
    sim::SimItem& item = plugin.Game().engine.CreateItem("apple", "ITFO_APPLE");
    EXPECT_EQ(cast(&item, EngineClass::oCItem), nullptr);
    EXPECT_EQ(plugin.Game().engine.Calls("eng_object_class_is"), 0U);
}

}  // namespace
}  // namespace pilfern
