#include "sim/game_folder.h"

#include <fstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

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

// What tells a file changed without reading it: its size, when it was last written, and which
// file it is (a file renamed over it is another one), to the finest the system tells.
#ifdef _WIN32
FileStamp StampOf(const std::filesystem::path& path) {
    FileStamp stamp;
    // Opened for no access: the handle reads nothing of the file.
    const HANDLE file =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return stamp;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(file, &info) != 0) {
        stamp.size = (std::uintmax_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
        stamp.written = (std::int64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                        info.ftLastWriteTime.dwLowDateTime;
        stamp.identity = (std::uintmax_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    }
    CloseHandle(file);
    return stamp;
}
#else
FileStamp StampOf(const std::filesystem::path& path) {
    FileStamp stamp;
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        stamp.size = static_cast<std::uintmax_t>(status.st_size);
        stamp.written = std::int64_t{status.st_mtim.tv_sec} * 1000000000 + status.st_mtim.tv_nsec;
        stamp.identity = static_cast<std::uintmax_t>(status.st_ino);
    }
    return stamp;
}
#endif

// Every file below a folder: path relative to it with '/' -> its stamp. Nothing is read.
std::map<std::string, FileStamp> StampsBelow(const std::filesystem::path& folder) {
    std::map<std::string, FileStamp> files;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (IsFile(it->path())) {
            files.emplace(it->path().lexically_relative(folder).generic_string(),
                          StampOf(it->path()));
        }
    }
    return files;
}

}  // namespace

GameFolder::GameFolder(const std::filesystem::path& working,
                       std::optional<std::filesystem::path> installed)
    : working_(FolderPath(working)), atStart_(StampsBelow(working_)) {
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
    if (installed_ && !removed_.contains(location.gamePath->generic_string()) &&
        IsFile(*installed_ / *location.gamePath)) {
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
        KeepOriginal(location.gamePath->generic_string(), target, bytes.size());
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
    if (location.gamePath) {
        removed_.erase(location.gamePath->generic_string());
    }
    return true;
}

bool GameFolder::Remove(std::string_view path) {
    const Location location = Locate(path);
    if (!location.gamePath) {
        return false;
    }
    std::error_code error;
    std::filesystem::remove(working_ / *location.gamePath, error);
    if (error) {
        return false;
    }
    removed_.insert(location.gamePath->generic_string());
    return true;
}

std::vector<std::string> GameFolder::FilesIn(std::string_view folder) const {
    const Location location = Locate(folder);
    if (!location.gamePath) {
        return {};
    }
    std::set<std::string> names;
    const auto list = [&](const std::filesystem::path& root, bool installedLayer) {
        std::error_code error;
        for (auto it = std::filesystem::directory_iterator(root / *location.gamePath, error);
             !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
            const std::string gamePath =
                (*location.gamePath / it->path().filename()).generic_string();
            if (IsFile(it->path()) && !(installedLayer && removed_.contains(gamePath))) {
                names.insert(it->path().filename().string());
            }
        }
    };
    list(working_, false);
    if (installed_) {
        list(*installed_, true);
    }
    return {names.begin(), names.end()};
}

void GameFolder::KeepOriginal(const std::string& gamePath, const std::filesystem::path& file,
                              std::size_t newSize) {
    const auto start = atStart_.find(gamePath);
    if (start == atStart_.end() || originals_.contains(gamePath) || start->second.size != newSize ||
        !(StampOf(file) == start->second)) {
        return;
    }
    if (auto bytes = Bytes(file)) {
        originals_.emplace(gamePath, std::move(*bytes));
    }
}

std::vector<std::string> GameFolder::Written() const {
    std::vector<std::string> written;
    for (const auto& [path, stamp] : StampsBelow(working_)) {
        const auto start = atStart_.find(path);
        const auto original = originals_.find(path);
        bool changed = start == atStart_.end() || !(stamp == start->second);
        if (changed && original != originals_.end()) {
            changed = Bytes(working_ / path) != original->second;
        }
        if (changed) {
            written.push_back(path);
        }
    }
    return written;
}

}  // namespace pilfern::sim
