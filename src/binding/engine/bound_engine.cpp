#include "binding/engine/bound_engine.h"

#include <stdexcept>
#include <string>

#include "binding/engine/bound_calls.h"
#include "binding/engine_facts.h"

namespace pilfern::binding {
namespace {

const EngineFact& Needed(int version, std::string_view name) {
    const EngineFact* fact = FindEngineFact(version, name);
    if (fact == nullptr) {
        throw std::runtime_error("the engine facts of version " + std::to_string(version) +
                                 " lack " + std::string(name));
    }
    return *fact;
}

// A size the binding allocates or steps by: none is a fact it cannot use.
std::uint32_t NeededSize(int version, std::string_view name) {
    const std::uint32_t size = Needed(version, name).value;
    if (size == 0) {
        throw std::runtime_error("the engine facts of version " + std::to_string(version) +
                                 " give no size for " + std::string(name));
    }
    return size;
}

BoundEngine::Support SupportOf(int version) {
    BoundEngine::Support support;
    support.strings.construct = Needed(version, "support:zSTRING::zSTRING(char const*)").value;
    support.strings.destroy = Needed(version, "support:zSTRING::~zSTRING").value;
    support.strings.table = Needed(version, "support:zSTRING::vftable").value;
    support.classRecords = {Needed(version, "classdef:oCItem::classDef").value,
                            Needed(version, "classdef:oCNpc::classDef").value,
                            Needed(version, "classdef:oCMobContainer::classDef").value};
    support.classRecordSlot = Needed(version, "support:zCObject::_GetClassDef").value;
    support.listNodeSize = NeededSize(version, "support:zCListSort<T>");
    support.operatorNew = Needed(version, "heap:operator new").value;
    support.viewSize = NeededSize(version, "support:sizeof zCView");
    support.messageSize = NeededSize(version, "support:sizeof oCMsgConversation");
    support.renderer = Needed(version, "global:zrenderer").value;
    support.savegameManager = Needed(version, "support:oCGame::savegameManager").value;
    support.channelAnimation = Needed(version, "support:zCModelAniActive::protoAni").value;
    support.animationName = Needed(version, "support:zCModelAni::aniName").value;
    return support;
}

}  // namespace

BoundEngine::BoundEngine(int engineVersion)
    : version_(engineVersion), support_(SupportOf(engineVersion)) {
    for (std::size_t i = 0; i < kContractOperations.size(); ++i) {
        const EngineFact& fact = Needed(engineVersion, kContractOperations[i]);
        members_[i] = {fact.kind, fact.convention, fact.value};
    }
}

zSTRING BoundEngine::TextAt(const void* object, std::size_t operation) const {
    if (object == nullptr) {
        return {};
    }
    return abi::PluginTextOf(abi::StringAt(object, At(operation).value));
}

// The running game, its world lists and the game-wide managers.

oCGame* BoundEngine::eng_game() {
    return bound::Global<oCGame*>(At(OperationIndex("eng_game")));
}

bool BoundEngine::eng_game_paused(const oCGame* game) {
    return bound::Field<int>(game, At(OperationIndex("eng_game_paused"))) != 0;
}

zCWorld* BoundEngine::eng_game_world(const oCGame* game) {
    return game == nullptr ? nullptr
                           : bound::Field<zCWorld*>(game, At(OperationIndex("eng_game_world")));
}

zCCamera* BoundEngine::eng_game_camera(const oCGame* game) {
    return bound::Field<zCCamera*>(game, At(OperationIndex("eng_game_camera")));
}

oCPortalRoomManager* BoundEngine::eng_game_room_registry(const oCGame* game) {
    return bound::Field<oCPortalRoomManager*>(game, At(OperationIndex("eng_game_room_registry")));
}

const oCPortalRoom* BoundEngine::eng_room_registry_player_room(const oCPortalRoomManager* rooms) {
    if (rooms == nullptr) {
        return nullptr;
    }
    return bound::Field<const oCPortalRoom*>(rooms,
                                             At(OperationIndex("eng_room_registry_player_room")));
}

zSTRING BoundEngine::eng_savegame_slot_folder(const oCGame* game, int slot) {
    const auto* manager = abi::ReadAt<const void*>(game, support_.savegameManager);
    return abi::ReceiveText(support_.strings, [&](void* result) {
        bound::CallInto(At(OperationIndex("eng_savegame_slot_folder")), manager, result, slot);
    });
}

const zCListSort<oCItem>* BoundEngine::eng_world_item_list(const zCWorld* world) {
    if (world == nullptr) {
        return nullptr;
    }
    return FirstItemNode(
        bound::Field<const void*>(world, At(OperationIndex("eng_world_item_list"))));
}

const zCListSort<oCNpc>* BoundEngine::eng_world_npc_list(const zCWorld* world) {
    if (world == nullptr) {
        return nullptr;
    }
    return FirstNode<oCNpc>(
        bound::Field<const void*>(world, At(OperationIndex("eng_world_npc_list"))),
        OperationIndex("eng_list_npc_next"));
}

oCItem* BoundEngine::eng_list_item(const zCListSort<oCItem>* node) {
    return bound::Field<oCItem*>(node, At(OperationIndex("eng_list_item")));
}

const zCListSort<oCItem>* BoundEngine::eng_list_item_next(const zCListSort<oCItem>* node) {
    return bound::Field<const zCListSort<oCItem>*>(node, At(OperationIndex("eng_list_item_next")));
}

oCNpc* BoundEngine::eng_list_npc(const zCListSort<oCNpc>* node) {
    return bound::Field<oCNpc*>(node, At(OperationIndex("eng_list_npc")));
}

const zCListSort<oCNpc>* BoundEngine::eng_list_npc_next(const zCListSort<oCNpc>* node) {
    return bound::Field<const zCListSort<oCNpc>*>(node, At(OperationIndex("eng_list_npc_next")));
}

oCInformationManager* BoundEngine::eng_dialog_manager() {
    return abi::CallPlain<oCInformationManager*>(At(OperationIndex("eng_dialog_manager")).value);
}

bool BoundEngine::eng_dialog_is_over(const oCInformationManager* dialogs) {
    return bound::Call<int>(At(OperationIndex("eng_dialog_is_over")), dialogs) != 0;
}

int BoundEngine::eng_ui_block_global() {
    return bound::Global<int>(At(OperationIndex("eng_ui_block_global")));
}

const oCNpcFocus* BoundEngine::eng_focus_settings() {
    return bound::Global<const oCNpcFocus*>(At(OperationIndex("eng_focus_settings")));
}

int BoundEngine::eng_focus_in_range(const oCNpcFocus* focus, int vobType, float distance) {
    return bound::Call<int>(At(OperationIndex("eng_focus_in_range")), focus, vobType, distance);
}

// Objects and world objects in general.

zSTRING BoundEngine::eng_object_instance_name(const zCObject* object) {
    return abi::ReceiveText(support_.strings, [&](void* result) {
        bound::CallInto(At(OperationIndex("eng_object_instance_name")), object, result);
    });
}

// The engine's own class test: the object's class record (virtual slot 0) against the class
// record of the class asked for. NewBalance's extended NPC has no layout the binding knows: no
// object is one, so NewBalance's rules stay off.
bool BoundEngine::eng_object_class_is(const zCObject* object, EngineClass engineClass) {
    constexpr std::array kRecorded{EngineClass::oCItem, EngineClass::oCNpc,
                                   EngineClass::oCMobContainer};
    if (object == nullptr) {
        return false;
    }
    for (std::size_t i = 0; i < kRecorded.size(); ++i) {
        if (kRecorded[i] == engineClass) {
            const auto* record = abi::CallVirtual<const void*>(object, support_.classRecordSlot);
            return abi::CallPlain<int>(At(OperationIndex("eng_object_class_is")).value,
                                       abi::AddressOf(support_.classRecords[i]), record) != 0;
        }
    }
    return false;
}

// The engine adds a reference inline: the count is a field.
void BoundEngine::eng_object_add_ref(zCObject* object) {
    const Member& count = At(OperationIndex("eng_object_add_ref"));
    abi::WriteAt<int>(object, count.value, bound::Field<int>(object, count) + 1);
}

void BoundEngine::eng_object_release(zCObject* object) {
    bound::Call<int>(At(OperationIndex("eng_object_release")), object);
}

zVEC3 BoundEngine::eng_vob_position(const zCVob* vob) {
    std::array<float, 3> position{};
    bound::CallInto(At(OperationIndex("eng_vob_position")), vob, position.data());
    return {position[0], position[1], position[2]};
}

zCWorld* BoundEngine::eng_vob_home_world(const zCVob* vob) {
    return bound::Field<zCWorld*>(vob, At(OperationIndex("eng_vob_home_world")));
}

zCVisual* BoundEngine::eng_vob_visual(const zCVob* vob) {
    return bound::Field<zCVisual*>(vob, At(OperationIndex("eng_vob_visual")));
}

// The engine answers the name of the room's sector, or none outside every room.
zSTRING BoundEngine::eng_vob_room_name(const zCVob* vob) {
    const auto* name =
        bound::Call<const zSTRING_Engine*>(At(OperationIndex("eng_vob_room_name")), vob);
    return name == nullptr ? zSTRING() : abi::PluginTextOf(*name);
}

float BoundEngine::eng_vob_distance_to(const zCVob* from, const zCVob* to) {
    return bound::Call<float>(At(OperationIndex("eng_vob_distance_to")), from, to);
}

float BoundEngine::eng_vob_distance(const zCVob* from, const zCVob* to) {
    return bound::Call<float>(At(OperationIndex("eng_vob_distance")), from, to);
}

int BoundEngine::eng_vob_type(const zCVob* vob) {
    return bound::Field<int>(vob, At(OperationIndex("eng_vob_type")));
}

int BoundEngine::eng_vob_flag_bits(const zCVob* vob) {
    return bound::Field<int>(vob, At(OperationIndex("eng_vob_flag_bits")));
}

// Engine strings.

// The engine's test answers in its low byte (a C++ bool).
bool BoundEngine::eng_string_is_empty(const zSTRING& text) {
    const abi::EngineString engineText(support_.strings, text);
    constexpr std::uint32_t kLowByte = 0xFF;
    return (bound::Call<std::uint32_t>(At(OperationIndex("eng_string_is_empty")),
                                       engineText.Object()) &
            kLowByte) != 0;
}

}  // namespace pilfern::binding
