#include "sim/game_folder.h"

#include <fstream>
#include <functional>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "sim/sim_game.h"
#include "support/file_opens.h"
#include "support/temp_folder.h"

namespace pilfern::sim {
namespace {

// Every file below a folder with its content, to see that nothing in it changed.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            std::ifstream file(entry.path(), std::ios::binary);
            files[entry.path().lexically_relative(folder).generic_string()] = {
                std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        }
    }
    return files;
}

// An installed game and a player's working folder laid over it, side by side.
class Overlay : public ::testing::Test {
protected:
    Overlay() {
        root.Write("installed/System/Gothic.ini", "[GAME]\r\nsubTitles=0\r\n");
        root.Write("installed/System/SystemPack.ini", "installed pack");
        root.Write("installed/Data/Worlds.vdf", "installed archive");
        root.Write("working/System/Gothic.ini", "[GAME]\r\nsubTitles=1\r\n");
    }

    [[nodiscard]] std::filesystem::path Installed() const { return root.Path() / "installed"; }
    [[nodiscard]] std::filesystem::path Working() const { return root.Path() / "working"; }

    test::TempFolder root;
};

struct LayeredRead {
    std::string path;  // as the game names it; "@" stands for the working folder
    std::optional<std::string> content;
};

TEST_F(Overlay, AReadFindsTheWorkingFolderFirstThenTheInstalledOne) {
    const GameFolder folder(Working(), Installed());
    const std::string working = Working().string();
    const std::vector<LayeredRead> reads{
        {"System\\Gothic.ini", "[GAME]\r\nsubTitles=1\r\n"},
        {"System/SystemPack.ini", "installed pack"},
        {"Data\\..\\Data\\Worlds.vdf", "installed archive"},
        {"System\\absent.ini", std::nullopt},
        {"System", std::nullopt},  // a folder is no file
        // The engine's base directory is the working folder: paths built on it are game paths.
        {"@\\Data\\Worlds.vdf", "installed archive"},
        {"@/System/Gothic.ini", "[GAME]\r\nsubTitles=1\r\n"},
    };
    for (const LayeredRead& read : reads) {
        std::string path = read.path;
        if (path.starts_with('@')) {
            path.replace(0, 1, working);
        }
        SCOPED_TRACE(path);
        EXPECT_EQ(folder.Read(path), read.content);
        EXPECT_EQ(folder.Exists(path), read.content.has_value());
    }
}

TEST_F(Overlay, AWriteLandsInTheWorkingFolderAndIsListed) {
    const auto installedBefore = Snapshot(Installed());
    GameFolder folder(Working(), Installed());

    EXPECT_TRUE(folder.Write("System\\SystemPack.ini", "changed pack"));
    EXPECT_TRUE(folder.Write((Working() / "SAVES/quicksave/SAVEINFO.SAV").string(), "slot 0\n"));
    // An absolute path into the installed folder is a game path too: it is never written.
    EXPECT_TRUE(folder.Write((Installed() / "Data/Worlds.vdf").string(), "patched archive"));

    EXPECT_EQ(Snapshot(Installed()), installedBefore);
    EXPECT_EQ(Snapshot(Working()), (std::map<std::string, std::string>{
                                       {"Data/Worlds.vdf", "patched archive"},
                                       {"SAVES/quicksave/SAVEINFO.SAV", "slot 0\n"},
                                       {"System/Gothic.ini", "[GAME]\r\nsubTitles=1\r\n"},
                                       {"System/SystemPack.ini", "changed pack"},
                                   }));
    EXPECT_EQ(folder.Read("System/SystemPack.ini"), "changed pack");
    // The player's own Gothic.ini lay there before; the game did not write it.
    EXPECT_EQ(folder.Written(),
              (std::vector<std::string>{"Data/Worlds.vdf", "SAVES/quicksave/SAVEINFO.SAV",
                                        "System/SystemPack.ini"}));
}

