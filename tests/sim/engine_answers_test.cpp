#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/engine_cast.h"
#include "frame/hooks.h"
#include "sim/sim_game.h"
#include "support/plugin_fixture.h"
#include "support/scenario_game.h"
#include "support/temp_folder.h"

// The simulated engine answers as the game does, so that plugin code relying on an answer the
// game never gives fails here first.
namespace pilfern::sim {
namespace {

using test::ScenarioGame;

std::vector<std::string> Ids(const SimEngine& engine, const zCListSort<oCItem>* node) {
    std::vector<std::string> ids;
    for (; node != nullptr; node = node->next) {
        ids.push_back(engine.Describe(node->data));
    }
    return ids;
}

TEST(EngineAnswers, InstanceNamesAreUpperCaseAsTheScriptParserKeepsEverySymbol) {
    ScenarioGame world(R"({"world": {
        "player": {"id": "hero", "instance": "pc_Hero",
                   "inventory": [{"id": "sword", "instance": "ItMw_1h_Bau_Mace"}]},
        "npcs": [{"id": "wisp", "instance": "Wisp_Detector"}],
        "items": [{"id": "apple", "instance": "itfo_apple"}]}})");
    world.Step(R"({"items": [{"id": "apple", "instance": "itfo_Cheese"}]})");
    SimEngine& engine = world.Engine();
    const std::vector<std::pair<const zCObject*, std::string>> cases{
        {&world.Npc("hero"), "PC_HERO"},
        {&world.Item("sword"), "ITMW_1H_BAU_MACE"},
        {&world.Npc("wisp"), "WISP_DETECTOR"},
        {&world.Item("apple"), "ITFO_CHEESE"},
    };
    for (const auto& [object, name] : cases) {
        EXPECT_EQ(engine.eng_object_instance_name(object).Text(), name);
    }
}

TEST(EngineAnswers, DeathIsTheEnginesOwnStateNotTheHitPoints) {
    ScenarioGame world(R"({"world": {"npcs": [
        {"id": "fallen", "instance": "BDT_1", "hitpoints": 0},
        {"id": "dead", "instance": "BDT_2", "hitpoints": 0, "bodyState": 23, "dead": true},
        {"id": "knocked", "instance": "BDT_3", "hitpoints": 0, "unconscious": true}]}})");
    SimEngine& engine = world.Engine();
    EXPECT_FALSE(engine.eng_npc_is_dead(&world.Npc("fallen")));
    EXPECT_TRUE(engine.eng_npc_is_dead(&world.Npc("dead")));
    EXPECT_FALSE(engine.eng_npc_is_dead(&world.Npc("knocked")));
    EXPECT_EQ(engine.eng_npc_hitpoints(&world.Npc("fallen")), 0);

    world.Step(R"({"npcs": [{"id": "fallen", "dead": true}]})");
    EXPECT_TRUE(engine.eng_npc_is_dead(&world.Npc("fallen")));
}

TEST(EngineAnswers, TheFocusFieldIsItsOwnAndTheEnginesFocusChangesSetBoth) {
    ScenarioGame world(R"({"world": {
        "player": {"id": "hero", "instance": "PC_HERO", "focus": "apple", "focusField": null},
        "npcs": [{"id": "bandit", "instance": "BDT_1", "focusField": "apple"}],
        "items": [{"id": "apple", "instance": "ITFO_APPLE"}]}})");
    SimEngine& engine = world.Engine();
    SimNpc& hero = world.Npc("hero");
    SimNpc& bandit = world.Npc("bandit");
    SimItem& apple = world.Item("apple");
    EXPECT_EQ(engine.eng_npc_focus_vob(&hero), &apple);
    EXPECT_EQ(engine.eng_npc_focus_object_field(&hero), nullptr);
    EXPECT_EQ(engine.eng_npc_focus_vob(&bandit), nullptr);
    EXPECT_EQ(engine.eng_npc_focus_object_field(&bandit), &apple);

    engine.eng_npc_set_focus(&hero, &bandit);
    EXPECT_EQ(engine.eng_npc_focus_vob(&hero), &bandit);
    EXPECT_EQ(engine.eng_npc_focus_object_field(&hero), &bandit);
    EXPECT_EQ(engine.eng_npc_focus_npc(&hero), &bandit);
    engine.eng_npc_clear_focus(&bandit);
    EXPECT_EQ(engine.eng_npc_focus_object_field(&bandit), nullptr);
}

