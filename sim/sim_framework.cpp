#include "sim/sim_framework.h"

#include <array>
#include <fstream>
#include <string_view>

#include "host/engine_profile.h"
#include "host/ini_file.h"
#include "platform/platform.h"
#include "sim/renderer_module.h"
#include "sim/sim_engine.h"

namespace pilfern::sim {
namespace {

// The engine functions the framework can look up, with the signature texts their lookup
// answers to; '@' stands for the engine's namespace.
struct EngineFunction {
    std::string_view name;
    std::string_view signature;
    std::uintptr_t address;
};

std::array<EngineFunction, 3> EngineFunctions() {
    return {{
        {"zCFont::GetFontData",
         "int (__thiscall @::zCFont::*)(unsigned char,int &,@::zVEC2 &,@::zVEC2 &)",
         reinterpret_cast<std::uintptr_t>(&EngineGetFontData)},
        {"zCView::PrintChars", "void (__thiscall @::zCView::*)(int,int,@::zSTRING const &)",
         reinterpret_cast<std::uintptr_t>(&EnginePrintChars)},
        {"zCInput_Win32::SetState", "int (__thiscall @::zCInput_Win32::*)(unsigned short,int)",
         reinterpret_cast<std::uintptr_t>(&EngineSetState)},
    }};
}

std::string InNamespace(std::string_view pattern, std::string_view engineNamespace) {
    std::string text;
    for (const char c : pattern) {
        text += c == '@' ? std::string(engineNamespace) : std::string(1, c);
    }
    return text;
}

// A patch record over the engine's redirect table.
class SimPatch final : public ModulePatchCallInfo {
public:
    explicit SimPatch(RedirectTable& redirects) : redirects_(redirects) {}

    void SetTemporary(std::uintptr_t engineFunction, std::uintptr_t replacement) override {
        origin_ = engineFunction;
        address_ = replacement;
    }
    void SetCallPatch(std::uintptr_t origin, std::uintptr_t address) override {
        redirects_.Redirect(origin, address);
        armed_ = true;
    }
    [[nodiscard]] std::uintptr_t GetOrigin() const override { return origin_; }
    [[nodiscard]] std::uintptr_t GetAddress() const override { return address_; }
    // The engine calls its patchable functions through the redirect table, so the
    // function's own body stays reachable at its address.
    [[nodiscard]] std::uintptr_t GetReturnAddress() const override { return origin_; }
    void RemoveCallPatch() override {
        if (armed_) {
            redirects_.Restore(origin_);
            armed_ = false;
        }
    }
    void Release() override {
        RemoveCallPatch();
        origin_ = 0;
        address_ = 0;
    }

private:
    RedirectTable& redirects_;
    std::uintptr_t origin_ = 0;
    std::uintptr_t address_ = 0;
    bool armed_ = false;
};

// Stands for a loaded DirectDraw module that is not the GD3D11 renderer.
constexpr int kOtherDirectDrawModule = 0;

constexpr int kRussian = 1;

}  // namespace

int CodePageOfLanguage(int language) {
    return language == kRussian ? 1251 : 1252;
}

CStringA WideToGameText(const std::wstring& text, int codePage) {
    return CStringA(platform::Utf8ToCodePage(platform::WideToUtf8(text), codePage));
}

RendererKind FindRenderer(const GameFolder& folder) {
    const auto found = folder.Find("System/ddraw.dll");
    if (!found) {
        return RendererKind::None;
    }
    // Only the start tells: a real module may be large.
    std::ifstream file(*found, std::ios::binary);
    std::string start(6, '\0');
    file.read(start.data(), static_cast<std::streamsize>(start.size()));
    return start == "GD3D11" ? RendererKind::Gd3d11 : RendererKind::OtherDirectDraw;
}

SimFramework::SimFramework(const std::uint32_t& clock, RedirectTable& redirects, GameFolder& folder)
    : clock_(clock), redirects_(redirects), folder_(folder) {}

bool SimFramework::ReadSysPackOption(const CStringA& section, const CStringA& key,
                                     bool fallback) const {
    CStringA text;
    if (!ReadFromVdf(text, CStringA("System\\SystemPack.ini"), 0)) {
        return fallback;
    }
    return FrameworkSwitch(text.Str(), section.Str(), key.Str(), fallback);
}

void SimFramework::DefineCRTVersion(int major, int minor, int build, int revision) {
    crtVersion_ = std::array<int, 4>{major, minor, build, revision};
}

std::uintptr_t SimFramework::FindEngineAddress(int version, const CStringA& name,
                                               const CStringA& signature) const {
    const EngineProfile* profile = FindEngineProfile(version);
    if (version != engineVersion || profile == nullptr) {
        return 0;
    }
    for (const EngineFunction& function : EngineFunctions()) {
        if (name.Str() != "&" + std::string(function.name) ||
            signature.Str() != InNamespace(function.signature, profile->engineNamespace)) {
            continue;
        }
        return missingFunctions.contains(std::string(function.name)) ? 0 : function.address;
    }
    return 0;
}

std::unique_ptr<ModulePatchCallInfo> SimFramework::CreatePatchCallInfo() {
    return std::make_unique<SimPatch>(redirects_);
}

void SimFramework::CreateRefApplication(const EventTable& handlers) {
    registered_ = handlers;
    ++registrations_;
}

const TSaveLoadGameInfo* SimFramework::SaveLoadGameInfo() const {
    return &saveLoadInfo;
}

void SimFramework::FireEvent(int slot) {
    if (slot < 1 || slot > static_cast<int>(kEventSlotCount)) {
        return;
    }
    fired_.push_back(slot);
    const std::optional<EventTable>& handlers = exports_ ? exports_ : registered_;
    if (!handlers) {
        return;
    }
    if (const EventHandler handler = handlers->at(static_cast<std::size_t>(slot - 1))) {
        handler();
    }
}

bool SimFramework::FileExists(const CStringA& path) const {
    return folder_.Exists(path.Str());
}

bool SimFramework::ReadFromVdf(CStringA& text, const CStringA& path, int /*flags*/) const {
    auto content = folder_.Read(path.Str());
    if (!content) {
        return false;
    }
    text = CStringA(std::move(*content));
    return true;
}

bool SimFramework::WriteToFileUTF8(const CStringA& text, const CStringA& path, int /*codePage*/) {
    return folder_.Write(path.Str(), platform::CodePageToUtf8(text.Str(), codePage));
}

CStringA SimFramework::WToA(const std::wstring& text, int /*codePage*/) const {
    return WideToGameText(text, codePage);
}

ModuleHandle SimFramework::LoadLibraryA(const CStringA& name) {
    // The game folder's ddraw.dll is the simulator's GD3D11 renderer module, or another
    // DirectDraw module that loads but exports nothing the plugin asks for.
    if (!name.CompareI(CStringA("ddraw.dll"))) {
        return nullptr;
    }
    switch (FindRenderer(folder_)) {
    case RendererKind::Gd3d11:
        return LoadRendererModule();
    case RendererKind::OtherDirectDraw:
        return &kOtherDirectDrawModule;
    case RendererKind::None:
        break;
    }
    return nullptr;
}

ProcAddress SimFramework::GetProcAddress(ModuleHandle module, const CStringA& name) const {
    return FindRendererExport(module, name.Str());
}

}  // namespace pilfern::sim
