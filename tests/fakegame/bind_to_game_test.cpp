// Binding to the running game through the process's own memory: each executable is bound to
// its own engine; any other gets no engine and one line, and its memory is left as it was.

#include "binding/engine/bind_to_game.h"

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "binding/abi/raw_call.h"
#include "fakegame/fake_game_environment.h"
#include "fakegame/fake_process.h"

namespace pilfern::fakegame {
namespace {

using binding::BindToGame;
using binding::LiveProcessMemory;

constexpr std::uint32_t kFirstFunction = 0x00401000;
constexpr std::uint32_t kImageSizeAt = 0x00400000 + 0x80 + 0x50;

std::vector<std::uint8_t> Image(const FakeProcess& process) {
    std::vector<std::uint8_t> bytes(process.End() - process.Begin());
    std::memcpy(bytes.data(), binding::abi::AddressOf(process.Begin()), bytes.size());
    return bytes;
}

TEST(BindToGame, BindsEachExecutableToItsOwnEngine) {
    for (const int version : {1, 2, 3, 4}) {
        SCOPED_TRACE(version);
        const FakeProcess process(FakeEngine(), version);
        const auto binding = BindToGame(LiveProcessMemory());
        ASSERT_NE(binding.engine, nullptr) << binding.line;
        EXPECT_EQ(binding.engine->Version(), version);
        EXPECT_TRUE(binding.line.starts_with("Pilfern: bound to Gothic")) << binding.line;
    }
}

TEST(BindToGame, LeavesAnyOtherExecutableAloneWithOneLine) {
    const struct {
        const char* name;
        void (*change)(const FakeProcess&);
        const char* says;
    } cases[] = {
        {"another build", [](const FakeProcess& p) { p.WriteWord(kFirstFunction, 0x90909090); },
         "none of the four"},
        {"an image too small for the version's addresses",
         [](const FakeProcess& p) { p.WriteWord(kImageSizeAt, 0x1000); }, "does not hold"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FakeProcess process(FakeEngine(), 4);
        c.change(process);
        const std::vector<std::uint8_t> before = Image(process);
        const std::uint32_t calls = process.LastCall().calls;
        const auto binding = BindToGame(LiveProcessMemory());
        EXPECT_EQ(binding.engine, nullptr);
        EXPECT_NE(binding.line.find(c.says), std::string::npos) << binding.line;
        EXPECT_NE(binding.line.find("does nothing"), std::string::npos) << binding.line;
        EXPECT_EQ(binding.line.find('\n'), std::string::npos) << "one line";
        EXPECT_TRUE(Image(process) == before) << "the game's memory was changed";
        EXPECT_EQ(process.LastCall().calls, calls) << "engine code was called";
    }
}

// No executable at the engine's base at all: the reads fail, nothing faults.
TEST(BindToGame, FindsNothingWhereNothingIsMapped) {
    const auto binding = BindToGame(LiveProcessMemory());
    EXPECT_EQ(binding.engine, nullptr);
    EXPECT_NE(binding.line.find("none of the four"), std::string::npos) << binding.line;
}

}  // namespace
}  // namespace pilfern::fakegame
