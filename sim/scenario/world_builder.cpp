#include "sim/scenario/world_builder.h"

#include <stdexcept>

#include "platform/platform.h"

namespace pilfern::sim {
namespace {

zVEC3 Vector(const Position& position) {
    return zVEC3{position[0], position[1], position[2]};
}

template <class T>
void Set(T& target, const std::optional<T>& value) {
    if (value) {
        target = *value;
    }
}

class Builder {
public:
    explicit Builder(SimGame& game) : game_(game), engine_(game.engine) {}

    std::string Text(const std::string& utf8) const {
        return platform::Utf8ToCodePage(utf8, game_.framework.codePage);
    }

    // An engine text from the scenario's UTF-8, when the scenario gives one.
    void SetText(zSTRING& target, const std::optional<std::string>& utf8) const {
        if (utf8) {
            target = zSTRING(Text(*utf8));
        }
    }

    void ApplyVob(VobData& vob, const std::optional<Position>& position,
                  const std::optional<bool>& visual,
                  const std::optional<std::optional<std::string>>& room) const {
        if (position) {
            vob.position = Vector(*position);
        }
        Set(vob.hasVisual, visual);
        if (room) {
            vob.roomName = *room ? std::optional<std::string>(Text(**room)) : std::nullopt;
        }
    }

    // An instance number: given, or the number of the instance named.
    [[nodiscard]] int Number(const InstanceRef& instance) const {
        if (const auto* name = std::get_if<std::string>(&instance)) {
            return engine_.InstanceIndex(*name);
        }
        return std::get<int>(instance);
    }

    // What the scripts give every item of an instance, from the scenario's definition of it or
    // from the first item of it. An item is named after its instance unless the scenario names
    // it.
    template <class Described>
    void Define(std::string_view instance, const Described& fields) const {
        ItemInstance& definition = engine_.DefineItemInstance(instance);
        definition.name = zSTRING(fields.name ? Text(*fields.name) : std::string(instance));
        SetText(definition.text, fields.text);
        SetText(definition.displayName, fields.displayName);
        SetText(definition.arrowText, fields.arrowText);
        Set(definition.category, fields.category);
        Set(definition.flags, fields.flags);
        Set(definition.questWord, fields.questWord);
        if (fields.munition) {
            definition.munition = Number(*fields.munition);
        }
        Set(definition.armorWord, fields.armor);
    }

    void ApplyItem(SimItem& item, const ItemSpec& spec) const {
        if (spec.instance) {
            item.vob.instanceName = SimEngine::SymbolName(*spec.instance);
        }
        if (spec.instanceIndex &&
            !engine_.NumberInstance(item.vob.instanceName, *spec.instanceIndex)) {
            throw std::runtime_error("instanceIndex: the instance " + item.vob.instanceName +
                                     " has another number than " +
                                     std::to_string(*spec.instanceIndex));
        }
        if (spec.instance || spec.instanceIndex) {
            item.instanceIndex = engine_.InstanceIndex(item.vob.instanceName);
        }
        SetText(item.name, spec.name);
        SetText(item.textField, spec.text);
        SetText(item.displayName, spec.displayName);
        SetText(item.arrowText, spec.arrowText);
        Set(item.amount, spec.amount);
        // The engine's flag word holds the category bit and the worn flag beside the script's
        // flags, which are what the scenario's `flags` give.
        const std::uint32_t scriptFlags =
            spec.flags.value_or(item.flags & ~(item.mainCategory | kItemFlagWorn));
        const std::uint32_t worn = item.flags & kItemFlagWorn;
        Set(item.mainCategory, spec.category);
        item.flags = scriptFlags | item.mainCategory | worn;
        Set(item.nbQuestWord, spec.questWord);
        if (spec.munition) {
            item.munition = Number(*spec.munition);
        }
        Set(item.armorWord, spec.armor);
        Set(item.vob.flagBits, spec.vobBits);
        Set(item.groundCheck, spec.groundCheck);
        ApplyVob(item.vob, spec.position, spec.visual, spec.room);
        if (spec.worn) {
            if (*spec.worn) {
                SimEngine::Wear(item);
            } else {
                engine_.TakeOff(item);
            }
        }
    }

