#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/framework.h"

namespace pilfern {

// How the running game's engine is patched: the binding's lookup of the functions the plugin
// replaces and its records that rewrite their references.
struct EnginePatching {
    std::function<std::uintptr_t(int engineVersion, std::string_view lookupName)> findAddress;
    std::function<std::unique_ptr<ModulePatchCallInfo>()> createRecord;
};

// The framework's services in the running game, made by the plugin itself. The game's
// framework offers them only through its C++ interface, which another compiler built, so the
// plugin uses none of it: the clock and files are the system's, the game's folder is the one
// above its executable's, the engine version is the one the binding detected, and the save or
// load in progress is what the engine's own save and load functions were called with.
//
// Paths are game paths as the plugin names them: relative to the game folder, backslashes
// allowed; an absolute path (a savegame's, from the engine's options) is used as it is. The
// volumes of the game are not read: the files the plugin reads lie in the folders.
class GameFramework final : public Framework {
public:
    GameFramework(std::filesystem::path gameFolder, int engineVersion, EnginePatching patching);
    GameFramework(const GameFramework&) = delete;
    GameFramework& operator=(const GameFramework&) = delete;
    GameFramework(GameFramework&&) = delete;
    GameFramework& operator=(GameFramework&&) = delete;
    // Gives back the modules the plugin loaded.
    ~GameFramework() override;

    [[nodiscard]] int GetEngineVersion() const override { return engineVersion_; }
    [[nodiscard]] int GetSystemLanguage() const override { return language_; }
    // From System\SystemPack.ini, the framework's own option file: "true" or a number other
    // than 0 is true; a missing file or key gives the fallback.
    [[nodiscard]] bool ReadSysPackOption(const CStringA& section, const CStringA& key,
                                         bool fallback) const override;
    void DefineCRTVersion(int major, int minor, int build, int revision) override;
    [[nodiscard]] std::uint32_t GetTime() const override;

    [[nodiscard]] std::uintptr_t FindEngineAddress(int engineVersion, const CStringA& name,
                                                   const CStringA& signature) const override;
    [[nodiscard]] std::unique_ptr<ModulePatchCallInfo> CreatePatchCallInfo() override;

    // The module's exported event functions carry the events; the table needs no other home.
    void CreateRefApplication(const EventTable& handlers) override;
    [[nodiscard]] const TSaveLoadGameInfo* SaveLoadGameInfo() const override { return &saveLoad_; }

    [[nodiscard]] bool FileExists(const CStringA& path) const override;
    [[nodiscard]] bool ReadFromVdf(CStringA& text, const CStringA& path, int flags) const override;
    bool WriteToFileUTF8(const CStringA& text, const CStringA& path, int codePage) override;
    [[nodiscard]] CStringA WToA(const std::wstring& text, int codePage) const override;
    [[nodiscard]] ModuleHandle LoadLibraryA(const CStringA& name) override;
    [[nodiscard]] ProcAddress GetProcAddress(ModuleHandle module,
                                             const CStringA& name) const override;

    // What the engine's save and load functions were called with, as they start: a
    // savegame's slot, saved or loaded, a new game, or a level change.
    void NoteSavegame(int slot);
    void NoteNewGame();
    void NoteLevelChange(std::string_view world, std::string_view wayPoint);

    // The system path a game path names.
    [[nodiscard]] std::string SystemPath(std::string_view path) const;
    // The 8-bit code page of the game's texts on this system.
    [[nodiscard]] int CodePage() const { return codePage_; }

private:
    [[nodiscard]] int CodePageOf(int codePage) const;

    std::filesystem::path gameFolder_;
    int engineVersion_;
    int language_;
    int codePage_;
    EnginePatching patching_;
    TSaveLoadGameInfo saveLoad_;
    std::vector<ModuleHandle> loadedModules_;
};

// The game folder of a game whose executable lies in `executableFolder` (its System folder):
// the folder above it.
[[nodiscard]] std::filesystem::path GameFolderAbove(const std::filesystem::path& executableFolder);

}  // namespace pilfern
