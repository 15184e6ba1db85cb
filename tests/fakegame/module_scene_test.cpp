// The plugin module itself in the fake game, loaded as the game's framework loads it: the
// system loads the library, the framework calls its exported events in the game's order
// (entry, init, frames, saves, a new game, a load, a level change, exit), and the module binds
// to the game's process on its own, observes the engine's save and load functions, puts its
// three replacements in force over the references in the game's code and tables, and takes
// every change out again when it is unloaded. What it loots and saves is what the simulated
// game's plugin saves for the same world; its log says what it did.

#include <dlfcn.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "binding/abi/raw_call.h"
#include "binding/engine_facts.h"
#include "fakegame/engine_version_cases.h"
#include "fakegame/fake_game_environment.h"
#include "fakegame/fake_process.h"
#include "fakegame/fake_world.h"
#include "fakegame/looting_scene.h"
#include "frame/game_framework.h"
#include "host/framework.h"
#include "platform/platform.h"

namespace pilfern::fakegame {
namespace {

namespace abi = binding::abi;
using testing::HasSubstr;

constexpr int kEntry = 1;
constexpr int kInit = 2;
constexpr int kExit = 3;
constexpr int kPreLoop = 4;
constexpr int kLoop = 5;
constexpr int kPostLoop = 6;
constexpr int kKeySemicolon = 39;

std::string FileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> ImageBytes(const FakeProcess& process) {
    std::vector<std::uint8_t> bytes(process.End() - process.Begin());
    std::memcpy(bytes.data(), abi::AddressOf(process.Begin()), bytes.size());
    return bytes;
}

// The fake game is installed as the game is: its program in the game folder's System folder.
// Each scene starts from a game folder without a log or savegames.
std::filesystem::path FreshGameFolder() {
    std::filesystem::path game = GameFolderAbove(platform::ExecutableFolder());
    std::filesystem::remove(game / "System" / "Pilfern.log");
    std::filesystem::remove_all(game / "SAVES");
    return game;
}

// The engine's string of a text, laid out on the caller's stack as engine code passes one.
EngineStringBytes EngineText(const FakeWorld& world, const char* text) {
    EngineStringBytes bytes;
    bytes.table = world.StringTable();
    bytes.text = text;
    bytes.length = static_cast<std::int32_t>(std::strlen(text));
    bytes.reserved = bytes.length;
    return bytes;
}

class ModuleScene : public testing::TestWithParam<VersionCase> {};

TEST_P(ModuleScene, PlaysLoadedAsTheFrameworkLoadsIt) {
    const int version = GetParam().version;
    const std::string simulatedHistory = SimulatedSavedHistory(version, 3);
    const std::filesystem::path game = FreshGameFolder();

    FakeProcess process(FakeEngine(), version);
    FakeWorld world(process, kGothicIni);
    BuildFakeWorld(world);
    world.SetBaseFolder(game.string() + "/");
    const std::vector<std::uint8_t> untouched = ImageBytes(process);
    void* gameObject = world.Find("game").memory.data();
    void* input = world.Find("input").memory.data();
    const auto callEngine = [&](std::string_view fact, auto... args) {
        abi::CallMember<void>(world.CallerOf(fact), gameObject, args...);
    };
    const auto tableEntry = [&](std::string_view fact) {
        return *static_cast<const abi::EngineAddress*>(abi::AddressOf(world.TableEntry(fact)));
    };

    bool patchedWhilePlaying = false;
    std::size_t drawnBeforeOverlay = 0;
    void* module = nullptr;
    const std::string stopped = RunGuarded([&] {
        module = ::dlopen(PILFERN_MODULE_FILE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module, nullptr) << ::dlerror();
        FakeWorld::EventFunctions events{};
        for (std::size_t slot = 0; slot < kEventExportNames.size(); ++slot) {
            events.at(slot) = reinterpret_cast<void (*)()>(
                ::dlsym(module, std::string(kEventExportNames.at(slot)).c_str()));
            ASSERT_NE(events.at(slot), nullptr) << kEventExportNames.at(slot);
        }
        world.DeliverEventsThrough(events);
        world.Fire(kEntry);
        world.Fire(kInit);
        std::set<int> held;
        const auto playFrame = [&](const std::set<int>& keys) {
            // Keys reach the engine through its input's virtual SetState.
            const abi::EngineAddress setState = tableEntry("hook:replace(zCInput_Win32::SetState)");
            for (const int key : held) {
                if (!keys.contains(key)) {
                    abi::CallMember<int>(setState, input, static_cast<std::uint32_t>(key), 0U);
                }
            }
            for (const int key : keys) {
                if (!held.contains(key)) {
                    abi::CallMember<int>(setState, input, static_cast<std::uint32_t>(key), 1U);
                }
            }
            held = keys;
            world.Fire(kPreLoop);
            world.CollectPlayerFocus();
            world.Fire(kLoop);
            world.Fire(kPostLoop);
        };
        for (const Frame& frame : Timeline()) {
            if (frame.focus != nullptr) {
                world.SetFocus(*world.Player(),
                               *frame.focus == '\0' ? nullptr : &world.Find(frame.focus));
            }
            playFrame(frame.keys);
            ASSERT_THAT(world.Faults(), testing::IsEmpty());
        }
        // The player saves into slot 3, starts a new game and saves it into slot 5, loads slot
        // 3 again and saves it into slot 4; then the level changes.
        callEngine("hook:save(oCGame::WriteSavegame)", 3U, 1U);
        const EngineStringBytes level = EngineText(world, "NEWWORLD\\NEWWORLD.ZEN");
        callEngine("hook:load_new(oCGame::LoadGame)", static_cast<std::uint32_t>(-2), &level);
        callEngine("hook:save(oCGame::WriteSavegame)", 5U, 1U);
        callEngine("hook:load_save(oCGame::LoadSavegame)", 3U, 1U);
        // The history overlay shows what the load brought back.
        drawnBeforeOverlay = world.Drawn().size();
        playFrame({kKeyRightShift, kKeySemicolon});
        playFrame({});
        callEngine("hook:save(oCGame::WriteSavegame)", 4U, 1U);
        const EngineStringBytes wayPoint = EngineText(world, "START");
        abi::CallMember<void>(tableEntry("hook:change_level(oCGame::ChangeLevel)"), gameObject,
                              &level, &wayPoint);
        world.Fire(kExit);
        patchedWhilePlaying = ImageBytes(process) != untouched;
        world.DeliverEventsThrough(std::nullopt);
        ASSERT_EQ(::dlclose(std::exchange(module, nullptr)), 0) << ::dlerror();
    });
    EXPECT_EQ(Explained(stopped, version), "");
    // A scene stopped on the way still unloads the module, so that the next starts afresh.
    if (module != nullptr) {
        world.DeliverEventsThrough(std::nullopt);
        EXPECT_EQ(RunGuarded([&] { ::dlclose(module); }), "");
    }
    EXPECT_THAT(world.Faults(), testing::IsEmpty());
    EXPECT_TRUE(patchedWhilePlaying);
    EXPECT_TRUE(ImageBytes(process) == untouched) << "the game's image is not as it was";
    EXPECT_EQ(process.Strings().live, 0U);
    EXPECT_EQ(process.Heap().foreign, 0U);

    // The loot went where the plugin put it, and its messages went out through the engine's
    // print path.
    const FakeObject& hero = world.Find("hero");
    EXPECT_EQ(world.AmountIn(hero, "ITFO_APPLE"), 1);
    EXPECT_EQ(world.AmountIn(hero, "ITMI_GOLD"), 14 + 12);
    EXPECT_EQ(world.AmountIn(hero, "ITMI_NUGGET"), 3);
    std::vector<std::string> drawn;
    for (const FakeWorld::DrawnText& text : world.Drawn()) {
        drawn.push_back(text.text);
        EXPECT_EQ(text.width, 9 * static_cast<int>(text.text.size())) << text.text;
    }
    EXPECT_THAT(drawn, testing::Contains("Apple x1"));
    EXPECT_THAT(drawn, testing::Contains("Gold x12"));
    // The overlay after the load shows the history rows, marked as the history marks them.
    ASSERT_LE(drawnBeforeOverlay, drawn.size());
    const std::vector<std::string> overlay(
        drawn.begin() + static_cast<std::ptrdiff_t>(drawnBeforeOverlay), drawn.end());
    EXPECT_THAT(overlay, testing::Contains(HasSubstr("(M) Apple x1")));
    EXPECT_THAT(overlay, testing::Contains(HasSubstr("Ore Nugget x3")));

    // The history went with the savegames: slot 3 holds what the simulated game's plugin saves,
    // the new game's slot 5 holds none of it, and slot 4, saved after slot 3 was loaded, holds
    // it again. The level change saved no history.
    const std::filesystem::path saves = game / "SAVES";
    EXPECT_THAT(simulatedHistory, HasSubstr("Apple"));
    EXPECT_EQ(FileText(saves / "savegame3" / "PILFERN.SAV"), simulatedHistory);
    EXPECT_THAT(FileText(saves / "savegame5" / "PILFERN.SAV"), testing::Not(HasSubstr("Apple")));
    EXPECT_EQ(FileText(saves / "savegame4" / "PILFERN.SAV"), simulatedHistory);
    EXPECT_FALSE(std::filesystem::exists(saves / "current" / "PILFERN.SAV"));

    // The log says what the module found and did.
    const std::string log = FileText(game / "System" / "Pilfern.log");
    EXPECT_THAT(log, HasSubstr("Pilfern: bound to "));
    for (const char* observed :
         {"oCGame::WriteSavegame patched: 1 references",
          "oCGame::LoadSavegame patched: 1 references", "oCGame::LoadGame patched: 1 references",
          "oCGame::ChangeLevel patched: 2 references", "oCGame::ChangeLevel restored: 2 references",
          "Game_Entry received", "Game_SaveEnd received", "Game_LoadEnd_SaveGame received",
          "Game_Exit received", "Pilfern: unloading, every patch is taken out"}) {
        EXPECT_THAT(log, HasSubstr(observed));
    }
    // The replacements: Gothic I's input replacement too, over the input's call site and its
    // virtual table's entry.
    EXPECT_THAT(log, HasSubstr("zCFont::GetFontData patched: 1 references"));
    EXPECT_THAT(log, HasSubstr("zCView::PrintChars patched: 1 references"));
    EXPECT_THAT(log, HasSubstr("zCView::PrintChars restored: 1 references"));
    EXPECT_EQ(log.find("zCInput_Win32::SetState patched: 2 references") != std::string::npos,
              GetParam().version <= 2);
}

INSTANTIATE_TEST_SUITE_P(FourEngines, ModuleScene, testing::ValuesIn(kVersions), VersionName);

}  // namespace
}  // namespace pilfern::fakegame
