#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "host/cstring.h"
#include "host/framework_heap.h"
#include "host/timer.h"

namespace pilfern {

// A game-event handler as the framework calls it: no arguments, no result.
using EventHandler = void (*)();
inline constexpr std::size_t kEventSlotCount = 21;
// Handler per event slot; index 0 holds slot 1.
using EventTable = std::array<EventHandler, kEventSlotCount>;
// The functions a plugin module exports, by name, for the framework to call on each event, in
// the order of the slots.
inline constexpr std::array<std::string_view, kEventSlotCount> kEventExportNames{
    "Game_Entry",
    "Game_Init",
    "Game_Exit",
    "Game_PreLoop",
    "Game_Loop",
    "Game_PostLoop",
    "Game_MenuLoop",
    "Game_SaveBegin",
    "Game_SaveEnd",
    "Game_LoadBegin_NewGame",
    "Game_LoadEnd_NewGame",
    "Game_LoadBegin_SaveGame",
    "Game_LoadEnd_SaveGame",
    "Game_LoadBegin_ChangeLevel",
    "Game_LoadEnd_ChangeLevel",
    "Game_LoadBegin_Trigger",
    "Game_LoadEnd_Trigger",
    "Game_Pause",
    "Game_Unpause",
    "Game_DefineExternals",
    "Game_ApplyOptions"};

// The framework's slot numbers besides the savegames 1 to 20.
inline constexpr int kSaveSlotNone = -3;     // no save or load has named a slot yet
inline constexpr int kSaveSlotNewGame = -2;  // a new game is loaded
inline constexpr int kSaveSlotCurrent = -1;  // the game in progress ("current")
inline constexpr int kSaveSlotQuicksave = 0;

// The framework's record of the save or load in progress. It always exists; it keeps what the
// last save, load, new game or level change set until the next one.
struct TSaveLoadGameInfo {
    int slotNumber = kSaveSlotNone;
    // A level change is under way: its save and load are the engine's own, of the world being
    // left and the one entered, not the player's.
    bool changeLevel = false;
    CStringA worldName;  // the world being loaded or saved
    CStringA wayPoint;   // where the player starts in it after a level change
};

// A loaded module (the renderer's ddraw.dll) and an export found in it.
using ModuleHandle = const void*;
using ProcAddress = void (*)();

// The framework's code page argument of WriteToFileUTF8 and the default of WToA.
inline constexpr int kAnsiCodePageDefault = 4;

// One engine patch: an engine function redirected to a replacement of the plugin's.
class ModulePatchCallInfo {
public:
    ModulePatchCallInfo() = default;
    ModulePatchCallInfo(const ModulePatchCallInfo&) = delete;
    ModulePatchCallInfo& operator=(const ModulePatchCallInfo&) = delete;
    ModulePatchCallInfo(ModulePatchCallInfo&&) = delete;
    ModulePatchCallInfo& operator=(ModulePatchCallInfo&&) = delete;
    virtual ~ModulePatchCallInfo() = default;

    virtual void SetTemporary(std::uintptr_t engineFunction, std::uintptr_t replacement) = 0;
    virtual void SetCallPatch(std::uintptr_t origin, std::uintptr_t address) = 0;
    [[nodiscard]] virtual std::uintptr_t GetOrigin() const = 0;
    [[nodiscard]] virtual std::uintptr_t GetAddress() const = 0;
    [[nodiscard]] virtual std::uintptr_t GetReturnAddress() const = 0;
    virtual void RemoveCallPatch() = 0;
    virtual void Release() = 0;
};

class Framework {
public:
    Framework() = default;
    Framework(const Framework&) = delete;
    Framework& operator=(const Framework&) = delete;
    Framework(Framework&&) = delete;
    Framework& operator=(Framework&&) = delete;
    virtual ~Framework() = default;

    // The running engine, the system and the framework's own options.
    [[nodiscard]] virtual int GetEngineVersion() const = 0;
    [[nodiscard]] virtual int GetSystemLanguage() const = 0;
    [[nodiscard]] virtual bool ReadSysPackOption(const CStringA& section, const CStringA& key,
                                                 bool fallback) const = 0;
    virtual void DefineCRTVersion(int major, int minor, int build, int revision) = 0;
    [[nodiscard]] virtual std::uint32_t GetTime() const = 0;

    // Engine patching.
    [[nodiscard]] virtual std::uintptr_t FindEngineAddress(int engineVersion, const CStringA& name,
                                                           const CStringA& signature) const = 0;
    [[nodiscard]] virtual std::unique_ptr<ModulePatchCallInfo> CreatePatchCallInfo() = 0;

    // Game events and the save or load in progress.
    virtual void CreateRefApplication(const EventTable& handlers) = 0;
    [[nodiscard]] virtual const TSaveLoadGameInfo* SaveLoadGameInfo() const = 0;

    // Files relative to the game folder, text conversion and modules.
    [[nodiscard]] virtual bool FileExists(const CStringA& path) const = 0;
    [[nodiscard]] virtual bool ReadFromVdf(CStringA& text, const CStringA& path,
                                           int flags) const = 0;
    virtual bool WriteToFileUTF8(const CStringA& text, const CStringA& path, int codePage) = 0;
    [[nodiscard]] virtual CStringA WToA(const std::wstring& text, int codePage) const = 0;
    [[nodiscard]] virtual ModuleHandle LoadLibraryA(const CStringA& name) = 0;
    [[nodiscard]] virtual ProcAddress GetProcAddress(ModuleHandle module,
                                                     const CStringA& name) const = 0;
};

}  // namespace pilfern
