#include "frame/game_framework.h"

#include <utility>

#include "host/ini_file.h"
#include "platform/platform.h"

namespace pilfern {
namespace {

// The framework's language values the plugin tells apart.
constexpr int kOtherLanguage = 0;
constexpr int kRussian = 1;

constexpr std::string_view kSystemPackPath = "System\\SystemPack.ini";

}  // namespace

std::filesystem::path GameFolderAbove(const std::filesystem::path& executableFolder) {
    return executableFolder.parent_path();
}

GameFramework::GameFramework(std::filesystem::path gameFolder, int engineVersion,
                             EnginePatching patching)
    : gameFolder_(std::move(gameFolder)),
      engineVersion_(engineVersion),
      language_(platform::SystemSpeaksRussian() ? kRussian : kOtherLanguage),
      codePage_(platform::SystemCodePage()),
      patching_(std::move(patching)) {}

GameFramework::~GameFramework() {
    for (const ModuleHandle module : loadedModules_) {
        platform::UnloadModule(module);
    }
}

std::string GameFramework::SystemPath(std::string_view path) const {
    const std::filesystem::path native(platform::NativePath(path));
    return native.is_absolute() ? native.string() : (gameFolder_ / native).string();
}

int GameFramework::CodePageOf(int codePage) const {
    return codePage == kAnsiCodePageDefault ? codePage_ : codePage;
}

bool GameFramework::ReadSysPackOption(const CStringA& section, const CStringA& key,
                                      bool fallback) const {
    CStringA text;
    if (!ReadFromVdf(text, CStringA(kSystemPackPath), 0)) {
        return fallback;
    }
    return FrameworkSwitch(text.Str(), section.Str(), key.Str(), fallback);
}

// The runtime version is the framework's concern only where its C++ interface is used.
void GameFramework::DefineCRTVersion(int /*major*/, int /*minor*/, int /*build*/,
                                     int /*revision*/) {}

std::uint32_t GameFramework::GetTime() const {
    return platform::Milliseconds();
}

std::uintptr_t GameFramework::FindEngineAddress(int engineVersion, const CStringA& name,
                                                const CStringA& /*signature*/) const {
    if (engineVersion != engineVersion_ || !patching_.findAddress) {
        return 0;
    }
    return patching_.findAddress(engineVersion, name.Str());
}

std::unique_ptr<ModulePatchCallInfo> GameFramework::CreatePatchCallInfo() {
    return patching_.createRecord ? patching_.createRecord() : nullptr;
}

void GameFramework::CreateRefApplication(const EventTable& /*handlers*/) {}

bool GameFramework::FileExists(const CStringA& path) const {
    return platform::FileExists(SystemPath(path.Str()));
}

bool GameFramework::ReadFromVdf(CStringA& text, const CStringA& path, int /*flags*/) const {
    auto content = platform::ReadWholeFile(SystemPath(path.Str()));
    if (!content) {
        return false;
    }
    text = CStringA(std::move(*content));
    return true;
}

bool GameFramework::WriteToFileUTF8(const CStringA& text, const CStringA& path, int codePage) {
    return platform::WriteWholeFile(SystemPath(path.Str()),
                                    platform::CodePageToUtf8(text.Str(), CodePageOf(codePage)));
}

CStringA GameFramework::WToA(const std::wstring& text, int codePage) const {
    return CStringA(platform::Utf8ToCodePage(platform::WideToUtf8(text), CodePageOf(codePage)));
}

ModuleHandle GameFramework::LoadLibraryA(const CStringA& name) {
    const ModuleHandle module = platform::LoadModule(name.Str());
    if (module != nullptr) {
        loadedModules_.push_back(module);
    }
    return module;
}

ProcAddress GameFramework::GetProcAddress(ModuleHandle module, const CStringA& name) const {
    return platform::FindExport(module, name.Str());
}

void GameFramework::NoteSavegame(int slot) {
    saveLoad_.slotNumber = slot;
    saveLoad_.changeLevel = false;
}

void GameFramework::NoteNewGame() {
    saveLoad_.slotNumber = kSaveSlotNewGame;
    saveLoad_.changeLevel = false;
}

// The record keeps the slot of the last save or load: a level change names none of its own.
void GameFramework::NoteLevelChange(std::string_view world, std::string_view wayPoint) {
    saveLoad_.changeLevel = true;
    saveLoad_.worldName = CStringA(world);
    saveLoad_.wayPoint = CStringA(wayPoint);
}

}  // namespace pilfern
