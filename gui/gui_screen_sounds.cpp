#include "gui/gui_screen_sounds.h"

namespace {
s32_t g_screenSoundVolume = 0;
}  // namespace

void GuiSetScreenSoundVolume(s32_t attenuation)
{
    // No screen plays sounds of its own yet: the value waits for the screens that will.
    g_screenSoundVolume = attenuation;
}

s32_t GuiGetScreenSoundVolume()
{
    return g_screenSoundVolume;
}
