#include "gui/screens/gui_screen_sounds.h"

#include "core/sound/sound_sets.h"
#include "gui/screens/gui.h"

namespace {

s32_t g_screenSoundVolume = 0;

void ApplyVolume(GuiScreen* screen, void*)
{
    if (screen->sound)
        screen->sound->SetVolume(g_screenSoundVolume);
}

}  // namespace

void GuiSetScreenSoundVolume(s32_t attenuation)
{
    g_screenSoundVolume = attenuation;
    GuiForEachScreen(ApplyVolume, nullptr);
}

s32_t GuiGetScreenSoundVolume()
{
    return g_screenSoundVolume;
}
