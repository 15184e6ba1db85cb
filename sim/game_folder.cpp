#include "sim/game_folder.h"

#include <fstream>
#include <iterator>

#include "platform/platform.h"

namespace pilfern::sim {
namespace {

// An absolute, lexically normal folder path without a trailing separator, so that paths
// below it compare element by element.
std::filesystem::path FolderPath(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(folder, error);
    if (error) {
        path = folder;
    }
    path = path.lexically_normal();
    if (path.filename().empty() && path.has_relative_path()) {
        path = path.parent_path();
    }
    return path;
}

// The path below `folder` that `path` names; none when it lies elsewhere or is the folder
// itself.
std::optional<std::filesystem::path> Below(const std::filesystem::path& path,
                                           const std::filesystem::path& folder) {
    const std::filesystem::path relative = path.lexically_relative(folder);
    if (relative.empty() || relative == "." || *relative.begin() == "..") {
        return std::nullopt;
    }
    return relative;
}

bool IsFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::optional<std::string> Bytes(const std::filesystem::path& path) {
    return platform::ReadWholeFile(path.string());
}

// Every file below a folder: path relative to it with '/' -> bytes.
std::map<std::string, std::string> FilesBelow(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (IsFile(it->path())) {
            if (auto bytes = Bytes(it->path())) {
                files.emplace(it->path().lexically_relative(folder).generic_string(),
                              std::move(*bytes));
            }
        }
    }
    return files;
}

}  // namespace

GameFolder::GameFolder(const std::filesystem::path& working,
                       std::optional<std::filesystem::path> installed)
    : working_(FolderPath(working)), atStart_(FilesBelow(working_)) {
    if (installed) {
        installed_ = FolderPath(*installed);
    }
}

GameFolder::Location GameFolder::Locate(std::string_view path) const {
    const std::filesystem::path named(platform::NativePath(path));
    const std::filesystem::path full =
        (named.is_absolute() ? named : working_ / named).lexically_normal();
    if (auto below = Below(full, working_)) {
        return Location{std::move(below), {}};
    }
    if (installed_) {
        if (auto below = Below(full, *installed_)) {
            return Location{std::move(below), {}};
        }
    }
    return Location{std::nullopt, full};
}

std::optional<std::filesystem::path> GameFolder::Find(std::string_view path) const {
    const Location location = Locate(path);
    if (!location.gamePath) {
        return IsFile(location.outside) ? std::optional(location.outside) : std::nullopt;
    }
    if (IsFile(working_ / *location.gamePath)) {
        return working_ / *location.gamePath;
    }
    if (installed_ && IsFile(*installed_ / *location.gamePath)) {
        return *installed_ / *location.gamePath;
    }
    return std::nullopt;
}

std::optional<std::string> GameFolder::Read(std::string_view path) const {
    const auto found = Find(path);
    return found ? Bytes(*found) : std::nullopt;
}

bool GameFolder::Write(std::string_view path, std::string_view bytes) {
    const Location location = Locate(path);
    const std::filesystem::path target =
        location.gamePath ? working_ / *location.gamePath : location.outside;
    // Only a working folder laid out inside the installed one, or the other way round, could
    // lead here; the installation stays as it is even then.
    if (installed_ && Below(target.lexically_normal(), *installed_)) {
        return false;
    }
    std::error_code error;
    if (location.gamePath) {
        std::filesystem::create_directories(target.parent_path(), error);
        if (error) {
            return false;
        }
    }
    if (diskSpace_ && bytes.size() > *diskSpace_) {
        std::ofstream file(target, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(*diskSpace_));
        diskSpace_ = 0;
        return false;
    }
    if (diskSpace_) {
        *diskSpace_ -= bytes.size();
    }
    std::filesystem::path partial = target;
    partial += ".partial";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        if (!file || !file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) ||
            !file.flush()) {
            file.close();
            std::filesystem::remove(partial, error);
            return false;
        }
    }
    std::filesystem::rename(partial, target, error);
    if (error) {
        std::filesystem::remove(partial, error);
        return false;
    }
    return true;
}

std::vector<std::string> GameFolder::Written() const {
    std::vector<std::string> written;
    for (const auto& [path, bytes] : FilesBelow(working_)) {
        const auto before = atStart_.find(path);
        if (before == atStart_.end() || before->second != bytes) {
            written.push_back(path);
        }
    }
    return written;
}

}  // namespace pilfern::sim
