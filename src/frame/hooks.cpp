#include "frame/hooks.h"

#include "frame/input.h"
#include "frame/plugin.h"
#include "frame/text_hooks.h"

namespace pilfern {
namespace {

// The instance each slot's entry points reach; set while the instance exists.
std::array<Instance*, 4> boundInstances{};

template <std::size_t Slot>
struct Thunks {
    static Instance& Target() { return *boundInstances[Slot]; }

    // The replacements are called by the engine as its own member functions were.
    static int ENGINE_MEMBER_CALL GetFontData(zCFont* font, unsigned char character, int& width,
                                              zVEC2& uv0, zVEC2& uv1) {
        return GetFontData_Hook(Target(), font, character, width, uv0, uv1);
    }
    static void ENGINE_MEMBER_CALL PrintChars(zCView* view, int x, int y, const zSTRING& text) {
        PrintChars_Hook(Target(), view, x, y, text);
    }
    static int ENGINE_MEMBER_CALL SetState(zCInput_Win32* input, unsigned short key, int state) {
        return SetState_Hook(Target(), input, key, state);
    }
    static void GameInit() { OnGameInit(Target()); }
    static void FrameInput() { OnFrameInput(Target()); }
    static void Frame() { OnFrame(Target()); }
    static void GameSave() { OnGameSave(Target()); }
    static void GameLoad() { OnGameLoad(Target()); }
    static void OptionsApplied() { OnOptionsApplied(Target()); }

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

}  // namespace pilfern