    // An item as the game makes it from its instance, with what the scenario gives it besides.
    SimItem& CreateItem(const ItemSpec& spec) const {
        if (engine_.FindItemInstance(*spec.instance) == nullptr) {
            // The scripts make all items of an instance alike: the first item of an instance the
            // scenario does not define defines it.
            Define(*spec.instance, spec);
        }
        SimItem& item = engine_.MakeItem(spec.id, *spec.instance);
        ApplyItem(item, spec);
        return item;
    }

    // A worn item is one item: the game splits one off a stack to put it on.
    static void RequireOne(const SimItem& item, const std::string& field) {
        if (item.amount > 1) {
            throw std::runtime_error(field + ": the item \"" + item.vob.id + "\" is a stack of " +
                                     std::to_string(item.amount) +
                                     " when the step is played; a worn item is one item");
        }
    }

    // A worn item of the NPC's inventory that it holds as a weapon or in a hand; none for null.
    SimItem* WornItem(SimNpc& npc, const std::optional<std::string>& id,
                      const std::string& field) const {
        if (!id) {
            return nullptr;
        }
        SimItem* item = engine_.FindItem(*id);
        if (item == nullptr || engine_.HolderOf(item) != &npc) {
            throw std::runtime_error(npc.vob.id + "." + field + ": the item \"" + *id +
                                     "\" is not in the inventory of " + npc.vob.id +
                                     " when the step is played");
        }
        RequireOne(*item, npc.vob.id + "." + field);
        SimEngine::Wear(*item);
        return item;
    }

    // The drawn weapon is held in the right hand; a hand given null puts away what it holds.
    void SetWeapons(SimNpc& npc, const NpcSpec& given) const {
        if (given.drawnWeapon) {
            engine_.Hold(npc, SimEngine::Hand::Right,
                         WornItem(npc, *given.drawnWeapon, "drawnWeapon"));
        }
        if (given.leftHand) {
            engine_.Hold(npc, SimEngine::Hand::Left, WornItem(npc, *given.leftHand, "leftHand"));
        }
        if (given.rangedWeapon) {
            npc.rangedWeapon = WornItem(npc, *given.rangedWeapon, "rangedWeapon");
        }
    }

    void ApplyNpc(SimNpc& npc, const NpcSpec& spec) const {
        if (spec.instance) {
            npc.vob.instanceName = SimEngine::SymbolName(*spec.instance);
        }
        if (spec.name) {
            npc.name = Text(*spec.name);
        }
        Set(npc.hitpoints, spec.hitpoints);
        Set(npc.bodyState, spec.bodyState);
        Set(npc.dead, spec.dead);
        Set(npc.unconscious, spec.unconscious);
        Set(npc.inBattle, spec.inBattle);
        Set(npc.lootBlock, spec.lootBlock);
        Set(npc.queryA, spec.queryA);
        Set(npc.queryB, spec.queryB);
        if (spec.inventoryOpen.value_or(false)) {
            engine_.UnpackInventory(npc);  // the game unpacks the inventory its screen shows
        }
        Set(npc.inventory.open, spec.inventoryOpen);
        if (auto* extended = dynamic_cast<SimNpcEx*>(&npc)) {
            Set(extended->exMarkers, spec.markers);
        }
        Set(npc.model.activeAnimations, spec.animations);
        Set(npc.hasModel, spec.model);
        if (spec.facing) {
            npc.facing = zVEC3{(*spec.facing)[0], (*spec.facing)[1], (*spec.facing)[2]};
        }
        if (spec.interacting) {
            // The engine keeps the object interacted with; the NPC itself stands in for it.
            npc.interactionA = *spec.interacting ? &npc : nullptr;
        }
        SetFocus(npc, spec);
        ApplyVob(npc.vob, spec.position, spec.visual, spec.room);
        SimEngine::CarryHeldItems(npc);
        SetWeapons(npc, spec);
    }

