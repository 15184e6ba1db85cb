#include "binding/engine_detection.h"

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Which game the process runs, told by the executable's own bytes, and the second look before
// anything of it is changed.
namespace pilfern::binding {
namespace {

constexpr std::uint32_t kBase = 0x00400000;
constexpr std::uint32_t kPeHeader = kBase + 0x80;

// A process's memory: blocks of bytes at addresses; anything else cannot be read.
class FakeMemory final : public ProcessMemory {
public:
    void Put(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
        blocks_[address] = bytes;
    }
    void PutWord(std::uint32_t address, std::uint32_t word) {
        Put(address,
            {static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8U),
             static_cast<std::uint8_t>(word >> 16U), static_cast<std::uint8_t>(word >> 24U)});
    }
    bool Read(std::uint32_t address, std::span<std::uint8_t> bytes) const override {
        for (const auto& [start, block] : blocks_) {
            if (address >= start && address - start + bytes.size() <= block.size()) {
                std::memcpy(bytes.data(), block.data() + (address - start), bytes.size());
                return true;
            }
        }
        return false;
    }

private:
    std::map<std::uint32_t, std::vector<std::uint8_t>> blocks_;
};

// The executable's headers as the system loads them, and its first function.
FakeMemory Executable(const std::vector<std::uint8_t>& firstFunction,
                      std::uint32_t imageSize = 0x00800000, std::uint32_t imageBase = kBase) {
    FakeMemory memory;
    memory.Put(kBase, {'M', 'Z'});
    memory.PutWord(kBase + 0x3C, kPeHeader - kBase);
    memory.Put(kPeHeader, {'P', 'E', 0, 0});
    memory.PutWord(kPeHeader + 0x34, imageBase);
    memory.PutWord(kPeHeader + 0x50, imageSize);
    memory.Put(0x00401000, firstFunction);
    return memory;
}

const std::vector<std::uint8_t> kGothicOne{0xC7, 0x05, 0xEC, 0xE0, 0x85, 0x00,
                                           0xFF, 0xFF, 0xFF, 0xFF, 0xC3};
const std::vector<std::uint8_t> kSequel{0xA1, 0xD4, 0x36, 0x81, 0x00, 0xA3,
                                        0xFC, 0x24, 0x8A, 0x00, 0xC3};
const std::vector<std::uint8_t> kGothicTwo{0xC7, 0x05, 0x5C, 0x38, 0x8B, 0x00,
                                           0xFF, 0xFF, 0xFF, 0xFF, 0xC3};
const std::vector<std::uint8_t> kNightOfTheRaven{0xC7, 0x05, 0x14, 0x1E, 0x8C, 0x00,
                                                 0xFF, 0xFF, 0xFF, 0xFF, 0xC3};

TEST(EngineDetection, EachExecutableIsToldByItsOwnBytesAndNoOtherIs) {
    const struct {
        const char* name;
        std::function<FakeMemory()> process;
        std::optional<int> detected;
        bool confirmed;
    } cases[] = {
        {"Gothic I 1.08k", [] { return Executable(kGothicOne); }, 1, true},
        {"Gothic Sequel 1.12f", [] { return Executable(kSequel); }, 2, true},
        {"Gothic II 1.30", [] { return Executable(kGothicTwo); }, 3, true},
        {"Night of the Raven 2.6", [] { return Executable(kNightOfTheRaven); }, 4, true},
        {"another build of the game",
         [] {
             std::vector<std::uint8_t> other = kNightOfTheRaven;
             other[3] = 0x1F;
             return Executable(other);
         },
         std::nullopt, false},
        {"the signature cut short by unreadable memory",
         [] {
             return Executable(std::vector<std::uint8_t>(kGothicTwo.begin(), kGothicTwo.end() - 1));
         },
         std::nullopt, false},
        {"nothing readable at all", [] { return FakeMemory(); }, std::nullopt, false},
        {"an image too small for the facts' addresses",
         [] { return Executable(kNightOfTheRaven, 0x00100000); }, 4, false},
        {"an image loaded elsewhere", [] { return Executable(kGothicOne, 0x00800000, 0x10000000); },
         1, false},
        {"no executable's headers",
         [] {
             FakeMemory memory;
             memory.Put(0x00401000, kGothicOne);
             return memory;
         },
         1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FakeMemory memory = c.process();
        EXPECT_EQ(DetectEngineVersion(memory), c.detected);
        if (c.detected) {
            EXPECT_EQ(ConfirmEngineVersion(*c.detected, memory), c.confirmed);
            const int other = *c.detected % 4 + 1;
            EXPECT_FALSE(ConfirmEngineVersion(other, memory)) << "another version's signature";
        }
    }
}

}  // namespace
}  // namespace pilfern::binding