TEST(EngineAnswers, TheItemListIsWalkableOnlyAsOfTheLastPreparation) {
    ScenarioGame world(R"({"world": {
        "player": {"id": "hero", "instance": "PC_HERO",
                   "inventory": [{"id": "gold", "instance": "ITMI_GOLD", "amount": 5},
                                 {"id": "torch", "instance": "ITLSTORCH"}]},
        "items": [{"id": "apple", "instance": "ITFO_APPLE"}]}})");
    SimEngine& engine = world.Engine();
    SimNpc& hero = world.Npc("hero");
    oCNpcInventory* inventory = engine.eng_npc_inventory(&hero);

    EXPECT_EQ(Ids(engine, engine.eng_inventory_entry_list(inventory)),
              (std::vector<std::string>{"gold", "torch"}));
    EXPECT_EQ(engine.eng_inventory_item_list(inventory), nullptr) << "never prepared";
    engine.eng_inventory_prepare(inventory);
    EXPECT_EQ(Ids(engine, engine.eng_inventory_item_list(inventory)),
              (std::vector<std::string>{"gold", "torch"}));

    engine.eng_npc_take_vob(&hero, &world.Item("apple"));
    EXPECT_EQ(Ids(engine, engine.eng_inventory_entry_list(inventory)),
              (std::vector<std::string>{"gold", "torch", "apple"}));
    EXPECT_EQ(Ids(engine, engine.eng_inventory_item_list(inventory)),
              (std::vector<std::string>{"gold", "torch"}))
        << "stale until prepared again";
    engine.eng_inventory_prepare(inventory);
    EXPECT_EQ(Ids(engine, engine.eng_inventory_item_list(inventory)),
              (std::vector<std::string>{"gold", "torch", "apple"}));
}

TEST(EngineAnswers, OnlyNpcsMadeExtendedAreTheFrameworksExtendedNpc) {
    ScenarioGame world(R"({"world": {"npcs": [
        {"id": "plain", "instance": "BDT_1"},
        {"id": "extended", "instance": "BDT_2", "extended": true, "markers": [1, 0, 0]}]}})");
    SimEngine& engine = world.Engine();
    for (const auto& [id, extended] : {std::pair{"plain", false}, std::pair{"extended", true}}) {
        SCOPED_TRACE(id);
        zCObject* npc = &world.Npc(id);
        EXPECT_EQ(engine.eng_object_class_is(npc, EngineClass::oCNpcEx), extended);
        EXPECT_EQ(EngineCast(engine, npc, EngineClass::oCNpcEx) != nullptr, extended);
    }
    const auto* extended = static_cast<const oCNpcEx*>(
        EngineCast(engine, &world.Npc("extended"), EngineClass::oCNpcEx));
    ASSERT_NE(extended, nullptr);
    EXPECT_EQ(engine.eng_npc_ex_marker_1(extended), 1);
}

// Another patch of SetState that keeps the right mouse button's key from the key table, as
// any plugin of the game could.
int ENGINE_MEMBER_CALL DropRightButtonKey(zCInput_Win32* input, unsigned short key, int state) {
    constexpr unsigned short kMouseButtonRight = 525;
    if (key == kMouseButtonRight) {
        return 0;
    }
    const auto engineOwn =
        reinterpret_cast<InputSetStateFn>(EngineFunctionAddress(PatchableFunction::SetState));
    return engineOwn(input, key, state);
}

