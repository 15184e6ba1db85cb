#include "sim/game_installation.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace pilfern::sim {
namespace {

// The programs an installation's System folder holds: the games', the mod launchers'.
constexpr std::array<std::string_view, 5> kGamePrograms{
    "gothic.exe", "gothic2.exe", "gothicmod.exe", "gothicstarter.exe", "gothicstarter_mod.exe"};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return text;
}

// UTF-8 never fails to convert, whatever the name holds.
std::string LowerName(const std::filesystem::path& path) {
    const std::u8string name = path.filename().u8string();
    return Lower(std::string(name.begin(), name.end()));
}

// The entry of `folder` named `name` in any letter case; none when there is none or the
// folder cannot be listed.
std::optional<std::filesystem::path> Entry(const std::filesystem::path& folder,
                                           std::string_view name) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (LowerName(it->path()) == name) {
            return it->path();
        }
    }
    return std::nullopt;
}

bool IsFolder(const std::optional<std::filesystem::path>& path) {
    std::error_code error;
    return path && std::filesystem::is_directory(*path, error);
}

bool HoldsFileWith(const std::filesystem::path& folder, bool (*matches)(const std::string&)) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (matches(LowerName(it->path())) && !it->is_directory(error)) {
            return true;
        }
    }
    return false;
}

bool IsGameProgram(const std::string& name) {
    return std::find(kGamePrograms.begin(), kGamePrograms.end(), name) != kGamePrograms.end();
}

bool IsArchive(const std::string& name) {
    return name.ends_with(".vdf");
}

bool IsGameIni(const std::string& name) {
    return name == "gothic.ini";
}

}  // namespace

bool IsGameInstallation(const std::filesystem::path& folder) {
    const auto system = Entry(folder, "system");
    if (!IsFolder(system)) {
        return false;
    }
    if (HoldsFileWith(*system, IsGameProgram)) {
        return true;
    }
    if (!HoldsFileWith(*system, IsGameIni)) {
        return false;
    }
    const auto data = Entry(folder, "data");
    if (IsFolder(data) && HoldsFileWith(*data, IsArchive)) {
        return true;
    }
    const auto work = Entry(folder, "_work");
    return IsFolder(work) && IsFolder(Entry(*work, "data"));
}

std::optional<std::filesystem::path> EnclosingGameInstallation(
    const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::weakly_canonical(folder, error);
    if (error) {
        path = std::filesystem::absolute(folder, error).lexically_normal();
    }
    if (path.filename().empty() && path.has_relative_path()) {
        path = path.parent_path();  // a trailing separator
    }
    for (;;) {
        if (IsGameInstallation(path)) {
            return path;
        }
        if (!path.has_relative_path()) {
            return std::nullopt;
        }
        path = path.parent_path();
    }
}

}  // namespace pilfern::sim
