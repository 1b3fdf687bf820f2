#include "render/texture_preload.h"

#include <cstdio>

#include "render/grid_font.h"
#include "render/texture_manager.h"

IDirect3DTexture8* g_texCursorActorSel = nullptr;
IDirect3DTexture8* g_texCursorDestSel = nullptr;
IDirect3DTexture8* g_texDestSelect = nullptr;
IDirect3DTexture8* g_texGuiLogo = nullptr;
IDirect3DTexture8* g_texGuiFont = nullptr;
IDirect3DTexture8* g_texGuiIndicator = nullptr;
IDirect3DTexture8* g_texCompass = nullptr;
IDirect3DTexture8* g_texSelect = nullptr;
IDirect3DTexture8* g_texWater[WATER_FRAME_COUNT] = {};

namespace {

// The sets loaded since the registry last let its textures go.
bool g_cursorSetLoaded = false;
bool g_guiSetLoaded = false;
bool g_compassSetLoaded = false;

}  // namespace

void CursorTexturesLoad()
{
    g_texCursorActorSel = TextureFindOrLoad("component\\gui\\cursor_actor_sel");
    g_texCursorDestSel = TextureFindOrLoad("component\\gui\\cursor_dest_sel");
    g_texDestSelect = TextureFindOrLoad("component\\gui\\dest_select");
    g_cursorSetLoaded = true;
}

void GuiTexturesLoad()
{
    g_texGuiLogo = TextureFindOrLoad("component\\gui\\logo");
    g_texGuiFont = TextureFindOrLoad("component\\gui\\font");
    if (!g_texGuiFont)
        g_texGuiFont = GridFontBuiltinTexture();
    g_texGuiIndicator = TextureFindOrLoad("component\\gui\\indicator");
    g_guiSetLoaded = true;
}

void CompassAndWaterTexturesLoad()
{
    g_texCompass = TextureFindOrLoad("component\\gui\\compass");
    g_texSelect = TextureFindOrLoad("component\\_common\\select");
    for (int i = 0; i < WATER_FRAME_COUNT; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "component\\_common\\water_nf_%02d", i + 1);
        g_texWater[i] = TextureFindOrLoad(name);
    }
    g_compassSetLoaded = true;
}

void TexturePreloadsRefresh()
{
    const bool cursor = g_cursorSetLoaded, gui = g_guiSetLoaded, compass = g_compassSetLoaded;
    TexturePreloadsForget();
    if (cursor)
        CursorTexturesLoad();
    if (gui)
        GuiTexturesLoad();
    if (compass)
        CompassAndWaterTexturesLoad();
}

void TexturePreloadsForget()
{
    g_texCursorActorSel = g_texCursorDestSel = g_texDestSelect = nullptr;
    g_texGuiLogo = g_texGuiIndicator = nullptr;
    g_texGuiFont = nullptr;
    g_texCompass = g_texSelect = nullptr;
    for (IDirect3DTexture8*& frame : g_texWater)
        frame = nullptr;
    g_cursorSetLoaded = g_guiSetLoaded = g_compassSetLoaded = false;
}
