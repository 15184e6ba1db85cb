#include "autoloot/ground_items.h"

#include <array>
#include <optional>

#include "config/item_lists.h"
#include "core/world_units.h"
#include "looting/quick_loot.h"
#include "looting/take_item.h"

namespace pilfern {
namespace {

constexpr std::uint32_t kFlagWorn = 0x40000000;
constexpr std::uint32_t kFlagMission = 0x1000;
constexpr std::uint32_t kNewBalanceQuestMark = 0x80000;
constexpr int kSightMode = 1;
constexpr int kScreenFirst = 1;
constexpr int kScreenLast = 8191;

bool IsQuestItemInRoom(const Instance& instance, const oCItem& item) {
    Engine& engine = instance.engine;
    const PluginSettings& settings = instance.settings;
    if (settings.newBalanceMode) {
        return settings.allowMarkQuestItems &&
               (engine.eng_item_nb_quest_word(&item) & kNewBalanceQuestMark) != 0;
    }
    return (engine.eng_item_flags(&item) & kFlagMission) != 0;
}

// The room rule: an item in a room is taken only from a room of the same name as the
// player's, when the game keeps no record of that room, and when it is no quest item.
// Gothic I never takes an item from a room.
std::optional<GroundVerdict> JudgeRooms(Instance& instance, const oCNpc& player,
                                        const oCItem& item) {
    Engine& engine = instance.engine;
    const zSTRING itemRoom = engine.eng_vob_room_name(&item);
    if (engine.eng_string_is_empty(itemRoom)) {
        return std::nullopt;
    }
    const zSTRING playerRoom = engine.eng_vob_room_name(&player);
    std::optional<GroundVerdict> verdict;
    if (engine.eng_string_is_empty(playerRoom)) {
        verdict = GroundVerdict::PlayerOutside;
    } else if (!EqualsIgnoringCase(playerRoom.Text(), itemRoom.Text())) {
        verdict = GroundVerdict::OtherRoom;
    } else if (const oCPortalRoomManager* registry =
                   engine.eng_game_room_registry(engine.eng_game())) {
        if (engine.eng_room_registry_player_room(registry) != nullptr) {
            verdict = GroundVerdict::RecordedRoom;
        } else if (IsQuestItemInRoom(instance, item)) {
            verdict = GroundVerdict::QuestItemInRoom;
        }
    }
    if (!verdict && instance.gothicOneRoomRule) {
        verdict = GroundVerdict::GothicOneRoom;
    }
    return verdict;
}

// Whether the item shows on screen through the game camera, in front of its near plane and
// off the screen's edges.
bool OnScreen(Engine& engine, const oCItem& item) {
    zCCamera* camera = engine.eng_game_camera(engine.eng_game());
    const zVEC3 at = engine.eng_vob_position(&item);
    const zMAT34 view = engine.eng_camera_view_matrix(camera);
    const auto row = [&at](const std::array<float, 4>& r) {
        return r[0] * at.x + r[1] * at.y + r[2] * at.z + r[3];
    };
    const zVEC3 inCamera{row(view.rows[0]), row(view.rows[1]), row(view.rows[2])};
    const zPOINT2 pixel = engine.eng_camera_project(camera, inCamera);
    zCView* screen = engine.eng_screen();
    const int x = engine.eng_view_pixel_to_virtual_x(screen, pixel.x);
    const int y = engine.eng_view_pixel_to_virtual_y(screen, pixel.y);
    return x >= kScreenFirst && x <= kScreenLast && y >= kScreenFirst && y <= kScreenLast &&
           inCamera.z > engine.eng_camera_near_plane(camera);
}

bool HasName(Engine& engine, const oCItem& item) {
    return !engine.eng_string_is_empty(engine.eng_item_name(&item)) ||
           !engine.eng_string_is_empty(engine.eng_item_display_name(&item));
}

}  // namespace

GroundVerdict JudgeGroundItem(Instance& instance, const oCNpc& player, const oCItem& item) {
    Engine& engine = instance.engine;
    const PluginSettings& settings = instance.settings;
    // Distance first: in a large world nearly every item is out of reach, and the pass should
    // cost little more than the walk and this one query for each of them. The tests have no
    // side effects, so their order changes only which reason an item left for several is given.
    // Whole world units, cut toward zero: 600.9 is within a radius of 600.
    if (!WithinRadius(engine.eng_vob_distance_to(&player, &item), settings.autoLootDistance)) {
        return GroundVerdict::TooFar;
    }
    if (engine.eng_item_has_flag(&item, kFlagWorn)) {
        return GroundVerdict::Worn;
    }
    if (engine.eng_vob_home_world(&item) == nullptr || engine.eng_vob_visual(&item) == nullptr) {
        return GroundVerdict::NotPlaced;
    }
    if (engine.eng_item_instance(&item) == -1) {
        return GroundVerdict::NoInstance;
    }
    if (!engine.eng_item_ground_check(&item)) {
        return GroundVerdict::NotOnGround;
    }
    if (engine.eng_item_has_flag(&item, instance.profile.notFocusableFlag)) {
        return GroundVerdict::NotFocusable;
    }
    if (!HasName(engine, item)) {
        return GroundVerdict::NoName;
    }
    if (const auto rooms = JudgeRooms(instance, player, item)) {
        return *rooms;
    }
    if (IsAutoLootExcludedName(settings, engine.eng_object_instance_name(&item).Text())) {
        return GroundVerdict::Excluded;
    }
    const zSTRING arrowText = engine.eng_item_arrow_text(&item);
    if (arrowText.HasBuffer() && IsNpcArrow(instance, engine.eng_item_instance(&item),
                                            engine.eng_vob_flag_bits(&item) & 0x3, arrowText)) {
        return GroundVerdict::NpcArrow;
    }
    if (settings.needDirectViewAutoloot) {
        if (!OnScreen(engine, item)) {
            return GroundVerdict::OffScreen;
        }
        if (!engine.eng_npc_can_see(&player, &item, kSightMode)) {
            return GroundVerdict::NotInView;
        }
    }
    return GroundVerdict::Take;
}

void AutoLootGroundItems(Instance& instance) {
    Engine& engine = instance.engine;
    const oCNpc* player = engine.eng_player();
    if (player == nullptr) {
        return;
    }
    const zCWorld* world = engine.eng_game_world(engine.eng_game());
    // Taking an item unlinks its node: the next one is read before.
    const zCListSort<oCItem>* node = engine.eng_world_item_list(world);
    while (node != nullptr) {
        const zCListSort<oCItem>* next = engine.eng_list_item_next(node);
        if (oCItem* item = engine.eng_list_item(node)) {
            const GroundVerdict verdict = JudgeGroundItem(instance, *player, *item);
            if (instance.lootWatcher != nullptr) {
                instance.lootWatcher->OnGroundItemJudged(*item, verdict);
            }
            if (verdict == GroundVerdict::Take) {
                TakeItem(instance, item, true);
            }
        }
        node = next;
    }
}

}  // namespace pilfern
