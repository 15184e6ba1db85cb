#include "binding/patching/code_references.h"

#include <algorithm>
#include <cstring>
#include <tuple>

namespace pilfern::binding {
namespace {

constexpr std::uint8_t kCall = 0xE8;
constexpr std::uint8_t kJump = 0xE9;
constexpr std::uint32_t kCodeSize = 5;
constexpr std::uint32_t kWordSize = 4;
constexpr std::uint32_t kPiece = 0x10000;  // bytes read at once while scanning
constexpr std::uint32_t kMaxSections = 96;

// The Windows image's section table, after the PE header: the words holding the number of
// sections (its upper half) and the optional header's size (its lower half).
constexpr std::uint32_t kSectionCountWord = 4;
constexpr std::uint32_t kOptionalSizeWord = 20;
constexpr std::uint32_t kHalfWord = 16;
constexpr std::uint32_t kLowerHalf = 0xFFFF;
constexpr std::uint32_t kFileHeaderSize = 24;  // with the signature
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kVirtualSizeAt = 8;
constexpr std::uint32_t kVirtualAddressAt = 12;
constexpr std::uint32_t kCharacteristicsAt = 36;
constexpr std::uint32_t kExecutable = 0x20000000;  // IMAGE_SCN_MEM_EXECUTE
constexpr std::uint32_t kContainsCode = 0x00000020;
constexpr std::uint32_t kInitialisedData = 0x00000040;

std::uint32_t WordAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    std::uint32_t word = 0;
    std::memcpy(&word, bytes.data() + at, sizeof word);
    return word;
}

// References starting in the piece's first `starts` bytes; the bytes after them only complete
// an instruction.
void ScanCode(std::span<const std::uint8_t> piece, std::uint32_t pieceBegin, std::size_t starts,
              std::uint32_t target, std::vector<CodeReference>& found) {
    for (std::size_t i = 0; i < starts && i + kCodeSize <= piece.size(); ++i) {
        const std::uint8_t opcode = piece[i];
        if (opcode != kCall && opcode != kJump) {
            continue;
        }
        const auto at = static_cast<std::uint32_t>(pieceBegin + i);
        if (at + kCodeSize + WordAt(piece, i + 1) != target) {
            continue;
        }
        CodeReference reference;
        reference.kind = opcode == kCall ? ReferenceKind::Call : ReferenceKind::Jump;
        reference.at = at;
        std::copy_n(piece.begin() + static_cast<std::ptrdiff_t>(i), kCodeSize,
                    reference.bytes.begin());
        found.push_back(reference);
    }
}

void ScanData(std::span<const std::uint8_t> piece, std::uint32_t pieceBegin, std::uint32_t target,
              std::vector<CodeReference>& found) {
    for (std::size_t i = 0; i + kWordSize <= piece.size(); i += kWordSize) {
        if (WordAt(piece, i) != target) {
            continue;
        }
        CodeReference reference;
        reference.kind = ReferenceKind::Table;
        reference.at = static_cast<std::uint32_t>(pieceBegin + i);
        std::copy_n(piece.begin() + static_cast<std::ptrdiff_t>(i), kWordSize,
                    reference.bytes.begin());
        found.push_back(reference);
    }
}

bool Holds(const ProcessMemory& memory, std::uint32_t at, std::span<const std::uint8_t> bytes) {
    std::array<std::uint8_t, kCodeSize> now{};
    const std::span<std::uint8_t> read(now.data(), bytes.size());
    return memory.Read(at, read) && std::equal(bytes.begin(), bytes.end(), read.begin());
}

std::span<const std::uint8_t> Part(const std::array<std::uint8_t, 5>& bytes,
                                   const CodeReference& reference) {
    return {bytes.data(), reference.Size()};
}

}  // namespace

