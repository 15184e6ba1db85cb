// The engine's draws of a frame on a screenshot. The game's textures are not at hand, so each
// known texture has a stand-in a player recognises; an unknown one shows as the engine shows
// a texture it lacks.

#include "sim/render/screen_draws.h"

#include <algorithm>
#include <array>
#include <numbers>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace pilfern::sim {
namespace {

// Where a textured view lies on the picture.
struct Box {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// How a view is laid over what lies below, by the engine's alpha function: 0 the material's
// own, 1 none (opaque), 2 blend, 3 add, 4 subtract, 5 multiply, 6 multiply twice.
struct BlendLook {
    int mode;
    cairo_operator_t op;
    bool opaque;
};
constexpr std::array<BlendLook, 7> kBlends{{
    {0, CAIRO_OPERATOR_OVER, false},
    {1, CAIRO_OPERATOR_OVER, true},
    {2, CAIRO_OPERATOR_OVER, false},
    {3, CAIRO_OPERATOR_ADD, false},
    {4, CAIRO_OPERATOR_DIFFERENCE, false},
    {5, CAIRO_OPERATOR_MULTIPLY, false},
    {6, CAIRO_OPERATOR_OVERLAY, false},
}};

const BlendLook& BlendOf(int mode) {
    const auto* found = std::find_if(kBlends.begin(), kBlends.end(),
                                     [mode](const BlendLook& blend) { return blend.mode == mode; });
    return found == kBlends.end() ? kBlends.front() : *found;
}

// Paints with a colour, made opaque when the view does not blend.
class Brush {
public:
    Brush(const Canvas& canvas, bool opaque) : canvas_(canvas), opaque_(opaque) {}
    void Use(Colour colour) const {
        if (opaque_) {
            colour.a = 1;
        }
        canvas_.SetColour(colour);
    }

private:
    const Canvas& canvas_;
    bool opaque_;
};

// QUICK_LOOT_HISTORY_BG: a dark, see-through panel with a thin rim.
void DrawHistoryPanel(const Canvas& canvas, const Box& box, const Brush& brush) {
    cairo_t* cr = canvas.cairo;
    cairo_rectangle(cr, box.x, box.y, box.width, box.height);
    brush.Use({0.03, 0.025, 0.02, 0.78});
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.5);
    cairo_rectangle(cr, box.x + 2, box.y + 2, box.width - 4, box.height - 4);
    brush.Use({0.62, 0.5, 0.32, 0.7});
    cairo_stroke(cr);
}

// QUICKLOOT_ICON: a tied sack of loot with a coin in front.
void DrawLootIcon(const Canvas& canvas, const Box& box, const Brush& brush) {
    cairo_t* cr = canvas.cairo;
    const double unit = std::min(box.width, box.height);
    const double cx = box.x + box.width / 2;
    const double cy = box.y + box.height / 2;
    cairo_arc(cr, cx, cy + unit * 0.12, unit * 0.33, 0, 2 * std::numbers::pi);
    brush.Use({0.58, 0.4, 0.2, 0.95});
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, std::max(1.0, unit * 0.04));
    brush.Use({0.25, 0.15, 0.06, 1});
    cairo_stroke(cr);
    cairo_move_to(cr, cx - unit * 0.12, cy - unit * 0.2);
    cairo_line_to(cr, cx - unit * 0.2, cy - unit * 0.42);
    cairo_line_to(cr, cx + unit * 0.2, cy - unit * 0.42);
    cairo_line_to(cr, cx + unit * 0.12, cy - unit * 0.2);
    cairo_close_path(cr);
    brush.Use({0.58, 0.4, 0.2, 0.95});
    cairo_fill_preserve(cr);
    brush.Use({0.25, 0.15, 0.06, 1});
    cairo_stroke(cr);
    cairo_arc(cr, cx + unit * 0.2, cy + unit * 0.28, unit * 0.15, 0, 2 * std::numbers::pi);
    brush.Use({0.95, 0.78, 0.25, 1});
    cairo_fill_preserve(cr);
    brush.Use({0.45, 0.32, 0.05, 1});
    cairo_stroke(cr);
}

// QUICKLOOT_TARGET_BLUE and _GREEN: a square frame with a ring and a dot at its centre, where
// the looted thing was.
void DrawTarget(const Canvas& canvas, const Box& box, const Brush& brush, const Colour& colour) {
    cairo_t* cr = canvas.cairo;
    const double unit = std::min(box.width, box.height);
    const double cx = box.x + box.width / 2;
    const double cy = box.y + box.height / 2;
    cairo_rectangle(cr, box.x, box.y, box.width, box.height);
    brush.Use({colour.r, colour.g, colour.b, 0.18});
    cairo_fill(cr);
    const double line = std::max(1.5, unit * 0.06);
    cairo_set_line_width(cr, line);
    cairo_rectangle(cr, box.x + line / 2, box.y + line / 2, box.width - line, box.height - line);
    brush.Use(colour);
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, unit * 0.3, 0, 2 * std::numbers::pi);
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, std::max(1.5, unit * 0.07), 0, 2 * std::numbers::pi);
    cairo_fill(cr);
}

