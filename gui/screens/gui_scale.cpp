#include "gui/screens/gui_scale.h"

#include "render/device/render_context.h"

s32_t GuiScreenWidth()
{
    return g_render.screenWidth;
}

s32_t GuiScreenHeight()
{
    return g_render.screenHeight;
}

s32_t GuiScaleByHeight(s32_t n)
{
    return n * (GuiScreenHeight() / 600);
}
