// Every operation of the engine contract, answered by the bound engine of each version in the
// fake game's process: a field is read at its offset, a global at its address, a function or
// a virtual slot is called at the place the version's facts give, on the right object, with
// the right arguments, and its answer comes back as the contract promises.

#include "binding/engine/bound_engine.h"

#include <array>
#include <bit>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "binding/abi/engine_string.h"
#include "binding/engine_facts.h"
#include "fakegame/engine_version_cases.h"
#include "fakegame/fake_game_environment.h"
#include "fakegame/fake_process.h"

namespace pilfern::fakegame {
namespace {

using binding::BoundEngine;
using binding::EngineFact;
using binding::FactKind;
namespace abi = binding::abi;

constexpr std::uint32_t kWord = 0x00C0FFEE;
constexpr std::uint32_t kSecond = 0x00BEEF00;
constexpr float kReal = 0.625F;
constexpr const char* kText = "ITFO_APPLE";

// An engine object: room for the largest offset the facts name, and a virtual table whose
// slots all lead to the trap until a check sends one to a stub.
struct Object {
    alignas(16) std::array<std::uint32_t, 0x1C00> words{};
    std::array<std::uint32_t, 128> table{};
    explicit Object(std::uint32_t trap) {
        table.fill(trap);
        words[0] = abi::AddressOf(table.data());
    }
    template <class T>
    [[nodiscard]] T* As() {
        return reinterpret_cast<T*>(words.data());
    }
    [[nodiscard]] std::uint32_t Address() const { return abi::AddressOf(words.data()); }
};

// What the checks share: the fake process of one version, its bound engine and two objects.
struct Scene {
    const FakeProcess& process;
    BoundEngine engine;
    std::unique_ptr<Object> object;
    std::unique_ptr<Object> other;
    std::vector<std::unique_ptr<EngineStringBytes>> texts;

    explicit Scene(const FakeProcess& fake)
        : process(fake),
          engine(fake.Version()),
          object(std::make_unique<Object>(fake.Begin() + 0x10)),
          other(std::make_unique<Object>(fake.Begin() + 0x10)) {
        fake.Answers() = {kWord, kSecond, kReal, kText, {1.5F, -2.0F, 300.25F}, {1, 2, 3, 4}};
    }

