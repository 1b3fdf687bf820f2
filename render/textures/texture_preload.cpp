#include "render/textures/texture_preload.h"

#include <cstdio>

#include "render/draw2d/grid_font.h"
#include "render/textures/texture_manager.h"

PreloadedTextures g_preloadedTextures;

void CursorTexturesLoad()
{
    g_preloadedTextures.cursorActorSel = TextureFindOrLoad("component\\gui\\cursor_actor_sel");
    g_preloadedTextures.cursorDestSel = TextureFindOrLoad("component\\gui\\cursor_dest_sel");
    g_preloadedTextures.destSelect = TextureFindOrLoad("component\\gui\\dest_select");
    g_preloadedTextures.cursorSetLoaded = true;
}

void GuiTexturesLoad()
{
    g_preloadedTextures.guiLogo = TextureFindOrLoad("component\\gui\\logo");
    g_preloadedTextures.guiFont = TextureFindOrLoad("component\\gui\\font");
    if (!g_preloadedTextures.guiFont)
        g_preloadedTextures.guiFont = GridFontBuiltinTexture();
    g_preloadedTextures.guiIndicator = TextureFindOrLoad("component\\gui\\indicator");
    g_preloadedTextures.guiSetLoaded = true;
}

void CompassAndWaterTexturesLoad()
{
    g_preloadedTextures.compass = TextureFindOrLoad("component\\gui\\compass");
    g_preloadedTextures.select = TextureFindOrLoad("component\\_common\\select");
    for (int i = 0; i < WATER_FRAME_COUNT; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "component\\_common\\water_nf_%02d", i + 1);
        g_preloadedTextures.water[i] = TextureFindOrLoad(name);
    }
    g_preloadedTextures.compassSetLoaded = true;
}

void TexturePreloadsRefresh()
{
    const PreloadedTextures before = g_preloadedTextures;
    TexturePreloadsForget();
    if (before.cursorSetLoaded)
        CursorTexturesLoad();
    if (before.guiSetLoaded)
        GuiTexturesLoad();
    if (before.compassSetLoaded)
        CompassAndWaterTexturesLoad();
}

void TexturePreloadsForget()
{
    g_preloadedTextures = {};
}
