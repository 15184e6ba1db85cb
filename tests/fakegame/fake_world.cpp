#include "fakegame/fake_world.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "binding/abi/raw_call.h"
#include "binding/engine/bind_to_game.h"
#include "binding/engine_facts.h"
#include "binding/patching/code_references.h"
#include "fakegame/fake_world_behaviours.h"
#include "host/cstring.h"
#include "host/engine_profile.h"
#include "platform/platform.h"
#include "sim/item_instance.h"

namespace pilfern::fakegame {
namespace {

using binding::EngineFact;
using binding::FactKind;

constexpr std::uint32_t kObjectBytes = 0x8000;  // room for the largest offset of any class
constexpr std::uint32_t kTableSlots = 128;
// The targets a slot's trampoline names: above every address of the game's image.
constexpr std::uint32_t kSlotTargets = 0xFFFF0000U;

FakeWorld* gWorld = nullptr;

// Called by the fake engine's stubs, whose code keeps the stack only as aligned as the engine's
// compiler does.
__attribute__((force_align_arg_pointer)) void Dispatch() {
    if (gWorld != nullptr) {
        gWorld->Answer(gWorld->Process().LastCall(), gWorld->Process().Answers());
    }
}

// The classes whose virtual slots each kind of object answers, by the names the behaviours
// give their slots' classes.
const std::map<std::string_view, std::vector<std::string_view>>& ClassesOfKind() {
    static const std::map<std::string_view, std::vector<std::string_view>> classes{
        {"item", {"object", "vob"}},
        {"npc", {"object", "vob", "npc"}},
        {"chest", {"object", "vob", "mob"}},
        {"view", {"view"}},
        {"inventory", {"inventory"}},
        {"input", {"input"}},
        {"events", {"events"}},
        {"renderer", {"renderer"}},
        {"other", {}},
    };
    return classes;
}

}  // namespace

std::uint32_t FakeObject::Address() const {
    return binding::abi::AddressOf(memory.data());
}

FakeWorld::FakeWorld(FakeProcess& process, const std::string& gothicIni)
    : process_(process), ini_(IniFile::Parse(gothicIni)) {
    stringTable_ = binding::FindEngineFact(Version(), "support:zSTRING::vftable")->value;
    // The game's variables start as its data section holds them: empty.
    for (const EngineFact& fact : binding::EngineFacts(Version())) {
        if (fact.kind == FactKind::Global &&
            (fact.operation.starts_with("eng_") || fact.operation.starts_with("global:"))) {
            process_.WriteWord(fact.value, 0);
        }
    }
    PlaceBehaviours();
    FakeObject& game = MakeGlobal("game", "eng_game");
    world_ = &MakeObject(FakeObject::Kind::Other, "world", "");
    Write(game, Offset("eng_game_world"), world_->Address());
    Write(game, Offset("eng_game_paused"), 0);
    FakeObject& manager = MakeObject(FakeObject::Kind::Other, "savegame manager", "");
    Write(game, Offset("support:oCGame::savegameManager"), manager.Address());
    FakeObject& items = MakeObject(FakeObject::Kind::Other, "world item list", "");
    FakeObject& npcs = MakeObject(FakeObject::Kind::Other, "world NPC list", "");
    worldItems_ = items.Address();
    worldNpcs_ = npcs.Address();
    Write(*world_, Offset("eng_world_item_list"), worldItems_);
    Write(*world_, Offset("eng_world_npc_list"), worldNpcs_);
    // The mesh every object of the scene shows.
    MakeObject(FakeObject::Kind::Other, "visual", "");
    MakeGlobal("screen", "eng_screen");
    MakeView(Find("screen").Address());
    MakeGlobal("input", "eng_input");
    Find("input").table = TableFor("input");
    Find("input").memory[0] = binding::abi::AddressOf(Find("input").table.data());
    MakeGlobal("options", "eng_options");
    FakeObject& renderer = MakeGlobal("renderer", "global:zrenderer");
    renderer.table = TableFor("renderer");
    renderer.memory[0] = binding::abi::AddressOf(renderer.table.data());
    // White, as the engine's default text colour.
    process_.WriteWord(Offset("eng_color_default_text"), 0xFFFFFFFFU);
    MakeGlobal("focus settings", "eng_focus_settings");
    MakeObject(FakeObject::Kind::Other, "information manager", "");
    directories_ = &MakeObject(FakeObject::Kind::Other, "option directories", "");
    MakeObject(FakeObject::Kind::Other, "font", "");
    PlaceEngineCallers();
    gWorld = this;
    process_.SetDispatch(&Dispatch);
}

FakeWorld::~FakeWorld() {
    process_.SetDispatch(nullptr);
    gWorld = nullptr;
}

std::uint32_t FakeWorld::Offset(std::string_view fact) const {
    const EngineFact* found = binding::FindEngineFact(Version(), fact);
    if (found == nullptr) {
        throw std::runtime_error("the facts name no " + std::string(fact));
    }
    return found->value;
}

FakeObject& FakeWorld::MakeObject(FakeObject::Kind kind, std::string_view id,
                                  std::string_view classRecord) {
    auto object = std::make_unique<FakeObject>();
    object->kind = kind;
    object->id = id;
    object->memory.assign(kObjectBytes / sizeof(std::uint32_t), 0);
    object->classRecord = classRecord.empty() ? 0 : Offset(classRecord);
    static constexpr std::array<std::string_view, 4> kKindNames{"item", "npc", "chest", "other"};
    object->table = TableFor(kKindNames.at(static_cast<std::size_t>(kind)));
    object->memory[0] = binding::abi::AddressOf(object->table.data());
    FakeObject& made = *object;
    byAddress_[made.Address()] = &made;
    objects_.push_back(std::move(object));
    return made;
}

FakeObject& FakeWorld::MakeGlobal(std::string_view id, std::string_view global) {
    FakeObject& object = MakeObject(FakeObject::Kind::Other, id, "");
    process_.WriteWord(Offset(global), object.Address());
    return object;
}

void FakeWorld::MakeView(std::uint32_t memory) {
    auto* words = reinterpret_cast<std::uint32_t*>(static_cast<std::uintptr_t>(memory));
    std::memset(words, 0, Offset("support:sizeof zCView"));
    auto view = std::make_unique<FakeObject>();
    view->id = "view";
    view->table = TableFor("view");
    words[0] = binding::abi::AddressOf(view->table.data());
    byAddress_[memory] = view.get();
    objects_.push_back(std::move(view));
}

std::vector<std::uint32_t> FakeWorld::TableFor(std::string_view kind) {
    std::vector<std::uint32_t> table(kTableSlots, process_.Begin() + 0x10);  // the trap
    const auto& classes = ClassesOfKind().at(kind);
    for (const auto& [behaviour, code] : trampolines_) {
        if (std::find(classes.begin(), classes.end(), behaviour->slotClass) != classes.end()) {
            table.at(Offset(behaviour->operation)) = code;
        }
    }
    return table;
}

void FakeWorld::PlaceBehaviours() {
    for (const Behaviour& behaviour : Behaviours(Version())) {
        const EngineFact* fact = binding::FindEngineFact(Version(), behaviour.operation);
        if (fact == nullptr) {
            throw std::runtime_error("the facts name no " + std::string(behaviour.operation));
        }
        if (fact->kind == FactKind::VirtualSlot) {
            // The slot's code: a trampoline naming the behaviour, put into the tables of the
            // kinds of object that have the slot's class.
            const std::uint32_t target =
                kSlotTargets + static_cast<std::uint32_t>(trampolines_.size());
            trampolines_[&behaviour] = process_.Trampoline(target, behaviour.stub);
            behaviours_[target] = &behaviour;
        } else if (fact->kind == FactKind::Function) {
            process_.Place(fact->value, behaviour.stub);
            behaviours_[fact->value] = &behaviour;
        } else {
            throw std::runtime_error(std::string(behaviour.operation) +
                                     " is no function or virtual slot of this version");
        }
    }
}

void FakeWorld::Answer(const FakeCall& call, FakeAnswers& answers) {
    const auto found = behaviours_.find(call.target);
    if (found == behaviours_.end()) {
        Fault("a call of an engine function the fake game does not model (target " +
              std::to_string(call.target) + ")");
        answers = {};
        return;
    }
    try {
        answers = {};
        found->second->answer(*this, call, answers);
    } catch (const std::exception& error) {
        Fault(std::string(found->second->operation) + ": " + error.what());
    }
}

FakeObject* FakeWorld::ObjectAt(std::uint32_t address) const {
    const auto found = byAddress_.find(address);
    return found == byAddress_.end() ? nullptr : found->second;
}

FakeObject* FakeWorld::FindObject(std::string_view id) const {
    const auto found = std::find_if(objects_.begin(), objects_.end(),
                                    [id](const auto& object) { return object->id == id; });
    return found == objects_.end() ? nullptr : found->get();
}

FakeObject& FakeWorld::Find(std::string_view id) const {
    FakeObject* object = FindObject(id);
    if (object == nullptr) {
        throw std::runtime_error("the fake world has no " + std::string(id));
    }
    return *object;
}

void FakeWorld::WriteText(FakeObject& object, std::uint32_t offset, std::string_view text) {
    const std::string& kept = object.texts.emplace_back(text);
    EngineStringBytes bytes;
    bytes.table = stringTable_;
    bytes.text = kept.c_str();
    bytes.length = static_cast<std::int32_t>(kept.size());
    bytes.reserved = bytes.length;
    Write(object, offset, bytes);
}

const char* FakeWorld::Keep(std::string text) {
    return kept_.emplace_back(std::move(text)).c_str();
}

std::optional<std::string> FakeWorld::Option(std::string_view section, std::string_view key) const {
    return ini_.Find(section, key);
}

// ---- Lists ----

void FakeWorld::Append(std::uint32_t head, const FakeObject& object) {
    std::array<std::uint32_t, 4>* node = nullptr;
    if (freeNodes_.empty()) {
        node = &nodes_.emplace_back();
    } else {
        node = freeNodes_.back();
        freeNodes_.pop_back();
    }
    node->fill(0);
    const std::uint32_t dataAt = Offset("eng_list_item") / 4;
    const std::uint32_t nextAt = Offset("eng_list_item_next") / 4;
    (*node)[dataAt] = object.Address();
    // At the end, as the engine's list keeps its order here.
    auto* last = reinterpret_cast<std::uint32_t*>(static_cast<std::uintptr_t>(head));
    while (last[nextAt] != 0) {
        last = reinterpret_cast<std::uint32_t*>(static_cast<std::uintptr_t>(last[nextAt]));
    }
    last[nextAt] = binding::abi::AddressOf(node->data());
}

bool FakeWorld::Unlink(std::uint32_t head, const FakeObject& object) {
    const std::uint32_t dataAt = Offset("eng_list_item") / 4;
    const std::uint32_t nextAt = Offset("eng_list_item_next") / 4;
    auto* previous = reinterpret_cast<std::uint32_t*>(static_cast<std::uintptr_t>(head));
    while (previous[nextAt] != 0) {
        auto* node =
            reinterpret_cast<std::uint32_t*>(static_cast<std::uintptr_t>(previous[nextAt]));
        if (node[dataAt] == object.Address()) {
            previous[nextAt] = node[nextAt];
            // The engine frees the node: whoever kept it reads garbage.
            std::fill(node, node + 4, 0xDDDDDDDDU);
            freeNodes_.push_back(reinterpret_cast<std::array<std::uint32_t, 4>*>(node));
            return true;
        }
        previous = node;
    }
    return false;
}

std::vector<FakeObject*> FakeWorld::Walk(std::uint32_t head) const {
    const std::uint32_t dataAt = Offset("eng_list_item") / 4;
    const std::uint32_t nextAt = Offset("eng_list_item_next") / 4;
    std::vector<FakeObject*> objects;
    const auto* node = reinterpret_cast<const std::uint32_t*>(static_cast<std::uintptr_t>(head));
    while (node[nextAt] != 0) {
        node = reinterpret_cast<const std::uint32_t*>(static_cast<std::uintptr_t>(node[nextAt]));
        if (FakeObject* object = ObjectAt(node[dataAt])) {
            objects.push_back(object);
        }
    }
    return objects;
}

std::uint32_t FakeWorld::InventoryHead(const FakeObject& npc) const {
    return npc.Address() + Offset("eng_npc_inventory") + Offset("eng_inventory_entry_list");
}

// Gothic I's inventory keeps nine lists, one per kind of item; Gothic II's one.
std::uint32_t FakeWorld::InventoryHeadFor(const FakeObject& npc, const FakeObject& item) const {
    if (!GothicOne()) {
        return InventoryHead(npc);
    }
    const auto list = static_cast<std::uint32_t>(
        sim::GothicOneCategoryList(Read<std::uint32_t>(item, Offset("eng_item_category"))));
    return npc.Address() + Offset("eng_npc_inventory") + Offset("eng_inventory_category_lists") +
           list * Offset("support:zCListSort<T>");
}

std::vector<FakeObject*> FakeWorld::Inventory(const FakeObject& npc) const {
    std::vector<FakeObject*> items;
    const std::uint32_t lists = GothicOne() ? static_cast<std::uint32_t>(sim::kOtherList) + 1 : 1;
    for (std::uint32_t list = 0; list < lists; ++list) {
        const auto held = Walk(InventoryHead(npc) + list * Offset("support:zCListSort<T>"));
        items.insert(items.end(), held.begin(), held.end());
    }
    return items;
}

bool FakeWorld::TakeFromInventory(FakeObject& npc, const FakeObject& item) {
    return Unlink(InventoryHeadFor(npc, item), item);
}

std::uint32_t FakeWorld::ChestHead(const FakeObject& chest) const {
    return chest.Address() + Offset("eng_container_item_list");
}

FakeObject* FakeWorld::Holder(const FakeObject& item) const {
    for (const auto& object : objects_) {
        if (object->kind == FakeObject::Kind::Npc) {
            const auto held = Inventory(*object);
            if (std::find(held.begin(), held.end(), &item) != held.end()) {
                return object.get();
            }
        }
    }
    return nullptr;
}

FakeObject* FakeWorld::ChestHolding(const FakeObject& item) const {
    for (const auto& object : objects_) {
        if (object->kind == FakeObject::Kind::Chest) {
            const auto held = Walk(ChestHead(*object));
            if (std::find(held.begin(), held.end(), &item) != held.end()) {
                return object.get();
            }
        }
    }
    return nullptr;
}

// ---- Items, NPCs and chests ----

void FakeWorld::DefineItem(const FakeItemInstance& instance) {
    instances_.push_back(instance);
}

const FakeItemInstance* FakeWorld::InstanceByIndex(int index) const {
    return index >= 1 && index <= static_cast<int>(instances_.size())
               ? &instances_.at(static_cast<std::size_t>(index - 1))
               : nullptr;
}

const FakeItemInstance* FakeWorld::InstanceByName(std::string_view name) const {
    const int index = IndexOf(name);
    return index == 0 ? nullptr : InstanceByIndex(index);
}

int FakeWorld::IndexOf(std::string_view instanceName) const {
    for (std::size_t i = 0; i < instances_.size(); ++i) {
        if (EqualsIgnoringCase(instances_[i].instanceName, instanceName)) {
            return static_cast<int>(i + 1);
        }
    }
    return 0;
}

FakeObject& FakeWorld::MakeItem(std::string_view id, std::string_view instance, int amount) {
    const FakeItemInstance* definition = InstanceByName(instance);
    if (definition == nullptr) {
        throw std::runtime_error("no item instance " + std::string(instance));
    }
    FakeObject& item = MakeObject(FakeObject::Kind::Item, id, "classdef:oCItem::classDef");
    item.instanceName = definition->instanceName;
    item.name = definition->name;
    Write(item, Offset("eng_item_amount"), amount);
    Write(item, Offset("eng_item_instance"), IndexOf(instance));
    Write(item, Offset("eng_item_category"), definition->category);
    Write(item, Offset("eng_item_flags"), definition->flags);
    Write(item, Offset("eng_vob_type"), kVobTypeItem);
    Write(item, Offset("eng_vob_visual"), Find("visual").Address());
    WriteText(item, Offset("eng_item_display_name"), "");
    WriteText(item, Offset("eng_item_name"), definition->name);
    WriteText(item, Offset("eng_item_text_field"), "");
    WriteText(item, Offset("eng_item_arrow_text"), "");
    return item;
}

FakeObject& FakeWorld::PlaceVob(FakeObject::Kind kind, const VobPlace& place,
                                std::string_view classRecord, int vobType) {
    FakeObject& vob = MakeObject(kind, place.id, classRecord);
    vob.instanceName = place.instance;
    vob.name = place.name;
    vob.position = place.at;
    vob.inWorld = true;
    Write(vob, Offset("eng_vob_type"), vobType);
    Write(vob, Offset("eng_vob_visual"), Find("visual").Address());
    Write(vob, Offset("eng_vob_home_world"), world_->Address());
    return vob;
}

FakeObject& FakeWorld::AddHero(std::string_view id, std::string_view instance,
                               std::string_view name, FakePosition at) {
    FakeObject& hero = AddNpc(id, instance, name, at);
    player_ = &hero;
    process_.WriteWord(Offset("eng_player"), hero.Address());
    return hero;
}

FakeObject& FakeWorld::AddNpc(std::string_view id, std::string_view instance, std::string_view name,
                              FakePosition at) {
    FakeObject& npc = PlaceVob(FakeObject::Kind::Npc, {id, instance, name, at},
                               "classdef:oCNpc::classDef", kVobTypeNpc);
    Write(npc, Offset("eng_npc_hitpoints"), 100);
    // The inventory lies in the NPC, with its own virtual table.
    FakeObject& inventory =
        MakeObject(FakeObject::Kind::Other, std::string(id) + "'s inventory", "");
    inventory.table = TableFor("inventory");
    inventory.owner = &npc;
    Write(npc, Offset("eng_npc_inventory"), binding::abi::AddressOf(inventory.table.data()));
    byAddress_[npc.Address() + Offset("eng_npc_inventory")] = &inventory;
    Write(npc, Offset("eng_npc_inventory") + Offset("eng_inventory_item_list"), InventoryHead(npc));
    npc.events = &MakeObject(FakeObject::Kind::Other, std::string(id) + "'s event manager", "");
    npc.events->table = TableFor("events");
    npc.events->memory[0] = binding::abi::AddressOf(npc.events->table.data());
    Append(worldNpcs_, npc);
    return npc;
}

void FakeWorld::Kill(FakeObject& npc, int bodyState, std::string_view animation) {
    npc.dead = true;
    npc.bodyState = bodyState;
    Write(npc, Offset("eng_npc_hitpoints"), 0);
    Animate(npc, animation);
}

void FakeWorld::Animate(FakeObject& npc, std::string_view animation) {
    // The model plays the animation in its first channel.
    FakeObject& model = MakeObject(FakeObject::Kind::Other, npc.id + "'s model", "");
    FakeObject& channel = MakeObject(FakeObject::Kind::Other, npc.id + "'s channel", "");
    FakeObject& animationObject = MakeObject(FakeObject::Kind::Other, std::string(animation), "");
    Write(model, Offset("eng_model_first_active_animation_name"), channel.Address());
    Write(channel, Offset("support:zCModelAniActive::protoAni"), animationObject.Address());
    WriteText(animationObject, Offset("support:zCModelAni::aniName"), animation);
    npc.model = &model;
}

FakeObject& FakeWorld::AddGroundItem(std::string_view id, std::string_view instance, int amount,
                                     FakePosition at) {
    FakeObject& item = MakeItem(id, instance, amount);
    item.position = at;
    item.inWorld = true;
    Write(item, Offset("eng_vob_home_world"), world_->Address());
    Append(worldItems_, item);
    return item;
}

void FakeWorld::GiveItem(FakeObject& npc, std::string_view id, std::string_view instance,
                         int amount) {
    FakeObject& item = MakeItem(id, instance, amount);
    Append(InventoryHeadFor(npc, item), item);
}

FakeObject& FakeWorld::AddChest(std::string_view id, std::string_view instance,
                                std::string_view name, FakePosition at, int states) {
    FakeObject& chest = PlaceVob(FakeObject::Kind::Chest, {id, instance, name, at},
                                 "classdef:oCMobContainer::classDef", kVobTypeMob);
    Write(chest, Offset("eng_mob_state_count"), states);
    WriteText(chest, Offset("eng_mob_key_instance"), "");
    WriteText(chest, Offset("eng_mob_condition_func"), "");
    return chest;
}

void FakeWorld::PutInChest(FakeObject& chest, std::string_view id, std::string_view instance,
                           int amount) {
    Append(ChestHead(chest), MakeItem(id, instance, amount));
}

FakeObject& FakeWorld::Stow(FakeObject& npc, FakeObject& item) {
    item.inWorld = false;
    Write(item, Offset("eng_vob_home_world"), 0);
    const auto flags = Read<std::uint32_t>(item, Offset("eng_item_flags"));
    if ((flags & sim::kItemFlagMulti) != 0) {
        for (FakeObject* stack : Inventory(npc)) {
            if (stack->instanceName == item.instanceName) {
                Write(*stack, Offset("eng_item_amount"),
                      Read<int>(*stack, Offset("eng_item_amount")) +
                          Read<int>(item, Offset("eng_item_amount")));
                return *stack;
            }
        }
    }
    Append(InventoryHeadFor(npc, item), item);
    return item;
}

void FakeWorld::RemoveFromWorld(FakeObject& object) {
    Unlink(worldItems_, object);
    object.inWorld = false;
    Write(object, Offset("eng_vob_home_world"), 0);
    for (const auto& npc : objects_) {
        if (npc->focus == &object) {
            npc->focus = nullptr;
            Write(*npc, Offset("eng_npc_focus_object_field"), 0);
        }
    }
}

// ---- Focus and input ----

void FakeWorld::SetFocus(FakeObject& npc, FakeObject* focus) {
    npc.focus = focus;
    Write(npc, Offset("eng_npc_focus_object_field"), focus == nullptr ? 0 : focus->Address());
}

void FakeWorld::CollectPlayerFocus() {
    if (player_ != nullptr && player_->focus != nullptr && !player_->focus->inWorld) {
        SetFocus(*player_, nullptr);
    }
}

void FakeWorld::Fire(int slot) const {
    if (events_ && slot >= 1 && slot <= static_cast<int>(events_->size())) {
        events_->at(static_cast<std::size_t>(slot - 1))();
    }
}

// The engine keeps each folder of its options as a string; the savegames' lies below the base.
void FakeWorld::SetBaseFolder(std::string_view folder) {
    constexpr int kSavegames = 2;
    baseFolder_ = folder;
    const EngineProfile* profile = FindEngineProfile(Version());
    WriteText(*directories_, DirectoryText(profile->baseDirectorySetting) - directories_->Address(),
              folder);
    WriteText(*directories_, DirectoryText(kSavegames) - directories_->Address(), "SAVES\\");
}

std::string EngineSlotFolder(int slot) {
    switch (slot) {
    case 0:
        return "quicksave\\";
    case -1:
        return "current\\";
    default:
        return "savegame" + std::to_string(slot) + "\\";
    }
}

void FakeWorld::MakeSlotFolder(int slot) const {
    if (baseFolder_.empty()) {
        throw std::runtime_error("the engine's options name no base folder to save into");
    }
    std::filesystem::create_directories(
        platform::NativePath(baseFolder_ + "SAVES\\" + EngineSlotFolder(slot)));
}

std::uint32_t FakeWorld::DirectoryText(int setting) const {
    constexpr int kSettings = 32;
    if (setting < 0 || setting >= kSettings) {
        throw std::runtime_error("no options directory " + std::to_string(setting));
    }
    return directories_->Address() + static_cast<std::uint32_t>(setting) *
                                         static_cast<std::uint32_t>(sizeof(EngineStringBytes));
}

void FakeWorld::PlaceEngineCallers() {
    const auto sections = binding::ReadSections(binding::LiveProcessMemory(), process_.Begin());
    if (sections.size() != 2) {
        throw std::runtime_error("the fake image has no code and data sections");
    }
    const std::vector<std::string_view> functions{
        "hook:save(oCGame::WriteSavegame)",     "hook:load_save(oCGame::LoadSavegame)",
        "hook:load_new(oCGame::LoadGame)",      "hook:change_level(oCGame::ChangeLevel)",
        "hook:replace(zCFont::GetFontData)",    "hook:replace(zCView::PrintChars)",
        "hook:replace(zCInput_Win32::SetState)"};
    constexpr std::uint32_t kThunkBytes = 8;
    const std::uint32_t first =
        FreeSpot(sections[0].begin, sections[0].end,
                 kThunkBytes * static_cast<std::uint32_t>(functions.size()));
    std::uint32_t at = first;
    for (const std::string_view fact : functions) {
        const std::uint32_t target = Offset(fact);
        const std::uint32_t displacement = target - (at + 5);
        std::array<std::uint8_t, kThunkBytes> code{0xE9, 0, 0, 0, 0, 0xCC, 0xCC, 0xCC};
        std::memcpy(&code[1], &displacement, sizeof displacement);
        std::memcpy(binding::abi::AddressOf(at), code.data(), code.size());
        callers_.emplace(std::string(fact), at);
        at += kThunkBytes;
    }
    table_ = FreeSpot(sections[1].begin, sections[1].end,
                      4 * static_cast<std::uint32_t>(kTableEntries.size()));
    for (std::size_t i = 0; i < kTableEntries.size(); ++i) {
        process_.WriteWord(table_ + 4 * static_cast<std::uint32_t>(i), Offset(kTableEntries.at(i)));
    }
}

// Room in a section that no fact of the version names, so that nothing of the engine's is
// written over; from the section's end down, where the fake image has nothing else.
std::uint32_t FakeWorld::FreeSpot(std::uint32_t begin, std::uint32_t end,
                                  std::uint32_t size) const {
    constexpr std::uint32_t kMargin = 16;  // a placed function's jump takes 15 bytes
    for (std::uint32_t spot = end - size - kMargin; spot > begin + kMargin; spot -= kMargin) {
        bool free = true;
        for (const EngineFact& fact : binding::EngineFacts(Version())) {
            if ((fact.kind == FactKind::Function || fact.kind == FactKind::Global) &&
                fact.value + kMargin > spot && fact.value < spot + size + kMargin) {
                free = false;
                break;
            }
        }
        if (free) {
            return spot;
        }
    }
    throw std::runtime_error("no room for the engine's callers in the fake image");
}

std::uint32_t FakeWorld::CallerOf(std::string_view fact) const {
    const auto found = callers_.find(fact);
    if (found == callers_.end()) {
        throw std::runtime_error("the fake image has no caller of " + std::string(fact));
    }
    return found->second;
}

std::uint32_t FakeWorld::TableEntry(std::string_view fact) const {
    for (std::size_t i = 0; i < kTableEntries.size(); ++i) {
        if (kTableEntries.at(i) == fact) {
            return table_ + 4 * static_cast<std::uint32_t>(i);
        }
    }
    throw std::runtime_error("the fake image's table has no entry for " + std::string(fact));
}

void FakeWorld::SetKey(int key, bool down) {
    if (down) {
        if (!held_.contains(key)) {
            toggled_.insert(key);
        }
        held_.insert(key);
    } else {
        held_.erase(key);
    }
}

void FakeWorld::HoldKeys(const std::set<int>& keys) {
    for (const int key : keys) {
        if (!held_.contains(key)) {
            toggled_.insert(key);
        }
    }
    held_ = keys;
}

// ---- What a scene checks ----

int FakeWorld::AmountIn(const FakeObject& place, std::string_view instance) const {
    int amount = 0;
    const auto items =
        place.kind == FakeObject::Kind::Chest ? Walk(ChestHead(place)) : Inventory(place);
    for (const FakeObject* item : items) {
        if (item->instanceName == instance) {
            amount += Read<int>(*item, Offset("eng_item_amount"));
        }
    }
    return amount;
}

int FakeWorld::AmountOnGround(std::string_view instance) const {
    int amount = 0;
    for (const FakeObject* item : Walk(worldItems_)) {
        if (item->instanceName == instance) {
            amount += Read<int>(*item, Offset("eng_item_amount"));
        }
    }
    return amount;
}

}  // namespace pilfern::fakegame
