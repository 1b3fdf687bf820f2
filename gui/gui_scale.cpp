#include "gui/gui_scale.h"

#include "render/render_context.h"

float GuiScaleToScreen(float value)
{
    return value * static_cast<float>(g_render.screenWidth) * 0.00125f;
}
