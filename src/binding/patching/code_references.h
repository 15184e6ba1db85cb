#pragma once

// Putting a replacement of an engine function in force without touching the function: every
// reference the engine's image holds to it (a call or a jump with a 32-bit displacement in its
// code, an entry of a virtual table in its data) is rewritten to reach the replacement, which
// calls the engine's own function at its own address. Each reference is checked before it is
// written, and undone only where it still holds what was written.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "binding/engine_detection.h"

namespace pilfern::binding {

// One section of the image, from its headers: code, or data that may hold tables.
struct ImageSection {
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    bool code = false;
};

// The sections of the image loaded at `base`, as its headers give them; none when the headers
// cannot be read or are not a Windows image's.
[[nodiscard]] std::vector<ImageSection> ReadSections(const ProcessMemory& memory,
                                                     std::uint32_t base);

enum class ReferenceKind : std::uint8_t {
    Call,   // E8 rel32 in code
    Jump,   // E9 rel32 in code
    Table,  // an aligned word of data holding the address
};

// A reference to a function, with the bytes found there.
struct CodeReference {
    ReferenceKind kind = ReferenceKind::Call;
    std::uint32_t at = 0;
    std::array<std::uint8_t, 5> bytes{};
    [[nodiscard]] std::uint32_t Size() const { return kind == ReferenceKind::Table ? 4 : 5; }
};

// Every reference to `target` in the sections: calls and jumps in code sections, aligned words
// in data sections. Read in pieces, so that an image of any size costs little memory.
[[nodiscard]] std::vector<CodeReference> FindReferences(const ProcessMemory& memory,
                                                        std::span<const ImageSection> sections,
                                                        std::uint32_t target);

// The bytes that make a reference reach `to` instead.
[[nodiscard]] std::array<std::uint8_t, 5> Redirected(const CodeReference& reference,
                                                     std::uint32_t to);

// Writes the process's own code and data (the system's protection lifted for the write).
class CodeWriter {
public:
    virtual ~CodeWriter() = default;
    [[nodiscard]] virtual bool Write(std::uint32_t address,
                                     std::span<const std::uint8_t> bytes) = 0;

protected:
    CodeWriter() = default;
    CodeWriter(const CodeWriter&) = default;
    CodeWriter& operator=(const CodeWriter&) = default;
    CodeWriter(CodeWriter&&) = default;
    CodeWriter& operator=(CodeWriter&&) = default;
};

// What putting a patch in force, or taking it out, did.
struct PatchOutcome {
    bool done = false;
    std::size_t references = 0;  // references rewritten (or restored)
    std::size_t left = 0;        // references left alone: they no longer held what was expected
};

// A replacement in force over a set of references, from `Apply` until `Undo`.
class ReferencePatch {
public:
    // Rewrites every reference to reach `replacement`. Each is read again first: when any no
    // longer holds the bytes found, or a write fails, nothing stays written.
    [[nodiscard]] PatchOutcome Apply(const ProcessMemory& memory, CodeWriter& writer,
                                     std::vector<CodeReference> references,
                                     std::uint32_t replacement);
    // Restores the references that still hold what Apply wrote; one another has changed since
    // is left as it is, and counted.
    PatchOutcome Undo(const ProcessMemory& memory, CodeWriter& writer);

    [[nodiscard]] bool InForce() const { return !references_.empty(); }
    [[nodiscard]] std::size_t Count() const { return references_.size(); }

private:
    std::vector<CodeReference> references_;  // as they were found
    std::uint32_t replacement_ = 0;
};

}  // namespace pilfern::binding
