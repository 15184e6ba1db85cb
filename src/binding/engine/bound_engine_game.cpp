// The bound engine: chests and messages, the script parser, input and options.

#include "binding/engine/bound_calls.h"
#include "binding/engine/bound_engine.h"

namespace pilfern::binding {
namespace {

// The characters of a text for an engine function that takes plain characters.
const char* CharactersOf(const zSTRING& text) {
    return text.HasBuffer() ? text.ToChar() : "";
}

}  // namespace

// Chests and the conversation message that announces an unlock.

const zCListSort<oCItem>* BoundEngine::eng_container_item_list(const oCMobContainer* chest) {
    if (chest == nullptr) {
        return nullptr;
    }
    return FirstItemNode(
        abi::FieldAddress(chest, At(OperationIndex("eng_container_item_list")).value));
}

void BoundEngine::eng_container_remove_item(oCMobContainer* chest, oCItem* item) {
    bound::Call<void>(At(OperationIndex("eng_container_remove_item")), chest, item);
}

zSTRING BoundEngine::eng_mob_condition_func(const oCMobInter* mob) {
    return TextAt(mob, OperationIndex("eng_mob_condition_func"));
}

std::uint32_t BoundEngine::eng_mob_lock_flags(const oCMobLockable* mob) {
    return bound::Field<std::uint32_t>(mob, At(OperationIndex("eng_mob_lock_flags")));
}

void BoundEngine::eng_mob_set_lock_flags(oCMobLockable* mob, std::uint32_t flags) {
    abi::WriteAt(mob, At(OperationIndex("eng_mob_set_lock_flags")).value, flags);
}

void BoundEngine::eng_mob_set_locked(oCMobLockable* mob, int locked) {
    bound::Call<void>(At(OperationIndex("eng_mob_set_locked")), mob, locked);
}

zSTRING BoundEngine::eng_mob_key_instance(const oCMobLockable* mob) {
    return TextAt(mob, OperationIndex("eng_mob_key_instance"));
}

int BoundEngine::eng_mob_state_count(const oCMobInter* mob) {
    return bound::Field<int>(mob, At(OperationIndex("eng_mob_state_count")));
}

zSTRING BoundEngine::eng_mob_name(const oCMob* mob) {
    return abi::ReceiveText(support_.strings, [&](void* result) {
        bound::CallInto(At(OperationIndex("eng_mob_name")), mob, result);
    });
}

void BoundEngine::eng_mob_begin_state_change(oCMobInter* mob, oCNpc* user, int from, int to) {
    bound::Call<void>(At(OperationIndex("eng_mob_begin_state_change")), mob, user, from, to);
}

void BoundEngine::eng_mob_end_state_change(oCMobInter* mob, oCNpc* user, int from, int to) {
    bound::Call<void>(At(OperationIndex("eng_mob_end_state_change")), mob, user, from, to);
}

// The message is made on the engine's heap, which frees it once it has been handled.
oCMsgConversation* BoundEngine::eng_msg_conversation_create(int subtype, const zSTRING& name) {
    void* memory = abi::CallPlain<void*>(support_.operatorNew, support_.messageSize);
    if (memory == nullptr) {
        return nullptr;
    }
    const abi::EngineString engineName(support_.strings, name);
    bound::Call<void*>(At(OperationIndex("eng_msg_conversation_create")), memory, subtype,
                       engineName.Object());
    return static_cast<oCMsgConversation*>(memory);
}

void BoundEngine::eng_msg_target(oCMsgConversation* message, zCVob* target) {
    abi::WriteAt(message, At(OperationIndex("eng_msg_target")).value, target);
}

void BoundEngine::eng_msg_flag(oCMsgConversation* message, int flag) {
    abi::WriteAt(message, At(OperationIndex("eng_msg_flag")).value, flag);
}

// The script parser.

// The parser is the global object itself, not a pointer to it.
zCParser* BoundEngine::eng_script_parser() {
    return static_cast<zCParser*>(abi::AddressOf(At(OperationIndex("eng_script_parser")).value));
}

zCPar_Symbol* BoundEngine::eng_script_find_symbol(zCParser* parser, const zSTRING& name) {
    const abi::EngineString engineName(support_.strings, name);
    return bound::Call<zCPar_Symbol*>(At(OperationIndex("eng_script_find_symbol")), parser,
                                      engineName.Object());
}

// The engine writes the symbol's value (element 0) where it is told.
int BoundEngine::eng_script_symbol_int(const zCPar_Symbol* symbol) {
    int value = 0;
    bound::Call<void>(At(OperationIndex("eng_script_symbol_int")), symbol, &value, 0);
    return value;
}

void BoundEngine::eng_script_set_instance(zCParser* parser, const zSTRING& name, zCObject* object) {
    const abi::EngineString engineName(support_.strings, name);
    bound::Call<int>(At(OperationIndex("eng_script_set_instance")), parser, engineName.Object(),
                     object);
}

// A script function's whole-number result comes back as the call's word.
int BoundEngine::eng_script_call_by_name(zCParser* parser, const zSTRING& name) {
    const abi::EngineString engineName(support_.strings, name);
    return bound::Call<int>(At(OperationIndex("eng_script_call_by_name")), parser,
                            engineName.Object());
}

int BoundEngine::eng_script_symbol_index(zCParser* parser, const zSTRING& name) {
    const abi::EngineString engineName(support_.strings, name);
    return bound::Call<int>(At(OperationIndex("eng_script_symbol_index")), parser,
                            engineName.Object());
}

// The parser's call by index takes a variable argument list: __cdecl, the parser first.
int BoundEngine::eng_script_call_by_index(zCParser* parser, int index) {
    return bound::Call<int>(At(OperationIndex("eng_script_call_by_index")), parser, index);
}

// The input manager.

zCInput* BoundEngine::eng_input() {
    return bound::Global<zCInput*>(At(OperationIndex("eng_input")));
}

bool BoundEngine::eng_input_key_pressed(zCInput* input, int key) {
    return bound::Call<int>(At(OperationIndex("eng_input_key_pressed")), input, key) != 0;
}

bool BoundEngine::eng_input_key_toggled(zCInput* input, int key) {
    return bound::Call<int>(At(OperationIndex("eng_input_key_toggled")), input, key) != 0;
}

bool BoundEngine::eng_input_mouse_right_pressed(zCInput* input) {
    return bound::Call<int>(At(OperationIndex("eng_input_mouse_right_pressed")), input) != 0;
}

void BoundEngine::eng_input_clear_key_buffer(zCInput* input) {
    bound::Call<void>(At(OperationIndex("eng_input_clear_key_buffer")), input);
}

// The options object. Its readers take the section as an engine string, the key (and a text
// default) as plain characters.

zCOption* BoundEngine::eng_options() {
    return bound::Global<zCOption*>(At(OperationIndex("eng_options")));
}

int BoundEngine::eng_options_read_int(zCOption* options, const zSTRING& section, const zSTRING& key,
                                      int fallback) {
    const abi::EngineString engineSection(support_.strings, section);
    return bound::Call<int>(At(OperationIndex("eng_options_read_int")), options,
                            engineSection.Object(), CharactersOf(key), fallback);
}

bool BoundEngine::eng_options_read_bool(zCOption* options, const zSTRING& section,
                                        const zSTRING& key, bool fallback) {
    const abi::EngineString engineSection(support_.strings, section);
    return bound::Call<int>(At(OperationIndex("eng_options_read_bool")), options,
                            engineSection.Object(), CharactersOf(key),
                            static_cast<int>(fallback)) != 0;
}

zSTRING BoundEngine::eng_options_read_string(zCOption* options, const zSTRING& section,
                                             const zSTRING& key, const zSTRING& fallback) {
    const abi::EngineString engineSection(support_.strings, section);
    return abi::ReceiveText(support_.strings, [&](void* result) {
        bound::CallInto(At(OperationIndex("eng_options_read_string")), options, result,
                        engineSection.Object(), CharactersOf(key), CharactersOf(fallback));
    });
}

// The engine answers its own string of the directory: read, not dropped.
zSTRING BoundEngine::eng_options_directory(const zCOption* options, int setting) {
    const auto* directory = bound::Call<const zSTRING_Engine*>(
        At(OperationIndex("eng_options_directory")), options, setting);
    return directory == nullptr ? zSTRING() : abi::PluginTextOf(*directory);
}

}  // namespace pilfern::binding