    [[nodiscard]] const EngineFact& Fact(std::string_view operation) const {
        const EngineFact* fact = binding::FindEngineFact(process.Version(), operation);
        if (fact == nullptr) {
            throw std::runtime_error("no fact for " + std::string(operation));
        }
        return *fact;
    }
    // Sends the operation's function, or its virtual slot in `on`, to a stub.
    void Place(std::string_view operation, FakeStub stub, Object& on) const {
        const EngineFact& fact = Fact(operation);
        if (fact.kind == FactKind::VirtualSlot) {
            on.table.at(fact.value) = process.StubAddress(stub);
        } else {
            process.Place(fact.value, stub);
        }
    }
    template <class T>
    void SetField(Object& on, std::string_view operation, const T& value) const {
        abi::WriteAt(on.words.data(), Fact(operation).value, value);
    }
    void SetGlobal(std::string_view operation, std::uint32_t value) const {
        process.WriteWord(Fact(operation).value, value);
    }
    // An engine string with the text, for a field or an answer.
    const EngineStringBytes& Text(const char* text) {
        auto made = std::make_unique<EngineStringBytes>();
        made->text = text;
        made->length = text == nullptr ? 0 : static_cast<std::int32_t>(std::strlen(text));
        texts.push_back(std::move(made));
        return *texts.back();
    }
};

// The expected stack arguments of a call: a value, or one of these.
constexpr std::uint32_t kMadeString = 0xFFFF0001;   // the engine string the binding made last
constexpr std::uint32_t kSomePointer = 0xFFFF0002;  // an address the binding chose

struct Expected {
    FakeStub stub;
    std::uint32_t self;
    std::vector<std::uint32_t> args;
};

void ExpectCall(const Scene& scene, const Expected& expected) {
    const FakeCall& call = scene.process.LastCall();
    EXPECT_EQ(call.stub, static_cast<std::uint32_t>(expected.stub)) << "another stub was reached";
    EXPECT_EQ(call.self, expected.self) << "the call went to another object";
    for (std::size_t i = 0; i < expected.args.size(); ++i) {
        const std::uint32_t want = expected.args[i];
        if (want == kMadeString) {
            EXPECT_EQ(call.args[i], scene.process.Strings().lastMade)
                << "argument " << i + 1 << " is not the engine string the binding made";
        } else if (want == kSomePointer) {
            EXPECT_NE(call.args[i], 0U) << "argument " << i + 1 << " is no address";
        } else {
            EXPECT_EQ(call.args[i], want) << "argument " << i + 1 << " arrived wrong";
        }
    }
}

std::uint32_t Bits(float value) {
    return std::bit_cast<std::uint32_t>(value);
}
std::uint32_t Word(const void* pointer) {
    return abi::AddressOf(pointer);
}

// One operation's check: arrange the scene, run the operation and check what it did.
struct OperationCheck {
    std::string_view operation;
    std::function<void(Scene&)> check;
};

// Field reads of a word, by what the contract answers for it.
struct WordField {
    std::string_view operation;
    std::function<std::uint32_t(BoundEngine&, Object&)> read;
    bool truth = false;  // the contract answers whether the word is non-zero
};

const std::vector<WordField>& WordFields() {
    static const std::vector<WordField> fields{
        {"eng_game_paused",
         [](BoundEngine& e, Object& o) { return std::uint32_t{e.eng_game_paused(o.As<oCGame>())}; },
         true},
        {"eng_game_world",
         [](BoundEngine& e, Object& o) { return Word(e.eng_game_world(o.As<oCGame>())); }},
        {"eng_game_camera",
         [](BoundEngine& e, Object& o) { return Word(e.eng_game_camera(o.As<oCGame>())); }},
        {"eng_game_room_registry",
         [](BoundEngine& e, Object& o) { return Word(e.eng_game_room_registry(o.As<oCGame>())); }},
        {"eng_room_registry_player_room",
         [](BoundEngine& e, Object& o) {
             return Word(e.eng_room_registry_player_room(o.As<oCPortalRoomManager>()));
         }},
        {"eng_list_item",
         [](BoundEngine& e, Object& o) {
             return Word(e.eng_list_item(o.As<zCListSort<oCItem>>()));
         }},
        {"eng_list_item_next",
         [](BoundEngine& e, Object& o) {
             return Word(e.eng_list_item_next(o.As<zCListSort<oCItem>>()));
         }},
        {"eng_list_npc",
         [](BoundEngine& e, Object& o) { return Word(e.eng_list_npc(o.As<zCListSort<oCNpc>>())); }},
        {"eng_list_npc_next",
         [](BoundEngine& e, Object& o) {
             return Word(e.eng_list_npc_next(o.As<zCListSort<oCNpc>>()));
         }},
        {"eng_vob_home_world",
         [](BoundEngine& e, Object& o) { return Word(e.eng_vob_home_world(o.As<zCVob>())); }},
        {"eng_vob_visual",
         [](BoundEngine& e, Object& o) { return Word(e.eng_vob_visual(o.As<zCVob>())); }},
        {"eng_vob_type",
         [](BoundEngine& e, Object& o) {
             return static_cast<std::uint32_t>(e.eng_vob_type(o.As<zCVob>()));
         }},
        {"eng_vob_flag_bits",
         [](BoundEngine& e, Object& o) {
             return static_cast<std::uint32_t>(e.eng_vob_flag_bits(o.As<zCVob>()));
         }},
        {"eng_npc_hitpoints",
         [](BoundEngine& e, Object& o) {
             return static_cast<std::uint32_t>(e.eng_npc_hitpoints(o.As<oCNpc>()));
         }},
        {"eng_npc_interaction_a",
         [](BoundEngine& e, Object& o) { return Word(e.eng_npc_interaction_a(o.As<oCNpc>())); }},
        {"eng_npc_interaction_b",
         [](BoundEngine& e, Object& o) { return Word(e.eng_npc_interaction_b(o.As<oCNpc>())); }},
        {"eng_npc_loot_block",
         [](BoundEngine& e, Object& o) {
             return static_cast<std::uint32_t>(e.eng_npc_loot_block(o.As<oCNpc>()));
         }},
        {"eng_npc_focus_object_field",
         [](BoundEngine& e, Object& o) {
             return Word(e.eng_npc_focus_object_field(o.As<oCNpc>()));
         }},
        {"eng_item_amount",
         [](BoundEngine& e, Object& o) {
             return static_cast<std::uint32_t>(e.eng_item_amount(o.As<oCItem>()));
         }},
        {"eng_item_instance",
         [](BoundEngine& e, Object& o) {
             return static_cast<std::uint32_t>(e.eng_item_instance(o.As<oCItem>()));
         }},
        {"eng_item_category",
         [](BoundEngine& e, Object& o) { return e.eng_item_category(o.As<oCItem>()); }},
        {"eng_item_flags",
         [](BoundEngine& e, Object& o) { return e.eng_item_flags(o.As<oCItem>()); }},
        {"eng_item_nb_quest_word",
         [](BoundEngine& e, Object& o) { return e.eng_item_nb_quest_word(o.As<oCItem>()); }},
        {"eng_item_munition",
         [](BoundEngine& e, Object& o) {
             return static_cast<std::uint32_t>(e.eng_item_munition(o.As<oCItem>()));
         }},
        {"eng_item_armor_word",
         [](BoundEngine& e, Object& o) {
             return static_cast<std::uint32_t>(e.eng_item_armor_word(o.As<oCItem>()));
         }},
        {"eng_mob_lock_flags",
         [](BoundEngine& e, Object& o) { return e.eng_mob_lock_flags(o.As<oCMobLockable>()); }},
        {"eng_mob_state_count",
         [](BoundEngine& e, Object& o) {
             return static_cast<std::uint32_t>(e.eng_mob_state_count(o.As<oCMobInter>()));
         }},
        {"eng_view_font",
         [](BoundEngine& e, Object& o) { return Word(e.eng_view_font(o.As<zCView>())); }},
        {"eng_camera_near_plane",
         [](BoundEngine& e, Object& o) { return Bits(e.eng_camera_near_plane(o.As<zCCamera>())); }},
    };
    return fields;
}

// Field reads of an engine string.
const std::vector<std::pair<std::string_view, std::function<zSTRING(BoundEngine&, Object&)>>>&
TextFields() {
    static const std::vector<
        std::pair<std::string_view, std::function<zSTRING(BoundEngine&, Object&)>>>
        fields{
            {"eng_item_name",
             [](BoundEngine& e, Object& o) { return e.eng_item_name(o.As<oCItem>()); }},
            {"eng_item_text_field",
             [](BoundEngine& e, Object& o) { return e.eng_item_text_field(o.As<oCItem>()); }},
            {"eng_item_display_name",
             [](BoundEngine& e, Object& o) { return e.eng_item_display_name(o.As<oCItem>()); }},
            {"eng_item_arrow_text",
             [](BoundEngine& e, Object& o) { return e.eng_item_arrow_text(o.As<oCItem>()); }},
            {"eng_mob_condition_func",
             [](BoundEngine& e, Object& o) {
                 return e.eng_mob_condition_func(o.As<oCMobInter>());
             }},
            {"eng_mob_key_instance",
             [](BoundEngine& e, Object& o) {
                 return e.eng_mob_key_instance(o.As<oCMobLockable>());
             }},
        };
    return fields;
}

// Globals holding a word.
const std::vector<std::pair<std::string_view, std::function<std::uint32_t(BoundEngine&)>>>&
Globals() {
    static const std::vector<
        std::pair<std::string_view, std::function<std::uint32_t(BoundEngine&)>>>
        globals{
            {"eng_game", [](BoundEngine& e) { return Word(e.eng_game()); }},
            {"eng_ui_block_global",
             [](BoundEngine& e) { return static_cast<std::uint32_t>(e.eng_ui_block_global()); }},
            {"eng_focus_settings", [](BoundEngine& e) { return Word(e.eng_focus_settings()); }},
            {"eng_player", [](BoundEngine& e) { return Word(e.eng_player()); }},
            {"eng_input", [](BoundEngine& e) { return Word(e.eng_input()); }},
            {"eng_options", [](BoundEngine& e) { return Word(e.eng_options()); }},
            {"eng_screen", [](BoundEngine& e) { return Word(e.eng_screen()); }},
            {"eng_active_camera", [](BoundEngine& e) { return Word(e.eng_active_camera()); }},
            {"eng_color_default_text",
             [](BoundEngine& e) {
                 return std::bit_cast<std::uint32_t>(e.eng_color_default_text());
             }},
        };
    return globals;
}

// Calls of a function or virtual slot on the scene's object, answering a word.
struct WordCall {
    std::string_view operation;
    FakeStub stub;
    std::function<std::uint32_t(Scene&)> call;
    std::function<std::vector<std::uint32_t>(Scene&)> args;
    std::uint32_t answer;  // what the operation must answer, from the stub's word kWord
};

std::vector<std::uint32_t> None(Scene&) {
    return {};
}

const std::vector<WordCall>& WordCalls() {
    static const std::vector<WordCall> calls{
        {"eng_npc_is_dead", kStubMember0,
         [](Scene& s) { return std::uint32_t{s.engine.eng_npc_is_dead(s.object->As<oCNpc>())}; },
         None, 1},
        {"eng_npc_is_unconscious", kStubMember0,
         [](Scene& s) {
             return std::uint32_t{s.engine.eng_npc_is_unconscious(s.object->As<oCNpc>())};
         },
         None, 1},
        {"eng_npc_body_state", kStubMember0,
         [](Scene& s) {
             return static_cast<std::uint32_t>(s.engine.eng_npc_body_state(s.object->As<oCNpc>()));
         },
         None, kWord},
        {"eng_npc_query_a", kStubMember0,
         [](Scene& s) { return std::uint32_t{s.engine.eng_npc_query_a(s.object->As<oCNpc>())}; },
         None, 1},
        {"eng_npc_query_b", kStubMember0,
         [](Scene& s) { return std::uint32_t{s.engine.eng_npc_query_b(s.object->As<oCNpc>())}; },
         None, 1},
        {"eng_npc_focus_vob", kStubMember0,
         [](Scene& s) { return Word(s.engine.eng_npc_focus_vob(s.object->As<oCNpc>())); }, None,
         kWord},
        {"eng_npc_focus_npc", kStubMember0,
         [](Scene& s) { return Word(s.engine.eng_npc_focus_npc(s.object->As<oCNpc>())); }, None,
         kWord},
        {"eng_npc_clear_focus", kStubMember0,
         [](Scene& s) {
             s.engine.eng_npc_clear_focus(s.object->As<oCNpc>());
             return 0U;
         },
         None, 0},
        {"eng_npc_model", kStubMember0,
         [](Scene& s) { return Word(s.engine.eng_npc_model(s.object->As<oCNpc>())); }, None, kWord},
        {"eng_npc_weapon_query_1", kStubMember0,
         [](Scene& s) { return Word(s.engine.eng_npc_weapon_query_1(s.object->As<oCNpc>())); },
         None, kWord},
        {"eng_npc_weapon_query_2", kStubMember0,
         [](Scene& s) { return Word(s.engine.eng_npc_weapon_query_2(s.object->As<oCNpc>())); },
         None, kWord},
        {"eng_inventory_is_open", kStubMember0,
         [](Scene& s) {
             return std::uint32_t{s.engine.eng_inventory_is_open(s.object->As<oCNpcInventory>())};
         },
         None, 1},
        {"eng_inventory_prepare", kStubMember0,
         [](Scene& s) {
             s.engine.eng_inventory_prepare(s.object->As<oCNpcInventory>());
             return 0U;
         },
         None, 0},
        {"eng_inventory_is_empty", kStubMember0,
         [](Scene& s) {
             return std::uint32_t{s.engine.eng_inventory_is_empty(s.object->As<oCNpcInventory>())};
         },
         None, 1},
        {"eng_inventory_clear", kStubMember0,
         [](Scene& s) {
             s.engine.eng_inventory_clear(s.object->As<oCNpcInventory>());
             return 0U;
         },
         None, 0},
        {"eng_object_release", kStubMember0,
         [](Scene& s) {
             s.engine.eng_object_release(s.object->As<zCObject>());
             return 0U;
         },
         None, 0},
        {"eng_input_mouse_right_pressed", kStubMember0,
         [](Scene& s) {
             return std::uint32_t{s.engine.eng_input_mouse_right_pressed(s.object->As<zCInput>())};
         },
         None, 1},
        {"eng_input_clear_key_buffer", kStubMember0,
         [](Scene& s) {
             s.engine.eng_input_clear_key_buffer(s.object->As<zCInput>());
             return 0U;
         },
         None, 0},
        {"eng_view_clear_text", kStubMember0,
         [](Scene& s) {
             s.engine.eng_view_clear_text(s.object->As<zCView>());
             return 0U;
         },
         None, 0},
        {"eng_view_refresh", kStubMember0,
         [](Scene& s) {
             s.engine.eng_view_refresh(s.object->As<zCView>());
             return 0U;
         },
         None, 0},
        {"eng_view_blit", kStubMember0,
         [](Scene& s) {
             s.engine.eng_view_blit(s.object->As<zCView>());
             return 0U;
         },
         None, 0},
        {"eng_view_draw", kStubMember0,
         [](Scene& s) {
             s.engine.eng_view_draw(s.object->As<zCView>());
             return 0U;
         },
         None, 0},
        {"eng_view_font_height", kStubMember0,
         [](Scene& s) {
             return static_cast<std::uint32_t>(
                 s.engine.eng_view_font_height(s.object->As<zCView>()));
         },
         None, kWord},
        {"eng_font_height", kStubMember0,
         [](Scene& s) {
             return static_cast<std::uint32_t>(s.engine.eng_font_height(s.object->As<zCFont>()));
         },
         None, kWord},
        {"eng_camera_update", kStubMember0,
         [](Scene& s) {
             s.engine.eng_camera_update(s.object->As<zCCamera>());
             return 0U;
         },
         None, 0},
        // The engine's test says whether the item hangs in a parent: yes means not on the ground.
        {"eng_item_ground_check", kStubMember0,
         [](Scene& s) {
             return std::uint32_t{s.engine.eng_item_ground_check(s.object->As<oCItem>())};
         },
         None, 0},
        {"eng_npc_set_focus", kStubMember1,
         [](Scene& s) {
             s.engine.eng_npc_set_focus(s.object->As<oCNpc>(), s.other->As<zCVob>());
             return 0U;
         },
         [](Scene& s) { return std::vector{s.other->Address()}; }, 0},
        {"eng_npc_take_vob", kStubMember1,
         [](Scene& s) {
             s.engine.eng_npc_take_vob(s.object->As<oCNpc>(), s.other->As<zCVob>());
             return 0U;
         },
         [](Scene& s) { return std::vector{s.other->Address()}; }, 0},
        {"eng_npc_put_in_inventory", kStubMember1,
         [](Scene& s) {
             s.engine.eng_npc_put_in_inventory(s.object->As<oCNpc>(), s.other->As<oCItem>());
             return 0U;
         },
         [](Scene& s) { return std::vector{s.other->Address()}; }, 0},
        {"eng_npc_unequip", kStubMember1,
         [](Scene& s) {
             s.engine.eng_npc_unequip(s.object->As<oCNpc>(), s.other->As<oCItem>());
             return 0U;
         },
         [](Scene& s) { return std::vector{s.other->Address()}; }, 0},
        {"eng_npc_bind_mob", kStubMember1,
         [](Scene& s) {
             s.engine.eng_npc_bind_mob(s.object->As<oCNpc>(), s.other->As<oCMobInter>());
             return 0U;
         },
         [](Scene& s) { return std::vector{s.other->Address()}; }, 0},
        {"eng_container_remove_item", kStubMember1,
         [](Scene& s) {
             s.engine.eng_container_remove_item(s.object->As<oCMobContainer>(),
                                                s.other->As<oCItem>());
             return 0U;
         },
         [](Scene& s) { return std::vector{s.other->Address()}; }, 0},
        {"eng_mob_set_locked", kStubMember1,
         [](Scene& s) {
             s.engine.eng_mob_set_locked(s.object->As<oCMobLockable>(), 1);
             return 0U;
         },
         [](Scene&) { return std::vector<std::uint32_t>{1}; }, 0},
        {"eng_item_has_flag", kStubMember1,
         [](Scene& s) {
             return std::uint32_t{s.engine.eng_item_has_flag(s.object->As<oCItem>(), 0x1000)};
         },
         [](Scene&) { return std::vector<std::uint32_t>{0x1000}; }, 1},
        {"eng_input_key_pressed", kStubMember1,
         [](Scene& s) {
             return std::uint32_t{s.engine.eng_input_key_pressed(s.object->As<zCInput>(), 0x2E)};
         },
         [](Scene&) { return std::vector<std::uint32_t>{0x2E}; }, 1},
        {"eng_input_key_toggled", kStubMember1,
         [](Scene& s) {
             return std::uint32_t{s.engine.eng_input_key_toggled(s.object->As<zCInput>(), 0x2F)};
         },
         [](Scene&) { return std::vector<std::uint32_t>{0x2F}; }, 1},
        {"eng_view_set_texture", kStubMember1,
         [](Scene& s) {
             s.engine.eng_view_set_texture(s.object->As<zCView>(), s.other->As<zCTexture>());
             return 0U;
         },
         [](Scene& s) { return std::vector{s.other->Address()}; }, 0},
        {"eng_view_pixel_to_virtual_x", kStubMember1,
         [](Scene& s) {
             return static_cast<std::uint32_t>(
                 s.engine.eng_view_pixel_to_virtual_x(s.object->As<zCView>(), 640));
         },
         [](Scene&) { return std::vector<std::uint32_t>{640}; }, kWord},
        {"eng_view_pixel_to_virtual_y", kStubMember1,
         [](Scene& s) {
             return static_cast<std::uint32_t>(
                 s.engine.eng_view_pixel_to_virtual_y(s.object->As<zCView>(), 480));
         },
         [](Scene&) { return std::vector<std::uint32_t>{480}; }, kWord},
        {"eng_view_virtual_to_pixel_x", kStubMember1,
         [](Scene& s) {
             return static_cast<std::uint32_t>(
                 s.engine.eng_view_virtual_to_pixel_x(s.object->As<zCView>(), 8192));
         },
         [](Scene&) { return std::vector<std::uint32_t>{8192}; }, kWord},
        {"eng_view_set_blend_mode", kStubMember1,
         [](Scene& s) {
             s.engine.eng_view_set_blend_mode(s.object->As<zCView>(), 2);
             return 0U;
         },
         [](Scene&) { return std::vector<std::uint32_t>{kSomePointer}; }, 0},
        {"eng_view_set_font_color", kStubMember1,
         [](Scene& s) {
             s.engine.eng_view_set_font_color(s.object->As<zCView>(), zCOLOR{1, 2, 3, 4});
             return 0U;
         },
         [](Scene&) { return std::vector<std::uint32_t>{kSomePointer}; }, 0},
        {"eng_vob_distance", kStubMemberFloat1,
         [](Scene& s) {
             return Bits(s.engine.eng_vob_distance(s.object->As<zCVob>(), s.other->As<zCVob>()));
         },
         [](Scene& s) { return std::vector{s.other->Address()}; }, Bits(kReal)},
        {"eng_vob_distance_to", kStubMemberFloat1,
         [](Scene& s) {
             return Bits(s.engine.eng_vob_distance_to(s.object->As<zCVob>(), s.other->As<zCVob>()));
         },
         [](Scene& s) { return std::vector{s.other->Address()}; }, Bits(kReal)},
        {"eng_npc_create_items", kStubMember2,
         [](Scene& s) {
             s.engine.eng_npc_create_items(s.object->As<oCNpc>(), 812, 3);
             return 0U;
         },
         [](Scene&) {
             return std::vector<std::uint32_t>{812, 3};
         },
         0},
        {"eng_npc_remove_items", kStubMember2,
         [](Scene& s) {
             s.engine.eng_npc_remove_items(s.object->As<oCNpc>(), s.other->As<oCItem>(), 2);
             return 0U;
         },
         [](Scene& s) {
             return std::vector<std::uint32_t>{s.other->Address(), 2};
         },
         0},
        {"eng_npc_can_see", kStubMember2,
         [](Scene& s) {
             return std::uint32_t{
                 s.engine.eng_npc_can_see(s.object->As<oCNpc>(), s.other->As<zCVob>(), 1)};
         },
         [](Scene& s) {
             return std::vector<std::uint32_t>{s.other->Address(), 1};
         },
         1},
        {"eng_view_set_position", kStubMember2,
         [](Scene& s) {
             s.engine.eng_view_set_position(s.object->As<zCView>(), 100, 200);
             return 0U;
         },
         [](Scene&) {
             return std::vector<std::uint32_t>{100, 200};
         },
         0},
        {"eng_view_set_size", kStubMember2,
         [](Scene& s) {
             s.engine.eng_view_set_size(s.object->As<zCView>(), 300, 400);
             return 0U;
         },
         [](Scene&) {
             return std::vector<std::uint32_t>{300, 400};
         },
         0},
        {"eng_focus_in_range", kStubMember2,
         [](Scene& s) {
             return static_cast<std::uint32_t>(
                 s.engine.eng_focus_in_range(s.object->As<oCNpcFocus>(), 129, 250.0F));
         },
         [](Scene&) {
             return std::vector<std::uint32_t>{129, Bits(250.0F)};
         },
         kWord},
        {"eng_event_manager_on_message", kStubMember2,
         [](Scene& s) {
             s.engine.eng_event_manager_on_message(s.object->As<zCEventManager>(),
                                                   s.other->As<zCEventMessage>(),
                                                   s.other->As<zCVob>());
             return 0U;
         },
         [](Scene& s) {
             return std::vector<std::uint32_t>{s.other->Address(), s.other->Address()};
         },
         0},
        {"eng_mob_begin_state_change", kStubMember3,
         [](Scene& s) {
             s.engine.eng_mob_begin_state_change(s.object->As<oCMobInter>(), s.other->As<oCNpc>(),
                                                 0, 1);
             return 0U;
         },
         [](Scene& s) {
             return std::vector<std::uint32_t>{s.other->Address(), 0, 1};
         },
         0},
        {"eng_mob_end_state_change", kStubMember3,
         [](Scene& s) {
             s.engine.eng_mob_end_state_change(s.object->As<oCMobInter>(), s.other->As<oCNpc>(), 1,
                                               0);
             return 0U;
         },
         [](Scene& s) {
             return std::vector<std::uint32_t>{s.other->Address(), 1, 0};
         },
         0},
        {"eng_view_print", kStubMember3,
         [](Scene& s) {
             s.engine.eng_view_print(s.object->As<zCView>(), 10, 20, zSTRING(kText));
             return 0U;
         },
         [](Scene&) {
             return std::vector<std::uint32_t>{10, 20, kMadeString};
         },
         0},
        {"eng_view_print_timed_cx", kStubMember4,
         [](Scene& s) {
             s.engine.eng_view_print_timed_cx(s.object->As<zCView>(), 30, zSTRING(kText), 5.0F,
                                              zCOLOR{1, 2, 3, 4});
             return 0U;
         },
         [](Scene&) {
             return std::vector<std::uint32_t>{30, kMadeString, Bits(5.0F), kSomePointer};
         },
         0},
        {"eng_view_set_texture_name", kStubMember1,
         [](Scene& s) {
             s.engine.eng_view_set_texture_name(s.object->As<zCView>(), zSTRING(kText));
             return 0U;
         },
         [](Scene&) { return std::vector<std::uint32_t>{kMadeString}; }, 0},
        {"eng_view_set_font", kStubMember1,
         [](Scene& s) {
             s.engine.eng_view_set_font(s.object->As<zCView>(), zSTRING(kText));
             return 0U;
         },
         [](Scene&) { return std::vector<std::uint32_t>{kMadeString}; }, 0},
        {"eng_view_text_width", kStubMember1,
         [](Scene& s) {
             return static_cast<std::uint32_t>(
                 s.engine.eng_view_text_width(s.object->As<zCView>(), zSTRING(kText)));
         },
         [](Scene&) { return std::vector<std::uint32_t>{kMadeString}; }, kWord},
        {"eng_view_window_print", kStubMember1,
         [](Scene& s) {
             s.engine.eng_view_window_print(s.object->As<zCView>(), zSTRING(kText));
             return 0U;
         },
         [](Scene&) { return std::vector<std::uint32_t>{kMadeString}; }, 0},
        {"eng_script_find_symbol", kStubMember1,
         [](Scene& s) {
             return Word(s.engine.eng_script_find_symbol(s.object->As<zCParser>(), zSTRING(kText)));
         },
         [](Scene&) { return std::vector<std::uint32_t>{kMadeString}; }, kWord},
        {"eng_script_symbol_index", kStubMember1,
         [](Scene& s) {
             return static_cast<std::uint32_t>(
                 s.engine.eng_script_symbol_index(s.object->As<zCParser>(), zSTRING(kText)));
         },
         [](Scene&) { return std::vector<std::uint32_t>{kMadeString}; }, kWord},
        {"eng_script_call_by_name", kStubMember1,
         [](Scene& s) {
             return static_cast<std::uint32_t>(
                 s.engine.eng_script_call_by_name(s.object->As<zCParser>(), zSTRING(kText)));
         },
         [](Scene&) { return std::vector<std::uint32_t>{kMadeString}; }, kWord},
        {"eng_script_set_instance", kStubMember2,
         [](Scene& s) {
             s.engine.eng_script_set_instance(s.object->As<zCParser>(), zSTRING(kText),
                                              s.other->As<zCObject>());
             return 0U;
         },
         [](Scene& s) {
             return std::vector<std::uint32_t>{kMadeString, s.other->Address()};
         },
         0},
        {"eng_npc_has_items_by_name", kStubMember2,
         [](Scene& s) {
             return std::uint32_t{
                 s.engine.eng_npc_has_items_by_name(s.object->As<oCNpc>(), zSTRING(kText), 1)};
         },
         [](Scene&) {
             return std::vector<std::uint32_t>{kMadeString, 1};
         },
         1},
        {"eng_dialog_is_over", kStubFast1,
         [](Scene& s) {
             return std::uint32_t{
                 s.engine.eng_dialog_is_over(s.object->As<oCInformationManager>())};
         },
         None, 1},
        {"eng_npc_event_manager", kStubFast2,
         [](Scene& s) { return Word(s.engine.eng_npc_event_manager(s.object->As<oCNpc>())); },
         [](Scene&) { return std::vector<std::uint32_t>{0}; }, kWord},
        {"eng_script_symbol_int", kStubMemberOutFirst2,
         [](Scene& s) {
             return static_cast<std::uint32_t>(
                 s.engine.eng_script_symbol_int(s.object->As<zCPar_Symbol>()));
         },
         [](Scene&) {
             return std::vector<std::uint32_t>{kSomePointer, 0};
         },
         kWord},
    };
    return calls;
}

// The operations whose checks need their own arrangement.
const std::vector<OperationCheck>& SpecialChecks() {
    static const std::vector<OperationCheck> checks{
        // Lists: the engine's begin with a head that holds no element.
        {"eng_world_item_list",
         [](Scene& s) {
             s.SetField(*s.object, "eng_world_item_list", s.other->Address());
             s.SetField(*s.other, "eng_list_item_next", 0x1234U);
             EXPECT_EQ(Word(s.engine.eng_world_item_list(s.object->As<zCWorld>())), 0x1234U);
             s.SetField(*s.object, "eng_world_item_list", 0U);
             EXPECT_EQ(s.engine.eng_world_item_list(s.object->As<zCWorld>()), nullptr);
         }},
        {"eng_world_npc_list",
         [](Scene& s) {
             s.SetField(*s.object, "eng_world_npc_list", s.other->Address());
             s.SetField(*s.other, "eng_list_npc_next", 0x5678U);
             EXPECT_EQ(Word(s.engine.eng_world_npc_list(s.object->As<zCWorld>())), 0x5678U);
         }},
        {"eng_container_item_list",
         [](Scene& s) {
             const std::uint32_t head = s.Fact("eng_container_item_list").value;
             abi::WriteAt(s.object->words.data(), head + s.Fact("eng_list_item_next").value,
                          0x4321U);
             EXPECT_EQ(Word(s.engine.eng_container_item_list(s.object->As<oCMobContainer>())),
                       0x4321U);
         }},
        {"eng_inventory_entry_list",
         [](Scene& s) {
             const std::uint32_t head = s.Fact("eng_inventory_entry_list").value;
             abi::WriteAt(s.object->words.data(), head + s.Fact("eng_list_item_next").value,
                          0x4444U);
             EXPECT_EQ(Word(s.engine.eng_inventory_entry_list(s.object->As<oCNpcInventory>())),
                       0x4444U);
         }},
        {"eng_inventory_item_list",
         [](Scene& s) {
             s.SetField(*s.object, "eng_inventory_item_list", s.other->Address());
             s.SetField(*s.other, "eng_list_item_next", 0x5555U);
             EXPECT_EQ(Word(s.engine.eng_inventory_item_list(s.object->As<oCNpcInventory>())),
                       0x5555U);
         }},
        {"eng_inventory_category_lists",
         [](Scene& s) {
             const std::uint32_t first = s.Fact("eng_inventory_category_lists").value;
             const std::uint32_t node = s.Fact("support:zCListSort<T>").value;
             const std::uint32_t next = s.Fact("eng_list_item_next").value;
             for (std::uint32_t i = 0; i < 9; ++i) {
                 abi::WriteAt(s.object->words.data(), first + i * node + next, 0x6000U + i);
             }
             const auto lists =
                 s.engine.eng_inventory_category_lists(s.object->As<oCNpcInventory>());
             for (std::uint32_t i = 0; i < 9; ++i) {
                 EXPECT_EQ(Word(lists.at(i)), 0x6000U + i) << "category " << i;
             }
         }},
        {"eng_npc_inventory",
         [](Scene& s) {
             EXPECT_EQ(Word(s.engine.eng_npc_inventory(s.object->As<oCNpc>())),
                       s.object->Address() + s.Fact("eng_npc_inventory").value)
                 << "the inventory lies inside the NPC";
         }},
        // Writes.
        {"eng_object_add_ref",
         [](Scene& s) {
             s.SetField(*s.object, "eng_object_add_ref", 2);
             s.engine.eng_object_add_ref(s.object->As<zCObject>());
             EXPECT_EQ(abi::ReadAt<int>(s.object->words.data(), s.Fact("eng_object_add_ref").value),
                       3);
         }},
        {"eng_mob_set_lock_flags",
         [](Scene& s) {
             s.engine.eng_mob_set_lock_flags(s.object->As<oCMobLockable>(), 0x5U);
             EXPECT_EQ(abi::ReadAt<std::uint32_t>(s.object->words.data(),
                                                  s.Fact("eng_mob_set_lock_flags").value),
                       0x5U);
         }},
        {"eng_msg_target",
         [](Scene& s) {
             s.engine.eng_msg_target(s.object->As<oCMsgConversation>(), s.other->As<zCVob>());
             EXPECT_EQ(
                 abi::ReadAt<std::uint32_t>(s.object->words.data(), s.Fact("eng_msg_target").value),
                 s.other->Address());
         }},
        {"eng_msg_flag",
         [](Scene& s) {
             s.engine.eng_msg_flag(s.object->As<oCMsgConversation>(), 1);
             EXPECT_EQ(abi::ReadAt<int>(s.object->words.data(), s.Fact("eng_msg_flag").value), 1);
         }},
        {"eng_font_set_height",
         [](Scene& s) {
             s.engine.eng_font_set_height(s.object->As<zCFont>(), 24);
             EXPECT_EQ(
                 abi::ReadAt<int>(s.object->words.data(), s.Fact("eng_font_set_height").value), 24);
         }},
        {"eng_camera_view_matrix",
         [](Scene& s) {
             std::array<float, 16> matrix{};
             for (std::size_t i = 0; i < matrix.size(); ++i) {
                 matrix.at(i) = static_cast<float>(i) + 0.5F;
             }
             s.SetField(*s.object, "eng_camera_view_matrix", matrix);
             const zMAT34 view = s.engine.eng_camera_view_matrix(s.object->As<zCCamera>());
             EXPECT_EQ(view.rows[1][3], 7.5F);
             EXPECT_EQ(view.rows[2][0], 8.5F);
         }},
        // Class results through the hidden pointer.
        {"eng_object_instance_name",
         [](Scene& s) {
             s.Place("eng_object_instance_name", kStubMemberString0, *s.object);
             EXPECT_EQ(s.engine.eng_object_instance_name(s.object->As<zCObject>()).Text(), kText);
             ExpectCall(s, {kStubMemberString0, s.object->Address(), {}});
             EXPECT_NE(s.process.LastCall().hiddenResult, 0U);
         }},
        {"eng_mob_name",
         [](Scene& s) {
             s.Place("eng_mob_name", kStubMemberString0, *s.object);
             EXPECT_EQ(s.engine.eng_mob_name(s.object->As<oCMob>()).Text(), kText);
             ExpectCall(s, {kStubMemberString0, s.object->Address(), {}});
         }},
        {"eng_view_get_font_name",
         [](Scene& s) {
             s.Place("eng_view_get_font_name", kStubMemberString0, *s.object);
             EXPECT_EQ(s.engine.eng_view_get_font_name(s.object->As<zCView>()).Text(), kText);
             ExpectCall(s, {kStubMemberString0, s.object->Address(), {}});
         }},
        {"eng_npc_name",
         [](Scene& s) {
             s.Place("eng_npc_name", kStubMemberString1, *s.object);
             EXPECT_EQ(s.engine.eng_npc_name(s.object->As<oCNpc>()).Text(), kText);
             ExpectCall(s, {kStubMemberString1, s.object->Address(), {0}});
         }},
        {"eng_savegame_slot_folder",
         [](Scene& s) {
             s.Place("eng_savegame_slot_folder", kStubMemberString1, *s.other);
             abi::WriteAt(s.object->words.data(), s.Fact("support:oCGame::savegameManager").value,
                          s.other->Address());
             EXPECT_EQ(s.engine.eng_savegame_slot_folder(s.object->As<oCGame>(), 7).Text(), kText);
             ExpectCall(s, {kStubMemberString1, s.other->Address(), {7}});
         }},
        {"eng_options_read_string",
         [](Scene& s) {
             s.Place("eng_options_read_string", kStubMemberString3, *s.object);
             const zSTRING key("keyTake");
             const zSTRING fallback("fallback");
             EXPECT_EQ(s.engine
                           .eng_options_read_string(s.object->As<zCOption>(), zSTRING("PILFERN"),
                                                    key, fallback)
                           .Text(),
                       kText);
             ExpectCall(s, {kStubMemberString3,
                            s.object->Address(),
                            {kMadeString, Word(key.ToChar()), Word(fallback.ToChar())}});
             EXPECT_STREQ(s.process.Strings().lastText, "PILFERN");
         }},
        {"eng_vob_position",
         [](Scene& s) {
             s.Place("eng_vob_position", kStubMemberVec3, *s.object);
             const zVEC3 position = s.engine.eng_vob_position(s.object->As<zCVob>());
             EXPECT_EQ(position.x, 1.5F);
             EXPECT_EQ(position.y, -2.0F);
             EXPECT_EQ(position.z, 300.25F);
             ExpectCall(s, {kStubMemberVec3, s.object->Address(), {}});
         }},
        // Members answering the engine's own string by address.
        {"eng_vob_room_name",
         [](Scene& s) {
             s.Place("eng_vob_room_name", kStubMember0, *s.object);
             s.process.Answers().word = Word(&s.Text("SEKTOR_1"));
             EXPECT_EQ(s.engine.eng_vob_room_name(s.object->As<zCVob>()).Text(), "SEKTOR_1");
             s.process.Answers().word = 0;
             EXPECT_FALSE(s.engine.eng_vob_room_name(s.object->As<zCVob>()).HasBuffer())
                 << "outside every room";
         }},
        {"eng_options_directory",
         [](Scene& s) {
             s.Place("eng_options_directory", kStubMember1, *s.object);
             s.process.Answers().word = Word(&s.Text(R"(C:\Gothic\Saves\)"));
             EXPECT_EQ(s.engine.eng_options_directory(s.object->As<zCOption>(), 24).Text(),
                       R"(C:\Gothic\Saves\)");
             ExpectCall(s, {kStubMember1, s.object->Address(), {24}});
         }},
        // Options: the section an engine string, the key plain characters.
        {"eng_options_read_int",
         [](Scene& s) {
             s.Place("eng_options_read_int", kStubMember3, *s.object);
             const zSTRING key("keyTake");
             EXPECT_EQ(static_cast<std::uint32_t>(s.engine.eng_options_read_int(
                           s.object->As<zCOption>(), zSTRING("PILFERN"), key, 17)),
                       kWord);
             ExpectCall(s,
                        {kStubMember3, s.object->Address(), {kMadeString, Word(key.ToChar()), 17}});
         }},
        {"eng_options_read_bool",
         [](Scene& s) {
             s.Place("eng_options_read_bool", kStubMember3, *s.object);
             const zSTRING key("showArmor");
             EXPECT_TRUE(s.engine.eng_options_read_bool(s.object->As<zCOption>(),
                                                        zSTRING("PILFERN"), key, true));
             ExpectCall(s,
                        {kStubMember3, s.object->Address(), {kMadeString, Word(key.ToChar()), 1}});
         }},
        // Calls on an object the engine keeps in a global.
        {"eng_screen_insert",
         [](Scene& s) {
             s.SetGlobal("eng_screen", s.other->Address());
             s.Place("eng_screen_insert", kStubMember2, *s.other);
             s.engine.eng_screen_insert(s.object->As<zCView>(), 1);
             ExpectCall(s, {kStubMember2, s.other->Address(), {s.object->Address(), 1}});
         }},
        {"eng_screen_remove",
         [](Scene& s) {
             s.SetGlobal("eng_screen", s.other->Address());
             s.Place("eng_screen_remove", kStubMember1, *s.other);
             s.engine.eng_screen_remove(s.object->As<zCView>());
             ExpectCall(s, {kStubMember1, s.other->Address(), {s.object->Address()}});
         }},
        {"eng_npc_in_battle",
         [](Scene& s) {
             s.SetGlobal("eng_game", s.other->Address());
             s.Place("eng_npc_in_battle", kStubMember0, *s.other);
             s.process.Answers().word = 2;
             EXPECT_TRUE(s.engine.eng_npc_in_battle(s.object->As<oCNpc>()))
                 << "the hero's status 2 is a fight";
             ExpectCall(s, {kStubMember0, s.other->Address(), {}});
             s.process.Answers().word = 1;
             EXPECT_FALSE(s.engine.eng_npc_in_battle(s.object->As<oCNpc>()));
         }},
        {"eng_renderer_set_viewport",
         [](Scene& s) {
             s.process.WriteWord(s.Fact("global:zrenderer").value, s.other->Address());
             s.Place("eng_renderer_set_viewport", kStubMember4, *s.other);
             s.engine.eng_renderer_set_viewport(1, 2, 800, 600);
             ExpectCall(s, {kStubMember4, s.other->Address(), {1, 2, 800, 600}});
         }},
        // Out parameters.
        {"eng_view_get_viewport",
         [](Scene& s) {
             s.Place("eng_view_get_viewport", kStubFastViewport, *s.object);
             EXPECT_EQ(s.engine.eng_view_get_viewport(s.object->As<zCView>()),
                       (zVIEWPORT{1, 2, 3, 4}));
             ExpectCall(s, {kStubFastViewport,
                            s.object->Address(),
                            {kSomePointer, kSomePointer, kSomePointer, kSomePointer}});
         }},
        {"eng_camera_project",
         [](Scene& s) {
             s.Place("eng_camera_project", kStubMemberOutLast3, *s.object);
             s.process.Answers().word = 320;
             s.process.Answers().second = 240;
             const zVEC3 point{1.0F, 2.0F, 3.0F};
             EXPECT_EQ(s.engine.eng_camera_project(s.object->As<zCCamera>(), point),
                       (zPOINT2{320, 240}));
             ExpectCall(s, {kStubMemberOutLast3, s.object->Address(), {Word(&point)}});
         }},
        {"eng_camera_project_float",
         [](Scene& s) {
             s.Place("eng_camera_project_float", kStubMemberOutLast3, *s.object);
             s.process.Answers().word = Bits(0.25F);
             s.process.Answers().second = Bits(0.75F);
             const zVEC3 point{1.0F, 2.0F, 3.0F};
             const zVEC2 projected =
                 s.engine.eng_camera_project_float(s.object->As<zCCamera>(), point);
             EXPECT_EQ(projected.x, 0.25F);
             EXPECT_EQ(projected.y, 0.75F);
         }},
        // Functions of no object (__cdecl).
        {"eng_dialog_manager",
         [](Scene& s) {
             s.Place("eng_dialog_manager", kStubPlain0, *s.object);
             EXPECT_EQ(Word(s.engine.eng_dialog_manager()), kWord);
             ExpectCall(s, {kStubPlain0, 0, {}});
         }},
        {"eng_script_call_by_index",
         [](Scene& s) {
             s.Place("eng_script_call_by_index", kStubPlain2, *s.object);
             EXPECT_EQ(static_cast<std::uint32_t>(
                           s.engine.eng_script_call_by_index(s.object->As<zCParser>(), 42)),
                       kWord);
             ExpectCall(s, {kStubPlain2, 0, {s.object->Address(), 42}});
         }},
        {"eng_texture_load",
         [](Scene& s) {
             s.Place("eng_texture_load", kStubPlain2, *s.object);
             EXPECT_EQ(Word(s.engine.eng_texture_load(zSTRING("LOOT.TGA"), 3)), kWord);
             ExpectCall(s, {kStubPlain2, 0, {kMadeString, 3}});
             EXPECT_STREQ(s.process.Strings().lastText, "LOOT.TGA");
         }},
        {"eng_visual_effect_play",
         [](Scene& s) {
             s.Place("eng_visual_effect_play", kStubPlain7, *s.object);
             s.engine.eng_visual_effect_play(zSTRING("SPELLFX_LOOT"), s.object->As<zCVob>(),
                                             s.other->As<zCVob>(), 1, 2.5F, 4, 0);
             ExpectCall(
                 s, {kStubPlain7,
                     0,
                     {kMadeString, s.object->Address(), s.other->Address(), 1, Bits(2.5F), 4, 0}});
         }},
        // The engine's class test: the object's class record against the class's own.
        {"eng_object_class_is",
         [](Scene& s) {
             s.object->table.at(s.Fact("support:zCObject::_GetClassDef").value) =
                 s.process.StubAddress(kStubMember0);
             s.Place("eng_object_class_is", kStubPlain2, *s.object);
             s.process.Answers().word =
                 0x00A0B0C0;  // the object's record; the test answers it as "derives"
             EXPECT_TRUE(
                 s.engine.eng_object_class_is(s.object->As<zCObject>(), EngineClass::oCNpc));
             ExpectCall(s,
                        {kStubPlain2, 0, {s.Fact("classdef:oCNpc::classDef").value, 0x00A0B0C0}});
             EXPECT_TRUE(s.engine.eng_object_class_is(s.object->As<zCObject>(),
                                                      EngineClass::oCMobContainer));
             ExpectCall(
                 s,
                 {kStubPlain2, 0, {s.Fact("classdef:oCMobContainer::classDef").value, 0x00A0B0C0}});
             s.process.Answers().word = 0;
             EXPECT_FALSE(
                 s.engine.eng_object_class_is(s.object->As<zCObject>(), EngineClass::oCItem));
             const std::uint32_t calls = s.process.LastCall().calls;
             EXPECT_FALSE(
                 s.engine.eng_object_class_is(s.object->As<zCObject>(), EngineClass::oCNpcEx))
                 << "no NPC is NewBalance's extended one while its layout is unknown";
             EXPECT_EQ(s.process.LastCall().calls, calls) << "the engine is not asked for it";
         }},
        // Objects made on the engine's heap.
        {"eng_view_construct",
         [](Scene& s) {
             s.Place("eng_view_construct", kStubMember0, *s.object);
             const zCView* view = s.engine.eng_view_construct();
             EXPECT_EQ(s.process.Heap().lastNewSize, s.Fact("support:sizeof zCView").value);
             EXPECT_EQ(Word(view), s.process.Heap().lastNewBlock);
             ExpectCall(s, {kStubMember0, s.process.Heap().lastNewBlock, {}});
         }},
        {"eng_view_construct_rect",
         [](Scene& s) {
             s.Place("eng_view_construct_rect", kStubMember5, *s.object);
             const zCView* view = s.engine.eng_view_construct_rect(0, 0, 8192, 8192, 1);
             EXPECT_EQ(Word(view), s.process.Heap().lastNewBlock);
             ExpectCall(s, {kStubMember5, s.process.Heap().lastNewBlock, {0, 0, 8192, 8192, 1}});
         }},
        {"eng_msg_conversation_create",
         [](Scene& s) {
             s.Place("eng_msg_conversation_create", kStubMember2, *s.object);
             const oCMsgConversation* message =
                 s.engine.eng_msg_conversation_create(19, zSTRING("PICKLOCK_SUCCESS"));
             EXPECT_EQ(s.process.Heap().lastNewSize,
                       s.Fact("support:sizeof oCMsgConversation").value);
             EXPECT_EQ(Word(message), s.process.Heap().lastNewBlock);
             ExpectCall(s, {kStubMember2, s.process.Heap().lastNewBlock, {19, kMadeString}});
             EXPECT_STREQ(s.process.Strings().lastText, "PICKLOCK_SUCCESS");
         }},
        // The engine's string test answers in its low byte.
        {"eng_string_is_empty",
         [](Scene& s) {
             s.Place("eng_string_is_empty", kStubMember0, *s.object);
             s.process.Answers().word = 0xFFFFFF00;
             EXPECT_FALSE(s.engine.eng_string_is_empty(zSTRING("x")))
                 << "only the low byte is the answer";
             EXPECT_EQ(s.process.LastCall().self, s.process.Strings().lastMade);
             s.process.Answers().word = 1;
             EXPECT_TRUE(s.engine.eng_string_is_empty(zSTRING("")));
         }},
        {"eng_npc_refresh_focus",
         [](Scene& s) {
             s.Place("eng_npc_refresh_focus", kStubMember1, *s.object);
             s.engine.eng_npc_refresh_focus(s.object->As<oCNpc>(), 1);
             ExpectCall(s, {kStubMember1, s.object->Address(), {1}});
             s.Place("eng_npc_refresh_focus", kStubMember0, *s.object);
             s.engine.eng_npc_refresh_focus(s.object->As<oCNpc>(), std::nullopt);
             ExpectCall(s, {kStubMember0, s.object->Address(), {}});
         }},
        // Built by the plugin, no engine call.
        {"eng_color_make",
         [](Scene& s) {
             const zCOLOR color = s.engine.eng_color_make(10, 20, 30, 40);
             EXPECT_EQ(std::bit_cast<std::uint32_t>(color), 0x280A141EU)
                 << "as the word 0xAARRGGBB";
         }},
        // The animations the model's first channel plays.
        {"eng_model_first_active_animation_name",
         [](Scene& s) {
             Object animation(s.process.Begin() + 0x10);
             abi::WriteAt(animation.words.data(), s.Fact("support:zCModelAni::aniName").value,
                          s.Text("T_CHESTBIG_S1"));
             abi::WriteAt(s.other->words.data(), s.Fact("support:zCModelAniActive::protoAni").value,
                          animation.Address());
             s.SetField(*s.object, "eng_model_first_active_animation_name", s.other->Address());
             EXPECT_EQ(
                 s.engine.eng_model_first_active_animation_name(s.object->As<zCModel>()).Text(),
                 "T_CHESTBIG_S1");
             EXPECT_TRUE(s.engine.eng_model_is_animation_active(s.object->As<zCModel>(),
                                                                zSTRING("T_CHESTBIG_S1")));
             EXPECT_FALSE(s.engine.eng_model_is_animation_active(s.object->As<zCModel>(),
                                                                 zSTRING("T_CHEST_S1")));
             s.SetField(*s.object, "eng_model_first_active_animation_name", 0U);
             EXPECT_FALSE(
                 s.engine.eng_model_is_animation_active(s.object->As<zCModel>(), zSTRING()))
                 << "an idle model plays no animation, not even one without a name";
             EXPECT_FALSE(s.engine.eng_model_first_active_animation_name(s.object->As<zCModel>())
                              .HasBuffer());
         }},
        {"eng_model_is_animation_active", [](Scene&) {}},  // with the one above
        // NewBalance's extended NPC: absent, its markers unset.
        {"eng_npc_ex_marker_1",
         [](Scene& s) {
             EXPECT_EQ(s.engine.eng_npc_ex_marker_1(s.object->As<oCNpcEx>()), 0);
             EXPECT_EQ(s.engine.eng_npc_ex_marker_2(s.object->As<oCNpcEx>()), 0);
             EXPECT_EQ(s.engine.eng_npc_ex_marker_3(s.object->As<oCNpcEx>()), 0);
         }},
        {"eng_npc_ex_marker_2", [](Scene&) {}},  // with the one above
        {"eng_npc_ex_marker_3", [](Scene&) {}},  // with the one above
    };
    return checks;
}

class BoundEngineOperations : public testing::TestWithParam<VersionCase> {
protected:
    void SetUp() override {
        process_ = std::make_unique<FakeProcess>(FakeEngine(), GetParam().version);
        scene_ = std::make_unique<Scene>(*process_);
    }
    void TearDown() override {
        const FakeStrings& strings = process_->Strings();
        EXPECT_EQ(strings.made, strings.dropped) << "an engine string the binding made was kept";
    }
    // Runs a check so that a fault in the engine code it reaches fails it instead of the
    // program.
    void Guarded(std::string_view operation, const std::function<void()>& check) {
        covered_.insert(std::string(operation));
        const std::string stopped = RunGuarded(check);
        EXPECT_EQ(stopped, "") << operation;
    }

