// pilfern-sim itself, ended from outside as `timeout`, `kill` or a closing terminal end it.

#ifdef __linux__

#include <fcntl.h>
#include <spawn.h>
#include <string.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <sys/wait.h>

#include "support/death_tests.h"
#include "support/temp_folder.h"

extern char** environ;

namespace pilfern::sim {
namespace {

std::string ContentOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// pilfern-sim started with its output and errors redirected to files and a temporary folder
// of the test's own.
class SimProcess {
public:
    SimProcess(const std::vector<std::string>& args, const std::filesystem::path& folder)
        : folder_(folder) {
        std::filesystem::create_directory(Temporary());
        std::vector<std::string> env{"TMPDIR=" + Temporary().string()};
        for (char** variable = environ; *variable != nullptr; ++variable) {
            if (!std::string_view(*variable).starts_with("TMPDIR=")) {
                env.emplace_back(*variable);
            }
        }
        std::vector<std::string> argv{PILFERN_SIM_PROGRAM};
        argv.insert(argv.end(), args.begin(), args.end());
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, Output().c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, Errors().c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const std::vector<char*> argvPointers = Pointers(argv);
        const std::vector<char*> envPointers = Pointers(env);
        spawnError_ = posix_spawn(&pid_, argv.front().c_str(), &actions, nullptr,
                                  argvPointers.data(), envPointers.data());
        started_ = spawnError_ == 0;
        posix_spawn_file_actions_destroy(&actions);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;
    SimProcess(SimProcess&&) = delete;
    SimProcess& operator=(SimProcess&&) = delete;
    ~SimProcess() {
        if (started_ && !ended_) {
            kill(pid_, SIGKILL);
            Wait();
        }
    }

    [[nodiscard]] bool Started() const { return started_; }
    // The 32-bit suite runs under an emulator on a kernel that may run no 32-bit program: the
    // simulator it would start is one, and only the emulator could run it.
    [[nodiscard]] bool KernelRefusesTheProgram() const {
        return spawnError_ == ENOEXEC || !test::SystemStartsThisProgramAgain();
    }
    [[nodiscard]] std::filesystem::path Temporary() const { return folder_ / "tmp"; }
    [[nodiscard]] std::filesystem::path Output() const { return folder_ / "out.txt"; }
    [[nodiscard]] std::filesystem::path Errors() const { return folder_ / "err.txt"; }

    // Waits until the run has made its temporary folder; false after `limit`.
    [[nodiscard]] bool AwaitTemporaryFolder(std::chrono::seconds limit) const {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::filesystem::is_empty(Temporary())) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }
    void Signal(int signal) const { kill(pid_, signal); }
    // The wait status.
    int Wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        ended_ = true;
        return status;
    }

private:
    static std::vector<char*> Pointers(std::vector<std::string>& texts) {
        std::vector<char*> pointers;
        for (std::string& text : texts) {
            pointers.push_back(text.data());
        }
        pointers.push_back(nullptr);
        return pointers;
    }

    std::filesystem::path folder_;
    pid_t pid_ = 0;
    int spawnError_ = 0;
    bool started_ = false;
    bool ended_ = false;
};

// A run far longer than the test, stopped in its long step.
constexpr std::string_view kLongScenario = R"({
    "files": {"System/Gothic.ini": "[GAME]\r\n"},
    "world": {"player": {"id": "hero", "instance": "PC_HERO"}},
    "timeline": [{"note": "the long walk begins"}, {"frames": 100000000}, {"save": 1}]
})";

class StoppedRun : public ::testing::TestWithParam<int> {};

// The temporary working folder goes, what was printed before the signal reaches the file the
// output goes to, and the exit code tells the signal as the shell would.
TEST_P(StoppedRun, RemovesItsFolderKeepsItsOutputAndTellsTheSignal) {
    const int signal = GetParam();
    const test::TempFolder folder;
    folder.Write("long.json", kLongScenario);
    SimProcess sim({"run", (folder.Path() / "long.json").string()}, folder.Path());
    if (sim.KernelRefusesTheProgram()) {
        GTEST_SKIP() << "this kernel runs no 32-bit program; the 64-bit suite ends the simulator";
    }
    ASSERT_TRUE(sim.Started());
    ASSERT_TRUE(sim.AwaitTemporaryFolder(std::chrono::seconds(60)));
    // Well into the frames step.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    sim.Signal(signal);
    const int status = sim.Wait();

    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + signal)
        << (WIFEXITED(status) ? "exit code " + std::to_string(WEXITSTATUS(status))
                              : "ended by signal " + std::to_string(WTERMSIG(status)));
    EXPECT_TRUE(std::filesystem::is_empty(sim.Temporary()));
    const std::string output = ContentOf(sim.Output());
    EXPECT_NE(output.find("-- the long walk begins\n"), std::string::npos) << output;
    EXPECT_NE(output.find("100000000 frames of "), std::string::npos) << output;
    EXPECT_EQ(output.find("saving slot 1"), std::string::npos) << output;
    EXPECT_EQ(ContentOf(sim.Errors()), "pilfern-sim: interrupted\n");
}

INSTANTIATE_TEST_SUITE_P(Signals, StoppedRun, ::testing::Values(SIGTERM, SIGHUP, SIGINT),
                         [](const ::testing::TestParamInfo<int>& signal) {
                             return std::string(sigabbrev_np(signal.param));
                         });

// A game installation given as the working folder is refused as a wrong command line is.
TEST(GameDirOfTheTool, AGameInstallationIsRefusedWithOneLineAndExitCode2) {
    const test::TempFolder folder;
    folder.Write("scene.json", R"({"timeline": [{"save": 1}]})");
    folder.Write("Gothic/System/Gothic2.exe", "MZ");
    const std::filesystem::path inside = folder.Path() / "Gothic" / "Saves";
    SimProcess sim({"run", (folder.Path() / "scene.json").string(), "--game-dir", inside.string()},
                   folder.Path());
    if (sim.KernelRefusesTheProgram()) {
        GTEST_SKIP() << "this kernel runs no 32-bit program; the 64-bit suite ends the simulator";
    }
    ASSERT_TRUE(sim.Started());
    const int status = sim.Wait();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_EQ(ContentOf(sim.Errors()), "pilfern-sim: --game-dir " + inside.string() +
                                           " is in the game installation " +
                                           (folder.Path() / "Gothic").string() +
                                           ", which is never written; give a folder of its own\n");
    EXPECT_FALSE(std::filesystem::exists(inside));
}

}  // namespace
}  // namespace pilfern::sim

#endif
