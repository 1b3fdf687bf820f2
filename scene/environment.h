// The mission's environment: the sky objects drawn before and after the world.
#pragma once

// Builds the two sky objects of the named environment into g_mapRender.skyBefore and skyAfter
// (render/map_render_setup.h); the caller releases earlier ones first.
void EnvironmentLoad(const char* name);
