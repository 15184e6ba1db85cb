// The bound engine: the screen, views, fonts, colours, textures, the renderer, cameras and
// visual effects.

#include "binding/engine/bound_calls.h"
#include "binding/engine/bound_engine.h"

namespace pilfern::binding {

zCView* BoundEngine::eng_screen() {
    return bound::Global<zCView*>(At(OperationIndex("eng_screen")));
}

void BoundEngine::eng_screen_insert(zCView* view, int stayOnTop) {
    bound::Call<void>(At(OperationIndex("eng_screen_insert")), eng_screen(), view, stayOnTop);
}

void BoundEngine::eng_screen_remove(zCView* view) {
    bound::Call<void>(At(OperationIndex("eng_screen_remove")), eng_screen(), view);
}

// Views are made on the engine's heap, where the engine can free them as its own.
zCView* BoundEngine::eng_view_construct() {
    void* memory = abi::CallPlain<void*>(support_.operatorNew, support_.viewSize);
    if (memory != nullptr) {
        bound::Call<void*>(At(OperationIndex("eng_view_construct")), memory);
    }
    return static_cast<zCView*>(memory);
}

zCView* BoundEngine::eng_view_construct_rect(int x1, int y1, int x2, int y2, int kind) {
    void* memory = abi::CallPlain<void*>(support_.operatorNew, support_.viewSize);
    if (memory != nullptr) {
        bound::Call<void*>(At(OperationIndex("eng_view_construct_rect")), memory, x1, y1, x2, y2,
                           kind);
    }
    return static_cast<zCView*>(memory);
}

void BoundEngine::eng_view_set_texture(zCView* view, zCTexture* texture) {
    bound::Call<void>(At(OperationIndex("eng_view_set_texture")), view, texture);
}

void BoundEngine::eng_view_set_texture_name(zCView* view, const zSTRING& name) {
    const abi::EngineString engineName(support_.strings, name);
    bound::Call<void>(At(OperationIndex("eng_view_set_texture_name")), view, engineName.Object());
}

// The engine takes the blend function by reference.
void BoundEngine::eng_view_set_blend_mode(zCView* view, int mode) {
    bound::Call<void>(At(OperationIndex("eng_view_set_blend_mode")), view, &mode);
}

zSTRING BoundEngine::eng_view_get_font_name(const zCView* view) {
    return abi::ReceiveText(support_.strings, [&](void* result) {
        bound::CallInto(At(OperationIndex("eng_view_get_font_name")), view, result);
    });
}

void BoundEngine::eng_view_set_font(zCView* view, const zSTRING& fontName) {
    const abi::EngineString engineName(support_.strings, fontName);
    bound::Call<void>(At(OperationIndex("eng_view_set_font")), view, engineName.Object());
}

zCFont* BoundEngine::eng_view_font(const zCView* view) {
    return bound::Field<zCFont*>(view, At(OperationIndex("eng_view_font")));
}

int BoundEngine::eng_view_font_height(const zCView* view) {
    return bound::Call<int>(At(OperationIndex("eng_view_font_height")), view);
}

int BoundEngine::eng_view_text_width(const zCView* view, const zSTRING& text) {
    const abi::EngineString engineText(support_.strings, text);
    return bound::Call<int>(At(OperationIndex("eng_view_text_width")), view, engineText.Object());
}

void BoundEngine::eng_view_set_font_color(zCView* view, const zCOLOR& color) {
    bound::Call<void>(At(OperationIndex("eng_view_set_font_color")), view, &color);
}

void BoundEngine::eng_view_set_position(zCView* view, int x, int y) {
    bound::Call<void>(At(OperationIndex("eng_view_set_position")), view, x, y);
}

void BoundEngine::eng_view_set_size(zCView* view, int width, int height) {
    bound::Call<void>(At(OperationIndex("eng_view_set_size")), view, width, height);
}

void BoundEngine::eng_view_clear_text(zCView* view) {
    bound::Call<void>(At(OperationIndex("eng_view_clear_text")), view);
}

void BoundEngine::eng_view_print(zCView* view, int x, int y, const zSTRING& text) {
    const abi::EngineString engineText(support_.strings, text);
    bound::Call<void>(At(OperationIndex("eng_view_print")), view, x, y, engineText.Object());
}

// The engine takes the colour by a pointer it does not promise to leave alone: a copy.
void BoundEngine::eng_view_print_timed_cx(zCView* view, int y, const zSTRING& text, float time,
                                          const zCOLOR& color) {
    const abi::EngineString engineText(support_.strings, text);
    zCOLOR copy = color;
    bound::Call<void>(At(OperationIndex("eng_view_print_timed_cx")), view, y, engineText.Object(),
                      time, &copy);
}

void BoundEngine::eng_view_window_print(zCView* view, const zSTRING& text) {
    const abi::EngineString engineText(support_.strings, text);
    bound::Call<void>(At(OperationIndex("eng_view_window_print")), view, engineText.Object());
}

void BoundEngine::eng_view_refresh(zCView* view) {
    bound::Call<void>(At(OperationIndex("eng_view_refresh")), view);
}

void BoundEngine::eng_view_blit(zCView* view) {
    bound::Call<void>(At(OperationIndex("eng_view_blit")), view);
}

void BoundEngine::eng_view_draw(zCView* view) {
    bound::Call<void>(At(OperationIndex("eng_view_draw")), view);
}

// A virtual __fastcall member: the view in ECX, the first result's address in EDX, the other
// three on the stack.
zVIEWPORT BoundEngine::eng_view_get_viewport(const zCView* view) {
    zVIEWPORT viewport;
    const abi::EngineAddress function =
        abi::VirtualFunction(view, At(OperationIndex("eng_view_get_viewport")).value);
    abi::CallFast<void>(function, view, &viewport.x, &viewport.y, &viewport.width,
                        &viewport.height);
    return viewport;
}

int BoundEngine::eng_view_pixel_to_virtual_x(const zCView* view, int pixels) {
    return bound::Call<int>(At(OperationIndex("eng_view_pixel_to_virtual_x")), view, pixels);
}

int BoundEngine::eng_view_pixel_to_virtual_y(const zCView* view, int pixels) {
    return bound::Call<int>(At(OperationIndex("eng_view_pixel_to_virtual_y")), view, pixels);
}

int BoundEngine::eng_view_virtual_to_pixel_x(const zCView* view, int virtualUnits) {
    return bound::Call<int>(At(OperationIndex("eng_view_virtual_to_pixel_x")), view, virtualUnits);
}

int BoundEngine::eng_font_height(const zCFont* font) {
    return bound::Call<int>(At(OperationIndex("eng_font_height")), font);
}

// The engine has no setter: the height is a field.
void BoundEngine::eng_font_set_height(zCFont* font, int height) {
    abi::WriteAt(font, At(OperationIndex("eng_font_set_height")).value, height);
}

// A colour is four bytes the plugin makes itself.
zCOLOR BoundEngine::eng_color_make(std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                   std::uint8_t alpha) {
    return {b, g, r, alpha};
}

zCOLOR BoundEngine::eng_color_default_text() {
    return bound::Global<zCOLOR>(At(OperationIndex("eng_color_default_text")));
}

zCTexture* BoundEngine::eng_texture_load(const zSTRING& name, int flags) {
    const abi::EngineString engineName(support_.strings, name);
    return abi::CallPlain<zCTexture*>(At(OperationIndex("eng_texture_load")).value,
                                      engineName.Object(), flags);
}

// A virtual member of the renderer the engine keeps in a global.
void BoundEngine::eng_renderer_set_viewport(int x, int y, int width, int height) {
    const auto* renderer = abi::ReadGlobal<const void*>(support_.renderer);
    if (renderer != nullptr) {
        bound::Call<int>(At(OperationIndex("eng_renderer_set_viewport")), renderer, x, y, width,
                         height);
    }
}

// Cameras and visual effects.

zCCamera* BoundEngine::eng_active_camera() {
    return bound::Global<zCCamera*>(At(OperationIndex("eng_active_camera")));
}

void BoundEngine::eng_camera_update(zCCamera* camera) {
    bound::Call<void>(At(OperationIndex("eng_camera_update")), camera);
}

// The engine's matrix is 4x4, row by row; the contract's is its first three rows.
zMAT34 BoundEngine::eng_camera_view_matrix(const zCCamera* camera) {
    zMAT34 matrix;
    matrix.rows =
        bound::Field<decltype(matrix.rows)>(camera, At(OperationIndex("eng_camera_view_matrix")));
    return matrix;
}

float BoundEngine::eng_camera_near_plane(const zCCamera* camera) {
    return bound::Field<float>(camera, At(OperationIndex("eng_camera_near_plane")));
}

zPOINT2 BoundEngine::eng_camera_project(const zCCamera* camera, const zVEC3& cameraSpace) {
    zPOINT2 point;
    bound::Call<void>(At(OperationIndex("eng_camera_project")), camera, &cameraSpace, &point.x,
                      &point.y);
    return point;
}

zVEC2 BoundEngine::eng_camera_project_float(const zCCamera* camera, const zVEC3& cameraSpace) {
    zVEC2 point;
    bound::Call<void>(At(OperationIndex("eng_camera_project_float")), camera, &cameraSpace,
                      &point.x, &point.y);
    return point;
}

void BoundEngine::eng_visual_effect_play(const zSTRING& name, const zCVob* origin,
                                         const zCVob* target, int level, float damage,
                                         int damageType, int isProjectile) {
    const abi::EngineString engineName(support_.strings, name);
    abi::CallPlain<void*>(At(OperationIndex("eng_visual_effect_play")).value, engineName.Object(),
                          origin, target, level, damage, damageType, isProjectile);
}

}  // namespace pilfern::binding
