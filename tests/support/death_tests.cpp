#include "support/death_tests.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <array>
#include <string>

#include <sys/wait.h>
#endif

namespace pilfern::test {
namespace {

#ifndef _WIN32
// A start that lists no test: refused where the kernel runs no program of this kind. Under an
// emulator the refusal may come only as the child's exit status 127.
bool StartsAgain() {
    std::string program = "/proc/self/exe";
    std::string list = "--gtest_list_tests";
    std::string none = "--gtest_filter=-*";
    std::array<char*, 4> argv{program.data(), list.data(), none.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int error = posix_spawn(&child, program.data(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        return false;
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
#endif

}  // namespace

bool SystemStartsThisProgramAgain() {
#ifdef _WIN32
    return true;
#else
    static const bool startsAgain = StartsAgain();
    return startsAgain;
#endif
}

void UseTheSafestDeathTestStyle() {
    GTEST_FLAG_SET(death_test_style, SystemStartsThisProgramAgain() ? "threadsafe" : "fast");
}

}  // namespace pilfern::test
