#include "persistence/save_state.h"

#include <optional>
#include <string>
#include <string_view>

#include "persistence/save_file.h"
#include "platform/platform.h"

namespace pilfern {
namespace {

// The options' savegame directory, under which the slot folders lie.
constexpr int kSavegameDirectorySetting = 2;
// No row the plugin writes comes near this: an item's text and a source are names of the
// game's, tens of characters each. A longer line is no row and is passed over; the limit only
// keeps a damaged file from costing the game its memory.
constexpr std::size_t kLongestSaveLine = std::size_t{64} * 1024;
// Appended to the file's name while its new content is being written.
constexpr std::string_view kUnfinishedSuffix = ".NEW";

// The history file of the slot being saved or loaded; none when the framework does not tell
// the slot or the game cannot name its folder.
std::optional<std::string> SlotFilePath(Instance& instance) {
    const TSaveLoadGameInfo* info = instance.framework.SaveLoadGameInfo();
    if (info == nullptr) {
        return std::nullopt;
    }
    const zSTRING folder = GetSaveSlotFolder(instance, info->slotNumber);
    if (folder.Text().empty()) {
        return std::nullopt;
    }
    return std::string(folder.Text()) + std::string(kSaveFileName);
}

}  // namespace

zSTRING SlotFolderName(int slot) {
    if (slot > 0) {
        return zSTRING("savegame" + std::to_string(slot));
    }
    return zSTRING(slot == 0 ? "quicksave" : "current");
}

zSTRING GetSaveSlotFolder(Instance& instance, int slot) {
    Engine& engine = instance.engine;
    std::string name(engine.eng_savegame_slot_folder(engine.eng_game(), slot).Text());
    if (name.empty()) {
        name = std::string(SlotFolderName(slot).Text()) + "\\";
    }
    const zCOption* options = engine.eng_options();
    const zSTRING base =
        engine.eng_options_directory(options, instance.profile.baseDirectorySetting);
    const zSTRING saves = engine.eng_options_directory(options, kSavegameDirectorySetting);
    return zSTRING(std::string(base.Text()) + std::string(saves.Text()) + name);
}

void SaveLootState(Instance& instance) {
    const std::optional<std::string> path = SlotFilePath(instance);
    if (!path) {
        return;
    }
    const std::string unfinished = *path + std::string(kUnfinishedSuffix);
    const CStringA content = SaveFileContent(instance.lootHistory);
    if (!instance.framework.WriteToFileUTF8(content, CStringA(unfinished), kAnsiCodePageDefault) ||
        !platform::MoveFileOver(unfinished, *path)) {
        // The previous file stays whole; what the failed write left goes.
        platform::RemoveFile(unfinished);
    }
}

void LoadLootState(Instance& instance) {
    const std::optional<std::string> path = SlotFilePath(instance);
    if (!path) {
        return;
    }
    std::vector<HistoryEntity>& history = instance.lootHistory;
    history.clear();
    // Line by line: a file of any size costs one line of memory, and a read error ends the
    // rows with those read so far.
    platform::LineReader file(*path, kLongestSaveLine);
    // The file is UTF-8; the game's text is 8-bit in its code page. Each line goes through
    // wide text and the framework's conversion, so a character the code page cannot hold, or
    // a broken byte sequence, becomes a stand-in character instead of breaking the row.
    std::string line;
    while (file.Next(line)) {
        if (line.empty()) {
            continue;
        }
        const CStringA text =
            instance.framework.WToA(platform::Utf8ToWide(line), kAnsiCodePageDefault);
        HistoryEntity row;
        const SaveLine read = ReadSaveLine(text.Str(), row);
        if (read == SaveLine::Stop) {
            break;
        }
        if (read == SaveLine::Row) {
            history.push_back(std::move(row));
        }
    }
}

}  // namespace pilfern
