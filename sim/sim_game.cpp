#include "sim/sim_game.h"

#include <fstream>
#include <sstream>

#include "host/engine_profile.h"
#include "sim/renderer_module.h"

namespace pilfern::sim {

SimGame::SimGame(std::filesystem::path gameFolder, int engineVersion)
    : engine(clock, redirects), framework(clock, redirects, std::move(gameFolder)) {
    framework.engineVersion = engineVersion;
    ResetRenderer();
    // The engine's base directory is the game folder; savegames lie in its SAVES folder.
    std::string base = framework.GameFolder().string();
    if (!base.empty() && base.back() != '/' && base.back() != '\\') {
        base += static_cast<char>(std::filesystem::path::preferred_separator);
    }
    engine.options.directories.at(23) = base;
    engine.options.directories.at(24) = base;
    ReadGameIni();
}

void SimGame::ReadGameIni() {
    std::ifstream file(framework.GameFolder() / "System" / "Gothic.ini", std::ios::binary);
    std::ostringstream content;
    if (file) {
        content << file.rdbuf();
    }
    engine.options.ini = IniFile::Parse(content.str());
}

void SimGame::Init() {
    engine.BeginStep();
    DetectRenderer();
    framework.FireEvent(kSlotGameInit);
}

void SimGame::DetectRenderer() {
    // The GD3D11 renderer draws text itself unless its settings switch that off.
    const std::filesystem::path system = framework.GameFolder() / "System";
    if (FindRenderer(framework.GameFolder()) != RendererKind::Gd3d11) {
        engine.rendererDrawsText = false;
        return;
    }
    std::ifstream file(system / "GD3D11" / "UserSettings.ini", std::ios::binary);
    if (!file) {
        engine.rendererDrawsText = true;
        return;
    }
    std::ostringstream content;
    content << file.rdbuf();
    const auto enable = IniFile::Parse(content.str()).Find("FontRendering", "Enable");
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
    engine.BeginStep();
    engine.ClearDrawRecords();
    framework.FireEvent(kSlotFrameInput);
    framework.FireEvent(kSlotFrame);
    engine.RenderScreen();
    return engine.TakeUnhandledKeyPresses();
}

void SimGame::Save(int slot) {
    const std::string folder =
        slot > 0 ? "savegame" + std::to_string(slot) : (slot == 0 ? "quicksave" : "current");
    const std::filesystem::path path = framework.GameFolder() / "SAVES" / folder;
    std::filesystem::create_directories(path);
    std::ofstream(path / "SAVEINFO.SAV", std::ios::binary) << "slot " << slot << "\n";
    engine.BeginStep();
    framework.saveLoadInfo = TSaveLoadGameInfo{slot};
    framework.FireEvent(kSlotGameSave);
    framework.saveLoadInfo.reset();
}

void SimGame::Load(int slot, int eventSlot) {
    engine.BeginStep();
    framework.saveLoadInfo = TSaveLoadGameInfo{slot};
    framework.FireEvent(eventSlot);
    framework.saveLoadInfo.reset();
}

void SimGame::ApplyOptions() {
    engine.BeginStep();
    ReadGameIni();
    framework.FireEvent(kSlotOptionsApplied);
}

}  // namespace pilfern::sim