    SimNpc& CreateNpc(const NpcSpec& spec) const {
        SimNpc& npc = engine_.CreateNpc(spec.id, *spec.instance, spec.extended.value_or(false));
        npc.name = *spec.instance;
        npc.hitpoints = 100;
        NpcSpec withoutFocus = spec;
        withoutFocus.focus.reset();  // focus is set once every object exists
        withoutFocus.focusField.reset();
        withoutFocus.drawnWeapon.reset();  // weapons are items of the inventory, made next
        withoutFocus.rangedWeapon.reset();
        withoutFocus.leftHand.reset();
        withoutFocus.focusList.reset();
        ApplyNpc(npc, withoutFocus);
        for (const ItemSpec& itemSpec : spec.inventory) {
            SimItem& item = CreateItem(itemSpec);
            item.vob.inWorld = false;
            npc.inventory.entries.Append(&item);
        }
        npc.inventory.entries.InsertEmpty(spec.emptyInventoryNodes);
        SetWeapons(npc, spec);
        if (spec.inventoryPacked.value_or(false)) {
            engine_.PackInventory(npc);
        }
        return npc;
    }

    void PlaceOrHide(SimNpc& npc, const NpcSpec& spec) const {
        if (spec.inWorld.value_or(true)) {
            engine_.PlaceInWorld(npc);
        } else {
            engine_.RemoveFromWorld(npc);
        }
    }

    void PlaceOrHide(SimItem& item, const ItemSpec& spec) const {
        if (spec.inWorld.value_or(true)) {
            engine_.PlaceInWorld(item);
        } else {
            item.vob.inWorld = false;
        }
    }

    [[nodiscard]] zCVob* FindVob(const std::string& id) const {
        if (SimNpc* npc = engine_.FindNpc(id)) {
            return npc;
        }
        if (SimContainer* container = engine_.FindContainer(id)) {
            return container;
        }
        return engine_.FindItem(id);
    }

    void ApplyContainer(SimContainer& chest, const ContainerSpec& spec) const {
        constexpr std::uint32_t kLockedBit = 1;
        if (spec.instance) {
            chest.vob.instanceName = SimEngine::SymbolName(*spec.instance);
        }
        if (spec.name) {
            chest.shownName = *spec.name ? zSTRING(Text(**spec.name)) : zSTRING();
        }
        if (spec.locked) {
            chest.lockFlags =
                *spec.locked ? (chest.lockFlags | kLockedBit) : (chest.lockFlags & ~kLockedBit);
        }
        // The chest's texts are the level's, kept as written.
        if (spec.key) {
            chest.keyInstance = zSTRING(*spec.key ? Text(**spec.key) : std::string());
        }
        if (spec.condition) {
            chest.conditionFunction = *spec.condition ? zSTRING(Text(**spec.condition)) : zSTRING();
        }
        Set(chest.stateCount, spec.states);
        Set(chest.state, spec.state);
        Set(chest.vob.flagBits, spec.vobBits);
        ApplyVob(chest.vob, spec.position, spec.visual, spec.room);
    }

    // A chest with its items; they lie in no world unless the scenario says.
    SimContainer& CreateContainer(const ContainerSpec& spec) const {
        SimContainer& chest = engine_.CreateContainer(spec.id, *spec.instance);
        ApplyContainer(chest, spec);
        for (const ItemSpec& itemSpec : spec.items) {
            SimItem& item = CreateItem(itemSpec);
            item.vob.inWorld = itemSpec.inWorld.value_or(false);
            chest.items.Append(&item);
        }
        chest.items.InsertEmpty(spec.emptyNodes);
        if (spec.inWorld.value_or(true)) {
            engine_.PlaceInWorld(chest);
        } else {
            chest.vob.inWorld = false;
        }
        return chest;
    }

