#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace pilfern::sim {

// What a folder listing tells of a file, to see that it changed without reading it.
struct FileStamp {
    std::uintmax_t size = 0;
    std::int64_t written = 0;     // when it was last written, in the system's finest ticks
    std::uintmax_t identity = 0;  // the file's number on its disk

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The game folder as the simulated game sees it: the installed folder, read in place and never
// written, with the working folder laid over it. A read looks in the working folder first,
// then in the installed one; a write lands in the working folder and is remembered as written
// by the game. So a scenario can play over a real installation without copying it.
//
// Paths are named as the game names them (backslashes allowed). A relative path is a game
// path; so is an absolute path inside the working folder, where the engine's base directory
// points, or inside the installed folder. Any other path is used as it is.
class GameFolder {
public:
    explicit GameFolder(const std::filesystem::path& working,
                        std::optional<std::filesystem::path> installed = std::nullopt);

    [[nodiscard]] const std::filesystem::path& Working() const { return working_; }
    [[nodiscard]] const std::optional<std::filesystem::path>& Installed() const {
        return installed_;
    }

    // The file a read of `path` opens: the working folder's, else the installed folder's;
    // none when neither has a file there.
    [[nodiscard]] std::optional<std::filesystem::path> Find(std::string_view path) const;
    [[nodiscard]] bool Exists(std::string_view path) const { return Find(path).has_value(); }
    // The bytes of the file a read of `path` opens; none when there is none or it cannot be
    // read.
    [[nodiscard]] std::optional<std::string> Read(std::string_view path) const;
    // Writes the file beside its target and renames it over it, so the file is either old or
    // complete. A game path lands in the working folder, its folders made as needed. False
    // when the file could not be written, or would land in the installed folder. When the
    // disk cannot take the whole file, the write goes into the file itself as a plain writer
    // does: what fits is written, the rest is missing, and the write fails.
    bool Write(std::string_view path, std::string_view bytes);

    // Removes a file of the game folder: the working folder's goes, and an installed one under
    // the same path is no longer seen. False when the path lies outside the game folder or the
    // working folder's file could not be removed.
    bool Remove(std::string_view path);
    // The names of the files directly in a folder of the game folder (working and installed,
    // without removed ones), sorted; empty when there is no such folder.
    [[nodiscard]] std::vector<std::string> FilesIn(std::string_view folder) const;

    // How many more bytes the disk takes; none: as many as are written.
    void SetDiskSpace(std::optional<std::uintmax_t> bytes) { diskSpace_ = bytes; }

    // The game paths of the working folder's files that the game wrote or changed since the
    // folder was opened (whoever renamed or moved them there), with '/', sorted. A file is
    // read only when the game rewrote it at its old size; others are told by their stamps.
    [[nodiscard]] std::vector<std::string> Written() const;

private:
    // Where a path leads: a game path relative to the folder, or a path outside it.
    struct Location {
        std::optional<std::filesystem::path> gamePath;
        std::filesystem::path outside;
    };
    [[nodiscard]] Location Locate(std::string_view path) const;
    // Keeps the bytes a file had when the folder was opened, before the game writes `newSize`
    // bytes over it: only then can a rewrite with the same bytes be told from a change.
    void KeepOriginal(const std::string& gamePath, const std::filesystem::path& file,
                      std::size_t newSize);

    std::filesystem::path working_;
    std::optional<std::filesystem::path> installed_;
    // The working folder's files as they were when it was opened, path with '/' -> stamp; and
    // the bytes of those the game wrote over at their old size, read just before.
    std::map<std::string, FileStamp> atStart_;
    std::map<std::string, std::string> originals_;
    std::optional<std::uintmax_t> diskSpace_;
    // Game paths (with '/') of removed files, which the installed folder no longer shows.
    std::set<std::string> removed_;
};

}  // namespace pilfern::sim