std::vector<ImageSection> ReadSections(const ProcessMemory& memory, std::uint32_t base) {
    const auto pe = PeHeader(memory, base);
    const auto countWord = pe ? ReadWord(memory, *pe + kSectionCountWord) : std::nullopt;
    const auto optionalWord = pe ? ReadWord(memory, *pe + kOptionalSizeWord) : std::nullopt;
    if (!countWord || !optionalWord) {
        return {};
    }
    const std::uint32_t count = *countWord >> kHalfWord;
    if (count > kMaxSections) {
        return {};
    }
    std::vector<ImageSection> sections;
    const std::uint32_t table = *pe + kFileHeaderSize + (*optionalWord & kLowerHalf);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t header = table + i * kSectionHeaderSize;
        const auto size = ReadWord(memory, header + kVirtualSizeAt);
        const auto address = ReadWord(memory, header + kVirtualAddressAt);
        const auto characteristics = ReadWord(memory, header + kCharacteristicsAt);
        if (!size || !address || !characteristics) {
            return {};
        }
        const bool code = (*characteristics & (kExecutable | kContainsCode)) != 0;
        if (code || (*characteristics & kInitialisedData) != 0) {
            sections.push_back({base + *address, base + *address + *size, code});
        }
    }
    return sections;
}

std::vector<CodeReference> FindReferences(const ProcessMemory& memory,
                                          std::span<const ImageSection> sections,
                                          std::uint32_t target) {
    std::vector<CodeReference> found;
    std::vector<std::uint8_t> piece;
    for (const ImageSection& section : sections) {
        // Pieces overlap by an instruction's length, so that none is cut in two.
        const std::uint32_t overlap = section.code ? kCodeSize - 1 : 0;
        for (std::uint32_t begin = section.begin; begin < section.end;) {
            const std::uint32_t end = std::min(section.end, begin + kPiece + overlap);
            piece.resize(end - begin);
            if (!memory.Read(begin, piece)) {
                break;  // the rest of the section is not there to read
            }
            if (section.code) {
                ScanCode(piece, begin, std::min<std::size_t>(kPiece, piece.size()), target, found);
            } else {
                ScanData(piece, begin, target, found);
            }
            begin += kPiece;
        }
    }
    return found;
}

std::array<std::uint8_t, 5> Redirected(const CodeReference& reference, std::uint32_t to) {
    std::array<std::uint8_t, 5> bytes = reference.bytes;
    if (reference.kind == ReferenceKind::Table) {
        std::memcpy(bytes.data(), &to, sizeof to);
    } else {
        const std::uint32_t displacement = to - (reference.at + kCodeSize);
        std::memcpy(bytes.data() + 1, &displacement, sizeof displacement);
    }
    return bytes;
}

PatchOutcome ReferencePatch::Apply(const ProcessMemory& memory, CodeWriter& writer,
                                   std::vector<CodeReference> references,
                                   std::uint32_t replacement) {
    if (InForce() || references.empty()) {
        return {};
    }
    for (const CodeReference& reference : references) {
        if (!Holds(memory, reference.at, Part(reference.bytes, reference))) {
            return {false, 0, references.size()};
        }
    }
    for (std::size_t i = 0; i < references.size(); ++i) {
        const CodeReference& reference = references[i];
        const auto bytes = Redirected(reference, replacement);
        if (!writer.Write(reference.at, Part(bytes, reference))) {
            // Back to what was there, for those already written.
            for (std::size_t j = 0; j < i; ++j) {
                std::ignore =
                    writer.Write(references[j].at, Part(references[j].bytes, references[j]));
            }
            return {false, 0, references.size()};
        }
    }
    references_ = std::move(references);
    replacement_ = replacement;
    return {true, references_.size(), 0};
}

PatchOutcome ReferencePatch::Undo(const ProcessMemory& memory, CodeWriter& writer) {
    PatchOutcome outcome{true, 0, 0};
    for (const CodeReference& reference : references_) {
        const auto written = Redirected(reference, replacement_);
        if (Holds(memory, reference.at, Part(written, reference)) &&
            writer.Write(reference.at, Part(reference.bytes, reference))) {
            ++outcome.references;
        } else {
            ++outcome.left;
        }
    }
    references_.clear();
    return outcome;
}

}  // namespace pilfern::binding
