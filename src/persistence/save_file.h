#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/loot_records.h"

// The per-save history file, PILFERN.SAV: a header line, then one line a history row,
// newest first: text, category, source ("EMPTY" for none), separated by commas without
// quoting. Old files must keep reading as they did, and new files must read in old readers,
// so the format itself never changes.
namespace pilfern {

inline constexpr std::string_view kSaveFileName = "PILFERN.SAV";
inline constexpr std::string_view kSaveFileHeader = "QUICK_LOOT DATA";
inline constexpr std::string_view kSaveFileNoSource = "EMPTY";

// The file's content in the game's 8-bit text: the header and every row, each line ended by
// a line feed.
[[nodiscard]] CStringA SaveFileContent(const std::vector<HistoryEntity>& history);

// What one line of the file gives.
enum class SaveLine {
    Row,     // a history row
    Blank,   // nothing: empty or only blanks
    Header,  // nothing: it holds the header, anywhere and in any letter case
    Skip,    // nothing: not a row (too long, or malformed)
    Stop,    // the end of the rows: the line starts with a comma
};

// Reads one line of the file (in the game's 8-bit text; UTF-8 reads the same, as every byte
// the rules look at is ASCII). The format has no escaping, and both the item's text and the
// source (a chest "Chest, old") may hold commas: the category is the whole number between
// them, the last field that is one with a field after it; everything before it is the text and
// everything after it the source. A row as the writer writes it comes back as written whenever
// its category is the one whole number between its text and its source. Without any whole
// number the next-to-last field is the category. `row` is set only for SaveLine::Row.
[[nodiscard]] SaveLine ReadSaveLine(std::string_view line, HistoryEntity& row);

// A line of the file, decoded from UTF-8, as the game's 8-bit text.
using SaveLineToGameText = std::function<CStringA(const std::wstring&)>;
// Told of every line read: its number (from 1), what it gave and, for SaveLine::Row, the row.
using SaveLineSeen = std::function<void(std::size_t number, SaveLine read, HistoryEntity&& row)>;

// Reads the file as a game load does, whether or not it starts with the header: line by
// line, each decoded from UTF-8 (a broken sequence becomes a replacement character) and made
// the game's text by `toGameText`, until the end of the file, a read error or a line that
// starts with a comma. A line too long for any row is passed over as SaveLine::Skip. False
// when the file could not be opened or a read failed; the lines before were told.
bool ReadSaveFile(std::string_view path, const SaveLineToGameText& toGameText,
                  const SaveLineSeen& seen);
// The same by this system's own path.
bool ReadSaveFile(const std::filesystem::path& path, const SaveLineToGameText& toGameText,
                  const SaveLineSeen& seen);

}  // namespace pilfern
