#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "core/auto_loot_verdicts.h"
#include "core/loot_records.h"
#include "core/settings.h"
#include "host/cstring.h"
#include "host/engine.h"
#include "host/engine_profile.h"
#include "host/framework.h"
#include "host/timer.h"
#include "platform/platform.h"

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
    // The renderer module's text-scale export, found once when the renderer is detected; none
    // without the module or the export.
    platform::RendererScaleFn rendererScale = nullptr;
};

// Told of each loot record as the plugin makes it, and of each auto-loot decision. The game
// has none; the simulator watches through it, so that it sees every record (also a row that
// the history's limit pushes out again at once) and can say why auto-loot left an object.
class LootWatcher {
public:
    LootWatcher() = default;
    LootWatcher(const LootWatcher&) = delete;
    LootWatcher& operator=(const LootWatcher&) = delete;
    LootWatcher(LootWatcher&&) = delete;
    LootWatcher& operator=(LootWatcher&&) = delete;
    virtual ~LootWatcher() = default;

    virtual void OnLootMessage(const MessageData& message) = 0;
    virtual void OnHistoryRow(const HistoryEntity& row) = 0;
    virtual void OnGroundItemJudged(const oCItem& /*item*/, GroundVerdict /*verdict*/) {}
    virtual void OnCorpseJudged(const oCNpc& /*npc*/, CorpseVerdict /*verdict*/) {}
};

// All state of the plugin for one engine version. Four are built when the library loads;
// only the one of the running engine registers handlers and arms patches. Every subsystem
// works on it; the frame builds it, stages its patches and drives it.
struct Instance {
    Instance(const EngineProfile& engineProfile, Engine& hostEngine, Framework& hostFramework)
        : profile(engineProfile),
          engine(hostEngine),
          framework(hostFramework),
          pluginTimer(hostFramework) {}
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;
    Instance(Instance&&) = delete;
    Instance& operator=(Instance&&) = delete;
    ~Instance() = default;

    const EngineProfile& profile;
    Engine& engine;
    Framework& framework;

    PluginSettings settings;
    PluginStatics statics;
    CStringA saveFileName{"PILFERN.SAV"};
    std::vector<TargetData> targetMarkers;
    std::vector<HistoryEntity> lootHistory;
    std::vector<MessageData> lootMessages;
    Timer pluginTimer;
    PatchRecords patches;
    TextHookState text;

    bool autoLootActive = false;
    bool historyVisible = false;
    std::uint32_t loadTime = 0;
    int fullSyncState = -1;
    bool gothicOneRoomRule = false;
    // The player's body is not the hero's own; noted every frame that reaches the
    // transformation test, and again by each auto-loot step.
    bool heroTransformed = false;
    // The hero's own body while transformed, during an auto-loot step only.
    oCNpc* heroOriginalBody = nullptr;
    // The body known as the hero's own, and the player's body in the last frame with a
    // player. Only compared and looked for in the world's list, never followed: the game
    // may have deleted either. Both are forgotten at a load, which makes every object anew.
    const oCNpc* heroBody = nullptr;
    const oCNpc* lastPlayerBody = nullptr;

    // The items one looting call takes from a corpse or a chest, kept between calls so that
    // looting reuses its memory.
    std::vector<oCItem*> takenItems;
    // The text of the history line being measured or drawn, kept between frames so that the
    // overlay builds every line in the same memory.
    zSTRING historyLine;
    // The same for the message row being drawn.
    zSTRING messageLine;
    LootWatcher* lootWatcher = nullptr;
    // The player's log in a running game (what options gave, fallbacks taken); none in the
    // simulated game, whose own reports say it.
    std::function<void(std::string_view)> log;
};

}  // namespace pilfern
