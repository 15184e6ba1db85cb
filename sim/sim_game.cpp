#include "sim/sim_game.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "host/cstring.h"
#include "host/engine_profile.h"
#include "sim/renderer_module.h"

namespace pilfern::sim {
namespace {

// The engine version of the first Gothic, as the framework numbers engines.
constexpr int kGothicOneClassic = 1;
// The options' directory setting of the savegame folder.
constexpr std::size_t kSavegameDirectory = 2;
// How long the frame the game draws within a save or a level change takes.
constexpr std::uint32_t kSequenceFrameMs = 16;
// The files of a savegame the engine writes besides one per world.
constexpr std::array<std::string_view, 3> kSavegameFiles{"SAVEINFO.SAV", "SAVEDAT.SAV",
                                                         "THUMB.SAV"};

// The world a game starts in: the first Gothic's colony, the second's Khorinis.
std::string StartWorld(int engineVersion) {
    return engineVersion <= 2 ? "WORLD.ZEN" : "NEWWORLD.ZEN";
}

// The file a savegame keeps a world's state in: the world file's name with ".SAV".
std::string WorldSaveFile(std::string_view world) {
    std::string name(world.substr(world.find_last_of("/\\") + 1));
    if (const auto dot = name.rfind('.'); dot != std::string::npos) {
        name.erase(dot);
    }
    for (char& c : name) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return name + ".SAV";
}

// The world a savegame's SAVEINFO.SAV names; none when it names none.
std::optional<std::string> SavedWorld(std::string_view info) {
    constexpr std::string_view kWorld = "world ";
    std::size_t start = 0;
    while (start < info.size()) {
        const std::size_t end = std::min(info.find('\n', start), info.size());
        const std::string_view line = info.substr(start, end - start);
        if (line.starts_with(kWorld)) {
            return std::string(line.substr(kWorld.size()));
        }
        start = end + 1;
    }
    return std::nullopt;
}

}  // namespace

std::string_view EventName(int slot) {
    return slot >= 1 && slot <= static_cast<int>(kEventExportNames.size())
               ? kEventExportNames.at(static_cast<std::size_t>(slot - 1))
               : std::string_view();
}

SimGame::SimGame(std::filesystem::path workingFolder, int engineVersion,
                 std::optional<std::filesystem::path> installedFolder)
    : folder_(std::move(workingFolder), std::move(installedFolder)),
      engine(clock, redirects),
      framework(clock, redirects, folder_) {
    framework.engineVersion = engineVersion;
    engine.FollowEngineVersion(framework.engineVersion);
    worldName_ = StartWorld(engineVersion);
    gameStart_ = framework.Heap();
    stepStart_ = gameStart_;
    ResetRenderer();
    // The engine's base directory is the working folder, so that paths the plugin builds from
    // it read through the overlay and its writes land there; savegames lie in its SAVES
    // folder.
    std::string base = folder_.Working().string();
    if (!base.empty() && base.back() != '/' && base.back() != '\\') {
        base += static_cast<char>(std::filesystem::path::preferred_separator);
    }
    // Gothic I keeps its base directory in setting 23, the later engines in 24; the other
    // setting names a folder of its own, so a plugin that reads the wrong one saves elsewhere.
    const bool baseIn23 = engineVersion == kGothicOneClassic;
    engine.options.directories.at(baseIn23 ? 23 : 24) = base;
    engine.options.directories.at(baseIn23 ? 24 : 23) = base + "_WORK\\";
    ReadGameIni();
}

std::optional<std::string> SimGame::ReadGameFile(std::string_view relativePath) const {
    return folder_.Read(relativePath);
}

bool SimGame::WriteGameFile(std::string_view relativePath, std::string_view bytes) {
    return folder_.Write(relativePath, bytes);
}

void SimGame::ReadGameIni() {
    engine.options.ini = IniFile::Parse(ReadGameFile("System/Gothic.ini").value_or(""));
}

void SimGame::Entry() {
    framework.FireEvent(kEventEntry);
}

void SimGame::Init() {
    BeginStep();
    DetectRenderer();
    // The world is drawn once before the game hands over: the camera has its place.
    engine.RenderWorld();
    framework.FireEvent(kEventInit);
}

void SimGame::DetectRenderer() {
    // The GD3D11 renderer draws text itself unless its settings switch that off.
    if (FindRenderer(folder_) != RendererKind::Gd3d11) {
        engine.rendererDrawsText = false;
        return;
    }
    const auto settings = ReadGameFile("System/GD3D11/UserSettings.ini");
    if (!settings) {
        engine.rendererDrawsText = true;
        return;
    }
    const auto enable = IniFile::Parse(*settings).Find("FontRendering", "Enable");
    engine.rendererDrawsText = enable.has_value() && *enable == "1";
}

void SimGame::HoldKeys(const std::set<int>& keys) {
    for (const int key : heldKeys_) {
        if (!keys.contains(key)) {
            engine.SetKeyState(key, false);
        }
    }
    for (const int key : keys) {
        if (!heldKeys_.contains(key)) {
            engine.SetKeyState(key, true);
        }
    }
    heldKeys_ = keys;
}

std::vector<int> SimGame::Frame(std::uint32_t ms) {
    BeginStep();
    return PlayFrame(ms);
}

std::vector<int> SimGame::PlayFrame(std::uint32_t ms) {
    clock += ms;
    engine.ClearDrawRecords();
    framework.FireEvent(kEventPreLoop);
    // The player's AI collects its focus every frame, before the frame's event.
    engine.CollectPlayerFocus();
    framework.FireEvent(kEventLoop);
    engine.RenderWorld();
    engine.RenderScreen();
    return engine.TakeUnhandledKeyPresses();
}

std::string SimGame::SlotPath(int slot) const {
    return engine.options.directories.at(kSavegameDirectory) + engine.SlotFolder(slot);
}

bool SimGame::IsGameFile(std::string_view name) const {
    const auto same = [name](std::string_view other) { return EqualsIgnoringCase(name, other); };
    return std::any_of(kSavegameFiles.begin(), kSavegameFiles.end(), same) ||
           std::any_of(worldFiles_.begin(), worldFiles_.end(), same);
}

void SimGame::WriteCurrent() {
    const std::string current = SlotPath(kSaveSlotCurrent);
    const std::string worldFile = WorldSaveFile(worldName_);
    worldFiles_.insert(worldFile);
    // What the files hold is the engine's; the simulated game keeps the world itself in
    // memory and writes only what tells a savegame's files apart.
    WriteGameFile(current + "SAVEINFO.SAV", "world " + worldName_ + "\n");
    WriteGameFile(current + "SAVEDAT.SAV", "time " + std::to_string(clock) + "\n");
    WriteGameFile(current + worldFile, "world " + worldName_ + "\n");
}

void SimGame::ClearSlotFolder(const std::string& folder) {
    for (const std::string& name : folder_.FilesIn(folder)) {
        if (slotCopies == SlotCopies::AllFiles || IsGameFile(name)) {
            folder_.Remove(folder + name);
        }
    }
}

void SimGame::CopySlotFolder(const std::string& from, const std::string& to) {
    for (const std::string& name : folder_.FilesIn(from)) {
        if (slotCopies == SlotCopies::GameFiles && !IsGameFile(name)) {
            continue;
        }
        if (const auto bytes = ReadGameFile(from + name)) {
            WriteGameFile(to + name, *bytes);
        }
    }
}

void SimGame::FireSequence(std::initializer_list<int> events) {
    for (const int event : events) {
        framework.FireEvent(event);
    }
}

void SimGame::CheckPlayerSlot(int slot, std::string_view what) {
    if (slot < kSaveSlotQuicksave || slot > kLastPlayerSlot) {
        SimEngine::GameFault(std::string("the player cannot ") + std::string(what) + " slot " +
                             std::to_string(slot) + ": the game's menu offers 0 to " +
                             std::to_string(kLastPlayerSlot));
    }
}

void SimGame::Save(int slot, const SaveConditions& conditions) {
    CheckPlayerSlot(slot, "save");
    BeginStep();
    FireSequence({kEventPause, kEventUnpause});
    PlayFrame(kSequenceFrameMs);
    framework.saveLoadInfo = {conditions.recordSlot.value_or(slot), false, CStringA(worldName_),
                              CStringA()};
    framework.FireEvent(kEventSaveBegin);
    WriteCurrent();
    CopySlotFolder(SlotPath(kSaveSlotCurrent), SlotPath(slot));
    // The disk fills while the savegame's last files are written.
    folder_.SetDiskSpace(conditions.diskSpace);
    framework.FireEvent(kEventSaveEnd);
    folder_.SetDiskSpace(std::nullopt);
}

void SimGame::Load(int slot, const SaveConditions& conditions) {
    CheckPlayerSlot(slot, "load");
    BeginStep();
    FireSequence({kEventPause, kEventUnpause});
    const std::string folder = SlotPath(slot);
    if (const auto info = ReadGameFile(folder + "SAVEINFO.SAV")) {
        if (auto world = SavedWorld(*info)) {
            worldName_ = std::move(*world);
            worldFiles_.insert(WorldSaveFile(worldName_));
        }
    }
    framework.saveLoadInfo = {conditions.recordSlot.value_or(slot), false, CStringA(worldName_),
                              CStringA()};
    framework.FireEvent(kEventLoadBeginSaveGame);
    ClearSlotFolder(SlotPath(kSaveSlotCurrent));
    CopySlotFolder(folder, SlotPath(kSaveSlotCurrent));
    // The savegame's world comes back with its NPCs' inventories packed.
    engine.PackInventoriesForLoad();
    framework.FireEvent(kEventLoadEndSaveGame);
}

void SimGame::NewGame() {
    BeginStep();
    worldName_ = StartWorld(framework.engineVersion);
    framework.saveLoadInfo = {kSaveSlotNewGame, false, CStringA(worldName_), CStringA()};
    framework.FireEvent(kEventLoadBeginNewGame);
    ClearSlotFolder(SlotPath(kSaveSlotCurrent));
    framework.FireEvent(kEventLoadEndNewGame);
}

void SimGame::ChangeLevel(const std::string& world, const std::string& wayPoint) {
    BeginStep();
    FireSequence({kEventLoadBeginTrigger, kEventLoadEndTrigger});
    PlayFrame(kSequenceFrameMs);
    // The record keeps the slot of the last save or load: a level change names none of its
    // own.
    TSaveLoadGameInfo& record = framework.saveLoadInfo;
    record.changeLevel = true;
    record.worldName = CStringA(world);
    record.wayPoint = CStringA(wayPoint);
    framework.FireEvent(kEventLoadBeginChangeLevel);
    framework.FireEvent(kEventSaveBegin);
    WriteCurrent();
    framework.FireEvent(kEventSaveEnd);
    // A world the player was in before comes back from its save in "current", its NPCs'
    // inventories packed; a first visit loads it fresh.
    if (folder_.Exists(SlotPath(kSaveSlotCurrent) + WorldSaveFile(world)) && world != worldName_) {
        engine.PackInventoriesForLoad();
    }
    worldName_ = world;
    framework.FireEvent(kEventLoadEndChangeLevel);
}

void SimGame::ApplyOptions(const OptionValues& values) {
    BeginStep();
    for (const auto& [section, keys] : values) {
        for (const auto& [key, value] : keys) {
            engine.options.ini.Set(section, key, value);
        }
    }
    framework.FireEvent(kEventApplyOptions);
}

void SimGame::BeginStep() {
    engine.BeginStep();
    framework.ClearFiredEvents();
    stepStart_ = framework.Heap();
}

SimGame::StepHeap SimGame::LastStepHeap() const {
    const HeapFigures now = framework.Heap();
    return {now.allocations - stepStart_.allocations, now.releases - stepStart_.releases,
            now.bytesInUse - stepStart_.bytesInUse, now.bytesInUse};
}

HeapFigures SimGame::HeapSinceStart() const {
    const HeapFigures now = framework.Heap();
    return {now.allocations - gameStart_.allocations, now.releases - gameStart_.releases,
            now.bytesInUse};
}

bool SimGame::Exit() {
    return WriteGameFile("System/Gothic.ini", engine.options.ini.Text());
}

}  // namespace pilfern::sim
