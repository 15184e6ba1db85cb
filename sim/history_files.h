#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pilfern::sim {

// One row of a savegame's loot history as the plugin loads it, its texts in UTF-8 as the
// overlay shows them: in the game's code page, so that a broken byte, or a character the code
// page lacks, shows as '?'.
struct HistoryFileRow {
    std::size_t index = 0;  // 0 is the newest row
    std::string text;
    std::string source;  // without blanks around it; empty for an item taken from the ground
    std::int32_t category = 0;
};

// One PILFERN.SAV and what the plugin reads from it.
struct SlotHistory {
    std::string slot;  // the slot folder's name
    std::filesystem::path file;
    std::vector<HistoryFileRow> rows;
    // Lines (counted from 1) that hold something but give no row and are no header: the
    // plugin skips them.
    std::vector<std::size_t> skippedLines;
    // The line that starts with a comma, after which the plugin reads no more rows.
    std::optional<std::size_t> stoppedAtLine;
};

// A path that names no loot history: it does not exist, or no PILFERN.SAV is where it
// points. The message is one line naming the path.
class HistoryPathError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file or folder that is there but cannot be read. The message is one line naming it.
class HistoryReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The history files a path names: the file itself; a slot folder's PILFERN.SAV; or, for a
// game folder (or its savegame folder), the PILFERN.SAV of every slot folder under its Saves
// folder, in slot order: quicksave, savegame1, savegame2, ... by number, current, then any
// other names alphabetically. Names compare ignoring letter case, as the game's system does.
// Throws HistoryPathError or HistoryReadError.
[[nodiscard]] std::vector<std::filesystem::path> FindHistoryFiles(
    const std::filesystem::path& path);

// Reads one history file with the plugin's own reader, as a game printing in `codePage`
// loads it: any file, with the header line or without. Throws HistoryReadError when it
// cannot be read.
[[nodiscard]] SlotHistory ReadHistoryFile(const std::filesystem::path& file, int codePage);

// Valid UTF-8: every broken piece of `text` becomes U+FFFD. For paths and the command line,
// which are no game text.
[[nodiscard]] std::string ValidUtf8(std::string_view text);
// A path as valid UTF-8 text, for the report and its messages.
[[nodiscard]] std::string PathText(const std::filesystem::path& path);

}  // namespace pilfern::sim
