#include "sim/renderer_module.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "sim/sim_game.h"
#include "support/temp_folder.h"

// The renderer's module as the plugin reaches it through the framework: on Windows the real
// test ddraw.dll, elsewhere the simulated game's built-in one.
namespace pilfern::sim {
namespace {

TEST(RendererModule, ScaleExportAnswersTheFactorInForceBeforeTheCall) {
    const test::TempFolder folder;
    folder.Write("System/ddraw.dll", "GD3D11");
    SimGame game(folder.Path(), 4);

    const ModuleHandle module = game.framework.LoadLibraryA(CStringA("ddraw.dll"));
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(game.framework.GetProcAddress(module, CStringA("NoSuchExport")), nullptr);
    const auto scale = reinterpret_cast<platform::RendererScaleFn>(
        game.framework.GetProcAddress(module, CStringA("UpdateCustomFontMultiplier")));
    ASSERT_NE(scale, nullptr);

    EXPECT_EQ(scale(2.0F), 1.0F);
    EXPECT_EQ(scale(0.5F), 2.0F);
    EXPECT_EQ(RendererFontMultiplier(), 0.5F);
    EXPECT_EQ(RendererScaleCalls(), 2);
}

TEST(RendererModule, NoRendererWithoutDdrawInTheGamesSystemFolder) {
    const test::TempFolder folder;
    SimGame game(folder.Path(), 4);
    EXPECT_EQ(game.framework.LoadLibraryA(CStringA("ddraw.dll")), nullptr);
}

TEST(RendererModule, NewGameStartsWithAFreshRenderer) {
    const test::TempFolder folder;
    folder.Write("System/ddraw.dll", "GD3D11");
    {
        SimGame first(folder.Path(), 4);
        const auto scale = reinterpret_cast<platform::RendererScaleFn>(
            first.framework.GetProcAddress(first.framework.LoadLibraryA(CStringA("ddraw.dll")),
                                           CStringA("UpdateCustomFontMultiplier")));
        ASSERT_NE(scale, nullptr);
        scale(1.5F);
    }
    const SimGame second(folder.Path(), 4);
    EXPECT_EQ(RendererFontMultiplier(), 1.0F);
    EXPECT_EQ(RendererScaleCalls(), 0);
}

}  // namespace
}  // namespace pilfern::sim