    void ApplyScripts(const ScriptsSpec& scripts) const {
        for (const auto& [name, result] : scripts.functions) {
            engine_.SetFunction(Text(name), result);
        }
    }

    void ApplyFocusRanges(const FocusRangesSpec& ranges) const {
        oCNpcFocus& normal = engine_.Focus(SimEngine::FocusMode::Normal);
        Set(normal.items.range, ranges.items);
        Set(normal.npcs.range, ranges.npcs);
        Set(normal.mobs.range, ranges.mobs);
    }

    void ApplyGame(const GameSpec& spec) const {
        Set(engine_.game.paused, spec.paused);
        Set(engine_.dialogs.conversationRunning, spec.conversation);
        Set(engine_.uiBlock, spec.uiBlock);
    }

    // A camera change shows when the game next draws its world, at the end of a frame.
    void ApplyCamera(const CameraSpec& spec) const {
        zCCamera& camera = engine_.camera;
        if (spec.position) {
            camera.position = Vector(*spec.position);
            camera.followsPlayer = false;
        }
        if (spec.direction) {
            camera.direction = Vector(*spec.direction);
            camera.followsPlayer = false;
        }
        Set(camera.followsPlayer, spec.followPlayer);
        Set(camera.fieldOfView, spec.fieldOfView);
        Set(camera.nearPlane, spec.nearPlane);
        Set(camera.active, spec.active);
    }

    void ApplyRoomRegistry(const std::optional<RoomRegistrySpec>& spec) const {
        engine_.roomRegistry.reset();
        if (spec) {
            engine_.roomRegistry.emplace();
            for (const std::string& room : spec->rooms) {
                engine_.roomRegistry->rooms.push_back(oCPortalRoom{Text(room)});
            }
        }
    }

    void ApplyBlockers(const std::vector<BlockerSpec>& blockers) const {
        for (const BlockerSpec& blocker : blockers) {
            engine_.blockers.push_back(
                Blocker{blocker.id, Vector(blocker.min), Vector(blocker.max)});
        }
    }

    void ApplySymbols(const std::map<std::string, int>& symbols) const {
        for (const auto& [name, value] : symbols) {
            engine_.SetSymbol(name, value);
        }
    }

