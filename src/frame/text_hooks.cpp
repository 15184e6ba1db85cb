#include "frame/text_hooks.h"

#include <cstdint>

#include "frame/hooks.h"

namespace pilfern {
namespace {

// A product computed in single precision and truncated toward zero, as the engine's own
// integer font metrics are.
int Scaled(int value, float factor) {
    return static_cast<int>(static_cast<float>(value) * factor);
}

// Milliseconds from `then` to `now` on the framework's 32-bit clock. The unsigned
// difference stays right when the clock wraps; a `then` read a moment after `now` within
// the same frame gives a small negative span.
std::int64_t SpanMs(std::uint32_t now, std::uint32_t then) {
    return static_cast<std::int32_t>(now - then);
}

}  // namespace

void DrawLootMessages(Instance& instance) {
    std::vector<MessageData>& messages = instance.lootMessages;
    if (messages.empty()) {
        return;
    }
    const PluginSettings& settings = instance.settings;
    // With no rows to show, no row would ever be shown, timed or dropped: drop them now
    // rather than let the list grow for the rest of the session.
    if (settings.messageRowCount <= 0) {
        messages.clear();
        return;
    }
    Engine& engine = instance.engine;
    zCView* view = instance.statics.messageView;
    TextHookState& text = instance.text;
    const int lineStep =
        Scaled(engine.eng_view_font_height(engine.eng_screen()), settings.fontMultiplier);
    const std::uint32_t now = instance.framework.GetTime();
    std::size_t expired = 0;
    int offset = 0;
    const std::size_t shown =
        std::min(messages.size(), static_cast<std::size_t>(settings.messageRowCount));
    for (std::size_t i = 0; i < shown; ++i, offset += lineStep) {
        MessageData& message = messages[i];
        if (!message.shownAt) {
            message.shownAt = instance.framework.GetTime();
        }
        engine.eng_screen_insert(view, 0);
        text.scaledPrintActive = true;
        float previous = 1.0F;
        if (text.rendererFontScaling && text.rendererScale != nullptr) {
            previous = text.rendererScale(settings.fontMultiplier);
        }
        engine.eng_view_clear_text(view);
        if (const zCOLOR* color = CategoryColor(settings, message.category)) {
            engine.eng_view_set_font_color(view, *color);
        }
        // Built in the instance's reused line, so that a steady list draws without allocating.
        instance.messageLine.Assign(message.text.Str());
        engine.eng_view_print(view, settings.startQuickLootTextPosX,
                              settings.startQuickLootTextPosY - offset - 50, instance.messageLine);
        engine.eng_view_blit(view);
        engine.eng_view_draw(view);
        engine.eng_screen_remove(view);
        if (text.rendererFontScaling && text.rendererScale != nullptr) {
            text.rendererScale(previous);
        }
        text.scaledPrintActive = false;
        if (SpanMs(now, *message.shownAt) > settings.quickLootTimeDelay) {
            ++expired;
        }
    }
    messages.erase(messages.begin(), messages.begin() + static_cast<std::ptrdiff_t>(expired));
}

int GetFontData_Hook(Instance& instance, zCFont* font, unsigned char character, int& width,
                     zVEC2& uv0, zVEC2& uv1) {
    const int result = OriginalOf<FontGetFontDataFn>(*instance.patches.getFontData)(
        font, character, width, uv0, uv1);
    // Outside the plugin's scaled rows the factor is 1.0: the width stays exactly as the
    // engine wrote it, and every character of the game costs no conversion.
    const float factor = instance.text.glyphScale;
    if (factor != 1.0F) {
        width = Scaled(width, factor);
    }
    return result;
}

void PrintChars_Hook(Instance& instance, zCView* view, int x, int y, const zSTRING_Engine& text) {
    const auto printChars = OriginalOf<ViewPrintCharsFn>(*instance.patches.printChars);
    Engine& engine = instance.engine;
    TextHookState& state = instance.text;
    const float factor = instance.settings.fontMultiplier;
    // Every text of the game passes here: only the plugin's own rows, and only when they are
    // scaled, cost more than the engine's own call. At 1.0 scaling would set the height the
    // font already has.
    if (state.rendererFontScaling || !state.scaledPrintActive || factor == 1.0F) {
        printChars(view, x, y, text);
        return;
    }
    zCFont* font = engine.eng_view_font(view);
    if (font == nullptr) {
        printChars(view, x, y, text);
        return;
    }
    const int height = engine.eng_font_height(font);
    state.glyphScale = factor;
    engine.eng_font_set_height(font, Scaled(height, factor));
    printChars(view, x, y, text);
    state.glyphScale = 1.0F;
    engine.eng_font_set_height(font, height);
}

}  // namespace pilfern
