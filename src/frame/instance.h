#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "config/settings.h"
#include "feedback/target_markers.h"
#include "host/cstring.h"
#include "host/engine.h"
#include "host/engine_profile.h"
#include "host/framework.h"
#include "host/timer.h"
#include "looting/loot_records.h"

namespace pilfern {

// The records of the three engine patches; a record is absent when the running engine has
// no such function.
struct PatchRecords {
    std::unique_ptr<ModulePatchCallInfo> getFontData;
    std::unique_ptr<ModulePatchCallInfo> printChars;
    std::unique_ptr<ModulePatchCallInfo> setState;
};

// State of the text patches and of the renderer's own font scaling.
struct TextHookState {
    float glyphScale = 1.0F;
    bool scaledPrintActive = false;
    bool rendererFontScaling = false;
    bool ddrawPresent = false;
    ModuleHandle rendererModule = nullptr;
};

// All state of the plugin for one engine version. Four are built when the library loads;
// only the one of the running engine registers handlers and arms patches.
struct Instance {
    Instance(const EngineProfile& engineProfile, Engine& hostEngine, Framework& hostFramework);
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;
    Instance(Instance&&) = delete;
    Instance& operator=(Instance&&) = delete;
    ~Instance();

    const EngineProfile& profile;
    Engine& engine;
    Framework& framework;

    PluginSettings settings;
    PluginStatics statics;
    CStringA saveFileName{"PILFERN.SAV"};
    std::vector<TargetData> targetMarkers;
    std::vector<HistoryEntity> lootHistory;
    std::vector<MessageData> lootMessages;
    CStringA heroInstanceName;
    Timer pluginTimer;
    PatchRecords patches;
    TextHookState text;

    bool autoLootActive = false;
    bool historyVisible = false;
    std::uint32_t loadTime = 0;
    int fullSyncState = -1;
    bool gothicOneRoomRule = false;
    bool heroTransformed = false;
    oCNpc* heroOriginalBody = nullptr;
};

}  // namespace pilfern
