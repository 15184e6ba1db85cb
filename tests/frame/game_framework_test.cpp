// The framework's services as the plugin makes them itself in the running game: files of the
// game folder, the framework's option file, the engine's patching and the record of the save
// or load in progress.

#include "frame/game_framework.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/temp_folder.h"

namespace pilfern {
namespace {

// A patch record that only remembers what it was given.
class NotedPatch final : public ModulePatchCallInfo {
public:
    void SetTemporary(std::uintptr_t engineFunction, std::uintptr_t /*replacement*/) override {
        origin_ = engineFunction;
    }
    void SetCallPatch(std::uintptr_t /*origin*/, std::uintptr_t /*address*/) override {}
    [[nodiscard]] std::uintptr_t GetOrigin() const override { return origin_; }
    [[nodiscard]] std::uintptr_t GetAddress() const override { return 0; }
    [[nodiscard]] std::uintptr_t GetReturnAddress() const override { return 0; }
    void RemoveCallPatch() override {}
    void Release() override {}

private:
    std::uintptr_t origin_ = 0;
};

constexpr int kVersion = 4;

class GameFrameworkTest : public testing::Test {
protected:
    GameFrameworkTest()
        : game_(folder_.Path() / "Gothic II", kVersion,
                EnginePatching{[this](int version, std::string_view name) {
                                   asked_.emplace_back(std::to_string(version) + " " +
                                                       std::string(name));
                                   return std::uintptr_t{0x0078A390};
                               },
                               [] { return std::make_unique<NotedPatch>(); }}) {}

    void WriteSystemPack(std::string_view text) const {
        folder_.Write("Gothic II/System/SystemPack.ini", text);
    }

    test::TempFolder folder_;
    std::vector<std::string> asked_;
    GameFramework game_;
};

TEST_F(GameFrameworkTest, TheFrameworksOptionFileIsReadFromTheSystemFolder) {
    struct Case {
        const char* file;  // nullptr: no SystemPack.ini
        bool fallback;
        bool expected;
    };
    const std::vector<Case> cases{
        {nullptr, true, true},
        {nullptr, false, false},
        {"[PARAMETERS]\r\nShowArmor = true\r\n", false, true},
        {"[parameters]\nSHOWARMOR=1\n", false, true},
        {"[PARAMETERS]\nShowArmor=TRUE\n", false, true},
        {"[PARAMETERS]\nShowArmor=0\n", true, false},
        {"[PARAMETERS]\nShowArmor=false\n", true, false},
        {"[PARAMETERS]\nShowArmor=\n", true, false},
        {"[PARAMETERS]\n; ShowArmor=1\n", true, true},
        {"[OTHER]\nShowArmor=1\n[PARAMETERS]\n", false, false},
        {"[PARAMETERS]\nShowArmor=1\nShowArmor=0\n", false, true},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(folder_.Path() / "Gothic II/System/SystemPack.ini");
        if (c.file != nullptr) {
            WriteSystemPack(c.file);
        }
        EXPECT_EQ(
            game_.ReadSysPackOption(CStringA("PARAMETERS"), CStringA("ShowArmor"), c.fallback),
            c.expected)
            << (c.file == nullptr ? "no file" : c.file) << " fallback " << c.fallback;
    }
}

TEST_F(GameFrameworkTest, GamePathsLieInTheGameFolderAndAbsolutePathsAreTakenAsTheyAre) {
    folder_.Write("Gothic II/System/GD3D11/UserSettings.ini", "[FontRendering]\nEnable=1\n");
    EXPECT_TRUE(game_.FileExists(CStringA("System\\GD3D11\\UserSettings.ini")));
    EXPECT_FALSE(game_.FileExists(CStringA("System\\GD3D11")));  // a folder is no file
    EXPECT_FALSE(game_.FileExists(CStringA("System\\ddraw.dll")));
    CStringA text;
    ASSERT_TRUE(game_.ReadFromVdf(text, CStringA("System\\GD3D11\\UserSettings.ini"), 7));
    EXPECT_EQ(text.Str(), "[FontRendering]\nEnable=1\n");
    EXPECT_FALSE(game_.ReadFromVdf(text, CStringA("System\\missing.ini"), 0));

    // A savegame's path comes whole from the engine's options.
    std::filesystem::create_directories(folder_.Path() / "saves/savegame3");
    const std::string saved = (folder_.Path() / "saves/savegame3/PILFERN.SAV").string();
    ASSERT_TRUE(game_.WriteToFileUTF8(CStringA("Apfel \xE4"), CStringA(saved), 1252));
    EXPECT_EQ(platform::ReadWholeFile(saved), "Apfel \xC3\xA4");
    EXPECT_EQ(game_.SystemPath("System\\Pilfern.log"),
              (folder_.Path() / "Gothic II" / "System" / "Pilfern.log").string());

    // A file that cannot be written is reported, not taken for written.
    EXPECT_FALSE(game_.WriteToFileUTF8(CStringA("x"), CStringA("NoSuchFolder\\PILFERN.SAV"), 1252));
}

TEST_F(GameFrameworkTest, TheGameFolderIsTheOneAboveTheExecutablesFolder) {
    EXPECT_EQ(GameFolderAbove(std::filesystem::path("/games/Gothic II/System")),
              std::filesystem::path("/games/Gothic II"));
}

TEST_F(GameFrameworkTest, EnginePatchingIsTheBindingsForTheRunningVersionOnly) {
    EXPECT_EQ(game_.FindEngineAddress(kVersion - 1, CStringA("&zCFont::GetFontData"), CStringA()),
              0U);
    EXPECT_TRUE(asked_.empty());
    EXPECT_EQ(game_.FindEngineAddress(kVersion, CStringA("&zCFont::GetFontData"), CStringA()),
              0x0078A390U);
    EXPECT_EQ(asked_, std::vector<std::string>{"4 &zCFont::GetFontData"});
    EXPECT_NE(game_.CreatePatchCallInfo(), nullptr);

    GameFramework unbound(folder_.Path(), kVersion, EnginePatching{});
    EXPECT_EQ(unbound.FindEngineAddress(kVersion, CStringA("&zCFont::GetFontData"), CStringA()),
              0U);
    EXPECT_EQ(unbound.CreatePatchCallInfo(), nullptr);
}

TEST_F(GameFrameworkTest, TheSaveOrLoadInProgressIsWhatTheEngineWasLastCalledWith) {
    const TSaveLoadGameInfo* info = game_.SaveLoadGameInfo();
    EXPECT_EQ(info->slotNumber, kSaveSlotNone);
    game_.NoteSavegame(3);
    EXPECT_EQ(info->slotNumber, 3);
    EXPECT_FALSE(info->changeLevel);
    // A level change keeps the slot of the game it continues.
    game_.NoteLevelChange("OLDWORLD.ZEN", "START");
    EXPECT_EQ(info->slotNumber, 3);
    EXPECT_TRUE(info->changeLevel);
    EXPECT_EQ(info->worldName.Str(), "OLDWORLD.ZEN");
    EXPECT_EQ(info->wayPoint.Str(), "START");
    game_.NoteNewGame();
    EXPECT_EQ(info->slotNumber, kSaveSlotNewGame);
    EXPECT_FALSE(info->changeLevel);
    game_.NoteSavegame(kSaveSlotQuicksave);
    EXPECT_EQ(info->slotNumber, kSaveSlotQuicksave);
}

}  // namespace
}  // namespace pilfern