TEST(EngineAnswers, TheRightMouseButtonIsTheInputManagersOwnStateApartFromItsKey) {
    const test::TempFolder folder;
    SimGame game(folder.Path(), 4);
    constexpr int kMouseButtonRight = 525;
    game.redirects.Redirect(EngineFunctionAddress(PatchableFunction::SetState),
                            AddressOf(&DropRightButtonKey));
    game.HoldKeys({kMouseButtonRight});
    zCInput* input = game.engine.eng_input();
    EXPECT_TRUE(game.engine.eng_input_mouse_right_pressed(input));
    EXPECT_FALSE(game.engine.eng_input_key_pressed(input, kMouseButtonRight));

    game.HoldKeys({});
    EXPECT_FALSE(game.engine.eng_input_mouse_right_pressed(input));
}

TEST(EngineAnswers, FontsAndTexturesTheGameDoesNotHaveFailToLoad) {
    ScenarioGame world(R"({"gameData": {
        "fonts": [{"name": "FONT_OLD_10_WHITE.TGA", "height": 18}],
        "textures": ["QUICKLOOT_ICON"]}})");
    SimEngine& engine = world.Engine();
    zCView* view = engine.eng_view_construct_rect(0, 0, 8192, 8192, 2);
    engine.eng_view_set_font(view, zSTRING("FONT_OLD_20_WHITE.TGA"));
    EXPECT_EQ(engine.eng_view_font(view), nullptr);
    engine.eng_view_set_font(view, zSTRING("font_old_10_white.tga"));
    ASSERT_NE(engine.eng_view_font(view), nullptr);
    EXPECT_EQ(engine.eng_font_height(engine.eng_view_font(view)), 18);

    EXPECT_EQ(engine.eng_texture_load(zSTRING("QUICKLOOT_TARGET_BLUE"), 0), nullptr);
    EXPECT_NE(engine.eng_texture_load(zSTRING("QuickLoot_Icon"), 0), nullptr);
    engine.eng_view_set_texture_name(view, zSTRING("QUICK_LOOT_HISTORY_BG"));
    engine.eng_view_blit(view);
    EXPECT_TRUE(engine.DrawRecords().empty()) << "no background without its texture";
}

// The plugin in a game that lacks what it asks for: its fallbacks are reached and it goes on.
class PluginInLackingGame : public ::testing::Test {
protected:
    // The hero in the world and the plugin started, after `lack` took from the game's data.
    void Start(const std::function<void(SimEngine&)>& lack) {
        SimEngine& engine = fixture.Game().engine;
        lack(engine);
        SimNpc& hero = engine.CreateNpc("hero", "PC_HERO");
        hero.hitpoints = 100;
        engine.PlaceInWorld(hero);
        engine.SetPlayer(&hero);
        fixture.Load();
        fixture.Game().Init();
    }
    Instance& Plugin() { return fixture.Running(); }
    SimGame& Game() { return fixture.Game(); }

    test::PluginFixture fixture;
};

TEST_F(PluginInLackingGame, WithoutItsTexturesItHoldsNoneAndDrawsNoIcon) {
    Start([](SimEngine& engine) { engine.textureFiles.clear(); });
    const PluginStatics& statics = Plugin().statics;
    EXPECT_EQ(statics.targetTextureBlue, nullptr);
    EXPECT_EQ(statics.targetTextureGreen, nullptr);
    for (const auto& texture : Game().engine.Textures()) {
        EXPECT_EQ(texture->references, 0) << texture->name;
    }
    Plugin().autoLootActive = true;
    Game().Frame(16);
    EXPECT_TRUE(Game().engine.DrawRecords().empty());
}

TEST_F(PluginInLackingGame, WithoutAScreenFontItsMessagesPrintNothingAndStillExpire) {
    Start([](SimEngine& engine) { engine.ClearFonts(); });
    Plugin().settings.fontMultiplier = 2.0F;
    Plugin().lootMessages.push_back(MessageData{CStringA("Gold x25"), 1, std::nullopt});

    Game().Frame(16);
    EXPECT_TRUE(Game().engine.DrawRecords().empty());
    EXPECT_EQ(Plugin().text.glyphScale, 1.0F);
    Game().Frame(static_cast<std::uint32_t>(Plugin().settings.quickLootTimeDelay) + 1);
    EXPECT_TRUE(Plugin().lootMessages.empty());
}

}  // namespace
}  // namespace pilfern::sim
