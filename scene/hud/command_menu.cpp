#include "scene/hud/command_menu.h"

#include <cstdio>

#include "render/draw2d/bitmap_font.h"
#include "render/draw2d/hud_input.h"
#include "render/device/render_context.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"
#include "scene/hud/hud_overlays.h"
#include "scene/passes/scene_passes.h"

namespace {

CommandMenuLineTracer g_tracer = nullptr;

struct Column {
    const Font* font;
    int x, y, lineHeight;
    float size;
    D3DCOLOR colour;
    s32_t extra;

    void Line(const char* text, bool highlighted)
    {
        if (g_tracer)
            g_tracer({text, x, y, highlighted});
        DrawFontText(font, highlighted, x, y, size, text, colour, extra);
        y += lineHeight;
    }
};

}  // namespace

void CommandMenuSetLineTracer(CommandMenuLineTracer tracer)
{
    g_tracer = tracer;
}

void CommandMenuDraw(float x, float y, s32_t extra, const CommandMenuEntries* entries, s32_t selected, D3DCOLOR colour,
                     bool showTitle)
{
    const CommandMenuState& menu = g_hudInput.commandMenu;
    if (!entries || !menu.font)
        return;
    RenderSetState(D3DRS_TEXTUREFACTOR, colour);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);

    const float size = GuiScaleToScreen(menu.textSize);
    Column column = {menu.font,
                     static_cast<int>(static_cast<float>(g_render.screenWidth) * x),
                     static_cast<int>(static_cast<float>(g_render.screenHeight) * y),
                     static_cast<int>(static_cast<float>(menu.font->GetCharHeight()) * size),
                     size,
                     colour,
                     extra};
    char text[160];
    if (showTitle) {
        const char* title = menu.openItem && menu.openItem->name ? menu.openItem->name : "Global";
        std::snprintf(text, sizeof text, "- %s -", title);
        column.Line(text, false);
    }
    column.Line("..", selected == 0);
    s32_t k = 0;
    for (const CommandMenuItem* entry : *entries) {
        ++k;
        std::snprintf(text, sizeof text, "%d.  %s", k, entry && entry->name ? entry->name : "");
        column.Line(text, selected == k);
    }
    column.Line("x", selected == k + 1);
    RenderSetState(D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu);
}

void CommandMenuDrawIndicators()
{
    const CommandMenuState& menu = g_hudInput.commandMenu;
    constexpr D3DCOLOR kHighlighted = 0xFF00FF00u;
    constexpr D3DCOLOR kRemembered = 0xFFFF0000u;
    HudReadViewport();
    if (g_hudInput.flags.commandMenuOpen && menu.entries && menu.selection >= 1 &&
        static_cast<std::size_t>(menu.selection) <= menu.entries->size()) {
        const CommandMenuItem* entry = (*menu.entries)[static_cast<std::size_t>(menu.selection) - 1];
        if (entry && entry->target)
            HudDrawObjectMarker(entry->target, kHighlighted);
    }
    const u8_t* flags = g_scenePassGame.indicatorFlags;
    if (flags[0] && flags[1] && menu.rememberedSecond && menu.rememberedSecond->target)
        HudDrawObjectMarker(menu.rememberedSecond->target, kRemembered);
    if (flags[2] && menu.rememberedThird && menu.rememberedThird->target)
        HudDrawObjectMarker(menu.rememberedThird->target, kRemembered);
}
