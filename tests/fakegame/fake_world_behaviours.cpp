// What the fake game's engine functions do: each as the game's own function does it, on the
// fake world's objects, read and written where the engine keeps them.

#include "fakegame/fake_world_behaviours.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "binding/abi/raw_call.h"
#include "binding/engine_facts.h"
#include "host/cstring.h"
#include "host/engine_string.h"
#include "sim/item_instance.h"
#include "sim/sim_types.h"

namespace pilfern::fakegame {
namespace {

using Call = const FakeCall&;
using Answers = FakeAnswers&;

constexpr std::uint32_t kLocked = 0x1;
constexpr int kVirtualScreen = 8192;
constexpr int kFontHeight = 20;

FakeObject& Object(FakeWorld& world, std::uint32_t address, std::string_view what) {
    FakeObject* object = world.ObjectAt(address);
    if (object == nullptr) {
        throw std::runtime_error(std::string(what) + " is no object of the game");
    }
    return *object;
}

// An engine string the caller passed by its address.
std::string_view TextOf(std::uint32_t address) {
    if (address == 0) {
        throw std::runtime_error("an engine string at address 0");
    }
    return reinterpret_cast<const zSTRING_Engine*>(static_cast<std::uintptr_t>(address))->Text();
}

// Plain characters the caller passed.
std::string_view CharactersOf(std::uint32_t address) {
    return address == 0 ? std::string_view()
                        : std::string_view(
                              reinterpret_cast<const char*>(static_cast<std::uintptr_t>(address)));
}

float Real(std::uint32_t word) {
    return std::bit_cast<float>(word);
}

float SquaredDistance(const FakeObject& a, const FakeObject& b) {
    const float dx = a.position.x - b.position.x;
    const float dy = a.position.y - b.position.y;
    const float dz = a.position.z - b.position.z;
    return dx * dx + dy * dy + dz * dz;
}

int Amount(const FakeWorld& world, const FakeObject& item) {
    return world.Read<int>(item, world.Offset("eng_item_amount"));
}

// Gothic.ini's screen, which the engine's views measure in pixels.
int ScreenWidth(const FakeWorld& world) {
    const auto width = world.Option("VIDEO", "zVidResFullscreenX");
    return width ? std::atoi(width->c_str()) : 800;
}
int ScreenHeight(const FakeWorld& world) {
    const auto height = world.Option("VIDEO", "zVidResFullscreenY");
    return height ? std::atoi(height->c_str()) : 600;
}

void Nothing(FakeWorld& /*world*/, Call /*call*/, Answers /*answers*/) {}

// ---- Objects and world objects ----

void ClassRecord(FakeWorld& world, Call call, Answers answers) {
    answers.word = Object(world, call.self, "the object asked for its class").classRecord;
}
void ClassIs(FakeWorld& /*world*/, Call call, Answers answers) {
    answers.word = call.args[0] != 0 && call.args[0] == call.args[1] ? 1 : 0;
}
void InstanceName(FakeWorld& world, Call call, Answers answers) {
    answers.text = Object(world, call.self, "the object named").instanceName.c_str();
}
void Position(FakeWorld& world, Call call, Answers answers) {
    const FakePosition& at = Object(world, call.self, "the object placed").position;
    answers.vector[0] = at.x;
    answers.vector[1] = at.y;
    answers.vector[2] = at.z;
}
// The engine's GetDistanceToVob2 answers the squared distance.
void SquaredDistanceTo(FakeWorld& world, Call call, Answers answers) {
    answers.real = SquaredDistance(Object(world, call.self, "the object measured from"),
                                   Object(world, call.args[0], "the object measured to"));
}
void DistanceTo(FakeWorld& world, Call call, Answers answers) {
    answers.real =
        std::sqrt(SquaredDistance(Object(world, call.self, "the object measured from"),
                                  Object(world, call.args[0], "the object measured to")));
}
void StringIsEmpty(FakeWorld& /*world*/, Call call, Answers answers) {
    answers.word = TextOf(call.self).empty() ? 1 : 0;
}

// ---- Items ----

void ItemHasFlag(FakeWorld& world, Call call, Answers answers) {
    const FakeObject& item = Object(world, call.self, "the item");
    answers.word =
        (world.Read<std::uint32_t>(item, world.Offset("eng_item_flags")) & call.args[0]) != 0 ? 1
                                                                                              : 0;
}
// No item of the fake world hangs in a parent object.
void ItemHangsInParent(FakeWorld& /*world*/, Call /*call*/, Answers answers) {
    answers.word = 0;
}

// ---- NPCs ----

void NpcName(FakeWorld& world, Call call, Answers answers) {
    answers.text = Object(world, call.self, "the NPC named").name.c_str();
}
void BodyState(FakeWorld& world, Call call, Answers answers) {
    answers.word = static_cast<std::uint32_t>(Object(world, call.self, "the NPC").bodyState);
}
void IsDead(FakeWorld& world, Call call, Answers answers) {
    answers.word = Object(world, call.self, "the NPC").dead ? 1 : 0;
}
// IsBodyStateInterruptable: the body state carries the interruptable flag and no modifier.
void BodyStateInterruptable(FakeWorld& world, Call call, Answers answers) {
    constexpr int kInterruptable = 0x8000;
    constexpr int kModifiers = 0x1F80;  // hidden, drunk, nuts, burning, controlled, transformed
    const int state = Object(world, call.self, "the NPC").bodyState;
    answers.word = (state & kInterruptable) != 0 && (state & kModifiers) == 0 ? 1 : 0;
}
void No(FakeWorld& /*world*/, Call /*call*/, Answers answers) {
    answers.word = 0;
}
void Yes(FakeWorld& /*world*/, Call /*call*/, Answers answers) {
    answers.word = 1;
}
void FocusVob(FakeWorld& world, Call call, Answers answers) {
    const FakeObject* focus = Object(world, call.self, "the NPC").focus;
    answers.word = focus == nullptr ? 0 : focus->Address();
}
void FocusNpc(FakeWorld& world, Call call, Answers answers) {
    const FakeObject* focus = Object(world, call.self, "the NPC").focus;
    answers.word = focus == nullptr || focus->kind != FakeObject::Kind::Npc ? 0 : focus->Address();
}
void ClearFocus(FakeWorld& world, Call call, Answers /*answers*/) {
    world.SetFocus(Object(world, call.self, "the NPC"), nullptr);
}
void SetFocus(FakeWorld& world, Call call, Answers /*answers*/) {
    world.SetFocus(Object(world, call.self, "the NPC"),
                   call.args[0] == 0 ? nullptr : &Object(world, call.args[0], "the focus"));
}
// A refresh takes the next object of the NPC's list that is still in the world.
void RefreshFocus(FakeWorld& world, Call call, Answers /*answers*/) {
    FakeObject& npc = Object(world, call.self, "the NPC");
    FakeObject* next = nullptr;
    while (!npc.focusList.empty() && next == nullptr) {
        FakeObject* listed = npc.focusList.front();
        npc.focusList.erase(npc.focusList.begin());
        if (listed->inWorld) {
            next = listed;
        }
    }
    world.SetFocus(npc, next);
}
// DoTakeVob: the item leaves the world for the NPC's inventory.
void TakeVob(FakeWorld& world, Call call, Answers answers) {
    FakeObject& npc = Object(world, call.self, "the NPC taking");
    FakeObject& item = Object(world, call.args[0], "the object taken");
    if (!item.inWorld || item.kind != FakeObject::Kind::Item) {
        throw std::runtime_error(item.id + " is no item in the world");
    }
    world.RemoveFromWorld(item);
    world.Stow(npc, item);
    answers.word = 1;
}
void PutInInventory(FakeWorld& world, Call call, Answers answers) {
    FakeObject& npc = Object(world, call.self, "the NPC receiving");
    FakeObject& item = Object(world, call.args[0], "the item put");
    if (item.inWorld) {
        throw std::runtime_error(item.id + " lies in the world: the game would hold it twice");
    }
    if (world.Holder(item) != nullptr || world.ChestHolding(item) != nullptr) {
        throw std::runtime_error(item.id + " is held elsewhere: the game would hold it twice");
    }
    answers.word = world.Stow(npc, item).Address();
}
void RemoveItems(FakeWorld& world, Call call, Answers answers) {
    FakeObject& npc = Object(world, call.self, "the NPC giving");
    FakeObject& item = Object(world, call.args[0], "the item removed");
    const int amount = static_cast<int>(call.args[1]);
    answers.word = item.Address();
    if (world.Holder(item) != &npc || amount <= 0) {
        return;
    }
    if (amount < Amount(world, item)) {
        world.Write(item, world.Offset("eng_item_amount"), Amount(world, item) - amount);
        return;
    }
    world.TakeFromInventory(npc, item);
}
void CreateItems(FakeWorld& world, Call call, Answers /*answers*/) {
    FakeObject& npc = Object(world, call.self, "the NPC receiving");
    const FakeItemInstance* definition = world.InstanceByIndex(static_cast<int>(call.args[0]));
    if (definition == nullptr) {
        throw std::runtime_error("no item instance of index " + std::to_string(call.args[0]));
    }
    const int amount = static_cast<int>(call.args[1]);
    if (amount > 0) {
        world.Stow(npc, world.MakeItem(definition->instanceName + " (made)",
                                       definition->instanceName, amount));
    }
}
void Unequip(FakeWorld& world, Call call, Answers /*answers*/) {
    FakeObject& item = Object(world, call.args[0], "the item taken off");
    world.Write(
        item, world.Offset("eng_item_flags"),
        world.Read<std::uint32_t>(item, world.Offset("eng_item_flags")) & ~sim::kItemFlagWorn);
}
void HasItemsByName(FakeWorld& world, Call call, Answers answers) {
    FakeObject& npc = Object(world, call.self, "the NPC");
    const std::string_view name = TextOf(call.args[0]);
    for (FakeObject* item : world.Inventory(npc)) {
        if (EqualsIgnoringCase(item->instanceName, name) &&
            Amount(world, *item) >= static_cast<int>(call.args[1])) {
            answers.word = item->Address();
            return;
        }
    }
}
void BindMob(FakeWorld& world, Call call, Answers /*answers*/) {
    world.Write(Object(world, call.self, "the NPC"), world.Offset("eng_npc_interaction_a"),
                call.args[0]);
}
void Model(FakeWorld& world, Call call, Answers answers) {
    const FakeObject* model = Object(world, call.self, "the NPC").model;
    answers.word = model == nullptr ? 0 : model->Address();
}
void EventManager(FakeWorld& world, Call call, Answers answers) {
    answers.word = Object(world, call.self, "the NPC").events->Address();
}
void OnMessage(FakeWorld& world, Call call, Answers /*answers*/) {
    Object(world, call.self, "the event manager").messages.emplace_back("conversation");
}
void ConstructMessage(FakeWorld& /*world*/, Call call, Answers answers) {
    answers.word = call.self;
}

// ---- Inventories ----

void InventoryIsEmpty(FakeWorld& world, Call call, Answers answers) {
    const FakeObject& inventory = Object(world, call.self, "the inventory");
    answers.word = world.Inventory(*inventory.owner).empty() ? 1 : 0;
}

// ---- Chests ----

void ChestRemove(FakeWorld& world, Call call, Answers /*answers*/) {
    FakeObject& chest = Object(world, call.self, "the chest");
    world.Unlink(world.ChestHead(chest), Object(world, call.args[0], "the item removed"));
}
void MobName(FakeWorld& world, Call call, Answers answers) {
    answers.text = Object(world, call.self, "the chest named").name.c_str();
}
void EndStateChange(FakeWorld& world, Call call, Answers /*answers*/) {
    Object(world, call.self, "the chest").state = static_cast<int>(call.args[2]);
}
void SetLocked(FakeWorld& world, Call call, Answers /*answers*/) {
    FakeObject& chest = Object(world, call.self, "the chest");
    const auto flags = world.Read<std::uint32_t>(chest, world.Offset("eng_mob_lock_flags"));
    world.Write(chest, world.Offset("eng_mob_lock_flags"),
                call.args[0] != 0 ? flags | kLocked : flags & ~kLocked);
}

// ---- The screen, views and textures ----

void ConstructView(FakeWorld& world, Call call, Answers answers) {
    world.MakeView(call.self);
    answers.word = call.self;
}
void FontHeight(FakeWorld& /*world*/, Call /*call*/, Answers answers) {
    answers.word = kFontHeight;
}
void FontName(FakeWorld& /*world*/, Call /*call*/, Answers answers) {
    answers.text = "FONT_OLD_10_WHITE.TGA";
}
void Viewport(FakeWorld& world, Call /*call*/, Answers answers) {
    answers.quad[0] = 0;
    answers.quad[1] = 0;
    answers.quad[2] = ScreenWidth(world);
    answers.quad[3] = ScreenHeight(world);
}
void PixelToVirtualX(FakeWorld& world, Call call, Answers answers) {
    answers.word = static_cast<std::uint32_t>(static_cast<int>(call.args[0]) * kVirtualScreen /
                                              ScreenWidth(world));
}
void PixelToVirtualY(FakeWorld& world, Call call, Answers answers) {
    answers.word = static_cast<std::uint32_t>(static_cast<int>(call.args[0]) * kVirtualScreen /
                                              ScreenHeight(world));
}
void VirtualToPixelX(FakeWorld& world, Call call, Answers answers) {
    answers.word = static_cast<std::uint32_t>(static_cast<int>(call.args[0]) * ScreenWidth(world) /
                                              kVirtualScreen);
}
// The engine keeps one texture of a name, made when it is first asked for.
void LoadTexture(FakeWorld& world, Call call, Answers answers) {
    const std::string id = "texture " + std::string(TextOf(call.args[0]));
    FakeObject* texture = world.FindObject(id);
    answers.word =
        (texture != nullptr ? *texture : world.MakeObject(FakeObject::Kind::Other, id, ""))
            .Address();
}

// ---- Input ----

void KeyPressed(FakeWorld& world, Call call, Answers answers) {
    answers.word = world.KeyHeld(static_cast<int>(call.args[0])) ? 1 : 0;
}
void KeyToggled(FakeWorld& world, Call call, Answers answers) {
    answers.word = world.KeyToggled(static_cast<int>(call.args[0])) ? 1 : 0;
}
void ClearKeyBuffer(FakeWorld& world, Call /*call*/, Answers /*answers*/) {
    world.ClearKeyBuffer();
}

// ---- Options ----

// A number as the engine reads it: the leading number, 0 when there is none.
void ReadInt(FakeWorld& world, Call call, Answers answers) {
    const auto value = world.Option(TextOf(call.args[0]), CharactersOf(call.args[1]));
    answers.word =
        value ? static_cast<std::uint32_t>(std::strtol(value->c_str(), nullptr, 10)) : call.args[2];
}
void ReadBool(FakeWorld& world, Call call, Answers answers) {
    const auto value = world.Option(TextOf(call.args[0]), CharactersOf(call.args[1]));
    if (!value) {
        answers.word = call.args[2];
        return;
    }
    answers.word =
        EqualsIgnoringCase(*value, "true") || std::strtol(value->c_str(), nullptr, 10) != 0;
}
void ReadString(FakeWorld& world, Call call, Answers answers) {
    const auto value = world.Option(TextOf(call.args[0]), CharactersOf(call.args[1]));
    answers.text = world.Keep(value ? *value : std::string(CharactersOf(call.args[2])));
}

// ---- The scripts ----

// The scene's scripts declare no variable and no function beyond the item instances: a symbol
// asked for by name is not found, and its index is -1.
void NoSymbol(FakeWorld& /*world*/, Call /*call*/, Answers answers) {
    answers.word = 0;
}
void NoSymbolIndex(FakeWorld& /*world*/, Call /*call*/, Answers answers) {
    answers.word = static_cast<std::uint32_t>(-1);
}
void CallScript(FakeWorld& /*world*/, Call call, Answers /*answers*/) {
    throw std::runtime_error("the scripts have no function " + std::string(TextOf(call.args[0])));
}

// ---- The game ----

void DialogManager(FakeWorld& world, Call /*call*/, Answers answers) {
    answers.word = world.Find("information manager").Address();
}
// Focus_Normal's ranges (the scripts' defaults, as the simulated game keeps them), which the
// engine squares when it reads them: the distance asked is a squared one.
void FocusInRange(FakeWorld& /*world*/, Call call, Answers answers) {
    static const oCNpcFocus kNormal;
    const std::array<std::pair<int, float>, 3> ranges{{
        {kVobTypeMob, kNormal.mobs.range},
        {kVobTypeItem, kNormal.items.range},
        {kVobTypeNpc, kNormal.npcs.range},
    }};
    const float distance = Real(call.args[1]);
    answers.word = 0;
    for (const auto& [vobType, range] : ranges) {
        if (vobType == static_cast<int>(call.args[0])) {
            answers.word = distance >= 0.0F && distance <= range * range ? 1 : 0;
        }
    }
}

// ---- The game's saves and loads, with the framework's events around them ----
// The framework hooks the engine's save and load functions and sends its events around the
// engine's own work, in the order the game's sequences have them.
constexpr int kSaveBegin = 8;
constexpr int kSaveEnd = 9;
constexpr int kLoadBeginNewGame = 10;
constexpr int kLoadEndNewGame = 11;
constexpr int kLoadBeginSaveGame = 12;
constexpr int kLoadEndSaveGame = 13;
constexpr int kLoadBeginChangeLevel = 14;
constexpr int kLoadEndChangeLevel = 15;
constexpr int kApplyOptions = 21;

// oCGame::WriteSavegame(int slot, int saveGlobals): the engine makes the slot's folder and
// writes its files there.
void WriteSavegame(FakeWorld& world, Call call, Answers /*answers*/) {
    const int slot = static_cast<int>(call.args[0]);
    world.Fire(kSaveBegin);
    world.MakeSlotFolder(slot);
    world.Fire(kSaveEnd);
    world.Fire(kApplyOptions);
}
// oCGame::LoadSavegame(int slot, int loadGlobals)
void LoadSavegame(FakeWorld& world, Call /*call*/, Answers /*answers*/) {
    world.Fire(kLoadBeginSaveGame);
    world.Fire(kLoadEndSaveGame);
    world.Fire(kApplyOptions);
}
// oCGame::LoadGame(int slot, const zSTRING& level): a new game.
void LoadGame(FakeWorld& world, Call /*call*/, Answers /*answers*/) {
    world.Fire(kLoadBeginNewGame);
    world.Fire(kLoadEndNewGame);
}
// oCGame::ChangeLevel(const zSTRING& world, const zSTRING& wayPoint): the world left is saved
// into "current" before the next one is loaded.
void ChangeLevel(FakeWorld& world, Call /*call*/, Answers /*answers*/) {
    world.Fire(kLoadBeginChangeLevel);
    world.Fire(kSaveBegin);
    world.Fire(kSaveEnd);
    world.Fire(kLoadEndChangeLevel);
}
// oCSavegameManager::GetSlotDirName(int slot)
void SlotFolder(FakeWorld& world, Call call, Answers answers) {
    answers.text = world.Keep(EngineSlotFolder(static_cast<int>(call.args[0])));
}
// zCOption::GetDirString(zTOptionPaths): a reference to the option's string.
void OptionsDirectory(FakeWorld& world, Call call, Answers answers) {
    answers.word = world.DirectoryText(static_cast<int>(call.args[0]));
}

// ---- Text on the screen ----
constexpr int kGlyphWidth = 9;

// zCView::Print(int x, int y, const zSTRING& text): the screen's text goes out through the
// engine's PrintChars, reached as the engine's code reaches it.
void Print(FakeWorld& world, Call call, Answers /*answers*/) {
    const FakeCall made = call;  // the calls below reuse the call record
    binding::abi::CallMember<void>(world.CallerOf("hook:replace(zCView::PrintChars)"),
                                   binding::abi::AddressOf(made.self), made.args[0], made.args[1],
                                   made.args[2]);
}
// zCView::Printwin(const zSTRING& text): the window's next line, put out through PrintChars at
// the window's start (the fake view keeps no lines of its own).
void PrintWindow(FakeWorld& world, Call call, Answers /*answers*/) {
    const FakeCall made = call;
    binding::abi::CallMember<void>(world.CallerOf("hook:replace(zCView::PrintChars)"),
                                   binding::abi::AddressOf(made.self), 0U, 0U, made.args[0]);
}
// zCView::PrintChars(int x, int y, const zSTRING& text): each character's width from the
// font's GetFontData, as the engine's code asks it.
void PrintChars(FakeWorld& world, Call call, Answers /*answers*/) {
    const FakeCall made = call;
    const std::string text(TextOf(made.args[2]));
    int width = 0;
    for (const char c : text) {
        int glyph = 0;
        std::array<float, 2> from{};
        std::array<float, 2> to{};
        binding::abi::CallMember<int>(world.CallerOf("hook:replace(zCFont::GetFontData)"),
                                      world.Find("font").memory.data(),
                                      static_cast<std::uint32_t>(static_cast<unsigned char>(c)),
                                      &glyph, from.data(), to.data());
        width += glyph;
    }
    world.Draw({text, static_cast<int>(made.args[0]), static_cast<int>(made.args[1]), width});
}
// zCView::FontSize(zSTRING&): the text's width in the font, in the screen's virtual units.
void TextWidth(FakeWorld& world, Call call, Answers answers) {
    const auto pixels = static_cast<int>(TextOf(call.args[0]).size()) * kGlyphWidth;
    answers.word = static_cast<std::uint32_t>(pixels * kVirtualScreen / ScreenWidth(world));
}
// zCFont::GetFontData(unsigned char, int& width, zVEC2& from, zVEC2& to)
void GetFontData(FakeWorld& /*world*/, Call call, Answers answers) {
    *reinterpret_cast<int*>(static_cast<std::uintptr_t>(call.args[1])) = kGlyphWidth;
    answers.word = 1;
}
// zCInput_Win32::SetState(unsigned short key, int down)
void SetState(FakeWorld& world, Call call, Answers answers) {
    world.SetKey(static_cast<int>(call.args[0] & 0xFFFFU), call.args[1] != 0);
    answers.word = 1;
}

std::vector<FakeWorld::Behaviour> Table(int version) {
    const bool gothicOne = version <= 2;  // Gothic I's focus collector takes no argument
    return {
        {"support:zCObject::_GetClassDef", kStubMember0, "object", &ClassRecord},
        {"eng_object_class_is", kStubPlain2, "", &ClassIs},
        {"eng_object_instance_name", kStubMemberString0, "vob", &InstanceName},
        {"eng_vob_position", kStubMemberVec3, "", &Position},
        {"eng_vob_distance", kStubMemberFloat1, "", &SquaredDistanceTo},
        {"eng_vob_distance_to", kStubMemberFloat1, "", &DistanceTo},
        {"eng_string_is_empty", kStubMember0, "", &StringIsEmpty},
        {"eng_item_has_flag", kStubMember1, "", &ItemHasFlag},
        {"eng_item_ground_check", kStubMember0, "", &ItemHangsInParent},
        {"eng_npc_name", kStubMemberString1, "", &NpcName},
        {"eng_npc_body_state", kStubMember0, "", &BodyState},
        {"eng_npc_is_dead", kStubMember0, "", &IsDead},
        {"eng_npc_is_unconscious", kStubMember0, "", &No},
        {"eng_npc_query_a", kStubMember0, "", &BodyStateInterruptable},
        {"eng_npc_query_b", kStubMember0, "npc", &No},
        {"eng_npc_in_battle", kStubMember0, "", &No},
        {"eng_npc_weapon_query_1", kStubMember0, "", &No},
        {"eng_npc_weapon_query_2", kStubMember0, "", &No},
        {"eng_vob_room_name", kStubMember0, "", &No},
        {"eng_npc_focus_vob", kStubMember0, "", &FocusVob},
        {"eng_npc_focus_npc", kStubMember0, "", &FocusNpc},
        {"eng_npc_clear_focus", kStubMember0, "", &ClearFocus},
        {"eng_npc_set_focus", kStubMember1, "", &SetFocus},
        {"eng_npc_refresh_focus", gothicOne ? kStubMember0 : kStubMember1, "", &RefreshFocus},
        {"eng_npc_take_vob", kStubMember1, "npc", &TakeVob},
        {"eng_npc_put_in_inventory", kStubMember1, "", &PutInInventory},
        {"eng_npc_remove_items", kStubMember2, "", &RemoveItems},
        {"eng_npc_create_items", kStubMember2, "", &CreateItems},
        {"eng_npc_unequip", kStubMember1, "", &Unequip},
        {"eng_npc_has_items_by_name", kStubMember2, "", &HasItemsByName},
        {"eng_npc_bind_mob", kStubMember1, "", &BindMob},
        {"eng_npc_model", kStubMember0, "", &Model},
        {"eng_npc_event_manager", kStubFast2, "", &EventManager},
        {"eng_event_manager_on_message", kStubMember2, "events", &OnMessage},
        {"eng_msg_conversation_create", kStubMember2, "", &ConstructMessage},
        {"eng_inventory_is_open", kStubMember0, "inventory", &No},
        {"eng_inventory_prepare", kStubMember0, "", &Nothing},
        {"eng_inventory_is_empty", kStubMember0, "inventory", &InventoryIsEmpty},
        {"eng_container_remove_item", kStubMember1, "mob", &ChestRemove},
        {"eng_mob_name", kStubMemberString0, "mob", &MobName},
        {"eng_mob_begin_state_change", kStubMember3, "mob", &Nothing},
        {"eng_mob_end_state_change", kStubMember3, "mob", &EndStateChange},
        {"eng_mob_set_locked", kStubMember1, "mob", &SetLocked},
        {"eng_view_construct", kStubMember0, "", &ConstructView},
        {"eng_view_construct_rect", kStubMember5, "", &ConstructView},
        {"eng_view_set_texture", kStubMember1, "", &Nothing},
        {"eng_view_set_texture_name", kStubMember1, "", &Nothing},
        {"eng_view_set_blend_mode", kStubMember1, "", &Nothing},
        {"eng_view_set_font", kStubMember1, "", &Nothing},
        {"eng_view_set_font_color", kStubMember1, "", &Nothing},
        {"eng_view_set_position", kStubMember2, "", &Nothing},
        {"eng_view_set_size", kStubMember2, "", &Nothing},
        {"eng_view_clear_text", kStubMember0, "", &Nothing},
        {"eng_view_print", kStubMember3, "", &Print},
        {"eng_view_text_width", kStubMember1, "", &TextWidth},
        {"eng_view_window_print", kStubMember1, "", &PrintWindow},
        {"eng_view_refresh", kStubMember0, "", &Nothing},
        {"eng_view_blit", kStubMember0, "view", &Nothing},
        {"eng_view_draw", kStubMember0, "view", &Nothing},
        {"eng_view_font_height", kStubMember0, "", &FontHeight},
        {"eng_font_height", kStubMember0, "", &FontHeight},
        {"eng_view_get_font_name", kStubMemberString0, "", &FontName},
        {"eng_view_get_viewport", kStubFastViewport, "view", &Viewport},
        {"eng_view_pixel_to_virtual_x", kStubMember1, "view", &PixelToVirtualX},
        {"eng_view_pixel_to_virtual_y", kStubMember1, "view", &PixelToVirtualY},
        {"eng_view_virtual_to_pixel_x", kStubMember1, "view", &VirtualToPixelX},
        {"eng_screen_insert", kStubMember2, "", &Nothing},
        {"eng_renderer_set_viewport", kStubMember4, "renderer", &Yes},
        {"eng_screen_remove", kStubMember1, "", &Nothing},
        {"eng_texture_load", kStubPlain2, "", &LoadTexture},
        {"eng_input_key_pressed", kStubMember1, "input", &KeyPressed},
        {"eng_input_key_toggled", kStubMember1, "input", &KeyToggled},
        {"eng_input_mouse_right_pressed", kStubMember0, "input", &No},
        {"eng_input_clear_key_buffer", kStubMember0, "input", &ClearKeyBuffer},
        {"eng_options_read_int", kStubMember3, "", &ReadInt},
        {"eng_options_read_bool", kStubMember3, "", &ReadBool},
        {"eng_options_read_string", kStubMemberString3, "", &ReadString},
        {"eng_script_find_symbol", kStubMember1, "", &NoSymbol},
        {"eng_script_symbol_index", kStubMember1, "", &NoSymbolIndex},
        {"eng_script_set_instance", kStubMember2, "", &NoSymbol},
        {"eng_script_call_by_name", kStubMember1, "", &CallScript},
        {"eng_dialog_manager", kStubPlain0, "", &DialogManager},
        {"eng_dialog_is_over", kStubFast1, "", &Yes},
        {"eng_focus_in_range", kStubMember2, "", &FocusInRange},
        {"eng_savegame_slot_folder", kStubMemberString1, "", &SlotFolder},
        {"eng_options_directory", kStubMember1, "", &OptionsDirectory},
        {"hook:save(oCGame::WriteSavegame)", kStubMember2, "", &WriteSavegame},
        {"hook:load_save(oCGame::LoadSavegame)", kStubMember2, "", &LoadSavegame},
        {"hook:load_new(oCGame::LoadGame)", kStubMember2, "", &LoadGame},
        {"hook:change_level(oCGame::ChangeLevel)", kStubMember2, "", &ChangeLevel},
        {"hook:replace(zCView::PrintChars)", kStubMember3, "", &PrintChars},
        {"hook:replace(zCFont::GetFontData)", kStubMember4, "", &GetFontData},
        {"hook:replace(zCInput_Win32::SetState)", kStubMember2, "", &SetState},
    };
}

}  // namespace

const std::vector<FakeWorld::Behaviour>& Behaviours(int version) {
    static const std::array<std::vector<FakeWorld::Behaviour>, 4> tables{Table(1), Table(2),
                                                                         Table(3), Table(4)};
    return tables.at(static_cast<std::size_t>(version - 1));
}

}  // namespace pilfern::fakegame
