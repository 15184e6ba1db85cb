#include "sim/sim_game.h"

#include "host/engine_profile.h"
#include "sim/renderer_module.h"

namespace pilfern::sim {
namespace {

// The engine version of the first Gothic, as the framework numbers engines.
constexpr int kGothicOneClassic = 1;
// The options' directory setting of the savegame folder.
constexpr std::size_t kSavegameDirectory = 2;

}  // namespace

SimGame::SimGame(std::filesystem::path workingFolder, int engineVersion,
                 std::optional<std::filesystem::path> installedFolder)
    : folder_(std::move(workingFolder), std::move(installedFolder)),
      engine(clock, redirects),
      framework(clock, redirects, folder_) {
    framework.engineVersion = engineVersion;
    engine.FollowEngineVersion(framework.engineVersion);
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

void SimGame::Init() {
    BeginStep();
    DetectRenderer();
    // The world is drawn once before the game hands over: the camera has its place.
    engine.RenderWorld();
    framework.FireEvent(kSlotGameInit);
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
    clock += ms;
    BeginStep();
    engine.ClearDrawRecords();
    framework.FireEvent(kSlotFrameInput);
    // The player's AI collects its focus every frame, before the frame's event.
    engine.CollectPlayerFocus();
    framework.FireEvent(kSlotFrame);
    engine.RenderWorld();
    engine.RenderScreen();
    return engine.TakeUnhandledKeyPresses();
}

void SimGame::Save(int slot, const SaveConditions& conditions) {
    folder_.SetDiskSpace(conditions.diskSpace);
    // The save event fires even when the working folder could not take the slot's file.
    WriteGameFile(engine.options.directories.at(kSavegameDirectory) + engine.SlotFolder(slot) +
                      "SAVEINFO.SAV",
                  "slot " + std::to_string(slot) + "\n");
    BeginStep();
    if (conditions.slotTold) {
        framework.saveLoadInfo = TSaveLoadGameInfo{slot};
    }
    framework.FireEvent(kSlotGameSave);
    framework.saveLoadInfo.reset();
    folder_.SetDiskSpace(std::nullopt);
}

void SimGame::Load(int slot, int eventSlot, bool slotTold) {
    BeginStep();
    if (slotTold) {
        framework.saveLoadInfo = TSaveLoadGameInfo{slot};
    }
    framework.FireEvent(eventSlot);
    framework.saveLoadInfo.reset();
}

void SimGame::ApplyOptions(const OptionValues& values) {
    BeginStep();
    for (const auto& [section, keys] : values) {
        for (const auto& [key, value] : keys) {
            engine.options.ini.Set(section, key, value);
        }
    }
    framework.FireEvent(kSlotOptionsApplied);
}

void SimGame::BeginStep() {
    engine.BeginStep();
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
