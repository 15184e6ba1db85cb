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
// Appended to the file's name while its new content is being written.
constexpr std::string_view kUnfinishedSuffix = ".NEW";

// What the framework's record says the save or load in progress is, as far as the loot
// history cares.
enum class RecordedStep {
    NoSlot,       // no record, or one that names no slot: the history is left alone
    LevelChange,  // the engine's own save and load of a level change
    NewGame,
    Savegame,  // the player's save or load of a slot
};

RecordedStep StepOf(const TSaveLoadGameInfo* info) {
    if (info == nullptr || info->slotNumber == kSaveSlotNone) {
        return RecordedStep::NoSlot;
    }
    if (info->changeLevel) {
        return RecordedStep::LevelChange;
    }
    return info->slotNumber == kSaveSlotNewGame ? RecordedStep::NewGame : RecordedStep::Savegame;
}

// The history file of the slot being saved or loaded; none when the game cannot name its
// folder.
std::optional<std::string> SlotFilePath(Instance& instance, int slot) {
    const zSTRING folder = GetSaveSlotFolder(instance, slot);
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
    // The history of a game in progress belongs to the player's savegames only: a level
    // change saves the world being left into "current", and a slot the player did not save
    // must not take the history of loot taken after it.
    const TSaveLoadGameInfo* info = instance.framework.SaveLoadGameInfo();
    if (StepOf(info) != RecordedStep::Savegame) {
        return;
    }
    const std::optional<std::string> path = SlotFilePath(instance, info->slotNumber);
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
    const TSaveLoadGameInfo* info = instance.framework.SaveLoadGameInfo();
    std::vector<HistoryEntity>& history = instance.lootHistory;
    switch (StepOf(info)) {
    case RecordedStep::NoSlot:
    case RecordedStep::LevelChange:  // the same game goes on in another world
        return;
    case RecordedStep::NewGame:
        history.clear();
        return;
    case RecordedStep::Savegame:
        break;
    }
    const std::optional<std::string> path = SlotFilePath(instance, info->slotNumber);
    if (!path) {
        return;
    }
    history.clear();
    const Framework& framework = instance.framework;
    ReadSaveFile(
        std::string_view(*path),
        [&framework](const std::wstring& line) {
            return framework.WToA(line, kAnsiCodePageDefault);
        },
        [&history](std::size_t /*number*/, SaveLine read, HistoryEntity&& row) {
            if (read == SaveLine::Row) {
                history.push_back(std::move(row));
            }
        });
}

}  // namespace pilfern