// A file that lay in the working folder when it was opened is listed once the game changed it,
// and only then, however it was rewritten; yet opening the folder and listing what was written
// read none of the files the game left alone.
TEST_F(Overlay, AFileThatLayThereIsListedWhenItsBytesChanged) {
    struct Rewrite {
        std::string how;
        std::function<void(GameFolder&, const std::filesystem::path&)> write;
        bool listed;
    };
    const std::string ini = "[GAME]\r\nsubTitles=1\r\n";
    const std::vector<Rewrite> rewrites{
        {"the same bytes", [&ini](GameFolder& f, auto) { f.Write("System/Gothic.ini", ini); },
         false},
        {"other bytes of the same size",
         [](GameFolder& f, auto) { f.Write("System/Gothic.ini", "[GAME]\r\nsubTitles=0\r\n"); },
         true},
        {"a longer file",
         [](GameFolder& f, auto) {
             f.Write("System/Gothic.ini", "[GAME]\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
         },
         true},
        // As the plugin replaces a file, past the overlay: another file renamed over it.
        {"a file of the same size renamed over it",
         [](GameFolder&, const std::filesystem::path& working) {
             std::ofstream(working / "System/new.ini", std::ios::binary)
                 << "[GAME]\r\nsubTitles=2\r\n";
             std::filesystem::rename(working / "System/new.ini", working / "System/Gothic.ini");
         },
         true},
    };
    for (const Rewrite& rewrite : rewrites) {
        SCOPED_TRACE(rewrite.how);
        root.Write("working/System/Gothic.ini", ini);
        root.Write("working/Data/Worlds.vdf", "an archive the player placed");
#ifdef __linux__
        const test::FileOpens opens{Working() / "Data/Worlds.vdf"};
        ASSERT_TRUE(opens.Watching());
#endif
        GameFolder folder(Working(), Installed());
        rewrite.write(folder, Working());
        EXPECT_EQ(folder.Written(), rewrite.listed ? std::vector<std::string>{"System/Gothic.ini"}
                                                   : std::vector<std::string>{});
#ifdef __linux__
        EXPECT_FALSE(opens.Any());
#endif
    }
}

TEST_F(Overlay, PathsOutsideTheGameFolderAreUsedAsTheyAre) {
    GameFolder folder(Working(), Installed());
    const std::string outside = (root.Path() / "elsewhere" / "notes.txt").string();
    EXPECT_FALSE(folder.Write(outside, "x")) << "no folders are made outside the game folder";
    std::filesystem::create_directory(root.Path() / "elsewhere");
    EXPECT_TRUE(folder.Write(outside, "notes"));
    EXPECT_EQ(folder.Read(outside), "notes");
    EXPECT_TRUE(folder.Written().empty());
    EXPECT_FALSE(std::filesystem::exists(Working() / "elsewhere"));
}

TEST_F(Overlay, AWriteThatFailsLeavesNothingAndIsNotListed) {
    GameFolder folder(Working(), Installed());
    // A file stands where the write needs a folder.
    EXPECT_FALSE(folder.Write("System/Gothic.ini/pilfern.ini", "x"));
    // A folder stands where the file would go.
    std::filesystem::create_directories(Working() / "SAVES" / "quicksave");
    EXPECT_FALSE(folder.Write("SAVES/quicksave", "x"));
    EXPECT_TRUE(folder.Written().empty());
    EXPECT_EQ(
        Snapshot(Working()),
        (std::map<std::string, std::string>{{"System/Gothic.ini", "[GAME]\r\nsubTitles=1\r\n"}}));
}

TEST(GameFolder, NeverWritesIntoTheInstalledFolderEvenWhenItLiesInTheWorkingFolder) {
    const test::TempFolder root;
    root.Write("game/System/Gothic.ini", "installed");
    GameFolder folder(root.Path(), root.Path() / "game");
    EXPECT_FALSE(folder.Write("game/System/Gothic.ini", "changed"));
    EXPECT_FALSE(folder.Write((root.Path() / "game/System/Gothic.ini").string(), "changed"));
    EXPECT_TRUE(folder.Write("System/Gothic.ini", "the player's"));
    EXPECT_EQ(Snapshot(root.Path() / "game"),
              (std::map<std::string, std::string>{{"System/Gothic.ini", "installed"}}));
}

// The game and its framework touch the game folder only through the overlay.
TEST_F(Overlay, TheGameReadsTheInstallationAndWritesIntoTheWorkingFolder) {
    std::filesystem::remove(Working() / "System" / "Gothic.ini");
    root.Write("installed/System/ddraw.dll", "GD3D11");
    root.Write("working/System/GD3D11/UserSettings.ini", "[FontRendering]\nEnable=1\n");
    const auto installedBefore = Snapshot(Installed());
    SimGame game(Working(), 4, Installed());

    EXPECT_EQ(game.engine.options.ini.Find("GAME", "subTitles"), "0");
    const std::string base = game.engine.options.directories.at(24);  // the base folder
    EXPECT_TRUE(game.framework.FileExists(CStringA(base + "Data\\Worlds.vdf")));
    CStringA text;
    ASSERT_TRUE(game.framework.ReadFromVdf(text, CStringA(base + "System\\SystemPack.ini"), 0));
    EXPECT_EQ(text.Str(), "installed pack");
    EXPECT_NE(game.framework.LoadLibraryA(CStringA("ddraw.dll")), nullptr);
    game.DetectRenderer();
    EXPECT_TRUE(game.engine.rendererDrawsText);

    EXPECT_TRUE(game.framework.WriteToFileUTF8(CStringA("M\xFCnzen"),
                                               CStringA("System\\Pilfern.ini"), 1252));
    EXPECT_TRUE(
        game.framework.WriteToFileUTF8(CStringA("x"), CStringA(base + "SAVES\\x.txt"), 1252));
    game.Save(2);
    EXPECT_EQ(game.ReadGameFile("System/Pilfern.ini"), "M\xC3\xBCnzen");
    EXPECT_EQ(
        game.WrittenFiles(),
        (std::vector<std::string>{"SAVES/current/NEWWORLD.SAV", "SAVES/current/SAVEDAT.SAV",
                                  "SAVES/current/SAVEINFO.SAV", "SAVES/savegame2/NEWWORLD.SAV",
                                  "SAVES/savegame2/SAVEDAT.SAV", "SAVES/savegame2/SAVEINFO.SAV",
                                  "SAVES/x.txt", "System/Pilfern.ini"}));
    EXPECT_EQ(Snapshot(Installed()), installedBefore);
}

}  // namespace
}  // namespace pilfern::sim
