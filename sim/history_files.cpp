#include "sim/history_files.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <utility>

#include "core/loot_records.h"
#include "host/cstring.h"
#include "persistence/save_file.h"
#include "platform/platform.h"
#include "sim/sim_framework.h"

namespace pilfern::sim {
namespace {

namespace fs = std::filesystem;

// The game's savegame folder, under the game folder.
constexpr std::string_view kSavesFolder = "SAVES";

// Where a slot folder comes in the listing: the quick save first, the numbered slots by
// number, the slot the game is playing in, then whatever else the savegame manager named.
enum class SlotRank { Quick, Numbered, Current, Other };

struct NamedSlot {
    std::string_view name;
    SlotRank rank;
};

constexpr std::array kNamedSlots{
    NamedSlot{"quicksave", SlotRank::Quick},
    NamedSlot{"current", SlotRank::Current},
};
constexpr std::string_view kNumberedSlotPrefix = "savegame";

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    std::ranges::transform(lowered, lowered.begin(), LowerAscii);
    return lowered;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Sorts slot folders: by rank, numbered slots by their number (any number of digits, so
// savegame10 follows savegame9), the others by name ignoring case.
struct SlotKey {
    SlotRank rank = SlotRank::Other;
    std::string number;  // the slot number's digits without leading zeros
    std::string lowered;
    std::string name;

    friend bool operator<(const SlotKey& a, const SlotKey& b) {
        return std::forward_as_tuple(a.rank, a.number.size(), a.number, a.lowered, a.name) <
               std::forward_as_tuple(b.rank, b.number.size(), b.number, b.lowered, b.name);
    }
};

SlotKey KeyOf(const std::string& name) {
    SlotKey key{SlotRank::Other, {}, Lowered(name), name};
    const auto named = std::ranges::find_if(
        kNamedSlots, [&](const NamedSlot& slot) { return EqualsIgnoringCase(name, slot.name); });
    if (named != kNamedSlots.end()) {
        key.rank = named->rank;
        return key;
    }
    const std::string_view digits =
        std::string_view(name).substr(std::min(name.size(), kNumberedSlotPrefix.size()));
    if (EqualsIgnoringCase(std::string_view(name).substr(0, kNumberedSlotPrefix.size()),
                           kNumberedSlotPrefix) &&
        !digits.empty() && std::ranges::all_of(digits, IsDigit)) {
        key.rank = SlotRank::Numbered;
        const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size() - 1);
        key.number = std::string(digits.substr(first));
    }
    return key;
}

std::string NameOf(const fs::path& path) {
    const std::u8string name = path.filename().u8string();
    return {name.begin(), name.end()};
}

enum class EntryKind { File, Folder };

// The entries of `folder` of the given kind whose name is `name` ignoring case (the game's
// system ignores it, and saves copied from it keep whatever case they had), by name.
std::vector<fs::path> Entries(const fs::path& folder, EntryKind kind,
                              std::optional<std::string_view> name) {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        const bool fits =
            kind == EntryKind::File ? it->is_regular_file(ignored) : it->is_directory(ignored);
        if (fits && (!name || EqualsIgnoringCase(NameOf(it->path()), *name))) {
            found.push_back(it->path());
        }
    }
    if (error) {
        throw HistoryReadError(PathText(folder) + ": cannot be read (" + error.message() + ")");
    }
    std::ranges::sort(found);
    return found;
}

std::optional<fs::path> Entry(const fs::path& folder, EntryKind kind, std::string_view name) {
    std::vector<fs::path> found = Entries(folder, kind, name);
    return found.empty() ? std::nullopt : std::optional(std::move(found.front()));
}

}  // namespace

std::string ValidUtf8(std::string_view text) {
    return platform::WideToUtf8(platform::Utf8ToWide(text));
}

std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return ValidUtf8(std::string(text.begin(), text.end()));
}

std::vector<std::filesystem::path> FindHistoryFiles(const std::filesystem::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) {
        throw HistoryPathError(PathText(path) + ": no such file or folder");
    }
    if (error) {
        throw HistoryReadError(PathText(path) + ": cannot be read (" + error.message() + ")");
    }
    if (!fs::is_directory(status)) {
        return {path};
    }
    if (std::optional<fs::path> file = Entry(path, EntryKind::File, kSaveFileName)) {
        return {*file};
    }
    // A game folder, or its savegame folder itself.
    const fs::path saves = Entry(path, EntryKind::Folder, kSavesFolder).value_or(path);
    std::vector<std::pair<SlotKey, fs::path>> slots;
    for (const fs::path& folder : Entries(saves, EntryKind::Folder, std::nullopt)) {
        if (std::optional<fs::path> file = Entry(folder, EntryKind::File, kSaveFileName)) {
            slots.emplace_back(KeyOf(NameOf(folder)), std::move(*file));
        }
    }
    if (slots.empty()) {
        throw HistoryPathError(PathText(path) + ": no " + std::string(kSaveFileName) +
                               " here, nor in a slot folder of its savegame folder");
    }
    std::sort(slots.begin(), slots.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<fs::path> files;
    files.reserve(slots.size());
    for (auto& slot : slots) {
        files.push_back(std::move(slot.second));
    }
    return files;
}

SlotHistory ReadHistoryFile(const std::filesystem::path& file, int codePage) {
    SlotHistory history;
    history.file = file;
    history.slot = ValidUtf8(NameOf(fs::absolute(file).parent_path()));
    const auto shown = [codePage](std::string_view gameText) {
        return platform::CodePageToUtf8(gameText, codePage);
    };
    const bool whole = ReadSaveFile(
        file, [codePage](const std::wstring& line) { return WideToGameText(line, codePage); },
        [&](std::size_t number, SaveLine read, HistoryEntity&& row) {
            if (read == SaveLine::Row) {
                history.rows.push_back(HistoryFileRow{history.rows.size(), shown(row.text.Str()),
                                                      shown(TrimBlanks(row.source.Str())),
                                                      row.category});
            } else if (read == SaveLine::Skip) {
                history.skippedLines.push_back(number);
            } else if (read == SaveLine::Stop) {
                history.stoppedAtLine = number;
            }
        });
    if (!whole) {
        throw HistoryReadError(PathText(file) + ": cannot be read");
    }
    return history;
}

}  // namespace pilfern::sim
