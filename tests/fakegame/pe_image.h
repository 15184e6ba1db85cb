#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pilfern::fakegame {

// A Windows library mapped into this process at its own base, as the game's loader would map
// it: its headers and sections copied to their places, nothing to relocate (the library is
// built for its base), nothing imported. The fake engine's stubs arrive this way.
class PeImage {
public:
    // Maps the library; throws with the file and the reason when it cannot.
    explicit PeImage(const std::filesystem::path& file);
    ~PeImage();
    PeImage(const PeImage&) = delete;
    PeImage& operator=(const PeImage&) = delete;
    PeImage(PeImage&&) = delete;
    PeImage& operator=(PeImage&&) = delete;

    // The address of an exported name; throws when the library exports no such name.
    [[nodiscard]] void* Export(std::string_view name) const;

private:
    std::uint32_t base_ = 0;
    std::uint32_t size_ = 0;
    std::vector<std::pair<std::string, std::uint32_t>> exports_;
};

}  // namespace pilfern::fakegame
