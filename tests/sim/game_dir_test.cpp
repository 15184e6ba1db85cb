// The working folder a run is given (--game-dir): never a player's game, and only what the run
// needs of it is read.

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/scenario/runner.h"
#include "sim/scenario/scenario.h"
#include "support/file_opens.h"
#include "support/temp_folder.h"

#ifdef __linux__
#include <unistd.h>

#include <sys/inotify.h>
#endif

namespace pilfern::sim {
namespace {

// Every folder and file below a folder, files with their content: a write of any kind shows.
std::map<std::string, std::string> Tree(const std::filesystem::path& folder) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().lexically_relative(folder).generic_string();
        if (entry.is_directory()) {
            tree[name + "/"] = "";
        } else {
            std::ifstream file(entry.path(), std::ios::binary);
            tree[name] = {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        }
    }
    return tree;
}

const std::string kSavingScenario = R"({
    "world": {"player": {"id": "hero", "instance": "PC_HERO"}},
    "timeline": [{"frames": 1}, {"save": 1}]
})";

struct GameDirCase {
    std::string name;
    std::vector<std::string> files;  // the folder's files, below the test's folder
    std::string gameDir;             // below the test's folder
    std::string installation;        // the installation named in the error; empty: accepted
};

void PrintTo(const GameDirCase& c, std::ostream* out) {
    *out << c.name;
}

class GameDir : public ::testing::TestWithParam<GameDirCase> {};

TEST_P(GameDir, InAGameInstallationIsRefusedBeforeAnythingIsWritten) {
    const GameDirCase& c = GetParam();
    const test::TempFolder root;
    for (const std::string& file : c.files) {
        root.Write(file, "installed");
    }
    const auto before = Tree(root.Path());
    const Scenario scenario = ParseScenario(kSavingScenario, root.Path() / "scene.json");
    const std::filesystem::path gameDir = root.Path() / c.gameDir;
    std::ostringstream out;
    if (c.installation.empty()) {
        RunScenario(scenario, RunOptions{true, gameDir}, out);
        EXPECT_TRUE(std::filesystem::exists(gameDir / "SAVES" / "savegame1" / "SAVEINFO.SAV"));
        return;
    }
    try {
        RunScenario(scenario, RunOptions{true, gameDir}, out);
        ADD_FAILURE() << "the run played in " << gameDir;
    } catch (const GameDirError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "--game-dir " + gameDir.string() + " is in the game installation " +
                      std::filesystem::weakly_canonical(root.Path() / c.installation).string() +
                      ", which is never written; give a folder of its own");
    }
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Tree(root.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, GameDir,
    ::testing::Values(
        GameDirCase{"GothicII", {"Gothic II/System/Gothic2.exe"}, "Gothic II", "Gothic II"},
        GameDirCase{"InsideGothicI", {"Gothic/System/Gothic.exe"}, "Gothic/Saves", "Gothic"},
        GameDirCase{
            "DeepInsideAModLauncher", {"g/System/GothicMod.exe"}, "g/Saves/savegame1/not/yet", "g"},
        GameDirCase{"IniAndArchivesInOtherCase",
                    {"g/SYSTEM/GOTHIC.INI", "g/data/Worlds.VDF"},
                    "g/system",
                    "g"},
        GameDirCase{"IniAndUnpackedData",
                    {"g/system/Gothic.ini", "g/_Work/DATA/Scripts/Content/Gothic.src"},
                    "g/_work",
                    "g"},
        GameDirCase{"AFolderOfItsOwn", {"elsewhere/Gothic.exe"}, "work", ""},
        GameDirCase{"AKeptFolderWithAGothicIni",
                    {"work/System/Gothic.ini", "work/Data/readme.txt"},
                    "work",
                    ""}),
    [](const ::testing::TestParamInfo<GameDirCase>& folder) { return folder.param.name; });

#ifdef __linux__
// A kept working folder may hold anything, large or not readable at all: the run opens only
// the files the game asks for, and tells what the game wrote without reading the rest.
TEST(GameDirReading, FilesTheGameDoesNotAskForAreNeverOpened) {
    const test::TempFolder work;
    work.Write("System/Gothic.ini", "[GAME]\r\nsubTitles=1\r\n");
    work.Write("Videos/Intro.bik", "a film the game plays elsewhere");
    work.Write("SAVES/savegame7/SAVEDAT.SAV", "an earlier run's world");
    const test::FileOpens opens{work.Path() / "Videos/Intro.bik",
                                work.Path() / "SAVES/savegame7/SAVEDAT.SAV"};
    ASSERT_TRUE(opens.Watching());
    const Scenario scenario = ParseScenario(kSavingScenario, "scene.json");
    std::ostringstream out;
    RunScenario(scenario, RunOptions{true, work.Path()}, out);
    EXPECT_FALSE(opens.Any());
}
#endif

}  // namespace
}  // namespace pilfern::sim
