// Putting a replacement in force by its references: the calls, jumps and table entries that
// reach an engine function are found in an image's code and data, rewritten to reach the
// replacement, checked before each write and undone exactly.

#include "binding/patching/code_references.h"

#include <cstring>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

namespace pilfern::binding {
namespace {

constexpr std::uint32_t kBase = 0x00400000;
constexpr std::uint32_t kCodeAt = 0x1000;     // the code section's place in the image
constexpr std::uint32_t kCodeSize = 0x20000;  // more than one piece of the scan
constexpr std::uint32_t kDataAt = kCodeAt + kCodeSize;
constexpr std::uint32_t kDataSize = 0x1000;
constexpr std::uint32_t kTarget = kBase + kCodeAt + 0x8000;  // the engine's function
constexpr std::uint32_t kReplacement = 0x10001230;           // the plugin's
constexpr std::uint32_t kOther = kBase + kCodeAt + 0x9000;   // another engine function

// A Windows image in memory, with a code section and a data section, that the patch reads and
// writes as it would the game's own.
class Image final : public ProcessMemory, public CodeWriter {
public:
    Image() : bytes_(kDataAt + kDataSize, 0x90) {
        bytes_[0] = 'M';
        bytes_[1] = 'Z';
        Put32(0x3C, 0x80);
        Put32(0x80, 0x00004550);
        Put16(0x80 + 6, 2);      // two sections
        Put16(0x80 + 20, 0xE0);  // the optional header's size
        const std::uint32_t table = 0x80 + 24 + 0xE0;
        Section(table, kCodeAt, kCodeSize, 0x60000020);       // code, executable, readable
        Section(table + 40, kDataAt, kDataSize, 0x40000040);  // initialised data, readable
        std::fill(bytes_.begin() + kDataAt, bytes_.end(), 0);
    }

    [[nodiscard]] bool Read(std::uint32_t address, std::span<std::uint8_t> out) const override {
        if (address < kBase || address - kBase + out.size() > bytes_.size()) {
            return false;
        }
        std::memcpy(out.data(), bytes_.data() + (address - kBase), out.size());
        return true;
    }
    [[nodiscard]] bool Write(std::uint32_t address, std::span<const std::uint8_t> in) override {
        if (failingWrite_ && writes_++ == *failingWrite_) {
            return false;
        }
        std::memcpy(bytes_.data() + (address - kBase), in.data(), in.size());
        return true;
    }

    // A call or jump at `at` (an offset of the image) to `to`.
    void Branch(std::uint32_t at, std::uint8_t opcode, std::uint32_t to) {
        bytes_.at(at) = opcode;
        Put32(at + 1, to - (kBase + at + 5));
    }
    void Put32(std::uint32_t at, std::uint32_t value) { std::memcpy(&bytes_.at(at), &value, 4); }
    void FailWrite(std::size_t number) { failingWrite_ = number; }
    [[nodiscard]] std::uint32_t Word(std::uint32_t at) const {
        std::uint32_t value = 0;
        std::memcpy(&value, &bytes_.at(at), 4);
        return value;
    }
    // Where the branch at `at` leads.
    [[nodiscard]] std::uint32_t Destination(std::uint32_t at) const {
        return kBase + at + 5 + Word(at + 1);
    }
    [[nodiscard]] const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    void Put16(std::uint32_t at, std::uint16_t value) { std::memcpy(&bytes_.at(at), &value, 2); }
    void Section(std::uint32_t header, std::uint32_t at, std::uint32_t size, std::uint32_t flags) {
        Put32(header + 8, size);
        Put32(header + 12, at);
        Put32(header + 36, flags);
    }