    // The engine's focus and the focus field follow `focus`; `focusField` sets the field
    // apart from it.
    void SetFocus(SimNpc& npc, const NpcSpec& spec) const {
        if (spec.focus) {
            npc.focusVob = *spec.focus ? FindVob(**spec.focus) : nullptr;
            npc.focusField = npc.focusVob;
        }
        if (spec.focusField) {
            npc.focusField = *spec.focusField ? FindVob(**spec.focusField) : nullptr;
        }
        if (spec.focusList) {
            npc.focusList.emplace();
            for (const std::string& id : *spec.focusList) {
                npc.focusList->push_back(FindVob(id));
            }
        }
    }

private:
    SimGame& game_;
    SimEngine& engine_;
};

// Puts an object into the world or takes it out, when a step says so and it is not so yet.
template <class Object>
void MoveInOrOut(SimEngine& engine, Object& object, std::optional<bool> inWorld) {
    if (!inWorld || *inWorld == object.vob.inWorld) {
        return;
    }
    if (*inWorld) {
        engine.PlaceInWorld(object);
    } else {
        engine.RemoveFromWorld(object);
    }
}

// The NPC whose inventory holds an item a step names: the game may have moved it since.
SimNpc& HolderFor(const SimEngine& engine, const std::string& id, const std::string& step) {
    SimNpc* holder = engine.HolderOf(engine.FindItem(id));
    if (holder == nullptr) {
        throw std::runtime_error(step + ": the item \"" + id +
                                 "\" is in no inventory when the step is played");
    }
    return *holder;
}

InventoryChange Change(InventoryChange::Kind kind, const SimNpc& npc, const SimItem& item) {
    return {kind, npc.vob.id, item.vob.id, item.vob.instanceName, item.amount, item.vob.position};
}

}  // namespace

void DefineItemInstances(SimGame& game, const Scenario& scenario) {
    for (const auto& [name, number] : scenario.instanceNumbers) {
        if (!game.engine.NumberInstance(name, number)) {
            throw std::runtime_error("the instance " + name + " cannot have the number " +
                                     std::to_string(number) + ": it is taken");
        }
    }
    const Builder builder(game);
    for (const auto& [name, definition] : scenario.instances) {
        builder.Define(name, definition);
    }
}

void BuildWorld(SimGame& game, const WorldSpec& world) {
    const Builder builder(game);
    if (world.player) {
        SimNpc& player = builder.CreateNpc(*world.player);
        builder.PlaceOrHide(player, *world.player);
        game.engine.SetPlayer(&player);
    }
    for (const NpcSpec& spec : world.npcs) {
        builder.PlaceOrHide(builder.CreateNpc(spec), spec);
    }
    for (const ItemSpec& spec : world.items) {
        builder.PlaceOrHide(builder.CreateItem(spec), spec);
    }
    for (const ContainerSpec& spec : world.containers) {
        builder.CreateContainer(spec);
    }
    if (world.player) {
        builder.SetFocus(*game.engine.FindNpc(world.player->id), *world.player);
    }
    for (const NpcSpec& spec : world.npcs) {
        builder.SetFocus(*game.engine.FindNpc(spec.id), spec);
    }
    builder.ApplySymbols(world.symbols);
    builder.ApplyScripts(world.scripts);
    builder.ApplyFocusRanges(world.focusRanges);
    builder.ApplyGame(world.game);
    builder.ApplyCamera(world.camera);
    builder.ApplyBlockers(world.blockers);
    builder.ApplyRoomRegistry(world.roomRegistry);
    game.engine.InsertEmptyWorldNodes(world.emptyNodes.items, world.emptyNodes.npcs);
    if (world.transformedFrom) {
        game.engine.SetOwnBody(*game.engine.FindNpc(*world.transformedFrom));
    }
}

void ApplyGameData(SimGame& game, const GameDataSpec& data) {
    if (data.fonts) {
        game.engine.ClearFonts();
        for (const FontSpec& font : *data.fonts) {
            game.engine.AddFont(font.name, font.height);
        }
    }
    if (data.textures) {
        game.engine.textureFiles.clear();
        for (const std::string& texture : *data.textures) {
            game.engine.textureFiles.insert(SimEngine::SymbolName(texture));
        }
    }
    if (data.visualEffects) {
        game.engine.visualEffects.clear();
        for (const std::string& effect : *data.visualEffects) {
            game.engine.visualEffects.insert(SimEngine::SymbolName(effect));
        }
    }
}

void SetUpGame(SimGame& game, const Scenario& scenario) {
    game.clock = scenario.startTime;
    game.framework.systemLanguage = scenario.language;
    game.framework.codePage = scenario.codePage;
    game.engine.screenWidth = scenario.screenWidth;
    game.engine.screenHeight = scenario.screenHeight;
    game.framework.missingFunctions.insert(scenario.missingEngineFunctions.begin(),
                                           scenario.missingEngineFunctions.end());
    game.engine.options.addMissingKeys = scenario.addMissingOptions;
    for (const auto& [slot, name] : scenario.savegameFolders) {
        game.engine.savegameFolderNames[slot] = name;
    }
    game.slotCopies = scenario.copiesAllSlotFiles ? SlotCopies::AllFiles : SlotCopies::GameFiles;
    if (scenario.world.name) {
        game.SetWorldName(*scenario.world.name);
    }
    ApplyGameData(game, scenario.gameData);
    DefineItemInstances(game, scenario);
    BuildWorld(game, scenario.world);
}

std::vector<InventoryChange> ApplyWorldStep(SimGame& game, const WorldStep& step) {
    const Builder builder(game);
    std::vector<InventoryChange> changes;
    for (const NpcSpec& spec : step.spawnNpcs) {
        builder.PlaceOrHide(builder.CreateNpc(spec), spec);
    }
    for (const ItemSpec& spec : step.spawnItems) {
        builder.PlaceOrHide(builder.CreateItem(spec), spec);
    }
    // New items, made as the game makes them in an inventory: joining a stack of their
    // instance there.
    for (const auto& [id, items] : step.give) {
        SimNpc& npc = *game.engine.FindNpc(id);
        for (const ItemSpec& given : items) {
            SimItem& item = builder.CreateItem(given);
            changes.push_back(Change(InventoryChange::Kind::Give, npc, item));
            game.engine.PutInInventory(npc, item);
        }
    }
    for (const ContainerSpec& spec : step.spawnContainers) {
        builder.CreateContainer(spec);
    }
    for (const NpcSpec& spec : step.spawnNpcs) {
        builder.SetFocus(*game.engine.FindNpc(spec.id), spec);
    }
    for (const NpcSpec& spec : step.updateNpcs) {
        SimNpc& npc = *game.engine.FindNpc(spec.id);
        builder.ApplyNpc(npc, spec);
        MoveInOrOut(game.engine, npc, spec.inWorld);
    }
    for (const ItemSpec& spec : step.updateItems) {
        SimItem& item = *game.engine.FindItem(spec.id);
        if (spec.worn.value_or(false)) {
            static_cast<void>(HolderFor(game.engine, spec.id, "worn"));
            Builder::RequireOne(item, "worn");
        }
        builder.ApplyItem(item, spec);
        MoveInOrOut(game.engine, item, spec.inWorld);
    }
    for (const std::string& id : step.take) {
        SimItem& item = *game.engine.FindItem(id);
        changes.push_back(
            Change(InventoryChange::Kind::Take, HolderFor(game.engine, id, "take"), item));
        game.engine.TakeOutOfInventory(item);
    }
    for (const std::string& id : step.drop) {
        SimItem& item = *game.engine.FindItem(id);
        const SimNpc& holder = HolderFor(game.engine, id, "drop");
        item.vob.position = holder.vob.position;
        changes.push_back(Change(InventoryChange::Kind::Drop, holder, item));
        game.engine.PlaceInWorld(item);
    }
    for (const ContainerSpec& spec : step.updateContainers) {
        SimContainer& chest = *game.engine.FindContainer(spec.id);
        builder.ApplyContainer(chest, spec);
        MoveInOrOut(game.engine, chest, spec.inWorld);
    }
    for (const std::string& id : step.remove) {
        if (SimNpc* npc = game.engine.FindNpc(id)) {
            MoveInOrOut(game.engine, *npc, false);
        } else if (SimItem* item = game.engine.FindItem(id)) {
            MoveInOrOut(game.engine, *item, false);
        } else if (SimContainer* chest = game.engine.FindContainer(id)) {
            MoveInOrOut(game.engine, *chest, false);
        }
    }
    builder.ApplySymbols(step.symbols);
    builder.ApplyScripts(step.scripts);
    builder.ApplyFocusRanges(step.focusRanges);
    builder.ApplyGame(step.game);
    builder.ApplyCamera(step.camera);
    if (step.roomRegistry) {
        builder.ApplyRoomRegistry(*step.roomRegistry);
    }
    // Checked here, where a scenario's mistake ends the run with a message: the engine's own
    // checks stop the game.
    if (step.transform && game.engine.OwnBody() != nullptr) {
        throw std::runtime_error("transform: the player is transformed already");
    }
    if (step.transformBack && game.engine.OwnBody() == nullptr) {
        throw std::runtime_error("transformBack: the player is not transformed");
    }
    if (step.transform) {
        SimNpc& creature = builder.CreateNpc(*step.transform);
        game.engine.Transform(creature);
        builder.SetFocus(creature, *step.transform);
    }
    if (step.transformBack) {
        game.engine.TransformBack();
    }
    return changes;
}

}  // namespace pilfern::sim
