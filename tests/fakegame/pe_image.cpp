#include "fakegame/pe_image.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <sys/mman.h>

namespace pilfern::fakegame {
namespace {

// Offsets of the Windows image format's own headers.
constexpr std::uint32_t kNewHeaderAt = 0x3C;      // in the DOS header: where the PE header is
constexpr std::uint32_t kSectionCountAt = 6;      // from "PE\0\0": in the file header
constexpr std::uint32_t kOptionalSizeAt = 20;     // from "PE\0\0": in the file header
constexpr std::uint32_t kFileHeaderSize = 24;     // "PE\0\0" and the file header
constexpr std::uint32_t kImageBaseAt = 28;        // in the optional header (32-bit)
constexpr std::uint32_t kImageSizeAt = 56;        //
constexpr std::uint32_t kHeadersSizeAt = 60;      //
constexpr std::uint32_t kExportDirectoryAt = 96;  // the first data directory
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint16_t kOptionalMagic32 = 0x10B;

std::uint32_t Word32(const std::vector<char>& bytes, std::uint32_t at, const std::string& file) {
    if (at + 4 > bytes.size()) {
        throw std::runtime_error(file + ": not a Windows library (cut short)");
    }
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}
std::uint16_t Word16(const std::vector<char>& bytes, std::uint32_t at, const std::string& file) {
    return static_cast<std::uint16_t>(Word32(bytes, at, file) & 0xFFFFu);
}

}  // namespace

PeImage::PeImage(const std::filesystem::path& file) {
    const std::string name = file.string();
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    if (!in.good() && !in.eof()) {
        throw std::runtime_error(name + ": cannot be read");
    }
    const std::uint32_t pe = Word32(bytes, kNewHeaderAt, name);
    if (Word32(bytes, pe, name) != 0x00004550u) {
        throw std::runtime_error(name + ": not a Windows library (no PE header)");
    }
    const std::uint32_t optional = pe + kFileHeaderSize;
    if (Word16(bytes, optional, name) != kOptionalMagic32) {
        throw std::runtime_error(name + ": not a 32-bit library");
    }
    base_ = Word32(bytes, optional + kImageBaseAt, name);
    size_ = Word32(bytes, optional + kImageSizeAt, name);
    void* at = ::mmap(reinterpret_cast<void*>(static_cast<std::uintptr_t>(base_)), size_,
                      PROT_READ | PROT_WRITE | PROT_EXEC,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
    if (at == MAP_FAILED || at != reinterpret_cast<void*>(static_cast<std::uintptr_t>(base_))) {
        throw std::runtime_error(name + ": its base address is taken in this process");
    }
    auto* image = static_cast<char*>(at);
    std::memcpy(image, bytes.data(), Word32(bytes, optional + kHeadersSizeAt, name));
    const std::uint32_t sections = Word16(bytes, pe + kSectionCountAt, name);
    const std::uint32_t first = optional + Word16(bytes, pe + kOptionalSizeAt, name);
    for (std::uint32_t i = 0; i < sections; ++i) {
        const std::uint32_t header = first + i * kSectionHeaderSize;
        // The file holds a section's bytes rounded up to its own alignment; the image holds its
        // virtual size, the rest of which (uninitialised data) stays zero.
        const std::uint32_t virtualSize = Word32(bytes, header + 8, name);
        const std::uint32_t address = Word32(bytes, header + 12, name);
        const std::uint32_t rawSize = std::min(Word32(bytes, header + 16, name), virtualSize);
        const std::uint32_t rawAt = Word32(bytes, header + 20, name);
        if (rawAt + rawSize > bytes.size() || address + virtualSize > size_) {
            ::munmap(at, size_);
            throw std::runtime_error(name + ": a section lies outside the file or the image");
        }
        std::memcpy(image + address, bytes.data() + rawAt, rawSize);
    }
    const std::uint32_t exportsAt = Word32(bytes, optional + kExportDirectoryAt, name);
    if (exportsAt == 0 || exportsAt + 40 > size_) {
        ::munmap(at, size_);
        throw std::runtime_error(name + ": exports nothing");
    }
    std::uint32_t count = 0;
    std::uint32_t functions = 0;
    std::uint32_t names = 0;
    std::uint32_t ordinals = 0;
    std::memcpy(&count, image + exportsAt + 24, 4);
    std::memcpy(&functions, image + exportsAt + 28, 4);
    std::memcpy(&names, image + exportsAt + 32, 4);
    std::memcpy(&ordinals, image + exportsAt + 36, 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t nameAt = 0;
        std::uint16_t ordinal = 0;
        std::uint32_t address = 0;
        std::memcpy(&nameAt, image + names + 4 * i, 4);
        std::memcpy(&ordinal, image + ordinals + 2 * i, 2);
        std::memcpy(&address, image + functions + 4 * ordinal, 4);
        exports_.emplace_back(image + nameAt, base_ + address);
    }
}

PeImage::~PeImage() {
    ::munmap(reinterpret_cast<void*>(static_cast<std::uintptr_t>(base_)), size_);
}

void* PeImage::Export(std::string_view name) const {
    for (const auto& [exported, address] : exports_) {
        if (exported == name) {
            return reinterpret_cast<void*>(static_cast<std::uintptr_t>(address));
        }
    }
    throw std::runtime_error("the fake engine exports no " + std::string(name));
}

}  // namespace pilfern::fakegame
