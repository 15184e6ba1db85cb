#include "frame/text_hooks.h"

#include "frame/hooks.h"

namespace pilfern {

void DetectRendererFontScaling(Instance& /*instance*/) {}

void DrawLootMessages(Instance& /*instance*/) {}

int GetFontData_Hook(Instance& instance, zCFont* font, unsigned char character, int& width,
                     zVEC2& uv0, zVEC2& uv1) {
    return OriginalOf<FontGetFontDataFn>(*instance.patches.getFontData)(font, character, width,
                                                                         uv0, uv1);
}

void PrintChars_Hook(Instance& instance, zCView* view, int x, int y, const zSTRING& text) {
    OriginalOf<ViewPrintCharsFn>(*instance.patches.printChars)(view, x, y, text);
}

}  // namespace pilfern
