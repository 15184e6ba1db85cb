#include "sim/scenario/world_builder.h"

#include "platform/platform.h"

namespace pilfern::sim {
namespace {

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
            vob.position = zVEC3{(*position)[0], (*position)[1], (*position)[2]};
        }
        Set(vob.hasVisual, visual);
        if (room) {
            vob.roomName = *room ? std::optional<std::string>(Text(**room)) : std::nullopt;
        }
    }

    void ApplyItem(SimItem& item, const ItemSpec& spec) const {
        if (spec.instance) {
            item.vob.instanceName = SimEngine::SymbolName(*spec.instance);
            item.instanceIndex = engine_.InstanceIndex(*spec.instance);
        }
        Set(item.instanceIndex, spec.instanceIndex);
        SetText(item.name, spec.name);
        SetText(item.textField, spec.text);
        SetText(item.displayName, spec.displayName);
        SetText(item.arrowText, spec.arrowText);
        Set(item.amount, spec.amount);
        Set(item.mainCategory, spec.category);
        Set(item.flags, spec.flags);
        Set(item.nbQuestWord, spec.questWord);
        Set(item.munition, spec.munition);
        Set(item.armorWord, spec.armor);
        Set(item.vob.flagBits, spec.vobBits);
        Set(item.groundCheck, spec.groundCheck);
        ApplyVob(item.vob, spec.position, spec.visual, spec.room);
    }

    SimItem& CreateItem(const ItemSpec& spec) const {
        SimItem& item = engine_.CreateItem(spec.id, *spec.instance);
        // An item is named after its instance unless the scenario names it.
        item.name = zSTRING(*spec.instance);
        ApplyItem(item, spec);
        return item;
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
        Set(npc.inventory.open, spec.inventoryOpen);
        if (auto* extended = dynamic_cast<SimNpcEx*>(&npc)) {
            Set(extended->exMarkers, spec.markers);
        }
        Set(npc.model.activeAnimations, spec.animations);
        if (spec.facing) {
            npc.facing = zVEC3{(*spec.facing)[0], (*spec.facing)[1], (*spec.facing)[2]};
        }
        if (spec.interacting) {
            // The engine keeps the object interacted with; the NPC itself stands in for it.
            npc.interactionA = *spec.interacting ? &npc : nullptr;
        }
        SetFocus(npc, spec);
        ApplyVob(npc.vob, spec.position, spec.visual, spec.room);
    }

    SimNpc& CreateNpc(const NpcSpec& spec) const {
        SimNpc& npc = engine_.CreateNpc(spec.id, *spec.instance, spec.extended.value_or(false));
        npc.name = *spec.instance;
        npc.hitpoints = 100;
        NpcSpec withoutFocus = spec;
        withoutFocus.focus.reset();  // focus is set once every object exists
        withoutFocus.focusField.reset();
        withoutFocus.focusList.reset();
        ApplyNpc(npc, withoutFocus);
        for (const ItemSpec& itemSpec : spec.inventory) {
            SimItem& item = CreateItem(itemSpec);
            item.vob.inWorld = false;
            npc.inventory.entries.Append(&item);
        }
        return npc;
    }

    void PlaceOrHide(SimNpc& npc, const NpcSpec& spec) const {
        if (spec.inWorld.value_or(true)) {
            engine_.PlaceInWorld(npc);
        } else {
            npc.vob.inWorld = false;
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
        Set(engine_.focus.itemRange, ranges.items);
        Set(engine_.focus.npcRange, ranges.npcs);
        Set(engine_.focus.mobRange, ranges.mobs);
    }

    void ApplyGame(const GameSpec& spec) const {
        Set(engine_.game.paused, spec.paused);
        Set(engine_.dialogs.conversationRunning, spec.conversation);
        Set(engine_.uiBlock, spec.uiBlock);
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

}  // namespace

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
}

void ApplyWorldStep(SimGame& game, const WorldStep& step) {
    const Builder builder(game);
    for (const NpcSpec& spec : step.spawnNpcs) {
        builder.PlaceOrHide(builder.CreateNpc(spec), spec);
    }
    for (const ItemSpec& spec : step.spawnItems) {
        builder.PlaceOrHide(builder.CreateItem(spec), spec);
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
        builder.ApplyItem(item, spec);
        MoveInOrOut(game.engine, item, spec.inWorld);
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
}

}  // namespace pilfern::sim
