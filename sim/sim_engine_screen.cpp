// The screen, 2D views, fonts, colours, textures, the renderer and the engine's own text
// path through the two patchable functions.

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "sim/engine_string_object.h"
#include "sim/renderer_module.h"
#include "sim/sim_engine.h"

namespace pilfern::sim {
namespace {

constexpr int kVirtualSize = 8192;

// pixels × 8192 in the engine's 32-bit arithmetic, which wraps around as the processor's does.
int ScaledToVirtual(int pixels) {
    return static_cast<int>(static_cast<std::uint32_t>(pixels) *
                            static_cast<std::uint32_t>(kVirtualSize));
}

}  // namespace

int ENGINE_MEMBER_CALL EngineGetFontData(zCFont* font, unsigned char character, int& width,
                                         zVEC2& uv0, zVEC2& uv1) {
    if (font == nullptr) {
        width = 0;
        return 0;
    }
    width = font->widths.at(character);
    // Glyphs lie in a 16 by 16 grid of the font texture.
    const int column = character % 16;
    const int row = character / 16;
    uv0 = zVEC2{static_cast<float>(column) / 16.0F, static_cast<float>(row) / 16.0F};
    uv1 = zVEC2{uv0.x + 1.0F / 16.0F, uv0.y + 1.0F / 16.0F};
    return width > 0 ? 1 : 0;
}

// The engine's own PrintChars reads the engine's string object it is given, in place.
void ENGINE_MEMBER_CALL EnginePrintChars(zCView* view, int x, int y, const zSTRING_Engine& text) {
    if (view == nullptr || view->engine == nullptr || view->font == nullptr) {
        return;
    }
    SimEngine& engine = *view->engine;
    const auto getFontData = engine.Redirects().Resolve<FontGetFontDataFn>(&EngineGetFontData);
    int textWidth = 0;
    for (const char c : text.Text()) {
        int width = 0;
        zVEC2 uv0;
        zVEC2 uv1;
        getFontData(view->font, static_cast<unsigned char>(c), width, uv0, uv1);
        textWidth += width;
    }
    DrawRecord record;
    record.kind = DrawRecord::Kind::Text;
    record.viewId = view->id;
    record.x = x;
    record.y = y;
    record.width = textWidth;
    record.text = text.Text();
    record.color = view->fontColor;
    record.fontHeight = view->font->height;
    record.blendMode = view->blendMode;
    engine.Record(std::move(record));
}

zCFont& SimEngine::AddFont(std::string_view name, int height) {
    auto& font = fonts_.emplace_back(std::make_unique<zCFont>());
    font->name = SymbolName(name);
    font->height = height;
    font->designHeight = height;
    // Glyphs are half as wide as the font is high; blanks and thin letters less.
    for (std::size_t c = 0; c < font->widths.size(); ++c) {
        const bool thin =
            std::string_view("il.,:;!'|").find(static_cast<char>(c)) != std::string_view::npos;
        const int divisor = c == ' ' ? 3 : (thin ? 4 : 2);
        font->widths.at(c) = c < 32 ? 0 : std::max(1, height / divisor);
    }
    return *font;
}

zCFont* SimEngine::FindFont(std::string_view name) const {
    const std::string wanted = SymbolName(name);
    const auto found = std::find_if(fonts_.begin(), fonts_.end(),
                                    [&wanted](const auto& font) { return font->name == wanted; });
    return found == fonts_.end() ? nullptr : found->get();
}

SimTexture* SimEngine::LoadTexture(std::string_view name) {
    const std::string wanted = SymbolName(name);
    if (!textureFiles.contains(wanted)) {
        return nullptr;
    }
    for (const auto& texture : textures_) {
        if (texture->name == wanted) {
            return texture.get();
        }
    }
    auto& texture = textures_.emplace_back(std::make_unique<SimTexture>());
    texture->name = wanted;
    return texture.get();
}

int SimEngine::PixelToVirtualX(const zCView& view, int pixels) const {
    const int viewPixels = view.width * screenWidth / kVirtualSize;
    return viewPixels <= 0 ? 0 : ScaledToVirtual(pixels) / viewPixels;
}

int SimEngine::PixelToVirtualY(const zCView& view, int pixels) const {
    const int viewPixels = view.height * screenHeight / kVirtualSize;
    return viewPixels <= 0 ? 0 : ScaledToVirtual(pixels) / viewPixels;
}

int SimEngine::TextWidth(const zCView& view, std::string_view text) const {
    if (view.font == nullptr) {
        return 0;
    }
    int pixels = 0;
    for (const char c : text) {
        pixels += view.font->widths.at(static_cast<unsigned char>(c));
    }
    return PixelToVirtualX(view, pixels);
}

zCView& SimEngine::NewView() {
    auto& view = views_.emplace_back(std::make_unique<zCView>());
    view->id = static_cast<int>(views_.size()) - 1;
    view->engine = this;
    view->font = fonts_.empty() ? nullptr : fonts_.front().get();
    return *view;
}

void SimEngine::Record(DrawRecord record) {
    record.time = clock_;
    drawRecords_.push_back(std::move(record));
}

zPOINT2 SimEngine::ScreenPosition(const zCView& view, int x, int y) const {
    return {view.x + x * view.width / kVirtualSize, view.y + y * view.height / kVirtualSize};
}

void SimEngine::DrawView(zCView& view) {
    // Drawing a view sets the renderer's viewport to the view's area, as the engine does.
    rendererViewport = zVIEWPORT{
        view.x * screenWidth / kVirtualSize, view.y * screenHeight / kVirtualSize,
        view.width * screenWidth / kVirtualSize, view.height * screenHeight / kVirtualSize};
    if (view.texture != nullptr) {
        DrawRecord quad;
        quad.kind = DrawRecord::Kind::Quad;
        quad.viewId = view.id;
        quad.x = view.x;
        quad.y = view.y;
        quad.width = view.width;
        quad.height = view.height;
        quad.texture = view.textureName;
        quad.blendMode = view.blendMode;
        Record(std::move(quad));
    }
    const auto printChars = redirects_.Resolve<ViewPrintCharsFn>(&EnginePrintChars);
    const zCOLOR viewColor = view.fontColor;
    for (const ViewText& line : view.texts) {
        int x = line.x;
        if (line.centeredX) {
            x = (kVirtualSize - TextWidth(view, line.text)) / 2;
        }
        const zPOINT2 at = ScreenPosition(view, x, line.y);
        view.fontColor = line.color;
        if (rendererDrawsText) {
            RecordRendererText(view, at, line.text);
        } else {
            // The engine prints a string object of its own, made in its heap, so that a
            // replacement reads what the game's would.
            const EngineStringObject text(line.text);
            printChars(&view, at.x, at.y, text.Object());
        }
    }
    view.fontColor = viewColor;
}

void SimEngine::RecordRendererText(const zCView& view, zPOINT2 at, const std::string& text) {
    if (view.font == nullptr) {
        return;
    }
    const float factor = RendererFontMultiplier();
    int width = 0;
    for (const char c : text) {
        width += view.font->widths.at(static_cast<unsigned char>(c));
    }
    DrawRecord record;
    record.kind = DrawRecord::Kind::Text;
    record.viewId = view.id;
    record.x = at.x;
    record.y = at.y;
    record.width = static_cast<int>(static_cast<float>(width) * factor);
    record.text = text;
    record.color = view.fontColor;
    record.fontHeight = static_cast<int>(static_cast<float>(view.font->height) * factor);
    record.blendMode = view.blendMode;
    Record(std::move(record));
}

void SimEngine::RenderScreen() {
    for (zCView* view : screenChildren_) {
        std::erase_if(view->texts, [this](const ViewText& line) {
            return line.expiresAt && static_cast<std::int32_t>(clock_ - *line.expiresAt) >= 0;
        });
        DrawView(*view);
    }
}

zCView* SimEngine::eng_screen() {
    Count(Op(__func__));
    if (screen_ == nullptr) {
        zCView& screen = NewView();
        screen.isScreen = true;
        screen_ = &screen;
    }
    return screen_;
}

void SimEngine::eng_screen_insert(zCView* view, int stayOnTop) {
    Count(Op(__func__), view, stayOnTop);
    if (view == nullptr) {
        return;
    }
    std::erase(screenChildren_, view);
    screenChildren_.push_back(view);
    view->onScreen = true;
}

void SimEngine::eng_screen_remove(zCView* view) {
    Count(Op(__func__), view);
    if (view == nullptr) {
        return;
    }
    std::erase(screenChildren_, view);
    view->onScreen = false;
}

zCView* SimEngine::eng_view_construct() {
    Count(Op(__func__));
    return &NewView();
}

zCView* SimEngine::eng_view_construct_rect(int x1, int y1, int x2, int y2, int kind) {
    Count(Op(__func__), x1, y1, x2, y2, kind);
    zCView& view = NewView();
    view.x = x1;
    view.y = y1;
    view.width = x2 - x1;
    view.height = y2 - y1;
    view.kind = kind;
    return &view;
}

void SimEngine::eng_view_set_texture(zCView* view, zCTexture* texture) {
    Count(Op(__func__), view, texture);
    if (view == nullptr) {
        return;
    }
    view->texture = texture;
    const auto* sim = dynamic_cast<const SimTexture*>(texture);
    view->textureName = sim == nullptr ? std::string() : sim->name;
}

void SimEngine::eng_view_set_texture_name(zCView* view, const zSTRING& name) {
    Count(Op(__func__), view, name);
    if (view == nullptr) {
        return;
    }
    // A texture the game does not have leaves the view without one.
    SimTexture* texture = LoadTexture(name.Text());
    view->texture = texture;
    view->textureName = texture == nullptr ? std::string() : texture->name;
}

void SimEngine::eng_view_set_blend_mode(zCView* view, int mode) {
    Count(Op(__func__), view, mode);
    if (view != nullptr) {
        view->blendMode = mode;
    }
}

zSTRING SimEngine::eng_view_get_font_name(const zCView* view) {
    Count(Op(__func__), view);
    return (view == nullptr || view->font == nullptr) ? zSTRING() : zSTRING(view->font->name);
}

void SimEngine::eng_view_set_font(zCView* view, const zSTRING& fontName) {
    Count(Op(__func__), view, fontName);
    if (view == nullptr) {
        return;
    }
    // A font the game does not have leaves the view without one.
    view->font = FindFont(fontName.Text());
}

zCFont* SimEngine::eng_view_font(const zCView* view) {
    Count(Op(__func__), view);
    return view == nullptr ? nullptr : view->font;
}

int SimEngine::eng_view_font_height(const zCView* view) {
    Count(Op(__func__), view);
    if (view == nullptr || view->font == nullptr) {
        return 0;
    }
    return PixelToVirtualY(*view, view->font->height);
}

int SimEngine::eng_view_text_width(const zCView* view, const zSTRING& text) {
    Count(Op(__func__), view, text);
    return view == nullptr ? 0 : TextWidth(*view, text.Text());
}

void SimEngine::eng_view_set_font_color(zCView* view, const zCOLOR& color) {
    Count(Op(__func__), view, color);
    if (view != nullptr) {
        view->fontColor = color;
    }
}

void SimEngine::eng_view_set_position(zCView* view, int x, int y) {
    Count(Op(__func__), view, x, y);
    if (view != nullptr) {
        view->x = x;
        view->y = y;
    }
}

void SimEngine::eng_view_set_size(zCView* view, int width, int height) {
    Count(Op(__func__), view, width, height);
    if (view != nullptr) {
        view->width = width;
        view->height = height;
    }
}

void SimEngine::eng_view_clear_text(zCView* view) {
    Count(Op(__func__), view);
    if (view != nullptr) {
        view->texts.clear();
        view->windowLines = 0;
    }
}

void SimEngine::eng_view_print(zCView* view, int x, int y, const zSTRING& text) {
    Count(Op(__func__), view, x, y, text);
    if (view != nullptr) {
        view->texts.push_back(
            ViewText{x, y, std::string(text.Text()), view->fontColor, false, std::nullopt});
    }
}

void SimEngine::eng_view_print_timed_cx(zCView* view, int y, const zSTRING& text, float time,
                                        const zCOLOR& color) {
    Count(Op(__func__), view, y, text, time, color);
    if (view != nullptr) {
        const auto expires = clock_ + static_cast<std::uint32_t>(std::max(0.0F, time));
        view->texts.push_back(ViewText{0, y, std::string(text.Text()), color, true, expires});
    }
}

void SimEngine::eng_view_window_print(zCView* view, const zSTRING& text) {
    Count(Op(__func__), view, text);
    if (view == nullptr) {
        return;
    }
    const int lineHeight = view->font == nullptr ? 0 : PixelToVirtualY(*view, view->font->height);
    view->texts.push_back(ViewText{0, view->windowLines * lineHeight, std::string(text.Text()),
                                   view->fontColor, false, std::nullopt});
    ++view->windowLines;
}

void SimEngine::eng_view_refresh(zCView* view) {
    Count(Op(__func__), view);
}

void SimEngine::eng_view_blit(zCView* view) {
    Count(Op(__func__), view);
    if (view != nullptr) {
        DrawView(*view);
    }
}

void SimEngine::eng_view_draw(zCView* view) {
    Count(Op(__func__), view);
}

zVIEWPORT SimEngine::eng_view_get_viewport(const zCView* view) {
    Count(Op(__func__), view);
    if (view == nullptr) {
        return {};
    }
    return zVIEWPORT{view->x * screenWidth / kVirtualSize, view->y * screenHeight / kVirtualSize,
                     view->width * screenWidth / kVirtualSize,
                     view->height * screenHeight / kVirtualSize};
}

int SimEngine::eng_view_pixel_to_virtual_x(const zCView* view, int pixels) {
    Count(Op(__func__), view, pixels);
    return view == nullptr ? 0 : PixelToVirtualX(*view, pixels);
}

int SimEngine::eng_view_pixel_to_virtual_y(const zCView* view, int pixels) {
    Count(Op(__func__), view, pixels);
    return view == nullptr ? 0 : PixelToVirtualY(*view, pixels);
}

int SimEngine::eng_view_virtual_to_pixel_x(const zCView* view, int virtualUnits) {
    Count(Op(__func__), view, virtualUnits);
    const int viewPixels = view == nullptr ? 0 : view->width * screenWidth / kVirtualSize;
    return virtualUnits * viewPixels / kVirtualSize;
}

int SimEngine::eng_font_height(const zCFont* font) {
    Count(Op(__func__), font);
    return font == nullptr ? 0 : font->height;
}

void SimEngine::eng_font_set_height(zCFont* font, int height) {
    Count(Op(__func__), font, height);
    if (font != nullptr) {
        font->height = height;
    }
}

zCOLOR SimEngine::eng_color_make(std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                 std::uint8_t alpha) {
    Count(Op(__func__), r, g, b, alpha);
    return zCOLOR{b, g, r, alpha};
}

zCOLOR SimEngine::eng_color_default_text() {
    Count(Op(__func__));
    return zCOLOR{255, 255, 255, 255};
}

zCTexture* SimEngine::eng_texture_load(const zSTRING& name, int flags) {
    Count(Op(__func__), name, flags);
    return LoadTexture(name.Text());
}

void SimEngine::eng_renderer_set_viewport(int x, int y, int width, int height) {
    Count(Op(__func__), x, y, width, height);
    rendererViewport = zVIEWPORT{x, y, width, height};
}

}  // namespace pilfern::sim
