// Chests and the other interactive objects of the world (mobs), the NPCs bound to them, and
// the messages the engine's event managers receive.

#include <algorithm>

#include "sim/sim_engine.h"

namespace pilfern::sim {
namespace {

constexpr std::uint32_t kLockedBit = 1;

const SimContainer* ContainerOf(const zCObject* object) {
    return dynamic_cast<const SimContainer*>(object);
}
SimContainer* ContainerOf(zCObject* object) {
    return dynamic_cast<SimContainer*>(object);
}
SimConversationMessage* MessageOf(zCObject* object) {
    return dynamic_cast<SimConversationMessage*>(object);
}

std::string Change(int from, int to) {
    return std::to_string(from) + " \u2192 " + std::to_string(to);
}

// What is wrong with beginning a change of `chest` from `from` to `to`: the engine plays it
// all the same, as the game does, but a mod author wants to see it.
std::string BeginFault(const SimContainer& chest, int from, int to) {
    if (chest.changing) {
        return "it begins while " + Change(chest.changing->from, chest.changing->to) +
               " has not ended";
    }
    if (from != chest.state) {
        return "the chest is in state " + std::to_string(chest.state) + ", not " +
               std::to_string(from);
    }
    if (to < 0 || to > chest.stateCount) {
        return "the chest has no state " + std::to_string(to) + " (its states are 0 to " +
               std::to_string(chest.stateCount) + ")";
    }
    return {};
}

std::string EndFault(const SimContainer& chest, const oCNpc* user, int from, int to) {
    if (!chest.changing) {
        return "it ends without its begin";
    }
    const StateChange& begun = *chest.changing;
    if (begun.from != from || begun.to != to || begun.user != user) {
        return "it ends without its begin (the change begun is " + Change(begun.from, begun.to) +
               ")";
    }
    return {};
}

std::optional<std::string> TextOf(const zSTRING& text) {
    return text.HasBuffer() ? std::optional<std::string>(text.Text()) : std::nullopt;
}

}  // namespace

SimContainer& SimEngine::CreateContainer(std::string id, std::string_view instanceName) {
    auto& container = containers_.emplace_back(std::make_unique<SimContainer>());
    container->vob.id = std::move(id);
    container->vob.instanceName = SymbolName(instanceName);
    return *container;
}

SimContainer* SimEngine::FindContainer(std::string_view id) const {
    const auto found =
        std::find_if(containers_.begin(), containers_.end(),
                     [id](const auto& container) { return container->vob.id == id; });
    return found == containers_.end() ? nullptr : found->get();
}

void SimEngine::PlaceInWorld(SimContainer& container) {
    container.vob.inWorld = true;
}

void SimEngine::RemoveFromWorld(SimContainer& container) {
    container.vob.inWorld = false;
    ForgetFocusOn(&container);
}

SimNpc* SimEngine::NpcOwning(const zCEventManager* events) const {
    const auto found = std::find_if(npcs_.begin(), npcs_.end(),
                                    [events](const auto& npc) { return &npc->events == events; });
    return found == npcs_.end() ? nullptr : found->get();
}

std::vector<GameEvent> SimEngine::TakeGameEvents() {
    std::vector<GameEvent> events;
    events.swap(journal_);
    return events;
}

// ---- Chests ----

const zCListSort<oCItem>* SimEngine::eng_container_item_list(const oCMobContainer* chest) {
    Count(Op(__func__), chest);
    const SimContainer* sim = ContainerOf(chest);
    return sim == nullptr ? nullptr : sim->items.First();
}

void SimEngine::eng_container_remove_item(oCMobContainer* chest, oCItem* item) {
    Count(Op(__func__), chest, item);
    if (SimContainer* sim = ContainerOf(chest)) {
        sim->items.Remove(item);
    }
}

zSTRING SimEngine::eng_mob_condition_func(const oCMobInter* mob) {
    Count(Op(__func__), mob);
    const SimContainer* sim = ContainerOf(mob);
    return sim == nullptr ? zSTRING() : sim->conditionFunction;
}

std::uint32_t SimEngine::eng_mob_lock_flags(const oCMobLockable* mob) {
    Count(Op(__func__), mob);
    const SimContainer* sim = ContainerOf(mob);
    return sim == nullptr ? 0 : sim->lockFlags;
}

void SimEngine::eng_mob_set_lock_flags(oCMobLockable* mob, std::uint32_t flags) {
    Count(Op(__func__), mob, flags);
    if (SimContainer* sim = ContainerOf(mob)) {
        Note(MobLockSet{sim->vob.id, sim->lockFlags, flags});
        sim->lockFlags = flags;
    }
}

void SimEngine::eng_mob_set_locked(oCMobLockable* mob, int locked) {
    Count(Op(__func__), mob, locked);
    if (SimContainer* sim = ContainerOf(mob)) {
        const std::uint32_t flags =
            locked != 0 ? (sim->lockFlags | kLockedBit) : (sim->lockFlags & ~kLockedBit);
        Note(MobLockSet{sim->vob.id, sim->lockFlags, flags});
        sim->lockFlags = flags;
    }
}

zSTRING SimEngine::eng_mob_key_instance(const oCMobLockable* mob) {
    Count(Op(__func__), mob);
    const SimContainer* sim = ContainerOf(mob);
    return sim == nullptr ? zSTRING() : sim->keyInstance;
}

int SimEngine::eng_mob_state_count(const oCMobInter* mob) {
    Count(Op(__func__), mob);
    const SimContainer* sim = ContainerOf(mob);
    return sim == nullptr ? 0 : sim->stateCount;
}

zSTRING SimEngine::eng_mob_name(const oCMob* mob) {
    Count(Op(__func__), mob);
    const SimContainer* sim = ContainerOf(mob);
    return sim == nullptr ? zSTRING() : sim->shownName;
}

// The change is the game's own: it ends in the state it goes to, however it began. Begins and
// ends that do not pair up are faults of the caller, noted with the change.
void SimEngine::eng_mob_begin_state_change(oCMobInter* mob, oCNpc* user, int from, int to) {
    Count(Op(__func__), mob, user, from, to);
    SimContainer* sim = ContainerOf(mob);
    if (sim == nullptr) {
        return;
    }
    std::string fault = BeginFault(*sim, from, to);
    sim->changing = StateChange{user, from, to};
    Note(MobStateChanged{sim->vob.id, Describe(user), from, to, StatePhase::Begin,
                         std::move(fault)});
}

void SimEngine::eng_mob_end_state_change(oCMobInter* mob, oCNpc* user, int from, int to) {
    Count(Op(__func__), mob, user, from, to);
    SimContainer* sim = ContainerOf(mob);
    if (sim == nullptr) {
        return;
    }
    std::string fault = EndFault(*sim, user, from, to);
    if (fault.empty()) {
        sim->changing.reset();
    }
    sim->state = to;
    Note(MobStateChanged{sim->vob.id, Describe(user), from, to, StatePhase::End, std::move(fault)});
}

// ---- NPCs bound to mobs, event managers ----

// The game keeps one record of the binding, the NPC's own: binding it to another object, or
// to none, ends the binding before.
void SimEngine::eng_npc_bind_mob(oCNpc* npc, oCMobInter* mob) {
    Count(Op(__func__), npc, mob);
    auto* sim = dynamic_cast<SimNpc*>(npc);
    if (sim == nullptr) {
        return;
    }
    std::optional<std::string> previous;
    if (sim->interactionA != nullptr) {
        previous = Describe(sim->interactionA);
    }
    sim->interactionA = mob;
    Note(MobBound{Describe(npc), mob == nullptr ? std::nullopt : std::optional(Describe(mob)),
                  std::move(previous)});
}

const SimNpc* SimEngine::UserOf(const SimContainer& chest) const {
    const auto found = std::find_if(npcs_.begin(), npcs_.end(), [&chest](const auto& npc) {
        return npc->interactionA == &chest;
    });
    return found == npcs_.end() ? nullptr : found->get();
}

zCEventManager* SimEngine::eng_npc_event_manager(const oCNpc* npc) {
    Count(Op(__func__), npc);
    auto* sim = const_cast<SimNpc*>(dynamic_cast<const SimNpc*>(npc));
    return sim == nullptr ? nullptr : &sim->events;
}

void SimEngine::eng_event_manager_on_message(zCEventManager* events, zCEventMessage* message,
                                             zCVob* source) {
    Count(Op(__func__), events, message, source);
    if (events == nullptr || message == nullptr) {
        return;
    }
    events->received.push_back({message, source});
    const SimNpc* owner = NpcOwning(events);
    if (const SimConversationMessage* conversation = MessageOf(message)) {
        Note(MessageReceived{owner == nullptr ? Describe(events) : owner->vob.id,
                             conversation->subtype, TextOf(conversation->name),
                             conversation->target == nullptr
                                 ? std::nullopt
                                 : std::optional(Describe(conversation->target)),
                             conversation->flag});
    }
}

// ---- Conversation messages ----

oCMsgConversation* SimEngine::eng_msg_conversation_create(int subtype, const zSTRING& name) {
    Count(Op(__func__), subtype, name);
    auto& message = messages_.emplace_back(std::make_unique<SimConversationMessage>());
    message->number = static_cast<int>(messages_.size());
    message->subtype = subtype;
    message->name = name;
    return message.get();
}

void SimEngine::eng_msg_target(oCMsgConversation* message, zCVob* target) {
    Count(Op(__func__), message, target);
    if (SimConversationMessage* sim = MessageOf(message)) {
        sim->target = target;
    }
}

void SimEngine::eng_msg_flag(oCMsgConversation* message, int flag) {
    Count(Op(__func__), message, flag);
    if (SimConversationMessage* sim = MessageOf(message)) {
        sim->flag = flag;
    }
}

}  // namespace pilfern::sim
