#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "host/framework.h"
#include "sim/game_folder.h"
#include "sim/game_heaps.h"
#include "sim/redirects.h"

namespace pilfern::sim {

// What the game folder's System/ddraw.dll stands for: nothing, the GD3D11 renderer (a file
// starting with "GD3D11"), or another DirectDraw module (any other content).
enum class RendererKind { None, Gd3d11, OtherDirectDraw };
[[nodiscard]] RendererKind FindRenderer(const GameFolder& folder);

// The code page the game prints in under a system language: 1251 under a Russian system
// (language 1), 1252 under every other.
[[nodiscard]] int CodePageOfLanguage(int language);
// Wide text as the framework's WToA makes it the game's 8-bit text in `codePage`: a
// character the code page lacks becomes '?'.
[[nodiscard]] CStringA WideToGameText(const std::wstring& text, int codePage);

// The simulated plugin framework: engine version, patch records over the engine's redirect
// table, event registration, save/load information, and files of the game folder (read and
// written through its overlay).
class SimFramework final : public Framework {
public:
    SimFramework(const std::uint32_t& clock, RedirectTable& redirects, GameFolder& folder);

    [[nodiscard]] int GetEngineVersion() const override { return engineVersion; }
    [[nodiscard]] int GetSystemLanguage() const override { return systemLanguage; }
    [[nodiscard]] bool ReadSysPackOption(const CStringA& section, const CStringA& key,
                                         bool fallback) const override;
    void DefineCRTVersion(int major, int minor, int build, int revision) override;
    [[nodiscard]] std::uint32_t GetTime() const override { return clock_; }
    [[nodiscard]] std::uintptr_t FindEngineAddress(int version, const CStringA& name,
                                                   const CStringA& signature) const override;
    [[nodiscard]] std::unique_ptr<ModulePatchCallInfo> CreatePatchCallInfo() override;
    void CreateRefApplication(const EventTable& handlers) override;
    [[nodiscard]] const TSaveLoadGameInfo* SaveLoadGameInfo() const override;
    [[nodiscard]] bool FileExists(const CStringA& path) const override;
    [[nodiscard]] bool ReadFromVdf(CStringA& text, const CStringA& path, int flags) const override;
    bool WriteToFileUTF8(const CStringA& text, const CStringA& path, int codePage) override;
    [[nodiscard]] CStringA WToA(const std::wstring& text, int codePage) const override;
    [[nodiscard]] ModuleHandle LoadLibraryA(const CStringA& name) override;
    [[nodiscard]] ProcAddress GetProcAddress(ModuleHandle module,
                                             const CStringA& name) const override;

    // ---- The simulator's side ----

    int engineVersion = 4;
    int systemLanguage = 0;
    int codePage = 1252;  // the game's 8-bit code page
    // Engine functions (such as "zCFont::GetFontData") the running engine does not have.
    std::set<std::string> missingFunctions;
    // The record of the save or load in progress, which the game's sequences set.
    TSaveLoadGameInfo saveLoadInfo;

    [[nodiscard]] bool Registered() const { return registered_.has_value(); }
    [[nodiscard]] int Registrations() const { return registrations_; }
    [[nodiscard]] const std::optional<EventTable>& Handlers() const { return registered_; }
    [[nodiscard]] std::optional<std::array<int, 4>> CrtVersion() const { return crtVersion_; }
    // What the framework's heap has done since the process started: the plugin module's
    // allocations and the framework's strings.
    [[nodiscard]] HeapFigures Heap() const { return FrameworkHeapFigures(); }
    // The game reaches an event slot (1 to 21): the event is noted, and the handler is called:
    // the function a loaded plugin module exports for the slot, as the framework calls a
    // module, or else the one registered for it, when there is one.
    void FireEvent(int slot);
    // A loaded module's exported event functions, by slot (none: back to the registered ones).
    void DeliverEventsThrough(const std::optional<EventTable>& exports) { exports_ = exports; }
    // The events fired since the journal was last cleared, in order.
    [[nodiscard]] const std::vector<int>& FiredEvents() const { return fired_; }
    void ClearFiredEvents() { fired_.clear(); }

private:
    const std::uint32_t& clock_;
    RedirectTable& redirects_;
    GameFolder& folder_;
    std::optional<EventTable> registered_;
    std::optional<EventTable> exports_;
    int registrations_ = 0;
    std::vector<int> fired_;
    std::optional<std::array<int, 4>> crtVersion_;
};

}  // namespace pilfern::sim
