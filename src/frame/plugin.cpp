#include "frame/plugin.h"

#include <string>
#include <string_view>

#include "config/options.h"
#include "core/engine_patches.h"
#include "frame/frame_driver.h"
#include "frame/hooks.h"
#include "frame/input.h"
#include "frame/module_events.h"
#include "persistence/save_state.h"

namespace pilfern {
namespace {

std::size_t SlotOf(const EngineProfile& profile) {
    return static_cast<std::size_t>(profile.version - 1);
}

// Signature texts of the replaced member functions, in the form the framework's lookup
// expects; "@" stands for the engine's namespace.
struct PatchDescription {
    std::string_view name;
    std::string_view signature;
    std::unique_ptr<ModulePatchCallInfo> PatchRecords::*record;
    std::uintptr_t (*replacement)(const InstanceEntryPoints& entryPoints);
};

constexpr std::array<PatchDescription, 3> kPatches{{
    {"&zCFont::GetFontData",
     "int (__thiscall @::zCFont::*)(unsigned char,int &,@::zVEC2 &,@::zVEC2 &)",
     &PatchRecords::getFontData,
     [](const InstanceEntryPoints& entry) { return AddressOf(entry.getFontData); }},
    {"&zCView::PrintChars", "void (__thiscall @::zCView::*)(int,int,@::zSTRING const &)",
     &PatchRecords::printChars,
     [](const InstanceEntryPoints& entry) { return AddressOf(entry.printChars); }},
    {"&zCInput_Win32::SetState", "int (__thiscall @::zCInput_Win32::*)(unsigned short,int)",
     &PatchRecords::setState,
     [](const InstanceEntryPoints& entry) { return AddressOf(entry.setState); }},
}};

CStringA SignatureIn(std::string_view pattern, std::string_view engineNamespace) {
    std::string text;
    for (const char c : pattern) {
        if (c == '@') {
            text += engineNamespace;
        } else {
            text += c;
        }
    }
    return CStringA(text);
}

EventTable EventTableFor(const InstanceEntryPoints& entry) {
    EventTable table{};
    table.fill(&EmptyHandler);
    const auto slot = [&table](int number) -> EventHandler& {
        return table.at(static_cast<std::size_t>(number - 1));
    };
    slot(2) = entry.onGameInit;
    slot(4) = entry.onFrameInput;
    slot(5) = entry.onFrame;
    slot(9) = entry.onGameSave;
    slot(11) = entry.onGameLoad;
    slot(13) = entry.onGameLoad;
    slot(15) = entry.onGameLoad;
    slot(21) = entry.onOptionsApplied;
    return table;
}

// An instance as the library's static construction makes it: its state, then its three
// patches staged in order, then its registration when its engine runs.
std::unique_ptr<Instance> BuildInstance(const EngineProfile& profile, Engine& engine,
                                        Framework& framework) {
    auto instance = std::make_unique<Instance>(profile, engine, framework);
    BindEntryPoints(SlotOf(profile), instance.get());
    const InstanceEntryPoints& entry = EntryPointsFor(SlotOf(profile));
    for (const PatchDescription& patch : kPatches) {
        StageEnginePatch(*instance, CStringA(patch.name),
                         SignatureIn(patch.signature, profile.engineNamespace),
                         patch.replacement(entry), instance->patches.*patch.record);
    }
    RegisterForRunningEngine(*instance);
    return instance;
}

// Unload undoes construction in reverse: the patch records staged last go first.
void UnloadInstance(Instance& instance) {
    // Reverse iterators, since the fuzzing build's clang cannot compile a reversed view here.
    // NOLINTNEXTLINE(modernize-loop-convert)
    for (auto patch = kPatches.rbegin(); patch != kPatches.rend(); ++patch) {
        if (const auto& record = instance.patches.*(patch->record)) {
            record->Release();
        }
    }
    if (instance.framework.GetEngineVersion() == instance.profile.version) {
        WithdrawModuleEvents();
    }
    BindEntryPoints(SlotOf(instance.profile), nullptr);
}

}  // namespace

void RegisterForRunningEngine(Instance& instance) {
    if (instance.framework.GetEngineVersion() != instance.profile.version) {
        return;
    }
    const EventTable events = EventTableFor(EntryPointsFor(SlotOf(instance.profile)));
    instance.framework.CreateRefApplication(events);
    PublishModuleEvents(events);
}

void OnGameInit(Instance& instance) {
    LoadOptions(instance);
    instance.pluginTimer.ClearUnused();
    instance.autoLootActive = false;
    instance.gothicOneRoomRule = instance.profile.gothicOneRules;
    if (instance.profile.gothicOneRules) {
        ArmEnginePatch(instance.patches.setState.get());
    }
}

void OnFrameInput(Instance& instance) {
    HandleEscapeForHistory(instance);
}

void OnFrame(Instance& instance) {
    FrameUpdate(instance);
}

void OnGameSave(Instance& instance) {
    SaveLootState(instance);
}

void OnGameLoad(Instance& instance) {
    instance.loadTime = instance.framework.GetTime();
    instance.historyVisible = false;
    LoadLootState(instance);
    instance.lootMessages.clear();
    instance.targetMarkers.clear();
    instance.fullSyncState = -1;
    instance.heroBody = nullptr;
    instance.lastPlayerBody = nullptr;
}

void OnOptionsApplied(Instance& instance) {
    ReloadOptions(instance);
}

void EmptyHandler() {}

bool OnLibraryAttach(Framework& framework, unsigned long reason) {
    constexpr unsigned long kProcessAttach = 1;
    if (reason == kProcessAttach) {
        framework.DefineCRTVersion(14, 16, 27045, 0);
    }
    return true;
}

PluginLibrary::PluginLibrary(Framework& framework, Engine& engine) {
    for (std::size_t i = 0; i < kEngineProfiles.size(); ++i) {
        instances_.at(i) = BuildInstance(kEngineProfiles.at(i), engine, framework);
    }
}

PluginLibrary::~PluginLibrary() {
    // NOLINTNEXTLINE(modernize-loop-convert): as in UnloadInstance
    for (auto instance = instances_.rbegin(); instance != instances_.rend(); ++instance) {
        UnloadInstance(**instance);
        instance->reset();
    }
}

Instance* PluginLibrary::Find(int version) const {
    for (const auto& instance : instances_) {
        if (instance && instance->profile.version == version) {
            return instance.get();
        }
    }
    return nullptr;
}

}  // namespace pilfern
