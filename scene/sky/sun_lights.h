// The two Direct3D lights of the sun that every lit mesh renderer of the world uses, and the mark
// (g_render.worldLightingSetUp) that says they are in place: each pass that changes the lights or
// the lighting clears it, and a renderer that lights its meshes sets the lights again while it is
// clear.
#pragma once
#include "core/types.h"

// Light index shines from the sun (towards -mvsundir) and is enabled; light index + 1 shines the
// other way and is disabled. In night vision the diffuse colour is the grey of mcmapdiffuse's mean
// times rf_nvmul and the ambient colour full white; otherwise mcmapdiffuse and mcmapambient. Sets
// the mark.
void RenderSetSunLights(u32_t index);
