#include <array>
#include <string>
#include <utility>
#include <vector>

#include "binding/engine/bind_to_game.h"
#include "binding/engine_facts.h"
#include "binding/patching/reference_patch_record.h"
#include "frame/running_game.h"
#include "host/engine_string.h"
#include "platform/platform.h"

// The running game bound through the engine facts: its engine, the framework's services made
// by the plugin, and the save and load functions of the engine observed, each through the
// references to it in the game's image.
namespace pilfern {
namespace {

// The engine's save and load functions, whose calls tell the save or load in progress: the
// slot a savegame is written to or loaded from, a new game, a level change's world.
enum class Watched : std::uint8_t { WriteSavegame, LoadSavegame, LoadGame, ChangeLevel };
constexpr std::size_t kWatchedCount = 4;

// The observation of one process's game.
struct Observation {
    GameFramework* framework = nullptr;
    std::array<binding::abi::EngineAddress, kWatchedCount> engine{};  // the engine's own
};

Observation& Current() {
    static Observation observation;
    return observation;
}

binding::abi::EngineAddress EngineFunction(Watched watched) {
    return Current().engine.at(static_cast<std::size_t>(watched));
}

// Tells the framework's record; nothing thrown reaches the engine's caller.
template <class Note>
void Noting(const Note& note) noexcept {
    if (GameFramework* framework = Current().framework) {
        try {
            note(*framework);
        } catch (...) {
            // The record keeps what it held: the save or load itself goes on.
        }
    }
}

using SlotCallFn = void(__attribute__((thiscall)) *)(void* game, int slot, int flag);
using LoadGameFn = void(__attribute__((thiscall)) *)(void* game, int slot,
                                                     const zSTRING_Engine* level);
using ChangeLevelFn = void(__attribute__((thiscall)) *)(void* game, const zSTRING_Engine* world,
                                                        const zSTRING_Engine* wayPoint);

// oCGame::WriteSavegame(int slot, int saveGlobals)
void __attribute__((thiscall)) ObservedWriteSavegame(void* game, int slot, int flag) {
    Noting([slot](GameFramework& framework) { framework.NoteSavegame(slot); });
    reinterpret_cast<SlotCallFn>(EngineFunction(Watched::WriteSavegame))(game, slot, flag);
}

// oCGame::LoadSavegame(int slot, int loadGlobals)
void __attribute__((thiscall)) ObservedLoadSavegame(void* game, int slot, int flag) {
    Noting([slot](GameFramework& framework) { framework.NoteSavegame(slot); });
    reinterpret_cast<SlotCallFn>(EngineFunction(Watched::LoadSavegame))(game, slot, flag);
}

// oCGame::LoadGame(int slot, const zSTRING& level): the game's start of a new game.
void __attribute__((thiscall)) ObservedLoadGame(void* game, int slot, const zSTRING_Engine* level) {
    Noting([](GameFramework& framework) { framework.NoteNewGame(); });
    reinterpret_cast<LoadGameFn>(EngineFunction(Watched::LoadGame))(game, slot, level);
}

// oCGame::ChangeLevel(const zSTRING& world, const zSTRING& wayPoint)
void __attribute__((thiscall))
ObservedChangeLevel(void* game, const zSTRING_Engine* world, const zSTRING_Engine* wayPoint) {
    Noting([world, wayPoint](GameFramework& framework) {
        framework.NoteLevelChange(world == nullptr ? std::string_view() : world->Text(),
                                  wayPoint == nullptr ? std::string_view() : wayPoint->Text());
    });
    reinterpret_cast<ChangeLevelFn>(EngineFunction(Watched::ChangeLevel))(game, world, wayPoint);
}

struct WatchedFunction {
    Watched watched;
    std::string_view fact;
    std::string_view name;
    std::uintptr_t observer;
};

std::array<WatchedFunction, kWatchedCount> WatchedFunctions() {
    return {{
        {Watched::WriteSavegame, "hook:save(oCGame::WriteSavegame)", "oCGame::WriteSavegame",
         reinterpret_cast<std::uintptr_t>(&ObservedWriteSavegame)},
        {Watched::LoadSavegame, "hook:load_save(oCGame::LoadSavegame)", "oCGame::LoadSavegame",
         reinterpret_cast<std::uintptr_t>(&ObservedLoadSavegame)},
        {Watched::LoadGame, "hook:load_new(oCGame::LoadGame)", "oCGame::LoadGame",
         reinterpret_cast<std::uintptr_t>(&ObservedLoadGame)},
        {Watched::ChangeLevel, "hook:change_level(oCGame::ChangeLevel)", "oCGame::ChangeLevel",
         reinterpret_cast<std::uintptr_t>(&ObservedChangeLevel)},
    }};
}

std::uintptr_t FactValue(int version, std::string_view name) {
    const binding::EngineFact* fact = binding::FindEngineFact(version, name);
    return fact == nullptr ? 0 : fact->value;
}

// The name the facts give the engine function a replacement takes the place of, else its
// address.
std::string ReplacedName(int version, std::uintptr_t origin) {
    constexpr std::string_view kReplace = "hook:replace(";
    for (const binding::EngineFact& fact : binding::EngineFacts(version)) {
        if (fact.kind == binding::FactKind::Function && fact.value == origin &&
            fact.operation.starts_with(kReplace) && fact.operation.ends_with(')')) {
            return std::string(fact.operation.substr(kReplace.size(),
                                                     fact.operation.size() - kReplace.size() - 1));
        }
    }
    return binding::HexAddress(origin);
}

// The log's line for a change a patch record made to the game's image; a record without a name
// is a replacement's.
binding::ReferencePatchRecord::Report ReportTo(const LogLine& log, int version, std::string name) {
    return [log, version, name = std::move(name)](const binding::ReferencePatchRecord& record) {
        const binding::PatchOutcome& outcome = record.LastOutcome();
        const std::string what =
            "Pilfern: " + (name.empty() ? ReplacedName(version, record.GetOrigin()) : name);
        const std::string counts = std::to_string(outcome.references) + " references, " +
                                   std::to_string(outcome.left) + " left as found";
        if (record.InForce()) {
            log(what + " patched: " + counts);
        } else if (outcome.done) {
            log(what + " restored: " + counts);
        } else {
            log(what + " not patched: its references are not as found, nothing written (" + counts +
                ")");
        }
    };
}

class BoundGame final : public RunningGame {
public:
    BoundGame(binding::GameBinding binding, const LogLine& log)
        : engine_(std::move(binding.engine)),
          framework_(
              GameFolderAbove(platform::ExecutableFolder()), binding.version,
              EnginePatching{&binding::ReplacedFunctionAddress, [log, version = binding.version] {
                                 return std::make_unique<binding::ReferencePatchRecord>(
                                     binding::kGameImageBase, ReportTo(log, version, {}));
                             }}) {
        Current().framework = &framework_;
        // A heap the facts do not name stays none: the plugin then makes no engine texts.
        heapAlloc_ = FactValue(binding.version, "heap:operator new");
        heapFree_ = FactValue(binding.version, "heap:operator delete");
        for (const WatchedFunction& function : WatchedFunctions()) {
            const binding::EngineFact* fact =
                binding::FindEngineFact(binding.version, function.fact);
            if (fact == nullptr || fact->kind != binding::FactKind::Function) {
                log("Pilfern: the facts name no " + std::string(function.name) +
                    "; the history is not kept with that step");
                continue;
            }
            Current().engine.at(static_cast<std::size_t>(function.watched)) = fact->value;
            auto& record = observers_.emplace_back(std::make_unique<binding::ReferencePatchRecord>(
                binding::kGameImageBase,
                ReportTo(log, binding.version, std::string(function.name))));
            record->SetCallPatch(fact->value, function.observer);
        }
    }
    BoundGame(const BoundGame&) = delete;
    BoundGame& operator=(const BoundGame&) = delete;
    BoundGame(BoundGame&&) = delete;
    BoundGame& operator=(BoundGame&&) = delete;
    ~BoundGame() override {
        for (auto& record : observers_) {
            record->Release();
        }
        Current() = Observation{};
    }

    [[nodiscard]] GameFramework& Framework() override { return framework_; }
    [[nodiscard]] Engine* BoundEngine() override { return engine_.get(); }
    [[nodiscard]] HeapAllocFn EngineHeapAlloc() const override {
        return reinterpret_cast<HeapAllocFn>(heapAlloc_);
    }
    [[nodiscard]] HeapFreeFn EngineHeapFree() const override {
        return reinterpret_cast<HeapFreeFn>(heapFree_);
    }

private:
    std::unique_ptr<binding::BoundEngine> engine_;
    GameFramework framework_;
    std::vector<std::unique_ptr<binding::ReferencePatchRecord>> observers_;
    std::uintptr_t heapAlloc_ = 0;
    std::uintptr_t heapFree_ = 0;
};

}  // namespace

std::unique_ptr<RunningGame> BindRunningGame(const LogLine& log) {
    const binding::LiveProcessMemory memory;
    binding::GameBinding binding = binding::BindToGame(memory);
    log(binding.line);
    if (!binding.engine) {
        return GameWithoutEngine();
    }
    return std::make_unique<BoundGame>(std::move(binding), log);
}

}  // namespace pilfern
