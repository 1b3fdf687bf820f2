// The volume of the GUI screens' own sounds (the music group of the sound system).
#pragma once
#include "core/types.h"

// Applies the attenuation (hundredths of a decibel) to the sounds of every loaded screen and keeps
// it for screens loaded later.
void GuiSetScreenSoundVolume(s32_t attenuation);
s32_t GuiGetScreenSoundVolume();
