// A replacement put in force in the game's image by the framework's patch record: a call site,
// a jump thunk and a virtual table's entry that reach the engine function reach the replacement
// instead, and the replacement reaches the engine's own function, intact, at its own address.
// Taken out, every reference is as it was.

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "binding/abi/raw_call.h"
#include "binding/patching/reference_patch_record.h"
#include "fakegame/engine_version_cases.h"
#include "fakegame/fake_game_environment.h"
#include "fakegame/fake_process.h"
#include "host/engine.h"

namespace pilfern::fakegame {
namespace {

namespace abi = binding::abi;
using binding::ReferencePatchRecord;

constexpr std::uint32_t kAnswer = 41;

// The replacement, with the replaced member's convention: it notes the call and hands it on to
// the engine's own function through the record, answering one more.
struct Replacement {
    static inline const ReferencePatchRecord* record = nullptr;
    static inline int calls = 0;
    static int ENGINE_MEMBER_CALL GetFontData(void* font, std::uint32_t character,
                                              std::uint32_t width, std::uint32_t from,
                                              std::uint32_t to) {
        ++calls;
        return abi::CallMember<int>(static_cast<abi::EngineAddress>(record->GetReturnAddress()),
                                    font, character, width, from, to) +
               1;
    }
};

void WriteCode(std::uint32_t at, const std::vector<std::uint8_t>& code) {
    std::memcpy(abi::AddressOf(at), code.data(), code.size());
}

// A member taking four words that calls `target` with them (E8 rel32) and returns.
std::vector<std::uint8_t> Caller(std::uint32_t at, std::uint32_t target) {
    std::vector<std::uint8_t> code;
    for (int i = 0; i < 4; ++i) {
        code.insert(code.end(), {0xFF, 0x74, 0x24, 0x10});  // push dword [esp+16]
    }
    const std::uint32_t displacement = target - (at + static_cast<std::uint32_t>(code.size()) + 5);
    code.push_back(0xE8);
    code.resize(code.size() + 4);
    std::memcpy(code.data() + code.size() - 4, &displacement, 4);
    code.insert(code.end(), {0xC2, 0x10, 0x00});  // ret 16
    return code;
}

// A thunk that jumps to `target` (E9 rel32), as a linker's are.
std::vector<std::uint8_t> Thunk(std::uint32_t at, std::uint32_t target) {
    std::vector<std::uint8_t> code{0xE9, 0, 0, 0, 0};
    const std::uint32_t displacement = target - (at + 5);
    std::memcpy(code.data() + 1, &displacement, 4);
    return code;
}

class ReferencePatch : public testing::TestWithParam<VersionCase> {};

TEST_P(ReferencePatch, SendsEveryReferenceToTheReplacementAndBackAgain) {
    const int version = GetParam().version;
    const FakeProcess process(FakeEngine(), version);
    const std::uint32_t engine = binding::ReplacedFunctionAddress(version, "&zCFont::GetFontData");
    ASSERT_NE(engine, 0U);
    EXPECT_EQ(binding::ReplacedFunctionAddress(version, "&zCFont::NoSuchFunction"), 0U);
    process.Place(engine, kStubMember4);
    process.Answers().word = kAnswer;

    // The game's references: a caller and a thunk at the end of the code, a table in the data.
    const auto sections = binding::ReadSections(binding::LiveProcessMemory(), process.Begin());
    ASSERT_EQ(sections.size(), 2U);
    const std::uint32_t caller = sections[0].end - 0x40;
    const std::uint32_t thunk = sections[0].end - 0x10;
    const std::uint32_t table = sections[1].begin + 0x10;
    WriteCode(caller, Caller(caller, engine));
    WriteCode(thunk, Thunk(thunk, engine));
    process.WriteWord(table, engine);
    std::vector<std::uint8_t> before(process.End() - process.Begin());
    std::memcpy(before.data(), abi::AddressOf(process.Begin()), before.size());

    std::array<std::uint32_t, 8> font{};
    font[0] = table;  // the font's virtual table: its slot 0 is the engine function
    const auto callEach = [&] {
        return std::array<int, 3>{
            abi::CallMember<int>(caller, font.data(), std::uint32_t{'A'}, 1U, 2U, 3U),
            abi::CallMember<int>(thunk, font.data(), std::uint32_t{'B'}, 1U, 2U, 3U),
            abi::CallVirtual<int>(font.data(), 0, std::uint32_t{'C'}, 1U, 2U, 3U),
        };
    };

    ReferencePatchRecord record(process.Begin());
    Replacement::record = &record;
    Replacement::calls = 0;
    record.SetTemporary(engine,
                        abi::AddressOf(reinterpret_cast<const void*>(&Replacement::GetFontData)));
    EXPECT_FALSE(record.InForce());
    std::array<int, 3> answers{};
    const std::string stopped = RunGuarded([&] {
        record.SetCallPatch(record.GetOrigin(), record.GetAddress());
        answers = callEach();
    });
    ASSERT_EQ(stopped, "");
    EXPECT_TRUE(record.LastOutcome().done);
    EXPECT_EQ(record.LastOutcome().references, 3U);
    EXPECT_EQ(Replacement::calls, 3);
    EXPECT_EQ(answers, (std::array<int, 3>{kAnswer + 1, kAnswer + 1, kAnswer + 1}));
    // The engine's own function received each call as its callers made it.
    EXPECT_EQ(process.LastCall().self, abi::AddressOf(font.data()));
    EXPECT_EQ(process.LastCall().args[0], static_cast<std::uint32_t>('C'));
    EXPECT_EQ(process.LastCall().args[3], 3U);

    record.Release();
    EXPECT_EQ(record.LastOutcome().references, 3U);
    EXPECT_FALSE(record.InForce());
    ASSERT_EQ(RunGuarded([&] { answers = callEach(); }), "");
    EXPECT_EQ(answers, (std::array<int, 3>{kAnswer, kAnswer, kAnswer}));
    EXPECT_EQ(Replacement::calls, 3);
    EXPECT_EQ(std::memcmp(before.data(), abi::AddressOf(process.Begin()), before.size()), 0)
        << "the image is not as it was";
}

INSTANTIATE_TEST_SUITE_P(FourEngines, ReferencePatch, testing::ValuesIn(kVersions), VersionName);

}  // namespace
}  // namespace pilfern::fakegame
