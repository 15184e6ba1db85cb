#pragma once

#include <filesystem>
#include <optional>

namespace pilfern::sim {

// Whether a folder is the root of a Gothic I or II installation: its System folder holds one
// of the game's programs, or Gothic.ini together with the game's data (archives in Data, or an
// unpacked _work/Data). Names are matched without regard to letter case, as Windows does.
[[nodiscard]] bool IsGameInstallation(const std::filesystem::path& folder);

// The installation `folder` is, or lies inside (symbolic links followed where they exist);
// none when it lies in none.
[[nodiscard]] std::optional<std::filesystem::path> EnclosingGameInstallation(
    const std::filesystem::path& folder);

}  // namespace pilfern::sim