    std::unique_ptr<FakeProcess> process_;
    std::unique_ptr<Scene> scene_;
    std::set<std::string> covered_;
};

TEST_P(BoundEngineOperations, ReadFieldsAtTheirOffsets) {
    Scene& s = *scene_;
    std::uint32_t marker = 0x51000000;
    for (const WordField& field : WordFields()) {
        SCOPED_TRACE(field.operation);
        Guarded(field.operation, [&] {
            Object object(process_->Begin() + 0x10);
            s.SetField(object, field.operation, ++marker);
            EXPECT_EQ(field.read(s.engine, object), field.truth ? 1U : marker);
            s.SetField(object, field.operation, 0U);
            EXPECT_EQ(field.read(s.engine, object), 0U);
        });
    }
    for (const auto& field : TextFields()) {
        const std::string_view operation = field.first;
        const auto& read = field.second;
        SCOPED_TRACE(operation);
        Guarded(operation, [&] {
            Object object(process_->Begin() + 0x10);
            s.SetField(object, operation, s.Text("Goldmuenze"));
            EXPECT_EQ(read(s.engine, object).Text(), "Goldmuenze");
            s.SetField(object, operation, s.Text(nullptr));
            EXPECT_FALSE(read(s.engine, object).HasBuffer()) << "a string without buffer stays one";
        });
    }
}

TEST_P(BoundEngineOperations, ReadGlobalsAtTheirAddresses) {
    Scene& s = *scene_;
    std::uint32_t marker = 0x47000000;
    for (const auto& global : Globals()) {
        const std::string_view operation = global.first;
        const auto& read = global.second;
        SCOPED_TRACE(operation);
        Guarded(operation, [&] {
            s.SetGlobal(operation, ++marker);
            EXPECT_EQ(read(s.engine), marker);
        });
    }
    Guarded("eng_script_parser", [&] {
        EXPECT_EQ(Word(s.engine.eng_script_parser()), s.Fact("eng_script_parser").value)
            << "the parser is the global object itself";
    });
}

TEST_P(BoundEngineOperations, CallMembersWithTheEnginesConventions) {
    Scene& s = *scene_;
    for (const WordCall& call : WordCalls()) {
        SCOPED_TRACE(call.operation);
        Guarded(call.operation, [&] {
            s.Place(call.operation, call.stub, *s.object);
            const std::uint32_t before = process_->LastCall().calls;
            EXPECT_EQ(call.call(s), call.answer);
            EXPECT_EQ(process_->LastCall().calls, before + 1) << "the engine was not called once";
            ExpectCall(s, {call.stub, s.object->Address(), call.args(s)});
        });
    }
}

TEST_P(BoundEngineOperations, AnswerTheRestAsTheEngineDoes) {
    for (const OperationCheck& check : SpecialChecks()) {
        SCOPED_TRACE(check.operation);
        process_->Answers() = {kWord, kSecond, kReal, kText, {1.5F, -2.0F, 300.25F}, {1, 2, 3, 4}};
        Guarded(check.operation, [&] { check.check(*scene_); });
    }
}

// Each operation of the contract has its check above.
TEST(BoundEngineCoverage, EveryOperationHasACheck) {
    std::set<std::string_view> checked{"eng_script_parser"};
    for (const WordField& field : WordFields()) {
        checked.insert(field.operation);
    }
    for (const auto& field : TextFields()) {
        checked.insert(field.first);
    }
    for (const auto& global : Globals()) {
        checked.insert(global.first);
    }
    for (const WordCall& call : WordCalls()) {
        checked.insert(call.operation);
    }
    for (const OperationCheck& check : SpecialChecks()) {
        checked.insert(check.operation);
    }
    for (const std::string_view operation : binding::kContractOperations) {
        EXPECT_TRUE(checked.contains(operation)) << operation << " has no check";
    }
}

INSTANTIATE_TEST_SUITE_P(FourEngines, BoundEngineOperations, testing::ValuesIn(kVersions),
                         VersionName);

}  // namespace
}  // namespace pilfern::fakegame
