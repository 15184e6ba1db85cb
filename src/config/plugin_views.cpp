#include "config/plugin_views.h"

#include <array>
#include <string_view>

namespace pilfern {
namespace {

constexpr std::string_view kTargetTextureBlue = "QUICKLOOT_TARGET_BLUE";
constexpr std::string_view kTargetTextureGreen = "QUICKLOOT_TARGET_GREEN";
constexpr std::string_view kLootIconTexture = "QUICKLOOT_ICON";
constexpr std::string_view kHistoryBackgroundTexture = "QUICK_LOOT_HISTORY_BG";

constexpr int kTextureLoadFlags = 0;
constexpr int kBlendMode = 2;
// Every view but the marker view covers the whole virtual screen as a view of kind 2.
constexpr int kVirtualScreen = 8192;
constexpr int kViewKind = 2;
constexpr int kStayOnTop = 0;  // no: the views stay among the others

struct MarkerTexture {
    int textureIdx;
    zCTexture* PluginStatics::*texture;
    std::string_view name;
};

constexpr std::array<MarkerTexture, 2> kMarkerTextures{{
    {1, &PluginStatics::targetTextureBlue, kTargetTextureBlue},
    {2, &PluginStatics::targetTextureGreen, kTargetTextureGreen},
}};

zCView* CreateFullScreenView(Instance& instance) {
    return instance.engine.eng_view_construct_rect(0, 0, kVirtualScreen, kVirtualScreen, kViewKind);
}

void GiveScreenFont(Instance& instance, zCView* view) {
    Engine& engine = instance.engine;
    engine.eng_view_set_font(view, engine.eng_view_get_font_name(engine.eng_screen()));
}

}  // namespace

void ReloadMarkerTextures(Instance& instance) {
    Engine& engine = instance.engine;
    for (const MarkerTexture& marker : kMarkerTextures) {
        zCTexture*& held = instance.statics.*marker.texture;
        if (held != nullptr) {
            engine.eng_object_release(held);
            held = nullptr;
        }
    }
    for (const MarkerTexture& marker : kMarkerTextures) {
        zCTexture*& held = instance.statics.*marker.texture;
        held = engine.eng_texture_load(zSTRING(marker.name), kTextureLoadFlags);
        // A texture the engine could not give is not referenced.
        if (held != nullptr) {
            engine.eng_object_add_ref(held);
        }
    }
}

void ApplyMarkerTexture(Instance& instance, int textureIdx) {
    if (instance.statics.targetView == nullptr) {
        return;
    }
    for (const MarkerTexture& marker : kMarkerTextures) {
        if (marker.textureIdx == textureIdx) {
            instance.engine.eng_view_set_texture(instance.statics.targetView,
                                                 instance.statics.*marker.texture);
        }
    }
}

void CreateTargetView(Instance& instance) {
    PluginStatics& statics = instance.statics;
    statics.targetView = instance.engine.eng_view_construct();
    // Anything but blue starts green, also 3, whose markers are an effect and use no texture.
    constexpr int kBlue = 1;
    instance.engine.eng_view_set_texture(statics.targetView, instance.settings.textureIdx == kBlue
                                                                 ? statics.targetTextureBlue
                                                                 : statics.targetTextureGreen);
}

void CreateLootIconView(Instance& instance, const std::vector<int>& position, int width) {
    Engine& engine = instance.engine;
    zCView* view = CreateFullScreenView(instance);
    instance.statics.lootIconView = view;
    GiveScreenFont(instance, view);
    engine.eng_view_set_position(view, position.at(0), position.at(1));
    zCView* screen = engine.eng_screen();
    const int height = engine.eng_view_pixel_to_virtual_y(
        screen, engine.eng_view_virtual_to_pixel_x(screen, width));
    engine.eng_view_set_size(view, width, height);
    engine.eng_view_set_texture_name(view, zSTRING(kLootIconTexture));
    engine.eng_view_set_blend_mode(view, kBlendMode);
}

void CreateHistoryBackgroundView(Instance& instance) {
    Engine& engine = instance.engine;
    zCView* view = CreateFullScreenView(instance);
    instance.statics.historyBackgroundView = view;
    engine.eng_view_set_blend_mode(view, kBlendMode);
    GiveScreenFont(instance, view);
    engine.eng_view_set_texture_name(view, zSTRING(kHistoryBackgroundTexture));
}

void CreateHistoryTextView(Instance& instance) {
    zCView* view = CreateFullScreenView(instance);
    instance.statics.historyTextView = view;
    GiveScreenFont(instance, view);
    instance.engine.eng_view_set_blend_mode(view, kBlendMode);
}

zCView* CreateScreenTextView(Instance& instance) {
    Engine& engine = instance.engine;
    zCView* view = CreateFullScreenView(instance);
    engine.eng_view_set_font_color(view, engine.eng_color_default_text());
    engine.eng_view_set_blend_mode(view, kBlendMode);
    engine.eng_screen_insert(view, kStayOnTop);
    return view;
}

}  // namespace pilfern
