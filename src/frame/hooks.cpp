#include "frame/hooks.h"

#include "core/engine_cast.h"
#include "frame/input.h"
#include "frame/plugin.h"
#include "frame/text_hooks.h"

namespace pilfern {
namespace {

// The instance each slot's entry points reach; set while the instance exists.
std::array<Instance*, 4> boundInstances{};

// Nothing the plugin's own code throws may cross into the game or its framework, which
// cannot unwind through it: the game would end. Each entry point stops it there and carries
// on as though the plugin had not acted: an event does nothing more, a replacement answers as
// the engine's own function would. Should even that throw, the answer is the type's zero.
template <class Body, class Fallback>
auto Contained(const Body& body, const Fallback& fallback) noexcept -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        try {
            return fallback();
        } catch (...) {
            return decltype(body())();
        }
    }
}

void Nothing() {}

template <std::size_t Slot>
struct Thunks {
    static Instance& Target() { return *boundInstances[Slot]; }

    // The replacements are called by the engine as its own member functions were.
    static int ENGINE_MEMBER_CALL GetFontData(zCFont* font, unsigned char character, int& width,
                                              zVEC2& uv0, zVEC2& uv1) {
        return Contained(
            [&] { return GetFontData_Hook(Target(), font, character, width, uv0, uv1); },
            [&] {
                return OriginalOf<FontGetFontDataFn>(*Target().patches.getFontData)(
                    font, character, width, uv0, uv1);
            });
    }
    static void ENGINE_MEMBER_CALL PrintChars(zCView* view, int x, int y,
                                              const zSTRING_Engine& text) {
        Contained([&] { PrintChars_Hook(Target(), view, x, y, text); },
                  [&] {
                      const auto print = OriginalOf<ViewPrintCharsFn>(*Target().patches.printChars);
                      print(view, x, y, text);
                  });
    }
    static int ENGINE_MEMBER_CALL SetState(zCInput_Win32* input, unsigned short key, int state) {
        return Contained([&] { return SetState_Hook(Target(), input, key, state); },
                         [&] {
                             return OriginalOf<InputSetStateFn>(*Target().patches.setState)(
                                 input, key, state);
                         });
    }
    static void GameInit() {
        Contained([] { OnGameInit(Target()); }, Nothing);
    }
    static void FrameInput() {
        Contained([] { OnFrameInput(Target()); }, Nothing);
    }
    static void Frame() {
        Contained([] { OnFrame(Target()); }, Nothing);
    }
    static void GameSave() {
        Contained([] { OnGameSave(Target()); }, Nothing);
    }
    static void GameLoad() {
        Contained([] { OnGameLoad(Target()); }, Nothing);
    }
    static void OptionsApplied() {
        Contained([] { OnOptionsApplied(Target()); }, Nothing);
    }

    static constexpr InstanceEntryPoints kEntryPoints{
        &GetFontData, &PrintChars, &SetState, &GameInit,       &FrameInput,
        &Frame,       &GameSave,   &GameLoad, &OptionsApplied,
    };
};

constexpr std::array<InstanceEntryPoints, 4> kEntryPointTable{
    Thunks<0>::kEntryPoints,
    Thunks<1>::kEntryPoints,
    Thunks<2>::kEntryPoints,
    Thunks<3>::kEntryPoints,
};

}  // namespace

const InstanceEntryPoints& EntryPointsFor(std::size_t slot) {
    return kEntryPointTable.at(slot);
}

void BindEntryPoints(std::size_t slot, Instance* instance) {
    boundInstances.at(slot) = instance;
}

void* PublishedEngineCast(zCObject* object, EngineClass target) noexcept {
    return Contained(
        [&]() -> void* {
            for (Instance* instance : boundInstances) {
                if (instance != nullptr &&
                    instance->framework.GetEngineVersion() == instance->profile.version) {
                    return EngineCast(instance->engine, object, target);
                }
            }
            return nullptr;
        },
        []() -> void* { return nullptr; });
}

}  // namespace pilfern
