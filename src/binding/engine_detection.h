#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pilfern::binding {

// The memory of the game's process as the binding reads it before it trusts an address: a
// read of memory that is not there fails instead of faulting.
class ProcessMemory {
public:
    virtual ~ProcessMemory() = default;

    // Copies the bytes at `address` into `bytes`; false when any of them cannot be read.
    [[nodiscard]] virtual bool Read(std::uint32_t address, std::span<std::uint8_t> bytes) const = 0;

protected:
    ProcessMemory() = default;
    ProcessMemory(const ProcessMemory&) = default;
    ProcessMemory& operator=(const ProcessMemory&) = default;
    ProcessMemory(ProcessMemory&&) = default;
    ProcessMemory& operator=(ProcessMemory&&) = default;
};

// Where each of the four executables is loaded: none of them can be moved.
inline constexpr std::uint32_t kGameImageBase = 0x00400000;

// A little-endian word of the process's memory; none when it cannot be read.
[[nodiscard]] std::optional<std::uint32_t> ReadWord(const ProcessMemory& memory,
                                                    std::uint32_t address);

// Where the PE header of the Windows image loaded at `base` lies ("MZ", the header's offset,
// "PE\0\0"); none when no Windows image lies there.
[[nodiscard]] std::optional<std::uint32_t> PeHeader(const ProcessMemory& memory,
                                                    std::uint32_t base);

// The bytes that tell a version's executable apart, as the facts give them (the address they lie
// at is the fact's value); empty when the facts hold none that can be read.
[[nodiscard]] std::vector<std::uint8_t> SignatureBytes(int engineVersion);

// Which of the four game executables the process runs, by the signature bytes the engine facts
// give for each; none for any other executable.
[[nodiscard]] std::optional<int> DetectEngineVersion(const ProcessMemory& memory);

// The second look before anything of the game is changed: the signature is still there, the
// process's image is a Windows executable loaded at the engine's own base, and it is large
// enough to hold every address the facts of that version name.
[[nodiscard]] bool ConfirmEngineVersion(int engineVersion, const ProcessMemory& memory);

}  // namespace pilfern::binding
