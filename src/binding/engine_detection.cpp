#include "binding/engine_detection.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

#include "binding/engine_facts.h"

namespace pilfern::binding {
namespace {

constexpr std::string_view kSignature = "fact:version_signature";
constexpr std::size_t kLongestSignature = 32;

// The signature's bytes, written as hexadecimal pairs separated by blanks.
struct Signature {
    std::array<std::uint8_t, kLongestSignature> bytes{};
    std::size_t size = 0;
};

std::optional<Signature> SignatureOf(const EngineFact& fact) {
    Signature signature;
    std::string_view text = fact.valueText;
    while (!text.empty()) {
        if (text.front() == ' ') {
            text.remove_prefix(1);
            continue;
        }
        if (text.size() < 2 || signature.size == signature.bytes.size()) {
            return std::nullopt;
        }
        std::uint8_t byte = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + 2, byte, 16);
        if (error != std::errc() || end != text.data() + 2) {
            return std::nullopt;
        }
        signature.bytes.at(signature.size++) = byte;
        text.remove_prefix(2);
    }
    if (signature.size == 0) {
        return std::nullopt;
    }
    return signature;
}

bool SignatureMatches(int engineVersion, const ProcessMemory& memory) {
    const EngineFact* fact = FindEngineFact(engineVersion, kSignature);
    if (fact == nullptr) {
        return false;
    }
    const std::optional<Signature> signature = SignatureOf(*fact);
    if (!signature) {
        return false;
    }
    std::array<std::uint8_t, kLongestSignature> found{};
    const std::span<std::uint8_t> read(found.data(), signature->size);
    return memory.Read(fact->value, read) &&
           std::equal(read.begin(), read.end(), signature->bytes.begin());
}

// The size of the executable image loaded at the engine's base, from its headers: none when
// no Windows executable lies there or it was loaded elsewhere.
std::optional<std::uint32_t> ImageSize(const ProcessMemory& memory) {
    constexpr std::uint32_t kImageBaseOffset = 0x34;  // in the PE header
    constexpr std::uint32_t kImageSizeOffset = 0x50;  // in the PE header
    const auto pe = PeHeader(memory, kGameImageBase);
    if (!pe) {
        return std::nullopt;
    }
    const auto base = ReadWord(memory, *pe + kImageBaseOffset);
    const auto size = ReadWord(memory, *pe + kImageSizeOffset);
    if (base != kGameImageBase || !size) {
        return std::nullopt;
    }
    return size;
}

}  // namespace

std::optional<std::uint32_t> ReadWord(const ProcessMemory& memory, std::uint32_t address) {
    std::array<std::uint8_t, 4> bytes{};
    if (!memory.Read(address, bytes)) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8U |
           static_cast<std::uint32_t>(bytes[2]) << 16U |
           static_cast<std::uint32_t>(bytes[3]) << 24U;
}

std::optional<std::uint32_t> PeHeader(const ProcessMemory& memory, std::uint32_t base) {
    constexpr std::uint32_t kDosMagic = 0x5A4D;     // "MZ"
    constexpr std::uint32_t kPeMagic = 0x00004550;  // "PE\0\0"
    constexpr std::uint32_t kHeaderOffset = 0x3C;   // where the PE header's offset lies
    constexpr std::uint32_t kLargestHeaderOffset = 0x1000;
    std::array<std::uint8_t, 2> dos{};
    const auto header = ReadWord(memory, base + kHeaderOffset);
    if (!memory.Read(base, dos) || (dos[0] | dos[1] << 8U) != kDosMagic || !header ||
        *header > kLargestHeaderOffset || ReadWord(memory, base + *header) != kPeMagic) {
        return std::nullopt;
    }
    return base + *header;
}

std::vector<std::uint8_t> SignatureBytes(int engineVersion) {
    const EngineFact* fact = FindEngineFact(engineVersion, kSignature);
    const std::optional<Signature> signature = fact == nullptr ? std::nullopt : SignatureOf(*fact);
    if (!signature) {
        return {};
    }
    return {signature->bytes.begin(),
            signature->bytes.begin() + static_cast<std::ptrdiff_t>(signature->size)};
}

std::optional<int> DetectEngineVersion(const ProcessMemory& memory) {
    for (const int version : {1, 2, 3, 4}) {
        if (SignatureMatches(version, memory)) {
            return version;
        }
    }
    return std::nullopt;
}

bool ConfirmEngineVersion(int engineVersion, const ProcessMemory& memory) {
    if (!SignatureMatches(engineVersion, memory)) {
        return false;
    }
    const std::optional<std::uint32_t> size = ImageSize(memory);
    if (!size) {
        return false;
    }
    // Every function and global the binding may reach lies inside the image.
    const std::uint32_t end = kGameImageBase + *size;
    const auto facts = EngineFacts(engineVersion);
    return std::all_of(facts.begin(), facts.end(), [end](const EngineFact& fact) {
        const bool address = fact.kind == FactKind::Function || fact.kind == FactKind::Global;
        return !address || (fact.value >= kGameImageBase && fact.value < end);
    });
}

}  // namespace pilfern::binding