    std::vector<std::uint8_t> bytes_;
    std::optional<std::size_t> failingWrite_;
    std::size_t writes_ = 0;
};

TEST(CodeReferences, SectionsComeFromTheImagesHeaders) {
    Image image;
    const auto sections = ReadSections(image, kBase);
    ASSERT_EQ(sections.size(), 2U);
    EXPECT_TRUE(sections[0].code);
    EXPECT_EQ(sections[0].begin, kBase + kCodeAt);
    EXPECT_EQ(sections[0].end, kBase + kCodeAt + kCodeSize);
    EXPECT_FALSE(sections[1].code);
    EXPECT_EQ(sections[1].begin, kBase + kDataAt);

    image.Put32(0x80, 0x12345678);  // no PE signature
    EXPECT_TRUE(ReadSections(image, kBase).empty());
    EXPECT_TRUE(ReadSections(image, 0x10000000).empty());  // nothing there
}

TEST(CodeReferences, FindsCallsJumpsAndTableEntriesOfTheFunctionOnly) {
    Image image;
    image.Branch(kCodeAt + 0x10, 0xE8, kTarget);
    image.Branch(kCodeAt + 0x20, 0xE9, kTarget);
    image.Branch(kCodeAt + 0x30, 0xE8, kOther);  // another function
    image.Put32(kCodeAt + 0x41, kTarget);        // the address as an operand: no reference
    // A call cut by the scan's pieces: it starts 2 bytes before the second piece.
    image.Branch(kCodeAt + 0x10000 - 2, 0xE8, kTarget);
    image.Put32(kDataAt + 0x40, kTarget);  // a virtual table's entry
    image.Put32(kDataAt + 0x46, kTarget);  // not on a word of the table
    const auto sections = ReadSections(image, kBase);
    const auto found = FindReferences(image, sections, kTarget);

    const struct {
        ReferenceKind kind;
        std::uint32_t at;
    } expected[] = {
        {ReferenceKind::Call, kCodeAt + 0x10},
        {ReferenceKind::Jump, kCodeAt + 0x20},
        {ReferenceKind::Call, kCodeAt + 0x10000 - 2},
        {ReferenceKind::Table, kDataAt + 0x40},
    };
    ASSERT_EQ(found.size(), std::size(expected));
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].kind, expected[i].kind) << i;
        EXPECT_EQ(found[i].at, kBase + expected[i].at) << i;
    }
}

// An image with a call, a jump and a table entry reaching the function.
struct Patched {
    Image image;
    std::vector<CodeReference> references;
    std::vector<std::uint8_t> before;

    Patched() {
        image.Branch(kCodeAt + 0x10, 0xE8, kTarget);
        image.Branch(kCodeAt + 0x20, 0xE9, kTarget);
        image.Put32(kDataAt + 0x40, kTarget);
        references = FindReferences(image, ReadSections(image, kBase), kTarget);
        before = image.Bytes();
    }
};

TEST(CodeReferences, APatchSendsEveryReferenceToTheReplacementAndIsUndoneExactly) {
    Patched p;
    ReferencePatch patch;
    const PatchOutcome applied = patch.Apply(p.image, p.image, p.references, kReplacement);
    EXPECT_TRUE(applied.done);
    EXPECT_EQ(applied.references, 3U);
    EXPECT_EQ(patch.Count(), 3U);
    EXPECT_EQ(p.image.Destination(kCodeAt + 0x10), kReplacement);
    EXPECT_EQ(p.image.Destination(kCodeAt + 0x20), kReplacement);
    EXPECT_EQ(p.image.Word(kDataAt + 0x40), kReplacement);
    EXPECT_EQ(p.image.Bytes()[kCodeAt + 0x10], 0xE8);  // still a call
    // The engine's own function is not touched: the replacement reaches it where it was.
    EXPECT_EQ(p.image.Word(kTarget - kBase), 0x90909090U);

    const PatchOutcome undone = patch.Undo(p.image, p.image);
    EXPECT_EQ(undone.references, 3U);
    EXPECT_EQ(undone.left, 0U);
    EXPECT_FALSE(patch.InForce());
    EXPECT_EQ(p.image.Bytes(), p.before);
}

TEST(CodeReferences, APatchThatCannotBeWrittenWholeLeavesNothingWritten) {
    const struct {
        const char* name;
        void (*spoil)(Patched&);
    } cases[] = {
        {"a reference changed since it was found",
         [](Patched& p) {
             p.image.Branch(kCodeAt + 0x20, 0xE9, kOther);
             p.before = p.image.Bytes();
         }},
        {"the second write refused", [](Patched& p) { p.image.FailWrite(1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Patched p;
        c.spoil(p);
        ReferencePatch patch;
        const PatchOutcome applied = patch.Apply(p.image, p.image, p.references, kReplacement);
        EXPECT_FALSE(applied.done);
        EXPECT_FALSE(patch.InForce());
        EXPECT_EQ(p.image.Bytes(), p.before);
    }
}

TEST(CodeReferences, UndoLeavesAReferenceAnotherHasChangedSince) {
    Patched p;
    ReferencePatch patch;
    ASSERT_TRUE(patch.Apply(p.image, p.image, p.references, kReplacement).done);
    constexpr std::uint32_t kSomeoneElse = 0x20004560;
    p.image.Put32(kDataAt + 0x40, kSomeoneElse);

    const PatchOutcome undone = patch.Undo(p.image, p.image);
    EXPECT_EQ(undone.references, 2U);
    EXPECT_EQ(undone.left, 1U);
    EXPECT_EQ(p.image.Word(kDataAt + 0x40), kSomeoneElse);
    EXPECT_EQ(p.image.Destination(kCodeAt + 0x10), kTarget);
    EXPECT_EQ(p.image.Destination(kCodeAt + 0x20), kTarget);
}

}  // namespace
}  // namespace pilfern::binding