void DrawBlueTarget(const Canvas& canvas, const Box& box, const Brush& brush) {
    DrawTarget(canvas, box, brush, {0.2, 0.5, 1.0, 0.95});
}

void DrawGreenTarget(const Canvas& canvas, const Box& box, const Brush& brush) {
    DrawTarget(canvas, box, brush, {0.25, 0.95, 0.3, 0.95});
}

struct TextureLook {
    std::string_view texture;
    void (*draw)(const Canvas&, const Box&, const Brush&);
};
constexpr std::array<TextureLook, 4> kTextureLooks{{
    {"QUICK_LOOT_HISTORY_BG", DrawHistoryPanel},
    {"QUICKLOOT_ICON", DrawLootIcon},
    {"QUICKLOOT_TARGET_BLUE", DrawBlueTarget},
    {"QUICKLOOT_TARGET_GREEN", DrawGreenTarget},
}};

// A texture without a stand-in: a magenta and black chequer with its name.
void DrawUnknownTexture(const Canvas& canvas, const Box& box, const Brush& brush,
                        const std::string& name) {
    cairo_t* cr = canvas.cairo;
    constexpr int kSquares = 4;
    for (int row = 0; row < kSquares; ++row) {
        for (int column = 0; column < kSquares; ++column) {
            cairo_rectangle(cr, box.x + box.width * column / kSquares,
                            box.y + box.height * row / kSquares, box.width / kSquares,
                            box.height / kSquares);
            brush.Use((row + column) % 2 == 0 ? Colour{1, 0, 1, 1} : Colour{0, 0, 0, 1});
            cairo_fill(cr);
        }
    }
    cairo_select_font_face(cr, kScreenshotFont.data(), CAIRO_FONT_SLANT_NORMAL,
                           CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 10);
    cairo_move_to(cr, box.x + 2, box.y + 12);
    brush.Use({1, 1, 1, 1});
    cairo_show_text(cr, name.c_str());
}

void DrawQuad(const Canvas& canvas, const DrawRecord& record, const Brush& brush) {
    const Box box{canvas.VirtualX(record.x), canvas.VirtualY(record.y),
                  canvas.VirtualX(record.width), canvas.VirtualY(record.height)};
    const auto* look = std::find_if(
        kTextureLooks.begin(), kTextureLooks.end(),
        [&record](const TextureLook& known) { return known.texture == record.texture; });
    if (look == kTextureLooks.end()) {
        DrawUnknownTexture(canvas, box, brush, record.texture);
    } else {
        look->draw(canvas, box, brush);
    }
}

// A line of text at its place, as tall as the font the engine drew it with. The game's font
// is narrower or wider than DejaVu Sans; a line wider than the engine measured it is pressed
// to the measured width, so that the plugin's layout shows as the game shows it.
void DrawText(const Canvas& canvas, const DrawRecord& record, const Brush& brush, int codePage) {
    const std::string text = platform::CodePageToUtf8(record.text, codePage);
    if (text.empty() || record.fontHeight <= 0) {
        return;
    }
    cairo_t* cr = canvas.cairo;
    cairo_select_font_face(cr, kScreenshotFont.data(), CAIRO_FONT_SLANT_NORMAL,
                           CAIRO_FONT_WEIGHT_NORMAL);
    const double lineHeight = canvas.ScreenY(record.fontHeight);
    cairo_set_font_size(cr, lineHeight);
    cairo_font_extents_t font{};
    cairo_font_extents(cr, &font);
    cairo_set_font_size(cr, lineHeight * lineHeight / font.height);
    cairo_font_extents(cr, &font);
    cairo_text_extents_t extents{};
    cairo_text_extents(cr, text.c_str(), &extents);
    const double measured = canvas.ScreenX(record.width);
    const double squeeze =
        measured > 0 && extents.x_advance > measured ? measured / extents.x_advance : 1.0;
    cairo_save(cr);
    cairo_translate(cr, canvas.VirtualX(record.x), canvas.VirtualY(record.y) + font.ascent);
    cairo_scale(cr, squeeze, 1);
    cairo_move_to(cr, 0, 0);
    const zCOLOR& colour = record.color;
    brush.Use({colour.r / 255.0, colour.g / 255.0, colour.b / 255.0, colour.alpha / 255.0});
    cairo_show_text(cr, text.c_str());
    cairo_restore(cr);
}

}  // namespace

void DrawScreenRecords(const Canvas& canvas, const std::vector<DrawRecord>& records, int codePage) {
    for (const DrawRecord& record : records) {
        const BlendLook& blend = BlendOf(record.blendMode);
        cairo_save(canvas.cairo);
        // Each draw starts a path of its own: a text leaves its end as the current point.
        cairo_new_path(canvas.cairo);
        cairo_set_operator(canvas.cairo, blend.op);
        const Brush brush(canvas, blend.opaque);
        if (record.kind == DrawRecord::Kind::Quad) {
            DrawQuad(canvas, record, brush);
        } else {
            DrawText(canvas, record, brush, codePage);
        }
        cairo_restore(canvas.cairo);
    }
}

}  // namespace pilfern::sim
